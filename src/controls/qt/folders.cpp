#include "controls/qt/folders.h"

#include "controls/error_report.h"
#include "controls/qt/accessible_faces.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>

#include <exception>

namespace nimbrel::qt {
namespace {

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
        if (itemHeight > 0)
            size.setHeight(itemHeight);
        return size;
    }

private:
    static int Indent(const QModelIndex& index) {
        return index.data(LevelRole).toInt() * IndentPerLevel;
    }
};

// The style's folder picture. Without an icon theme the style loads it from Qt's own
// resources, and that first load of a picture file starts every image format plugin to
// ask whether it knows the file; read as the PNG it is, the same picture needs none.
QIcon FolderIcon(const QStyle& style, QStyle::StandardPixmap which, const char* resource) {
    if (!QGuiApplication::desktopSettingsAware() || QIcon::themeName().isEmpty()) {
        QImageReader reader(QString::fromLatin1(resource), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage picture = reader.read();
        if (!picture.isNull())
            return QIcon(QPixmap::fromImage(picture));
    }
    return style.standardIcon(which);
}

} // namespace

QIcon FolderOpenIcon(const QStyle& style) {
    return FolderIcon(style, QStyle::SP_DirOpenIcon,
                      ":/qt-project.org/styles/commonstyle/images/diropen-16.png");
}

QIcon FolderClosedIcon(const QStyle& style) {
    return FolderIcon(style, QStyle::SP_DirClosedIcon,
                      ":/qt-project.org/styles/commonstyle/images/dirclosed-16.png");
}

TQtFolderList::TQtFolderList(TFolderList& control, QWidget* parent)
    : TQtPeer(parent), control_(control) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
}

void TQtFolderList::ShowItemHeight(int height) {
    if (auto* delegate = dynamic_cast<IndentDelegate*>(itemDelegate())) {
        delegate->itemHeight = height;
        doItemsLayout();
    }
}

void TQtFolderList::ShowLines(const std::vector<TFolderLine>& lines, int current) {
    clear();
    const QIcon openIcon = FolderOpenIcon(*style());
    const QIcon closedIcon = FolderClosedIcon(*style());
    for (const TFolderLine& line : lines) {
        auto* item =
            new QListWidgetItem(line.open ? openIcon : closedIcon, ToQString(line.name), this);
        item->setData(LevelRole, line.level);
        // The indentation shows the depth; a screen reader says the whole path instead.
        item->setData(Qt::AccessibleTextRole, ToQString(line.path));
    }
    setCurrentRow(current);
}

// The folder opens once Qt has finished with the event, since opening rebuilds the lines.
void TQtFolderList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        if (const QListWidgetItem* item = itemAt(event->position().toPoint()))
            Open(row(item));
    }
}

void TQtFolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Open(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TQtFolderList::Open(int row) {
    RunReported([this, row] { control_.UserOpen(row); });
}

TQtDriveSelector::TQtDriveSelector(TDriveSelector& control, QWidget* parent)
    : TQtPeer(parent), control_(control) {
    setEditable(false);
    InstallAccessibleFaces();
    connect(this, &QComboBox::activated, this, &TQtDriveSelector::Pick);
}

void TQtDriveSelector::ShowDrives(const std::vector<char>& letters) {
    const QSignalBlocker quiet(this);
    clear();
    for (char letter : letters)
        addItem(QStringLiteral("%1:").arg(QChar(letter)), QChar(letter));
}

void TQtDriveSelector::ShowDrive(char letter) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(QChar(letter)));
}

void TQtDriveSelector::Pick(int index) {
    const QVariant data = itemData(index);
    if (!data.isValid())
        return;
    try {
        control_.UserPick(static_cast<char>(data.toChar().toLatin1()));
    } catch (...) {
        // Raised again from an event of its own, once the list's popup has finished with the
        // pick; the application's report shows it.
        QMetaObject::invokeMethod(
            this, [error = std::current_exception()] { std::rethrow_exception(error); },
            Qt::QueuedConnection);
    }
}

} // namespace nimbrel::qt
