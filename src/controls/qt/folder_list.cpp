#include "controls/qt/folder_list.h"

#include "controls/qt/text.h"
#include "platform/files.h"
#include "sysutil/exception.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <vector>

namespace nimbrel {
namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int IndentPerLevel = 8;

// Each line is indented by its depth below the drive root; lines may have a fixed height.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    int itemHeight = 0;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(Indent(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
        if (itemHeight > 0) {
            size.setHeight(itemHeight);
        }
        return size;
    }

private:
    static int Indent(const QModelIndex& index) {
        return index.data(LevelRole).toInt() * IndentPerLevel;
    }
};

bool SameFileName(std::string_view a, std::string_view b) {
    return ToQString(a).compare(ToQString(b), Qt::CaseInsensitive) == 0;
}

// "C:\PICS\2024" as "C:\" and its folders "PICS", "2024".
struct PathParts {
    std::string root;
    std::vector<std::string> folders;
};

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    const std::size_t rootLength = path.size() >= 2 && path[1] == ':' ? 3 : 0;
    parts.root = path.substr(0, std::min(rootLength, path.size()));
    std::size_t start = parts.root.size();
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.folders.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '\\' ? folder + name : folder + '\\' + name;
}

// The subfolders' names, sorted without regard to case.
std::vector<QString> Subfolders(const std::string& folder) {
    std::vector<QString> names;
    platform::FileSearch search(JoinPath(folder, "*"));
    platform::FindData entry;
    while (search.Next(entry)) {
        if ((entry.attributes & platform::FileAttributeDirectory) != 0 && entry.name != "." &&
            entry.name != "..") {
            names.push_back(ToQString(entry.name));
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace

TQtFolderList::TQtFolderList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
    directory_ = platform::CurrentDirectory();
    Fill();
}

void TQtFolderList::SetDirectory(std::string_view path) {
    if (path.empty() || SameFileName(path, directory_)) {
        return;
    }
    // A drive alone stands for that drive's current folder.
    const std::string target = platform::FullPathName(path);
    if (target.empty() || !platform::DirectoryExists(target) ||
        platform::SetCurrentDirectory(target) != platform::ErrorSuccess) {
        throw Exception("Cannot enter the folder " + std::string(path) + ".");
    }
    const std::string entered = platform::CurrentDirectory();
    if (SameFileName(entered, directory_)) {
        return;
    }
    directory_ = entered;
    Fill();
    emit Changed();
}

void TQtFolderList::SetItemHeight(int height) {
    if (auto* delegate = dynamic_cast<IndentDelegate*>(itemDelegate())) {
        delegate->itemHeight = height;
        doItemsLayout();
    }
}

void TQtFolderList::Fill() {
    clear();
    const PathParts parts = SplitPath(directory_);
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto addLine = [this](const QIcon& icon, const std::string& name, const std::string& path,
                          int level) {
        auto* item = new QListWidgetItem(icon, ToQString(name), this);
        item->setData(PathRole, ToQString(path));
        item->setData(LevelRole, level);
        return item;
    };

    std::string path = parts.root;
    QListWidgetItem* current = addLine(openIcon, parts.root, path, 0);
    int level = 0;
    for (const std::string& folder : parts.folders) {
        path = JoinPath(path, folder);
        current = addLine(openIcon, folder, path, ++level);
    }
    const QString folderPrefix = ToQString(JoinPath(directory_, ""));
    for (const QString& name : Subfolders(directory_)) {
        auto* item = new QListWidgetItem(closedIcon, name, this);
        item->setData(PathRole, folderPrefix + name);
        item->setData(LevelRole, level + 1);
    }
    setCurrentItem(current);
}

void TQtFolderList::OpenItem(QListWidgetItem* item) {
    if (item != nullptr) {
        SetDirectory(FromQString(item->data(PathRole).toString()));
    }
}

// The folder opens once Qt has finished with the event, since opening rebuilds the lines.
void TQtFolderList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        OpenItem(itemAt(event->position().toPoint()));
    }
}

void TQtFolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        OpenItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace nimbrel
