#include "platform/console.h"

#include <cstdio>
#include <unistd.h>

namespace nimbrel::platform {
namespace {

std::FILE* FileOf(StandardStream stream) {
    return stream == StandardStream::Error ? stderr : stdout;
}

} // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool WriteText(StandardStream stream, std::string_view text) {
    return WriteBytes(stream, text.data(), text.size());
}

bool WriteBytes(StandardStream stream, const void* bytes, std::size_t size) {
    return std::fwrite(bytes, 1, size, FileOf(stream)) == size;
}

bool FlushStream(StandardStream stream) {
    return std::fflush(FileOf(stream)) == 0 && !std::ferror(FileOf(stream));
}

bool IsTerminal(StandardStream stream) {
    return isatty(stream == StandardStream::Error ? STDERR_FILENO : STDOUT_FILENO) != 0;
}

} // namespace nimbrel::platform
