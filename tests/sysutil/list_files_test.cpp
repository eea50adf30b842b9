#include "sysutil/list_files.h"

#include "emulated_root.h"
#include "sysutil/message_pump.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nimbrel {
namespace {

using Names = std::vector<std::string>;

class ListFilesTest : public ::testing::Test {
protected:
    void TearDown() override { SetMessagePump(nullptr); }

    // Host files below C:\PICS (names in UTF-8, as on the host).
    void MakeFiles(std::initializer_list<const char*> names) {
        for (const char* name : names)
            root.WriteHostFile(std::string("pics/") + name, "x");
    }

    testing::EmulatedRoot root;
};

TEST_F(ListFilesTest, ListsUpperCaseNamesSortedWithoutCase) {
    MakeFiles({"b.Jpg", "a.jpg", "c.bmp", "Zebra.JPG", "_first.jpg", "10.jpg", "9.jpg"});
    Names list{"stale"};
    ListFiles("C:\\pics\\*.JPG", list);
    EXPECT_EQ(list, (Names{"_FIRST.JPG", "10.JPG", "9.JPG", "A.JPG", "B.JPG", "ZEBRA.JPG"}));
}

TEST_F(ListFilesTest, UpperCasesOnlyAToZAndDropsNamesEqualButForCase) {
    // ž and Ž differ only in case: one of them is listed, in the case found first.
    MakeFiles({"\xC5\xBE"
               "aba.jpg",
               "d.jpg",
               "\xC4\x8D"
               "rt.jpg",
               "c.jpg", "a.jpg", "A.JPG"});
    std::filesystem::create_directories(root.Host("pics/sub.jpg"));
    Names list;
    ListFiles("C:\\PICS\\*.jpg", list);
    ASSERT_EQ(list.size(), 6u) << ::testing::PrintToString(list);
    EXPECT_EQ(list[0], "A.JPG");
    EXPECT_EQ(list[1], "C.JPG");
    EXPECT_EQ(list[2], "\xE8RT.JPG"); // č is left lower-case and sorts with c
    EXPECT_EQ(list[3], "D.JPG");
    EXPECT_EQ(list[4], "SUB.JPG"); // a matching directory is listed like a file
    EXPECT_EQ(list[5], "\x9E"
                       "ABA.JPG");
}

TEST_F(ListFilesTest, MissingFolderOrNoMatchGivesAnEmptyList) {
    MakeFiles({"a.bmp"});
    for (const char* mask : {"C:\\nowhere\\*.JPG", "C:\\pics\\*.JPG", "Q:\\*.JPG"}) {
        Names list{"stale"};
        EXPECT_NO_THROW(ListFiles(mask, list)) << mask;
        EXPECT_TRUE(list.empty()) << mask;
    }
}

TEST_F(ListFilesTest, ADriveRootPatternWithTwoBackslashesListsTheRoot) {
    root.WriteHostFile("top.jpg", "x");
    Names list;
    ListFiles("C:\\\\*.JPG", list);
    EXPECT_EQ(list, Names{"TOP.JPG"});
}

TEST_F(ListFilesTest, ThePumpRunsOncePerEntryFound) {
    MakeFiles({"a.jpg", "A.JPG", "b.jpg", "c.bmp"});
    int passes = 0;
    SetMessagePump([&] { ++passes; });
    Names list;
    ListFiles("C:\\pics\\*.jpg", list);
    // The duplicate was found, so it had its pass (where the disk can hold both names).
    EXPECT_EQ(passes, testing::EmulatedRoot::NamesDifferingInCaseCoexist ? 3 : 2);
    EXPECT_EQ(list, (Names{"A.JPG", "B.JPG"}));
}

TEST(CompareNamesNoCaseTest, OrdersByBaseLetterThenAccentIgnoringCase) {
    struct Case {
        std::string_view a, b;
        int sign;
    };
    const Case cases[] = {
        {"A.JPG", "B.JPG", -1},
        {"a.jpg", "A.JPG", 0},
        {"\x9E"
         "ABA",
         "\x8E"
         "ABA",
         0}, // žaba, Žaba
        {"\xE8"
         "A",
         "CZ", -1}, // čA before CZ: the base letter counts first
        {"CA",
         "\xC8"
         "A",
         -1}, // plain before accented when the letters agree
        {"\xC8"
         "A",
         "DA", -1},
        {"AB", "ABC", -1},
        {"_", "0", -1},
        {"9", "A", -1},
        {"\x01", " ", -1},
        {"\xC6", "\xC8", -1}, // two accented C's are not equal
    };
    for (const Case& c : cases) {
        const int result = CompareNamesNoCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
        const int reverse = CompareNamesNoCase(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

} // namespace
} // namespace nimbrel
