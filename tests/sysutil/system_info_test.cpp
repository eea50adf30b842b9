#include "sysutil/system_info.h"

#include "emulated_root.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "sysutil/format_settings.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(OperatingSystemTextTest, NamesThePlatformAndWritesTheVersion) {
    struct Case {
        bool queried;
        platform::OsVersion version;
        std::string text;
    };
    const Case cases[] = {
        {true, {3, 10, 0x0A000000u | 103, 0}, "Windows 3.1x z Win32s   [3.10.103]"},
        {true, {4, 0, 0x040003B6u, 1}, "Windows 95   [4.0.950]"}, // high word of the build dropped
        {true, {4, 0, 1381, 2}, "Windows NT   [4.0.1381]"},
        {true, {6, 1, 7601, 3}, "   [6.1.7601]"},
        {true, {5, 4, 70000, 77}, "   [5.4.4464]"},
        {false, {}, "Nedolo\xE8ljiv OS?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OperatingSystemText(c.queried ? &c.version : nullptr), c.text);
}

TEST(ProgramProfileFileTest, ReplacesTheExtensionOfTheBareName) {
    struct Case {
        std::string_view program, profile;
    };
    const Case cases[] = {
        {"C:\\APPS\\SETUP.EXE", "C:\\WINDOWS\\SETUP.INI"},
        {"C:\\A.B\\PROG", "C:\\WINDOWS\\PROG.INI"},
        {"D:\\X\\ARCHIVE.TAR.EXE", "C:\\WINDOWS\\ARCHIVE.TAR.INI"},
        {"SETUP.EXE", "C:\\WINDOWS\\SETUP.INI"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgramProfileFile("C:\\WINDOWS", c.program), c.profile);
}

class CollectSystemInfoTest : public ::testing::Test {
protected:
    void SetMachineValue(std::string_view key, std::string_view name, std::uint32_t type,
                         std::string_view data) {
        platform::RegKey handle;
        ASSERT_EQ(handle.Create(platform::Hive::LocalMachine, key), platform::ErrorSuccess);
        ASSERT_EQ(handle.SetValue(name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                  data.size()),
                  platform::ErrorSuccess);
    }
    void WriteWinIni(std::string_view contents) { root.WriteHostFile("windows/WIN.INI", contents); }

    testing::EmulatedRoot root;
};

TEST_F(CollectSystemInfoTest, ReadsWinIniAndTheMachineHive) {
    WriteWinIni("[intl]\r\nsList=,\r\n"
                "[Microsoft System Info]\r\nMSINFO=D:\\TOOLS\\MSINFO.EXE\r\n"
                "[DBAPI]\r\nDLLPATH=C:\\DB\r\n"
                "[Tessaly]\r\nRootDirectory=   \r\n");
    SetMachineValue("SOFTWARE\\Corvane\\Database Engine", "DLLPATH", platform::RegSz, " \t");
    SetMachineValue("SOFTWARE\\Corvane\\Tessaly\\CurrentVersion", "RootDirectory",
                    platform::RegExpandSz, std::string_view("C:\\T\0", 4));

    CollectSystemInfo();
    const TSystemInfo& info = SystemInfo();
    const std::string windows = platform::WindowsDirectory();
    ASSERT_EQ(windows, "C:\\windows");
    EXPECT_EQ(info.WinIni->FileName, "C:\\windows\\WIN.INI");
    EXPECT_EQ(info.ListSeparator, ',');
    EXPECT_EQ(info.MSInfoPath, "D:\\TOOLS\\MSINFO.EXE");
    EXPECT_TRUE(info.DatabaseEngineInWinIni);
    EXPECT_FALSE(info.TessalyInWinIni);
    EXPECT_FALSE(info.DatabaseEngineInRegistry);
    EXPECT_TRUE(info.TessalyInRegistry);
}

TEST_F(CollectSystemInfoTest, NothingThereGivesDefaultsAndFalseFlags) {
    CollectSystemInfo();
    const TSystemInfo& info = SystemInfo();
    EXPECT_EQ(info.ListSeparator, ';');
    EXPECT_EQ(info.MSInfoPath, "");
    EXPECT_FALSE(info.DatabaseEngineInWinIni);
    EXPECT_FALSE(info.TessalyInWinIni);
    EXPECT_FALSE(info.DatabaseEngineInRegistry);
    EXPECT_FALSE(info.TessalyInRegistry);
    EXPECT_FALSE(std::filesystem::exists(root.Host("windows/WIN.INI")));
}

TEST_F(CollectSystemInfoTest, AnEmptyListSeparatorGivesTheDefault) {
    WriteWinIni("[intl]\r\nsList=\r\n");
    CollectSystemInfo();
    EXPECT_EQ(SystemInfo().ListSeparator, ';');
}

TEST_F(CollectSystemInfoTest, TheInstalledSystemInformationProgramWinsOverWinIni) {
    WriteWinIni("[Microsoft System Info]\r\nMSINFO=D:\\TOOLS\\MSINFO.EXE\r\n");
    root.WriteHostFile("Program Files/Common Files/MSInfo/MSINFO32.EXE", "MZ");
    CollectSystemInfo();
    EXPECT_EQ(SystemInfo().MSInfoPath, "C:\\Program Files\\Common Files\\MSInfo\\MSINFO32.EXE");
}

TEST_F(CollectSystemInfoTest, AMachineValueOfAnotherTypeIsNoPathAndNoError) {
    SetMachineValue("SOFTWARE\\Corvane\\Database Engine", "DLLPATH", platform::RegDword,
                    std::string_view("\1\0\0\0", 4));
    EXPECT_NO_THROW(CollectSystemInfo());
    EXPECT_FALSE(SystemInfo().DatabaseEngineInRegistry);
}

TEST_F(CollectSystemInfoTest, ProgramFileGivesExePathAndAnUntouchedProgIni) {
    CollectSystemInfo();
    const TSystemInfo& info = SystemInfo();
    const std::string program = platform::ProgramFilePath();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(info.ExePath, program.substr(0, program.rfind('\\') + 1));
    EXPECT_EQ(info.ProgIni->FileName, ProgramProfileFile("C:\\windows", program));
    EXPECT_FALSE(platform::FileExists(info.ProgIni->FileName));
    EXPECT_TRUE(info.OSName.rfind("   [", 0) == 0) << info.OSName; // a host outside 0..2
}

TEST_F(CollectSystemInfoTest, CopiesTheSeparatorsOfTheFormatSettings) {
    const TFormatSettings saved = FormatSettings();
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '\xA0';
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = '.';
    CollectSystemInfo();
    FormatSettings() = saved;
    const TSystemInfo& info = SystemInfo();
    EXPECT_EQ(info.DecimalSep, ',');
    EXPECT_EQ(info.ThousandSep, '\xA0');
    EXPECT_EQ(info.DateSep, '/');
    EXPECT_EQ(info.TimeSep, '.');
}

} // namespace
} // namespace nimbrel
