#include "DemoMainWindow.h"
#include "DemoMainWindow_p.h"

#include "DemoExpandInterface.h"
#include "TimeLapseTasksWidget.h"

#include "download/VideoExport.h"
#include "mirelog/Log.h"
#include "panels/ClipVideoSearchWidget.h"
#include "playback/ClipPlaybackWidget.h"
#include "pluginmanager/PluginManager.h"
#include "pluginmanager/ResourceData.h"
#include "search/SearchTypes.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include <set>

namespace TeskVideoSearch {

namespace {

constexpr int kMaxCameras = 64;
// The sample store's car-park cameras, worn by the patrol.
const std::set<std::string> kPatrolCameras = {"S001-C003", "S002-C003"};
constexpr int kStatusMessageMs = 8000;
const QSize kWindowSize(1360, 800);

// A window of its own that hands its close to the host instead of closing.
class CCloseWatcher : public QObject
{
public:
    CCloseWatcher(QObject *parent, std::function<void()> on_close)
        : QObject(parent)
        , on_close_(std::move(on_close))
    {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            on_close_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> on_close_;
};

} // namespace

CDemoMainWindow::CDemoMainWindow(std::shared_ptr<teskrecordserver::CRecordingServer> server,
                                 QWidget *parent)
    : QMainWindow(parent)
    , data_(std::make_shared<UDemoMainWindowData>())
{
    auto &d = *data_;
    d.ptr_server_ = std::move(server);
    d.user = kAdministrator;
    setObjectName("ptr_demo_main_window_");
    setWindowTitle(tr("Video search"));
    resize(kWindowSize);

    d.ptr_central_ = new QStackedWidget(this);
    setCentralWidget(d.ptr_central_);
    d.ptr_expand_ = new CDemoExpandInterface(this);
    d.ptr_panel_ = new ClipVideoSearchWidget(d.ptr_central_);
    d.ptr_central_->addWidget(d.ptr_panel_);

    d.ptr_aux_placeholder_ = new QWidget(d.ptr_central_);
    d.ptr_aux_placeholder_->setObjectName("ptr_aux_placeholder_");
    auto *aux_layout = new QVBoxLayout(d.ptr_aux_placeholder_);
    auto *aux_text =
        new QLabel(tr("The search is shown on the auxiliary screen."), d.ptr_aux_placeholder_);
    aux_text->setAlignment(Qt::AlignCenter);
    auto *bring_back = new QPushButton(tr("Bring it back here"), d.ptr_aux_placeholder_);
    bring_back->setObjectName("ptr_aux_bring_back_btn_");
    aux_layout->addStretch(1);
    aux_layout->addWidget(aux_text);
    aux_layout->addWidget(bring_back, 0, Qt::AlignCenter);
    aux_layout->addStretch(1);
    d.ptr_central_->addWidget(d.ptr_aux_placeholder_);
    connect(bring_back, &QPushButton::clicked, this, &CDemoMainWindow::OnBringBackFromAuxiliary);

    // What a client passes: its extension, the professional product with every kind of
    // recording, pop-out and export choices.
    CClipSearchWidgetInitParam param;
    param.SetVal_ptr_expand_interface(d.ptr_expand_);
    CConditionWidgetInitParam condition;
    condition.SetVal_max_camera_num(kMaxCameras);
    condition.SetVal_product_type(ResourceData::ProductTypeProfessional);
    condition.SetVal_tag_show_type(TagDisplayFull);
    condition.SetVal_ptr_resource_parent(this);
    param.SetVal_condition_init_param(condition);
    param.SetVal_is_support_pop_sub_widget(true);
    param.SetVal_is_merge_files(true);
    param.SetVal_is_support_custom_path(true);
    param.SetVal_is_support_download_video_files(true);
    d.ptr_panel_->InitWidget(param);

    connect(d.ptr_panel_, &ClipVideoSearchWidget::SignalAuxiliaryChanged, this,
            &CDemoMainWindow::OnAuxiliaryChanged);
    connect(d.ptr_panel_, &ClipVideoSearchWidget::SignalDownloadVideoFile, this,
            &CDemoMainWindow::OnDownloadVideoFile);
    connect(d.ptr_panel_, &ClipVideoSearchWidget::SignalStartOrExitFullScreen, this,
            [this](bool is_start) {
                menuBar()->setVisible(!is_start);
                statusBar()->setVisible(!is_start);
            });

    d.ptr_export_task_ = new CVideoExportTask(this);
    connect(d.ptr_export_task_, &CVideoExportTask::SignalProgress, this,
            [this](int percent, const QString &file) {
                statusBar()->showMessage(tr("Exporting %1… %2%").arg(file).arg(percent));
            });
    connect(d.ptr_export_task_, &CVideoExportTask::SignalFinished, this,
            [this](bool b_ok, const QString &message, const QStringList &files) {
                auto &state = *data_;
                ++state.export_count_;
                state.b_last_export_ok_ = b_ok;
                state.last_export_message = message;
                state.qvc_last_export_files_ = files;
                statusBar()->showMessage(
                    b_ok ? tr("Exported %n file(s) to %1", nullptr, files.size())
                               .arg(files.isEmpty() ? QString()
                                                    : QDir::toNativeSeparators(
                                                          QFileInfo(files.front()).absolutePath()))
                         : tr("Export failed: %1").arg(message),
                    kStatusMessageMs);
                emit SignalExportFinished(b_ok, message, files);
            });

    d.ptr_timelapse_ = new CTimeLapseTasksWidget(this);
    d.ptr_timelapse_->setWindowFlags(Qt::Tool);
    d.ptr_timelapse_->SetStore(d.ptr_server_);

    d.ptr_status_label_ = new QLabel(this);
    statusBar()->addPermanentWidget(d.ptr_status_label_);
    CreateMenus();
    PublishStore();
    UpdateStatus();
}

CDemoMainWindow::~CDemoMainWindow()
{
    if (data_->ptr_aux_window_)
        delete data_->ptr_aux_window_.data();
}

void CDemoMainWindow::CreateMenus()
{
    auto &d = *data_;
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Quit"), qApp, &QApplication::closeAllWindows, QKeySequence::Quit);

    QMenu *search = menuBar()->addMenu(tr("&Search"));
    search->setObjectName("ptr_search_menu_");
    search->addAction(tr("&Clear results and conditions"), this, &CDemoMainWindow::OnClearResults);
    search->addAction(tr("Show on the &auxiliary screen"), this,
                      [this]() { OnAuxiliaryChanged(true); });

    QMenu *tools = menuBar()->addMenu(tr("&Tools"));
    QAction *timelapse =
        tools->addAction(tr("&Time-lapse tasks…"), this, &CDemoMainWindow::OnShowTimeLapseTasks);
    timelapse->setObjectName("ptr_timelapse_action_");
    timelapse->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_T));

