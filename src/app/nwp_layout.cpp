// The "NWP support" page.
#include "app/options_layout.h"

namespace nimbrel {
namespace {

using enum TControlKind;

constexpr TLayoutRow NWP[] = {
    {.Name = "Label4",
     .Kind = Label,
     .Parent = "TabSheet3",
     .Caption = "Nimbrel version 2.x used NWP (compressed BMP) files for images. From version "
                "3.0, Nimbrel uses JPEG files. If you still have old NWP files, you need to "
                "convert them to use them with Nimbrel 3.x.",
     .Bounds = {4, 6, 425, 43},
     .Style = lsWordWrap},
    {.Name = "NoOfNWPs",
     .Kind = Label,
     .Parent = "TabSheet3",
     .Bounds = {4, 52, 425, 45},
     .Style = lsWordWrap},
    {.Name = "Button4",
     .Kind = Button,
     .Parent = "TabSheet3",
     .Caption = "Convert",
     .Bounds = {138, 168, 75, 25},
     .TabOrder = 0,
     .Style = lsDisabled},
    {.Name = "Button6",
     .Kind = Button,
     .Parent = "TabSheet3",
     .Caption = "Delete",
     .Bounds = {219, 168, 75, 25},
     .TabOrder = 1,
     .Style = lsDisabled},
};

} // namespace

std::span<const TLayoutRow> NWPPageLayout() {
    return NWP;
}

} // namespace nimbrel
