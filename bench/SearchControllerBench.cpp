// Ingest of camera answers into one controller, and the counts the pages ask for.
#include "search/VideoSearchController.h"

#include "doubles/ScriptedRecordingSource.h"
#include "playcontroller/RearrageRecordFile.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"
#include "testkit/TestKit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>

#include <memory>
#include <string>

namespace {

using namespace TeskVideoSearch;
using teskplaycontroller::CScriptedRecordingSource;
using teskplaycontroller::PlaybackFileList;

std::string CameraId(int index)
{
    return "camera-" + std::to_string(index);
}

// A camera's files: regular recordings, tags of each kind and detections of each kind.
PlaybackFileList MixedFiles(int count)
{
    PlaybackFileList files;
    files.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int64_t begin = 1000 + int64_t(i) * 60;
        std::shared_ptr<CPlaybackFile> file;
        switch (i % 4) {
        case 0:
            file = std::make_shared<teskplaycontroller::CDeviceFile>(begin, begin + 59, "rec");
            break;
        case 1: {
            auto label = std::make_shared<teskplaycontroller::CLabelFile>(begin, begin + 59, "tag");
            label->SetRcordLabelType(101 + i % 3);
            file = label;
            break;
        }
        default:
            file =
                std::make_shared<teskplaycontroller::CPersonVehicleFile>(begin, begin + 59, "pv");
            file->SetEventType(i % 8 < 4 ? 2 : 4);
            break;
        }
        files.push_back(file);
    }
    return files;
}

std::shared_ptr<CScriptedRecordingSource> ScriptSource(int cameras, int files_per_camera)
{
    auto source = std::make_shared<CScriptedRecordingSource>();
    for (int i = 0; i < cameras; ++i)
        source->SetCameraFiles("site", CameraId(i), MixedFiles(files_per_camera));
    teskplaycontroller::CRecordingSourceRegistry::SetSource(source);
    return source;
}

teskplaycontroller::CCameraVideoSearchCondition Condition(int cameras)
{
    std::vector<TestKit::CameraRef> refs;
    for (int i = 0; i < cameras; ++i)
        refs.push_back({"site", CameraId(i)});
    auto condition = TestKit::CameraSearchCondition("bench-" + std::to_string(cameras),
                                                    teskplaycontroller::VideoSearchRecord, refs);
    auto extra = std::make_shared<teskplaycontroller::CLableExtra>();
    extra->SetVal_label_type(101);
    condition.SetVal_ptr_label_extra(extra);
    return condition;
}

// Runs one search to its finish on this thread's event loop.
void RunSearch(CVideoSearchController &controller, int cameras)
{
    QEventLoop loop;
    QObject::connect(&controller, &CVideoSearchController::SignalSearchResult, &loop,
                     [&loop](const ClipSearchEvent &event) {
                         if (event.GetEventType() == ClipSearchFinished)
                             loop.quit();
                     });
    auto condition = Condition(cameras);
    if (controller.SearchCameraFiles(condition, 600))
        loop.exec();
}

void BM_IngestUntilFinished(benchmark::State &state)
{
    const int cameras = static_cast<int>(state.range(0));
    const int files = static_cast<int>(state.range(1));
    auto source = ScriptSource(cameras, files);
    for (auto _ : state) {
        CVideoSearchController controller;
        RunSearch(controller, cameras);
        state.PauseTiming();
        if (controller.GetTotalFileNum(RegularVideo, {}) != 0)
            state.SkipWithError("count of no camera");
        state.ResumeTiming();
    }
    state.counters["files"] = double(cameras) * files;
    state.counters["files_per_s"] =
        benchmark::Counter(double(cameras) * files, benchmark::Counter::kIsIterationInvariantRate);
    teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
}
BENCHMARK(BM_IngestUntilFinished)
    ->Args({20, 500})
    ->Args({200, 500})
    ->Args({200, 5000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// One controller holding 200 cameras x 500 files, shared by the count benchmarks.
struct CountFixture
{
    static constexpr int kCameras = 200;
    static constexpr int kFiles = 500;

    CountFixture()
    {
        source = ScriptSource(kCameras, kFiles);
        controller = std::make_unique<CVideoSearchController>();
        RunSearch(*controller, kCameras);
        for (int i = 0; i < kCameras; ++i) {
            CResourceKey key;
            key.SetVal_resource_id(CameraId(i));
            key.SetVal_site_id("site");
            all.append(key);
        }
    }

    static std::unique_ptr<CountFixture> &Instance()
    {
        static std::unique_ptr<CountFixture> fixture;
        return fixture;
    }

    static CountFixture &Get()
    {
        if (!Instance())
            Instance() = std::make_unique<CountFixture>();
        return *Instance();
    }

    std::shared_ptr<CScriptedRecordingSource> source;
    std::unique_ptr<CVideoSearchController> controller;
    QVector<CResourceKey> all;
};

void BM_TotalFileNum(benchmark::State &state)
{
    auto &fixture = CountFixture::Get();
    const auto type = static_cast<VideoDataType>(state.range(0));
    int count = 0;
    for (auto _ : state) {
        count = fixture.controller->GetTotalFileNum(type, fixture.all);
        benchmark::DoNotOptimize(count);
    }
    state.counters["count"] = count;
}
BENCHMARK(BM_TotalFileNum)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);

void BM_SingleCameraFilesNum(benchmark::State &state)
{
    auto &fixture = CountFixture::Get();
    const auto type = static_cast<VideoDataType>(state.range(0));
    CResourceKey camera = fixture.all.back();
    int count = 0;
    for (auto _ : state) {
        count = fixture.controller->GetSingleCameraFilesNum(type, camera);
        benchmark::DoNotOptimize(count);
    }
    state.counters["count"] = count;
}
BENCHMARK(BM_SingleCameraFilesNum)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);

