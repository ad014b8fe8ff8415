// The main panel over the embedded recording server: what the operator does reaches the
// services, and what the services answer reaches the tabs, the pages and the play area.

#include "panels/ClipVideoSearchWidget.h"
#include "panels/AbstractSearchWidget.h"
#include "panels/ClipSearchCondition.h"
#include "panels/SearchCalendarWidget.h"
#include "panels/TagConditionWidget.h"
#include "playback/ClipPlaybackWidget.h"
#include "search/VideoSearchController.h"
#include "views/GridThumbnailWidget.h"

#include "PanelsTestSupport.h"
#include "StoreSearch.h"

#include "lattice/NewInfoDlg.h"
#include "lattice/SlideDock.h"
#include "playcontroller/RecordingSource.h"
#include "playwindow/PlaybackWindow.h"
#include "plexacontrol/ModalTipDialog.h"
#include "plexacontrol/StackedWidget.h"
#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "resources/Resources.h"
#include "uidatacontroller/CustomConfigManager.h"
#include "uidatacontroller/MessageTipManager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <map>
#include <mutex>
#include <set>

using namespace TeskVideoSearch;
using teskplaycontroller::VideoSearchType;

namespace {

constexpr int kWaitMs = 30000;
constexpr int kCameraCount = 8;

bool WaitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, kWaitMs);
}

QString PanelText(const char *key)
{
    return ClipVideoSearchWidget::tr(key);
}

// The embedded server, noting the searches it is asked for and the tag or lock changes.
class CSpyServer : public teskrecordserver::CRecordingServer
{
public:
    struct Search
    {
        VideoSearchType type = teskplaycontroller::VideoSearchRecord;
        int filter = -1; // the label type of a tag search, the event type of a person-vehicle one
        std::set<int> camera_type_codes;
    };

    std::map<std::string, Search> Searches() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return searches_;
    }
    void ClearSearches()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        searches_.clear();
    }
    int StartedChanges() const { return started_changes_.load(); }
    int EndedChanges() const { return ended_changes_.load(); }

    teskplaycontroller::CameraSearchAnswer
    SearchCamera(const teskplaycontroller::CameraVideoSearchCondition &condition,
                 const teskplaycontroller::TeskCameraInfo &camera,
                 const std::atomic<bool> &cancelled) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            Search &search = searches_[condition.search_guid];
            search.type = condition.search_type;
            if (condition.ptr_label_extra)
                search.filter = condition.ptr_label_extra->GetVal_label_type();
            if (condition.ptr_person_vehicle_extra)
                search.filter = condition.ptr_person_vehicle_extra->GetVal_event_type();
            search.camera_type_codes.insert(camera.camera_type_code);
        }
        return CRecordingServer::SearchCamera(condition, camera, cancelled);
    }
    bool OperateLabel(const teskplaycontroller::OperatLabelParam &param,
                      teskplaycontroller::CChangeClaim &claim, std::string &error) override
    {
        return Change(error, [&] { return CRecordingServer::OperateLabel(param, claim, error); });
    }
    bool LockAndUnlockRecord(const teskplaycontroller::LockRecordFileParam &param,
                             teskplaycontroller::CChangeClaim &claim, std::string &error) override
    {
        return Change(error,
                      [&] { return CRecordingServer::LockAndUnlockRecord(param, claim, error); });
    }

private:
    bool Change(std::string &error, const std::function<bool()> &forward)
    {
        (void)error;
        ++started_changes_;
        const bool ok = forward();
        ++ended_changes_;
        return ok;
    }

    mutable std::mutex mutex_;
    std::map<std::string, Search> searches_;
    std::atomic<int> started_changes_{0};
    std::atomic<int> ended_changes_{0};
};

