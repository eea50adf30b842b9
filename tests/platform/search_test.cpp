#include "platform/files.h"
#include "platform/host_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace nimbrel::platform {
namespace {

class SearchTest : public test::HostFixture {
protected:
    // The names found, sorted (the order of a search is the platform's own).
    std::vector<std::string> Find(const std::string& pattern) {
        std::vector<std::string> names;
        FileSearch search(pattern);
        FindData entry;
        while (search.Next(entry))
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    using Names = std::vector<std::string>;
};

TEST_F(SearchTest, WildcardsMatchWithoutRegardToCase) {
    for (const char* name : {"pics/a.jpg", "pics/B.Jpg", "pics/c.bmp", "pics/noext",
                             "pics/long name.jpeg", "pics/ab.JPG", "pics/Žaba.jpg"})
        MakeFileOnDisk(name);
    MakeFolderOnDisk("pics/Folder.JPG");
    const std::string pics = Root() + "\\PICS\\";
    const struct {
        const char* pattern;
        Names expected;
    } cases[] = {
        {"*.JPG",
         {"B.Jpg", "Folder.JPG", "a.jpg", "ab.JPG",
          "\x8E"
          "aba.jpg"}},
        {"*.jpeg", {"long name.jpeg"}},
        {"?.JPG", {"B.Jpg", "a.jpg"}},
        {"A*", {"a.jpg", "ab.JPG"}},
        {"*.BMP", {"c.bmp"}},
        {"\x9E"
         "ABA.*",
         {"\x8E"
          "aba.jpg"}},
        {"*.GIF", {}},
        {"noext", {"noext"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(pics + c.pattern), c.expected) << c.pattern;
}

TEST_F(SearchTest, ALongNameMayMatchThroughItsShortName) {
    MakeFileOnDisk("pics/f.jpgx");
    MakeFileOnDisk("pics/g.jpg");
    const Names expected =
        Traits().searchMatchesShortNames ? Names{"f.jpgx", "g.jpg"} : Names{"g.jpg"};
    EXPECT_EQ(Find(Root() + "\\PICS\\*.JPG"), expected);
}

TEST_F(SearchTest, EntriesCarryTheirAttributesAndSizes) {
    MakeFileOnDisk("d/file.jpg", "12345");
    MakeFolderOnDisk("d/dir.jpg");
    std::map<std::string, FindData> found;
    FileSearch search(Root() + "\\D\\*.JPG");
    FindData entry;
    while (search.Next(entry))
        found[entry.name] = entry;
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NE(found["dir.jpg"].attributes & FileAttributeDirectory, 0u);
    EXPECT_EQ(found["file.jpg"].attributes & FileAttributeDirectory, 0u);
    EXPECT_EQ(found["file.jpg"].size, 5u);
}

TEST_F(SearchTest, MissingFolderFindsNothing) {
    EXPECT_EQ(Find(Root() + "\\NOWHERE\\*.JPG"), Names{});
    EXPECT_EQ(Find("Q:\\*.JPG"), Names{});
    FileSearch search(Root() + "\\NOWHERE\\*.JPG");
    FindData entry;
    EXPECT_FALSE(search.Next(entry));
    EXPECT_FALSE(search.Next(entry));
}

TEST_F(SearchTest, DoubledBackslashAfterADriveRootIsTheRootsPattern) {
    if (!RootIsDrive())
        GTEST_SKIP() << "needs a drive of the test's own";
    MakeFileOnDisk("sunset.jpg");
    MakeFileOnDisk("pics/other.jpg");
    EXPECT_EQ(Find(Root() + "\\\\*.JPG"), Names{"sunset.jpg"});
    EXPECT_EQ(Find(Root() + "\\*.JPG"), Names{"sunset.jpg"});
}

TEST_F(SearchTest, DotEntriesOnlyBelowTheRoot) {
    MakeFileOnDisk("sub/x.txt");
    EXPECT_EQ(Find(Root() + "\\SUB\\*"), (Names{".", "..", "x.txt"}));
    EXPECT_EQ(Find(Root() + "\\SUB\\*.*"), (Names{".", "..", "x.txt"}));
    if (RootIsDrive()) {
        const Names atRoot = Find(Root() + "\\*");
        EXPECT_EQ(std::count(atRoot.begin(), atRoot.end(), "."), 0);
    }
}

} // namespace
} // namespace nimbrel::platform
