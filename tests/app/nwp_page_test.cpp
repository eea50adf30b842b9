// The NWP page end to end: the count sentence, converting and deleting legacy pictures.
#include "dialog_fixture.h"

#include "settings/store_values.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif
#include <filesystem>
#include <string>
#include <vector>

using namespace nimbrel;
using namespace nimbrel::test;

namespace fs = std::filesystem;

namespace {

const std::string Invitation = " If you'd like to use them, click \"Convert\" button below! If you "
                               "don't want to use them, click Delete button.";

std::string Sentence(int count) {
    return "There are " + std::to_string(count) + " NWP files left in your wallpaper folder." +
           (count > 0 ? Invitation : "");
}

// A wallpaper folder on the host, with the pictures its NWP files were packed from.
class NwpFolder {
public:
    NwpFolder(TDialogFixture& fixture, const char* hostName, const char* windowsPath)
        : host_(fixture.Environment().MakeHostFolder('C', hostName)), windows_(windowsPath) {}

    // An NWP file packed from a picture of its own; answers the picture's bytes.
    Bytes AddNwp(const std::string& name, std::uint32_t seed, int width = 48) {
        const Bytes picture = MakePhotoBmp(width, 30, seed);
        WriteHostFile(Path(name), PackNwp(picture));
        return picture;
    }
    void Add(const std::string& name, const Bytes& bytes) { WriteHostFile(Path(name), bytes); }

    std::string Path(const std::string& name) const { return host_ + "/" + name; }
    bool Has(const std::string& name) const { return fs::exists(Path(name)); }
    Bytes Read(const std::string& name) const { return ReadHostFile(Path(name)); }
    // The names on disk, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(host_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const std::string& Windows() const { return windows_; }

private:
    std::string host_;
    std::string windows_;
};

const Bytes NotCompressed{0x01, 0x00, 0x33, 0xAD, 0x42, 0x4D, 0x00, 0x00};
const Bytes OldBitmap{'o', 'l', 'd', ' ', 'b', 'm', 'p'};

std::string Shown(TDialogFixture& fixture, const TLabel& label) {
    return fixture.Driver().Text(label.Name());
}

#ifndef _WIN32
// Writes beyond `limit` bytes fail for this process, as on a full disk, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = previous_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
};
#endif

TEST(NwpPageTest, CountSentenceAndButtons) {
    struct Case {
        std::vector<std::string> files;
        int count;
    };
    const Case cases[] = {
        {{"sunset.nwp", "Beach.NWP", "notes.txt"}, 2},
        {{"only.nwp"}, 1},
        {{"picture.bmp"}, 0},
    };
    for (const Case& c : cases) {
        TDialogFixture fixture;
        NwpFolder folder(fixture, "walls", "C:\\walls");
        for (const std::string& name : c.files)
            folder.AddNwp(name, 1);
        fixture.SetString(store::WallpaperFolder, folder.Windows());
        TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});
        EXPECT_EQ(Shown(fixture, *form.NoOfNWPs), Sentence(c.count));
        EXPECT_EQ(fixture.Driver().Enabled("Button4"), c.count > 0);
        EXPECT_EQ(fixture.Driver().Enabled("Button6"), c.count > 0);
    }
}

TEST(NwpPageTest, ConvertExpandsEveryFileDeletesItAndCloses) {
    TDialogFixture fixture;
    NwpFolder folder(fixture, "walls", "C:\\walls");
    const Bytes sunset = folder.AddNwp("sunset.nwp", 1);
    const Bytes beach = folder.AddNwp("Beach.NWP", 2);
    folder.Add("SUNSET.BMP", OldBitmap); // replaced without a question
    fixture.SetString(store::WallpaperFolder, folder.Windows());
    TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});
    const std::vector<std::string> storedBefore = fixture.ValueNames();

    fixture.Press(form.Button4);

    EXPECT_TRUE(fixture.messages.empty());
    EXPECT_TRUE(folder.Read("BEACH.BMP") == beach);
    EXPECT_TRUE(folder.Read("SUNSET.BMP") == sunset);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"BEACH.BMP", "SUNSET.BMP"}));
    EXPECT_FALSE(fixture.Driver().Visible());
    EXPECT_TRUE(fixture.ValueNames() == storedBefore); // closed without saving
}

