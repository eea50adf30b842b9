#include "sysutil/list_files.h"

#include "platform/files.h"
#include "sysutil/message_pump.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace nimbrel {

namespace {

// A sort weight per code page 1250 character: `primary` orders by base letter ignoring case
// and accents, `accent` tells accented letters of one base apart (0 for the plain letter).
struct Weight {
    std::uint8_t primary = 0;
    std::uint8_t accent = 0;
};

// The base letter of each accented letter of 1250, upper and lower case; 0 for the rest.
constexpr char AccentedBase(unsigned char c) {
    // Lower-case letters of the 0xE0..0xFE block mirror the upper-case ones 0x20 below.
    if (c >= 0xE0 && c != 0xF7 && c != 0xFF)
        c = static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x8A:
    case 0x9A:
    case 0x8C:
    case 0x9C:
    case 0xAA:
    case 0xBA:
    case 0xDF:
        return 'S';
    case 0x8D:
    case 0x9D:
    case 0xDE:
        return 'T';
    case 0x8E:
    case 0x9E:
    case 0x8F:
    case 0x9F:
    case 0xAF:
    case 0xBF:
        return 'Z';
    case 0xA3:
    case 0xB3:
    case 0xBC:
    case 0xBE:
    case 0xC5:
        return 'L';
    case 0xA5:
    case 0xB9:
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC4:
        return 'A';
    case 0xC0:
    case 0xD8:
        return 'R';
    case 0xC6:
    case 0xC7:
    case 0xC8:
        return 'C';
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCC:
        return 'E';
    case 0xCD:
    case 0xCE:
        return 'I';
    case 0xCF:
    case 0xD0:
        return 'D';
    case 0xD1:
    case 0xD2:
        return 'N';
    case 0xD3:
    case 0xD4:
    case 0xD5:
    case 0xD6:
        return 'O';
    case 0xD9:
    case 0xDA:
    case 0xDB:
    case 0xDC:
        return 'U';
    case 0xDD:
        return 'Y';
    default:
        return 0;
    }
}

// The upper-case partner of a lower-case accented letter, so both get one accent weight.
constexpr unsigned char AccentedUpper(unsigned char c) {
    switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9D:
    case 0x9E:
    case 0x9F:
        return static_cast<unsigned char>(c - 0x10);
    case 0xB3:
        return 0xA3;
    case 0xB9:
        return 0xA5;
    case 0xBA:
        return 0xAA;
    case 0xBE:
        return 0xBC;
    case 0xBF:
        return 0xAF;
    default:
        return c >= 0xE0 && c != 0xF7 && c != 0xFF ? static_cast<unsigned char>(c - 0x20) : c;
    }
}

// Control characters, then the other non-letters in code order, then digits, then letters.
std::array<Weight, 256> MakeWeights() {
    std::array<Weight, 256> weights{};
    std::uint8_t next = 1; // 0 ends the primary part of a sort key
    for (int c = 0; c < 32; ++c)
        weights[c].primary = next++;
    const auto isDigit = [](int c) { return c >= '0' && c <= '9'; };
    const auto isLetter = [](int c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               AccentedBase(static_cast<unsigned char>(c)) != 0;
    };
    for (int c = 32; c < 256; ++c) {
        if (!isDigit(c) && !isLetter(c))
            weights[c].primary = next++;
    }
    for (int c = '0'; c <= '9'; ++c)
        weights[c].primary = next++;
    const std::uint8_t letterA = next;
    for (int c = 32; c < 256; ++c) {
        if (!isLetter(c))
            continue;
        const char plain =
            (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
        const char base =
            (plain >= 'A' && plain <= 'Z') ? plain : AccentedBase(static_cast<unsigned char>(c));
        weights[c].primary = static_cast<std::uint8_t>(letterA + (base - 'A'));
        const bool accented = !(plain >= 'A' && plain <= 'Z');
        weights[c].accent = accented ? AccentedUpper(static_cast<unsigned char>(c)) : 0;
    }
    return weights;
}

const std::array<Weight, 256>& Weights() {
    static const std::array<Weight, 256> weights = MakeWeights();
    return weights;
}

// Primary weights, a zero, then the accent weights: comparing two keys byte by byte is the
// comparison of the two texts (the zero makes a prefix sort first).
std::string SortKey(std::string_view text) {
    const auto& weights = Weights();
    std::string key;
    key.reserve(text.size() * 2 + 1);
    for (char c : text)
        key += static_cast<char>(weights[static_cast<unsigned char>(c)].primary);
    key += '\0';
    for (char c : text)
        key += static_cast<char>(weights[static_cast<unsigned char>(c)].accent);
    return key;
}

std::string UpperAsciiLetters(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

} // namespace

int CompareNamesNoCase(std::string_view a, std::string_view b) {
    return SortKey(a).compare(SortKey(b));
}

namespace {

void ListEntries(std::string_view mask, std::vector<TListedFile>& list,
                 const EntryPass& eachEntry) {
    list.clear();
    struct Found {
        std::string key;
        TListedFile file;
    };
    std::vector<Found> found;
    // Names alone: the host is not asked for each file's status.
    platform::FileSearch search(mask, platform::FindDetail::NameOnly);
    for (platform::FindData entry; search.Next(entry);) {
        if (eachEntry)
            eachEntry();
        std::string name = UpperAsciiLetters(entry.name);
        std::string key = SortKey(name);
        found.push_back({std::move(key),
                         {std::move(name), std::move(entry.name), entry.attributes,
                          std::move(entry.hostName), entry.nameFits}});
    }
    // Sorting once keeps the first found of equal names, as adding to a sorted list that
    // ignores duplicates would, without its quadratic inserts.
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& x, const Found& y) { return x.key < y.key; });
    const auto last = std::unique(found.begin(), found.end(),
                                  [](const Found& x, const Found& y) { return x.key == y.key; });
    list.reserve(static_cast<std::size_t>(last - found.begin()));
    for (auto it = found.begin(); it != last; ++it)
        list.push_back(std::move(it->file));
}

} // namespace

void ListFileEntries(std::string_view mask, std::vector<TListedFile>& list,
                     const EntryPass& eachEntry) {
    ListEntries(mask, list, eachEntry);
}

void ListFiles(std::string_view mask, std::vector<std::string>& list) {
    std::vector<TListedFile> entries;
    ListEntries(mask, entries, ProcessMessages);
    list.clear();
    list.reserve(entries.size());
    for (TListedFile& entry : entries)
        list.push_back(std::move(entry.name));
}

} // namespace nimbrel
