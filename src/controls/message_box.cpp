#include "controls/message_box.h"

#include "controls/toolkit.h"

#include <utility>

namespace nimbrel {
namespace {

std::function<void(const TMessageBoxRequest&)>& Answerer() {
    static std::function<void(const TMessageBoxRequest&)> answerer;
    return answerer;
}

} // namespace

void ShowMessageBox(const TMessageBoxRequest& request) {
    if (Answerer()) {
        Answerer()(request);
        return;
    }
    Toolkit().ShowMessageBox(request);
}

std::string WithLineBreaks(std::string_view text, std::string_view lineBreak) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            shown += lineBreak;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

void SetMessageBoxAnswerer(std::function<void(const TMessageBoxRequest&)> answerer) {
    Answerer() = std::move(answerer);
}

} // namespace nimbrel
