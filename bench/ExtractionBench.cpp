// Result pages over a large store: the first page after a change, repeated pages, the re-split
// of every file on the pool, and a plain full sort of the same store as the reference.

#include "search/VideoSearchController.h"

#include "doubles/ScriptedRecordingSource.h"
#include "testkit/TestKit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>

#include <algorithm>
#include <map>
#include <memory>

using namespace TeskVideoSearch;

namespace {

constexpr int kCameras = 200;
constexpr int64_t kBase = 1796450400;

// One controller per store size, filled once by a regular-recordings search: every camera's
// files back to back, one minute each, with many equal begin times across cameras.
struct Store
{
    std::unique_ptr<CVideoSearchController> controller;
    QVector<CResourceKey> cameras;
};

Store &StoreOf(int files)
{
    static std::map<int, Store> stores;
    Store &store = stores[files];
    if (store.controller)
        return store;
    auto source = std::make_shared<teskplaycontroller::CScriptedRecordingSource>();
    teskplaycontroller::CRecordingSourceRegistry::SetSource(source);
    std::vector<TestKit::CameraRef> refs;
    const int per_camera = files / kCameras;
    for (int c = 0; c < kCameras; ++c) {
        const std::string site = "site" + std::to_string(c % 7);
        const std::string id = "camera" + std::to_string(c);
        teskplaycontroller::PlaybackFileList list;
        for (int f = 0; f < per_camera; ++f) {
            const int64_t begin = kBase + 60 * f + (c % 3) * 20;
            list.push_back(std::make_shared<teskplaycontroller::CDeviceFile>(
                begin, begin + 60, id + "-" + std::to_string(f)));
        }
        source->SetCameraFiles(site, id, list);
        refs.push_back({site, id});
        store.cameras.append(TestKit::CameraKey(site, id));
    }
    auto condition = TestKit::CameraSearchCondition("bench-" + std::to_string(files),
                                                    teskplaycontroller::VideoSearchRecord, refs);
    store.controller = std::make_unique<CVideoSearchController>();
    QSignalSpy spy(store.controller.get(), &CVideoSearchController::SignalSearchResult);
    store.controller->SearchCameraFiles(condition, 600);
    for (;;) {
        const bool finished = std::any_of(spy.begin(), spy.end(), [](const QList<QVariant> &a) {
            return a.at(0).value<ClipSearchEvent>().GetEventType() == ClipSearchFinished;
        });
        if (finished || !spy.wait(60000))
            break;
    }
    return store;
}

CameraFilesList Page(Store &store, VideoDataType kind, FileSortType order, int begin)
{
    CVideoFileParam param;
    param.SetVal_data_type(kind);
    param.SetVal_show_type(order);
    param.SetVal_qvc_filter_camera_keys(store.cameras);
    param.SetVal_begin_index(begin);
    param.SetVal_end_index(begin + 59);
    CameraFilesList out;
    store.controller->GetVideoFiles(out, param);
    return out;
}

// A change that leaves the files as they are but is a change of the store all the same.
void TouchStore(Store &store)
{
    CResourceKey camera = store.cameras.first();
    store.controller->DeleteUnLabelFile(camera, -5, -5);
}

void BM_PageRepeated(benchmark::State &state)
{
    Store &store = StoreOf(static_cast<int>(state.range(0)));
    const auto kind = static_cast<VideoDataType>(state.range(1));
    const auto order = static_cast<FileSortType>(state.range(2));
    Page(store, kind, order, 0);
    int begin = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Page(store, kind, order, begin));
        begin = (begin + 600) % 6000;
    }
}

void BM_PageFirstAfterChange(benchmark::State &state)
{
    Store &store = StoreOf(static_cast<int>(state.range(0)));
    const auto kind = static_cast<VideoDataType>(state.range(1));
    const auto order = static_cast<FileSortType>(state.range(2));
    for (auto _ : state) {
        state.PauseTiming();
        TouchStore(store);
        state.ResumeTiming();
        benchmark::DoNotOptimize(Page(store, kind, order, 3000));
    }
}

// What a page would cost if every page sorted the whole store.
void BM_FullSortReference(benchmark::State &state)
{
    Store &store = StoreOf(static_cast<int>(state.range(0)));
    CameraFilesList all;
    CVideoFileParam param;
    param.SetVal_data_type(AllCameraFileVideo);
    param.SetVal_qvc_filter_camera_keys(store.cameras);
    param.SetVal_end_index(1 << 30);
    store.controller->GetVideoFiles(all, param);
    for (auto _ : state) {
        CameraFilesList list = all;
        std::sort(list.begin(), list.end(),
                  [](const CameraFilesEntry &a, const CameraFilesEntry &b) {
                      const int64_t x = a.second.first()->GetFileBegTime();
                      const int64_t y = b.second.first()->GetFileBegTime();
                      if (x != y)
                          return x < y;
                      return teskplaycontroller::KeyLess(a.first.GetDataPtr()->camera_key,
                                                         b.first.GetDataPtr()->camera_key);
                  });
        benchmark::DoNotOptimize(list.mid(3000, 60));
    }
}

// Counts the re-split signals on the benchmark's thread; they come from a pool thread.
class CSplitReceiver : public QObject
{
public:
    explicit CSplitReceiver(CVideoSearchController &controller)
    {
        connect(
            &controller, &CVideoSearchController::SignalAllOriginFilesSplitFinished, this,
            [this] { ++finished; }, Qt::QueuedConnection);
    }
    int finished = 0;
};

// From the request to the finished signal, on Qt's global pool.
void BM_SplitAllOriginFiles(benchmark::State &state)
{
    Store &store = StoreOf(static_cast<int>(state.range(0)));
    CSplitReceiver receiver(*store.controller);
    // Kept across runs of this function: the same length twice in a row would start nothing.
    static int length = 300;
    for (auto _ : state) {
        length = length == 300 ? 301 : 300;
        const int expected = receiver.finished + 1;
        store.controller->SplitAllOriginFiles(length, QString::number(length));
        while (receiver.finished < expected)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

const std::vector<int64_t> kSizes = {10000, 100000};

BENCHMARK(BM_PageRepeated)
    ->ArgsProduct({kSizes, {AllCameraFileVideo, RegularVideo}, {SortStored, SortBeginAscending}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageFirstAfterChange)
    ->ArgsProduct({kSizes, {AllCameraFileVideo}, {SortStored, SortBeginAscending}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullSortReference)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitAllOriginFiles)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
