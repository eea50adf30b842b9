#pragma once
// Whole host files, read at once and replaced atomically.
#include <string>

namespace nimbrel::platform::portable {

// Answers 0 or the errno of the failure.
int ReadHostFile(const std::string& path, std::string& text);
// Writes `text` into a temporary file beside `path`, flushes it to the disk and renames it
// over `path`, so a reader sees the old file or the new one and a failure leaves the old
// one. An existing file keeps its permissions. Answers 0 or the errno of the failure.
int ReplaceHostFile(const std::string& path, const std::string& text);

} // namespace nimbrel::platform::portable
