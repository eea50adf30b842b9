#include "qt_dialog_driver.h"

#include "controls/qt/text.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <stdexcept>

namespace nimbrel::test {

using qt::FromQString;
using qt::ToQString;
namespace {

Qt::KeyboardModifiers ModifiersOf(TShiftState shift) {
    Qt::KeyboardModifiers modifiers;
    if (shift & ssShift)
        modifiers |= Qt::ShiftModifier;
    if (shift & ssCtrl)
        modifiers |= Qt::ControlModifier;
    if (shift & ssAlt)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

Qt::Key QtKeyOf(int virtualKey) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return static_cast<Qt::Key>(virtualKey);
    if (virtualKey >= VkF1 && virtualKey < VkF1 + 24)
        return static_cast<Qt::Key>(Qt::Key_F1 + (virtualKey - VkF1));
    switch (virtualKey) {
    case VkBack:
        return Qt::Key_Backspace;
    case VkTab:
        return Qt::Key_Tab;
    case VkReturn:
        return Qt::Key_Return;
    case VkEscape:
        return Qt::Key_Escape;
    case VkSpace:
        return Qt::Key_Space;
    case VkPrior:
        return Qt::Key_PageUp;
    case VkNext:
        return Qt::Key_PageDown;
    case VkEnd:
        return Qt::Key_End;
    case VkHome:
        return Qt::Key_Home;
    case VkLeft:
        return Qt::Key_Left;
    case VkUp:
        return Qt::Key_Up;
    case VkRight:
        return Qt::Key_Right;
    case VkDown:
        return Qt::Key_Down;
    case VkInsert:
        return Qt::Key_Insert;
    case VkDelete:
        return Qt::Key_Delete;
    default:
        throw std::invalid_argument("no Qt key for the virtual key " + std::to_string(virtualKey));
    }
}

} // namespace

QWidget& TQtDialogDriver::Widget(std::string_view control) const {
    const QString name = QString::fromUtf8(control.data(), static_cast<qsizetype>(control.size()));
    if (window_.objectName() == name)
        return window_;
    if (auto* widget = window_.findChild<QWidget*>(name))
        return *widget;
    throw std::invalid_argument("no control named " + std::string(control));
}

bool TQtDialogDriver::WaitActive() {
    window_.activateWindow();
    return QTest::qWaitForWindowActive(&window_);
}

void TQtDialogDriver::Settle() {
    QCoreApplication::processEvents();
}

void TQtDialogDriver::Repaint(std::string_view control) {
    Widget(control).repaint();
}

void TQtDialogDriver::Click(std::string_view control) {
    QTest::mouseClick(&Widget(control), Qt::LeftButton);
}

namespace {

// The middle of a line of a list, scrolled into view.
QPoint LineCentre(QListWidget& list, const std::string& control, int line) {
    QListWidgetItem* item = list.item(line);
    if (item == nullptr)
        throw std::invalid_argument("no such line of " + control);
    list.scrollToItem(item);
    return list.visualItemRect(item).center();
}

QListWidget& ListOf(QWidget& widget, std::string_view control) {
    auto* list = qobject_cast<QListWidget*>(&widget);
    if (list == nullptr)
        throw std::invalid_argument(std::string(control) + " is no list");
    return *list;
}

} // namespace

void TQtDialogDriver::ClickLine(std::string_view control, int line) {
    QListWidget& list = ListOf(Widget(control), control);
    const QPoint at = LineCentre(list, std::string(control), line);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
}

void TQtDialogDriver::RightClickLine(std::string_view control, int line) {
    QListWidget& list = ListOf(Widget(control), control);
    const QPoint at = LineCentre(list, std::string(control), line);
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, at);
}

void TQtDialogDriver::CtrlClickLine(std::string_view control, int line) {
    QListWidget& list = ListOf(Widget(control), control);
    const QPoint at = LineCentre(list, std::string(control), line);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, at);
}

void TQtDialogDriver::DragAcrossLines(std::string_view control, int from, int to) {
    QListWidget& list = ListOf(Widget(control), control);
    const QPoint start = LineCentre(list, std::string(control), from);
    const QPoint end = LineCentre(list, std::string(control), to);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, start);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(list.viewport(), start + (end - start) * i / steps);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, end);
}

