#pragma once
// The screen cursor of the application: the GUI maps it to its override cursor,
// a command-line tool leaves it unset.
#include <functional>

namespace nimbrel {

enum class TCursor { crDefault, crHourGlass };

TCursor ScreenCursor();
void SetScreenCursor(TCursor cursor);
// Called with every change of the cursor.
void SetScreenCursorHandler(std::function<void(TCursor)> handler);

} // namespace nimbrel
