#pragma once
// The Qt windows of the drop-down list and the list box.
#include "controls/drop_down_list.h"
#include "controls/list_box.h"
#include "controls/qt/peer.h"

#include <QComboBox>
#include <QListWidget>

namespace nimbrel::qt {

class TQtDropDownList : public TQtPeer<QComboBox, TDropDownListPeer> {
public:
    TQtDropDownList(TDropDownList& control, QWidget* parent);

    void ShowItems(const std::vector<std::string>& items) override;
    void ShowItemIndex(int index) override { setCurrentIndex(index); }
};

// Every change of the selection by the user (a click, a drag across the lines, a right
// click, a key) counts as the list's click, and so does a click on the selected line. A
// line once selected stays selected until another one is: Ctrl+click and clicks beside
// the lines never empty it.
class TQtListBox : public TQtPeer<QListWidget, TListBoxPeer> {
public:
    TQtListBox(TListBox& control, QWidget* parent);

    void ShowItems(const std::vector<std::string>& items) override;
    void ShowItemIndex(int index) override;
    // Every line this many pixels high (0: as the style makes it).
    void SetItemHeight(int height);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void SelectionChanged();
    void Clicked();
    void ReportClick();

    TListBox& control_;
    bool showing_ = false;       // the program is setting lines or selection
    int selectionReports_ = 0;   // reports made for selection changes
    int reportsBeforePress_ = 0; // their count when the mouse button went down
};

} // namespace nimbrel::qt
