// The emulated environment's own rules: the drives table, the root's drive, the way
// between host and Windows paths, and where the current folders start.
#include "platform/files.h"
#include "platform/portable/environment.h"
#include "platform/system.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace nimbrel::platform::portable {
namespace {

void WriteDrives(const test::TempEnvironment& environment, const std::string& text) {
    std::ofstream(environment.Root() + "/drives", std::ios::trunc) << text;
    ResetEnvironment();
}

TEST(DriveTable, BadLinesAreNamedWithFileAndLine) {
    test::TempEnvironment environment;
    const struct {
        const char* text;
        const char* where;
        const char* reason;
    } cases[] = {
        {"C: /\nrubbish\n", "drives:2:", "drive letter"},
        {"# comment\n\nC /tmp\n", "drives:3:", "drive letter"},
        {"1: /tmp\n", "drives:1:", "drive letter"},
        {"C:\n", "drives:1:", "no folder"},
        {"C: relative/path\n", "drives:1:", "absolute"},
        {"C: /a\nc: /b\n", "drives:2:", "twice"},
    };
    for (const auto& c : cases) {
        WriteDrives(environment, c.text);
        try {
            LogicalDrives();
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EnvironmentError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(environment.Root() + "/" + c.where), std::string::npos)
                << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
}

TEST(DriveTable, CommentsBlankLinesAndSpacesInFolders) {
    test::TempEnvironment environment;
    const std::string spaced = environment.MakeHostFolder('C', "with space");
    WriteDrives(environment, "# drives\r\n\r\n  c: /  \r\nE: " + spaced + "\r\n");
    EXPECT_EQ(LogicalDrives().substr(0, 2), "CE");
    EXPECT_EQ(HostPath("E:\\x"), spaced + "/x");
}

TEST(DriveTable, WithoutTheFileCIsTheHostRoot) {
    test::TempEnvironment environment;
    std::filesystem::remove(environment.Root() + "/drives");
    ResetEnvironment();
    EXPECT_EQ(LogicalDrives(), "C");
    EXPECT_EQ(HostPath("C:\\"), "/");
    std::string expected = "C:" + environment.Root() + "/windows";
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(WindowsDirectory(), expected);
}

TEST(DriveTable, ARootOutsideEveryDriveGetsTheHighestFreeLetter) {
    test::TempEnvironment environment; // C: is a folder beside the root
    EXPECT_EQ(LogicalDrives().front(), 'C');
    EXPECT_EQ(LogicalDrives().back(), 'Z');
    EXPECT_EQ(WindowsDirectory(), "Z:\\windows");
    EXPECT_EQ(HostPath("Z:\\windows\\SYSTEM.INI"), environment.Root() + "/windows/SYSTEM.INI");
}

TEST(HostPaths, WindowsPathsOfHostPaths) {
    test::TempEnvironment environment({true});
    const std::string c = environment.DriveFolder('C');
    environment.MakeHostFolder('C', "Žaba/日本");
    const struct {
        std::string host;
        std::optional<std::string> windows;
    } cases[] = {
        {c, "C:\\"},
        {c + "/pics/x.jpg", "C:\\pics\\x.jpg"},
        {c + "/Žaba", "C:\\\x8E"
                      "aba"},
        {c + "/Žaba/日本", "C:\\\x8E"
                           "aba\\??"},
        {environment.DriveFolder('D') + "/a", "D:\\a"},
        {c + "x/outside", std::nullopt}, // a sibling folder whose name starts like C:'s
        {"/", std::nullopt},
    };
    for (const auto& k : cases)
        EXPECT_EQ(WindowsPath(k.host), k.windows) << k.host;
    EXPECT_EQ(HostPath("C:\\\x9E"
                       "ABA\\NEW.TXT"),
              c + "/Žaba/NEW.TXT");
    EXPECT_EQ(HostPath("Q:\\x"), std::nullopt);
    EXPECT_EQ(HostPath("\\\\server\\share\\x"), std::nullopt);
}

TEST(HostPaths, NamesOnlyTheHostCanHoldShowQuestionMarks) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "日本.jpg", "x");
    FileSearch search("C:\\*.JPG");
    FindData entry;
    ASSERT_TRUE(search.Next(entry));
    EXPECT_EQ(entry.name, "??.jpg");
    // As on Windows, such a name cannot be opened through the question marks.
    File file;
    EXPECT_NE(file.OpenRead("C:\\??.jpg"), ErrorSuccess);
}

TEST(CurrentFolders, TheProcessFolderGivesItsDriveAndFolder) {
    test::TempEnvironment environment({true});
    const std::string pics = environment.MakeHostFolder('D', "Pics");
    ASSERT_EQ(::chdir(pics.c_str()), 0);
    ResetEnvironment();
    EXPECT_EQ(CurrentDirectory(), "D:\\Pics");
    EXPECT_EQ(FullPathName("C:"), "C:\\");
    EXPECT_EQ(FullPathName("a.jpg"), "D:\\Pics\\a.jpg");
}

TEST(CurrentFolders, SettingTheFolderMovesTheProcess) {
    test::TempEnvironment environment;
    const std::string pics = environment.MakeHostFolder('C', "pics");
    ASSERT_EQ(SetCurrentDirectory("C:\\PICS"), ErrorSuccess);
    EXPECT_EQ(std::filesystem::current_path().string(), pics);
}

} // namespace
} // namespace nimbrel::platform::portable
