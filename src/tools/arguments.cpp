#include "tools/arguments.h"

#include "platform/codepage1250.h"
#include "platform/console.h"
#include "platform/files.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

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
    if (argument.empty())
        throw UsageError("an empty text names no file or folder");
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
    return std::any_of(given.begin(), given.end(),
                       [option](const auto& entry) { return entry.first == option; });
}

std::optional<std::string> Options::Value(const char* option) const {
    for (auto entry = given.rbegin(); entry != given.rend(); ++entry)
        if (entry->first == option)
            return entry->second;
    return std::nullopt;
}

Options ParseOptions(const std::vector<std::string>& arguments,
                     const std::vector<KnownOption>& known) {
    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
            options.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto option = std::find_if(known.begin(), known.end(), [&name](const KnownOption& s) {
            return name == s.name || (s.shortName != nullptr && name == s.shortName);
        });
        if (option == known.end())
            throw UsageError("unknown option '" + argument + "'");
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos)
                value = argument.substr(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                throw UsageError("option '" + argument + "' needs a value");
            if (value.empty())
                throw UsageError("option '" + name + "' needs a value, not an empty text");
        } else if (equals != std::string::npos) {
            throw UsageError("option '" + name + "' takes no value: '" + argument + "'");
        }
        options.given.emplace_back(option->name, std::move(value));
    }
    return options;
}

void RequireOperands(const Options& options, const std::vector<const char*>& names) {
    std::string wanted;
    for (const char* name : names)
        wanted += std::string(wanted.empty() ? "" : " ") + name;
    const std::size_t given = options.operands.size();
    if (given < names.size())
        throw UsageError(std::string(names[given]) + " is missing (the arguments are " + wanted +
                         ")");
    if (given > names.size())
        throw UsageError("one argument too many: '" + options.operands[names.size()] +
                         "' (the arguments are " + wanted + ")");
}

unsigned JobsArgument(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long jobs = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || jobs < 1 || jobs > 256)
        throw UsageError("--jobs takes a number from 1 to 256, not '" + text + "'");
    return static_cast<unsigned>(jobs);
}

} // namespace nimbrel::tool
