// nimbrel-tool convert FOLDER: every NWP file of a folder into a BMP file of the same name,
// as the dialog converts them, but going on past a bad file, replacing no other picture
// unasked, and reporting every file. The dry run prints the plan the real run carries out.
#include "platform/files.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/file_checks.h"
#include "tools/interruption.h"
#include "tools/ordered_work.h"
#include "tools/progress_bar.h"
#include "tools/tool_output.h"
#include "wallpaper_folder/conversion_plan.h"

#include <cstdio>
#include <string>
#include <vector>

namespace nimbrel::tool {
namespace {

using wallpaper::ConversionAction;
using wallpaper::ConversionProblem;
using wallpaper::ConversionStep;
using wallpaper::NwpDeletion;

struct ConvertOptions {
    std::string folder; // UTF-8, as given
    wallpaper::ConversionOptions conversion;
    bool dryRun = false;
    unsigned jobs = DefaultJobs();
};

ConvertOptions ParseConvert(const std::vector<std::string>& args) {
    const Options parsed =
        ParseOptions(args, {{"--keep"}, {"--replace"}, {"--dry-run"}, {"--jobs", true, "-j"}});
    RequireOperands(parsed, {"FOLDER"});
    ConvertOptions options;
    options.folder = parsed.operands[0];
    options.conversion.keep = parsed.Has("--keep");
    options.conversion.replace = parsed.Has("--replace");
    options.dryRun = parsed.Has("--dry-run");
    if (const auto jobs = parsed.Value("--jobs"))
        options.jobs = JobsArgument(*jobs);
    return options;
}

enum class Outcome { Converted, Skipped, Failed };

struct FileOutcome {
    Outcome outcome = Outcome::Converted;
    std::string text;        // what happened, code page 1250
    bool leftUndone = false; // skipped for a picture in the way: the exit status says so
};

// "6.2 MB", "512 kB", "300 bytes": decimal units, as file managers show sizes.
std::string SizeWords(std::uint64_t size) {
    char text[32];
    const auto value = static_cast<double>(size);
    if (size < 1000)
        std::snprintf(text, sizeof text, "%llu %s", static_cast<unsigned long long>(size),
                      size == 1 ? "byte" : "bytes");
    else if (size < 1000 * 1000)
        std::snprintf(text, sizeof text, "%.0f kB", value / 1e3);
    else if (size < 1000ull * 1000 * 1000)
        std::snprintf(text, sizeof text, "%.1f MB", value / 1e6);
    else
        std::snprintf(text, sizeof text, "%.1f GB", value / 1e9);
    return text;
}

// "(1920x1080, 6.2 MB)" of a bitmap found where the conversion writes.
std::string ExistingWords(const wallpaper::ExistingBitmap& existing) {
    std::string words = "(";
    if (existing.width > 0 || existing.height > 0)
        words += std::to_string(existing.width) + "x" + std::to_string(existing.height) + ", ";
    return words + SizeWords(existing.size) + ")";
}

// Why a file cannot be converted, naming the file concerned.
std::string ProblemWords(const ConversionStep& step) {
    const std::string& bitmap = step.bitmapName;
    switch (step.problem) {
    case ConversionProblem::None:
        return {};
    case ConversionProblem::NwpIsFolder:
        return "a folder, not a file";
    case ConversionProblem::NameNotHeld:
        return "the dialog cannot open this name: rename it";
    case ConversionProblem::NwpUnreadable:
        return "cannot be read: " + FileErrorWords(step.cause);
    case ConversionProblem::NwpEmpty:
        return "empty file";
    case ConversionProblem::NotCompressed:
        return "not a compressed file";
    case ConversionProblem::NotCompleteBitmap:
        return "expands to no complete bitmap";
    case ConversionProblem::TargetIsFolder:
        return bitmap + " is a folder";
    case ConversionProblem::TargetNotPlain:
        return bitmap + " is not a plain file (a device, pipe or socket)";
    case ConversionProblem::TargetReadOnly:
        return bitmap + " is read-only";
    case ConversionProblem::TargetHardLinks:
        return bitmap + " has other names (hard links), which would keep the old picture";
    case ConversionProblem::TargetNotPermitted:
        return bitmap + " may not be written (permission denied)";
    case ConversionProblem::FolderNotWritable:
        return "the folder may not be written (permission denied)";
    case ConversionProblem::TargetOther:
        return bitmap + ": " + FileErrorWords(step.cause);
    case ConversionProblem::WriteFailed:
        return bitmap + " could not be written: " + FileErrorWords(step.cause);
    }
    return {};
}

// What becomes of the NWP file: ", X.NWP deleted", " (X.NWP could not be deleted: ...)".
std::string DeletionWords(const ConversionStep& step, bool dryRun) {
    const std::string& nwp = step.nwpName;
    switch (step.deletion) {
    case NwpDeletion::Keeps:
        return {};
    case NwpDeletion::Deletes:
        return dryRun ? " and delete " + nwp : ", " + nwp + " deleted";
    case NwpDeletion::ReadOnly:
        return dryRun ? "; " + nwp + " is read-only and would stay"
                      : " (" + nwp + " could not be deleted: it is read-only)";
    case NwpDeletion::FolderNotWritable:
        return dryRun ? "; " + nwp + " would stay: the folder may not be written"
                      : " (" + nwp + " could not be deleted: the folder may not be written)";
    case NwpDeletion::Failed:
        return " (" + nwp + " could not be deleted: " + FileErrorWords(step.cause) + ")";
    }
    return {};
}

// One line for one file, the same for the plan and for what was done.
FileOutcome Describe(const ConversionStep& step, bool dryRun) {
    const std::string& bitmap = step.bitmapName;
    const std::string deletion = DeletionWords(step, dryRun);
    switch (step.action) {
    case ConversionAction::Convert:
        return {Outcome::Converted,
                (dryRun ? "would convert to " : "converted to ") + bitmap + deletion};
    case ConversionAction::Replace:
        return {Outcome::Converted,
                (dryRun ? "would replace " + bitmap + " " + ExistingWords(step.existing)
                        : "converted to " + bitmap + ", replacing the picture there " +
                              ExistingWords(step.existing)) +
                    deletion};
    case ConversionAction::AlreadyDone:
        if (step.deletion == NwpDeletion::Keeps)
            return {Outcome::Skipped, "skipped: " + bitmap + " already holds this picture"};
        return {Outcome::Converted, bitmap + " already holds this picture" +
                                        (dryRun && step.deletion == NwpDeletion::Deletes
                                             ? ": would delete " + step.nwpName
                                             : deletion)};
    case ConversionAction::KeepExisting:
        return {Outcome::Skipped,
                "skipped: " + bitmap + " exists " + ExistingWords(step.existing) +
                    "; --replace to replace it",
                true};
    case ConversionAction::Skip:
        return {Outcome::Skipped, "skipped: " + ProblemWords(step)};
    case ConversionAction::Fail:
        return {Outcome::Failed, (dryRun ? "would fail: " : "failed: ") + ProblemWords(step)};
    }
    return {Outcome::Failed, "failed"};
}

FileOutcome ConvertOne(const std::string& folder, const wallpaper::FolderEntry& entry,
                       const ConvertOptions& options) {
    const ConversionStep step = options.dryRun
                                    ? wallpaper::PlanConversion(folder, entry, options.conversion)
                                    : wallpaper::Convert(folder, entry, options.conversion);
    return Describe(step, options.dryRun);
}

int RunConvert(const std::vector<std::string>& args) {
    const ConvertOptions options = ParseConvert(args);
    const std::string folder = wallpaper::FolderListPath(PathArgument(options.folder));
    if (!platform::DirectoryExists(folder))
        throw ToolError(options.folder + ": no such folder");
    const std::vector<wallpaper::FolderEntry> names = wallpaper::ListNwpFiles(folder);
    const bool stdoutIsTerminal = StandardOutputIsTerminal();

    InterruptionWatch interruption;
    ProgressBar progress("convert", names.size());
    std::size_t counts[3] = {0, 0, 0};
    bool leftUndone = false;
    bool writeFailed = false;
    auto print = [&](const std::string& name, const std::string& text) {
        if (stdoutIsTerminal)
            progress.Clear();
        try {
            WriteOut(Shown(name) + "  " + Shown(text) + "\n");
        } catch (const ToolError&) {
            writeFailed = true; // the files go on being converted; the end reports it
        }
    };

    OrderedWork<FileOutcome> work;
    work.count = names.size();
    work.jobs = options.jobs;
    work.work = [&](std::size_t i) { return ConvertOne(folder, names[i], options); };
    work.deliver = [&](std::size_t i, FileOutcome& outcome) {
        ++counts[static_cast<int>(outcome.outcome)];
        leftUndone = leftUndone || outcome.leftUndone;
        print(names[i].name, outcome.text);
        progress.Update(i + 1);
    };
    work.stopRequested = [&] { return interruption.Requested(); };
    work.tick = [&](std::size_t done) { progress.Update(done); };
    const std::size_t done = RunOrdered(work);
    progress.Clear();
    // Every file is reported, also those an interruption left untouched.
    for (std::size_t i = done; i < names.size(); ++i) {
        ++counts[static_cast<int>(Outcome::Skipped)];
        print(names[i].name, "skipped: interrupted");
    }
    char summary[160];
    std::snprintf(summary, sizeof summary, "%zu NWP %s: %zu %s, %zu skipped, %zu failed\n",
                  names.size(), names.size() == 1 ? "file" : "files", counts[0],
                  options.dryRun ? "to convert" : "converted", counts[1], counts[2]);
    if (writeFailed)
        throw ToolError("standard output: cannot be written");
    WriteOut(summary);
    FinishOutput();
    if (done < names.size())
        return InterruptedExitCode;
    return counts[static_cast<int>(Outcome::Failed)] == 0 && !leftUndone ? 0 : 1;
}

const bool registered = RegisterCommand({
    "convert",
    "  nimbrel-tool convert FOLDER [--keep] [--replace] [--dry-run] [--jobs N]\n"
    "                                   every NWP file of FOLDER into a BMP file\n",
    "Each NWP file becomes a BMP file of the same name and is deleted, as the dialog does;\n"
    "a file that fails is reported, with its cause, and the others go on. A BMP file that\n"
    "holds another picture is kept (the NWP file too) unless --replace is given; one that\n"
    "already holds the very bytes the NWP file expands to counts as converted.\n"
    "options:\n"
    "  --keep      keep the NWP files\n"
    "  --replace   replace a BMP file of the same name that holds another picture\n"
    "  --dry-run   say what the real run would do for each file, change nothing\n"
    "  --jobs N    work on N files at once (default: one per core)\n"
    "exit status: 0 every file converted or skipped, 1 a file failed or was kept from\n"
    "replacing another picture (or another failure, told on standard error), 2 bad\n"
    "arguments, 130 interrupted\n"
    "example:\n"
    "  nimbrel-tool convert ~/old-wallpapers --keep\n",
    RunConvert,
});

} // namespace
} // namespace nimbrel::tool
