// The list view: append a page of 60 rows to a list that already shows 5,000, as the thumbnail
// view's range announcements do; median and p95 over repeated runs, per order of the rows.

#include "data/VideoDataManager.h"
#include "search/VideoSearchController.h"
#include "views/ListSightWidget.h"

#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TeskVideoSearch;

namespace {

constexpr int kShown = 5000;
constexpr int kPage = 60;
constexpr int kRuns = 31;

std::shared_ptr<CVideoSearchController> Search(QVector<CResourceKey> &keys, int64_t anchor)
{
    auto controller = std::make_shared<CVideoSearchController>();
    teskplaycontroller::CCameraVideoSearchCondition condition;
    auto &data = *condition.GetDataPtr();
    data.search_guid = Quor::Base::GuidUtil::CreateGuid();
    data.search_type = teskplaycontroller::VideoSearchRecord;
    data.begin_time = anchor - 7 * 86400;
    data.end_time = anchor;
    for (const auto &camera : OrlPluginManager::CCameraDirectory::Instance().FindCameras({})) {
        teskplaycontroller::TeskCameraInfo info;
        info.ptr_camera_for_play =
            std::make_shared<teskplaycontroller::CCameraForPlay>(camera.site_id, camera.id);
        data.tesk_camera_info.push_back(info);
        CResourceKey key;
        key.SetVal_site_id(camera.site_id);
        key.SetVal_resource_id(camera.id);
        keys.push_back(key);
    }
    QSignalSpy results(controller.get(), &CVideoSearchController::SignalSearchResult);
    controller->SearchCameraFiles(condition, 600);
    const bool finished = QTest::qWaitFor(
        [&] {
            return std::any_of(results.begin(), results.end(), [](const QList<QVariant> &args) {
                return args.at(0).value<ClipSearchEvent>().GetEventType() == ClipSearchFinished;
            });
        },
        120000);
    if (!finished)
        std::fprintf(stderr, "the search did not finish\n");
    return controller;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TeskResources::Register();
    QTemporaryDir dir;
    teskrecordserver::GeneratorOptions options;
    options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;
    options.jpeg_capture_hours = 0;
    auto server = std::make_shared<teskrecordserver::CRecordingServer>();
    server->Open(dir.path().toStdString(), options);
    server->PublishToHost();
    teskrecordserver::CRecordingServer::Install(server);
    QVector<CResourceKey> keys;
    const auto controller = Search(keys, options.anchor);

    for (FileSortType sort : {SortBeginAscending, SortStored}) {
        auto manager = std::make_shared<CVideoDataManager>();
        CVideoDataInitParam init;
        init.SetVal_qvc_filter_camera_keys(keys);
        init.SetVal_file_sort_type(sort);
        init.SetVal_video_data_type(RegularVideo);
        init.SetVal_time_type({OrlSearchTimeType::ClientTime, true});
        manager->InitDataParam(init, controller);
        const int total = controller->GetTotalFileNum(RegularVideo, keys);
        manager->SetCurrentDataNum(total, false);
        if (total < kShown + kPage) {
            std::fprintf(stderr, "only %d rows\n", total);
            return 1;
        }
        CListSightWidget list;
        CListSightWidgetParam param;
        param.SetVal_ptr_data_manager(manager);
        list.resize(1000, 600);
        list.InitListWidget(param);
        // TVS_BENCH_HIDDEN=1 leaves out the view's relayout and painting.
        if (!qEnvironmentVariableIsSet("TVS_BENCH_HIDDEN"))
            list.show();
        std::vector<double> ms;
        for (int run = 0; run < kRuns; ++run) {
            list.ClearData();
            for (int begin = 0; begin < kShown; begin += kPage) {
                emit manager->SignalLoadEndDataToList(begin, std::min(begin + kPage, kShown) - 1);
                QCoreApplication::processEvents();
            }
            QElapsedTimer timer;
            timer.start();
            emit manager->SignalLoadEndDataToList(kShown, kShown + kPage - 1);
            QCoreApplication::processEvents();
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::vector<double> fetch;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            manager->GetDataByIndex(kShown, kShown + kPage - 1);
            fetch.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(fetch.begin(), fetch.end());
        std::printf("  of which the data manager's fetch: median %.2f ms\n",
                    fetch[fetch.size() / 2]);
        std::sort(ms.begin(), ms.end());
        std::printf("append %d rows to %d, %s order: median %.2f ms, p95 %.2f ms\n", kPage, kShown,
                    sort == SortStored ? "camera" : "time", ms[ms.size() / 2],
                    ms[ms.size() * 95 / 100]);
    }
    return 0;
}
