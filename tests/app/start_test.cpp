// Creation of the dialog: the first page, the placement, the program's folder, context
// help, the standard error report, and a picture of every page for review.
#include "app_test_main.h"
#include "dialog_fixture.h"

#include "app/help.h"
#include "controls/qt/check_box.h"
#include "platform/help.h"
#include "sysutil/exception.h"

#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QTabWidget>

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
        QCOMPARE(form.Page->currentWidget()->objectName(), QString::fromLatin1(c.page));
    }
}

void StartTest::placement() {
    const struct {
        QSize screen;
        QSize outer;
        QPoint topLeft;
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
    QWidget window;
    auto* page = new QWidget(&window);
    auto* group = new QWidget(page);
    auto* control = new QWidget(group);
    const struct {
        int window, page, group, control;
        QWidget* holder;
    } cases[] = {{0, 0, 0, 7, control},
                 {0, 0, 5, 0, group},
                 {0, 3, 5, 0, group},
                 {9, 0, 0, 0, &window},
                 {0, 0, 0, 0, nullptr}};
    for (const auto& c : cases) {
        SetHelpContext(&window, c.window);
        SetHelpContext(page, c.page);
        SetHelpContext(group, c.group);
        SetHelpContext(control, c.control);
        QCOMPARE(HelpContextHolder(control), c.holder);
    }
}

void StartTest::helpRequestsForTheControl() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open({"/SCREENSAVER"});
    auto pack = [](QPoint p) {
        return static_cast<std::uintptr_t>(static_cast<std::uint16_t>(p.x())) |
               (static_cast<std::uintptr_t>(static_cast<std::uint16_t>(p.y())) << 16);
    };
    // F1 on a field with its own number.
    platform::ClearRecordedHelpRequests();
    form.OtherSS->setFocus();
    QTest::keyClick(form.OtherSS, Qt::Key_F1);
    auto requests = platform::RecordedHelpRequests();
    QCOMPARE(requests.size(), std::size_t(2));
    QCOMPARE(requests[0].helpFile, form.HelpFile());
    QCOMPARE(requests[0].command, unsigned(platform::HelpSetPopupPos));
    QCOMPARE(requests[0].data, pack(form.OtherSS->mapToGlobal(QPoint(0, 0))));
    QCOMPARE(requests[1].command, unsigned(platform::HelpContextPopup));
    QCOMPARE(requests[1].data, std::uintptr_t(2106));

    // The caption's help button, then a click: the list's inner area takes the list's number.
    form.Page->setCurrentWidget(form.TabSheet1);
    platform::ClearRecordedHelpRequests();
    QHelpEvent click(QEvent::WhatsThis, QPoint(5, 5),
                     form.WallpaperList->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(form.WallpaperList->viewport(), &click);
    requests = platform::RecordedHelpRequests();
    QCOMPARE(requests.size(), std::size_t(2));
    QCOMPARE(requests[0].data, pack(form.WallpaperList->mapToGlobal(QPoint(0, 0))));
    QCOMPARE(requests[1].data, std::uintptr_t(2003));

    // A label with no number up to the dialog asks for nothing.
    platform::ClearRecordedHelpRequests();
    QHelpEvent onLabel(QEvent::WhatsThis, QPoint(1, 1), form.Label9->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(form.Label9, &onLabel);
    QVERIFY(platform::RecordedHelpRequests().empty());
}

void StartTest::handlerErrorIsReportedAndDialogStays() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    auto* failing = new QPushButton(QStringLiteral("Fail"), form.TabSheet1);
    // Connected as the dialog connects its handlers.
    QObject::connect(failing, &QPushButton::clicked,
                     [] { RunReported([] { throw Exception("Disk not ready"); }); });
    failing->show();
    QTest::mouseClick(failing, Qt::LeftButton);
    QCOMPARE(fixture.messages.size(), std::size_t(1));
    QCOMPARE(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    QCOMPARE(fixture.messages[0].text, std::string("Disk not ready"));
    QCOMPARE(fixture.messages[0].icon, TMessageIcon::Error);
    QVERIFY(form.isVisible());

    // A silent stop shows nothing.
    QObject::disconnect(failing, nullptr, nullptr, nullptr);
    QObject::connect(failing, &QPushButton::clicked, [] { RunReported([] { throw EAbort(); }); });
    QTest::mouseClick(failing, Qt::LeftButton);
    QCOMPARE(fixture.messages.size(), std::size_t(1));
}

void StartTest::paintErrorIsReported() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    auto* failing = new FailingPaint(form.TabSheet1);
    failing->setGeometry(0, 0, 10, 10);
    failing->show();
    QTRY_COMPARE(fixture.messages.size(), std::size_t(1));
    QCOMPARE(fixture.messages[0].text, std::string("JPEG error #42"));
    QCOMPARE(fixture.messages[0].icon, TMessageIcon::Error);
    delete failing;
    QVERIFY(form.isVisible());
}

// Pictures of the four pages, for review, in the build folder.
void StartTest::pagePictures() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    const struct {
        QWidget* page;
        const char* file;
    } pages[] = {{form.TabSheet1, "page-wallpaper.png"},
                 {form.TabSheet2, "page-screen-saver.png"},
                 {form.TabSheet4, "page-picture-stretching.png"},
                 {form.TabSheet3, "page-nwp-support.png"}};
    for (const auto& p : pages) {
        form.Page->setCurrentWidget(p.page);
        QCoreApplication::processEvents();
        const QString file =
            QDir(QStringLiteral(NIMBREL_BUILD_DIR)).filePath(QString::fromLatin1(p.file));
        QVERIFY2(form.grab().save(file), qPrintable(file));
    }
}

NIMBREL_DIALOG_TEST_MAIN(StartTest)
#include "start_test.moc"
