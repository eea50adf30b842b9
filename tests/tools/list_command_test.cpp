// nimbrel-tool list: the file lister as a user runs it.
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using test::RunTool;

TEST(ListCommand, ListsUpperCaseNamesSortedOneALine) {
    test::TempEnvironment environment;
    for (const char* name :
         {"pics/b.Jpg", "pics/a.jpg", "pics/c.bmp", "pics/Žaba.jpg", "pics/日本.jpg", "sunset.jpg"})
        environment.WriteHostFile('C', name, "x");
    environment.MakeHostFolder('C', "pics/Folder.JPG");
    const struct {
        const char* pattern;
        const char* out;
    } cases[] = {
        {"C:\\PICS\\*.JPG", "??.JPG\nA.JPG\nB.JPG\nFOLDER.JPG\nŽABA.JPG\n"},
        {"c:/pics/*.bmp", "C.BMP\n"},
        {"C:\\\\*.JPG", "SUNSET.JPG\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool({"list", c.pattern});
        EXPECT_EQ(result.exitCode, 0) << c.pattern << result.err;
        EXPECT_EQ(result.out, c.out) << c.pattern;
    }
}

TEST(ListCommand, AMissingFolderOrDriveIsAnErrorNotAnEmptyList) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "pics/a.jpg", "x");
    const struct {
        const char* pattern;
        const char* message;
    } cases[] = {
        {"C:\\NOWHERE\\*.JPG", "nimbrel-tool: C:\\NOWHERE\\*.JPG: no such folder\n"},
        {"C:\\PICS\\A.JPG\\*", "nimbrel-tool: C:\\PICS\\A.JPG\\*: no such folder\n"},
        {"Q:\\*.JPG", "nimbrel-tool: Q:\\*.JPG: no such drive Q:\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool({"list", c.pattern});
        EXPECT_EQ(result.exitCode, 1) << c.pattern;
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(result.out, "");
    }
}

TEST(ListCommand, BadArgumentsPrintUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list"}, std::vector<std::string>{"list", "a", "b"},
          std::vector<std::string>{"list", ""}}) {
        const auto result = RunTool(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("usage"), std::string::npos);
    }
}

} // namespace
} // namespace nimbrel
