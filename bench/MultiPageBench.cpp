// The thumbnail view over a 5,000-result search of the large store, at 1280x800: pages of 60
// tiles added at the bottom (median and p95, pictures decoded elsewhere), then a trip from the
// top to the bottom and back by wheel events, settling until every tile in view has its picture,
// with the resident memory, the pictures asked for and the most asked for at once.
//
// TVS_BENCH_STORE=<dir> keeps the large store between runs; TVS_BENCH_SETTLE_EVERY=<n> settles
// the pictures every n screens of the trip (default 4; 1 settles at every screen).

#include "data/VideoDataManager.h"
#include "extension/VideoSearchExpandInterface.h"
#include "search/VideoSearchController.h"
#include "views/GridThumbnailWidget.h"
#include "views/MultiPageGroupWidget.h"
#include "views/MultiPageMoreWidget.h"
#include "views/MultiPageWidget.h"

#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "resources/Resources.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

using namespace TeskVideoSearch;

namespace {

constexpr int kResults = 5000;
constexpr int kWaitMs = 120000;
const QSize kViewSize(1280, 800);

long StatusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    }
    return -1;
}

class ThumbnailHost : public CVideoSearchExpandInterface
{
public:
    bool IsSupportThumbnail(const ResourceData::StorageMediaType &,
                            const ResourceData::StorageLocation &, const QString &,
                            const QString &) override
    {
        return true;
    }
};

struct Result
{
    std::shared_ptr<CVideoSearchController> controller;
    QVector<CResourceKey> keys;
    ThumbnailHost host;
};

Result &LargeResult()
{
    static QTemporaryDir scratch;
    static Result result;
    static bool ready = [] {
        TeskResources::Register();
        auto options = teskrecordserver::GeneratorOptions::Large();
        options.days = 1;
        options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;
        options.jpeg_capture_hours = 0;
        const QString dir = qEnvironmentVariableIsSet("TVS_BENCH_STORE")
                                ? qEnvironmentVariable("TVS_BENCH_STORE")
                                : QDir(scratch.path()).filePath("large");
        static auto server = std::make_shared<teskrecordserver::CRecordingServer>();
        const auto status = server->Open(dir.toStdString(), options);
        if (!status.IsOk())
            qFatal("large store: %s", status.Message().c_str());
        server->PublishToHost();
        teskrecordserver::CRecordingServer::Install(server);

        result.controller = std::make_shared<CVideoSearchController>();
        teskplaycontroller::CCameraVideoSearchCondition condition;
        auto &data = *condition.GetDataPtr();
        data.search_guid = Quor::Base::GuidUtil::CreateGuid();
        data.search_type = teskplaycontroller::VideoSearchRecord;
        data.end_time = options.anchor;
        data.begin_time = options.anchor - 86400;
        for (const auto &camera : OrlPluginManager::CCameraDirectory::Instance().FindCameras({})) {
            teskplaycontroller::TeskCameraInfo info;
            info.ptr_camera_for_play =
                std::make_shared<teskplaycontroller::CCameraForPlay>(camera.site_id, camera.id);
            data.tesk_camera_info.push_back(info);
            CResourceKey key;
            key.SetVal_site_id(camera.site_id);
            key.SetVal_resource_id(camera.id);
            result.keys.push_back(key);
        }
        QSignalSpy events(result.controller.get(), &CVideoSearchController::SignalSearchResult);
        result.controller->SearchCameraFiles(condition, 1800);
        if (!QTest::qWaitFor(
                [&] {
                    return std::any_of(events.begin(), events.end(), [](const QList<QVariant> &a) {
                        return a.at(0).value<ClipSearchEvent>().GetEventType() ==
                               ClipSearchFinished;
                    });
                },
                kWaitMs))
            qFatal("the search of the large store did not finish");
        return true;
    }();
    (void)ready;
    return result;
}

