#include "platform/portable/environment.h"

#include "platform/codepage1250.h"
#include "platform/portable/case_fold.h"
#include "platform/portable/drive_table.h"
#include "platform/portable/emulated_environment.h"
#include "platform/portable/folder_index.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nimbrel::platform::portable {
namespace {

namespace fs = std::filesystem;

struct Drives {
    DriveTable table;
    char currentDrive = 'C';
    std::array<std::vector<std::string>, 26> currentFolders;
};

struct State {
    std::mutex mutex;
    std::string root;
    std::shared_ptr<Drives> drives;
};

State& TheState() {
    static State state;
    return state;
}

std::string DefaultRoot() {
    if (const char* root = std::getenv("NIMBREL_ROOT"); root && *root)
        return root;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::string(data) + "/nimbrel";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/nimbrel";
    return "/tmp/nimbrel-" + std::to_string(getuid());
}

std::string AbsoluteHostPath(std::string_view path) {
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error);
    if (error)
        absolute = fs::path(path);
    std::string normal = absolute.lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

std::string RootLocked(State& state) {
    if (state.root.empty()) {
        state.root = AbsoluteHostPath(DefaultRoot());
        std::error_code ignored; // a root that cannot be made fails each service on its own
        fs::create_directories(state.root, ignored);
    }
    return state.root;
}

DriveTable ReadDriveTable(const std::string& root) {
    const std::string fileName = root + "/drives";
    std::error_code missing;
    if (!fs::exists(fileName, missing) && !missing)
        return DriveTable::Default();
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EnvironmentError(fileName + ": cannot be read: " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        throw EnvironmentError(fileName + ": cannot be read");
    return DriveTable::Parse(text.str(), fileName);
}

std::vector<std::string> SplitHostRest(std::string_view rest) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find('/', start);
        if (end == std::string_view::npos)
            end = rest.size();
        if (end > start)
            components.push_back(Cp1250FromUtf8(rest.substr(start, end - start)));
        start = end + 1;
    }
    return components;
}

// The process's current folder gives its drive's current folder and the current drive;
// the other drives start at their roots.
void PlaceCurrentFolders(Drives& drives) {
    const std::string letters = drives.table.Letters();
    drives.currentDrive =
        letters.find('C') != std::string::npos || letters.empty() ? 'C' : letters[0];
    std::error_code error;
    const fs::path cwd = fs::current_path(error);
    if (error)
        return;
    if (const auto held = drives.table.Holding(AbsoluteHostPath(cwd.string()))) {
        drives.currentDrive = held->first;
        drives.currentFolders[held->first - 'A'] = SplitHostRest(held->second);
    }
}

std::string ProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : AbsoluteHostPath(program.parent_path().string());
}

std::shared_ptr<Drives> DrivesLocked(State& state) {
    if (!state.drives) {
        const std::string root = RootLocked(state);
        auto drives = std::make_shared<Drives>();
        drives->table = ReadDriveTable(root);
        // The environment's own folders always have a Windows path.
        for (const std::string& folder : {root, ProgramFolder()})
            if (!folder.empty() && !drives->table.Holding(folder))
                drives->table.AddOnFreeLetter(folder);
        PlaceCurrentFolders(*drives);
        state.drives = std::move(drives);
    }
    return state.drives;
}

std::shared_ptr<Drives> LoadedDrives() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    return DrivesLocked(state);
}

// The entry of `folder` that names `name` (1250): the exact name first, else the first
// entry, in name order, equal to it without regard to case.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& utf8Name,
                                     const std::string& name) {
    struct stat info {};
    if (::lstat((folder + "/" + utf8Name).c_str(), &info) == 0)
        return utf8Name;
    return EntryFoldedTo(folder, FoldedFromCp1250(name));
}

std::string JoinHost(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

} // namespace

std::string EnvironmentRoot() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    return RootLocked(state);
}

void ResetEnvironment() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    state.root.clear();
    state.drives.reset();
}

std::optional<DosPath> Absolute(std::string_view windowsPath) {
    const auto drives = LoadedDrives();
    CurrentFolders current;
    current.currentDrive = drives->currentDrive;
    current.folderOf = [&drives](char drive) {
        return (drive >= 'A' && drive <= 'Z') ? drives->currentFolders[drive - 'A']
                                              : std::vector<std::string>();
    };
    return AbsoluteDosPath(windowsPath, current);
}

std::optional<ResolvedPath> Resolve(const DosPath& path) {
    const auto drives = LoadedDrives();
    if (!drives->table.Has(path.drive))
        return std::nullopt;
    ResolvedPath resolved;
    resolved.host = drives->table.FolderOf(path.drive);
    bool exists = true;
    for (std::size_t i = 0; i < path.components.size(); ++i) {
        const std::string& name = path.components[i];
        const std::string utf8Name = Utf8FromCp1250(name);
        if (i + 1 == path.components.size())
            resolved.parentExists = exists && fs::is_directory(resolved.host);
        std::optional<std::string> found;
        if (exists)
            found = FindEntry(resolved.host, utf8Name, name);
        exists = found.has_value();
        resolved.host = JoinHost(resolved.host, found.value_or(utf8Name));
    }
    if (path.components.empty())
        resolved.parentExists = true;
    return resolved;
}

std::string DriveLetters() {
    return LoadedDrives()->table.Letters();
}

DosPath CurrentFolder() {
    const auto drives = LoadedDrives();
    DosPath path;
    path.drive = drives->currentDrive;
    path.components = drives->currentFolders[drives->currentDrive - 'A'];
    return path;
}

void SetCurrentFolder(const DosPath& path) {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    const auto drives = DrivesLocked(state);
    drives->currentDrive = path.drive;
    drives->currentFolders[path.drive - 'A'] = path.components;
}

std::optional<std::string> HostPath(std::string_view windowsPath) {
    const auto absolute = Absolute(windowsPath);
    if (!absolute)
        return std::nullopt;
    const auto resolved = Resolve(*absolute);
    if (!resolved)
        return std::nullopt;
    return resolved->host;
}

std::optional<std::string> WindowsPath(std::string_view hostPath) {
    const auto drives = LoadedDrives();
    const auto held = drives->table.Holding(AbsoluteHostPath(hostPath));
    if (!held)
        return std::nullopt;
    DosPath path;
    path.drive = held->first;
    path.components = SplitHostRest(held->second);
    return FormatDosPath(path);
}

std::optional<std::string> WindowsPathAddingRoot(std::string_view hostPath) {
    const std::string absolute = AbsoluteHostPath(hostPath);
    std::optional<std::pair<char, std::string>> held;
    {
        State& state = TheState();
        std::lock_guard lock(state.mutex);
        const auto drives = DrivesLocked(state);
        held = drives->table.Holding(absolute);
        if (!held && drives->table.AddOnFreeLetter("/") != 0)
            held = drives->table.Holding(absolute);
    }
    if (!held)
        return std::nullopt;
    DosPath path;
    path.drive = held->first;
    std::string_view rest = held->second;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('/'), rest.size());
        if (end > 0) {
            auto name = Cp1250FromUtf8Exactly(rest.substr(0, end));
            if (!name)
                return std::nullopt;
            path.components.push_back(std::move(*name));
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return FormatDosPath(path);
}

} // namespace nimbrel::platform::portable
