// The compressed-file container over real files.
#include "archive/archive.h"
#include "support/bytes.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "sysutil/message_pump.h"
#include "sysutil/screen_cursor.h"
#include "tests/archive/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace nimbrel::test {
namespace {

const Bytes OldOutput = {'o', 'l', 'd', ' ', 'B', 'M', 'P'};

// The message of the EArchive that DecompressFile raised, or nothing when it succeeded.
std::optional<std::string> Expand(const std::string& input, const std::string& output) {
    try {
        DecompressFile(input, output);
    } catch (const EArchive& error) {
        return error.Message();
    }
    return std::nullopt;
}

class ArchiveTest : public ::testing::Test {
protected:
    void Put(const std::string& name, std::span<const std::uint8_t> bytes) {
        WriteHostFile(folder.Host(name).string(), bytes);
    }
    Bytes Get(const std::string& name) { return ReadHostFile(folder.Host(name).string()); }

    TempFolder folder;
};

TEST_F(ArchiveTest, ExpandsExactlyTheCodedBytesHoweverTheFileFallsAgainstTheBuffers) {
    // Compressed sizes on both sides of 1,024 and 2,048 (plus the 4 signature bytes).
    std::vector<Bytes> inputs;
    for (std::size_t size = 1012; size <= 1030; ++size)
        inputs.push_back(RandomBytes(size, static_cast<std::uint32_t>(size)));
    for (std::size_t size = 2036; size <= 2054; ++size)
        inputs.push_back(RandomBytes(size, static_cast<std::uint32_t>(size)));
    inputs.push_back(MakePhotoBmp(200, 150));
    for (const auto& data : inputs) {
        const Bytes file = PackNwp(data);
        SCOPED_TRACE("file of " + std::to_string(file.size()) + " bytes");
        Put("PIC.NWP", file);
        ASSERT_EQ(Expand(folder.Windows("PIC.NWP"), folder.Windows("PIC.BMP")), std::nullopt);
        ASSERT_EQ(Get("PIC.BMP"), data);
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"PIC.BMP", "PIC.NWP"}));
    }
}

TEST_F(ArchiveTest, ReplacesAnExistingOutputFile) {
    const Bytes data = MakePhotoBmp(40, 30);
    Put("PIC.NWP", PackNwp(data));
    Put("PIC.BMP", OldOutput);
    EXPECT_EQ(Expand(folder.Windows("PIC.NWP"), folder.Windows("PIC.BMP")), std::nullopt);
    EXPECT_EQ(Get("PIC.BMP"), data);
}

TEST_F(ArchiveTest, SignatureOnlyExpandsToAnEmptyFile) {
    Put("EMPTY.NWP", NwpSignature);
    Put("EMPTY.BMP", OldOutput);
    EXPECT_EQ(Expand(folder.Windows("EMPTY.NWP"), folder.Windows("EMPTY.BMP")), std::nullopt);
    EXPECT_EQ(Get("EMPTY.BMP"), Bytes{});
}

TEST_F(ArchiveTest, FailuresLeaveAnExistingOutputAsItWasAndNoOtherFile) {
    const Bytes good = PackNwp(MakePhotoBmp(40, 30));
    Bytes wrongFourth = good;
    wrongFourth[3] = 0xAD;
    struct Case {
        const char* name;
        std::optional<Bytes> input; // nothing: no input file
        const char* output;         // in the folder; "MISSING\\OUT.BMP" has no folder
        const char* message;
    };
    const Case cases[] = {
        {"missing input", std::nullopt, "OUT.BMP", NotCompressedFileMessage},
        {"empty input", Bytes{}, "OUT.BMP", NotCompressedFileMessage},
        {"three signature bytes", Bytes{0x01, 0x00, 0x33}, "OUT.BMP", NotCompressedFileMessage},
        {"wrong fourth byte", wrongFourth, "OUT.BMP", NotCompressedFileMessage},
        {"a BMP file", MakePhotoBmp(8, 8), "OUT.BMP", NotCompressedFileMessage},
        {"output folder missing", good, "MISSING/OUT.BMP", CannotWriteOutputMessage},
        {"output is a folder", good, "FOLDER", CannotWriteOutputMessage},
        {"both wrong: the input is told", std::nullopt, "MISSING/OUT.BMP",
         NotCompressedFileMessage},
    };
    std::filesystem::create_directory(folder.Host("FOLDER"));
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::filesystem::remove(folder.Host("IN.NWP"));
        if (test.input)
            Put("IN.NWP", *test.input);
        const bool outputExists = std::string(test.output) == "OUT.BMP";
        if (outputExists)
            Put("OUT.BMP", OldOutput);
        const auto before = folder.Names();

        EXPECT_EQ(Expand(folder.Windows("IN.NWP"), folder.Windows(test.output)), test.message);

        EXPECT_EQ(folder.Names(), before);
        if (outputExists) {
            EXPECT_EQ(Get("OUT.BMP"), OldOutput);
        }
        if (test.input) {
            EXPECT_EQ(Get("IN.NWP"), *test.input);
        }
    }
}

