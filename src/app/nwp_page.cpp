// The NWP page's behaviour: the count of legacy pictures, their conversion and deletion.
#include "app/options_form.h"

#include "archive/nwp_conversion.h"
#include "platform/files.h"
#include "sysutil/message_pump.h"
#include "sysutil/text_routines.h"
#include "wallpaper_folder/folder_listing.h"

#include <string>
#include <vector>

namespace nimbrel {

namespace {

using wallpaper::BitmapNameOf;
using wallpaper::JoinPath;

// The NWP files of a folder: sorted, upper-case bare names, the pump let run for each.
std::vector<std::string> NWPFilesOf(const std::string& folder) {
    return wallpaper::NamesOf(wallpaper::ListNwpFiles(folder, ProcessMessages));
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
            const std::string output = JoinPath(Folder->Directory(), BitmapNameOf(name));
            const std::string input = JoinPath(Folder->Directory(), name);
            // The deletion's outcome is not looked at: an NWP file that stays, stays silently.
            (void)ConvertNwpFile(input, output);
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
        (void)platform::DeleteFile(JoinPath(Folder->Directory(), name));
    Close();
}

} // namespace nimbrel
