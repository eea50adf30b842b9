#pragma once
// The file lister of the wallpaper list and the NWP page.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// Fills `list` with the names of every directory entry matching `mask`, a full path pattern
// (folder, backslash, wildcard name such as C:\PICS\*.JPG; a drive root may give C:\\*.JPG).
// Entries of every attribute qualify, directories too. Each name is the bare long name
// upper-cased in "a".."z" only. The list is sorted by CompareNamesNoCase and holds each name
// once under it (the first found is kept). One ProcessMessages() pass runs for every entry
// found, before it is added. A pattern that matches nothing or a missing folder gives an
// empty list; nothing is raised.
void ListFiles(std::string_view mask, std::vector<std::string>& list);

// One entry of ListFileEntries: the listed name and what the search found with it.
struct TListedFile {
    std::string name;      // upper-cased as ListFiles gives it
    std::string foundName; // the name as the file system holds it: opens without a search
    // What the folder's entry tells without a status query for each file: a folder, a
    // hidden name.
    std::uint32_t attributes = 0;
    std::string hostName; // the name as the host holds it, UTF-8
    bool nameFits = true; // false: code page 1250 cannot hold the name, so it opens nothing
};
// Runs once for each directory entry a search finds, before the entry is added (the dialog
// lets its pending window messages run there); empty: nothing runs.
using EntryPass = std::function<void()>;

// ListFiles with each entry's found name and attributes, in the same order; `eachEntry`
// in place of the message pump's pass.
void ListFileEntries(std::string_view mask, std::vector<TListedFile>& list,
                     const EntryPass& eachEntry = {});

// The lister's order: a case-insensitive, accent-aware comparison of code page 1250 text
// as a user locale sorts it (letters by their base letter first, accents next; control
// characters before punctuation before digits before letters). Answers <0, 0 or >0; 0
// exactly when the two texts differ at most in letter case.
int CompareNamesNoCase(std::string_view a, std::string_view b);

} // namespace nimbrel
