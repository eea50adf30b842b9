// The NWP page's behaviour: the count of legacy pictures, their conversion and deletion.
#include "app/options_form.h"

#include "archive/nwp_conversion.h"
#include "platform/files.h"
#include "sysutil/list_files.h"
#include "sysutil/message_pump.h"
#include "sysutil/text_routines.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

namespace {

// The NWP files of a folder: sorted, upper-case bare names.
std::vector<std::string> NWPFilesOf(const std::string& folder) {
    std::vector<std::string> names;
    ListFiles(folder + "\\*.NWP", names);
    return names;
}

// The name with its extension (from the last dot on) replaced by ".BMP".
std::string BitmapNameOf(std::string_view name) {
    return std::string(name.substr(0, name.rfind('.'))) + ".BMP";
}

std::string CountSentence(std::size_t count) {
    std::string text = "There are " + NumToText(static_cast<std::int32_t>(count), 0) +
                       " NWP files left in your wallpaper folder.";
    if (count > 0)
        text += " If you'd like to use them, click \"Convert\" button below! If you don't want "
                "to use them, click Delete button.";
    return text;
}

} // namespace

void TOptionsForm::CountNWPFiles() {
    const std::size_t count = NWPFilesOf(Folder->Directory()).size();
    NoOfNWPs->SetCaption(CountSentence(count));
    if (count > 0) {
        Button4->SetEnabled(true);
        Button6->SetEnabled(true);
    }
}

void TOptionsForm::Button4Click() {
    ConvertNWPFiles();
}

void TOptionsForm::Button6Click() {
    DeleteNWPFiles();
}

void TOptionsForm::ConvertNWPFiles() {
    NoOfNWPs->SetCaption("Converting NWP files, please wait...");
    SetEnabled(false);
    ProcessMessages();
    try {
        for (const std::string& name : NWPFilesOf(Folder->Directory())) {
            const std::string output = Folder->Directory() + "\\" + BitmapNameOf(name);
            const std::string input = Folder->Directory() + "\\" + name;
            ConvertNwpFile(input, output);
        }
    } catch (...) {
        // The dialog stays open after a failed conversion: make it usable again and say
        // what is left before the error is reported.
        SetEnabled(true);
        const std::size_t left = NWPFilesOf(Folder->Directory()).size();
        NoOfNWPs->SetCaption(CountSentence(left));
        Button4->SetEnabled(left > 0);
        Button6->SetEnabled(left > 0);
        throw;
    }
    Close();
}

void TOptionsForm::DeleteNWPFiles() {
    for (const std::string& name : NWPFilesOf(Folder->Directory()))
        platform::DeleteFile(Folder->Directory() + "\\" + name);
    Close();
}

} // namespace nimbrel
