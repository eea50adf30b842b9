#pragma once
// The help viewer: context pop-ups by help file and context number.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel::platform {

enum : unsigned {
    HelpContextPopup = 0x0008, // HELP_CONTEXTPOPUP: data is the context number
    HelpSetPopupPos = 0x000D,  // HELP_SETPOPUP_POS: data is the point (x low word, y high word)
};

// HELP_SETPOPUP_POS's data: x in the low word, y in the high word, each a signed 16 bits.
struct HelpPopupPos {
    std::int16_t x = 0;
    std::int16_t y = 0;
};
constexpr std::uintptr_t PackHelpPopupPos(int x, int y) {
    return static_cast<std::uintptr_t>(static_cast<std::uint16_t>(x)) |
           static_cast<std::uintptr_t>(static_cast<std::uint16_t>(y)) << 16;
}
constexpr HelpPopupPos UnpackHelpPopupPos(std::uintptr_t data) {
    return {static_cast<std::int16_t>(data & 0xFFFF),
            static_cast<std::int16_t>(data >> 16 & 0xFFFF)};
}

// WinHelp(window, file, command, data): false when Windows' viewer did not take it.
bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data);

// Every request is recorded. One that no viewer shows (the emulated environment has none;
// Windows may have none, or no help file beside the program) is handed to a presenter
// that the GUI may install (a small pop-up beside the control), and so is every pop-up's
// place (HELP_SETPOPUP_POS).
struct HelpRequest {
    std::string helpFile;
    unsigned command = 0;
    std::uintptr_t data = 0;
};
const std::vector<HelpRequest>& RecordedHelpRequests();
void ClearRecordedHelpRequests();
void SetHelpPresenter(std::function<void(const HelpRequest&)> presenter);

} // namespace nimbrel::platform
