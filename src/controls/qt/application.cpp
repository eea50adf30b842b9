#include "controls/qt/application.h"

#include "controls/error_report.h"
#include "controls/qt/help_popup.h"
#include "controls/qt/text.h"

#include <QCursor>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>

namespace nimbrel::qt {
namespace {

bool IsPaint(const QEvent* event) {
    return event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
}

// The stored texts break lines with a bare carriage return; Qt breaks on line feeds.
QString DisplayText(const std::string& text) {
    return ToQString(WithLineBreaks(text, "\n"));
}

#ifndef _WIN32
// Wine's fonts package carries the bitmap face with the metrics the dialog was drawn for.
constexpr const char* BitmapFaceFile = "/usr/share/wine/fonts/ms_sans_serif.ttf";
constexpr const char* BitmapFace = "MS Sans Serif";

// "MS Sans Serif" at 8 points: its strike is 13 pixels from ascent to descent, 11 for the
// characters (at 96 pixels per inch). Where the face is missing, a condensed sans at 10
// pixels keeps every caption inside its control.
QFont DialogFont() {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(BitmapFaceFile));
    if (id >= 0 &&
        QFontDatabase::applicationFontFamilies(id).contains(QString::fromLatin1(BitmapFace))) {
        QFont face(QString::fromLatin1(BitmapFace));
        face.setPixelSize(13);
        return face;
    }
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}
#endif

// Qt keeps a reference to the count for the application's life.
int& ProgramNameOnly(int argc) {
    static int count = 0;
    count = argc > 0 ? 1 : 0;
    return count;
}

} // namespace

// No display name is set: Qt would append it to every window's title, and each caption
// must read exactly as the dialog gives it.
TQtApplication::TQtApplication(int argc, char** argv) : QApplication(ProgramNameOnly(argc), argv) {
    for (int i = 1; i < argc; ++i)
        arguments_.push_back(FromQString(QString::fromLocal8Bit(argv[i])));
    setApplicationName(QStringLiteral("nimbrel-ext"));
#ifndef _WIN32
    // The classic look the dialog's pixel geometry was drawn for.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        setStyle(classic);
    setFont(DialogFont());
#endif
}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    const bool paint = IsPaint(event);
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (paint) {
            // No modal loop in the middle of a paint: report once the paint is over.
            QTimer::singleShot(0, this, [error] { ShowException(error); });
        } else {
            ShowException(error);
        }
    }
    return false;
}

TQtToolkit::TQtToolkit() = default;
TQtToolkit::~TQtToolkit() = default;

void TQtToolkit::RunMessageLoop(TForm&) {
    QApplication::exec();
}

// A pass that asks the window system costs a poll of its connection. Listing a folder
// makes one pass per file, thousands in a row: there, passes less than a millisecond
// apart deliver what the program itself has posted, and the window system is asked
// again a millisecond later, sooner than anyone can see or type.
void TQtToolkit::ProcessMessages() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastWindowSystemPass_ < std::chrono::milliseconds(1)) {
        QCoreApplication::sendPostedEvents();
        return;
    }
    QCoreApplication::processEvents();
    lastWindowSystemPass_ = std::chrono::steady_clock::now();
}

void TQtToolkit::ShowMessageBox(const TMessageBoxRequest& request) {
    QMessageBox box(request.icon == TMessageIcon::Error ? QMessageBox::Critical
                                                        : QMessageBox::NoIcon,
                    ToQString(request.caption), DisplayText(request.text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TQtToolkit::ShowScreenCursor(TCursor cursor) {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (cursor == TCursor::crHourGlass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void TQtToolkit::ShowHelpPopup(TPoint topLeft, const std::string& text) {
    if (!helpPopup_)
        helpPopup_ = std::make_unique<TQtHelpPopup>();
    helpPopup_->ShowAt(QPoint(topLeft.X, topLeft.Y), DisplayText(text));
}

TSize TQtToolkit::ScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? TSize{screen->geometry().width(), screen->geometry().height()} : TSize{};
}

} // namespace nimbrel::qt
