// A value of the settings key written and read the way the dialog does it (an accessor
// opened afresh for every access), against the same value on a key held open.
#include "platform/registry.h"
#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "sysutil/emulated_root.h"

#include <benchmark/benchmark.h>

namespace {

nimbrel::testing::EmulatedRoot& Environment() {
    static nimbrel::testing::EmulatedRoot root; // removed at exit
    return root;
}

void BM_WriteOnOpenKey(benchmark::State& state) {
    Environment();
    nimbrel::platform::RegKey key;
    if (key.Create(nimbrel::platform::Hive::CurrentUser, nimbrel::store::SettingsKey))
        state.SkipWithError("cannot create the key");
    std::int32_t minutes = 0;
    for (auto _ : state) {
        const auto bits = static_cast<std::uint32_t>(++minutes % 300);
        const std::uint8_t data[4] = {static_cast<std::uint8_t>(bits),
                                      static_cast<std::uint8_t>(bits >> 8), 0, 0};
        benchmark::DoNotOptimize(key.SetValue(nimbrel::store::Interval, 4, data, 4));
    }
}

void BM_WriteWithFreshAccessor(benchmark::State& state) {
    Environment();
    std::int32_t minutes = 0;
    for (auto _ : state) {
        nimbrel::TRegistry registry;
        registry.OpenKey(nimbrel::store::SettingsKey, true);
        registry.WriteInteger(nimbrel::store::Interval, ++minutes % 300);
    }
}

void BM_ReadOnOpenKey(benchmark::State& state) {
    Environment();
    nimbrel::platform::RegKey key;
    const std::uint8_t data[4] = {60, 0, 0, 0};
    if (key.Create(nimbrel::platform::Hive::CurrentUser, nimbrel::store::SettingsKey) ||
        key.SetValue(nimbrel::store::Interval, 4, data, 4))
        state.SkipWithError("cannot write the value");
    for (auto _ : state) {
        nimbrel::platform::RegValue value;
        benchmark::DoNotOptimize(key.QueryValue(nimbrel::store::Interval, value));
    }
}

void BM_ReadWithFreshAccessor(benchmark::State& state) {
    Environment();
    {
        nimbrel::TRegistry registry;
        registry.OpenKey(nimbrel::store::SettingsKey, true);
        registry.WriteInteger(nimbrel::store::Interval, 60);
    }
    for (auto _ : state) {
        nimbrel::TRegistry registry;
        registry.OpenKey(nimbrel::store::SettingsKey, true);
        benchmark::DoNotOptimize(registry.ReadInteger(nimbrel::store::Interval));
    }
}

BENCHMARK(BM_WriteOnOpenKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteWithFreshAccessor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOnOpenKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadWithFreshAccessor)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
