#include "wallpaper_folder/examine_file.h"

#include "imaging/bmp_format.h"
#include "imaging/jpeg_header.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture_fit.h"
#include "imaging/picture_limits.h"
#include "platform/codepage1250.h"
#include "platform/files.h"
#include "wallpaper_folder/nwp_expansion.h"
#include "wallpaper_folder/nwp_verdict.h"

namespace nimbrel::wallpaper {
namespace {

void Condemn(FileReport& report, Damage damage, std::string detail = {}) {
    report.verdict = Verdict::Damaged;
    report.damage = damage;
    report.detail = std::move(detail);
}

// The damage an EJPEG stands for.
Damage JpegDamage(const EJPEG& error, bool endedEarly) {
    const int code = JpegErrorCode(error.what());
    if (IsNotJpegCode(code))
        return Damage::NotJpeg;
    if (IsEmptyInputCode(code))
        return Damage::Empty;
    if (IsUnsupportedCode(code))
        return Damage::UnsupportedColour;
    return endedEarly ? Damage::Truncated : Damage::CorruptJpeg;
}

// A bitmap refused for its kind (JPEG or PNG inside, an unknown compression or bit count)
// is no damaged file; any other refusal is a wrong header.
Damage BitmapDamage(const EInvalidGraphic& error) {
    return std::string_view(error.what()).ends_with(" is not supported") ? Damage::UnsupportedBitmap
                                                                         : Damage::BadBitmapHeader;
}

// The smallest scale at which the picture still covers what it shows of itself in the
// wished box (its proportions kept).
TOutputScale ScaleFor(int width, int height, const PictureWish& wish) {
    if (width <= 0 || height <= 0)
        return TOutputScale::ScaleFull;
    const TFitSize shown = FitInBox(width, height, wish.boxWidth, wish.boxHeight);
    return CoveringScale(width, height, shown.Width, shown.Height);
}

// A listed file opened to read its headers: through the opened folder by the name the
// listing found, sized by the open file itself; else by its whole path.
std::unique_ptr<TFileStream> OpenListed(const ExaminedFolder& folder, const FolderEntry& entry,
                                        const std::string& path) {
    if (folder.opened.IsOpen() && !entry.foundName.empty()) {
        platform::File file;
        std::uint64_t size = 0;
        if (file.OpenReadIn(folder.opened, entry.foundName) != platform::ErrorSuccess ||
            file.Size(size) != platform::ErrorSuccess)
            throw EFOpenError("Cannot open file \"" + path + "\"");
        return std::make_unique<TFileStream>(std::move(file), size);
    }
    return std::make_unique<TFileStream>(path, TFileStream::TMode::OpenRead);
}

// The header alone; false when it already condemns the file.
bool ExamineJpegHeader(const ExaminedFolder& folder, const FolderEntry& entry,
                       const std::string& path, FileReport& report) {
    bool endedEarly = false;
    TJpegHeader header;
    try {
        const auto stream = OpenListed(folder, entry, path);
        report.size = stream->Size();
        if (report.size == 0) {
            Condemn(report, Damage::Empty);
            return false;
        }
        header = ReadJpegHeader(*stream, &endedEarly);
    } catch (const EJPEG& error) {
        Condemn(report, JpegDamage(error, endedEarly), error.what());
        return false;
    }
    report.width = header.width;
    report.height = header.height;
    if (!WithinPixelBudget(header.width, header.height)) {
        Condemn(report, Damage::OverBudget);
        return false;
    }
    if (header.colour == TJpegColour::Unsupported) {
        Condemn(report, Damage::UnsupportedColour);
        return false;
    }
    return true;
}

void ExamineJpeg(const ExaminedFolder& folder, const FolderEntry& entry, const std::string& path,
                 Depth depth, const PictureWish* wish, std::unique_ptr<TBitmap>* picture,
                 FileReport& report) {
    if (!ExamineJpegHeader(folder, entry, path, report) || (depth == Depth::Headers && !wish))
        return;
    // The dialog's own picture: all bytes and the header at load, the pixels at decode.
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromFile(path);
    } catch (const EJPEG& error) {
        return Condemn(report, JpegDamage(error, false), error.what());
    }
    if (wish)
        jpeg.SetOutputScale(ScaleFor(report.width, report.height, *wish));
    try {
        TBitmap& decoded = jpeg.DecodeBitmap();
        if (jpeg.DataEndedEarly())
            return Condemn(report, Damage::Truncated);
        if (picture) {
            *picture = std::make_unique<TBitmap>();
            (*picture)->Assign(decoded);
        }
    } catch (const EJPEG& error) {
        Condemn(report, JpegDamage(error, jpeg.DataEndedEarly()), error.what());
    }
}

void ExamineBitmap(const ExaminedFolder& folder, const FolderEntry& entry, const std::string& path,
                   Depth depth, std::unique_ptr<TBitmap>* picture, FileReport& report) {
    BmpLayout layout;
    try {
        const auto stream = OpenListed(folder, entry, path);
        report.size = stream->Size();
        if (report.size == 0)
            return Condemn(report, Damage::Empty);
        // The headers lie in the file's first bytes: one read brings them all.
        TMemoryStream head;
        head.SetSize(512);
        std::size_t got = 0;
        for (std::size_t done = 1; done > 0 && got < head.Size(); got += done)
            done = stream->Read(head.Memory() + got, head.Size() - got);
        head.SetSize(got);
        layout = ReadBmpLayout(head);
    } catch (const EInvalidGraphic& error) {
        return Condemn(report, BitmapDamage(error), error.what());
    }
    report.width = layout.width;
    report.height = layout.height;
    if (layout.bytesNeeded > report.size)
        return Condemn(report, Damage::Truncated);
    if (!WithinPixelBudget(layout.width, layout.height))
        return Condemn(report, Damage::OverBudget);
    if (depth == Depth::Headers && !picture)
        return;
    auto bitmap = std::make_unique<TBitmap>();
    try {
        bitmap->LoadFromFile(path);
    } catch (const EInvalidGraphic& error) {
        return Condemn(report, BitmapDamage(error), error.what());
    }
    if (picture)
        *picture = std::move(bitmap);
}

// The bitmap headers of an expansion's first block, or of the whole expansion.
bool ReadExpandedLayout(TMemoryStream& bytes, BmpLayout& layout) {
    bytes.SetPosition(0);
    try {
        layout = ReadBmpLayout(bytes);
        return true;
    } catch (const EInvalidGraphic&) {
        return false;
    }
}

// The verdict is the one the conversion takes (JudgeNwpFile); the picture, when wished
// for, is read from the expansion afterwards.
void ExamineNwp(const std::string& path, std::unique_ptr<TBitmap>* picture, FileReport& report) {
    const NwpVerdict verdict = JudgeNwpFile(path);
    report.size = verdict.fileSize;
    report.width = verdict.width;
    report.height = verdict.height;
    switch (verdict.state) {
    case NwpState::Convertible:
        break;
    case NwpState::Unreadable:
        return Condemn(report, Damage::Unreadable);
    case NwpState::Empty:
        return Condemn(report, Damage::Empty);
    case NwpState::NotCompressed:
        return Condemn(report, Damage::NotCompressed);
    case NwpState::NotCompleteBitmap:
        return Condemn(report, Damage::NotCompleteBitmap);
    }
    if (!WithinPixelBudget(verdict.width, verdict.height))
        return Condemn(report, Damage::OverBudget);
    if (!picture)
        return;
    // The bitmap the header promises, and not a byte more: a damaged stream cannot make
    // the report hold more than the picture needs.
    constexpr std::uint64_t HeadBytes = 1024;
    TMemoryStream head;
    BmpLayout layout;
    if (ExpandNwp(path, HeadBytes, head).outcome != NwpExpansion::Expanded ||
        !ReadExpandedLayout(head, layout))
        return;
    TMemoryStream whole;
    if (ExpandNwp(path, layout.bytesNeeded, whole).outcome != NwpExpansion::Expanded)
        return;
    whole.SetPosition(0);
    auto bitmap = std::make_unique<TBitmap>();
    try {
        ReadBmp(whole, *bitmap);
    } catch (const EInvalidGraphic&) {
        return; // convertible all the same; the sheet shows no thumbnail
    }
    *picture = std::move(bitmap);
}

// Where a file lies on the host, and its name there.
void NameOnHost(const ExaminedFolder& folder, const FolderEntry& entry, FileReport& report) {
    report.hostName =
        entry.hostName.empty() ? platform::Utf8FromCp1250(entry.name) : entry.hostName;
    report.hostNameDiffers = report.hostName != platform::Utf8FromCp1250(entry.name);
    if (folder.hostPath.empty())
        return;
    // A Windows host names its folders with a drive letter and backslashes.
    const bool windowsHost = folder.hostPath.size() >= 2 && folder.hostPath[1] == ':';
    report.hostPath = folder.hostPath;
    if (report.hostPath.back() != '/' && report.hostPath.back() != '\\')
        report.hostPath += windowsHost ? '\\' : '/';
    report.hostPath += report.hostName;
}

} // namespace

