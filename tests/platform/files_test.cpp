#include "platform/files.h"
#include "platform/host_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

    // The names in a folder below Root(), sorted.
    std::vector<std::string> FolderNames(std::string_view windowsFolder) {
        std::vector<std::string> names;
        FileSearch search(Path(windowsFolder) + "\\*");
        FindData entry;
        while (search.Next(entry))
            if (entry.name != "." && entry.name != "..")
                names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
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

TEST_F(FilesTest, NamesInAnotherCaseFollowWhatOtherProgramsDoToTheFolder) {
    // A small folder, and one large enough to be held in memory between two questions.
    for (const int pictures : {4, 400}) {
        SCOPED_TRACE(pictures);
        const std::string folder = "crowd" + std::to_string(pictures);
        const std::string windows = "CROWD" + std::to_string(pictures) + "\\";
        for (int i = 0; i < pictures; ++i)
            MakeFileOnDisk(folder + "/p" + std::to_string(i) + ".jpg");
        auto attributes = [&](const std::string& name) {
            return FileAttributes(Path(windows + name));
        };
        EXPECT_EQ(attributes("SUNRISE.BMP"), InvalidFileAttributes);

        MakeFileOnDisk(folder + "/Sunrise.bmp", "sunrise");
        EXPECT_EQ(ReadWhole(Path(windows + "SUNRISE.BMP")), "sunrise");
        RenameOnDisk(folder + "/Sunrise.bmp", folder + "/Dawn.bmp");
        EXPECT_EQ(attributes("SUNRISE.BMP"), InvalidFileAttributes);
        EXPECT_EQ(ReadWhole(Path(windows + "DAWN.BMP")), "sunrise");
        if (Traits().exactCaseWins) { // two names of one folded form: the least one answers
            MakeFileOnDisk(folder + "/DAWN.bmp", "upper");
            EXPECT_EQ(ReadWhole(Path(windows + "dawn.BMP")), "upper");
            RemoveOnDisk(folder + "/DAWN.bmp");
            EXPECT_EQ(ReadWhole(Path(windows + "dawn.BMP")), "sunrise");
        }
        RemoveOnDisk(folder + "/Dawn.bmp");
        EXPECT_EQ(attributes("DAWN.BMP"), InvalidFileAttributes);

        // The folder moved away and another made in its place.
        RenameOnDisk(folder, folder + "-old");
        MakeFileOnDisk(folder + "/Other.bmp", "other");
        EXPECT_EQ(ReadWhole(Path(windows + "OTHER.BMP")), "other");
        EXPECT_EQ(attributes("P1.JPG"), InvalidFileAttributes);
    }
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

// A search for names alone finds the same entries, and still tells a folder from a file.
TEST_F(FilesTest, ASearchForNamesAloneFindsTheSameEntries) {
    MakeFileOnDisk("pics/Sunset.jpg", "sunset");
    MakeFileOnDisk("pics/dusk.JPG", "dusk");
    MakeFileOnDisk("pics/notes.txt", "notes");
    MakeFolderOnDisk("pics/album.jpg");
    auto found = [&](FindDetail detail) {
        std::vector<std::pair<std::string, bool>> entries;
        FileSearch search(Path("pics") + "\\*.JPG", detail);
        for (FindData entry; search.Next(entry);)
            entries.emplace_back(entry.name, (entry.attributes & FileAttributeDirectory) != 0);
        std::sort(entries.begin(), entries.end());
        return entries;
    };
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Sunset.jpg", false}, {"album.jpg", true}, {"dusk.JPG", false}};
    EXPECT_EQ(found(FindDetail::Full), expected);
    EXPECT_EQ(found(FindDetail::NameOnly), expected);
}

// Many files of one folder, opened by the names its search found.
TEST_F(FilesTest, FilesOfAnOpenedFolderOpenByTheirFoundNames) {
    MakeFileOnDisk("pics/Sunset.jpg", "sunset");
    MakeFileOnDisk("pics/dusk.bmp", "dusk");
    OpenedFolder folder;
    File file;
    EXPECT_EQ(file.OpenReadIn(folder, "Sunset.jpg"), ErrorInvalidHandle);
    EXPECT_NE(folder.Open(Path("missing")), ErrorSuccess);
    EXPECT_FALSE(folder.IsOpen());
    ASSERT_EQ(folder.Open(Path("PICS")), ErrorSuccess);
    ASSERT_TRUE(folder.IsOpen());

    FileSearch search(Path("pics") + "\\*.*");
    std::vector<std::string> contents;
    for (FindData entry; search.Next(entry);) {
        if (entry.attributes & FileAttributeDirectory)
            continue;
        ASSERT_EQ(file.OpenReadIn(folder, entry.name), ErrorSuccess) << entry.name;
        char buffer[16];
        std::size_t done = 0;
        ASSERT_EQ(file.Read(buffer, sizeof buffer, done), ErrorSuccess);
        contents.emplace_back(buffer, done);
        EXPECT_EQ(file.Close(), ErrorSuccess);
    }
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"dusk", "sunset"}));

    EXPECT_EQ(file.OpenReadIn(folder, "missing.jpg"), ErrorFileNotFound);
    EXPECT_EQ(file.OpenReadIn(folder, "..\\pics\\dusk.bmp"), ErrorInvalidName);
    EXPECT_EQ(file.OpenReadIn(folder, ""), ErrorInvalidName);
    EXPECT_FALSE(file.IsOpen());
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

