// The whole-file replacement over host file kinds that only POSIX hosts have here.
#include "platform/files.h"
#include "platform/portable/host_file.h"
#include "platform/replacement_temp_name.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace nimbrel::platform {
namespace {

namespace fs = std::filesystem;

class FileReplacementTest : public ::testing::Test {
protected:
    std::string Host(const std::string& name) const {
        return environment.DriveFolder('C') + "/" + name;
    }
    static std::string Windows(const std::string& name) { return "C:\\" + name; }
    void Put(const std::string& name, const std::string& bytes) const {
        environment.WriteHostFile('C', name, bytes);
    }
    std::string Get(const std::string& name) const { return test::HostFileBytes(Host(name)); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(environment.DriveFolder('C')))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static WinError ReplaceWith(const std::string& path, std::string_view bytes) {
        FileReplacement replacement;
        if (const WinError error = replacement.Begin(path))
            return error;
        std::size_t done = 0;
        if (const WinError error = replacement.Write(bytes.data(), bytes.size(), done))
            return error;
        return replacement.Commit();
    }

    test::TempEnvironment environment;
};

TEST_F(FileReplacementTest, DevicesPipesAndSocketsAreRefusedAndLeftAlone) {
    ASSERT_EQ(::mkfifo(Host("fifo").c_str(), 0644), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Host("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A device of our own (the null device's numbers) where the process may make one.
    const bool device = ::mknod(Host("device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

    for (const char* name : {"fifo", "socket", "device"}) {
        if (std::string(name) == "device" && !device)
            continue;
        struct stat before {};
        ASSERT_EQ(::lstat(Host(name).c_str(), &before), 0);
        EXPECT_EQ(ReplaceWith(Windows(name), "plain"), ErrorAccessDenied) << name;
        struct stat after {};
        ASSERT_EQ(::lstat(Host(name).c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode) << name;
        EXPECT_EQ(after.st_ino, before.st_ino) << name;
    }
    ::close(listener);
    EXPECT_EQ(Names().size(), device ? 3u : 2u);
}

TEST_F(FileReplacementTest, ASymbolicLinkIsWrittenThroughAndStays) {
    fs::create_directories(Host("real"));
    Put("real/picture.bmp", "old");
    fs::create_symlink("real/picture.bmp", Host("link.bmp"));
    fs::create_symlink("link.bmp", Host("link to link.bmp"));
    fs::create_symlink("real/new.bmp", Host("dangling.bmp"));

    EXPECT_EQ(ReplaceWith(Windows("LINK TO LINK.BMP"), "new"), ErrorSuccess);
    EXPECT_TRUE(fs::is_symlink(Host("link.bmp")));
    EXPECT_TRUE(fs::is_symlink(Host("link to link.bmp")));
    EXPECT_EQ(Get("real/picture.bmp"), "new");

    EXPECT_EQ(ReplaceWith(Windows("DANGLING.BMP"), "made"), ErrorSuccess);
    EXPECT_TRUE(fs::is_symlink(Host("dangling.bmp")));
    EXPECT_EQ(Get("real/new.bmp"), "made");

    fs::create_symlink("loop.bmp", Host("loop.bmp"));
    EXPECT_EQ(ReplaceWith(Windows("LOOP.BMP"), "x"), ErrorCantResolveFilename);
    EXPECT_TRUE(fs::is_symlink(Host("loop.bmp")));
}

TEST_F(FileReplacementTest, TheReplacedFileKeepsItsModeOwnerAndGroup) {
    const mode_t modes[] = {0600, 0640, 0755, 0604};
    for (const mode_t mode : modes) {
        Put("private.bmp", "old");
        ASSERT_EQ(::chmod(Host("private.bmp").c_str(), mode), 0);
        // A group of the process's own that differs from its first one, where it has one.
        gid_t groups[64];
        const int count = ::getgroups(64, groups);
        const gid_t group = count > 1 ? groups[count - 1] : ::getegid();
        (void)::chown(Host("private.bmp").c_str(), static_cast<uid_t>(-1), group);
        struct stat before {};
        ASSERT_EQ(::stat(Host("private.bmp").c_str(), &before), 0);

        ASSERT_EQ(ReplaceWith(Windows("PRIVATE.BMP"), "new"), ErrorSuccess);

        struct stat after {};
        ASSERT_EQ(::stat(Host("private.bmp").c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(Get("private.bmp"), "new");
    }
}

TEST_F(FileReplacementTest, AWriterKilledBeforeCommitLeavesNoNameWhereTheHostHasUnnamedFiles) {
    FileReplacement replacement;
    ASSERT_EQ(replacement.Begin(Windows("PIC.BMP")), ErrorSuccess);
    std::size_t done = 0;
    ASSERT_EQ(replacement.Write("data", 4, done), ErrorSuccess);
    // The folder's file system is the test's temporary one; where it has no unnamed files
    // the new file carries its name from the start.
    const auto names = Names();
    if (!names.empty()) {
        ASSERT_EQ(names.size(), 1u);
        EXPECT_TRUE(IsReplacementTempName(names[0])) << names[0];
    }
    ASSERT_EQ(replacement.Commit(), ErrorSuccess);
    EXPECT_EQ(Names(), std::vector<std::string>{"PIC.BMP"});
}

TEST_F(FileReplacementTest, ProfileFilesAreReplacedTheSameWay) {
    fs::create_directories(Host("real"));
    Put("real/system.ini", "[boot]\n");
    ASSERT_EQ(::chmod(Host("real/system.ini").c_str(), 0600), 0);
    fs::create_symlink("real/system.ini", Host("system.ini"));
    ASSERT_EQ(portable::ReplaceHostFile(Host("system.ini"), "[boot]\nx=1\n"), 0);
    EXPECT_TRUE(fs::is_symlink(Host("system.ini")));
    EXPECT_EQ(Get("real/system.ini"), "[boot]\nx=1\n");
    EXPECT_EQ(fs::status(Host("real/system.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

} // namespace
} // namespace nimbrel::platform
