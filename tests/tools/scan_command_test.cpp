// nimbrel-tool scan: the verdict on every kind of file a wallpaper folder can hold.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

using test::Bytes;
using test::RunTool;
using test::Text;

Bytes Cut(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

// The verdict column of each file line, by name.
std::map<std::string, std::string> Verdicts(const std::string& out) {
    std::map<std::string, std::string> verdicts;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, kind, size, dimensions;
        words >> name >> kind >> size >> dimensions;
        if (kind != "jpeg" && kind != "bitmap" && kind != "nwp")
            continue;
        std::string verdict;
        std::getline(words >> std::ws, verdict);
        verdicts[name] = verdict;
    }
    return verdicts;
}

// A JPEG whose header claims 20000 x 9000 pixels (180 megapixels): over the pixel budget.
Bytes ClaimingHugeSize(Bytes jpeg) {
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = 9000 >> 8; // height, big-endian
            jpeg[i + 6] = 9000 & 0xFF;
            jpeg[i + 7] = 20000 >> 8; // width
            jpeg[i + 8] = 20000 & 0xFF;
            break;
        }
    }
    return jpeg;
}

struct DamageCase {
    const char* name;
    Bytes bytes;
    const char* headers; // the verdict of a headers-only scan
    const char* deep;    // the verdict of --deep
};

std::vector<DamageCase> DamageCases() {
    const Bytes jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 64, 48});
    const Bytes bitmap = test::MakeBmp({.width = 8, .height = 6});
    const Bytes photo = test::MakePhotoBmp(40, 30);
    Bytes badPlanes = bitmap;
    test::PutLe16(badPlanes, test::BmpPlanesField, 2);
    Bytes jpegInside = bitmap; // a JPEG-compressed bitmap: valid, but nothing here shows it
    test::PutLe32(jpegInside, test::BmpCompressionField, 4);
    Bytes packedText(std::vector<std::uint8_t>(300, 'x'));
    const Bytes nwp = test::PackNwp(photo);
    // An 8-bit run-length coded bitmap of 4 x 2 pixels, as the Windows loader shows them.
    Bytes rle = test::MakeBmp({.width = 4, .height = 2, .bitCount = 8, .compression = 1});
    const std::uint8_t codes[] = {4, 7, 0, 0, 2, 1, 2, 9, 0, 1};
    rle.resize(rle.size() - 2 * 4); // the plain rows the maker wrote
    rle.insert(rle.end(), std::begin(codes), std::end(codes));
    test::PutLe32(rle, 34, sizeof codes); // the coded size
    test::PutLe32(rle, 2, static_cast<std::uint32_t>(rle.size()));
    return {
        {"GOOD.JPG", jpeg, "ready", "ready"},
        {"GRAY.JPG", test::MakeJpeg({test::JpegKind::Grayscale, 32, 32}), "ready", "ready"},
        {"PROGRESS.JPG", test::MakeJpeg({test::JpegKind::Progressive, 32, 32}), "ready", "ready"},
        {"CMYK.JPG", test::MakeJpeg({test::JpegKind::Cmyk, 16, 16}), "ready", "ready"},
        {"YCCK.JPG", test::MakeJpeg({test::JpegKind::Ycck, 16, 16}), "ready", "ready"},
        {"RLE.BMP", rle, "ready, not requestable", "ready, not requestable"},
        {"RLE.NWP", test::PackNwp(rle), "legacy, convertible", "legacy, convertible"},
        {"CUTRLE.NWP", test::PackNwp(Cut(rle, rle.size() - 3)),
         "damaged: expands to no complete bitmap", "damaged: expands to no complete bitmap"},
        {"HUGE.JPG", ClaimingHugeSize(jpeg), "damaged: over the pixel budget",
         "damaged: over the pixel budget"},
        {"EMPTY.JPG", {}, "damaged: empty file", "damaged: empty file"},
        {"TEXT.JPG", Bytes{'h', 'e', 'l', 'l', 'o'}, "damaged: not a JPEG", "damaged: not a JPEG"},
        // The header is whole, the picture is not: only a decode finds it.
        {"CUT.JPG", Cut(jpeg, jpeg.size() * 2 / 3), "ready", "damaged: truncated"},
        {"HEADCUT.JPG", Cut(jpeg, 30), "damaged: truncated", "damaged: truncated"},
        {"PIC.BMP", bitmap, "ready, not requestable", "ready, not requestable"},
        {"X.JPG.BMP", bitmap, "ready", "ready"}, // the request rule looks for ".JPG" anywhere
        {"PLANES.BMP", badPlanes, "damaged: bad bitmap header", "damaged: bad bitmap header"},
        {"JPEGIN.BMP", jpegInside, "damaged: unsupported kind of bitmap",
         "damaged: unsupported kind of bitmap"},
        {"TEXT.BMP", Bytes{'B', 'M', '1', '2'}, "damaged: bad bitmap header",
         "damaged: bad bitmap header"},
        {"SHORT.BMP", Cut(bitmap, bitmap.size() - 10), "damaged: truncated", "damaged: truncated"},
        {"OLD.NWP", nwp, "legacy, convertible", "legacy, convertible"},
        {"RAW.NWP", photo, "damaged: not a compressed file", "damaged: not a compressed file"},
        {"SIGN.NWP", Bytes(test::NwpSignature.begin(), test::NwpSignature.end()),
         "damaged: expands to no complete bitmap", "damaged: expands to no complete bitmap"},
        // The whole file is expanded in either scan: the conversion's own rule decides.
        {"HALF.NWP", Cut(nwp, nwp.size() / 2), "damaged: expands to no complete bitmap",
         "damaged: expands to no complete bitmap"},
        {"TEXT.NWP", test::PackNwp(packedText), "damaged: expands to no complete bitmap",
         "damaged: expands to no complete bitmap"},
    };
}

