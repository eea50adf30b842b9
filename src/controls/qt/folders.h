#pragma once
// The Qt windows of the folder list and the drive selector.
#include "controls/drive_selector.h"
#include "controls/folder_list.h"
#include "controls/qt/peer.h"

#include <QComboBox>
#include <QIcon>
#include <QListWidget>

class QKeyEvent;
class QMouseEvent;
class QStyle;

namespace nimbrel::qt {

// The pictures of an open and a closed folder that the style gives its file dialogs.
QIcon FolderOpenIcon(const QStyle& style);
QIcon FolderClosedIcon(const QStyle& style);

// Each line indented by its depth below the drive root; a double click or Enter opens it.
class TQtFolderList : public TQtPeer<QListWidget, TFolderListPeer> {
public:
    TQtFolderList(TFolderList& control, QWidget* parent);

    void ShowLines(const std::vector<TFolderLine>& lines, int current) override;
    void ShowItemHeight(int height) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Open(int row);

    TFolderList& control_;
};

class TQtDriveSelector : public TQtPeer<QComboBox, TDriveSelectorPeer> {
public:
    TQtDriveSelector(TDriveSelector& control, QWidget* parent);

    void ShowDrives(const std::vector<char>& letters) override;
    void ShowDrive(char letter) override;

private:
    void Pick(int index);

    TDriveSelector& control_;
};

} // namespace nimbrel::qt