std::shared_ptr<CVideoDataManager> NewManager(Result &result)
{
    auto manager = std::make_shared<CVideoDataManager>();
    CVideoDataInitParam init;
    init.SetVal_qvc_filter_camera_keys(result.keys);
    init.SetVal_file_sort_type(SortStored);
    init.SetVal_video_data_type(RegularVideo);
    init.SetVal_ptr_expand_interface(&result.host);
    manager->InitDataParam(init, result.controller);
    const int total = result.controller->GetTotalFileNum(RegularVideo, result.keys);
    if (total < kResults)
        qFatal("the large store holds only %d results", total);
    manager->SetCurrentDataNum(kResults, false);
    return manager;
}

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(values.size() * fraction))];
}

// Pages of 60 appended until 5,000 are shown; each timed with the layout and painting it
// causes. Pictures are asked for only after their tiles' delay, outside the timed part.
void BM_AddPageOfSixty(benchmark::State &state)
{
    Result &result = LargeResult();
    std::vector<double> ms;
    std::vector<double> cpu_ms;
    std::vector<double> split_ms;
    for (auto _ : state) {
        auto manager = NewManager(result);
        const long before_kib = StatusKiB("VmRSS:");
        CMultiPageWidget view;
        view.resize(kViewSize);
        view.InitPageWidget(manager, QString());
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the view was not shown");
        while (view.GetThumbnailCount() < kResults) {
            QElapsedTimer timer;
            timer.start();
            const double cpu_before = ThreadCpuMs();
            view.LoadNextPageData();
            split_ms.push_back(ThreadCpuMs() - cpu_before);
            QCoreApplication::processEvents();
            const double page_ms = timer.nsecsElapsed() / 1e6;
            ms.push_back(page_ms);
            cpu_ms.push_back(ThreadCpuMs() - cpu_before);
            state.SetIterationTime(page_ms / 1e3);
        }
        // What the tiles themselves cost, pictures aside.
        state.counters["tiles_MiB"] = (StatusKiB("VmRSS:") - before_kib) / 1024.0;
        manager->StopLoadThumbnail();
    }
    state.counters["pages"] = static_cast<double>(ms.size());
    state.counters["median_ms"] = Percentile(ms, 0.5);
    state.counters["p95_ms"] = Percentile(ms, 0.95);
    // The machine is shared: the user-interface thread's own processor time per page too.
    state.counters["median_cpu_ms"] = Percentile(cpu_ms, 0.5);
    state.counters["load_cpu_ms"] = Percentile(split_ms, 0.5);
    state.counters["last_page_ms"] = ms.empty() ? 0 : ms.back();
}
BENCHMARK(BM_AddPageOfSixty)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

struct Trip
{
    explicit Trip(Result &result)
        : manager(NewManager(result))
    {
        view.resize(kViewSize);
        view.InitPageWidget(manager, QString());
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the view was not shown");
        area = view.findChild<QScrollArea *>("ptr_scrollarea_");
        tip = view.findChild<CMultiPageMoreWidget *>();
        QObject::connect(manager.get(), &CVideoDataManager::SignalThumbnailFinished, &view, [this] {
            ++answers;
            Sample();
        });
    }

    QList<CGridThumbnailWidget *> Tiles() const
    {
        QList<CGridThumbnailWidget *> tiles;
        for (CMultiPageGroupWidget *group : view.GetGroups())
            tiles << group->GetThumbnails().values();
        return tiles;
    }

    // In flight as the tiles see it: asked for and not yet answered.
    void Sample()
    {
        int fetching = 0;
        for (CMultiPageGroupWidget *group : view.GetGroups()) {
            for (CGridThumbnailWidget *tile : group->GetThumbnails())
                fetching += tile->ThumbnailState() == ThumbnailFetching ? 1 : 0;
        }
        most_in_flight = std::max(most_in_flight, fetching);
    }

