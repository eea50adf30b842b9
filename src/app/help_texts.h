#pragma once
// What the dialog's context help says where no help viewer shows the help file: a short
// text for each help number of the layout.
#include <string>
#include <string_view>

namespace nimbrel {

// The text of a help number: what the control does, its range, what it changes; empty for
// a number the dialog does not use.
std::string_view HelpTopicText(int context);
// The pop-up's whole text: the topic's text, then the help file and the topic on the last
// line.
std::string HelpPopupText(std::string_view helpFile, int context);

} // namespace nimbrel
