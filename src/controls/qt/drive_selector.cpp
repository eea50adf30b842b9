#include "controls/qt/drive_selector.h"

#include "controls/qt/folder_list.h"
#include "platform/files.h"

#include <QMetaObject>

#include <exception>

namespace nimbrel {
namespace {

char UpperLetter(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

TQtDriveSelector::TQtDriveSelector(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    FillDrives();
    const std::string current = platform::CurrentDirectory();
    ShowDrive(current.empty() ? 'C' : UpperLetter(current[0]));
    connect(this, &QComboBox::activated, this, &TQtDriveSelector::Pick);
}

void TQtDriveSelector::FillDrives() {
    for (char letter : platform::LogicalDrives()) {
        addItem(QStringLiteral("%1:").arg(QChar(letter)), QChar(letter));
    }
}

void TQtDriveSelector::ShowDrive(char letter) {
    drive_ = letter;
    setCurrentIndex(findData(QChar(letter)));
}

void TQtDriveSelector::SetFolderList(TQtFolderList* folderList) {
    folderList_ = folderList;
    const std::string directory = folderList_ != nullptr ? folderList_->Directory() : "";
    if (!directory.empty()) {
        ShowDrive(UpperLetter(directory[0]));
    }
}

void TQtDriveSelector::SetDrive(char letter) {
    letter = UpperLetter(letter);
    if (letter == drive_) {
        return;
    }
    // The folder list goes first, so that its change is handled before the drive's.
    if (folderList_ != nullptr) {
        folderList_->SetDirectory(std::string{letter, ':'});
    }
    ShowDrive(letter);
    emit Changed();
}

void TQtDriveSelector::Pick(int index) {
    const QVariant data = itemData(index);
    if (!data.isValid()) {
        return;
    }
    try {
        SetDrive(static_cast<char>(data.toChar().toLatin1()));
    } catch (...) {
        ShowDrive(drive_);
        // Reported from an event of its own, once the list's popup has finished with the pick.
        QMetaObject::invokeMethod(
            this, [error = std::current_exception()] { std::rethrow_exception(error); },
            Qt::QueuedConnection);
    }
}

} // namespace nimbrel
