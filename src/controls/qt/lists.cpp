#include "controls/qt/lists.h"

#include "controls/error_report.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace nimbrel::qt {
namespace {

// Lines of a fixed height, as the list was drawn with.
class FixedHeightLines : public QStyledItemDelegate {
public:
    FixedHeightLines(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

} // namespace

TQtDropDownList::TQtDropDownList(TDropDownList& control, QWidget* parent) : TQtPeer(parent) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [&control](int index) {
        RunReported([&control, index] { control.UserSelect(index); });
    });
}

void TQtDropDownList::ShowItems(const std::vector<std::string>& items) {
    const QSignalBlocker quiet(this);
    clear();
    for (const std::string& item : items)
        addItem(ToQString(item));
}

TQtListBox::TQtListBox(TListBox& control, QWidget* parent) : TQtPeer(parent), control_(control) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false); // the lines come in the lister's order
    connect(this, &QListWidget::itemClicked, this, [this] { ReportClick(); });
}

void TQtListBox::SetItemHeight(int height) {
    if (height > 0)
        setItemDelegate(new FixedHeightLines(height, this));
}

void TQtListBox::ShowItems(const std::vector<std::string>& items) {
    clear();
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items)
        lines.append(ToQString(item));
    addItems(lines);
}

void TQtListBox::ShowItemIndex(int index) {
    setCurrentRow(index);
    if (index < 0)
        clearSelection();
}

void TQtListBox::ReportClick() {
    const QListWidgetItem* item = currentItem();
    const int index = item != nullptr && item->isSelected() ? currentRow() : -1;
    RunReported([this, index] { control_.UserClick(index); });
}

void TQtListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before)
        ReportClick();
}

} // namespace nimbrel::qt
