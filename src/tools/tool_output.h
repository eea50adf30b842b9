#pragma once
// What nimbrel-tool prints: its output on standard output and its messages on standard
// error, all in the host's text (UTF-8; a Windows console is written in its own characters).
// Every message starts with "nimbrel-tool: " and names the file it is about.
#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel::tool {

// A failure the command reports and ends with exit code 1; the message (host text, without
// the leading "nimbrel-tool: ") names the file it is about.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bad arguments: the message (host text), then the command's usage; exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text on standard error as it is (the usage).
void WriteError(std::string_view text);
// "nimbrel-tool: TEXT" on standard error.
void Say(std::string_view text);
// "nimbrel-tool: WHAT: warning: TEXT" on standard error.
void Warn(std::string_view what, std::string_view text);

// Writes to standard output; a failure raises ToolError naming standard output.
void WriteOut(std::string_view text);
// Bytes as they are (a picture written to standard output).
void WriteOutBytes(const void* bytes, std::size_t size);
// Gets everything written to standard output out; a failure raises ToolError.
void FinishOutput();

bool StandardOutputIsTerminal();

// The text of a code page 1250 name or message, for printing.
std::string Shown(std::string_view cp1250);

} // namespace nimbrel::tool
