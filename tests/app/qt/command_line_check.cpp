// Run with Qt's own options before the program's switch (-reverse -qwindowtitle X
// /NWPSUPPORT): Qt takes none of them, so the program sees them all as its arguments, the
// first of which is no switch, and the dialog is neither mirrored nor retitled.
#include "dialog_fixture.h"

#include "controls/qt/application.h"

#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

TEST(QtCommandLine, QtOptionsAreOrdinaryText) {
    auto* application = dynamic_cast<qt::TQtApplication*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    const std::vector<std::string> expected{"-reverse", "-qwindowtitle", "X", "/NWPSUPPORT"};
    ASSERT_EQ(application->ProgramArguments(), expected);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open(application->ProgramArguments());
    EXPECT_EQ(form.Page->ActivePage()->Name(), "TabSheet1");
    auto* window = dynamic_cast<QWidget*>(form.Peer());
    EXPECT_EQ(window->layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(window->windowTitle().toStdString(), "Nimbrel Extensions");
}

} // namespace
