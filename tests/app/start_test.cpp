// Creation of the dialog: the first page, the placement, the program's folder, context
// help, the standard error report, and a picture of every page for review.
#include "dialog_fixture.h"

#include "app/help_texts.h"
#include "controls/error_report.h"
#include "platform/help.h"
#include "sysutil/exception.h"

#include <gtest/gtest.h>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

TEST(StartTest, FirstPageFromTheCommandLine) {
    const struct {
        std::vector<std::string> arguments;
        const char* page;
    } cases[] = {{{}, "TabSheet1"},
                 {{"/SETTINGS"}, "TabSheet1"},
                 {{"/settings"}, "TabSheet1"},
                 {{"/Settings"}, "TabSheet1"},
                 {{"/SCREENSAVER", "/NWPSUPPORT"}, "TabSheet2"},
                 {{"/NWPSUPPORT"}, "TabSheet3"},
                 {{"/NWPSUPPORT "}, "TabSheet1"},
                 {{"", "/SCREENSAVER"}, "TabSheet1"}};
    for (const auto& c : cases) {
        TDialogFixture fixture;
        const TOptionsForm& form = fixture.Open(c.arguments);
        EXPECT_EQ(form.Page->ActivePage()->Name(), std::string(c.page))
            << ::testing::PrintToString(c.arguments);
    }
}

// The dialog opens with the focus on the page control (the first place of the tab order),
// whichever page is shown first: the arrow keys move through the pages at once.
TEST(StartTest, PageControlHasTheFocusAtStart) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"/SCREENSAVER"}}) {
        TDialogFixture fixture;
        fixture.Open(arguments);
        EXPECT_TRUE(fixture.Driver().HasFocus("Page")) << ::testing::PrintToString(arguments);
    }
}

TEST(StartTest, Placement) {
    const struct {
        TSize screen;
        TSize outer;
        TPoint topLeft;
    } cases[] = {{{800, 600}, {446, 289}, {277, 206}},
                 {{1024, 768}, {446, 289}, {389, 290}},
                 {{1023, 767}, {447, 291}, {388, 288}},
                 {{440, 262}, {440, 262}, {100, 50}}};
    for (const auto& c : cases) {
        const TPoint placed = DialogPlacement(c.screen, c.outer);
        EXPECT_TRUE(placed == c.topLeft)
            << c.screen.Width << "x" << c.screen.Height << ": " << placed.X << "," << placed.Y;
    }
}

TEST(StartTest, PathHelpers) {
    const struct {
        const char* path;
        const char* stripped;
    } strips[] = {{"C:\\PICS\\", "C:\\PICS"},
                  {"C:\\PICS\\\\", "C:\\PICS\\"},
                  {"C:\\", "C:"},
                  {"C:\\PICS", "C:\\PICS"},
                  {"", ""},
                  {"\\", ""}};
    for (const auto& c : strips)
        EXPECT_EQ(StripTrailingBackslash(c.path), std::string(c.stripped)) << c.path;
    const struct {
        const char* program;
        const char* folder;
    } folders[] = {{"C:\\APPS\\N\\PROGRAM.EXE", "C:\\APPS\\N\\"}, {"C:\\N.EXE", "C:\\"}};
    for (const auto& c : folders)
        EXPECT_EQ(FolderOfProgram(c.program), std::string(c.folder)) << c.program;
}

TEST(StartTest, ProgramFolderAndHelpFile) {
    TDialogFixture fixture;
    const TOptionsForm& form = fixture.Open();
    EXPECT_TRUE(fixture.ProgramFolder().starts_with(TDialogFixture::ProgramDrive()))
        << fixture.ProgramFolder();
    EXPECT_EQ(form.HelpFile(), fixture.ProgramFolder() + "NIMBREL.HLP");
    EXPECT_TRUE(fixture.threadPriorityLowered);
}

