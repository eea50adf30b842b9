#pragma once
// The arguments of nimbrel-tool, taken as the host gives them and brought into the
// program's code page 1250 one way for every command.
//
// A file argument is named as for any other program of the host. On Windows that is a
// Windows path. Elsewhere an argument starting with a drive letter and a colon (C:\PICS,
// c:/pics/x.nwp) is a Windows path, seen through the drive table of the emulated
// environment; any other argument is a host path (~/old/X.NWP as the shell expands it,
// relative names from the current folder), whatever the drive table maps.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nimbrel::tool {

// The arguments after the program's name, as UTF-8 text: on Windows from the wide command
// line (an ANSI program's argv holds only what the ANSI code page can), elsewhere argv.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Text to be kept in code page 1250; raises ToolError naming `what` and the text when a
// character cannot be held there: it would be stored as "?".
std::string TextArgument(const std::string& argument, const char* what);

// The Windows path (code page 1250) of a file or folder argument, or of a wildcard pattern;
// raises ToolError naming the argument when it cannot be written in code page 1250, and
// UsageError for an empty text.
std::string PathArgument(const std::string& argument);

// "-" names standard input or output.
inline bool IsStandardStream(const std::string& argument) {
    return argument == "-";
}

// Whether "--help" or "-h" stands among the arguments before a "--".
bool AsksForHelp(const std::vector<std::string>& arguments);

// An option a command knows: a switch (--deep), or one that takes the next argument or
// the text after "=" as its value (--sheet OUT.jpg, --sheet=OUT.jpg). `shortName` is an
// alias (-j for --jobs).
struct KnownOption {
    const char* name;
    bool takesValue = false;
    const char* shortName = nullptr;
};

// The operands of a command and the options it knows that stand before a "--": every other
// argument starting with "-" (but "-" itself) is a UsageError naming it.
struct Options {
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> given; // by long name; the last value wins
    bool Has(const char* option) const;
    // The value of an option that takes one; nothing when it was not given.
    std::optional<std::string> Value(const char* option) const;
};
Options ParseOptions(const std::vector<std::string>& arguments,
                     const std::vector<KnownOption>& known);

// Raises a UsageError naming what is missing or the first argument too many, when the
// operands are not exactly those named ({"IN", "OUT"}).
void RequireOperands(const Options& options, const std::vector<const char*>& names);

// The number of jobs of --jobs: 1 to 256; a UsageError naming the text otherwise.
unsigned JobsArgument(const std::string& text);

} // namespace nimbrel::tool
