// nimbrel-tool convert FOLDER: every NWP file of a folder into a BMP file of the same name,
// as the dialog converts them, but going on past a bad file and reporting every file.
#include "archive/archive.h"
#include "archive/bitmap_completeness.h"
#include "archive/nwp_conversion.h"
#include "platform/files.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/folder_report/examine_file.h"
#include "tools/interruption.h"
#include "tools/ordered_work.h"
#include "tools/progress_bar.h"
#include "tools/tool_output.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace nimbrel::tool {
namespace {

struct ConvertOptions {
    std::string folder; // UTF-8, as given
    bool keep = false;
    bool dryRun = false;
    unsigned jobs = DefaultJobs();
};

bool ParseConvert(const std::vector<std::string>& args, ConvertOptions& options) {
    bool haveFolder = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--jobs" || arg == "-j" || arg.rfind("--jobs=", 0) == 0) {
            std::string value;
            if (arg.rfind("--jobs=", 0) == 0)
                value = arg.substr(7);
            else if (i + 1 < args.size())
                value = args[++i];
            char* end = nullptr;
            const long jobs = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || jobs < 1 || jobs > 256)
                return false;
            options.jobs = static_cast<unsigned>(jobs);
        } else if (arg.empty() || arg.front() == '-' || haveFolder) {
            return false;
        } else {
            options.folder = arg;
            haveFolder = true;
        }
    }
    return haveFolder;
}

// The dialog's output name: the text from the last dot on becomes ".BMP".
std::string BitmapName(const std::string& nwpName) {
    const std::size_t dot = nwpName.rfind('.');
    return (dot == std::string::npos ? nwpName : nwpName.substr(0, dot)) + ".BMP";
}

enum class Outcome { Converted, Skipped, Failed };

struct FileOutcome {
    Outcome outcome = Outcome::Converted;
    std::string text; // what happened, code page 1250
};

FileOutcome ConvertOne(const report::ExaminedFolder& examined, const report::FolderEntry& entry,
                       const ConvertOptions& options) {
    const std::string& folder = examined.path;
    const std::string& name = entry.name;
    const std::string input = report::EntryPath(folder, entry);
    const std::string bitmapName = BitmapName(name);
    const std::string output = report::JoinPath(folder, bitmapName);
    if (entry.attributes & platform::FileAttributeDirectory)
        return {Outcome::Skipped, "skipped: a folder, not a file"};
    if (platform::DirectoryExists(output))
        return {Outcome::Skipped, "skipped: " + bitmapName + " is a folder"};
    if (options.dryRun) {
        const report::FileReport found =
            report::ExamineFile(examined, entry, report::Depth::Headers);
        if (found.verdict == report::Verdict::Damaged)
            return {Outcome::Failed,
                    "would fail: " + std::string(report::DamageWords(found.damage))};
        return {Outcome::Converted,
                "would convert to " + bitmapName + (options.keep ? "" : " and delete " + name)};
    }
    try {
        if (options.keep) {
            // The dialog's conversion with its complete-bitmap check, the NWP file kept.
            DecompressFile(input, output, [&](const TExpandedFile& expanded) {
                if (!IsCompleteBitmap(expanded.head, expanded.size))
                    throw EIncompleteBitmap("it does not hold a complete bitmap");
            });
            return {Outcome::Converted, "converted to " + bitmapName};
        }
        ConvertNwpFile(input, output);
    } catch (const EArchive& error) {
        return {Outcome::Failed, std::string("failed: ") + error.what()};
    }
    if (platform::FileExists(input))
        return {Outcome::Converted,
                "converted to " + bitmapName + " (" + name + " could not be deleted)"};
    return {Outcome::Converted, "converted to " + bitmapName + ", " + name + " deleted"};
}

int RunConvert(const std::vector<std::string>& args) {
    ConvertOptions options;
    if (!ParseConvert(args, options))
        throw UsageError("one FOLDER and the options --keep, --dry-run and --jobs N");
    const std::string folder = report::FolderListPath(PathArgument(options.folder));
    if (!platform::DirectoryExists(folder)) {
        Say(options.folder + ": no such folder");
        return 2;
    }
    const std::vector<report::FolderEntry> names = report::ListNwpFiles(folder);
    const report::ExaminedFolder examined(folder);
    const bool stdoutIsTerminal = StandardOutputIsTerminal();

    InterruptionWatch interruption;
    ProgressBar progress("convert", names.size());
    std::size_t counts[3] = {0, 0, 0};
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
    work.work = [&](std::size_t i) { return ConvertOne(examined, names[i], options); };
    work.deliver = [&](std::size_t i, FileOutcome& outcome) {
        ++counts[static_cast<int>(outcome.outcome)];
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
    return counts[static_cast<int>(Outcome::Failed)] == 0 ? 0 : 1;
}

const bool registered = RegisterCommand({
    "convert",
    "  nimbrel-tool convert FOLDER [--keep] [--dry-run] [--jobs N]\n"
    "                                   every NWP file of FOLDER into a BMP file\n",
    "Each NWP file becomes a BMP file of the same name and is deleted, as the dialog does;\n"
    "a file that fails is reported and the others go on.\n"
    "options:\n"
    "  --keep      keep the NWP files\n"
    "  --dry-run   say what would be done, change nothing\n"
    "  --jobs N    work on N files at once (default: one per core)\n"
    "exit code: 0 all converted, 1 a file failed, 2 no such folder, 130 interrupted\n"
    "example:\n"
    "  nimbrel-tool convert ~/old-wallpapers --keep\n",
    RunConvert,
});

} // namespace
} // namespace nimbrel::tool