// The check box of each kind in the condition column's full and simple modes.
const std::map<VideoDataType, const char *> kFullKindBoxes = {
    {RegularVideo, "ptr_all_check_"},           {PersonDetectVideo, "ptr_person_check_"},
    {VehicleDetectVideo, "ptr_vehicle_check_"}, {EventAlarmVideo, "ptr_event_tag_check_"},
    {TagVideo, "ptr_manual_tag_check_"},        {LockVideo, "ptr_lock_check_"},
    {OtherVideo, "ptr_other_tag_check_"},
};
const std::map<VideoDataType, const char *> kSimpleKindBoxes = {
    {TagVideo, "ptr_simple_manual_check_"},
    {LockVideo, "ptr_simple_lock_check_"},
};

// Acts from inside a modal loop (a confirmation or the waiting dialog) once its window shows.
template<class Dialog>
void WhenModalShows(std::function<void(Dialog *)> act)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

// Answers every confirmation and keeps the questions asked.
class ConfirmationRecorder
{
public:
    explicit ConfirmationRecorder(int answer = QDialog::Accepted)
    {
        previous_ = PlexaControl::CModalTipDialog::SetAnswerHandler(
            [this, answer](const QString &text, QWidget *) {
                questions << text;
                return answer;
            });
    }
    ~ConfirmationRecorder() { PlexaControl::CModalTipDialog::SetAnswerHandler(previous_); }
    QStringList questions;

private:
    PlexaControl::CModalTipDialog::AnswerHandler previous_;
};

class ClipVideoSearchWidgetTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TeskResources::Register();
        const auto options = StoreSearch::DayOptions(
            31, 1, kCameraCount, Quor::Base::TimeUtil::DaysFromCivil(2026, 6, 2) * 86400, 2, 1);
        server_ = std::make_shared<CSpyServer>();
        const auto status =
            server_->Open((TestSupport::ScratchDir() + "/panel-store").toStdString(), options);
        ASSERT_TRUE(status.IsOk()) << status.Message();
        teskrecordserver::CRecordingServer::Install(server_);
        server_->PublishToHost();
        end_ = options.anchor;
        begin_ = end_ - 86400;
    }
    static void TearDownTestSuite()
    {
        teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
        server_.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(english_.IsLoaded());
        Lattice::CNewInfoDlg::ClearShownTexts();
        changes_at_start_ = server_->StartedChanges();
    }
    void TearDown() override
    {
        ASSERT_TRUE(WaitFor([] { return server_->StartedChanges() == server_->EndedChanges(); }));
        panel_.reset();
        Lattice::CNewInfoDlg::CloseAll();
    }

    ClipVideoSearchWidget *MakePanel(int product_type = ResourceData::ProductTypeProfessional)
    {
        panel_ = std::make_unique<ClipVideoSearchWidget>();
        CConditionWidgetInitParam condition;
        condition.SetVal_product_type(static_cast<ResourceData::ProductType>(product_type));
        condition.SetVal_max_camera_num(16);
        condition.SetVal_tag_show_type(product_type == ResourceData::ProductTypeProfessional
                                           ? TagDisplayFull
                                           : TagDisplaySimple);
        CClipSearchWidgetInitParam param;
        param.SetVal_condition_init_param(condition);
        param.SetVal_is_support_pop_sub_widget(true);
        panel_->setStyleSheet(TeskResources::ClientStyleSheet());
        panel_->resize(1500, 860);
        panel_->InitWidget(param);
        panel_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel_.get()));
        return panel_.get();
    }

    template<class T = QWidget>
    T *Child(const char *name) const
    {
        T *child = panel_->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    CClipSearchCondition *Column() const
    {
        return Child<CClipSearchCondition>("ptr_condition_widget_");
    }
    CClipPlaybackWidget *Playback() const
    {
        return Child<CClipPlaybackWidget>("ptr_playback_widget_");
    }
    QTabBar *Tabs() const { return Child<QWidget>("ptr_tab_bar_widget_")->findChild<QTabBar *>(); }
    CAbstractSearchWidget *Page(VideoDataType kind) const
    {
        static const std::map<VideoDataType, const char *> names = {
            {RegularVideo, "ptr_all_video_page"},
            {PersonDetectVideo, "ptr_person_video_page"},
            {VehicleDetectVideo, "ptr_vehicle_video_page"},
            {EventAlarmVideo, "ptr_event_tag_page"},
            {TagVideo, "ptr_manual_tag_page"},
            {LockVideo, "ptr_lock_video_page"},
            {OtherVideo, "ptr_other_tag_page"},
        };
        return panel_->findChild<CAbstractSearchWidget *>(names.at(kind));
    }

    static std::vector<teskrecordserver::CameraRow> StoreCameras()
    {
        return server_->Catalogue().Cameras();
    }

    // Picks the cameras (by their place in the store) and the day, ticks exactly `kinds` and
    // clicks Search.
    void Search(const QVector<VideoDataType> &kinds, const std::vector<int> &cameras = {0, 1, 2})
    {
        CClipSearchCondition *column = Column();
        // A clip playing has folded the column away; the operator unfolds it first.
        auto *handle = Child<QWidget>("ptr_expand_handle_btn_");
        if (!column->isVisible())
            QTest::mouseClick(handle, Qt::LeftButton);
        ASSERT_TRUE(column->isVisible());
        auto *tree = column->GetStorageCameraWidget();
        tree->StopWorking();
        const auto rows = StoreCameras();
        QList<Arborin::SelectedStorageResource> resources;
        for (int index : cameras) {
            Arborin::SelectedStorageResource resource;
            resource.site_id = rows.at(index).site_id;
            resource.camera_id = rows.at(index).id;
            resources << resource;
        }
        ASSERT_EQ(tree->InsertSelectedResource(resources), int(cameras.size()));
        searched_keys_.clear();
        for (int index : cameras)
            searched_keys_ << teskplaycontroller::CCameraForPlay(rows.at(index).site_id,
                                                                 rows.at(index).id)
                                  .GetResourceKey();
        column->GetCalendarWidget()->SetCustomTime(QDateTime::fromSecsSinceEpoch(begin_),
                                                   QDateTime::fromSecsSinceEpoch(end_));
        column->GetTagConditionWidget()->SetExpanded(true);
        const bool full = Page(PersonDetectVideo) != nullptr;
        for (const auto &[kind, name] : full ? kFullKindBoxes : kSimpleKindBoxes) {
            auto *box = column->findChild<QCheckBox *>(name);
            ASSERT_NE(box, nullptr) << name;
            if (box->isChecked() == kinds.contains(kind))
                continue;
            const QPoint indicator(box->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 1,
                                   box->height() / 2);
            ASSERT_TRUE(WaitFor([&] {
                return box->isVisible() && column->childAt(box->mapTo(column, indicator)) == box;
            })) << name;
            QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
        }
        ASSERT_EQ(column->GetTagConditionWidget()->GetSearchKinds().size(), kinds.size());
        server_->ClearSearches();
        QTest::mouseClick(column->findChild<QPushButton *>("ptr_search_btn_"), Qt::LeftButton);
    }

    // The count in the tab of `kind` once its search has ended and the page has reported the
    // controller's final total (a progress count may show before); -1 if never.
    int FinalCount(VideoDataType kind)
    {
        CAbstractSearchWidget *page = Page(kind);
        if (!page)
            return -1;
        static const QRegularExpression number(QStringLiteral("\\((\\d+)\\)$"));
        int count = -1;
        const bool ended = WaitFor([&] {
            const auto controller = page->SearchController();
            if (!controller || controller->IsSearching())
                return false;
            for (int tab = 0; tab < Tabs()->count(); ++tab) {
                const auto match = number.match(Tabs()->tabText(tab));
                if (Tabs()->tabText(tab).startsWith(TabName(kind)) && match.hasMatch()) {
                    count = match.captured(1).toInt();
                    return count == controller->GetTotalFileNum(kind, searched_keys_);
                }
            }
            return false;
        });
        return ended ? count : -1;
    }

    QString TabName(VideoDataType kind) const
    {
        static const std::map<VideoDataType, const char *> keys = {
            {RegularVideo, "Korv-ControlClient.6d6bdf8d3e7a4ae4958d3550b2d9a734.button"},
            {PersonDetectVideo, "Korv-ControlClient.eba19218bce74f6db2a7f280f9a429b2.button"},
            {VehicleDetectVideo, "Korv-ControlClient.d261d10592204198a9996fdd05aba7a5.button"},
            {EventAlarmVideo, "Korv-ControlClient.dd857e56a68f4e969d640a5e5389129e.button"},
            {TagVideo, "ManualLabelCHmnijoE"},
            {LockVideo, "Korv-ControlClient.9129062b28b14815a4f921209827a32a.button"},
            {OtherVideo, "Korv-ControlClient.537c010bc27d4e549eef5ad12f691daf.name"},
        };
        return PanelText(keys.at(kind));
    }

    // Clicks the tile of result `data_id` on the page of `kind`, once the page shows it.
    void Play(VideoDataType kind, int data_id)
    {
        CGridThumbnailWidget *tile = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (auto *candidate : Page(kind)->findChildren<CGridThumbnailWidget *>()) {
                if (candidate->isVisible() && candidate->GetDataId() == data_id)
                    tile = candidate;
            }
            return tile != nullptr;
        })) << "no tile "
            << data_id;
        QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
    }

    CClipPlaybackParam Playing() const
    {
        CClipPlaybackParam param;
        Playback()->GetPlaybackParam(param);
        return param;
    }

    QPushButton *VisibleButton(const char *name) const
    {
        for (auto *button : Playback()->findChildren<QPushButton *>(name)) {
            if (button->isVisible())
                return button;
        }
        ADD_FAILURE() << "no visible " << name;
        return nullptr;
    }

    // The files a search of `type` finds now in the store for the camera, as the services
    // would answer.
    static teskplaycontroller::PlaybackFileList
    StoreFiles(const std::string &site, const std::string &camera, VideoSearchType type)
    {
        teskplaycontroller::CameraVideoSearchCondition condition;
        condition.search_guid = "check";
        condition.search_type = type;
        condition.begin_time = begin_;
        condition.end_time = end_;
        if (type == teskplaycontroller::VideoSearchTag) {
            condition.ptr_label_extra = std::make_shared<teskplaycontroller::CLableExtra>();
            condition.ptr_label_extra->SetVal_label_type(TagTypeAll);
        }
        teskplaycontroller::TeskCameraInfo entry;
        entry.ptr_camera_for_play =
            std::make_shared<teskplaycontroller::CCameraForPlay>(site, camera);
        const std::atomic<bool> cancelled{false};
        const auto answer = server_->CRecordingServer::SearchCamera(condition, entry, cancelled);
        EXPECT_FALSE(answer.failed) << answer.str_error_info;
        return answer.files;
    }

    using SearchesByType = std::multimap<VideoSearchType, int>;

    // The searches the server was asked for by the last Search(), by type with the label type
    // (tag) or event type (person-vehicle) they carry, -1 for neither.
    static SearchesByType Searched()
    {
        SearchesByType searched;
        for (const auto &[guid, search] : server_->Searches()) {
            searched.emplace(search.type, search.filter);
            if (search.type == teskplaycontroller::VideoSearchTag) {
                EXPECT_EQ(search.camera_type_codes, std::set<int>{254});
            }
        }
        return searched;
    }

    // Tag and lock changes that reached the store's service during this test.
    int Changes() const { return server_->StartedChanges() - changes_at_start_; }

    static inline std::shared_ptr<CSpyServer> server_;
    static inline int64_t begin_ = 0;
    static inline int64_t end_ = 0;
    PanelsTest::EnglishTexts english_;
    std::unique_ptr<ClipVideoSearchWidget> panel_;
    int changes_at_start_ = 0;
    QVector<CResourceKey> searched_keys_;
};