    bool VisibleLoaded() const
    {
        const QRect viewport = area->viewport()->rect();
        bool any = false;
        for (CMultiPageGroupWidget *group : view.GetGroups()) {
            for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
                if (!QRect(tile->mapTo(area->viewport(), QPoint()), tile->size())
                         .intersects(viewport))
                    continue;
                any = true;
                if (tile->ThumbnailState() != ThumbnailLoaded)
                    return false;
            }
        }
        return any;
    }

    void Settle()
    {
        if (!QTest::qWaitFor([this] { return VisibleLoaded(); }, kWaitMs))
            std::fprintf(stderr, "pictures in view did not all arrive at %d\n",
                         area->verticalScrollBar()->value());
        // Progress on standard error: a trip takes minutes.
        std::fprintf(stderr, "at %d of %d: %d tiles, %d pictures asked\n",
                     area->verticalScrollBar()->value(), area->verticalScrollBar()->maximum(),
                     view.GetThumbnailCount(), answers);
    }

    void Wheel(int delta)
    {
        QWidget *viewport = area->viewport();
        const QPoint at = viewport->rect().center();
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        QCoreApplication::processEvents();
        Sample();
    }

    std::shared_ptr<CVideoDataManager> manager;
    CMultiPageWidget view;
    QScrollArea *area = nullptr;
    CMultiPageMoreWidget *tip = nullptr;
    int answers = 0;
    int most_in_flight = 0;
};

void BM_ScrollTripWithPictures(benchmark::State &state)
{
    Result &result = LargeResult();
    const int settle_every =
        std::max(1, qEnvironmentVariableIntValue("TVS_BENCH_SETTLE_EVERY") > 0
                        ? qEnvironmentVariableIntValue("TVS_BENCH_SETTLE_EVERY")
                        : 4);
    for (auto _ : state) {
        Trip trip(result);
        QScrollBar *bar = trip.area->verticalScrollBar();
        trip.manager->SetCurrentDataNum(kResults + 1, false);
        trip.manager->SetCurrentDataNum(kResults, true);
        if (!QTest::qWaitFor([&] { return trip.view.GetThumbnailCount() > 0; }, kWaitMs)) {
            state.SkipWithError("the first page did not come");
            return;
        }
        trip.Settle();
        const long first_page_kib = StatusKiB("VmRSS:");

        // Down: wheel until the end of the result, loading pages as an operator does.
        int screens = 0;
        int last_settled = 0;
        // A view that stops growing ends the trip instead of wheeling forever.
        for (int wheels = 0;; ++wheels) {
            if (wheels > 100000) {
                state.SkipWithError("the bottom of the result was never reached");
                return;
            }
            const int before = bar->value();
            trip.Wheel(-120);
            if (trip.tip->isVisible() && trip.tip->GetTipState() == MoreTipLoading) {
                if (!QTest::qWaitFor([&] { return !trip.tip->isVisible(); }, kWaitMs)) {
                    state.SkipWithError("a page did not come");
                    return;
                }
                continue;
            }
            if (bar->value() - last_settled >= bar->pageStep()) {
                last_settled = bar->value();
                if (++screens % settle_every == 0)
                    trip.Settle();
            }
            if (bar->value() == before && bar->value() == bar->maximum() &&
                trip.view.GetBottomDataId() == kResults - 1)
                break;
        }
        trip.Settle();
        // Up again, every tile already in place.
        last_settled = bar->value();
        while (bar->value() > 0) {
            trip.Wheel(120);
            if (last_settled - bar->value() >= bar->pageStep()) {
                last_settled = bar->value();
                if (++screens % settle_every == 0)
                    trip.Settle();
            }
        }
        trip.Settle();
        const long after_kib = StatusKiB("VmRSS:");
        state.counters["tiles"] = trip.view.GetThumbnailCount();
        state.counters["rss_first_page_MiB"] = first_page_kib / 1024.0;
        state.counters["rss_peak_MiB"] = StatusKiB("VmHWM:") / 1024.0;
        state.counters["rss_after_trip_MiB"] = after_kib / 1024.0;
        state.counters["rss_growth_pct"] =
            100.0 * (after_kib - first_page_kib) / std::max(1L, first_page_kib);
        state.counters["requests"] = trip.answers;
        state.counters["most_in_flight"] = trip.most_in_flight;
        long loaded = 0;
        for (CGridThumbnailWidget *tile : trip.Tiles())
            loaded += tile->ThumbnailState() == ThumbnailLoaded ? 1 : 0;
        state.counters["pictures_held"] = static_cast<double>(loaded);
        trip.manager->StopLoadThumbnail();
    }
}
BENCHMARK(BM_ScrollTripWithPictures)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
