#pragma once

#include "search/VideoSearchController.h"

#include "doubles/ScriptedRecordingSource.h"
#include "lattice/NewInfoDlg.h"
#include "pluginmanager/PluginManager.h"
#include "testkit/TestKit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <vector>

namespace ControllerTest {

using namespace TeskVideoSearch;
using teskplaycontroller::CScriptedRecordingSource;
using teskplaycontroller::PlaybackFileList;

// What a ClipSearchEvent carried, in a form that compares easily.
struct SeenEvent
{
    int type = 0;
    int count = 0;
    bool max_data = false;
    QString error;
    bool vca_config = false;
    bool support_vca_config = false;
};

using TestKit::CameraKey;
using TestKit::DeviceFiles;

inline std::shared_ptr<teskplaycontroller::CLabelFile> LabelFile(int64_t begin, int label_type)
{
    auto file = std::make_shared<teskplaycontroller::CLabelFile>(begin, begin + 59, "tag");
    file->SetRcordLabelType(label_type);
    return file;
}

inline std::shared_ptr<CPlaybackFile> PersonVehicleFile(int64_t begin, int event_type)
{
    auto file = std::make_shared<teskplaycontroller::CPersonVehicleFile>(begin, begin + 59, "pv");
    file->SetEventType(event_type);
    return file;
}

// Returns templates with numbered places for the keys that take arguments and marks every
// other key, so that a test sees which text went where.
class CMarkingTranslator : public QTranslator
{
public:
    QString translate(const char *, const char *key, const char *, int) const override
    {
        const QString text = QString::fromLatin1(key);
        const int places = PlacesOf(text);
        if (places == 0)
            return "<" + text + ">";
        QStringList numbered;
        for (int i = 1; i <= places; ++i)
            numbered << QStringLiteral("%%1").arg(i);
        return text + "(" + numbered.join(",") + ")";
    }
    bool isEmpty() const override { return false; }

private:
    static int PlacesOf(const QString &key)
    {
        if (key.contains("0cdc19656cf641c8a303bb5ca435f3d7"))
            return 4;
        if (key.contains("f6fdab1051bf4248bbf4a18a434f575c"))
            return 3;
        if (key.contains("54cbc90683024161aefeed1d2dfda64a") ||
            key.contains("0cca1652109f42cab8a326bb277002aa") ||
            key.contains("064700c0f8e84c98b55d1fd0e5bc44e1"))
            return 2;
        if (key == "VideoRetrievalFailedOyWUrwFt")
            return 1;
        return 0;
    }
};

class ControllerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source_ = std::make_shared<CScriptedRecordingSource>();
        teskplaycontroller::CRecordingSourceRegistry::SetSource(source_);
        auto &directory = OrlPluginManager::CCameraDirectory::Instance();
        directory.Clear();
        const char *names[] = {"Gate", "Yard", "Dock", "Hall"};
        for (int i = 0; i < 4; ++i) {
            OrlPluginManager::Camera camera;
            camera.id = "c" + std::to_string(i + 1);
            camera.site_id = "s1";
            camera.name = names[i];
            directory.AddCamera(camera);
        }
        OrlPluginManager::CLogBusinessInterfaceMgr::Instance().ClearRecords();
        Lattice::CNewInfoDlg::ClearShownTexts();
        controller_ = std::make_unique<CVideoSearchController>(nullptr);
        spy_ = std::make_unique<QSignalSpy>(controller_.get(),
                                            &CVideoSearchController::SignalSearchResult);
        // Queued after the controller's own slot, so a state seen here was handled there.
        QObject::connect(
            controller_.get(), &CVideoSearchController::SignalUpdateCameraSearchState, &relay_,
            [this](const CVideoSearchController::CameraParam &param) {
                camera_states_.emplace_back(param.search_guid, param.state_type);
            },
            Qt::QueuedConnection);
        QObject::connect(
            controller_.get(), &CVideoSearchController::SignalUpdateVCASearchState, &relay_,
            [this](const CVideoSearchController::VCAParam &param) {
                vca_states_.emplace_back(param.search_guid, param.state_type);
            },
            Qt::QueuedConnection);
    }

    void TearDown() override
    {
        source_->ReleaseAll();
        spy_.reset();
        controller_.reset();
        teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
        Lattice::CNewInfoDlg::CloseAll();
        OrlPluginManager::CCameraDirectory::Instance().Clear();
    }

    // A search of cameras of site s1.
    static teskplaycontroller::CCameraVideoSearchCondition
    Condition(const std::string &guid, teskplaycontroller::VideoSearchType type,
              const std::vector<std::string> &cameras)
    {
        std::vector<TestKit::CameraRef> refs;
        for (const auto &id : cameras)
            refs.push_back({"s1", id});
        return TestKit::CameraSearchCondition(guid, type, refs);
    }

    bool Search(const std::string &guid, teskplaycontroller::VideoSearchType type,
                const std::vector<std::string> &cameras, int split = 0)
    {
        auto condition = Condition(guid, type, cameras);
        return controller_->SearchCameraFiles(condition, split);
    }

    std::vector<SeenEvent> Events() const
    {
        std::vector<SeenEvent> events;
        for (const auto &arguments : *spy_) {
            const auto data = qvariant_cast<ClipSearchEvent>(arguments.at(0)).GetEventData();
            SeenEvent seen;
            seen.type = data.GetVal_event_type_();
            seen.count = data.GetVal_current_data_num_();
            seen.max_data = data.GetVal_max_data();
            seen.error = data.GetVal_vca_error_info();
            seen.vca_config = data.GetVal_vca_config();
            seen.support_vca_config = data.GetVal_support_vca_config();
            events.push_back(seen);
        }
        return events;
    }

    std::vector<int> EventTypes() const
    {
        std::vector<int> types;
        for (const auto &event : Events())
            types.push_back(event.type);
        return types;
    }

    bool WaitForEvent(int type)
    {
        return QTest::qWaitFor([&] { return Contains(EventTypes(), type); }, 10000);
    }
    bool WaitForCameraState(const std::string &guid, int state)
    {
        return QTest::qWaitFor([&] { return Contains(camera_states_, {guid, state}); }, 10000);
    }
    bool WaitForVCAState(int state)
    {
        return QTest::qWaitFor(
            [&] {
                return std::any_of(vca_states_.begin(), vca_states_.end(),
                                   [&](const auto &seen) { return seen.second == state; });
            },
            10000);
    }

    template<class T>
    static bool Contains(const std::vector<T> &seen, const T &wanted)
    {
        return std::find(seen.begin(), seen.end(), wanted) != seen.end();
    }

    // Lets every answer already queued reach the controller.
    static void Drain()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    std::shared_ptr<CScriptedRecordingSource> source_;
    std::unique_ptr<CVideoSearchController> controller_;
    std::unique_ptr<QSignalSpy> spy_;
    QObject relay_;
    std::vector<std::pair<std::string, int>> camera_states_;
    std::vector<std::pair<std::string, int>> vca_states_;
};

} // namespace ControllerTest
