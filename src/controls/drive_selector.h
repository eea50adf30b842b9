#pragma once
// The drive selector bound to a folder list: it lists the platform's drives; picking
// another drive moves the folder list to that drive's current folder (raising the folder
// list's OnChange) and only then raises its own OnChange. Picking the drive it shows does
// nothing.
#include "controls/control.h"

#include <functional>
#include <vector>

namespace nimbrel {

class TFolderList;

class TDriveSelectorPeer : public TControlPeer {
public:
    // Upper-case letters; each is shown as "C:".
    virtual void ShowDrives(const std::vector<char>& letters) = 0;
    virtual void ShowDrive(char letter) = 0;
};

class TDriveSelector : public TControl {
public:
    explicit TDriveSelector(std::string name);

    // Binds the folder list and shows its drive (raising nothing).
    void SetFolderList(TFolderList* folderList);

    const std::vector<char>& Drives() const { return drives_; }
    // The drive letter shown, upper case.
    char Drive() const { return drive_; }
    // As a pick by the user. A drive whose current folder cannot be entered throws an
    // Exception and the selector keeps the drive it showed.
    void SetDrive(char letter);

    std::function<void()> OnChange;

    // For the frontend: the user picked a drive. On an error the selector has shown its
    // drive again; the frontend reports the error once its list has closed.
    void UserPick(char letter);

protected:
    void ShowState() override;

private:
    void ShowDrive(char letter);

    TFolderList* folderList_ = nullptr;
    std::vector<char> drives_;
    char drive_ = 0;
};

} // namespace nimbrel