    QMenu *user = menuBar()->addMenu(tr("&User"));
    QMenu *switch_user = user->addMenu(tr("&Switch user"));
    d.ptr_user_group_ = new QActionGroup(this);
    for (const char *name : {kAdministrator, kOperator}) {
        QAction *action = switch_user->addAction(QString::fromLatin1(name));
        action->setObjectName(QStringLiteral("ptr_user_%1_action_").arg(QString(name).toLower()));
        action->setCheckable(true);
        action->setChecked(d.user == name);
        d.ptr_user_group_->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, name]() { OnSwitchUser(QString::fromLatin1(name)); });
    }
}

const std::shared_ptr<teskrecordserver::CRecordingServer> &CDemoMainWindow::Server() const
{
    return data_->ptr_server_;
}

ClipVideoSearchWidget *CDemoMainWindow::Panel() const
{
    return data_->ptr_panel_;
}

CDemoExpandInterface *CDemoMainWindow::Expand() const
{
    return data_->ptr_expand_;
}

CTimeLapseTasksWidget *CDemoMainWindow::TimeLapseTasks() const
{
    return data_->ptr_timelapse_;
}

QWidget *CDemoMainWindow::AuxiliaryWindow() const
{
    return data_->ptr_aux_window_.data();
}

QString CDemoMainWindow::CurrentUser() const
{
    return data_->user;
}

int CDemoMainWindow::ExportCount() const
{
    return data_->export_count_;
}

bool CDemoMainWindow::LastExport(QString &message, QStringList &files) const
{
    message = data_->last_export_message;
    files = data_->qvc_last_export_files_;
    return data_->b_last_export_ok_;
}

void CDemoMainWindow::PublishStore()
{
    auto &d = *data_;
    // The store's own denials hold for everyone; the operator loses more on top of them.
    d.ptr_server_->PublishToHost();
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    // The host knows which cameras are worn on patrol; their streams carry positions for the map.
    std::vector<OrlPluginManager::Camera> cameras = directory.FindCameras({});
    for (auto &camera : cameras) {
        if (kPatrolCameras.count(camera.id))
            camera.element_type = CClipPlaybackWidget::kBodyCameraType;
    }
    directory.SetCameras(cameras);
    if (d.user != kOperator)
        return;
    for (const auto &camera : cameras) {
        for (int item : {ResourceData::PermissionRemoveTag, ResourceData::PermissionDeleteLock,
                         ResourceData::PermissionSeeLock})
            directory.SetPermissionDenied(camera.site_id, camera.id, item, true);
    }
}