TEST_F(ArchiveTest, ReadOnlyInputConverts) {
    const Bytes data = MakePhotoBmp(40, 30);
    Put("RO.NWP", PackNwp(data));
    std::filesystem::permissions(folder.Host("RO.NWP"), std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::group_read |
                                                            std::filesystem::perms::others_read);
    EXPECT_EQ(Expand(folder.Windows("RO.NWP"), folder.Windows("RO.BMP")), std::nullopt);
    EXPECT_EQ(Get("RO.BMP"), data);
}

TEST_F(ArchiveTest, TheCursorShownBeforeIsShownAgainOnEveryPath) {
    Put("GOOD.NWP", PackNwp(MakePhotoBmp(40, 30)));
    Put("BAD.NWP", Bytes{1, 2, 3, 4, 5});
    struct Case {
        const char* name;
        const char* input;
        const char* output;
    };
    const Case cases[] = {{"success", "GOOD.NWP", "GOOD.BMP"},
                          {"not a compressed file", "BAD.NWP", "BAD.BMP"},
                          {"cannot write", "GOOD.NWP", "MISSING/GOOD.BMP"}};
    for (const auto& test : cases) {
        for (const TCursor before : {TCursor::crDefault, TCursor::crHourGlass}) {
            SCOPED_TRACE(std::string(test.name) +
                         (before == TCursor::crDefault ? ", default before" : ", wait before"));
            SetScreenCursor(before);
            std::vector<TCursor> shown;
            SetScreenCursorHandler([&](TCursor cursor) { shown.push_back(cursor); });
            std::vector<TCursor> duringPump;
            SetMessagePump([&] { duringPump.push_back(ScreenCursor()); });

            Expand(folder.Windows(test.input), folder.Windows(test.output));

            SetScreenCursorHandler(nullptr);
            SetMessagePump(nullptr);
            EXPECT_EQ(shown, (std::vector<TCursor>{TCursor::crHourGlass, before}));
            EXPECT_EQ(ScreenCursor(), before);
            // The one pass of the message pump comes at the end of a decoding run, with the
            // hourglass still shown; a file refused before decoding has none.
            const bool decoded = std::string(test.name) != "not a compressed file" &&
                                 std::string(test.name) != "cannot write";
            EXPECT_EQ(duringPump, decoded ? std::vector<TCursor>{TCursor::crHourGlass}
                                          : std::vector<TCursor>{});
        }
    }
}