TEST(StartTest, HelpLookupGoesOutward) {
    TControl window("window"), page("page"), group("group"), control("control");
    page.SetParent(&window);
    group.SetParent(&page);
    control.SetParent(&group);
    const struct {
        int window, page, group, control;
        const TControl* holder;
    } cases[] = {{0, 0, 0, 7, &control},
                 {0, 0, 5, 0, &group},
                 {0, 3, 5, 0, &group},
                 {9, 0, 0, 0, &window},
                 {0, 0, 0, 0, nullptr}};
    for (const auto& c : cases) {
        window.SetHelpContext(c.window);
        page.SetHelpContext(c.page);
        group.SetHelpContext(c.group);
        control.SetHelpContext(c.control);
        EXPECT_EQ(HelpContextHolder(&control), c.holder);
    }
}

TEST(StartTest, HelpRequestsForTheControl) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open({"/SCREENSAVER"});
    TDialogDriver& driver = fixture.Driver();
    auto pack = [](TPoint p) {
        return static_cast<std::uintptr_t>(static_cast<std::uint16_t>(p.X)) |
               (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(p.Y)) << 16);
    };
    // F1 on a field with its own number.
    platform::ClearRecordedHelpRequests();
    driver.Focus("OtherSS");
    driver.Key("OtherSS", VkF1);
    auto requests = platform::RecordedHelpRequests();
    ASSERT_EQ(requests.size(), std::size_t(2));
    EXPECT_EQ(requests[0].helpFile, form.HelpFile());
    EXPECT_EQ(requests[0].command, unsigned(platform::HelpSetPopupPos));
    EXPECT_EQ(requests[0].data, pack(form.OtherSS->ScreenOrigin()));
    EXPECT_EQ(requests[1].command, unsigned(platform::HelpContextPopup));
    EXPECT_EQ(requests[1].data, std::uintptr_t(2106));
    // No viewer shows the help file (there is none beside the program): the program's own
    // text for the control is shown beside it, until the next key.
    EXPECT_EQ(driver.HelpPopupText(), HelpPopupText(form.HelpFile(), 2106));
    driver.Key("OtherSS", VkEnd);
    EXPECT_EQ(driver.HelpPopupText(), "");

    // The caption's help button, then a click: the list's inner area takes the list's number.
    form.Page->SetActivePage(form.TabSheet1);
    platform::ClearRecordedHelpRequests();
    driver.AskHelp("WallpaperList", {5, 5});
    requests = platform::RecordedHelpRequests();
    ASSERT_EQ(requests.size(), std::size_t(2));
    EXPECT_EQ(requests[0].data, pack(form.WallpaperList->ScreenOrigin()));
    EXPECT_EQ(requests[1].data, std::uintptr_t(2003));

    // A label with no number up to the dialog asks for nothing.
    platform::ClearRecordedHelpRequests();
    driver.AskHelp("Label9", {1, 1});
    EXPECT_TRUE(platform::RecordedHelpRequests().empty());
}

TEST(StartTest, HandlerErrorIsReportedAndDialogStays) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    // Connected as the dialog connects its handlers.
    form.Button3->OnClick = [] { RunReported([] { throw Exception("Disk not ready"); }); };
    fixture.Press(form.Button3);
    ASSERT_EQ(fixture.messages.size(), std::size_t(1));
    EXPECT_EQ(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    EXPECT_EQ(fixture.messages[0].text, std::string("Disk not ready"));
    EXPECT_EQ(fixture.messages[0].icon, TMessageIcon::Error);
    EXPECT_TRUE(fixture.Driver().Visible());

    // A silent stop shows nothing.
    form.Button3->OnClick = [] { RunReported([] { throw EAbort(); }); };
    fixture.Press(form.Button3);
    EXPECT_EQ(fixture.messages.size(), std::size_t(1));
}

// Pictures of the four pages, for review, in the build folder.
TEST(StartTest, PagePictures) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    const struct {
        TControl* page;
        const char* file;
    } pages[] = {{form.TabSheet1, "page-wallpaper"},
                 {form.TabSheet2, "page-screen-saver"},
                 {form.TabSheet4, "page-picture-stretching"},
                 {form.TabSheet3, "page-nwp-support"}};
    for (const auto& p : pages) {
        form.Page->SetActivePage(p.page);
        const std::string file = TDialogHost::PicturePath(p.file);
        EXPECT_TRUE(fixture.Driver().SavePicture(file)) << file;
    }
}

} // namespace
