// The folder list and the drive selector bound to it, on two drives of a temporary
// environment.
#include "controls/qt/folders.h"
#include "controls/qt/text.h"
#include "platform/files.h"
#include "qt_pair.h"
#include "support/temp_environment.h"
#include "sysutil/exception.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <memory>

using namespace nimbrel;
using namespace nimbrel::qt;
using FolderPair = test::TQtPair<TFolderList, TQtFolderList>;
using DrivePair = test::TQtPair<TDriveSelector, TQtDriveSelector>;

namespace {

QStringList Lines(const TQtFolderList& list) {
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) {
        lines << list.item(i)->text();
    }
    return lines;
}

QListWidgetItem* LineNamed(const TQtFolderList& list, const QString& text) {
    const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class FolderListTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ShowsThePathThenTheSubfolders();
    void SetDirectory_data();
    void SetDirectory();
    void DriveAloneGoesToItsCurrentFolder();
    void DoubleClickOpensAFolder();
    void DriveSelectorMovesTheListFirst();
    void DriveSelectorIgnoresItsOwnDrive();
    void UnenterableDriveKeepsBoth();

private:
    std::unique_ptr<test::TempEnvironment> environment_;
};

// Every test starts on C:\PICS with D: at its root.
void FolderListTest::init() {
    environment_ =
        std::make_unique<test::TempEnvironment>(test::TempEnvironment::Options{.withDriveD = true});
    for (const char* folder : {"PICS/Summer", "PICS/winter", "PICS/autumn", "Work"}) {
        environment_->MakeHostFolder('C', folder);
    }
    environment_->MakeHostFolder('D', "Photos/Old");
    environment_->WriteHostFile('C', "PICS/SUNSET.JPG", "");
    QCOMPARE(platform::SetCurrentDirectory("D:\\"), platform::ErrorSuccess);
    QCOMPARE(platform::SetCurrentDirectory("C:\\PICS"), platform::ErrorSuccess);
}

void FolderListTest::cleanup() {
    environment_.reset();
}

void FolderListTest::ShowsThePathThenTheSubfolders() {
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    TQtFolderList& view = folders.window;
    QCOMPARE(list.Directory(), std::string("C:\\PICS"));
    // Files are not listed; subfolders sort without regard to case.
    QCOMPARE(Lines(view), (QStringList{"C:\\", "PICS", "autumn", "Summer", "winter"}));
    QCOMPARE(view.currentItem()->text(), QString("PICS"));
}

void FolderListTest::SetDirectory_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("directory"); // where the list is afterwards
    QTest::addColumn<int>("changes");
    QTest::addColumn<bool>("throws");

    QTest::newRow("empty path") << ""
                                << "C:\\PICS" << 0 << false;
    QTest::newRow("the same path") << "C:\\PICS"
                                   << "C:\\PICS" << 0 << false;
    QTest::newRow("the same path in other case") << "c:\\pics"
                                                 << "C:\\PICS" << 0 << false;
    QTest::newRow("a subfolder") << "C:\\PICS\\Summer"
                                 << "C:\\PICS\\Summer" << 1 << false;
    QTest::newRow("the root ends in a backslash") << "C:\\"
                                                  << "C:\\" << 1 << false;
    QTest::newRow("another drive") << "D:\\Photos\\Old"
                                   << "D:\\Photos\\Old" << 1 << false;
    QTest::newRow("a missing folder") << "C:\\PICS\\Spring"
                                      << "C:\\PICS" << 0 << true;
    QTest::newRow("a file") << "C:\\PICS\\SUNSET.JPG"
                            << "C:\\PICS" << 0 << true;
    QTest::newRow("an unknown drive") << "Q:\\"
                                      << "C:\\PICS" << 0 << true;
}

void FolderListTest::SetDirectory() {
    QFETCH(QString, path);
    QFETCH(QString, directory);
    QFETCH(int, changes);
    QFETCH(bool, throws);
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    TQtFolderList& view = folders.window;
    const QStringList linesBefore = Lines(view);
    int changed = 0;
    list.OnChange = [&] { ++changed; };
    bool thrown = false;
    try {
        list.SetDirectory(FromQString(path));
    } catch (const Exception&) {
        thrown = true;
    }
    QCOMPARE(thrown, throws);
    QCOMPARE(ToQString(list.Directory()), directory);
    QCOMPARE(changed, changes);
    if (throws) {
        QCOMPARE(Lines(view), linesBefore);
        QCOMPARE(ToQString(platform::CurrentDirectory()), QString("C:\\PICS"));
    }
}

