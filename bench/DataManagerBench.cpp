// Thumbnails of a result page: request and release 5,000 pictures through the data manager
// and watch the resident memory, which must stay flat once the first batch is in.

#include "data/VideoDataManager.h"
#include "search/VideoSearchController.h"

#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "resources/Resources.h"
#include "testkit/TestKit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <string>

using namespace TeskVideoSearch;

namespace {

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

struct Page
{
    std::shared_ptr<CVideoSearchController> controller;
    std::shared_ptr<CVideoDataManager> manager;
    std::vector<CustomVideoDataPtr> items;
};

Page &ThePage()
{
    static QTemporaryDir dir;
    static Page page = [] {
        TeskResources::Register();
        teskrecordserver::GeneratorOptions options;
        options.cameras = 8;
        options.days = 2;
        options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;
        auto server = std::make_shared<teskrecordserver::CRecordingServer>();
        server->Open(dir.path().toStdString(), options);
        server->PublishToHost();
        teskrecordserver::CRecordingServer::Install(server);

        Page p;
        p.controller = std::make_shared<CVideoSearchController>();
        const auto cameras = TestKit::DirectoryCameras();
        auto condition = TestKit::CameraSearchCondition(
            Quor::Base::GuidUtil::CreateGuid(), teskplaycontroller::VideoSearchLock, cameras,
            options.anchor - 2 * 86400, options.anchor);
        QVector<CResourceKey> keys;
        for (const TestKit::CameraRef &camera : cameras)
            keys.push_back(TestKit::CameraKey(camera.site, camera.id));
        QSignalSpy done(p.controller.get(), &CVideoSearchController::SignalSearchResult);
        p.controller->SearchCameraFiles(condition, 0);
        const bool finished = QTest::qWaitFor(
            [&] {
                for (const auto &args : done) {
                    if (args.at(0).value<ClipSearchEvent>().GetEventType() == ClipSearchFinished)
                        return true;
                }
                return false;
            },
            30000);
        if (!finished)
            std::fprintf(stderr, "the search did not finish\n");
        p.manager = std::make_shared<CVideoDataManager>();
        CVideoDataInitParam init;
        init.SetVal_video_data_type(LockVideo);
        init.SetVal_qvc_filter_camera_keys(keys);
        p.manager->InitDataParam(init, p.controller);
        p.manager->SetCurrentDataNum(p.controller->GetTotalFileNum(LockVideo, keys), false);
        p.items = p.manager->GetDataByIndex(0, p.manager->GetDataNum() - 1);
        return p;
    }();
    return page;
}

// Requests `count` thumbnails, as the grid does, and releases each picture once shown.
void LoadAndRelease(Page &page, int count)
{
    int answered = 0;
    QObject::connect(page.manager.get(), &CVideoDataManager::SignalThumbnailFinished,
                     page.manager.get(),
                     [&](const teskplaycontroller::ThumbnailKey &,
                         const teskplaycontroller::ThumbnailResult &result) {
                         auto &item = page.items[static_cast<size_t>(answered) % page.items.size()];
                         item->SetThumbnailImage(result.image);
                         item->InsertPairData(KeyThumbnailState, ThumbnailLoaded);
                         item->SetThumbnailImage(QImage());
                         item->InsertPairData(KeyThumbnailState, ThumbnailNotLoaded);
                         ++answered;
                     });
    for (int i = 0; i < count; ++i) {
        const auto &item = page.items[static_cast<size_t>(i) % page.items.size()];
        PlaybackFileVector files;
        item->GetFileDatas(files);
        page.manager->GetThumbnailByTime({item->GetPairData(KeySiteId).toString().toStdString(),
                                          item->GetPairData(KeyCameraId).toString().toStdString(),
                                          files.front()->GetFileBegTime() + i % 5});
        // At most a handful in flight, as the thumbnail view keeps it.
        if (!QTest::qWaitFor([&] { return answered > i - 5; }, 30000))
            break;
    }
    if (!QTest::qWaitFor([&] { return answered == count; }, 30000))
        std::fprintf(stderr, "%d of %d thumbnails answered\n", answered, count);
    QObject::disconnect(page.manager.get(), &CVideoDataManager::SignalThumbnailFinished,
                        page.manager.get(), nullptr);
}

void BM_ThumbnailsRequestAndRelease(benchmark::State &state)
{
    Page &page = ThePage();
    LoadAndRelease(page, 200); // caches, decoder tables and the worker reach their size
    const long before = ResidentKiB();
    for (auto _ : state)
        LoadAndRelease(page, static_cast<int>(state.range(0)));
    const long after = ResidentKiB();
    state.counters["rss_before_KiB"] = static_cast<double>(before);
    state.counters["rss_growth_KiB"] = static_cast<double>(after - before);
    state.counters["per_thumbnail_us"] =
        benchmark::Counter(static_cast<double>(state.range(0) * state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ThumbnailsRequestAndRelease)
    ->Arg(5000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

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
