// The dialog's layout tables: what every frontend relies on when it builds its windows.
#include "app/help_texts.h"
#include "app/options_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace nimbrel;

namespace {

TEST(LayoutTablesTest, ParentsComeFirstAndNamesAreUnique) {
    std::set<std::string> seen;
    int forms = 0;
    for (const TLayoutRow& row : OptionsFormLayout()) {
        if (row.Kind == TControlKind::Form) {
            ++forms;
            EXPECT_TRUE(row.Parent == nullptr) << row.Name;
        } else {
            EXPECT_TRUE(row.Parent != nullptr && seen.count(row.Parent) == 1) << row.Name;
        }
        EXPECT_TRUE(seen.insert(row.Name).second) << row.Name;
        if (row.Kind == TControlKind::TabSheet) {
            const TLayoutRow* parent = FindRow(OptionsFormLayout(), row.Parent);
            ASSERT_NE(parent, nullptr) << row.Name;
            EXPECT_EQ(parent->Kind, TControlKind::PageControl) << row.Name;
        }
    }
    EXPECT_EQ(forms, 1);
    const TLayoutRow* form = FindRow(OptionsFormLayout(), "OptionsForm");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Bounds.Width, 440);
    EXPECT_EQ(form->Bounds.Height, 262);
}

// The page control, each page's controls (the screen saver's sizing group before the
// wallpaper's), then the two buttons of the panel.
TEST(LayoutTablesTest, TabOrderOfTheDialog) {
    std::vector<std::string> names;
    for (const TLayoutRow* row : TabChain(OptionsFormLayout()))
        names.emplace_back(row->Name);
    const std::vector<std::string> expected = {"Page",          "IdleTimeTrackBar",
                                               "Drive",         "Folder",
                                               "WallpaperList", "Button2",
                                               "Button1",       "AutoLoad",
                                               "ExitOnChange",  "ScreenSaverTrackBar",
                                               "UseAccessKey",  "AKShift",
                                               "AKCode",        "AKTimes",
                                               "AKPassword",    "AKPassword2",
                                               "OtherSS",       "SSFit",
                                               "SSOrg",         "WMFit",
                                               "WMOrg",         "WMRes",
                                               "WMWidth",       "WMHeight",
                                               "WMPosition",    "Button4",
                                               "Button6",       "Button5",
                                               "Button3"};
    EXPECT_EQ(names, expected);
}

TEST(LayoutTablesTest, LabelsNameExistingLabels) {
    for (const TLayoutRow& row : OptionsFormLayout()) {
        if (row.LabelledBy == nullptr)
            continue;
        const TLayoutRow* label = FindRow(OptionsFormLayout(), row.LabelledBy);
        EXPECT_TRUE(label != nullptr && std::strlen(label->Caption) > 0) << row.Name;
    }
}

TEST(LayoutTablesTest, AccessKeys) {
    const struct {
        const char* caption;
        std::string::size_type key;
    } cases[] = {{"&OK", 1},
                 {"&Set as next", 1},
                 {"Fish && &Chips", 9},
                 {"No key", std::string::npos},
                 {"Ends &", std::string::npos},
                 {"&&", std::string::npos}};
    for (const auto& c : cases)
        EXPECT_EQ(AccessKeyPosition(c.caption), c.key) << c.caption;
}

// Where no help viewer is, every help number of the layout has a text of its own, and the
// pop-up ends with the help file and the topic.
TEST(LayoutTablesTest, EveryHelpNumberHasItsText) {
    std::set<std::string> texts;
    for (const TLayoutRow& row : OptionsFormLayout()) {
        if (row.HelpContext == 0)
            continue;
        const std::string text(HelpTopicText(row.HelpContext));
        EXPECT_GT(text.size(), 30u) << row.Name;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 22u); // one text per number, none shared
    EXPECT_EQ(HelpPopupText("C:\\N\\NIMBREL.HLP", 2001),
              std::string(HelpTopicText(2001)) + "\rC:\\N\\NIMBREL.HLP, topic 2001");
    EXPECT_TRUE(HelpTopicText(0).empty());
    EXPECT_EQ(HelpPopupText("X.HLP", 4711), "X.HLP, topic 4711");
}

} // namespace
