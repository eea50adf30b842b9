// Listing a folder of 10,000 pictures: the lister against the bare platform search it
// runs on, and against adding each name to a sorted list one by one.
#include "platform/files.h"
#include "sysutil/emulated_root.h"
#include "sysutil/list_files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

constexpr int EntryCount = 10000;
constexpr const char* Mask = "C:\\pics\\*.JPG";

// One folder for the whole run, names in mixed case and random order of creation.
nimbrel::testing::EmulatedRoot& Folder() {
    static nimbrel::testing::EmulatedRoot root; // removed at exit
    static const bool filled = [] {
        std::vector<int> numbers(EntryCount);
        for (int i = 0; i < EntryCount; ++i)
            numbers[i] = i;
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
        for (int n : numbers)
            root.WriteHostFile("pics/" + std::string(n % 2 ? "Pic" : "pic") + std::to_string(n) +
                                   (n % 3 ? ".jpg" : ".JPG"),
                               "");
        return true;
    }();
    (void)filled;
    return root;
}

// The platform's cost alone: every entry found, nothing kept.
void BM_PlatformSearchOnly(benchmark::State& state) {
    Folder();
    for (auto _ : state) {
        std::size_t count = 0;
        nimbrel::platform::FileSearch search(Mask);
        for (nimbrel::platform::FindData entry; search.Next(entry);)
            ++count;
        benchmark::DoNotOptimize(count);
    }
}

void BM_ListFiles(benchmark::State& state) {
    Folder();
    std::vector<std::string> list;
    for (auto _ : state) {
        nimbrel::ListFiles(Mask, list);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["names"] = static_cast<double>(list.size());
}

// A list kept sorted on every add (binary search, then insert), with duplicates ignored.
void BM_SortedInsertList(benchmark::State& state) {
    Folder();
    for (auto _ : state) {
        std::vector<std::string> list;
        nimbrel::platform::FileSearch search(Mask);
        for (nimbrel::platform::FindData entry; search.Next(entry);) {
            std::string name = entry.name;
            for (char& c : name)
                c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
            const auto at = std::lower_bound(list.begin(), list.end(), name,
                                             [](const std::string& a, const std::string& b) {
                                                 return nimbrel::CompareNamesNoCase(a, b) < 0;
                                             });
            if (at == list.end() || nimbrel::CompareNamesNoCase(*at, name) != 0)
                list.insert(at, std::move(name));
        }
        benchmark::DoNotOptimize(list.data());
    }
}

BENCHMARK(BM_PlatformSearchOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortedInsertList)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
