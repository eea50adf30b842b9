// nimbrel-tool scan [FOLDER]: what a wallpaper folder holds, file by file, with a verdict
// on each, a summary, and on request a contact sheet.
#include "imaging/jpeg_image.h"
#include "platform/files.h"
#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/contact_sheet.h"
#include "tools/folder_report/examine_file.h"
#include "tools/interruption.h"
#include "tools/ordered_work.h"
#include "tools/progress_bar.h"
#include "tools/scan_output.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::tool {
namespace {

using report::FileReport;

struct ScanOptions {
    std::optional<std::string> folder; // UTF-8, as given
    bool deep = false;
    bool json = false;
    std::optional<std::string> sheet; // UTF-8, as given
    unsigned jobs = DefaultJobs();
};

bool ParseJobs(const std::string& text, unsigned& jobs) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 256)
        return false;
    jobs = static_cast<unsigned>(value);
    return true;
}

bool ParseScan(const std::vector<std::string>& args, ScanOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--deep") {
            options.deep = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--sheet" || arg == "--jobs" || arg == "-j") {
            if (i + 1 == args.size() || args[i + 1].empty())
                return false;
            const std::string& value = args[++i];
            if (arg == "--sheet")
                options.sheet = value;
            else if (!ParseJobs(value, options.jobs))
                return false;
        } else if (arg.rfind("--sheet=", 0) == 0 && arg.size() > 8) {
            options.sheet = arg.substr(8);
        } else if (arg.rfind("--jobs=", 0) == 0) {
            if (!ParseJobs(arg.substr(7), options.jobs))
                return false;
        } else if (arg.empty() || arg.front() == '-' || options.folder) {
            return false;
        } else {
            options.folder = arg;
        }
    }
    return true;
}

// The folder named, else the wallpaper folder of the settings, else the current folder.
std::string ChosenFolder(const ScanOptions& options) {
    if (options.folder)
        return wallpaper::FolderListPath(PathArgument(*options.folder));
    try {
        TRegistry registry;
        if (registry.OpenKey(store::SettingsKey, false)) {
            const std::string stored = registry.ReadString(store::WallpaperFolder);
            if (stored.find_first_not_of(' ') != std::string::npos)
                return wallpaper::FolderListPath(stored);
        }
    } catch (const std::exception&) {
        // An unreadable store leaves the current folder.
    }
    return platform::CurrentDirectory();
}

struct ScanItem {
    FileReport report;
    std::unique_ptr<TBitmap> thumbnail;
};

int RunScan(const std::vector<std::string>& args) {
    ScanOptions options;
    if (!ParseScan(args, options))
        throw UsageError("an unknown option, a missing option value or more than one FOLDER");
    const std::string folder = ChosenFolder(options);
    const std::string shownFolder = options.folder ? *options.folder : Shown(folder);
    if (!platform::DirectoryExists(folder)) {
        Say(shownFolder + ": no such folder");
        return 2;
    }
    const std::string sheetPath = options.sheet ? PathArgument(*options.sheet) : std::string();
    SetDefaultDepth();
    const std::vector<wallpaper::FolderEntry> entries = wallpaper::ListFolder(folder, options.jobs);
    const report::ExaminedFolder examined(folder);

    std::size_t nameWidth = 0;
    for (const auto& entry : entries)
        nameWidth = std::max(nameWidth, NameColumns(entry.name));

    const report::Depth depth = options.deep ? report::Depth::Deep : report::Depth::Headers;
    const report::PictureWish wish{ThumbnailWidth, ThumbnailHeight};
    const bool sheet = options.sheet.has_value();
    const bool stdoutIsTerminal = StandardOutputIsTerminal();

    InterruptionWatch interruption;
    ProgressBar progress("scan", entries.size());
    ScanTally tally;
    std::vector<SheetCell> cells;
    bool writeFailed = false;

    OrderedWork<ScanItem> work;
    work.count = entries.size();
    work.jobs = options.jobs;
    work.work = [&](std::size_t i) {
        ScanItem item;
        std::unique_ptr<TBitmap> picture;
        item.report = report::ExamineFile(examined, entries[i], depth, sheet ? &wish : nullptr,
                                          sheet ? &picture : nullptr);
        if (picture)
            item.thumbnail = MakeThumbnail(*picture, ThumbnailWidth, ThumbnailHeight);
        return item;
    };
    work.deliver = [&](std::size_t, ScanItem& item) {
        if (stdoutIsTerminal)
            progress.Clear();
        tally.Count(item.report);
        const std::string line =
            options.json ? ReportJson(item.report) : ReportLine(item.report, nameWidth);
        try {
            WriteOut(line + "\n");
        } catch (const ToolError&) {
            writeFailed = true;
        }
        if (sheet)
            cells.push_back({std::move(item.report), std::move(item.thumbnail)});
        progress.Update(tally.pictures);
    };
    work.stopRequested = [&] { return interruption.Requested(); };
    work.tick = [&](std::size_t done) { progress.Update(done); };
    const std::size_t done = RunOrdered(work);
    progress.Clear();

    if (done < entries.size()) {
        Say(shownFolder + ": scan interrupted after " + std::to_string(done) + " of " +
            std::to_string(entries.size()) + " files");
        return InterruptedExitCode;
    }
    if (writeFailed)
        throw ToolError("standard output: cannot be written");
    WriteOut((options.json ? SummaryJson(tally) : SummaryText(tally)) + "\n");
    FinishOutput();
    if (sheet)
        WriteContactSheet(sheetPath, folder + "  " + SummaryText(tally), cells);
    return tally.ExitCode();
}

const bool registered = RegisterCommand({
    "scan",
    "  nimbrel-tool scan [FOLDER] [--deep] [--json] [--sheet OUT.jpg] [--jobs N]\n"
    "                                   a verdict on every picture and NWP file of a folder\n",
    "FOLDER defaults to the wallpaper folder of the settings, else the current folder.\n"
    "options:\n"
    "  --deep           decode every picture and expand every NWP file (finds data cut short)\n"
    "  --json           one JSON object a line instead of the table\n"
    "  --sheet OUT.jpg  also write a contact sheet of thumbnails\n"
    "  --jobs N         work on N files at once (default: one per core)\n"
    "exit code: 0 all ready, 1 something to convert or damaged, 2 no such folder,\n"
    "130 interrupted\n"
    "example:\n"
    "  nimbrel-tool scan ~/wallpapers --deep\n",
    RunScan,
});

} // namespace
} // namespace nimbrel::tool
