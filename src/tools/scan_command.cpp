// nimbrel-tool scan [FOLDER]: what a wallpaper folder holds, file by file, with a verdict
// on each, a summary, and on request a contact sheet.
#include "imaging/jpeg_image.h"
#include "platform/files.h"
#include "sysutil/text_routines.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/contact_sheet.h"
#include "tools/interruption.h"
#include "tools/ordered_work.h"
#include "tools/output_file.h"
#include "tools/progress_bar.h"
#include "tools/scan_output.h"
#include "tools/tool_output.h"
#include "wallpaper_folder/chosen_folder.h"
#include "wallpaper_folder/examine_file.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::tool {
namespace {

using wallpaper::FileReport;

struct ScanOptions {
    std::optional<std::string> folder; // UTF-8, as given
    bool deep = false;
    bool json = false;
    std::optional<std::string> sheet; // UTF-8, as given
    unsigned jobs = DefaultJobs();
};

// What a contact sheet's name must end in: it is a JPEG picture.
bool NamesJpegFile(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == "jpg" || extension == "jpeg";
}

ScanOptions ParseScan(const std::vector<std::string>& args) {
    const Options parsed =
        ParseOptions(args, {{"--deep"}, {"--json"}, {"--sheet", true}, {"--jobs", true, "-j"}});
    ScanOptions options;
    if (parsed.operands.size() > 1)
        throw UsageError("one FOLDER at most; '" + parsed.operands[1] + "' is one too many");
    if (!parsed.operands.empty()) {
        if (parsed.operands[0].empty())
            throw UsageError("FOLDER is an empty text");
        options.folder = parsed.operands[0];
    }
    options.deep = parsed.Has("--deep");
    options.json = parsed.Has("--json");
    if (const auto jobs = parsed.Value("--jobs"))
        options.jobs = JobsArgument(*jobs);
    options.sheet = parsed.Value("--sheet");
    if (options.sheet && !IsStandardStream(*options.sheet) && !NamesJpegFile(*options.sheet))
        throw UsageError("--sheet writes a JPEG picture: its name ends in .jpg or .jpeg, "
                         "unlike '" +
                         *options.sheet + "'");
    return options;
}

// The folder named, else the wallpaper folder of the settings (a missing one is reported
// as such), else the current folder: a user who names none means the pictures at hand, not
// the folder the tool is installed in.
std::string ChosenFolder(const ScanOptions& options) {
    if (options.folder)
        return wallpaper::FolderListPath(PathArgument(*options.folder));
    const std::string stored = wallpaper::SettingsWallpaperFolder();
    if (!IsBlank(stored))
        return stored;
    return platform::CurrentDirectory();
}

struct ScanItem {
    FileReport report;
    std::unique_ptr<TBitmap> thumbnail;
};

int RunScan(const std::vector<std::string>& args) {
    const ScanOptions options = ParseScan(args);
    const std::string folder = ChosenFolder(options);
    const std::string shownFolder = options.folder ? *options.folder : Shown(folder);
    if (!platform::DirectoryExists(folder))
        throw ToolError(shownFolder + ": no such folder");
    // The sheet's place is checked before the work: a long scan must not end in "cannot
    // be written". A sheet on standard output sends the table to standard error.
    const bool sheet = options.sheet.has_value();
    const bool sheetToStandardOutput = sheet && IsStandardStream(*options.sheet);
    const std::string sheetPath =
        sheet && !sheetToStandardOutput ? PathArgument(*options.sheet) : std::string();
    if (sheetToStandardOutput)
        RefuseBinaryOnTerminal("a contact sheet (a JPEG picture)");
    else if (sheet)
        CheckOutputFile(sheetPath, *options.sheet);
    const std::unique_ptr<LabelFont> font = sheet ? LabelFont::Open() : nullptr;
    SetDefaultDepth();
    const std::vector<wallpaper::FolderEntry> entries = wallpaper::ListFolder(folder, options.jobs);
    const wallpaper::ExaminedFolder examined(folder);

    std::size_t nameWidth = 0;
    for (const auto& entry : entries)
        nameWidth = std::max(nameWidth, NameColumns(entry.name));

    const wallpaper::Depth depth =
        options.deep ? wallpaper::Depth::Deep : wallpaper::Depth::Headers;
    const wallpaper::PictureWish wish{ThumbnailWidth, ThumbnailHeight};
    const bool tableOnTerminal = sheetToStandardOutput || StandardOutputIsTerminal();
    const auto writeTable = [sheetToStandardOutput](const std::string& text) {
        if (sheetToStandardOutput)
            WriteError(text);
        else
            WriteOut(text);
    };

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
        item.report = wallpaper::ExamineFile(examined, entries[i], depth, sheet ? &wish : nullptr,
                                             sheet ? &picture : nullptr);
        if (picture)
            item.thumbnail = MakeThumbnail(*picture, ThumbnailWidth, ThumbnailHeight);
        return item;
    };
    work.deliver = [&](std::size_t, ScanItem& item) {
        if (tableOnTerminal)
            progress.Clear();
        tally.Count(item.report);
        const std::string line =
            options.json ? ReportJson(item.report) : ReportLine(item.report, nameWidth);
        try {
            writeTable(line + "\n");
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
    writeTable((options.json ? SummaryJson(tally) : SummaryText(tally)) + "\n");
    if (sheet) {
        const std::string jpeg = ContactSheetJpeg(*font, folder, SummaryText(tally), cells);
        if (sheetToStandardOutput)
            WriteOutBytes(jpeg.data(), jpeg.size());
        else
            WriteOutputFile(sheetPath, *options.sheet, jpeg.data(), jpeg.size());
    }
    FinishOutput();
    return tally.ExitCode();
}

const bool registered = RegisterCommand({
    "scan",
    "  nimbrel-tool scan [FOLDER] [--deep] [--json] [--sheet OUT.jpg|-] [--jobs N]\n"
    "                                   a verdict on every picture and NWP file of a folder\n",
    "FOLDER defaults to the wallpaper folder of the settings, else the current folder.\n"
    "options:\n"
    "  --deep           decode every picture and expand every NWP file (finds data cut short)\n"
    "  --json           one JSON object a line instead of the table\n"
    "  --sheet OUT.jpg  also write a contact sheet of thumbnails (a JPEG picture); with\n"
    "                   --sheet - it goes to standard output and the table to standard error\n"
    "  --jobs N         work on N files at once (default: one per core)\n"
    "exit status: 0 every file ready, 1 something to convert, damaged or to rename (or a\n"
    "failure, told on standard error), 2 bad arguments, 130 interrupted\n"
    "example:\n"
    "  nimbrel-tool scan ~/wallpapers --deep\n",
    RunScan,
});

} // namespace
} // namespace nimbrel::tool