WinError ReplaceWith(std::string_view windowsPath, std::string_view bytes) {
    FileReplacement replacement;
    if (const WinError error = replacement.Begin(windowsPath))
        return error;
    std::size_t done = 0;
    if (const WinError error = replacement.Write(bytes.data(), bytes.size(), done))
        return error;
    return replacement.Commit();
}

TEST_F(FilesTest, AReplacementTakesTheTargetsPlaceOnlyWhenCommitted) {
    MakeFileOnDisk("pics/sunset.bmp", "old");
    {
        FileReplacement replacement;
        ASSERT_EQ(replacement.Begin(Path("PICS\\SUNSET.BMP")), ErrorSuccess);
        std::size_t done = 0;
        ASSERT_EQ(replacement.Write("new", 3, done), ErrorSuccess);
        EXPECT_EQ(ReadFileOnDisk("pics/sunset.bmp"), "old"); // not yet
        ASSERT_EQ(replacement.Commit(), ErrorSuccess);
        EXPECT_FALSE(replacement.IsOpen());
    }
    EXPECT_EQ(ReadFileOnDisk("pics/sunset.bmp"), "new"); // replaced, not a second file
    EXPECT_FALSE(ExistsOnDisk("pics/SUNSET.BMP") && ReadFileOnDisk("pics/SUNSET.BMP") != "new");

    for (const bool abandon : {true, false}) { // by Abandon, or by the destructor
        FileReplacement replacement;
        ASSERT_EQ(replacement.Begin(Path("PICS\\SUNSET.BMP")), ErrorSuccess);
        std::size_t done = 0;
        ASSERT_EQ(replacement.Write("other", 5, done), ErrorSuccess);
        if (abandon)
            replacement.Abandon();
    }
    EXPECT_EQ(ReadFileOnDisk("pics/sunset.bmp"), "new");
    EXPECT_EQ(FolderNames("PICS"), (std::vector<std::string>{"sunset.bmp"}));

    ASSERT_EQ(ReplaceWith(Path("PICS\\Fresh.BMP"), "fresh"), ErrorSuccess);
    EXPECT_EQ(ReadFileOnDisk("pics/Fresh.BMP"), "fresh");
    EXPECT_EQ(FolderNames("PICS"), (std::vector<std::string>{"Fresh.BMP", "sunset.bmp"}));
}

