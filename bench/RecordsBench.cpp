#include "quorbase/Util.h"
#include "search/SearchRecords.h"

#include <benchmark/benchmark.h>

namespace {

void BM_IsoParse(benchmark::State &state)
{
    const std::string text = "2026-12-05T14:00:00+08:00";
    for (auto _ : state)
        benchmark::DoNotOptimize(Quor::Base::TimeUtil::ISODatetime2TimeT(text));
}
BENCHMARK(BM_IsoParse);

void BM_CameraInfoKeyRoundTrip(benchmark::State &state)
{
    TeskVideoSearch::CCameraBaseInfo info;
    teskplaycontroller::CResourceKey key;
    key.SetVal_resource_id("camera-0001");
    key.SetVal_site_id("site-01");
    info.SetVal_camera_key(key);
    for (auto _ : state)
        benchmark::DoNotOptimize(info.GetVal_camera_key().GetVal_resource_id());
}
BENCHMARK(BM_CameraInfoKeyRoundTrip);

} // namespace

BENCHMARK_MAIN();
