#pragma once
// Whole host files, read at once and replaced atomically.
#include <string>

namespace nimbrel::platform::portable {

// Answers 0 or the errno of the failure.
int ReadHostFile(const std::string& path, std::string& text);
// Replaces the file `path` with `text` as HostReplacement does: a reader sees the old file
// or the new one, a failure leaves the old one, an existing file keeps its mode and a
// symbolic link leads to the new file. Answers 0 or the errno of the failure.
int ReplaceHostFile(const std::string& path, const std::string& text);

} // namespace nimbrel::platform::portable