// The simple product searches manual tags with the column's tag choice and shows one kind's count
// in a caption instead of tabs.
TEST_F(ClipVideoSearchWidgetTest, SimpleProductSearchesTheTagChoiceUnderACaption)
{
    MakePanel(ResourceData::ProductTypeStandard);
    auto *stack = Child<QWidget>("ptr_stack_widget_");
    ASSERT_TRUE(
        WaitFor([&] { return stack->findChildren<CAbstractSearchWidget *>().size() == 3; }));
    Search({TagVideo});
    const int count = FinalCount(TagVideo);
    EXPECT_GE(count, 0);
    EXPECT_EQ(Searched(),
              (SearchesByType{{teskplaycontroller::VideoSearchTag, Column()->GetTagType()}}));
    EXPECT_FALSE(Child<QWidget>("ptr_tab_bar_widget_")->isVisible());
    auto *caption = Child<QLabel>("ptr_bar_label_");
    EXPECT_TRUE(caption->isVisible());
    EXPECT_EQ(caption->text(),
              PanelText("Korv-ControlClient.bd65e8971797411f9f58e46bf0b3d043.name").arg(count));
}

bool HasSpan(const teskplaycontroller::PlaybackFileList &files, int64_t begin, int64_t end)
{
    for (const auto &file : files) {
        if (file->GetFileBegTime() == begin && file->GetFileEndTime() == end)
            return true;
    }
    return false;
}