void BM_VCAPersonOrVehicleFileNum(benchmark::State &state)
{
    auto &fixture = CountFixture::Get();
    int person = 0;
    int vehicle = 0;
    for (auto _ : state) {
        fixture.controller->GetVCAPersonOrVehicleFileNum(person, vehicle);
        benchmark::DoNotOptimize(person);
    }
    state.counters["person"] = person;
}
BENCHMARK(BM_VCAPersonOrVehicleFileNum)->Unit(benchmark::kMicrosecond);

// One camera's answer as the user-interface thread splits it: a week of recordings of 20 to 80
// minutes with gaps, cut into three-hour segments.
PlaybackFileVector WeekOfRecordings()
{
    PlaybackFileVector files;
    int64_t begin = 1'780'000'000;
    const int64_t end = begin + 7 * 86400;
    for (int i = 0; begin < end; ++i) {
        const int64_t length = 1200 + (i * 7919) % 3600;
        auto file = std::make_shared<teskplaycontroller::CDeviceFile>(begin, begin + length,
                                                                      "rec" + std::to_string(i));
        file->SetFileISOBeginTime(Quor::Base::TimeUtil::TimeT2ISODatetime(begin, 3600, false));
        file->SetFileISOEndTime(
            Quor::Base::TimeUtil::TimeT2ISODatetime(begin + length, 3600, false));
        file->SetFileSize(length * 250'000);
        files.append(file);
        begin += length + 60 + (i * 104729) % 1800;
    }
    return files;
}

void BM_SplitOneCamera(benchmark::State &state)
{
    CVideoSearchController controller;
    CVideoSplitInfo info;
    CResourceKey key;
    key.SetVal_site_id("site");
    key.SetVal_resource_id(CameraId(0));
    info.GetDataPtr()->camera_info.camera_key = *key.GetDataPtr();
    info.GetDataPtr()->split_time_duration = 10800;
    info.GetDataPtr()->qvc_playback_files = WeekOfRecordings();
    int segments = 0;
    for (auto _ : state)
        segments = controller.SplitCustomFiles(info);
    state.counters["files"] = info.GetDataPtr()->qvc_playback_files.size();
    state.counters["segments"] = segments;
}
BENCHMARK(BM_SplitOneCamera)->Unit(benchmark::kMicrosecond);

void BM_RearrangeOneCamera(benchmark::State &state)
{
    teskplaycontroller::VideoFileSplitParam request;
    const PlaybackFileVector files = WeekOfRecordings();
    request.vc_files.assign(files.begin(), files.end());
    request.begin_time = files.first()->GetFileBegTime();
    request.end_time = files.last()->GetFileEndTime();
    request.split_length = 10800;
    for (auto _ : state) {
        teskplaycontroller::SegmentFileMap map;
        teskplaycontroller::CRearrageRecordFileImpl::RearrageRecordFilesByLength(map, request);
        benchmark::DoNotOptimize(map);
    }
}
BENCHMARK(BM_RearrangeOneCamera)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The controller and its service threads go before the application object.
    CountFixture::Instance().reset();
    teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
    return 0;
}
