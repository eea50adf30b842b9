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

void SetMessageBoxAnswerer(std::function<void(const TMessageBoxRequest&)> answerer) {
    Answerer() = std::move(answerer);
}

} // namespace nimbrel
