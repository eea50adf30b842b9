// What the Qt fields and lists of the dialog show: the text selected on entering a field,
// the lines' heights.
#include "dialog_fixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include <gtest/gtest.h>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

template <class Widget> Widget& Find(TOptionsForm& form, const char* name) {
    auto* widget = dynamic_cast<QWidget*>(form.Peer())->findChild<Widget*>(name);
    if (widget == nullptr)
        throw std::logic_error(std::string("no widget ") + name);
    return *widget;
}

// The height that entering the field computes is selected, so that typing replaces it, as
// in every other field entered with Tab.
TEST(QtFieldsAndLists, HeightSetOnEnteringIsSelected) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    form.Page->SetActivePage(form.TabSheet4);
    driver.Click("WMRes");
    driver.Click("WMWidth");
    form.WMWidth->SetValue(800);
    driver.Key("WMWidth", VkTab);
    ASSERT_TRUE(driver.HasFocus("WMHeight"));
    const QLineEdit& height = Find<QLineEdit>(form, "WMHeight");
    EXPECT_EQ(height.text().toStdString(), "600");
    EXPECT_EQ(height.selectedText().toStdString(), "600");
    // And the width field, entered with Shift+Tab, shows its own text selected.
    driver.Key("WMHeight", VkTab, ssShift);
    const QLineEdit& width = Find<QLineEdit>(form, "WMWidth");
    EXPECT_EQ(width.selectedText().toStdString(), "800");
}

// The folder list's lines are 16 pixels high, the wallpaper list's 13.
TEST(QtFieldsAndLists, LineHeights) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    const struct {
        const char* list;
        int height;
    } cases[] = {{"Folder", 16}, {"WallpaperList", 13}};
    for (const auto& c : cases) {
        const QListWidget& list = Find<QListWidget>(form, c.list);
        ASSERT_GT(list.count(), 1) << c.list;
        for (int row = 0; row < list.count(); ++row)
            EXPECT_EQ(list.visualItemRect(list.item(row)).height(), c.height)
                << c.list << " line " << row;
    }
}

} // namespace