void CDemoMainWindow::OnSwitchUser(const QString &user)
{
    auto &d = *data_;
    if (user == d.user)
        return;
    TESK_LOG_USER("Switch user %s -> %s", qPrintable(d.user), qPrintable(user));
    d.user = user;
    for (QAction *action : d.ptr_user_group_->actions())
        action->setChecked(action->text() == user);
    d.ptr_panel_->HideClearData();
    PublishStore();
    d.ptr_panel_->UpdateAfterSwitchUser();
    d.ptr_expand_->UpdateAfterSwitchUser();
    UpdateStatus();
    statusBar()->showMessage(tr("Signed in as %1").arg(user), kStatusMessageMs);
}

void CDemoMainWindow::OnShowTimeLapseTasks()
{
    auto *tasks = data_->ptr_timelapse_;
    // Opens over the middle of the window the first time; later where the operator left it.
    if (!tasks->property("Placed").toBool()) {
        tasks->setProperty("Placed", true);
        tasks->move(geometry().center() - QPoint(tasks->width() / 2, tasks->height() / 2));
    }
    tasks->show();
    tasks->raise();
    tasks->activateWindow();
}

void CDemoMainWindow::OnAuxiliaryChanged(const bool &is_auxiliary)
{
    auto &d = *data_;
    if (!is_auxiliary) {
        OnBringBackFromAuxiliary();
        return;
    }
    if (d.ptr_aux_window_)
        return;
    TESK_LOG_USER("Search moved to the auxiliary screen");
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setObjectName("ptr_aux_window_");
    window->setWindowTitle(tr("Video search – auxiliary screen"));
    window->installEventFilter(new CCloseWatcher(window, [this]() { OnBringBackFromAuxiliary(); }));
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    d.ptr_central_->removeWidget(d.ptr_panel_);
    layout->addWidget(d.ptr_panel_);
    d.ptr_panel_->show();
    d.ptr_central_->setCurrentWidget(d.ptr_aux_placeholder_);
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *screen =
        screens.size() > 1 && screens.at(1) != this->screen() ? screens.at(1) : this->screen();
    window->resize(kWindowSize);
    window->move(screen->availableGeometry().topLeft());
    d.ptr_aux_window_ = window;
    d.ptr_panel_->SetAuxiliaryWidget(true);
    window->show();
}

void CDemoMainWindow::OnBringBackFromAuxiliary()
{
    auto &d = *data_;
    if (!d.ptr_aux_window_)
        return;
    TESK_LOG_USER("Search back from the auxiliary screen");
    d.ptr_panel_->AuxScreenWillClose();
    d.ptr_panel_->setParent(nullptr);
    d.ptr_central_->insertWidget(0, d.ptr_panel_);
    d.ptr_central_->setCurrentWidget(d.ptr_panel_);
    d.ptr_panel_->SetAuxiliaryWidget(false);
    d.ptr_aux_window_->hide();
    d.ptr_aux_window_->deleteLater();
    d.ptr_aux_window_ = nullptr;
}

void CDemoMainWindow::OnDownloadVideoFile()
{
    auto &d = *data_;
    QVector<CVideoDownloadInfo> records;
    d.ptr_panel_->GetDownloadInfo(records);
    if (records.isEmpty()) {
        statusBar()->showMessage(tr("Nothing to export."), kStatusMessageMs);
        return;
    }
    if (!d.ptr_export_task_->Start(records))
        statusBar()->showMessage(tr("An export is still running; try again when it ends."),
                                 kStatusMessageMs);
}

void CDemoMainWindow::OnClearResults()
{
    TESK_LOG_USER("Clear results");
    data_->ptr_panel_->ClearData();
}

void CDemoMainWindow::UpdateStatus()
{
    auto &d = *data_;
    d.ptr_status_label_->setText(
        tr("Store %1 · %n camera(s) · %2", nullptr,
           static_cast<int>(d.ptr_server_->Catalogue().Cameras().size()))
            .arg(QDir::toNativeSeparators(QString::fromStdString(d.ptr_server_->StoreDir())),
                 d.user));
}

} // namespace TeskVideoSearch