QStringList TipsOver(QWidget *window)
{
    QStringList texts;
    auto &tips =
        PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance();
    for (auto *tip : tips.OpenTips()) {
        if (tip->window() == window || tip->parentWidget() == window)
            texts << tip->GetText();
    }
    return texts;
}

struct RemovalRow
{
    const char *name;
    VideoDataType kind;
    const char *button;
    VideoSearchType search_type;
    const char *question;
};

const RemovalRow kRemovalRows[] = {
    {"TagDeleted", TagVideo, "ptr_delete_btn_", teskplaycontroller::VideoSearchTag,
     "AreYouSureToDelete%xIsoHDtGE"},
    {"RecordingUnlocked", LockVideo, "ptr_unlock_btn_", teskplaycontroller::VideoSearchLock,
     "AreYouSureYouWantToUjGKXIIef"},
};

class RemovalTest : public ClipVideoSearchWidgetTest,
                    public ::testing::WithParamInterface<RemovalRow>
{};

// The playing tag or lock goes only once the operator confirms in the client's dialog; then it
// is gone from the store, the page's controller and the tab's count, and the clip closes.
TEST_P(RemovalTest, PlayingFileIsGoneEverywhereOnceConfirmed)
{
    const RemovalRow &row = GetParam();
    MakePanel();
    Search({row.kind});
    const int before = FinalCount(row.kind);
    ASSERT_GT(before, 0);
    Play(row.kind, 0);
    ASSERT_TRUE(WaitFor([&] { return Playback()->isVisible(); }));
    const CClipPlaybackParam playing = Playing();
    const auto camera = playing.GetVal_ptr_camera_for_play();
    const auto files = playing.GetVal_playback_files();
    ASSERT_TRUE(camera && !files.isEmpty());
    const int64_t begin = files.first()->GetFileBegTime();
    const int64_t end = files.last()->GetFileEndTime();
    auto in_store = [&] {
        return HasSpan(StoreFiles(camera->GetSiteID(), camera->GetCameraID(), row.search_type),
                       begin, end);
    };
    ASSERT_TRUE(in_store());
    QString expected = PanelText(row.question);
    if (const auto tag = std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(files.first()))
        expected = expected.arg(QString::fromStdString(tag->GetLabelName()));

    for (const bool confirm : {false, true}) {
        QString question;
        WhenModalShows<PlexaControl::CModalTipDialog>([&](PlexaControl::CModalTipDialog *dialog) {
            question = dialog->GetText();
            TestSupport::SaveShot(dialog, QStringLiteral("panel-confirm-%1.png").arg(row.name));
            QTest::mouseClick(confirm ? dialog->GetOkButton() : dialog->GetCancelButton(),
                              Qt::LeftButton);
        });
        QTest::mouseClick(VisibleButton(row.button), Qt::LeftButton);
        EXPECT_EQ(question, expected);
        if (!confirm) {
            EXPECT_TRUE(Playback()->isVisible());
            EXPECT_EQ(Changes(), 0);
        }
    }
    ASSERT_TRUE(WaitFor([&] { return FinalCount(row.kind) == before - 1; }));
    EXPECT_FALSE(in_store());
    EXPECT_FALSE(Playback()->isVisible());
    EXPECT_EQ(Page(row.kind)->SearchController()->GetTotalFileNum(row.kind, searched_keys_),
              before - 1);
}

