#include "controls/qt/lists.h"

#include "controls/error_report.h"
#include "controls/qt/accessible_faces.h"

#include <QMouseEvent>
#include <QScopedValueRollback>
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
    InstallAccessibleFaces();
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
    connect(this, &QListWidget::itemSelectionChanged, this, &TQtListBox::SelectionChanged);
    connect(this, &QListWidget::itemClicked, this, &TQtListBox::Clicked);
}

void TQtListBox::SetItemHeight(int height) {
    if (height > 0)
        setItemDelegate(new FixedHeightLines(height, this));
}

void TQtListBox::ShowItems(const std::vector<std::string>& items) {
    const QScopedValueRollback<bool> program(showing_, true);
    clear();
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items)
        lines.append(ToQString(item));
    addItems(lines);
}

void TQtListBox::ShowItemIndex(int index) {
    const QScopedValueRollback<bool> program(showing_, true);
    setCurrentRow(index);
    if (index < 0)
        clearSelection();
}

// Toggling or clearing would leave no line selected: the line clicked is selected instead,
// and a press beside the lines changes nothing.
QItemSelectionModel::SelectionFlags TQtListBox::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    const bool empties =
        command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle) ||
        (command.testFlag(QItemSelectionModel::Clear) &&
         !command.testFlag(QItemSelectionModel::Select));
    if (!empties)
        return command;
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect;
}

void TQtListBox::mousePressEvent(QMouseEvent* event) {
    reportsBeforePress_ = selectionReports_;
    QListWidget::mousePressEvent(event);
}

void TQtListBox::SelectionChanged() {
    if (showing_)
        return;
    ++selectionReports_;
    ReportClick();
}

// A click that did not change the selection (on the selected line) is a click all the same;
// one that did has been reported with the change.
void TQtListBox::Clicked() {
    if (selectionReports_ == reportsBeforePress_)
        ReportClick();
}

void TQtListBox::ReportClick() {
    const QList<QListWidgetItem*> selected = selectedItems();
    const int index = selected.isEmpty() ? -1 : row(selected.front());
    RunReported([this, index] { control_.UserClick(index); });
}

} // namespace nimbrel::qt
