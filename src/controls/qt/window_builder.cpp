// Building the dialog's Qt windows from its layout table.
#include "controls/drive_selector.h"
#include "controls/folder_list.h"
#include "controls/get_string.h"
#include "controls/group_box.h"
#include "controls/picture_box.h"
#include "controls/qt/application.h"
#include "controls/qt/buttons.h"
#include "controls/qt/containers.h"
#include "controls/qt/edits.h"
#include "controls/qt/folders.h"
#include "controls/qt/form_window.h"
#include "controls/qt/lists.h"
#include "controls/qt/picture_box.h"
#include "controls/qt/track_bar.h"

#include <QHash>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include <stdexcept>
#include <string>

namespace nimbrel::qt {
namespace {

template <class Control> Control& As(TControl& control, const TLayoutRow& row) {
    auto* typed = dynamic_cast<Control*>(&control);
    if (typed == nullptr)
        throw std::logic_error(std::string("the control does not fit its layout row ") + row.Name);
    return *typed;
}

template <class Peer> std::pair<QWidget*, TControlPeer*> Made(Peer* peer) {
    return {peer, peer};
}

// The window of one row, not yet placed.
std::pair<QWidget*, TControlPeer*> MakeWindow(TControl& control, const TLayoutRow& row,
                                              QWidget* parent) {
    switch (row.Kind) {
    case TControlKind::Form:
        break;
    case TControlKind::PageControl:
        return Made(new TQtPageControl(As<TPageControl>(control, row), parent));
    case TControlKind::TabSheet:
    case TControlKind::Panel:
        return Made(new TQtPanel(parent));
    case TControlKind::GroupBox:
        return Made(new TQtGroupBox(parent));
    case TControlKind::Label: {
        auto* label = new TQtLabel((row.Style & lsAutoSize) != 0, parent);
        if ((row.Style & lsWordWrap) != 0) {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
        if ((row.Style & lsAlignRight) != 0)
            label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        return Made(label);
    }
    case TControlKind::Button:
        return Made(new TQtButton(As<TButton>(control, row), parent));
    case TControlKind::CheckBox:
        return Made(new TQtCheckBox(As<TCheckBox>(control, row), parent));
    case TControlKind::RadioButton:
        return Made(new TQtRadioButton(As<TRadioButton>(control, row), parent));
    case TControlKind::TrackBar: {
        auto* bar = new TQtTrackBar(As<TTrackBar>(control, row), parent);
        bar->setTickInterval(row.TickFrequency);
        return Made(bar);
    }
    case TControlKind::DropDownList: {
        auto* list = new TQtDropDownList(As<TDropDownList>(control, row), parent);
        if (row.DropDownCount > 0)
            list->setMaxVisibleItems(row.DropDownCount);
        return Made(list);
    }
    case TControlKind::ListBox: {
        auto* list = new TQtListBox(As<TListBox>(control, row), parent);
        list->SetItemHeight(row.ItemHeight);
        return Made(list);
    }
    case TControlKind::DriveSelector:
        return Made(new TQtDriveSelector(As<TDriveSelector>(control, row), parent));
    case TControlKind::FolderList:
        return Made(new TQtFolderList(As<TFolderList>(control, row), parent));
    case TControlKind::PasswordEdit:
        return Made(new TQtPasswordEdit(As<TPasswordEdit>(control, row), parent));
    case TControlKind::GetString:
    case TControlKind::GetNumber:
        return Made(new TQtEntryField(As<TGetString>(control, row), parent));
    case TControlKind::PictureBox:
        return Made(new TQtPictureBox(As<TPictureBox>(control, row), parent));
    }
    throw std::logic_error(std::string("no window for the layout row ") + row.Name);
}

// The caption as a screen reader says it: without the access key's "&".
QString SpokenCaption(const std::string& caption) {
    QString spoken = ToQString(caption);
    spoken.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    spoken.remove(QLatin1Char('&'));
    spoken.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return spoken;
}

} // namespace

std::unique_ptr<TFormPeer> TQtToolkit::BuildWindows(TForm& form, TLayout layout) {
    const TLayoutRow* formRow = nullptr;
    for (const TLayoutRow& row : layout) {
        if (row.Kind == TControlKind::Form)
            formRow = &row;
    }
    if (formRow == nullptr)
        throw std::logic_error("the layout has no form row");
    auto window = std::make_unique<TQtFormWindow>(form, *formRow);

    QHash<QString, QWidget*> windows;
    windows.insert(QString::fromLatin1(formRow->Name), window.get());
    for (const TLayoutRow& row : layout) {
        if (row.Kind == TControlKind::Form)
            continue;
        TControl* control = form.FindControl(row.Name);
        QWidget* parent = windows.value(QString::fromLatin1(row.Parent));
        if (control == nullptr || parent == nullptr)
            throw std::logic_error(std::string("the layout row has no control or parent: ") +
                                   row.Name);
        auto [widget, peer] = MakeWindow(*control, row, parent);
        BindControl(*widget, *control);
        if (row.Kind == TControlKind::TabSheet) {
            auto* tabs = qobject_cast<QTabWidget*>(parent);
            if (tabs == nullptr)
                throw std::logic_error(std::string("a page outside a page control: ") + row.Name);
            tabs->addTab(widget, QString());
        } else if ((row.Style & lsAutoSize) != 0) {
            widget->move(row.Bounds.Left, row.Bounds.Top);
        } else {
            widget->setGeometry(row.Bounds.Left, row.Bounds.Top, row.Bounds.Width,
                                row.Bounds.Height);
        }
        windows.insert(QString::fromLatin1(row.Name), widget);
        control->AttachPeer(peer);
    }

    // What a screen reader says: a label is tied to the control beside it, and the
    // control is named by the label or, where that does not say it all, by its own name.
    for (const TLayoutRow& row : layout) {
        QWidget* widget = windows.value(QString::fromLatin1(row.Name));
        const TControl* label = row.LabelledBy ? form.FindControl(row.LabelledBy) : nullptr;
        if (label != nullptr) {
            widget->setAccessibleName(SpokenCaption(label->Caption()));
            // A label shared by two controls is tied to the first, as its access key would be.
            auto* text = qobject_cast<QLabel*>(windows.value(QString::fromLatin1(label->Name())));
            if (text != nullptr && text->buddy() == nullptr)
                text->setBuddy(widget);
        }
        if (row.SpokenName != nullptr) {
            widget->setAccessibleName(ToQString(row.SpokenName));
            if (auto* tabs = qobject_cast<QTabWidget*>(widget))
                tabs->tabBar()->setAccessibleName(ToQString(row.SpokenName));
        }
        if (row.SpokenUnit != nullptr) {
            if (auto* bar = dynamic_cast<TQtTrackBar*>(widget))
                bar->SetSpokenUnit(ToQString(row.SpokenUnit));
        }
    }

    // Keyboard order: a page control's stop is its tab bar.
    QWidget* previous = nullptr;
    for (const TLayoutRow* row : TabChain(layout)) {
        QWidget* widget = windows.value(QString::fromLatin1(row->Name));
        if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            widget = tabs->tabBar();
        if (previous != nullptr)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    return window;
}

} // namespace nimbrel::qt
