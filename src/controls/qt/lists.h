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

// A click on a line, and a key that moves the selection, count as the list's click.
class TQtListBox : public TQtPeer<QListWidget, TListBoxPeer> {
public:
    TQtListBox(TListBox& control, QWidget* parent);

    void ShowItems(const std::vector<std::string>& items) override;
    void ShowItemIndex(int index) override;
    // Every line this many pixels high (0: as the style makes it).
    void SetItemHeight(int height);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReportClick();

    TListBox& control_;
};

} // namespace nimbrel::qt
