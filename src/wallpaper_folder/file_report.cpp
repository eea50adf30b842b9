#include "wallpaper_folder/file_report.h"

namespace nimbrel::wallpaper {

std::string_view KindWord(FileKind kind) {
    switch (kind) {
    case FileKind::Jpeg:
        return "jpeg";
    case FileKind::Bitmap:
        return "bitmap";
    case FileKind::Nwp:
        return "nwp";
    }
    return "";
}

std::string_view VerdictWord(Verdict verdict) {
    switch (verdict) {
    case Verdict::Ready:
        return "ready";
    case Verdict::ReadyNotRequestable:
        return "ready, not requestable";
    case Verdict::Convertible:
        return "legacy, convertible";
    case Verdict::Damaged:
        return "damaged";
    case Verdict::NameNotHeld:
        return "the dialog cannot open this name: rename it";
    }
    return "";
}

std::string_view DamageWords(Damage damage) {
    switch (damage) {
    case Damage::None:
        return "";
    case Damage::Unreadable:
        return "cannot be read";
    case Damage::Folder:
        return "a folder, not a file";
    case Damage::Empty:
        return "empty file";
    case Damage::NotJpeg:
        return "not a JPEG";
    case Damage::UnsupportedColour:
        return "unsupported colour space";
    case Damage::OverBudget:
        return "over the pixel budget";
    case Damage::Truncated:
        return "truncated";
    case Damage::CorruptJpeg:
        return "corrupt JPEG data";
    case Damage::BadBitmapHeader:
        return "bad bitmap header";
    case Damage::UnsupportedBitmap:
        return "unsupported kind of bitmap";
    case Damage::NotCompressed:
        return "not a compressed file";
    case Damage::NotCompleteBitmap:
        return "expands to no complete bitmap";
    }
    return "";
}

std::string VerdictText(const FileReport& report) {
    std::string text(VerdictWord(report.verdict));
    if (report.verdict == Verdict::Damaged) {
        text += ": ";
        text += DamageWords(report.damage);
    }
    return text;
}

} // namespace nimbrel::wallpaper
