#pragma once
// The names FileReplacement gives the new files it writes beside their targets, on every
// host: "~NB", four upper-case hexadecimal digits, ".TMP". A later replacement in the same
// folder knows its own leftovers by them.
#include <string>
#include <string_view>

namespace nimbrel::platform {

inline constexpr std::string_view ReplacementTempPrefix = "~NB";

std::string ReplacementTempName(unsigned number); // from the low 16 bits
bool IsReplacementTempName(std::string_view name);

} // namespace nimbrel::platform
