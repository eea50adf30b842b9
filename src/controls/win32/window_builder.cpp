#include "controls/win32/window_builder.h"

#include "controls/win32/controls.h"
#include "controls/win32/dpi.h"
#include "controls/win32/form_window.h"
#include "controls/win32/text.h"
#include "controls/win32/windows_api.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace nimbrel::win32 {
namespace {

// Where a row's rectangle lies: the window it is made on and, in layout pixels, the
// offset of its parent's origin there (a group box is no window parent: its controls lie
// on the group box's own parent, shifted by its position).
struct Host {
    HWND window = nullptr;
    int left = 0;
    int top = 0;
};

// Without a manifest asking for the themed common controls, Windows draws every control in
// the classic style. Wine's tab control and track bars follow its theme all the same, which
// makes them unlike the other controls and costs most of the dialog's first paint there: a
// theme class list that names no class keeps them classic, as on Windows.
void DrawClassic(HWND window) {
    SetWindowTheme(window, L" ", L" ");
}

class Builder : public std::enable_shared_from_this<Builder> {
public:
    Builder(TForm& form, TLayout layout) : form_(form), layout_(layout) {}

    // The form's window and the windows of every control outside the pages. A page's
    // controls get theirs when the page is first shown: a page never shown costs no
    // window, and making windows is most of what the dialog's start-up waits for.
    std::unique_ptr<TFormWindow> Build() {
        if (layout_.empty() || layout_.front().Kind != TControlKind::Form)
            throw std::logic_error("the layout's first row is not the form");
        PlanTheKeyboard();
        const TLayoutRow& formRow = layout_.front();
        auto window = std::make_unique<TFormWindow>(form_, formRow);
        window_ = window.get();
        hosts_[formRow.Name] = {window_->Handle(), 0, 0};
        made_[formRow.Name] = window_;
        std::vector<const TLayoutRow*> rows;
        for (const TLayoutRow* row : CreationOrder()) {
            if (const TLayoutRow* page = PageOf(*row))
                waiting_[page->Name].push_back(row);
            else
                rows.push_back(row);
        }
        MakeWindows(rows);
        RaisePages();
        window_->SetPageMaker([self = shared_from_this()](HWND page) { self->MakePage(page); });
        rows.push_back(&formRow);
        AttachInLayoutOrder(rows);
        return window;
    }

private:
    void MakePage(HWND page) {
        for (auto& [name, rows] : waiting_) {
            if (rows.empty() || made_.at(name)->Handle() != page)
                continue;
            const std::vector<const TLayoutRow*> making = std::exchange(rows, {});
            MakeWindows(making);
            AttachInLayoutOrder(making);
            return;
        }
    }

    // The windows of these rows, in the keyboard's order, clear of their neighbours.
    void MakeWindows(const std::vector<const TLayoutRow*>& rows) {
        for (const TLayoutRow* row : rows)
            Make(*row);
        ShowTabChain();
        GiveWayToOtherControls(rows);
    }

    // The page a row's control lies on, or nullptr outside the pages.
    const TLayoutRow* PageOf(const TLayoutRow& row) const {
        for (const TLayoutRow* up = &row; up->Parent != nullptr;) {
            up = FindRow(layout_, up->Parent);
            if (up == nullptr)
                return nullptr;
            if (up->Kind == TControlKind::TabSheet)
                return up;
        }
        return nullptr;
    }

    void AttachInLayoutOrder(const std::vector<const TLayoutRow*>& rows) {
        for (const TLayoutRow& row : layout_) {
            if (std::find(rows.begin(), rows.end(), &row) == rows.end())
                continue;
            TControl* control = form_.FindControl(row.Name);
            if (control == nullptr)
                throw std::logic_error(std::string("no control for the layout row ") + row.Name);
            if (auto* peer = dynamic_cast<TControlPeer*>(made_.at(row.Name)))
                control->AttachPeer(peer);
        }
    }

    // The windows made so far, in the order of the tab chain.
    void ShowTabChain() {
        std::vector<HWND> chain;
        for (const TLayoutRow* row : chain_) {
            if (const auto made = made_.find(row->Name); made != made_.end())
                chain.push_back(made->second->Handle());
        }
        window_->SetTabChain(std::move(chain));
    }

    RECT Bounds(const Host& host, const TLayoutRect& r) const {
        const int left = host.left + r.Left;
        const int top = host.top + r.Top;
        return {Scaled(left), Scaled(top), Scaled(left + r.Width), Scaled(top + r.Height)};
    }

