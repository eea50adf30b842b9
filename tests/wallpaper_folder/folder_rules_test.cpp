// The folder's rules without the dialog: which folder, which pictures in which order, and
// the per-entry pass the dialog uses for its message pump.
#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "support/temp_environment.h"
#include "wallpaper_folder/chosen_folder.h"
#include "wallpaper_folder/folder_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel::wallpaper {
namespace {

using Names = std::vector<std::string>;

TEST(FolderRules, PicturesInTheListsOrderWithoutTheChangersFilesAndOnePassPerEntry) {
    test::TempEnvironment environment;
    for (const char* name : {"b.Jpg", "a.jpg", "c.bmp", "nimbrel.bmp", "NextPic.BMP", "nimbrel.jpg",
                             "x.nwp", "notes.txt"})
        environment.WriteHostFile('C', std::string("pics/") + name, "x");
    const std::string folder = FolderListPath("C:\\PICS\\");

    int passes = 0;
    const std::vector<FolderEntry> pictures = ListPictures(folder, [&] { ++passes; });
    EXPECT_EQ(NamesOf(pictures), (Names{"A.JPG", "B.JPG", "C.BMP", "NIMBREL.JPG"}));
    // Every entry the two searches find runs the pass, the changer's files too.
    EXPECT_EQ(passes, 6);
    EXPECT_EQ(NamesOf(ListNwpFiles(folder)), (Names{"X.NWP"}));
    // Without a pass nothing is asked of the caller.
    EXPECT_EQ(ListPictures(folder).size(), pictures.size());
}

TEST(FolderRules, FolderListPathStripsOnlyABackslash) {
    const struct {
        const char* given;
        const char* taken;
    } cases[] = {{"C:\\PICS\\", "C:\\PICS"},
                 {"C:\\", "C:\\"},
                 {"C:\\PICS", "C:\\PICS"},
                 {"C:\\PICS/", "C:\\PICS/"},
                 {"C:/", "C:/"},
                 {"", ""},
                 {"\\", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FolderListPath(c.given), std::string(c.taken)) << c.given;
}

TEST(FolderRules, TheStoredFolderWhenItIsThereElseTheProgramFolder) {
    test::TempEnvironment environment;
    environment.MakeHostFolder('C', "pics");
    const std::string programFolder = FolderListPath(ProgramFolder());
    const auto chosenWith = [](const char* stored) {
        TRegistry settings;
        settings.OpenKey(store::SettingsKey, true);
        settings.WriteString(store::WallpaperFolder, stored);
        return ChosenWallpaperFolder();
    };
    EXPECT_EQ(ChosenWallpaperFolder(), programFolder); // nothing stored
    EXPECT_EQ(chosenWith("C:\\PICS\\"), "C:\\PICS");
    EXPECT_EQ(chosenWith("C:\\"), "C:\\");
    EXPECT_EQ(chosenWith("C:\\GONE"), programFolder);
    EXPECT_EQ(chosenWith(" \t"), programFolder);
}

} // namespace
} // namespace nimbrel::wallpaper