TEST(ScanCommand, EachKindOfFileGetsItsVerdictFromHeadersAndFromDecoding) {
    test::TempEnvironment environment;
    const auto cases = DamageCases();
    for (const auto& c : cases)
        environment.WriteHostFile('C', std::string("walls/") + c.name, Text(c.bytes));
    for (const bool deep : {false, true}) {
        std::vector<std::string> args{"scan", "C:\\WALLS"};
        if (deep)
            args.push_back("--deep");
        const auto result = RunTool(args);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        const auto verdicts = Verdicts(result.out);
        for (const auto& c : cases) {
            const auto found = verdicts.find(c.name);
            ASSERT_NE(found, verdicts.end()) << c.name << "\n" << result.out;
            EXPECT_EQ(found->second, deep ? c.deep : c.headers)
                << c.name << (deep ? " --deep" : "");
        }
        EXPECT_EQ(verdicts.size(), cases.size()) << result.out;
    }
}

TEST(ScanCommand, ListsWhatTheDialogListsInItsOrderWithSizesAndASummary) {
    test::TempEnvironment environment;
    const Bytes jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 64, 48});
    const Bytes bitmap = test::MakeBmp({.width = 8, .height = 6});
    environment.WriteHostFile('C', "walls/b.Jpg", Text(jpeg));
    environment.WriteHostFile('C', "walls/a.jpg", Text(jpeg));
    environment.WriteHostFile('C', "walls/c.bmp", Text(bitmap));
    environment.WriteHostFile('C', "walls/NIMBREL.JPG", Text(jpeg));
    // The changer's own bitmaps and other files are no pictures of the list.
    environment.WriteHostFile('C', "walls/nimbrel.bmp", Text(bitmap));
    environment.WriteHostFile('C', "walls/NextPic.bmp", Text(bitmap));
    environment.WriteHostFile('C', "walls/notes.txt", "x");
    environment.MakeHostFolder('C', "walls/Folder.JPG");

    const auto result = RunTool({"scan", "C:\\WALLS\\"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    const std::string size = std::to_string(jpeg.size());
    const std::string bitmapSize = std::to_string(bitmap.size());
    EXPECT_EQ(result.out,
              "A.JPG        jpeg    " + std::string(10 - size.size(), ' ') + size +
                  "        64x48  ready\n"
                  "B.JPG        jpeg    " +
                  std::string(10 - size.size(), ' ') + size +
                  "        64x48  ready\n"
                  "C.BMP        bitmap  " +
                  std::string(10 - bitmapSize.size(), ' ') + bitmapSize +
                  "          8x6  ready, not requestable\n"
                  "FOLDER.JPG   jpeg             0            -  damaged: a folder, not a file\n"
                  "NIMBREL.JPG  jpeg    " +
                  std::string(10 - size.size(), ' ') + size +
                  "        64x48  ready\n"
                  "5 pictures: 4 ready, 0 to convert, 1 damaged\n");

    const auto json = RunTool({"scan", "C:\\WALLS", "--json"});
    const std::string hostFolder = environment.DriveFolder('C') + "/walls/";
    EXPECT_NE(json.out.find("{\"name\":\"C.BMP\",\"host_path\":\"" + hostFolder +
                            "c.bmp\",\"kind\":\"bitmap\",\"size\":" + bitmapSize +
                            ",\"width\":8,\"height\":6,\"verdict\":\"ready_not_requestable\","
                            "\"requestable\":false,\"reason\":null}\n"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"verdict\":\"damaged\",\"requestable\":true,"
                            "\"reason\":\"a folder, not a file\"}\n"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("{\"summary\":{\"pictures\":5,\"ready\":4,\"to_convert\":0,"
                            "\"damaged\":1,\"to_rename\":0}}\n"),
              std::string::npos)
        << json.out;
}

TEST(ScanCommand, ANameTheCodePageCannotHoldIsToRenameNotDamaged) {
    test::TempEnvironment environment;
    const Bytes jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 16, 16});
    environment.WriteHostFile('C', "names/\xE6\x97\xA5\xE6\x9C\xAC.jpg", Text(jpeg)); // CJK
    environment.WriteHostFile('C',
                              "names/\xC5\x99"
                              "eka.jpg",
                              Text(jpeg)); // r with caron: held
    const std::string size = std::to_string(jpeg.size());

    const auto table = RunTool({"scan", "C:\\NAMES"});
    EXPECT_EQ(table.exitCode, 1) << table.err;
    const auto verdicts = Verdicts(table.out);
    EXPECT_EQ(
        verdicts.at("??.JPG"),
        "the dialog cannot open this name: rename it  (on disk: \xE6\x97\xA5\xE6\x9C\xAC.jpg)");
    EXPECT_NE(table.out.find("??.JPG    jpeg    " + std::string(10 - size.size(), ' ') + size),
              std::string::npos)
        << table.out; // its real size
    // A name held by the code page is the dialog's name but for the case of a to z: no note.
    EXPECT_NE(table.out.find("ready\n"), std::string::npos) << table.out;
    EXPECT_EQ(table.out.find("(on disk: \xC5\x99"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("2 pictures: 1 ready, 0 to convert, 0 damaged, 1 to rename\n"),
              std::string::npos)
        << table.out;

    const auto json = RunTool({"scan", "C:\\NAMES", "--json"});
    EXPECT_NE(json.out.find("{\"name\":\"??.JPG\",\"host_path\":\"" + environment.DriveFolder('C') +
                            "/names/\xE6\x97\xA5\xE6\x9C\xAC.jpg\",\"kind\":\"jpeg\",\"size\":" +
                            size + ",\"width\":0,\"height\":0,\"verdict\":\"rename\""),
              std::string::npos)
        << json.out;
}

TEST(ScanCommand, ExitCodeTellsScriptsWhetherAnythingNeedsCare) {
    test::TempEnvironment environment;
    const Bytes jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 16, 16});
    environment.WriteHostFile('C', "ready/a.jpg", Text(jpeg));
    environment.WriteHostFile('C', "ready/b.bmp", Text(test::MakeBmp({})));
    environment.WriteHostFile('C', "legacy/a.jpg", Text(jpeg));
    environment.WriteHostFile('C', "legacy/b.nwp", Text(test::PackNwp(test::MakeBmp({}))));
    environment.MakeHostFolder('C', "empty");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* summary;
    } cases[] = {
        {{"scan", "C:\\READY"}, 0, "2 pictures: 2 ready, 0 to convert, 0 damaged\n"},
        {{"scan", "C:\\LEGACY", "--deep"}, 1, "2 pictures: 1 ready, 1 to convert, 0 damaged\n"},
        {{"scan", "C:\\EMPTY"}, 0, "0 pictures: 0 ready, 0 to convert, 0 damaged\n"},
        {{"scan", "C:\\NOWHERE"}, 1, nullptr},
        {{"scan", "C:\\READY", "--bogus"}, 2, nullptr},
        {{"scan", "C:\\READY", "C:\\LEGACY"}, 2, nullptr},
        {{"scan", "C:\\READY", "--sheet"}, 2, nullptr},
        {{"scan", "C:\\READY", "--jobs", "0"}, 2, nullptr},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[1] << " " << result.err;
        if (c.summary)
            EXPECT_TRUE(result.out.ends_with(c.summary)) << result.out;
        else
            EXPECT_FALSE(result.err.empty());
    }
}

