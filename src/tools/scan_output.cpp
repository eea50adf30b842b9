#include "tools/scan_output.h"

#include "platform/codepage1250.h"

namespace nimbrel::tool {

using wallpaper::FileReport;
using wallpaper::Verdict;

void ScanTally::Count(const FileReport& report) {
    ++pictures;
    switch (report.verdict) {
    case Verdict::Ready:
    case Verdict::ReadyNotRequestable:
        ++ready;
        break;
    case Verdict::Convertible:
        ++toConvert;
        break;
    case Verdict::Damaged:
        ++damaged;
        break;
    case Verdict::NameNotHeld:
        ++toRename;
        break;
    }
}

std::string SummaryText(const ScanTally& tally) {
    return std::to_string(tally.pictures) + (tally.pictures == 1 ? " picture: " : " pictures: ") +
           std::to_string(tally.ready) + " ready, " + std::to_string(tally.toConvert) +
           " to convert, " + std::to_string(tally.damaged) + " damaged" +
           (tally.toRename > 0 ? ", " + std::to_string(tally.toRename) + " to rename" : "");
}

namespace {

std::string SizeText(const FileReport& report) {
    if (report.width == 0 && report.height == 0)
        return "-";
    return std::to_string(report.width) + "x" + std::to_string(report.height);
}

// The name's width on a terminal: UTF-8 continuation bytes take no column.
std::size_t Columns(const std::string& utf8) {
    std::size_t columns = 0;
    for (unsigned char c : utf8)
        columns += (c & 0xC0) != 0x80;
    return columns;
}

std::string_view VerdictKey(Verdict verdict) {
    switch (verdict) {
    case Verdict::Ready:
        return "ready";
    case Verdict::ReadyNotRequestable:
        return "ready_not_requestable";
    case Verdict::Convertible:
        return "convertible";
    case Verdict::Damaged:
        return "damaged";
    case Verdict::NameNotHeld:
        return "rename";
    }
    return "";
}

} // namespace

std::size_t NameColumns(const std::string& name) {
    return Columns(platform::Utf8FromCp1250(name));
}

namespace {
// The listed name is the host's with a..z raised: worth a note only where it says more.
bool DiffersBeyondLetterCase(const std::string& hostName, const std::string& listedName) {
    const auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    return !std::equal(hostName.begin(), hostName.end(), listedName.begin(), listedName.end(),
                       [&](unsigned char a, unsigned char b) { return upper(a) == upper(b); });
}
} // namespace

std::string ReportLine(const FileReport& report, std::size_t nameWidth) {
    const std::string listedName = platform::Utf8FromCp1250(report.name);
    std::string line = listedName;
    const std::size_t columns = Columns(line);
    line.append(nameWidth > columns ? nameWidth - columns : 0, ' ');
    char facts[64];
    std::snprintf(facts, sizeof facts, "  %-6s  %10llu  %11s  ",
                  std::string(wallpaper::KindWord(report.kind)).c_str(),
                  static_cast<unsigned long long>(report.size), SizeText(report).c_str());
    line += facts;
    line += wallpaper::VerdictText(report);
    if (report.hostNameDiffers && DiffersBeyondLetterCase(report.hostName, listedName))
        line += "  (on disk: " + report.hostName + ")";
    return line;
}

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    return out + "\"";
}

std::string ReportJson(const FileReport& report) {
    std::string json = "{\"name\":" + JsonString(platform::Utf8FromCp1250(report.name));
    json += ",\"host_path\":" +
            (report.hostPath.empty() ? std::string("null") : JsonString(report.hostPath));
    json += ",\"kind\":\"" + std::string(wallpaper::KindWord(report.kind)) + "\"";
    json += ",\"size\":" + std::to_string(report.size);
    json += ",\"width\":" + std::to_string(report.width);
    json += ",\"height\":" + std::to_string(report.height);
    json += ",\"verdict\":\"" + std::string(VerdictKey(report.verdict)) + "\"";
    json += ",\"requestable\":";
    json += wallpaper::IsRequestable(report.name) ? "true" : "false";
    json += ",\"reason\":";
    json += report.verdict == Verdict::Damaged
                ? JsonString(std::string(wallpaper::DamageWords(report.damage)))
                : std::string("null");
    if (!report.detail.empty())
        json += ",\"detail\":" + JsonString(platform::Utf8FromCp1250(report.detail));
    return json + "}";
}

std::string SummaryJson(const ScanTally& tally) {
    return "{\"summary\":{\"pictures\":" + std::to_string(tally.pictures) +
           ",\"ready\":" + std::to_string(tally.ready) +
           ",\"to_convert\":" + std::to_string(tally.toConvert) +
           ",\"damaged\":" + std::to_string(tally.damaged) +
           ",\"to_rename\":" + std::to_string(tally.toRename) + "}}";
}

} // namespace nimbrel::tool
