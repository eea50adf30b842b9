#include "platform/files.h"
#include "platform/host_fixture.h"

#include <gtest/gtest.h>

namespace nimbrel::platform {
namespace {

class FilesTest : public test::HostFixture {
protected:
    std::string Path(std::string_view below) const { return Root() + "\\" + std::string(below); }

    std::string ReadWhole(std::string_view windowsPath) {
        File file;
        EXPECT_EQ(file.OpenRead(windowsPath), ErrorSuccess) << windowsPath;
        std::string bytes;
        char buffer[3]; // small, so reading takes several calls
        std::size_t done = 0;
        while (file.Read(buffer, sizeof buffer, done) == ErrorSuccess && done > 0)
            bytes.append(buffer, done);
        EXPECT_EQ(file.Close(), ErrorSuccess);
        return bytes;
    }

    WinError WriteWhole(std::string_view windowsPath, std::string_view bytes) {
        File file;
        if (const WinError error = file.Create(windowsPath))
            return error;
        std::size_t done = 0;
        if (const WinError error = file.Write(bytes.data(), bytes.size(), done))
            return error;
        EXPECT_EQ(done, bytes.size());
        return file.Close();
    }
};

TEST_F(FilesTest, ExistingComponentsResolveWithoutRegardToCase) {
    MakeFileOnDisk("pics/sunset.nwp", "sunset");
    MakeFileOnDisk("pics/Mixed Case.Jpg", "mixed");
    for (const char* path : {"PICS\\SUNSET.NWP", "pics\\sunset.nwp", "Pics/Sunset.Nwp",
                             "PICS\\\\SUNSET.NWP", "PICS\\.\\x\\..\\SUNSET.NWP"})
        EXPECT_EQ(ReadWhole(Path(path)), "sunset") << path;
    EXPECT_EQ(ReadWhole(Path("PICS\\MIXED CASE.JPG")), "mixed");
    EXPECT_TRUE(FileExists(Path("PICS\\SUNSET.NWP")));
    EXPECT_TRUE(DirectoryExists(Path("PICS")));
    EXPECT_FALSE(FileExists(Path("PICS")));
    EXPECT_FALSE(DirectoryExists(Path("PICS\\SUNSET.NWP")));
}

TEST_F(FilesTest, ExactNameWinsOverOtherCase) {
    MakeFileOnDisk("both/a.txt", "lower");
    MakeFileOnDisk("both/A.TXT", "upper");
    if (!Traits().exactCaseWins) { // the host's choice, but one file for both names
        EXPECT_EQ(ReadWhole(Path("BOTH\\a.txt")), ReadWhole(Path("BOTH\\A.TXT")));
        return;
    }
    EXPECT_EQ(ReadWhole(Path("BOTH\\a.txt")), "lower");
    EXPECT_EQ(ReadWhole(Path("BOTH\\A.TXT")), "upper");
}

TEST_F(FilesTest, NewNamesAreKeptAsGivenInsideExistingFolders) {
    MakeFolderOnDisk("pics");
    ASSERT_EQ(WriteWhole(Path("PICS\\NewName.BMP"), "bmp"), ErrorSuccess);
    EXPECT_EQ(ReadFileOnDisk("pics/NewName.BMP"), "bmp");
    ASSERT_EQ(WriteWhole(Path("\x8E"
                              "aba \xE8.txt"),
                         "frog"),
              ErrorSuccess); // Žaba č
    EXPECT_EQ(ReadFileOnDisk("Žaba č.txt"), "frog");
    EXPECT_EQ(ReadWhole(Path("\x9E"
                             "ABA \xC8.TXT")),
              "frog"); // žABA Č
}

TEST_F(FilesTest, ErrorsAreWindowsCodes) {
    MakeFolderOnDisk("folder");
    MakeFileOnDisk("file.txt");
    const struct {
        const char* path;
        WinError openRead;
        WinError create;
    } cases[] = {
        {"missing.txt", ErrorFileNotFound, ErrorSuccess},
        {"nofolder\\missing.txt", ErrorPathNotFound, ErrorPathNotFound},
        {"file.txt\\below.txt", ErrorPathNotFound, ErrorPathNotFound},
        {"folder", ErrorAccessDenied, ErrorAccessDenied},
        {"bad?name.txt", ErrorInvalidName, ErrorInvalidName},
        {"bad*name.txt", ErrorInvalidName, ErrorInvalidName},
    };
    for (const auto& c : cases) {
        File file;
        EXPECT_EQ(file.OpenRead(Path(c.path)), c.openRead) << c.path;
        EXPECT_EQ(file.IsOpen(), c.openRead == ErrorSuccess) << c.path;
        File created;
        EXPECT_EQ(created.Create(Path(c.path)), c.create) << c.path;
    }
    File unknownDrive;
    EXPECT_NE(unknownDrive.OpenRead("Q:\\nothing.txt"), ErrorSuccess);
}

TEST_F(FilesTest, CreateTruncatesAndReadReportsTheEnd) {
    MakeFileOnDisk("data.bin", "old and long content");
    ASSERT_EQ(WriteWhole(Path("DATA.BIN"), "new"), ErrorSuccess);
    EXPECT_EQ(ReadFileOnDisk("data.bin"), "new");

    File file;
    ASSERT_EQ(file.OpenRead(Path("data.bin")), ErrorSuccess);
    std::uint64_t size = 0;
    ASSERT_EQ(file.Size(size), ErrorSuccess);
    EXPECT_EQ(size, 3u);
    char buffer[16];
    std::size_t done = 99;
    ASSERT_EQ(file.Read(buffer, sizeof buffer, done), ErrorSuccess);
    EXPECT_EQ(done, 3u);
    ASSERT_EQ(file.Read(buffer, sizeof buffer, done), ErrorSuccess);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(file.Close(), ErrorSuccess);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_NE(file.Read(buffer, sizeof buffer, done), ErrorSuccess);
}

TEST_F(FilesTest, AFailedOpenOrCreateKeepsTheFileItHad) {
    MakeFileOnDisk("kept.bin", "kept");
    File file;
    ASSERT_EQ(file.OpenRead(Path("kept.bin")), ErrorSuccess);
    EXPECT_NE(file.OpenRead(Path("missing.bin")), ErrorSuccess);
    EXPECT_NE(file.Create(Path("NOPE\\new.bin")), ErrorSuccess);
    ASSERT_TRUE(file.IsOpen());
    char buffer[8];
    std::size_t done = 0;
    ASSERT_EQ(file.Read(buffer, sizeof buffer, done), ErrorSuccess);
    EXPECT_EQ(std::string(buffer, done), "kept");
    EXPECT_EQ(file.Close(), ErrorSuccess);
}

TEST_F(FilesTest, ReadOnlyFilesOpenForReadingButRefuseChange) {
    MakeFileOnDisk("locked.nwp", "keep");
    MakeReadOnlyOnDisk("locked.nwp");
    EXPECT_EQ(ReadWhole(Path("LOCKED.NWP")), "keep");
    EXPECT_NE(FileAttributes(Path("LOCKED.NWP")) & FileAttributeReadOnly, 0u);
    if (!Traits().readOnlyEnforced)
        return;
    File file;
    EXPECT_EQ(file.Create(Path("LOCKED.NWP")), ErrorAccessDenied);
    EXPECT_EQ(DeleteFile(Path("LOCKED.NWP")), ErrorAccessDenied);
    EXPECT_EQ(ReadFileOnDisk("locked.nwp"), "keep");
}

TEST_F(FilesTest, DeleteFile) {
    MakeFileOnDisk("pics/old.nwp");
    MakeFolderOnDisk("pics/sub");
    EXPECT_EQ(DeleteFile(Path("PICS\\OLD.NWP")), ErrorSuccess);
    EXPECT_FALSE(ExistsOnDisk("pics/old.nwp"));
    EXPECT_EQ(DeleteFile(Path("PICS\\OLD.NWP")), ErrorFileNotFound);
    EXPECT_EQ(DeleteFile(Path("NOPE\\OLD.NWP")), ErrorPathNotFound);
    EXPECT_EQ(DeleteFile(Path("PICS\\SUB")), ErrorAccessDenied);
    EXPECT_TRUE(ExistsOnDisk("pics/sub"));
}

TEST_F(FilesTest, TempFileBesideThenReplaceTheTarget) {
    MakeFileOnDisk("pics/sunset.bmp", "old");
    std::string temp;
    ASSERT_EQ(CreateTempFileBeside(Path("PICS\\SUNSET.BMP"), temp), ErrorSuccess);
    std::string other;
    ASSERT_EQ(CreateTempFileBeside(Path("PICS\\SUNSET.BMP"), other), ErrorSuccess);
    EXPECT_NE(temp, other);
    EXPECT_EQ(temp.substr(0, Path("PICS\\").size()), Path("PICS\\"));
    EXPECT_TRUE(FileExists(temp));
    EXPECT_EQ(ReadWhole(temp), "");

    ASSERT_EQ(WriteWhole(temp, "new"), ErrorSuccess);
    ASSERT_EQ(ReplaceFile(temp, Path("PICS\\SUNSET.BMP")), ErrorSuccess);
    EXPECT_FALSE(FileExists(temp));
    EXPECT_EQ(ReadFileOnDisk("pics/sunset.bmp"), "new"); // replaced, not a second file
    EXPECT_FALSE(ExistsOnDisk("pics/SUNSET.BMP") && ReadFileOnDisk("pics/SUNSET.BMP") != "new");

    EXPECT_EQ(ReplaceFile(Path("PICS\\GONE.TMP"), Path("PICS\\X.BMP")), ErrorFileNotFound);
    std::string none;
    EXPECT_EQ(CreateTempFileBeside(Path("NOPE\\X.BMP"), none), Traits().tempFileInMissingFolder);
}

TEST_F(FilesTest, AttributesAndDriveRoots) {
    MakeFolderOnDisk("dir");
    MakeFileOnDisk("file.txt");
    EXPECT_NE(FileAttributes(Path("DIR")) & FileAttributeDirectory, 0u);
    EXPECT_EQ(FileAttributes(Path("FILE.TXT")) & FileAttributeDirectory, 0u);
    EXPECT_EQ(FileAttributes(Path("MISSING")), InvalidFileAttributes);
    if (RootIsDrive()) {
        EXPECT_TRUE(DirectoryExists(Root() + "\\"));
        EXPECT_NE(LogicalDrives().find(Root()[0]), std::string::npos);
    }
}

TEST_F(FilesTest, FullPathNamesFollowWindowsRules) {
    const struct {
        const char* path;
        const char* expected; // below Root()
    } cases[] = {
        {"\\A\\..\\B\\.\\c.txt", "\\B\\c.txt"},
        {"/A/B/", "\\A\\B\\"},
        {"\\A\\..\\..\\..\\B", "\\B"},
        {"\\name.txt. . ", "\\name.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullPathName(Root() + c.path), Root() + c.expected) << c.path;
}

TEST_F(FilesTest, EachDriveKeepsItsOwnCurrentFolder) {
    if (!RootIsDrive() || SecondDrive().empty())
        GTEST_SKIP() << "needs two drives of the test's own";
    const std::string c = Root();
    const std::string d = SecondDrive();
    MakeFolderOnDisk("PICS");
    ASSERT_EQ(SetCurrentDirectory(c + "\\PICS"), ErrorSuccess);
    EXPECT_EQ(CurrentDirectory(), c + "\\PICS");
    EXPECT_EQ(FullPathName("x.jpg"), c + "\\PICS\\x.jpg");
    EXPECT_EQ(FullPathName(d), d + "\\"); // a drive not yet visited is at its root
    EXPECT_EQ(FullPathName("\\top"), c + "\\top");

    ASSERT_EQ(SetCurrentDirectory(d + "\\"), ErrorSuccess);
    EXPECT_EQ(CurrentDirectory(), d + "\\");
    EXPECT_EQ(FullPathName(c), c + "\\PICS"); // C: remembers its folder
    EXPECT_EQ(FullPathName(c + "x.jpg"), c + "\\PICS\\x.jpg");
    EXPECT_EQ(FullPathName("\\top"), d + "\\top");

    EXPECT_EQ(SetCurrentDirectory(c + "\\NOPE"), ErrorFileNotFound);
    MakeFileOnDisk("plain.txt");
    EXPECT_EQ(SetCurrentDirectory(c + "\\plain.txt"), ErrorDirectory);
    EXPECT_EQ(CurrentDirectory(), d + "\\");
}

} // namespace
} // namespace nimbrel::platform
