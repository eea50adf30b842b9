#pragma once
// The classic folder list: the folders of the current path from the drive root down,
// shown open, then the subfolders of the current folder. Opening a line (a double click
// or Enter) moves there. Moving to a folder makes it the process's current folder of its
// drive, so that the drive remembers it. It starts at the process's current folder.
#include "controls/control.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct TFolderLine {
    std::string name; // code page 1250: "C:\" for the root, else the folder's name
    std::string path; // the folder this line opens
    int level = 0;    // depth below the drive root, for the indentation
    bool open = true; // on the current path (an open folder) or a subfolder (closed)
};

class TFolderListPeer : public TControlPeer {
public:
    // `current` is the line of the current folder.
    virtual void ShowLines(const std::vector<TFolderLine>& lines, int current) = 0;
    // Every line this many pixels high (0: as the toolkit makes it).
    virtual void ShowItemHeight(int height) = 0;
};

class TFolderList : public TControl {
public:
    explicit TFolderList(std::string name);

    // The Windows path of the folder shown; it ends in a backslash only at a drive root
    // (C:\ but C:\PICS).
    const std::string& Directory() const { return directory_; }
    // An empty path, or the path shown (compared as file names, letter case aside), is
    // ignored; a drive alone (D:) goes to that drive's current folder. A folder that
    // cannot be entered throws an Exception and the list stays where it was.
    void SetDirectory(std::string_view path);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    const std::vector<TFolderLine>& Lines() const { return lines_; }
    // The line of the current folder.
    int CurrentLine() const { return currentLine_; }

    // The folder changed, by the user or by code.
    std::function<void()> OnChange;

    // For the frontend: the user opened the line at `index`. Throws as SetDirectory does.
    void UserOpen(int index);

protected:
    void ShowState() override;

private:
    void Fill();

    std::string directory_;
    std::vector<TFolderLine> lines_;
    int currentLine_ = 0;
    int itemHeight_ = 0;
};

} // namespace nimbrel
