#include "wallpaper_folder/conversion_plan.h"

#include "archive/archive.h"
#include "archive/bitmap_completeness.h"
#include "archive/nwp_conversion.h"
#include "platform/files.h"

#include <array>
#include <cstring>

namespace nimbrel::wallpaper {
namespace {

using platform::ReplacementRefusal;

ConversionProblem NwpProblem(NwpState state) {
    switch (state) {
    case NwpState::Convertible:
        return ConversionProblem::None;
    case NwpState::Unreadable:
        return ConversionProblem::NwpUnreadable;
    case NwpState::Empty:
        return ConversionProblem::NwpEmpty;
    case NwpState::NotCompressed:
        return ConversionProblem::NotCompressed;
    case NwpState::NotCompleteBitmap:
        return ConversionProblem::NotCompleteBitmap;
    }
    return ConversionProblem::NwpUnreadable;
}

ConversionProblem TargetProblem(ReplacementRefusal refusal) {
    switch (refusal) {
    case ReplacementRefusal::None:
        return ConversionProblem::None;
    case ReplacementRefusal::Folder:
        return ConversionProblem::TargetIsFolder;
    case ReplacementRefusal::NotPlainFile:
        return ConversionProblem::TargetNotPlain;
    case ReplacementRefusal::ReadOnly:
        return ConversionProblem::TargetReadOnly;
    case ReplacementRefusal::HardLinks:
        return ConversionProblem::TargetHardLinks;
    case ReplacementRefusal::NotPermitted:
        return ConversionProblem::TargetNotPermitted;
    case ReplacementRefusal::FolderNotWritable:
        return ConversionProblem::FolderNotWritable;
    case ReplacementRefusal::Other:
        break;
    }
    return ConversionProblem::TargetOther;
}

// The size and dimensions of a bitmap already there, from its first bytes.
ExistingBitmap LookAtExisting(const std::string& path, const platform::ReplacementCheck& check) {
    ExistingBitmap existing;
    existing.exists = check.exists;
    existing.size = check.size;
    if (!check.exists || check.refusal == ReplacementRefusal::Folder ||
        check.refusal == ReplacementRefusal::NotPlainFile)
        return existing;
    platform::File file;
    std::array<std::uint8_t, TExpandedFile::HeadSize> head{};
    std::size_t got = 0;
    if (file.OpenRead(path) != platform::ErrorSuccess)
        return existing;
    for (std::size_t done = 1; done > 0 && got < head.size(); got += done) {
        if (file.Read(head.data() + got, head.size() - got, done) != platform::ErrorSuccess)
            return existing;
    }
    const TBitmapShape shape = ExamineBitmapHead({head.data(), got}, existing.size);
    if (shape.readable) {
        existing.width = shape.width;
        existing.height = shape.height;
    }
    return existing;
}

// Whether the NWP file can go once its bitmap is there.
NwpDeletion DeletionOf(const std::string& nwpPath, const ConversionOptions& options) {
    if (options.keep)
        return NwpDeletion::Keeps;
    switch (platform::CheckReplacement(nwpPath).refusal) {
    case ReplacementRefusal::ReadOnly:
        return NwpDeletion::ReadOnly; // Windows deletes no read-only file
    case ReplacementRefusal::FolderNotWritable:
        return NwpDeletion::FolderNotWritable;
    default:
        return NwpDeletion::Deletes;
    }
}

ConversionStep Fail(ConversionStep step, ConversionProblem problem,
                    platform::WinError cause = platform::ErrorSuccess) {
    step.action = ConversionAction::Fail;
    step.problem = problem;
    step.cause = cause;
    step.deletion = NwpDeletion::Keeps;
    return step;
}

} // namespace

namespace {

// The plan. The NWP file is judged whenever a bitmap is in the way (the judge compares it
// in the same pass) and, with `judgeAlways`, also when none is; without, the conversion
// judges it by the same rule as it writes (see Convert), which spares a second expansion.
ConversionStep Plan(std::string_view folder, const FolderEntry& entry,
                    const ConversionOptions& options, bool judgeAlways) {
    ConversionStep step;
    step.nwpName = entry.name;
    step.bitmapName = BitmapNameOf(entry.name);
    step.deletion = NwpDeletion::Keeps;
    if (entry.attributes & platform::FileAttributeDirectory) {
        step.action = ConversionAction::Skip;
        step.problem = ConversionProblem::NwpIsFolder;
        return step;
    }
    if (!entry.nameFits) {
        step.nwp.state = NwpState::Unreadable;
        step.nwp.fileSize = ListedSize(folder, entry);
        return Fail(step, ConversionProblem::NameNotHeld);
    }
    const std::string nwpPath = EntryPath(folder, entry);
    const std::string bitmapPath = JoinPath(folder, step.bitmapName);

    const platform::ReplacementCheck target = platform::CheckReplacement(bitmapPath);
    step.existing = LookAtExisting(bitmapPath, target);
    if (target.refusal == ReplacementRefusal::Folder) {
        step.action = ConversionAction::Skip;
        step.problem = ConversionProblem::TargetIsFolder;
        return step;
    }
    // Nothing can be written where nothing is in the way (the folder, the path itself).
    if (target.refusal != ReplacementRefusal::None && !step.existing.exists)
        return Fail(step, TargetProblem(target.refusal), target.error);
    if (step.existing.exists || judgeAlways) {
        const bool comparable =
            step.existing.exists && target.refusal != ReplacementRefusal::NotPlainFile;
        step.nwp =
            JudgeNwpFile(nwpPath, comparable ? std::string_view(bitmapPath) : std::string_view());
        if (step.nwp.state != NwpState::Convertible)
            return Fail(step, NwpProblem(step.nwp.state), step.nwp.cause);
    }
    if (step.existing.exists && step.nwp.sameAsCompared) {
        step.action = ConversionAction::AlreadyDone;
    } else if (step.existing.exists && !options.replace) {
        step.action = ConversionAction::KeepExisting;
        return step;
    } else if (target.refusal != ReplacementRefusal::None) {
        return Fail(step, TargetProblem(target.refusal), target.error);
    } else {
        step.action = step.existing.exists ? ConversionAction::Replace : ConversionAction::Convert;
    }
    step.deletion = DeletionOf(nwpPath, options);
    return step;
}

} // namespace

ConversionStep PlanConversion(std::string_view folder, const FolderEntry& entry,
                              const ConversionOptions& options) {
    return Plan(folder, entry, options, true);
}

ConversionStep Convert(std::string_view folder, const FolderEntry& entry,
                       const ConversionOptions& options) {
    ConversionStep step = Plan(folder, entry, options, false);
    if (step.action != ConversionAction::Convert && step.action != ConversionAction::Replace &&
        step.action != ConversionAction::AlreadyDone)
        return step;
    const std::string nwpPath = EntryPath(folder, entry);
    const bool deleting = step.deletion != NwpDeletion::Keeps;
    platform::WinError deletion = platform::ErrorSuccess;
    if (step.action == ConversionAction::AlreadyDone) {
        if (deleting)
            deletion = platform::DeleteFile(nwpPath);
    } else {
        try {
            // The rule the plan judges by, applied to what was written before it is put
            // in place.
            deletion =
                ConvertNwpFile(nwpPath, JoinPath(folder, step.bitmapName),
                               deleting ? NwpAfterConversion::Delete : NwpAfterConversion::Keep);
        } catch (const EArchive& error) {
            const bool written = dynamic_cast<const EIncompleteBitmap*>(&error) == nullptr &&
                                 std::strcmp(error.what(), NotCompressedFileMessage) != 0;
            if (written)
                return Fail(step, ConversionProblem::WriteFailed, error.Cause());
            // The NWP file is at fault: the judge says how, in the plan's words.
            step.nwp = JudgeNwpFile(nwpPath);
            if (step.nwp.state == NwpState::Convertible) // it changed meanwhile
                return Fail(step, ConversionProblem::NotCompleteBitmap);
            return Fail(step, NwpProblem(step.nwp.state), step.nwp.cause);
        }
    }
    if (deleting) {
        if (deletion == platform::ErrorSuccess) {
            step.deletion = NwpDeletion::Deletes;
        } else {
            // The reason the plan foresaw, or the system's.
            if (step.deletion == NwpDeletion::Deletes)
                step.deletion = NwpDeletion::Failed;
            step.cause = deletion;
        }
    }
    return step;
}

} // namespace nimbrel::wallpaper