FileReport ExamineFile(const ExaminedFolder& folder, const FolderEntry& entry, Depth depth,
                       const PictureWish* wish, std::unique_ptr<TBitmap>* picture) {
    FileReport report;
    report.name = entry.name;
    report.kind = entry.kind;
    NameOnHost(folder, entry, report);
    report.verdict = entry.kind == FileKind::Nwp ? Verdict::Convertible
                     : IsRequestable(entry.name) ? Verdict::Ready
                                                 : Verdict::ReadyNotRequestable;
    if (!entry.nameFits) {
        // The file is there, but no Windows name of the program's reaches it.
        report.verdict = Verdict::NameNotHeld;
        report.size = ListedSize(folder.path, entry);
        return report;
    }
    const std::string path = EntryPath(folder.path, entry);
    const std::uint32_t attributes =
        entry.foundName.empty() ? platform::FileAttributes(path) : entry.attributes;
    if (attributes == platform::InvalidFileAttributes) {
        Condemn(report, Damage::Unreadable);
        return report;
    }
    if (attributes & platform::FileAttributeDirectory) {
        Condemn(report, Damage::Folder);
        return report;
    }
    if (!wish)
        picture = nullptr;
    try {
        switch (entry.kind) {
        case FileKind::Jpeg:
            ExamineJpeg(folder, entry, path, depth, wish, picture, report);
            break;
        case FileKind::Bitmap:
            ExamineBitmap(folder, entry, path, depth, picture, report);
            break;
        case FileKind::Nwp:
            ExamineNwp(path, picture, report);
            break;
        }
    } catch (const EOutOfResources& error) {
        // The memory for a picture within the budget was not there.
        Condemn(report, Damage::OverBudget, error.what());
    } catch (const EFOpenError&) {
        Condemn(report, Damage::Unreadable);
    } catch (const EStreamError& error) {
        Condemn(report, Damage::Unreadable, error.what());
    }
    if (report.verdict == Verdict::Damaged && picture)
        picture->reset();
    return report;
}

} // namespace nimbrel::wallpaper
