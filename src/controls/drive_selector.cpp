#include "controls/drive_selector.h"

#include "controls/folder_list.h"
#include "platform/files.h"

namespace nimbrel {
namespace {

char UpperLetter(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

TDriveSelector::TDriveSelector(std::string name) : TControl(std::move(name)) {
    for (char letter : platform::LogicalDrives())
        drives_.push_back(UpperLetter(letter));
    const std::string current = platform::CurrentDirectory();
    drive_ = current.empty() ? 'C' : UpperLetter(current[0]);
}

void TDriveSelector::ShowDrive(char letter) {
    drive_ = letter;
    if (auto* peer = PeerAs<TDriveSelectorPeer>())
        peer->ShowDrive(drive_);
}

void TDriveSelector::SetFolderList(TFolderList* folderList) {
    folderList_ = folderList;
    const std::string directory = folderList_ != nullptr ? folderList_->Directory() : "";
    if (!directory.empty())
        ShowDrive(UpperLetter(directory[0]));
}

void TDriveSelector::SetDrive(char letter) {
    letter = UpperLetter(letter);
    if (letter == drive_)
        return;
    // The folder list goes first, so that its change is handled before the drive's.
    if (folderList_ != nullptr)
        folderList_->SetDirectory(std::string{letter, ':'});
    ShowDrive(letter);
    if (OnChange)
        OnChange();
}

void TDriveSelector::UserPick(char letter) {
    try {
        SetDrive(letter);
    } catch (...) {
        ShowDrive(drive_);
        throw;
    }
}

void TDriveSelector::ShowState() {
    auto* peer = PeerAs<TDriveSelectorPeer>();
    peer->ShowDrives(drives_);
    peer->ShowDrive(drive_);
}

} // namespace nimbrel
