#include "app/help.h"

#include "app/options_form.h"
#include "platform/help.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QVariant>
#include <QWidget>

#include <cstdint>

namespace nimbrel {
namespace {

constexpr const char* HelpContextProperty = "helpContext";

// HELP_SETPOPUP_POS carries the point as x in the low word and y in the high word.
std::uintptr_t PackPoint(QPoint point) {
    const auto x = static_cast<std::uint16_t>(point.x());
    const auto y = static_cast<std::uint16_t>(point.y());
    return static_cast<std::uintptr_t>(x) | (static_cast<std::uintptr_t>(y) << 16);
}

} // namespace

void SetHelpContext(QWidget* control, int context) {
    control->setProperty(HelpContextProperty, context);
}

int HelpContext(const QWidget* control) {
    return control->property(HelpContextProperty).toInt();
}

QWidget* HelpContextHolder(QWidget* control) {
    for (QWidget* w = control; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (HelpContext(w) != 0)
            return w;
    }
    return nullptr;
}

void TOptionsForm::ShowHelpFor(QWidget* control) {
    QWidget* holder = control ? HelpContextHolder(control) : nullptr;
    if (!holder || holder->window() != this)
        return;
    platform::WinHelp(helpFile_, platform::HelpSetPopupPos,
                      PackPoint(holder->mapToGlobal(QPoint(0, 0))));
    platform::WinHelp(helpFile_, platform::HelpContextPopup,
                      static_cast<std::uintptr_t>(HelpContext(holder)));
}

// F1 goes through a shortcut; the caption's help button puts the application into its
// "what's this" mode, whose click arrives here as a WhatsThis event for the clicked widget.
bool TOptionsForm::HelpEvent(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::WhatsThis && event->type() != QEvent::QueryWhatsThis)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    event->accept();
    if (event->type() == QEvent::WhatsThis)
        ShowHelpFor(widget);
    return true;
}

} // namespace nimbrel
