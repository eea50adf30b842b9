// The dialog's shell: the window, the page control with its pages, the bottom panel.
#include "app/options_layout.h"

#include <vector>

namespace nimbrel {
namespace {

using enum TControlKind;

constexpr int PanelHeight = 30;

// Enter presses a button only while it has the focus: neither is the default.
constexpr TLayoutRow Shell[] = {
    {.Name = "OptionsForm",
     .Kind = Form,
     .Caption = "Nimbrel Extensions",
     .Bounds = {0, 0, ClientWidth, ClientHeight}},
    {.Name = "Page",
     .Kind = PageControl,
     .Parent = "OptionsForm",
     .Bounds = {0, 0, ClientWidth, ClientHeight - PanelHeight},
     .TabOrder = 0,
     .SpokenName = "Pages"},
    {.Name = "TabSheet1", .Kind = TabSheet, .Parent = "Page", .Caption = "Wallpaper"},
    {.Name = "TabSheet2", .Kind = TabSheet, .Parent = "Page", .Caption = "Screen Saver"},
    {.Name = "TabSheet4", .Kind = TabSheet, .Parent = "Page", .Caption = "Picture Stretching"},
    {.Name = "TabSheet3", .Kind = TabSheet, .Parent = "Page", .Caption = "NWP support"},
    {.Name = "Panel1",
     .Kind = Panel,
     .Parent = "OptionsForm",
     .Bounds = {0, ClientHeight - PanelHeight, ClientWidth, PanelHeight},
     .TabOrder = 1},
    {.Name = "Button5",
     .Kind = Button,
     .Parent = "Panel1",
     .Caption = "&OK",
     .Bounds = {287, 4, 75, 25},
     .HelpContext = 3001,
     .TabOrder = 0},
    {.Name = "Button3",
     .Kind = Button,
     .Parent = "Panel1",
     .Caption = "&Cancel",
     .Bounds = {365, 4, 75, 25},
     .HelpContext = 3002,
     .TabOrder = 1},
};

} // namespace

std::span<const TLayoutRow> ShellLayout() {
    return Shell;
}

TLayout OptionsFormLayout() {
    static const std::vector<TLayoutRow> all = [] {
        std::vector<TLayoutRow> rows;
        for (std::span<const TLayoutRow> table :
             {ShellLayout(), WallpaperPageLayout(), ScreenSaverPageLayout(), StretchingPageLayout(),
              NWPPageLayout()})
            rows.insert(rows.end(), table.begin(), table.end());
        return rows;
    }();
    return all;
}

} // namespace nimbrel
