// A full disk is named as one, for a file the tool writes and for the store, and leaves
// what was there as it was.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/nwp_packer.h"
#include "support/small_disk.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace nimbrel {
namespace {

using test::RunTool;
using test::Text;

using test::SmallDisk;

TEST(FullDisk, AnExpansionOntoAFullDiskSaysSoAndKeepsTheOldFile) {
    SmallDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small file system needs root";
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "big.nwp",
                              Text(test::PackNwp(test::MakeBmp({.width = 400, .height = 300}))));
    const std::string target = disk.Folder() + "/old.bmp";
    std::ofstream(target) << "the old file";
    ASSERT_TRUE(disk.Fill());

    const auto result = RunTool({"expand", "C:\\BIG.NWP", target});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "nimbrel-tool: " + target + ": cannot be written: No space left on device\n");
    EXPECT_EQ(test::HostFileBytes(target), "the old file");
    // The same words as for a full standard output.
    test::ToolRunOptions toFull;
    toFull.standardOutput = "/dev/full";
    EXPECT_EQ(RunTool({"expand", "C:\\BIG.NWP", "-"}, toFull).err,
              "nimbrel-tool: standard output: cannot be written: No space left on device\n");
}

TEST(FullDisk, TheStoreOnAFullDiskNamesTheFullDiskAndKeepsItsValues) {
    SmallDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small file system needs root";
    test::TempEnvironment environment;
    const char* previous = std::getenv("NIMBREL_ROOT");
    const std::string previousRoot = previous ? previous : "";
    ::setenv("NIMBREL_ROOT", (disk.Folder() + "/root").c_str(), 1);
    const std::string key = "HKCU\\Software\\Vexmoor\\Nimbrel";
    ASSERT_EQ(RunTool({"reg", "set", key, "Interval", "dword", "45"}).exitCode, 0);
    ASSERT_TRUE(disk.Fill());

    const std::string big(64 * 1024, 'a'); // hex pairs of 32 KiB: more than the disk has
    const auto set = RunTool({"reg", "set", key, "Blob", "binary", big});
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_NE(set.err.find("is full (No space left on device)"), std::string::npos) << set.err;
    EXPECT_EQ(set.err.find("locked or read-only"), std::string::npos) << set.err;

    std::string file = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vexmoor\\Nimbrel]\n"
                       "\"Interval\"=dword:00000001\n\"Blob\"=hex:";
    for (int i = 0; i < 32 * 1024; ++i)
        file += i == 0 ? "aa" : ",aa";
    const auto imported = RunTool({"reg", "import", "-"}, file + "\n");
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_NE(imported.err.find("is full (No space left on device)"), std::string::npos)
        << imported.err;

    // Nothing was torn: with room again, the store holds what it held.
    std::filesystem::remove(disk.Folder() + "/filler");
    const auto kept = RunTool({"reg", "get", key, "Interval"});
    EXPECT_EQ(kept.out, "\"Interval\"=dword:0000002d\n") << kept.err;
    if (previous)
        ::setenv("NIMBREL_ROOT", previousRoot.c_str(), 1);
    else
        ::unsetenv("NIMBREL_ROOT");
}

} // namespace
} // namespace nimbrel
