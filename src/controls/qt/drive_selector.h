#pragma once
// The drive selector bound to a folder list: it lists the platform's drives; picking
// another drive moves the folder list to that drive's current folder (raising the folder
// list's Changed) and only then raises its own Changed. Picking the drive it shows does
// nothing.
#include <QComboBox>

namespace nimbrel {

class TQtFolderList;

class TQtDriveSelector : public QComboBox {
    Q_OBJECT
public:
    explicit TQtDriveSelector(QWidget* parent = nullptr);

    // Binds the folder list and shows its drive (raising nothing).
    void SetFolderList(TQtFolderList* folderList);

    // The drive letter shown, upper case.
    char Drive() const { return drive_; }
    // As a pick by the user. A drive whose current folder cannot be entered throws an
    // Exception and the selector keeps the drive it showed.
    void SetDrive(char letter);

signals:
    void Changed();

private:
    void FillDrives();
    void ShowDrive(char letter);
    void Pick(int index);

    TQtFolderList* folderList_ = nullptr;
    char drive_ = 0;
};

} // namespace nimbrel