    template <class Window, class... Arguments>
    Window& Adopt(const TLayoutRow& row, Arguments&&... arguments) {
        auto window = std::make_unique<Window>(*window_, form_.FindControl(row.Name),
                                               std::forward<Arguments>(arguments)...);
        Window& adopted = window_->Adopt(std::move(window));
        made_[row.Name] = &adopted;
        return adopted;
    }

    // A group box may be made after the controls inside its frame: they lie on its parent.
    Host HostOf(const TLayoutRow& row) const {
        if (const auto parent = hosts_.find(row.Parent != nullptr ? row.Parent : "");
            parent != hosts_.end())
            return parent->second;
        const TLayoutRow* parent = row.Parent != nullptr ? FindRow(layout_, row.Parent) : nullptr;
        if (parent == nullptr || parent->Kind != TControlKind::GroupBox)
            throw std::logic_error(std::string("the layout row comes before its parent: ") +
                                   row.Name);
        const Host host = HostOf(*parent);
        return {host.window, host.left + parent->Bounds.Left, host.top + parent->Bounds.Top};
    }

    void Make(const TLayoutRow& row) {
        const Host host = HostOf(row);
        RECT bounds = Bounds(host, row.Bounds);
        // Labels and buttons are made with the caption their control shows them at once.
        const TControl* control = form_.FindControl(row.Name);
        const std::wstring caption = control != nullptr ? Wide(control->Caption()) : L"";
        const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
                            (row.TabOrder >= 0 ? WS_TABSTOP : 0) |
                            (startsGroup_.contains(row.Name) ? WS_GROUP : 0);
        TWindow* made = nullptr;
        using enum TControlKind;
        switch (row.Kind) {
        case Form:
            break;
        case PageControl: {
            auto& pages = Adopt<TPageControlWindow>(row);
            pages.Create(0, WC_TABCONTROLW, child, bounds, host.window, true);
            DrawClassic(pages.Handle());
            made = &pages;
            hosts_[row.Name] = host;
            break;
        }
        case TabSheet: {
            auto* pages = dynamic_cast<TPageControlWindow*>(made_.at(row.Parent));
            if (pages == nullptr)
                throw std::logic_error(std::string("a page outside a page control: ") + row.Name);
            auto& page = Adopt<TTabSheetWindow>(row, *pages);
            const RECT area = pages->PageArea();
            // Not clipping its children: a group box draws only its frame and caption, and
            // the page paints what lies inside it.
            page.Create(WS_EX_CONTROLPARENT, ContainerClass(), WS_CHILD | WS_CLIPSIBLINGS, area,
                        host.window, false);
            pages->AddPage(row.Caption, page.Handle());
            hosts_[row.Name] = {page.Handle(), 0, 0};
            made = &page;
            break;
        }
        case Panel: {
            auto& panel = Adopt<TContainerWindow>(row);
            panel.Create(WS_EX_CONTROLPARENT, ContainerClass(),
                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, bounds, host.window, false);
            hosts_[row.Name] = {panel.Handle(), 0, 0};
            made = &panel;
            break;
        }
        case GroupBox: {
            auto& box = Adopt<TPlainPeer>(row);
            box.Create(0, L"BUTTON", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, bounds, host.window, true,
                       caption);
            hosts_[row.Name] = {host.window, host.left + row.Bounds.Left,
                                host.top + row.Bounds.Top};
            made = &box;
            break;
        }
        case Label: {
            auto& label = Adopt<TLabelWindow>(row, row.Style);
            DWORD style = WS_CHILD | WS_VISIBLE;
            if ((row.Style & lsAlignRight) != 0)
                style |= SS_RIGHT;
            else if ((row.Style & lsWordWrap) != 0)
                style |= SS_LEFT;
            else
                style |= SS_LEFTNOWORDWRAP;
            // A label that sizes itself to its text is made in that size at once.
            if ((row.Style & lsAutoSize) != 0) {
                const SIZE extent = window_->TextExtent(caption);
                bounds.right = bounds.left + extent.cx;
                bounds.bottom = bounds.top + extent.cy;
            }
            label.Create(0, L"STATIC", style, bounds, host.window, true, caption);
            made = &label;
            break;
        }
        case Button: {
            auto& button = Adopt<TButtonWindow>(row);
            button.Create(0, L"BUTTON", child | BS_PUSHBUTTON, bounds, host.window, true, caption);
            made = &button;
            break;
        }
        case CheckBox: {
            auto& box = Adopt<TCheckBoxWindow>(row);
            box.Create(0, L"BUTTON", child | BS_CHECKBOX, bounds, host.window, true, caption);
            made = &box;
            break;
        }
        case RadioButton: {
            auto& button = Adopt<TRadioButtonWindow>(row);
            button.Create(0, L"BUTTON", child | BS_RADIOBUTTON, bounds, host.window, true, caption);
            made = &button;
            break;
        }
        case TrackBar: {
            auto& bar = Adopt<TTrackBarWindow>(row);
            bar.Create(0, TRACKBAR_CLASSW, child | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS, bounds,
                       host.window, true);
            DrawClassic(bar.Handle());
            if (row.TickFrequency > 0)
                SendMessageW(bar.Handle(), TBM_SETTICFREQ, row.TickFrequency, 0);
            made = &bar;
            break;
        }
        case DropDownList:
        case DriveSelector: {
            // The window's height includes the open list's lines.
            const int lines = row.DropDownCount > 0 ? row.DropDownCount : 8;
            bounds.bottom += Scaled(14) * lines;
            const DWORD style = child | CBS_DROPDOWNLIST | WS_VSCROLL;
            if (row.Kind == DropDownList) {
                auto& list = Adopt<TDropDownListWindow>(row);
                list.Create(0, L"COMBOBOX", style, bounds, host.window, true);
                made = &list;
            } else {
                auto& drives = Adopt<TDriveSelectorWindow>(row);
                drives.Create(0, L"COMBOBOX", style, bounds, host.window, true);
                made = &drives;
            }
            break;
        }
        case ListBox: {
            auto& list = Adopt<TListBoxWindow>(row);
            list.Create(WS_EX_CLIENTEDGE, L"LISTBOX",
                        child | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, bounds, host.window,
                        true);
            if (row.ItemHeight > 0)
                SendMessageW(list.Handle(), LB_SETITEMHEIGHT, 0, Scaled(row.ItemHeight));
            made = &list;
            break;
        }
        case FolderList: {
            auto& list = Adopt<TFolderListWindow>(row);
            list.Create(WS_EX_CLIENTEDGE, L"LISTBOX",
                        child | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED |
                            LBS_HASSTRINGS | WS_VSCROLL,
                        bounds, host.window, true);
            made = &list;
            break;
        }
        case PasswordEdit: {
            auto& edit = Adopt<TPasswordWindow>(row);
            edit.Create(WS_EX_CLIENTEDGE, L"EDIT", child | ES_PASSWORD | ES_AUTOHSCROLL, bounds,
                        host.window, true);
            SendMessageW(edit.Handle(), EM_SETPASSWORDCHAR, L'*', 0);
            made = &edit;
            break;
        }
        case GetString:
        case GetNumber: {
            auto& edit = Adopt<TEntryFieldWindow>(row);
            edit.Create(WS_EX_CLIENTEDGE, L"EDIT", child | ES_AUTOHSCROLL, bounds, host.window,
                        true);
            made = &edit;
            break;
        }
        case PictureBox: {
            auto& box = Adopt<TPictureBoxWindow>(row);
            box.Create(0, ContainerClass(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, bounds,
                       host.window, false);
            made = &box;
            break;
        }
        }
        if (made != nullptr)
            SendMessageW(made->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(window_->Font()),
                         FALSE);
    }

    // Tab walks the tab chain of the tables. The other dialog keys walk the windows in
    // their z-order: each labelled control right after its label (a label's access key
    // moves to the window after it), and a tab stop starts a group unless it is a radio
    // button after another of the same parent, so that the arrow keys move within the radio
    // buttons of a group box. Planned before any window exists, so that each window is
    // made in its place and with its style: moving them afterwards costs a trip to the
    // window server for each.
    void PlanTheKeyboard() {
        chain_ = TabChain(layout_);
        const auto place = [this](const char* name) {
            if (!zPlace_.contains(name))
                zPlace_.emplace(name, static_cast<int>(zPlace_.size()));
        };
        const TLayoutRow* previous = nullptr;
        for (const TLayoutRow* row : chain_) {
            if (row->LabelledBy != nullptr && FindRow(layout_, row->LabelledBy) != nullptr)
                place(row->LabelledBy);
            place(row->Name);
            const bool sameGroup = previous != nullptr && row->Kind == TControlKind::RadioButton &&
                                   previous->Kind == TControlKind::RadioButton &&
                                   std::string_view(previous->Parent) == row->Parent;
            if (!sameGroup)
                startsGroup_.insert(row->Name);
            previous = row;
        }
    }

    // A new child window goes below its siblings, so each parent's windows are made from
    // the top of their z-order down: first the windows outside the keyboard's order as the
    // rows list them, then those in it in its order, then the group boxes, which lie below
    // the controls drawn inside their frames. A window comes after the window it lies on.
    // The pages come last: each adds its tab, and they lie above their page control.
    std::vector<const TLayoutRow*> CreationOrder() const {
        struct Key {
            int depth;
            int band;
            int place;
        };
        std::map<const TLayoutRow*, Key> keys;
        std::vector<const TLayoutRow*> rows;
        for (std::size_t i = 1; i < layout_.size(); ++i) {
            const TLayoutRow& row = layout_[i];
            const int index = static_cast<int>(i);
            int depth = 0;
            for (const TLayoutRow* up = &row; up->Parent != nullptr;) {
                up = FindRow(layout_, up->Parent);
                if (up == nullptr)
                    break;
                if (up->Kind == TControlKind::TabSheet || up->Kind == TControlKind::Panel)
                    ++depth;
            }
            Key key{depth, 0, index};
            if (row.Kind == TControlKind::TabSheet)
                key = {depth, 3, index};
            else if (row.Kind == TControlKind::GroupBox)
                key = {depth, 2, index};
            else if (const auto placed = zPlace_.find(row.Name); placed != zPlace_.end())
                key = {depth, 1, placed->second};
            keys.emplace(&row, key);
            rows.push_back(&row);
        }
        std::stable_sort(
            rows.begin(), rows.end(), [&keys](const TLayoutRow* a, const TLayoutRow* b) {
                const Key& x = keys.at(a);
                const Key& y = keys.at(b);
                return std::tie(x.depth, x.band, x.place) < std::tie(y.depth, y.band, y.place);
            });
        return rows;
    }

    // A page fills its page control's page area, known once all the tabs are there.
    void RaisePages() {
        for (const TLayoutRow& row : layout_) {
            if (row.Kind != TControlKind::TabSheet)
                continue;
            const auto* pages = dynamic_cast<TPageControlWindow*>(made_.at(row.Parent));
            const RECT area = pages->PageArea();
            SetWindowPos(made_.at(row.Name)->Handle(), HWND_TOP, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
        }
    }

    // A label, check box or radio button often reaches over a neighbour with the empty part
    // of its rectangle (the tables come from a toolkit whose labels have no window); lying
    // above it, it would clip the neighbour's frame. It gives that part up.
    void GiveWayToOtherControls(const std::vector<const TLayoutRow*>& rows) {
        using enum TControlKind;
        const auto givesWay = [](TControlKind kind) {
            return kind == Label || kind == CheckBox || kind == RadioButton;
        };
        const auto isContainer = [](TControlKind kind) {
            return kind == Form || kind == PageControl || kind == TabSheet || kind == Panel ||
                   kind == GroupBox;
        };
        for (const TLayoutRow* made : rows) {
            const TLayoutRow& row = *made;
            if (!givesWay(row.Kind))
                continue;
            HWND window = made_.at(row.Name)->Handle();
            RECT bounds{};
            GetWindowRect(window, &bounds);
            HRGN kept = nullptr;
            for (const TLayoutRow* neighbourRow : rows) {
                const TLayoutRow& other = *neighbourRow;
                if (givesWay(other.Kind) || isContainer(other.Kind))
                    continue;
                HWND neighbour = made_.at(other.Name)->Handle();
                RECT theirs{};
                RECT overlap{};
                GetWindowRect(neighbour, &theirs);
                if (GetParent(neighbour) != GetParent(window) ||
                    !IntersectRect(&overlap, &bounds, &theirs))
                    continue;
                if (kept == nullptr)
                    kept =
                        CreateRectRgn(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
                OffsetRect(&overlap, -bounds.left, -bounds.top);
                HRGN cut = CreateRectRgnIndirect(&overlap);
                CombineRgn(kept, kept, cut, RGN_DIFF);
                DeleteObject(cut);
            }
            // The window owns its region from here on.
            if (kept != nullptr && SetWindowRgn(window, kept, FALSE) == 0)
                DeleteObject(kept);
        }
    }

    TForm& form_;
    TLayout layout_;
    TFormWindow* window_ = nullptr;
    std::map<std::string, Host, std::less<>> hosts_;
    // The rows of each page whose windows are not made yet, in their making order.
    std::map<std::string, std::vector<const TLayoutRow*>, std::less<>> waiting_;
    std::map<std::string, TWindow*, std::less<>> made_;
    std::vector<const TLayoutRow*> chain_;
    // The keyboard's z-order place of each window in it, and the tab stops starting a group.
    std::map<std::string, int, std::less<>> zPlace_;
    std::set<std::string, std::less<>> startsGroup_;
};

} // namespace

std::unique_ptr<TFormWindow> BuildFormWindow(TForm& form, TLayout layout) {
    return std::make_shared<Builder>(form, layout)->Build();
}

} // namespace nimbrel::win32
