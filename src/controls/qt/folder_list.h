#pragma once
// The classic folder list: the folders of the current path from the drive root down,
// shown open, then the subfolders of the current folder. A double click (or Enter) on a
// line opens that folder. Moving to a folder makes it the process's current folder of its
// drive, so that the drive remembers it. It starts at the process's current folder.
#include <QListWidget>

#include <string>
#include <string_view>

class QKeyEvent;
class QMouseEvent;

namespace nimbrel {

class TQtFolderList : public QListWidget {
    Q_OBJECT
public:
    explicit TQtFolderList(QWidget* parent = nullptr);

    // The Windows path of the folder shown; it ends in a backslash only at a drive root
    // (C:\ but C:\PICS).
    std::string Directory() const { return directory_; }
    // An empty path, or the path shown (compared as file names, letter case aside), is
    // ignored; a drive alone (D:) goes to that drive's current folder. A folder that
    // cannot be entered throws an Exception and the list stays where it was.
    void SetDirectory(std::string_view path);
    // The height of every line in pixels (0: as the style makes it).
    void SetItemHeight(int height);

signals:
    // The folder changed, by the user or by code.
    void Changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OpenItem(QListWidgetItem* item);
    void Fill();

    std::string directory_;
};

} // namespace nimbrel
