#pragma once
// The layout as data: one row per control, from which each frontend builds its windows
// and the dialog sets up its controls (parents, captions, help numbers, ranges, items).
// Geometry, captions, ranges and help numbers are written once, in the dialog's tables.
#include <span>
#include <string_view>
#include <vector>

namespace nimbrel {

enum class TControlKind {
    Form,         // the dialog window: Bounds gives its client size
    PageControl,  // tabs; its pages are the TabSheet rows under it, in row order
    TabSheet,     // Bounds unused: a page fills its page control
    Panel,        // a plain area without frame
    GroupBox,     // a frame with its caption
    Label,        // static text
    Button,       // push button
    CheckBox,     //
    RadioButton,  // grouped with the other radio buttons of its parent
    TrackBar,     // horizontal, ticks below
    DropDownList, // a list to pick from, no typing
    ListBox,      // single selection
    DriveSelector,
    FolderList,
    PasswordEdit, // shows "*"
    GetString,    // the text entry field
    GetNumber,    // the calculator-style number field
    PictureBox,
};

// In the parent's client area, in 96-dpi pixels; a frontend scales them for the screen.
struct TLayoutRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Style bits of a row.
enum : unsigned {
    lsAutoSize = 1,   // a label sized to its text, with its top-left corner at Bounds
    lsWordWrap = 2,   // a label wrapping inside Bounds, text at the top left
    lsAlignRight = 4, // a label's text at the right of Bounds
    lsDisabled = 8,   // starts disabled
};

struct TLayoutRow {
    const char* Name;
    TControlKind Kind;
    const char* Parent = nullptr; // nullptr for the form itself
    const char* Caption = "";     // code page 1250; "&" marks the access key
    TLayoutRect Bounds = {};
    int HelpContext = 0; // 0: the parent's number applies
    int TabOrder = -1;   // place among the parent's controls; -1: no tab stop
    int Min = 0;         // track bar range and starting position
    int Max = 0;
    int Position = 0;
    int TickFrequency = 0;                   // track bar: a tick every so many steps
    int ItemHeight = 0;                      // list lines in pixels; 0: the toolkit's
    int DropDownCount = 0;                   // lines of an open drop-down list; 0: the toolkit's
    std::span<const char* const> Items = {}; // drop-down list items, code page 1250
    const char* Picture = nullptr;           // number field picture
    const char* LabelledBy = nullptr;        // the label beside the control, tied to it
    const char* SpokenName = nullptr;        // a screen reader's name where no label says it all
    const char* SpokenUnit = nullptr;        // track bar: the unit spoken after its position
    unsigned Style = 0;
};

using TLayout = std::span<const TLayoutRow>;

// The row of a name, or nullptr.
const TLayoutRow* FindRow(TLayout layout, std::string_view name);
// The controls that take the focus with Tab, in order: depth first from the form, each
// parent's controls by TabOrder; a page control is a stop itself before its pages'
// controls; containers (pages, panels, group boxes) are passed through.
std::vector<const TLayoutRow*> TabChain(TLayout layout);
// Where the access key letter of a caption is (the letter after a single "&"), or npos.
std::string_view::size_type AccessKeyPosition(std::string_view caption);

} // namespace nimbrel
