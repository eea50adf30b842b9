#pragma once
// The dialog's modal message boxes, all with one OK button, shown by the toolkit. Tests
// install an answerer in place of the real box, so they can see what was shown and go on
// at once.
#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

enum class TMessageIcon { None, Error };

struct TMessageBoxRequest {
    std::string caption; // code page 1250
    std::string text;    // code page 1250; a carriage return starts a new line
    TMessageIcon icon = TMessageIcon::None;
};

// The text with each of its line breaks as the toolkit writes one (`lineBreak`): a carriage
// return, alone or followed by a line feed, and a line feed alone.
std::string WithLineBreaks(std::string_view text, std::string_view lineBreak);

// Shows the box modally over the active window until it is dismissed.
void ShowMessageBox(const TMessageBoxRequest& request);

// Replaces showing: every request goes to the answerer instead. An empty one restores.
void SetMessageBoxAnswerer(std::function<void(const TMessageBoxRequest&)> answerer);

} // namespace nimbrel
