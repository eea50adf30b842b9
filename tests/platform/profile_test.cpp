#include "platform/host_fixture.h"
#include "platform/profile.h"
#include "platform/system.h"

#include <gtest/gtest.h>

namespace nimbrel::platform {
namespace {

class ProfileTest : public test::HostFixture {
protected:
    std::string File() const { return Root() + "\\TEST.INI"; }

    // A file as a writer that rewrites it whole would leave it: no blank lines, CR LF line
    // ends, no spaces around section names.
    static std::string Rewritten(std::string_view text) {
        std::string result;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            std::string line(text.substr(start, end - start));
            start = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                continue;
            if (line.front() == '[' && line.back() == ']') {
                const std::size_t first = line.find_first_not_of(' ', 1);
                const std::size_t last = line.find_last_not_of(' ', line.size() - 2);
                line = line.substr(first - 1, last - first + 2).append("]");
                line.front() = '[';
            }
            result += line + "\r\n";
        }
        return result;
    }
};

TEST_F(ProfileTest, WritesChangeOneEntryAndKeepTheRestOfTheFile) {
    const struct {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    } cases[] = {
        {"replaces, other case",
         "; note\r\n[Boot]\r\nshell=x\r\nscrnsave.exe=OLD\r\n\r\n[drivers]\r\na=1\r\n", "boot",
         "SCRNSAVE.EXE",
         "; note\r\n[Boot]\r\nshell=x\r\nscrnsave.exe=NEW\r\n\r\n[drivers]\r\na=1\r\n"},
        {"adds at the end of its section", "[boot]\r\nshell=x\r\n\r\n[drivers]\r\na=1\r\n", "BOOT",
         "SCRNSAVE.EXE", "[boot]\r\nshell=x\r\nSCRNSAVE.EXE=NEW\r\n\r\n[drivers]\r\na=1\r\n"},
        {"adds the section at the end", "[drivers]\r\na=1\r\n", "boot", "SCRNSAVE.EXE",
         "[drivers]\r\na=1\r\n\r\n[boot]\r\nSCRNSAVE.EXE=NEW\r\n"},
        {"keeps unix line endings", "[boot]\nshell=x\n", "boot", "SCRNSAVE.EXE",
         "[boot]\nshell=x\nSCRNSAVE.EXE=NEW\n"},
        {"ends an unfinished last line", "[boot]\r\nshell=x", "boot", "k",
         "[boot]\r\nshell=x\r\nk=NEW\r\n"},
        {"a comment is not a key", "[boot]\r\n;SCRNSAVE.EXE=c\r\n", "boot", "SCRNSAVE.EXE",
         "[boot]\r\n;SCRNSAVE.EXE=c\r\nSCRNSAVE.EXE=NEW\r\n"},
        {"spaces around names", "[ boot ]\r\n  scrnsave.exe = OLD\r\n", "boot", "SCRNSAVE.EXE",
         "[ boot ]\r\nscrnsave.exe=NEW\r\n"},
        {"1250 section names fold",
         "[\x9A"
         "ola]\r\nk=1\r\n",
         "\x8A"
         "OLA",
         "K",
         "[\x9A"
         "ola]\r\nk=NEW\r\n"},
    };
    for (const auto& c : cases) {
        if (!Traits().profileFoldsNationalLetters &&
            c.name == std::string("1250 section names fold"))
            continue;
        MakeFileOnDisk("TEST.INI", c.before);
        EXPECT_TRUE(WriteProfileString(File(), c.section, c.key, "NEW")) << c.name;
        if (Traits().profileKeepsLayout)
            EXPECT_EQ(ReadFileOnDisk("TEST.INI"), c.after) << c.name;
        else
            EXPECT_EQ(Rewritten(ReadFileOnDisk("TEST.INI")), Rewritten(c.after)) << c.name;
    }
}

TEST_F(ProfileTest, FirstWriteCreatesTheFile) {
    EXPECT_TRUE(WriteProfileString(File(), "boot", "SCRNSAVE.EXE", "C:\\N\\NIMBRSRV.SCR"));
    EXPECT_EQ(ReadFileOnDisk("TEST.INI"), "[boot]\r\nSCRNSAVE.EXE=C:\\N\\NIMBRSRV.SCR\r\n");
    EXPECT_EQ(GetProfileString(File(), "BOOT", "scrnsave.exe", "-"), "C:\\N\\NIMBRSRV.SCR");
}

TEST_F(ProfileTest, ReadsFallBackToTheDefault) {
    MakeFileOnDisk("TEST.INI", "[intl]\r\nsList= , \r\nsQuoted=\"a b\"\r\n[empty]\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"INTL", "slist", ","},       // trimmed
        {"intl", "sQuoted", "a b"},   // one pair of quotes removed
        {"intl", "missing", "dflt"},  // missing key
        {"nowhere", "sList", "dflt"}, // missing section
        {"empty", "x", "dflt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetProfileString(File(), c.section, c.key, "dflt"), c.expected) << c.key;
    EXPECT_EQ(GetProfileString(Root() + "\\MISSING.INI", "intl", "sList", ";"), ";");
}

TEST_F(ProfileTest, ReadOnlyFileOrMissingFolderRefusesTheWrite) {
    MakeFileOnDisk("TEST.INI", "[boot]\r\n");
    MakeReadOnlyOnDisk("TEST.INI");
    if (Traits().readOnlyEnforced) {
        EXPECT_FALSE(WriteProfileString(File(), "boot", "k", "v"));
        EXPECT_EQ(ReadFileOnDisk("TEST.INI"), "[boot]\r\n");
    }
    EXPECT_FALSE(WriteProfileString(Root() + "\\NO\\SUCH\\FOLDER.INI", "boot", "k", "v"));
}

TEST_F(ProfileTest, SystemIniLivesInTheWindowsDirectory) {
    const std::string windows = WindowsDirectory();
    ASSERT_FALSE(windows.empty());
    ASSERT_EQ(windows.find('\0'), std::string::npos);
    EXPECT_EQ(windows.substr(1, 2), ":\\");
    const std::string systemIni = windows + "\\SYSTEM.INI";
    ASSERT_TRUE(WriteProfileString(systemIni, "boot", "PlatformTest", "1"));
    EXPECT_EQ(GetProfileString(systemIni, "boot", "platformtest", ""), "1");
    // A bare name is a file of the Windows directory.
    EXPECT_EQ(GetProfileString("SYSTEM.INI", "boot", "PlatformTest", ""), "1");
}

} // namespace
} // namespace nimbrel::platform