TEST(NwpPageTest, BadFileStopsTheConversionAndKeepsWhatIsLeft) {
    // List order is A, B, C: A converts, B stops the run, C is not touched.
    TDialogFixture fixture;
    NwpFolder folder(fixture, "walls", "C:\\walls");
    const Bytes first = folder.AddNwp("a.nwp", 1);
    folder.Add("b.nwp", NotCompressed);
    folder.Add("B.BMP", OldBitmap);
    const Bytes last = folder.AddNwp("c.nwp", 3);
    fixture.SetString(store::WallpaperFolder, folder.Windows());
    TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});

    fixture.Press(form.Button4);

    ASSERT_EQ(fixture.messages.size(), std::size_t{1});
    EXPECT_EQ(fixture.messages[0].text, std::string("Not a compressed file."));
    EXPECT_EQ(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    EXPECT_EQ(fixture.messages[0].icon, TMessageIcon::Error);
    EXPECT_TRUE(folder.Read("A.BMP") == first);
    EXPECT_FALSE(folder.Has("a.nwp"));
    EXPECT_TRUE(folder.Read("b.nwp") == NotCompressed);
    EXPECT_TRUE(folder.Read("B.BMP") == OldBitmap); // a failed expansion damages no bitmap
    EXPECT_TRUE(folder.Read("c.nwp") == PackNwp(last));
    EXPECT_FALSE(folder.Has("C.BMP"));
    // The dialog is usable again and says what is left.
    EXPECT_TRUE(fixture.Driver().Visible() && fixture.Driver().Enabled("OptionsForm"));
    EXPECT_EQ(Shown(fixture, *form.NoOfNWPs), Sentence(2));
    EXPECT_TRUE(fixture.Driver().Enabled("Button4") && fixture.Driver().Enabled("Button6"));
}

TEST(NwpPageTest, ConvertAndDeleteWorkOnTheFolderNowShown) {
    for (TButton* const TOptionsForm::*action : {&TOptionsForm::Button4, &TOptionsForm::Button6}) {
        TDialogFixture fixture;
        NwpFolder start(fixture, "start", "C:\\start");
        start.AddNwp("one.nwp", 1);
        start.AddNwp("two.nwp", 2);
        NwpFolder chosen(fixture, "chosen", "C:\\chosen");
        chosen.AddNwp("three.nwp", 3);
        fixture.SetString(store::WallpaperFolder, start.Windows());
        TOptionsForm& form = fixture.Open();
        form.Folder->SetDirectory(chosen.Windows());
        EXPECT_EQ(Shown(fixture, *form.NoOfNWPs), Sentence(2)); // the count of the start-up folder

        fixture.Press(form.*action);

        EXPECT_EQ(start.Names(), (std::vector<std::string>{"one.nwp", "two.nwp"}));
        const std::vector<std::string> expected = action == &TOptionsForm::Button4
                                                      ? std::vector<std::string>{"THREE.BMP"}
                                                      : std::vector<std::string>{};
        EXPECT_EQ(chosen.Names(), expected);
        EXPECT_FALSE(fixture.Driver().Visible());
    }
}

TEST(NwpPageTest, DeleteRemovesEveryFileAndCloses) {
    TDialogFixture fixture;
    NwpFolder folder(fixture, "walls", "C:\\walls");
    folder.AddNwp("sunset.nwp", 1);
    folder.Add("Broken.NWP", NotCompressed);
    folder.Add("keep.bmp", OldBitmap);
    fixture.SetString(store::WallpaperFolder, folder.Windows());
    TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});
    const std::vector<std::string> storedBefore = fixture.ValueNames();

    fixture.Press(form.Button6);

    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"keep.bmp"}));
    EXPECT_TRUE(fixture.messages.empty());
    EXPECT_FALSE(fixture.Driver().Visible());
    EXPECT_TRUE(fixture.ValueNames() == storedBefore);
}