#ifndef _WIN32
// What OUT names on a POSIX host, beyond a plain file: each kind is kept as it is.
TEST_F(ArchiveTest, OutputsThatMustNotBecomeAPlainFileAreRefusedAndLeftAlone) {
    const Bytes picture = MakePhotoBmp(40, 30);
    Put("IN.NWP", PackNwp(picture));
    ASSERT_EQ(::mkfifo(folder.Host("FIFO.BMP").c_str(), 0644), 0);
    std::filesystem::create_directory(folder.Host("FOLDER.BMP"));
    Put("LINKED.BMP", OldOutput);
    std::filesystem::create_hard_link(folder.Host("LINKED.BMP"), folder.Host("OTHER NAME.BMP"));
    Put("LOCKED.BMP", OldOutput);
    std::filesystem::permissions(folder.Host("LOCKED.BMP"), std::filesystem::perms::owner_read);
    const auto before = folder.Names();
    for (const char* name : {"FIFO.BMP", "FOLDER.BMP", "LINKED.BMP", "LOCKED.BMP"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Expand(folder.Windows("IN.NWP"), folder.Windows(name)), CannotWriteOutputMessage);
    }
    EXPECT_EQ(folder.Names(), before);
    EXPECT_EQ(std::filesystem::status(folder.Host("FIFO.BMP")).type(),
              std::filesystem::file_type::fifo);
    EXPECT_EQ(std::filesystem::hard_link_count(folder.Host("LINKED.BMP")), 2u);
    EXPECT_EQ(Get("OTHER NAME.BMP"), OldOutput);
    EXPECT_EQ(Get("LOCKED.BMP"), OldOutput);
}

TEST_F(ArchiveTest, ALinkedOutputIsWrittenThroughAndAReplacedOneKeepsItsMode) {
    const Bytes picture = MakePhotoBmp(40, 30);
    Put("IN.NWP", PackNwp(picture));
    Put("REAL.BMP", OldOutput);
    std::filesystem::permissions(folder.Host("REAL.BMP"), std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("REAL.BMP", folder.Host("LINK.BMP"));

    EXPECT_EQ(Expand(folder.Windows("IN.NWP"), folder.Windows("LINK.BMP")), std::nullopt);

    EXPECT_TRUE(std::filesystem::is_symlink(folder.Host("LINK.BMP")));
    EXPECT_EQ(Get("REAL.BMP"), picture);
    EXPECT_EQ(std::filesystem::status(folder.Host("REAL.BMP")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(ArchiveTest, AnExpansionRemovesWhatAKilledOneLeftInItsFolder) {
    Put("IN.NWP", PackNwp(MakePhotoBmp(40, 30)));
    Put("~NB3F0A.TMP", OldOutput); // the new file of an expansion that was killed
    Put("~NOTES.TMP", OldOutput);  // not ours
    EXPECT_EQ(Expand(folder.Windows("IN.NWP"), folder.Windows("OUT.BMP")), std::nullopt);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"IN.NWP", "OUT.BMP", "~NOTES.TMP"}));
}

// The file-size limit stands in for a full disk: a write past it fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(ArchiveTest, AFullDiskLeavesNoPartialFileAndTheOldOutputIntact) {
    const Bytes big = MakePhotoBmp(100, 80);  // about 24 KB expanded
    const Bytes small = MakePhotoBmp(30, 20); // under 2 KB: fails only at the last write
    Put("BIG.NWP", PackNwp(big));
    Put("SMALL.NWP", PackNwp(small));
    const std::pair<const char*, rlim_t> cases[] = {
        {"BIG", 0}, {"BIG", 1000}, {"BIG", 1024}, {"BIG", 16384}, {"BIG", 20000}, {"SMALL", 1000}};
    for (const auto& [name, limit] : cases) {
        SCOPED_TRACE(std::string(name) + ", limit " + std::to_string(limit));
        const std::string nwp = std::string(name) + ".NWP", bmp = std::string(name) + ".BMP";
        Put("BIG.BMP", OldOutput);
        Put("SMALL.BMP", OldOutput);
        std::optional<std::string> message;
        {
            const FileSizeLimit full(limit);
            message = Expand(folder.Windows(nwp), folder.Windows(bmp));
        }
        EXPECT_EQ(message, CannotWriteOutputMessage);
        EXPECT_EQ(Get(bmp), OldOutput);
        EXPECT_EQ(folder.Names(),
                  (std::vector<std::string>{"BIG.BMP", "BIG.NWP", "SMALL.BMP", "SMALL.NWP"}));
    }
}
#endif

} // namespace
} // namespace nimbrel::test
