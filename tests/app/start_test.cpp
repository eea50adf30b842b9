// Creation of the dialog: the first page, the placement, the program's folder, context
// help, the standard error report, and a picture of every page for review.
#include "app_test_main.h"
#include "dialog_fixture.h"

#include "controls/error_report.h"
#include "platform/help.h"
#include "sysutil/exception.h"

#include <QObject>
#include <QWidget>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

// A widget whose painting fails, as a picture that cannot be decoded does.
class FailingPaint : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { throw Exception("JPEG error #42"); }
};

} // namespace

class StartTest : public QObject {
    Q_OBJECT

private slots:
    void firstPageFromTheCommandLine();
    void placement();
    void pathHelpers();
    void programFolderAndHelpFile();
    void helpLookupGoesOutward();
    void helpRequestsForTheControl();
    void handlerErrorIsReportedAndDialogStays();
    void paintErrorIsReported();
    void pagePictures();
};

void StartTest::firstPageFromTheCommandLine() {
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
        QCOMPARE(form.Page->ActivePage()->Name(), std::string(c.page));
    }
}

void StartTest::placement() {
    const struct {
        TSize screen;
        TSize outer;
        TPoint topLeft;
    } cases[] = {{{800, 600}, {446, 289}, {277, 206}},
                 {{1024, 768}, {446, 289}, {389, 290}},
                 {{1023, 767}, {447, 291}, {388, 288}},
                 {{440, 262}, {440, 262}, {100, 50}}};
    for (const auto& c : cases)
        QCOMPARE(DialogPlacement(c.screen, c.outer), c.topLeft);
}

void StartTest::pathHelpers() {
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
        QCOMPARE(StripTrailingBackslash(c.path), std::string(c.stripped));
    const struct {
        const char* program;
        const char* folder;
    } folders[] = {{"C:\\APPS\\N\\PROGRAM.EXE", "C:\\APPS\\N\\"}, {"C:\\N.EXE", "C:\\"}};
    for (const auto& c : folders)
        QCOMPARE(FolderOfProgram(c.program), std::string(c.folder));
}

void StartTest::programFolderAndHelpFile() {
    TDialogFixture fixture;
    const TOptionsForm& form = fixture.Open();
    QVERIFY(fixture.ProgramFolder().starts_with("E:\\"));
    QCOMPARE(form.HelpFile(), fixture.ProgramFolder() + "NIMBREL.HLP");
    QVERIFY(fixture.threadPriorityLowered);
}

void StartTest::helpLookupGoesOutward() {
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
        QCOMPARE(HelpContextHolder(&control), c.holder);
    }
}

void StartTest::helpRequestsForTheControl() {
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
    QCOMPARE(requests.size(), std::size_t(2));
    QCOMPARE(requests[0].helpFile, form.HelpFile());
    QCOMPARE(requests[0].command, unsigned(platform::HelpSetPopupPos));
    QCOMPARE(requests[0].data, pack(form.OtherSS->ScreenOrigin()));
    QCOMPARE(requests[1].command, unsigned(platform::HelpContextPopup));
    QCOMPARE(requests[1].data, std::uintptr_t(2106));

    // The caption's help button, then a click: the list's inner area takes the list's number.
    form.Page->SetActivePage(form.TabSheet1);
    platform::ClearRecordedHelpRequests();
    driver.AskHelp("WallpaperList", {5, 5});
    requests = platform::RecordedHelpRequests();
    QCOMPARE(requests.size(), std::size_t(2));
    QCOMPARE(requests[0].data, pack(form.WallpaperList->ScreenOrigin()));
    QCOMPARE(requests[1].data, std::uintptr_t(2003));

    // A label with no number up to the dialog asks for nothing.
    platform::ClearRecordedHelpRequests();
    driver.AskHelp("Label9", {1, 1});
    QVERIFY(platform::RecordedHelpRequests().empty());
}

void StartTest::handlerErrorIsReportedAndDialogStays() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    // Connected as the dialog connects its handlers.
    form.Button3->OnClick = [] { RunReported([] { throw Exception("Disk not ready"); }); };
    fixture.Press(form.Button3);
    QCOMPARE(fixture.messages.size(), std::size_t(1));
    QCOMPARE(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    QCOMPARE(fixture.messages[0].text, std::string("Disk not ready"));
    QCOMPARE(fixture.messages[0].icon, TMessageIcon::Error);
    QVERIFY(fixture.Driver().Visible());

    // A silent stop shows nothing.
    form.Button3->OnClick = [] { RunReported([] { throw EAbort(); }); };
    fixture.Press(form.Button3);
    QCOMPARE(fixture.messages.size(), std::size_t(1));
}

void StartTest::paintErrorIsReported() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    auto* failing = new FailingPaint(dynamic_cast<QWidget*>(form.TabSheet1->Peer()));
    failing->setGeometry(0, 0, 10, 10);
    failing->show();
    QTRY_COMPARE(fixture.messages.size(), std::size_t(1));
    QCOMPARE(fixture.messages[0].text, std::string("JPEG error #42"));
    QCOMPARE(fixture.messages[0].icon, TMessageIcon::Error);
    delete failing;
    QVERIFY(fixture.Driver().Visible());
}

// Pictures of the four pages, for review, in the build folder.
void StartTest::pagePictures() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    const struct {
        TControl* page;
        const char* file;
    } pages[] = {{form.TabSheet1, "page-wallpaper.png"},
                 {form.TabSheet2, "page-screen-saver.png"},
                 {form.TabSheet4, "page-picture-stretching.png"},
                 {form.TabSheet3, "page-nwp-support.png"}};
    for (const auto& p : pages) {
        form.Page->SetActivePage(p.page);
        const std::string file = std::string(NIMBREL_BUILD_DIR) + "/" + p.file;
        QVERIFY2(fixture.Driver().SavePicture(file), file.c_str());
    }
}

NIMBREL_DIALOG_TEST_MAIN(StartTest)
#include "start_test.moc"
