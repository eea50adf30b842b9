#include "controls/toolkit.h"

#include "sysutil/message_pump.h"

#include <cstdint>
#include <stdexcept>

namespace nimbrel {
namespace {

TToolkit* installed = nullptr;

} // namespace

void InstallToolkit(TToolkit* toolkit) {
    installed = toolkit;
    if (toolkit == nullptr) {
        SetMessagePump({});
        SetScreenCursorHandler({});
        platform::SetHelpPresenter({});
        return;
    }
    SetMessagePump([toolkit] { toolkit->ProcessMessages(); });
    SetScreenCursorHandler([toolkit](TCursor cursor) { toolkit->ShowScreenCursor(cursor); });
    platform::SetHelpPresenter(
        [toolkit](const platform::HelpRequest& request) { toolkit->PresentHelp(request); });
}

void TToolkit::PresentHelp(const platform::HelpRequest& request) {
    if (request.command == platform::HelpSetPopupPos) {
        const platform::HelpPopupPos pos = platform::UnpackHelpPopupPos(request.data);
        helpPosition_ = {pos.x, pos.y};
    } else if (request.command == platform::HelpContextPopup) {
        ShowHelpPopup(helpPosition_, HelpText(request.helpFile, static_cast<int>(request.data)));
    }
}

std::string TToolkit::HelpText(const std::string& helpFile, int context) const {
    if (helpTexts_)
        return helpTexts_(helpFile, context);
    return helpFile + ", topic " + std::to_string(context);
}

TToolkit& Toolkit() {
    if (installed == nullptr)
        throw std::logic_error("no toolkit is installed");
    return *installed;
}

} // namespace nimbrel