// Each drive keeps the folder it was left in.
void FolderListTest::DriveAloneGoesToItsCurrentFolder() {
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    list.SetDirectory("D:");
    QCOMPARE(list.Directory(), std::string("D:\\"));
    list.SetDirectory("D:\\Photos");
    list.SetDirectory("C:");
    QCOMPARE(list.Directory(), std::string("C:\\PICS"));
    list.SetDirectory("D:");
    QCOMPARE(list.Directory(), std::string("D:\\Photos"));
}

void FolderListTest::DoubleClickOpensAFolder() {
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    TQtFolderList& view = folders.window;
    view.resize(181, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    int changed = 0;
    list.OnChange = [&] { ++changed; };

    QListWidgetItem* winter = LineNamed(view, "winter");
    QVERIFY(winter != nullptr);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(winter).center());
    QCOMPARE(list.Directory(), std::string("C:\\PICS\\winter"));
    QCOMPARE(changed, 1);

    QListWidgetItem* root = LineNamed(view, "C:\\");
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(root).center());
    QCOMPARE(list.Directory(), std::string("C:\\"));
    QCOMPARE(Lines(view), (QStringList{"C:\\", "PICS", "Work"}));
    QCOMPARE(changed, 2);
}

// The folder list has moved, and reported it, before the selector reports its own change.
void FolderListTest::DriveSelectorMovesTheListFirst() {
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    DrivePair drives("Drive");
    TDriveSelector& drive = drives.control;
    TQtDriveSelector& combo = drives.window;
    drive.SetFolderList(&list);
    QCOMPARE(drive.Drive(), 'C');
    QStringList events;
    list.OnChange = [&] {
        events << "folder " + ToQString(list.Directory()) + " while drive " + QChar(drive.Drive());
    };
    drive.OnChange = [&] { events << QString("drive ") + QChar(drive.Drive()); };

    combo.show();
    QTest::keyClick(&combo, Qt::Key_Down); // the user picks D:
    QCOMPARE(combo.currentText(), QString("D:"));
    drive.SetDrive('C');
    QCOMPARE(events, (QStringList{"folder D:\\ while drive C", "drive D",
                                  "folder C:\\PICS while drive D", "drive C"}));
}

void FolderListTest::DriveSelectorIgnoresItsOwnDrive() {
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    DrivePair drives("Drive");
    TDriveSelector& drive = drives.control;
    TQtDriveSelector& combo = drives.window;
    drive.SetFolderList(&list);
    list.SetDirectory("C:\\PICS\\Summer");
    int listChanged = 0;
    int driveChanged = 0;
    list.OnChange = [&] { ++listChanged; };
    drive.OnChange = [&] { ++driveChanged; };
    drive.SetDrive('c');
    emit combo.activated(combo.currentIndex()); // the user picks the drive shown
    QCOMPARE(listChanged, 0);
    QCOMPARE(driveChanged, 0);
    QCOMPARE(list.Directory(), std::string("C:\\PICS\\Summer"));
}

// A drive whose folder went away cannot be entered.
void FolderListTest::UnenterableDriveKeepsBoth() {
    FolderPair folders("Folder");
    TFolderList& list = folders.control;
    DrivePair drives("Drive");
    TDriveSelector& drive = drives.control;
    TQtDriveSelector& combo = drives.window;
    drive.SetFolderList(&list);
    QVERIFY(QDir(QString::fromStdString(environment_->DriveFolder('D'))).removeRecursively());
    int listChanged = 0;
    int driveChanged = 0;
    list.OnChange = [&] { ++listChanged; };
    drive.OnChange = [&] { ++driveChanged; };

    QVERIFY_THROWS_EXCEPTION(Exception, drive.SetDrive('D'));
    QCOMPARE(drive.Drive(), 'C');

    // A pick by the user: the selector goes back at once; the error comes from an event.
    const int d = combo.findText("D:");
    QVERIFY(d >= 0);
    combo.setCurrentIndex(d);
    emit combo.activated(d);
    QCOMPARE(combo.currentText(), QString("C:"));
    QVERIFY_THROWS_EXCEPTION(Exception, QCoreApplication::sendPostedEvents());
    QCOMPARE(drive.Drive(), 'C');
    QCOMPARE(list.Directory(), std::string("C:\\PICS"));
    QCOMPARE(listChanged, 0);
    QCOMPARE(driveChanged, 0);
}

QTEST_MAIN(FolderListTest)
#include "folder_list_test.moc"