INSTANTIATE_TEST_SUITE_P(PlayingFile, RemovalTest, ::testing::ValuesIn(kRemovalRows),
                         [](const auto &info) { return std::string(info.param.name); });

// A camera without the permission item: nothing is played, asked or changed, and a corner
// notification names the camera.
TEST_F(ClipVideoSearchWidgetTest, MissingPermissionDoesNothingButSaysSo)
{
    MakePanel();
    const auto rows = StoreCameras();
    const auto denied = rows.at(teskrecordserver::SampleRoles::kNoTagDeleteOrUnlock);
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    ConfirmationRecorder confirm;

    // Playing a tag also needs the right to see tags.
    Search({TagVideo}, {teskrecordserver::SampleRoles::kNoTagDeleteOrUnlock});
    ASSERT_GT(FinalCount(TagVideo), 0);
    directory.SetPermissionDenied(denied.site_id, denied.id, ResourceData::PermissionCheckTag,
                                  true);
    Play(TagVideo, 0);
    QApplication::processEvents();
    EXPECT_FALSE(Playback()->isVisible());
    directory.SetPermissionDenied(denied.site_id, denied.id, ResourceData::PermissionCheckTag,
                                  false);
    ASSERT_TRUE(WaitFor([] { return !Lattice::CNewInfoDlg::ShownTexts().isEmpty(); }));
    EXPECT_TRUE(
        Lattice::CNewInfoDlg::ShownTexts().last().contains(QString::fromStdString(denied.name)));

    // Deleting a tag or unlocking needs its own right, which the sample denies on this camera.
    for (const auto &[kind, button] :
         {std::pair(TagVideo, "ptr_delete_btn_"), std::pair(LockVideo, "ptr_unlock_btn_")}) {
        if (kind == LockVideo)
            Search({LockVideo}, {teskrecordserver::SampleRoles::kNoTagDeleteOrUnlock});
        const int found = FinalCount(kind);
        ASSERT_GT(found, 0);
        Play(kind, 0);
        ASSERT_TRUE(WaitFor([&] { return Playback()->isVisible(); }));
        Lattice::CNewInfoDlg::ClearShownTexts();
        QTest::mouseClick(VisibleButton(button), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([] { return !Lattice::CNewInfoDlg::ShownTexts().isEmpty(); }));
        EXPECT_TRUE(confirm.questions.isEmpty());
        EXPECT_EQ(Changes(), 0);
        EXPECT_TRUE(Playback()->isVisible());
        EXPECT_EQ(FinalCount(kind), found);
    }
}

