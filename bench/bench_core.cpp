// SPDX-License-Identifier: Apache-2.0
// The work of one data check on the core side: every field decoded into page values and encoded
// back into the block, then the 180-byte comparison with the last sent copy.
#include "SettingValues.h"
#include "SettingsBlock.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vellmark;

// Each round collects every setting of the block through `collect` and compares the result
// with the block last sent.
template <class Collect> void CollectAndCompare(benchmark::State& state, Collect collect) {
    SettingsBlock current = FactoryDefaults;
    const SettingsBlock lastSent = FactoryDefaults;
    for (auto _ : state) {
        collect(current);
        benchmark::DoNotOptimize(current);
        bool differ = BlocksDiffer(current, lastSent);
        benchmark::DoNotOptimize(differ);
    }
}

void BM_FullCollectAndCompare(benchmark::State& state) {
    CollectAndCompare(state, [](SettingsBlock& current) {
        const SettingValues values = SettingValues::Decode(current);
        values.EncodeInto(current);
    });
}
BENCHMARK(BM_FullCollectAndCompare);

// The typed conversions alone, as the pages call them (no names, no catalogue).
void BM_DirectCodecs(benchmark::State& state) {
    CollectAndCompare(state, [](SettingsBlock& current) {
        for (const SettingDesc& d : AllSettings()) {
            if (d.kind == ValueKind::Text) {
                if (auto t = DecodeText(current, d.id))
                    EncodeText(current, d.id, *t);
            } else if (auto v = DecodeInt(current, d.id)) {
                EncodeInt(current, d.id, *v);
            }
        }
        for (int n = 1; n <= 4; ++n)
            EncodeSwitch(current, n, DecodeSwitch(current, n));
        for (int f = 1; f <= 3; ++f) {
            FormRecord r = GetFormRecord(current, f);
            for (const FormFieldDesc& fd : AllFormFields())
                EncodeFormField(r, fd.id, DecodeFormField(r, fd.id));
            PutFormRecord(current, f, r);
        }
    });
}
BENCHMARK(BM_DirectCodecs);

void BM_Compare180(benchmark::State& state) {
    SettingsBlock a = FactoryDefaults;
    SettingsBlock b = FactoryDefaults;
    b[179] = 1; // the worst case: the difference is in the last byte
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        bool differ = BlocksDiffer(a, b);
        benchmark::DoNotOptimize(differ);
    }
}
BENCHMARK(BM_Compare180);

} // namespace

BENCHMARK_MAIN();