TEST(ScanCommand, WithoutAFolderScansTheStoredWallpaperFolder) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "stored/a.jpg",
                              Text(test::MakeJpeg({test::JpegKind::Baseline420, 16, 16})));
    ASSERT_EQ(RunTool({"reg", "set", "HKCU\\Software\\Vexmoor\\Nimbrel", "WallpaperFolder", "sz",
                       "C:\\STORED"})
                  .exitCode,
              0);
    const auto result = RunTool({"scan"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("A.JPG")) << result.out;
}

TEST(ScanCommand, WithoutAFolderOrAStoredOneScansTheCurrentFolder) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "here/b.jpg",
                              Text(test::MakeJpeg({test::JpegKind::Baseline420, 16, 16})));
    test::ToolRunOptions options;
    options.workingFolder = environment.DriveFolder('C') + "/here";
    const auto result = RunTool({"scan"}, options);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("B.JPG")) << result.out;
}

TEST(ScanCommand, ManyJobsReportInTheFolderOrder) {
    test::TempEnvironment environment;
    std::string expected;
    const Bytes jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 96, 64});
    for (int i = 0; i < 60; ++i) {
        const std::string name = "P" + std::to_string(100 + i) + ".JPG";
        // Every fifth file is damaged, so the pieces take different times.
        environment.WriteHostFile('C', "many/" + name, i % 5 ? Text(jpeg) : "not a picture");
        expected += name + "\n";
    }
    const auto result = RunTool({"scan", "C:\\MANY", "--deep", "--jobs", "4"});
    std::string names;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("P"))
            names += line.substr(0, line.find(' ')) + "\n";
    EXPECT_EQ(names, expected);
}

} // namespace
} // namespace nimbrel