// A saved tag is the playing result's tag from then on: the result row carries the new name and
// leaving the result does not ask to save it again.
TEST_F(ClipVideoSearchWidgetTest, SavedTagBecomesThePlayingResultsTag)
{
    MakePanel();
    Search({TagVideo});
    Play(TagVideo, 0);
    ASSERT_TRUE(WaitFor([&] { return Playback()->isVisible(); }));
    auto *name_edit = Playback()->findChild<QLineEdit *>("ptr_tag_name_edit_");
    ASSERT_NE(name_edit, nullptr);
    name_edit->selectAll();
    QTest::keyClicks(name_edit, "Gate check");
    ASSERT_TRUE(Playback()->IsModifiedTagInfo());
    QTest::mouseClick(VisibleButton("ptr_save_btn_"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return Changes() == 1 && !Playback()->IsModifiedTagInfo(); }));
    const auto tag = std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(
        Playing().GetVal_playback_files().first());
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->GetLabelName(), "Gate check");
}

// From the empty panel through a search, a tab change while a clip plays and an export back to
// the empty panel, whose pages stay.
TEST_F(ClipVideoSearchWidgetTest, LifecycleFromEmptyToResultsAndBack)
{
    MakePanel();
    auto *stack = Child<QWidget>("ptr_stack_widget_");
    ASSERT_TRUE(
        WaitFor([&] { return stack->findChildren<CAbstractSearchWidget *>().size() == 7; }));
    auto *no_data = Child<QLabel>("ptr_no_data_image_label_");
    EXPECT_TRUE(no_data->isVisible());
    EXPECT_FALSE(stack->isVisible());
    TestSupport::SaveShot(panel_.get(), "panel-empty.png");
    CClipSearchWidgetInitParam again;
    panel_->InitWidget(again);
    QApplication::processEvents();
    EXPECT_EQ(stack->findChildren<CAbstractSearchWidget *>().size(), 7);
    // The auxiliary-screen button asks the host once and hides until the screen closes.
    auto *aux = Child<QWidget>("ptr_aux_btn_");
    QSignalSpy auxiliary(panel_.get(), &ClipVideoSearchWidget::SignalAuxiliaryChanged);
    QTest::mouseClick(aux, Qt::LeftButton);
    EXPECT_EQ(auxiliary.count(), 1);
    EXPECT_FALSE(aux->isVisible());
    panel_->AuxScreenWillClose();
    EXPECT_TRUE(aux->isVisible());

    // One search per group of kinds, each with its label or event type, and a tab per kind asked
    // for; the tag kinds not asked for share the tag search's controller but show no count.
    const QVector<VideoDataType> kinds = {RegularVideo, PersonDetectVideo, TagVideo, LockVideo};
    Search(kinds);
    for (VideoDataType kind : kinds)
        ASSERT_GE(FinalCount(kind), 0) << kind;
    ASSERT_GT(FinalCount(TagVideo), 0);
    EXPECT_EQ(Searched(), (SearchesByType{{teskplaycontroller::VideoSearchRecord, -1},
                                          {teskplaycontroller::VideoSearchLock, -1},
                                          {teskplaycontroller::VideoSearchTag, TagTypeManual},
                                          {teskplaycontroller::VideoSearchPersonVehicle, 2}}));
    ASSERT_EQ(Tabs()->count(), kinds.size());
    for (int tab = 0; tab < Tabs()->count(); ++tab)
        EXPECT_TRUE(Tabs()->tabText(tab).startsWith(TabName(kinds[tab]))) << tab;
    EXPECT_FALSE(Child<QLabel>("ptr_bar_label_")->isVisible());
    EXPECT_FALSE(no_data->isVisible());
    EXPECT_TRUE(stack->isVisible());
    EXPECT_TRUE(WaitFor([&] {
        // Laid out: the first group's tiles sit at the top of the page's result area.
        const auto tiles = Page(RegularVideo)->findChildren<CGridThumbnailWidget *>();
        return !tiles.isEmpty() && tiles.first()->isVisible() &&
               tiles.first()->mapTo(Page(RegularVideo), QPoint()).y() < 200;
    }));
    TestSupport::SaveShot(panel_.get(), "panel-after-search.png");

    // A tab change closes the playing clip without its close signal.
    Play(RegularVideo, 0);
    ASSERT_TRUE(WaitFor([&] { return Playback()->isVisible(); }));
    auto *window = Playback()->GetPlayWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !window->GetCurrentFrame().isNull(); }));
    TestSupport::SaveShot(panel_.get(), "panel-playing.png");
    QSignalSpy closed(Playback(), &CClipPlaybackWidget::SignalClosePlayback);
    QTest::mouseClick(Tabs(), Qt::LeftButton, {},
                      Tabs()->tabRect(kinds.indexOf(TagVideo)).center());
    EXPECT_FALSE(Playback()->isVisible());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(qobject_cast<PlexaControl::CStackedWidget *>(stack)->currentWidget(), Page(TagVideo));

    // Export: the side panel slides in with the ticked results; plays wait until it goes.
    CGridThumbnailWidget *tile = nullptr;
    QCheckBox *tick = nullptr;
    // A tile builds its check box once it is in view.
    ASSERT_TRUE(WaitFor([&] {
        const auto tiles = Page(TagVideo)->findChildren<CGridThumbnailWidget *>();
        tile = tiles.isEmpty() ? nullptr : tiles.first();
        tick = tile ? tile->findChild<QCheckBox *>("ptr_checkbox_") : nullptr;
        return tile && tile->isVisible() && tick && tick->isVisible();
    }));
    QTest::mouseClick(tick, Qt::LeftButton, {}, QPoint(tick->height() / 2, tick->height() / 2));
    auto *export_button = Page(TagVideo)->findChild<QPushButton *>("ptr_download_button_");
    ASSERT_TRUE(WaitFor([&] { return export_button->isEnabled(); }));
    QTest::mouseClick(export_button, Qt::LeftButton);
    EXPECT_TRUE(Lattice::IsShowDockWidget(panel_.get()));
    QVector<CVideoDownloadInfo> records;
    ASSERT_TRUE(WaitFor([&] {
        records.clear();
        panel_->GetDownloadInfo(records);
        return !records.isEmpty();
    }));
    EXPECT_EQ(records.size(), 1);
    auto *dock = panel_->findChild<Lattice::CSlideDockFrame *>();
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(WaitFor([&] { return dock->geometry().right() == panel_->width() - 1; }));
    TestSupport::SaveShot(panel_.get(), "panel-export.png");
    Play(TagVideo, tile->GetDataId());
    EXPECT_FALSE(Playback()->isVisible());

    // The host downloads, or in the domestic edition the panel asks the host's record download
    // and says why it failed.
    QSignalSpy host_download(panel_.get(), &ClipVideoSearchWidget::SignalDownloadVideoFile);
    auto *download = panel_->findChild<QPushButton *>("ptr_download_btn_");
    QTest::mouseClick(download, Qt::LeftButton);
    EXPECT_EQ(host_download.count(), 1);
    tesk_ui_data_controller::CCustomConfigManager::SetDomestic(true);
    QTest::mouseClick(download, Qt::LeftButton);
    tesk_ui_data_controller::CCustomConfigManager::SetDomestic(false);
    EXPECT_EQ(host_download.count(), 1);
    ASSERT_TRUE(WaitFor([&] { return !TipsOver(panel_->window()).isEmpty(); }));
    EXPECT_TRUE(
        TipsOver(panel_->window())
            .first()
            .startsWith(QCoreApplication::translate("CVideoExporter", "DownloadFailedHTeWUwnETM")));

    panel_->ClearData();
    EXPECT_FALSE(Lattice::IsShowDockWidget(panel_.get()));
    EXPECT_TRUE(no_data->isVisible());
    EXPECT_FALSE(stack->isVisible());
    EXPECT_EQ(stack->findChildren<CAbstractSearchWidget *>().size(), 7);
}

} // namespace
