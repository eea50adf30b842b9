// A paint that fails, as a picture that cannot be decoded does, is the standard error
// report, and the dialog stays. (Qt only: the failing painter is a widget of its own.)
#include "dialog_fixture.h"

#include "sysutil/exception.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

class FailingPaint : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { throw Exception("JPEG error #42"); }
};

TEST(QtPaintError, PaintErrorIsReported) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    auto failing = std::make_unique<FailingPaint>(dynamic_cast<QWidget*>(form.TabSheet1->Peer()));
    failing->setGeometry(0, 0, 10, 10);
    failing->show();
    ASSERT_TRUE(fixture.SettleUntil([&] { return fixture.messages.size() == 1; }))
        << fixture.MessageTexts();
    EXPECT_EQ(fixture.messages[0].text, std::string("JPEG error #42"));
    EXPECT_EQ(fixture.messages[0].icon, TMessageIcon::Error);
    failing.reset();
    EXPECT_TRUE(fixture.Driver().Visible());
}

} // namespace
