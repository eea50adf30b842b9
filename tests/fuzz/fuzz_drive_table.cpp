// The drives table of the emulated environment: any text is refused with a line number or
// gives drives whose folders are absolute, normal host paths that hold themselves.
#include "platform/portable/drive_table.h"
#include "platform/portable/environment.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace nimbrel::platform::portable;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    DriveTable table;
    try {
        table = DriveTable::Parse(text, "drives");
    } catch (const EnvironmentError& error) {
        if (std::string(error.what()).rfind("drives:", 0) != 0)
            __builtin_trap();
        return 0;
    }
    for (const char letter : table.Letters()) {
        if (!table.Has(letter) || !table.Has(static_cast<char>(letter - 'A' + 'a')))
            __builtin_trap();
        const std::string& folder = table.FolderOf(letter);
        if (folder.empty() || folder.front() != '/' || (folder.size() > 1 && folder.back() == '/'))
            __builtin_trap();
        // A file in the folder is held by this drive or a deeper one, and the drive's folder
        // and the rest give the path back.
        const std::string path = folder == "/" ? "/x" : folder + "/x";
        const auto held = table.Holding(path);
        if (!held)
            __builtin_trap();
        const std::string& holder = table.FolderOf(held->first);
        if (holder.size() < folder.size())
            __builtin_trap();
        const std::string& rest = held->second;
        const std::string joined = rest.empty()    ? holder
                                   : holder == "/" ? "/" + rest
                                                   : holder + "/" + rest;
        if (joined != path)
            __builtin_trap();
    }
    return 0;
}
