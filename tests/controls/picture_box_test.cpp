// The picture box: loading through the format registry, stretching, emptying, and a
// drawing error leaving the paint for the application to report.
#include "controls/qt/canvas.h"
#include "controls/qt/picture_box.h"
#include "imaging/bitmap.h"
#include "imaging/picture_formats.h"
#include "imaging/stream.h"
#include "qt_pair.h"
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"
#include "sysutil/exception.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <cstring>
#include <memory>
#include <optional>

using namespace nimbrel;
using PicturePair = nimbrel::test::TQtPair<nimbrel::TPictureBox, nimbrel::qt::TQtPictureBox>;

namespace {

// What the application's error report would have shown.
std::optional<std::string> reportedError;

class ReportingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const Exception& error) {
            reportedError = error.Message();
            return false;
        }
    }
};

// A picture whose drawing fails.
class TFailingGraphic : public TBitmap {
public:
    static constexpr const char* StaticClassName = "TFailingGraphic";
    const char* ClassName() const override { return StaticClassName; }
    void LoadFromStream(TStream&) override { SetSize(1, 1); }
    void Draw(TCanvas&, const TRect&) override { throw Exception("Cannot draw this picture."); }
};

// Left half red, right half blue.
void WriteTwoColourBitmap(std::string_view path) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(2, 1);
    const std::uint8_t pixels[6] = {0, 0, 255, 255, 0, 0}; // blue, green, red
    std::memcpy(bitmap.ScanLine(0), pixels, sizeof pixels);
    bitmap.SaveToFile(path);
}

} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void StretchesOverTheWholeBox();
    void FailedLoadsLeaveTheBox_data();
    void FailedLoadsLeaveTheBox();
    void ClearEmptiesTheBox();
    void DrawingErrorsReachTheApplication();
    void OnlyThePictureShownWhenThePaintComesIsDecoded();
    void CanvasDrawsPaletteBitmaps();

private:
    std::unique_ptr<test::TempEnvironment> environment_;
};

void PictureBoxTest::initTestCase() {
    environment_ = std::make_unique<test::TempEnvironment>();
    RegisterPictureFormats();
    TPicture::RegisterFileFormat("fail", "Failing picture", GraphicClassOf<TFailingGraphic>());
    WriteTwoColourBitmap("C:\\TWO.BMP");
}

void PictureBoxTest::cleanupTestCase() {
    TPicture::UnregisterGraphicClass(GraphicClassOf<TFailingGraphic>());
    UnregisterPictureFormats();
    environment_.reset();
}

void PictureBoxTest::StretchesOverTheWholeBox() {
    PicturePair pair;
    TPictureBox& box = pair.control;
    pair.window.resize(65, 49);
    box.LoadFromFile("c:\\two.bmp"); // names resolve without regard to case
    QVERIFY(box.Picture() != nullptr);
    const QImage shown = pair.window.grab().toImage();
    for (QPoint p : {QPoint(0, 0), QPoint(31, 24), QPoint(0, 48), QPoint(31, 48)}) {
        QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::red));
    }
    for (QPoint p : {QPoint(33, 0), QPoint(64, 24), QPoint(64, 48)}) {
        QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::blue));
    }
}

void PictureBoxTest::FailedLoadsLeaveTheBox_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written first unless null
    QTest::newRow("unregistered extension") << "PIC.GIF" << QByteArray("GIF89a");
    QTest::newRow("no extension") << "PIC" << QByteArray("BM");
    QTest::newRow("missing file") << "NONE.BMP" << QByteArray();
    QTest::newRow("corrupt bitmap") << "BAD.BMP" << QByteArray("BMnot a bitmap at all");
    QTest::newRow("empty bitmap") << "EMPTY.BMP" << QByteArray("");
}

void PictureBoxTest::FailedLoadsLeaveTheBox() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    if (!bytes.isNull()) {
        environment_->WriteHostFile('C', name.toStdString(), bytes.toStdString());
    }
    PicturePair pair;
    TPictureBox& box = pair.control;
    box.LoadFromFile("C:\\TWO.BMP");
    TGraphic* before = box.Picture();
    QVERIFY_THROWS_EXCEPTION(Exception, box.LoadFromFile("C:\\" + name.toStdString()));
    QCOMPARE(box.Picture(), before);
    QCOMPARE(box.Picture()->Width(), 2);
}

void PictureBoxTest::ClearEmptiesTheBox() {
    PicturePair pair;
    TPictureBox& box = pair.control;
    pair.window.resize(65, 49);
    box.LoadFromFile("C:\\TWO.BMP");
    box.Clear();
    QVERIFY(box.Picture() == nullptr);
    QVERIFY(QColor(pair.window.grab().toImage().pixel(10, 10)) != QColor(Qt::red));
}

void PictureBoxTest::DrawingErrorsReachTheApplication() {
    environment_->WriteHostFile('C', "X.FAIL", "x");
    PicturePair pair;
    pair.window.resize(65, 49);
    pair.control.LoadFromFile("C:\\X.FAIL");
    reportedError.reset();
    pair.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pair.window));
    pair.window.repaint();
    QCOMPARE(reportedError.value_or(""), std::string("Cannot draw this picture."));
}

// Keys moving through a list load one picture after another faster than the box paints:
// a picture replaced before the paint is never decoded.
void PictureBoxTest::OnlyThePictureShownWhenThePaintComesIsDecoded() {
    const auto jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 640, 480});
    for (const char* name : {"A.JPG", "B.JPG", "C.JPG"})
        environment_->WriteHostFile('C', name, std::string(jpeg.begin(), jpeg.end()));
    PicturePair pair;
    TPictureBox& box = pair.control;
    pair.window.resize(65, 49);
    pair.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pair.window));
    int decodes[3] = {0, 0, 0};
    const char* names[3] = {"C:\\A.JPG", "C:\\B.JPG", "C:\\C.JPG"};
    for (int i = 0; i < 3; ++i) {
        box.LoadFromFile(names[i]);
        box.Picture()->OnProgress = [&decodes, i](TGraphic&, TProgressStage stage, std::uint8_t,
                                                  bool, const TRect&, const std::string&) {
            if (stage == TProgressStage::psStarting)
                ++decodes[i];
        };
    }
    QTRY_COMPARE(decodes[2], 1);
    QCOMPARE(decodes[0], 0);
    QCOMPARE(decodes[1], 0);
    QCOMPARE(box.Picture()->Width(), 640); // drawn from a reduced decode, its size unchanged
}

// An 8-bit bitmap's pixels go through its own palette; an index past its end is black.
void PictureBoxTest::CanvasDrawsPaletteBitmaps() {
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    bitmap.SetPalette(CreatePalette(TLogPalette{0x300, {{255, 0, 0, 0}, {0, 255, 0, 0}}}));
    bitmap.SetSize(3, 1);
    const std::uint8_t indices[3] = {1, 0, 7};
    std::memcpy(bitmap.ScanLine(0), indices, sizeof indices);

    QImage target(30, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        qt::TQtCanvas canvas(painter);
        canvas.StretchDraw(TRect{0, 0, 30, 4}, bitmap);
    }
    QCOMPARE(QColor(target.pixel(5, 2)), QColor(Qt::green));
    QCOMPARE(QColor(target.pixel(15, 0)), QColor(Qt::red));
    QCOMPARE(QColor(target.pixel(25, 3)), QColor(Qt::black));
}

int main(int argc, char** argv) {
    ReportingApplication application(argc, argv);
    PictureBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "picture_box_test.moc"