void TQtDialogDriver::ClickTab(std::string_view control, int tab) {
    auto* pages = qobject_cast<QTabWidget*>(&Widget(control));
    if (pages == nullptr)
        throw std::invalid_argument(std::string(control) + " is no page control");
    QTabBar* tabs = pages->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
}

// The help button's mode ends in a WhatsThis event for the clicked widget; a list's click
// lands on its viewport.
void TQtDialogDriver::AskHelp(std::string_view control, TPoint at) {
    QWidget* target = &Widget(control);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        target = area->viewport();
    const QPoint point(at.X, at.Y);
    QHelpEvent click(QEvent::WhatsThis, point, target->mapToGlobal(point));
    QApplication::sendEvent(target, &click);
}

void TQtDialogDriver::Focus(std::string_view control) {
    Widget(control).setFocus(Qt::MouseFocusReason);
}

void TQtDialogDriver::Key(std::string_view control, int virtualKey, TShiftState shift) {
    QTest::keyClick(&Widget(control), QtKeyOf(virtualKey), ModifiersOf(shift));
}

void TQtDialogDriver::Type(std::string_view control, std::string_view text) {
    QTest::keyClicks(&Widget(control), ToQString(text));
}

bool TQtDialogDriver::Visible() const {
    return window_.isVisible();
}

bool TQtDialogDriver::Enabled(std::string_view control) const {
    return Widget(control).isEnabled();
}

bool TQtDialogDriver::HasFocus(std::string_view control) const {
    return Widget(control).hasFocus();
}

std::string TQtDialogDriver::Text(std::string_view control) const {
    QWidget& widget = Widget(control);
    if (auto* label = qobject_cast<QLabel*>(&widget))
        return FromQString(label->text());
    if (auto* edit = qobject_cast<QLineEdit*>(&widget))
        return FromQString(edit->text());
    if (auto* list = qobject_cast<QComboBox*>(&widget))
        return FromQString(list->currentText());
    if (auto* button = qobject_cast<QAbstractButton*>(&widget))
        return FromQString(button->text());
    return FromQString(widget.windowTitle());
}

std::vector<std::string> TQtDialogDriver::Lines(std::string_view control) const {
    std::vector<std::string> lines;
    if (auto* list = qobject_cast<QListWidget*>(&Widget(control))) {
        for (int row = 0; row < list->count(); ++row)
            lines.push_back(FromQString(list->item(row)->text()));
    }
    return lines;
}

int TQtDialogDriver::SelectedLine(std::string_view control) const {
    if (auto* list = qobject_cast<QListWidget*>(&Widget(control)))
        return list->currentRow();
    if (auto* combo = qobject_cast<QComboBox*>(&Widget(control)))
        return combo->currentIndex();
    return -1;
}

bool TQtDialogDriver::Checked(std::string_view control) const {
    auto* button = qobject_cast<QAbstractButton*>(&Widget(control));
    return button != nullptr && button->isChecked();
}

int TQtDialogDriver::Position(std::string_view control) const {
    auto* bar = qobject_cast<QAbstractSlider*>(&Widget(control));
    if (bar == nullptr)
        throw std::invalid_argument(std::string(control) + " is no track bar");
    return bar->value();
}

std::string TQtDialogDriver::HelpPopupText() const {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* popup = qobject_cast<QLabel*>(widget);
        if (popup != nullptr && popup->objectName() == QStringLiteral("HelpPopup") &&
            popup->isVisible()) {
            QString text = popup->text();
            text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
            return FromQString(text);
        }
    }
    return {};
}

TColour TQtDialogDriver::PaintedCentre(std::string_view control) {
    const QImage painted = Widget(control).grab().toImage();
    const QColor centre = painted.pixelColor(painted.width() / 2, painted.height() / 2);
    return {centre.red(), centre.green(), centre.blue()};
}

bool TQtDialogDriver::SavePicture(const std::string& file) {
    QCoreApplication::processEvents();
    return window_.grab().save(QString::fromStdString(file));
}

} // namespace nimbrel::test

#include "dialog_fixture.h"

namespace nimbrel::test {

std::unique_ptr<TDialogDriver> MakeDriver(TForm& form) {
    auto* window = dynamic_cast<QWidget*>(form.Peer());
    if (window == nullptr)
        throw std::logic_error("the dialog has no Qt window");
    return std::make_unique<TQtDialogDriver>(*window);
}

} // namespace nimbrel::test
