#include "recordserver/RecordingServer.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>

using namespace teskrecordserver;
using namespace teskplaycontroller;

namespace {

QTemporaryDir *scratch = nullptr;
int store_number = 0;

std::string FreshDir()
{
    return (scratch->path() + "/store-" + QString::number(++store_number)).toStdString();
}

// The large store, generated once and shared by the search benchmarks.
std::shared_ptr<CRecordingServer> LargeStore()
{
    static std::shared_ptr<CRecordingServer> server = [] {
        auto created = std::make_shared<CRecordingServer>();
        if (!created->Open(FreshDir(), GeneratorOptions::Large()))
            return std::shared_ptr<CRecordingServer>();
        return created;
    }();
    return server;
}

void Generate(benchmark::State &state, const GeneratorOptions &options)
{
    int64_t recordings = 0;
    for (auto _ : state) {
        CRecordingServer server;
        const auto status = server.Open(FreshDir(), options);
        if (!status) {
            state.SkipWithError(status.Message().c_str());
            return;
        }
        recordings = server.Catalogue().Count("recordings");
    }
    state.counters["cameras"] = options.cameras;
    state.counters["recordings"] = static_cast<double>(recordings);
}

void BM_GenerateDefaultStore(benchmark::State &state)
{
    Generate(state, GeneratorOptions::Default());
}
BENCHMARK(BM_GenerateDefaultStore)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GenerateLargeStore(benchmark::State &state)
{
    Generate(state, GeneratorOptions::Large());
}
BENCHMARK(BM_GenerateLargeStore)->Unit(benchmark::kMillisecond)->Iterations(1);

// A 7-day search of one kind over 64 cameras of the large store, camera after camera as a
// search service asks; reports the latency of the first camera's answer and the mean per camera.
void BM_Search7Days64Cameras(benchmark::State &state)
{
    auto server = LargeStore();
    if (!server) {
        state.SkipWithError("no large store");
        return;
    }
    const auto cameras = server->Catalogue().Cameras();
    const int64_t end = std::stoll(server->Catalogue().Meta("period_end").value_or("0"));
    CameraVideoSearchCondition condition;
    condition.search_type = static_cast<VideoSearchType>(state.range(0));
    condition.begin_time = end - 7 * 86400;
    condition.end_time = end;
    std::vector<TeskCameraInfo> infos;
    for (size_t i = 0; i < 64 && i < cameras.size(); ++i) {
        TeskCameraInfo info;
        info.ptr_camera_for_play =
            std::make_shared<CCameraForPlay>(cameras[i].site_id, cameras[i].id);
        infos.push_back(info);
    }
    std::atomic<bool> cancelled{false};
    size_t files = 0;
    double first_us = 0;
    double total_us = 0;
    for (auto _ : state) {
        files = 0;
        const auto started = std::chrono::steady_clock::now();
        for (size_t i = 0; i < infos.size(); ++i) {
            const auto answer = server->SearchCamera(condition, infos[i], cancelled);
            files += answer.files.size();
            if (i == 0)
                first_us += std::chrono::duration<double, std::micro>(
                                std::chrono::steady_clock::now() - started)
                                .count();
        }
        total_us +=
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started)
                .count();
    }
    state.counters["files"] = static_cast<double>(files);
    state.counters["first_answer_us"] = first_us / static_cast<double>(state.iterations());
    state.counters["per_camera_us"] =
        total_us / static_cast<double>(state.iterations() * infos.size());
}
BENCHMARK(BM_Search7Days64Cameras)
    ->ArgName("search_type")
    ->Arg(VideoSearchRecord)
    ->Arg(VideoSearchTag)
    ->Arg(VideoSearchLock)
    ->Arg(VideoSearchPersonVehicle)
    ->Unit(benchmark::kMillisecond);

// The middle second of each recording of the large store's fourth camera.
std::vector<int64_t> ThumbnailTimes(CRecordingServer &server, ResourceKey &key)
{
    const auto camera = server.Catalogue().Cameras()[3];
    key.site_id = camera.site_id;
    key.resource_id = camera.id;
    std::vector<int64_t> times;
    for (const auto &recording : server.Catalogue().Recordings(camera.site_id, camera.id, 0,
                                                               std::numeric_limits<int64_t>::max()))
        times.push_back(recording.begin + (recording.end - recording.begin) / 2 + 1);
    return times;
}

// Thumbnails of `distinct` times from the `first` on, round and round.
void DecodeThumbnails(benchmark::State &state, size_t first, size_t distinct)
{
    auto server = LargeStore();
    if (!server) {
        state.SkipWithError("no large store");
        return;
    }
    ResourceKey key;
    auto times = ThumbnailTimes(*server, key);
    times.erase(times.begin(),
                times.begin() + static_cast<std::ptrdiff_t>(std::min(first, times.size())));
    if (distinct < times.size())
        times.resize(distinct);
    if (times.empty()) {
        state.SkipWithError("no recordings");
        return;
    }
    const int generated = server->MediaCache().Generated();
    size_t at = 0;
    for (auto _ : state) {
        QImage image;
        std::string error;
        if (!server->DecodeFrame(key, times[at++ % times.size()], image, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["media_generated"] = server->MediaCache().Generated() - generated;
}

// One thumbnail whose media is already in the cache: the frame of a recording at a time point.
void BM_DecodeThumbnail(benchmark::State &state)
{
    auto server = LargeStore();
    if (server) {
        // Generate the media of the times first, outside the measurement.
        ResourceKey key;
        auto times = ThumbnailTimes(*server, key);
        for (size_t i = 0; i < 8 && i < times.size(); ++i) {
            QImage image;
            std::string error;
            server->DecodeFrame(key, times[i], image, error);
        }
    }
    DecodeThumbnails(state, 0, 8);
}
BENCHMARK(BM_DecodeThumbnail)->Unit(benchmark::kMillisecond);

// One thumbnail of a moment whose media is not generated yet: generation, then decoding.
void BM_DecodeThumbnailFirstTime(benchmark::State &state)
{
    DecodeThumbnails(state, 8, std::numeric_limits<size_t>::max());
}
BENCHMARK(BM_DecodeThumbnailFirstTime)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fonts for the text drawn into the clips need a GUI application.
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    scratch = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