TEST(NwpPageTest, ReadOnlyFileConvertsAndStays) {
    TDialogFixture fixture;
    NwpFolder folder(fixture, "walls", "C:\\walls");
    const Bytes picture = folder.AddNwp("locked.nwp", 4);
    fs::permissions(folder.Path("locked.nwp"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fixture.SetString(store::WallpaperFolder, folder.Windows());
    TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});

    fixture.Press(form.Button4);

    EXPECT_TRUE(fixture.messages.empty());
    EXPECT_TRUE(folder.Read("LOCKED.BMP") == picture);
    EXPECT_TRUE(folder.Read("locked.nwp") == PackNwp(picture));
    EXPECT_FALSE(fixture.Driver().Visible());
}

TEST(NwpPageTest, FullDiskKeepsTheNwpFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine has no way for a program to make its disk full: no per-process file "
                    "size limit (the POSIX build plays a full disk with RLIMIT_FSIZE)";
#else
    TDialogFixture fixture;
    NwpFolder folder(fixture, "walls", "C:\\walls");
    const Bytes picture = folder.AddNwp("big.nwp", 5, 400);
    ASSERT_GT(picture.size(), 16384u);
    folder.Add("BIG.BMP", OldBitmap);
    fixture.SetString(store::WallpaperFolder, folder.Windows());
    TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});
    {
        FileSizeLimit full(16384);
        fixture.Press(form.Button4);
    }
    ASSERT_EQ(fixture.messages.size(), std::size_t{1});
    EXPECT_EQ(fixture.messages[0].text, std::string("Can not write to output file."));
    EXPECT_TRUE(folder.Read("big.nwp") == PackNwp(picture));
    EXPECT_TRUE(folder.Read("BIG.BMP") == OldBitmap);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"BIG.BMP", "big.nwp"}));
    EXPECT_TRUE(fixture.Driver().Visible() && fixture.Driver().Enabled("OptionsForm"));
    EXPECT_EQ(Shown(fixture, *form.NoOfNWPs), Sentence(1));
#endif
}

TEST(NwpPageTest, CutOrEmptyNwpReplacesNoBitmap) {
    // The signature alone, and the start of a picture: neither holds a whole bitmap.
    const Bytes whole = PackNwp(MakePhotoBmp(150, 100, 6));
    const Bytes cuts[] = {Bytes(whole.begin(), whole.begin() + 4),
                          Bytes(whole.begin(), whole.begin() + 5000)};
    for (const Bytes& cut : cuts) {
        TDialogFixture fixture;
        NwpFolder folder(fixture, "walls", "C:\\walls");
        folder.Add("x.nwp", cut);
        folder.Add("X.BMP", OldBitmap);
        fixture.SetString(store::WallpaperFolder, folder.Windows());
        TOptionsForm& form = fixture.Open({"/NWPSUPPORT"});

        fixture.Press(form.Button4);

        ASSERT_EQ(fixture.messages.size(), std::size_t{1});
        EXPECT_EQ(fixture.messages[0].text,
                  std::string("Cannot convert \"C:\\walls\\X.NWP\": it does not hold a complete "
                              "bitmap."));
        EXPECT_EQ(fixture.messages[0].icon, TMessageIcon::Error);
        EXPECT_TRUE(folder.Read("x.nwp") == cut);
        EXPECT_TRUE(folder.Read("X.BMP") == OldBitmap);
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"X.BMP", "x.nwp"}));
        EXPECT_TRUE(fixture.Driver().Visible() && fixture.Driver().Enabled("OptionsForm"));
        EXPECT_EQ(Shown(fixture, *form.NoOfNWPs), Sentence(1));
    }
}

} // namespace
