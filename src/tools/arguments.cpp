#include "tools/arguments.h"

#include "platform/codepage1250.h"
#include "platform/console.h"
#include "platform/files.h"
#include "tools/tool_output.h"

#include <algorithm>

namespace nimbrel::tool {
namespace {

bool StartsWithDrive(const std::string& text) {
    return text.size() >= 2 && text[1] == ':' &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return platform::CommandLineArguments(argc, argv);
}

std::string TextArgument(const std::string& argument, const char* what) {
    if (auto text = platform::Cp1250FromUtf8Exactly(argument))
        return std::move(*text);
    throw ToolError(std::string(what) + " \"" + argument +
                    "\": has characters that code page 1250 cannot hold");
}

std::string PathArgument(const std::string& argument) {
    // A drive letter makes a Windows path on every host; on Windows every name is one.
    auto path = StartsWithDrive(argument) ? platform::Cp1250FromUtf8Exactly(argument)
                                          : platform::WindowsPathOfHostPath(argument);
    if (!path)
        throw ToolError(argument + ": the name has characters that code page 1250 cannot hold");
    return std::move(*path);
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

bool Options::Has(const char* option) const {
    return std::find(given.begin(), given.end(), option) != given.end();
}

Options ParseOptions(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& known) {
    Options options;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
            options.operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (std::find(known.begin(), known.end(), argument) != known.end()) {
            if (!options.Has(argument.c_str()))
                options.given.push_back(argument);
        } else {
            throw UsageError("unknown option '" + argument + "'");
        }
    }
    return options;
}

} // namespace nimbrel::tool
