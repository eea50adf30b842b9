#pragma once
// A command-line program's arguments and standard streams in the host's text, UTF-8: on
// Windows the arguments come from the wide command line (an ANSI program's argv holds only
// what the ANSI code page can) and a console is written in its own characters.
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::platform {

// The arguments after the program's name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

enum class StandardStream { Output, Error };
// Writes UTF-8 text, with "\n" line ends (a Windows file gets "\r\n"); false when not all
// of it was taken.
bool WriteText(StandardStream stream, std::string_view text);
// Writes bytes unchanged; false when not all of them were taken.
bool WriteBytes(StandardStream stream, const void* bytes, std::size_t size);
// Flushes what was written; false when that fails (a full disk).
bool FlushStream(StandardStream stream);
bool IsTerminal(StandardStream stream);

} // namespace nimbrel::platform
