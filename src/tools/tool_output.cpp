#include "tools/tool_output.h"

#include "platform/codepage1250.h"
#include "platform/console.h"

#include <cerrno>
#include <cstring>

namespace nimbrel::tool {
namespace {

using platform::StandardStream;

[[noreturn]] void OutputFailed(int error) {
    throw ToolError(std::string("standard output: cannot be written") +
                    (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
}

} // namespace

void WriteError(std::string_view text) {
    platform::FlushStream(StandardStream::Output);
    platform::WriteText(StandardStream::Error, text);
}

void Say(std::string_view text) {
    std::string line = "nimbrel-tool: ";
    line += text;
    line += '\n';
    // A message comes after what was printed before it.
    platform::FlushStream(StandardStream::Output);
    platform::WriteText(StandardStream::Error, line);
}

void Warn(std::string_view what, std::string_view text) {
    std::string line(what);
    line += ": warning: ";
    line += text;
    Say(line);
}

void WriteOut(std::string_view text) {
    errno = 0;
    if (!platform::WriteText(StandardStream::Output, text))
        OutputFailed(errno);
}

void WriteOutBytes(const void* bytes, std::size_t size) {
    errno = 0;
    if (!platform::WriteBytes(StandardStream::Output, bytes, size))
        OutputFailed(errno);
}

void FinishOutput() {
    errno = 0;
    if (!platform::FlushStream(StandardStream::Output))
        OutputFailed(errno);
}

bool StandardOutputIsTerminal() {
    return platform::IsTerminal(StandardStream::Output);
}

std::string Shown(std::string_view cp1250) {
    return platform::Utf8FromCp1250(cp1250);
}

} // namespace nimbrel::tool