TEST_F(FilesTest, AReplacementRefusesWhatMustNotBecomeAPlainFile) {
    MakeFolderOnDisk("pics/folder");
    MakeFileOnDisk("pics/locked.bmp", "locked");
    MakeReadOnlyOnDisk("pics/locked.bmp");
    MakeFileOnDisk("pics/linked.bmp", "linked");
    const bool hardLinks = MakeHardLinkOnDisk("pics/linked.bmp", "pics/other name.bmp");
    // What Begin refuses, CheckReplacement tells beforehand, with the reason.
    struct Case {
        const char* path;
        WinError expected;
        ReplacementRefusal refusal;
        bool applies;
    };
    const Case cases[] = {
        {"PICS\\FOLDER", ErrorAccessDenied, ReplacementRefusal::Folder, true},
        {"PICS\\LOCKED.BMP", ErrorAccessDenied, ReplacementRefusal::ReadOnly,
         Traits().readOnlyEnforced},
        {"PICS\\LINKED.BMP", ErrorAccessDenied, ReplacementRefusal::HardLinks, hardLinks},
        {"NOPE\\X.BMP", ErrorPathNotFound, ReplacementRefusal::Other, true},
        {"PICS\\bad?name.bmp", ErrorInvalidName, ReplacementRefusal::Other, true},
        {"PICS\\NEW.BMP", ErrorSuccess, ReplacementRefusal::None, true},
    };
    for (const Case& c : cases) {
        if (!c.applies)
            continue;
        const ReplacementCheck check = CheckReplacement(Path(c.path));
        EXPECT_EQ(check.error, c.expected) << c.path;
        EXPECT_EQ(check.refusal, c.refusal) << c.path;
        if (c.expected == ErrorSuccess)
            continue; // a replacement would write it
        EXPECT_EQ(ReplaceWith(Path(c.path), "new"), c.expected) << c.path;
    }
    const ReplacementCheck locked = CheckReplacement(Path("PICS\\LOCKED.BMP"));
    EXPECT_TRUE(locked.exists);
    EXPECT_EQ(locked.size, 6u);
    EXPECT_EQ(ReadFileOnDisk("pics/locked.bmp"), "locked");
    EXPECT_EQ(ReadFileOnDisk("pics/linked.bmp"), "linked");
    if (hardLinks) {
        EXPECT_EQ(ReadFileOnDisk("pics/other name.bmp"), "linked");
    }
    EXPECT_EQ(FolderNames("PICS").size(), hardLinks ? 4u : 3u); // nothing left behind
}

TEST_F(FilesTest, AReplacementRemovesOnlyDeadLeftoversOfItsOwnKind) {
    // What a killed writer left, and names that only look alike.
    for (const char* name : {"~NB1A2B.TMP", "~NB0000.TMP", "~NBXYZ1.TMP", "~NB1A2B.TMP.keep",
                             "~NB12345.TMP", "~nb1a2b.tmp2", "~DF1A2B.TMP"})
        MakeFileOnDisk(std::string("pics/") + name, "x");
    FileReplacement live; // a writer still at work in the same folder
    ASSERT_EQ(live.Begin(Path("PICS\\LIVE.BMP")), ErrorSuccess);
    std::size_t done = 0;
    ASSERT_EQ(live.Write("live", 4, done), ErrorSuccess);

    ASSERT_EQ(ReplaceWith(Path("PICS\\X.BMP"), "x"), ErrorSuccess);

    EXPECT_FALSE(ExistsOnDisk("pics/~NB1A2B.TMP"));
    EXPECT_FALSE(ExistsOnDisk("pics/~NB0000.TMP"));
    for (const char* name :
         {"~NBXYZ1.TMP", "~NB1A2B.TMP.keep", "~NB12345.TMP", "~nb1a2b.tmp2", "~DF1A2B.TMP"})
        EXPECT_TRUE(ExistsOnDisk(std::string("pics/") + name)) << name;
    ASSERT_EQ(live.Commit(), ErrorSuccess);
    EXPECT_EQ(ReadFileOnDisk("pics/LIVE.BMP"), "live");
}

TEST_F(FilesTest, ALeftoverIsFoundInALargeFolderAfterTheFirstReplacement) {
    for (int i = 0; i < 400; ++i)
        MakeFileOnDisk("crowd/p" + std::to_string(i) + ".jpg");
    ASSERT_EQ(ReplaceWith(Path("CROWD\\FIRST.BMP"), "first"), ErrorSuccess);
    MakeFileOnDisk("crowd/~NB1A2B.TMP", "killed"); // a writer died after the first one
    ASSERT_EQ(ReplaceWith(Path("CROWD\\SECOND.BMP"), "second"), ErrorSuccess);
    EXPECT_FALSE(ExistsOnDisk("crowd/~NB1A2B.TMP"));
    EXPECT_EQ(FolderNames("CROWD").size(), 402u);
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
