#include "TimeLapseTasksWidget.h"
#include "TimeLapseTasksWidget_p.h"

#include "ToolSupport.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"
#include "timelapse/TimeLapsePhotoManager.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <mutex>
#include <set>

namespace TeskVideoSearch {

namespace {

constexpr int kPollMs = 250;
// Pictures of the capture plan are taken from this mode of the time-lapse requests.
constexpr int kGenerateFromPictures = 0;
// How far back the default period reaches from the end of the store's recordings.
constexpr int kDefaultPeriodHours = 6;
constexpr const char *kDateFormat = "yyyy-MM-dd";
constexpr const char *kTimeFormat = "HH:mm:ss";

// The live windows a result may still be delivered to, from a worker thread.
std::mutex g_live_mutex;
std::set<CTimeLapseTasksWidget *> g_live;

QString StateName(TimeLapseTaskState state)
{
    switch (state) {
    case TaskWaiting:
        return CTimeLapseTasksWidget::tr("Waiting");
    case TaskRunning:
        return CTimeLapseTasksWidget::tr("Running");
    case TaskPaused:
        return CTimeLapseTasksWidget::tr("Paused");
    case TaskResumed:
        return CTimeLapseTasksWidget::tr("Running (resumed)");
    case TaskFinished:
        return CTimeLapseTasksWidget::tr("Finished");
    }
    return QString::number(state);
}

// "<name>.mp4" in `folder`, or "<name> (2).mp4", … : the first name no file has.
QString FreeName(const QString &folder, const QString &name)
{
    QString candidate = QDir(folder).filePath(name + ".mp4");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = QDir(folder).filePath(QStringLiteral("%1 (%2).mp4").arg(name).arg(n));
    return candidate;
}

QString SafeFileName(QString text)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._ -]"));
    return text.replace(unsafe, QStringLiteral("_")).trimmed();
}

} // namespace

CTimeLapseTasksWidget::CTimeLapseTasksWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<UTimeLapseTasksWidgetData>())
{
    auto &d = *data_;
    setObjectName("ptr_timelapse_tasks_widget_");
    setWindowTitle(tr("Time-lapse tasks"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout();
    d.ptr_camera_combo_ = new QComboBox(this);
    d.ptr_camera_combo_->setObjectName("ptr_timelapse_camera_combo_");
    d.ptr_begin_edit_ = new QDateTimeEdit(this);
    d.ptr_end_edit_ = new QDateTimeEdit(this);
    for (QDateTimeEdit *edit : {d.ptr_begin_edit_, d.ptr_end_edit_}) {
        edit->setDisplayFormat("yyyy-MM-dd HH:mm:ss");
        edit->setCalendarPopup(true);
    }
    d.ptr_begin_edit_->setObjectName("ptr_timelapse_begin_edit_");
    d.ptr_end_edit_->setObjectName("ptr_timelapse_end_edit_");
    auto *folder_row = new QHBoxLayout();
    d.ptr_folder_edit_ = new QLineEdit(this);
    d.ptr_folder_edit_->setObjectName("ptr_timelapse_folder_edit_");
    auto *browse = new QPushButton(tr("Browse…"), this);
    folder_row->addWidget(d.ptr_folder_edit_);
    folder_row->addWidget(browse);
    form->addRow(tr("Camera with a capture plan"), d.ptr_camera_combo_);
    form->addRow(tr("From"), d.ptr_begin_edit_);
    form->addRow(tr("To"), d.ptr_end_edit_);
    form->addRow(tr("Save videos in"), folder_row);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout();
    d.ptr_start_btn_ = new QPushButton(tr("Generate video"), this);
    d.ptr_start_btn_->setObjectName("ptr_timelapse_start_btn_");
    d.ptr_pause_btn_ = new QPushButton(tr("Pause / resume"), this);
    d.ptr_pause_btn_->setObjectName("ptr_timelapse_pause_btn_");
    d.ptr_delete_btn_ = new QPushButton(tr("Delete task"), this);
    d.ptr_delete_btn_->setObjectName("ptr_timelapse_delete_btn_");
    buttons->addWidget(d.ptr_start_btn_);
    buttons->addStretch(1);
    buttons->addWidget(d.ptr_pause_btn_);
    buttons->addWidget(d.ptr_delete_btn_);
    layout->addLayout(buttons);

    d.ptr_table_ = new QTableWidget(0, ColumnCount, this);
    d.ptr_table_->setObjectName("ptr_timelapse_table_");
    d.ptr_table_->setHorizontalHeaderLabels(
        {tr("Camera"), tr("Period"), tr("State"), tr("Progress"), tr("Video")});
    d.ptr_table_->horizontalHeader()->setStretchLastSection(true);
    d.ptr_table_->verticalHeader()->hide();
    d.ptr_table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    d.ptr_table_->setSelectionMode(QAbstractItemView::SingleSelection);
    d.ptr_table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d.ptr_table_->setColumnWidth(ColumnCamera, 150);
    d.ptr_table_->setColumnWidth(ColumnPeriod, 250);
    d.ptr_table_->setColumnWidth(ColumnState, 130);
    d.ptr_table_->setColumnWidth(ColumnProgress, 120);
    layout->addWidget(d.ptr_table_, 1);
    resize(860, 420);

    SetOutputFolder(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
    connect(browse, &QPushButton::clicked, this, [this]() {
        const QString folder = QFileDialog::getExistingDirectory(
            this, tr("Folder of the time-lapse videos"), data_->ptr_folder_edit_->text());
        if (!folder.isEmpty())
            SetOutputFolder(folder);
    });
    connect(d.ptr_start_btn_, &QPushButton::clicked, this, &CTimeLapseTasksWidget::OnStartClicked);
    connect(d.ptr_pause_btn_, &QPushButton::clicked, this, &CTimeLapseTasksWidget::OnPauseClicked);
    connect(d.ptr_delete_btn_, &QPushButton::clicked, this,
            &CTimeLapseTasksWidget::OnDeleteClicked);
    d.ptr_poll_timer_ = new QTimer(this);
    connect(d.ptr_poll_timer_, &QTimer::timeout, this, &CTimeLapseTasksWidget::RefreshTable);

    {
        std::lock_guard<std::mutex> lock(g_live_mutex);
        g_live.insert(this);
    }
    CTimeLapsePhotoManager::Instance().RegisterDataCallBack(&CTimeLapseTasksWidget::ResultCallBack);
}

CTimeLapseTasksWidget::~CTimeLapseTasksWidget()
{
    {
        std::lock_guard<std::mutex> lock(g_live_mutex);
        g_live.erase(this);
    }
    std::vector<std::string> guids;
    for (const auto &task : data_->tasks)
        guids.push_back(task.first);
    // Stops running tasks (waiting for their workers) before their working folders go.
    CTimeLapsePhotoManager::Instance().DeleteTimeLapseTask(guids);
}

void CTimeLapseTasksWidget::ResultCallBack(bool is_success, std::string guid, int64_t file_size,
                                           int percentage, void *user_data)
{
    std::lock_guard<std::mutex> lock(g_live_mutex);
    auto *widget = static_cast<CTimeLapseTasksWidget *>(user_data);
    if (g_live.count(widget) == 0)
        return;
    QMetaObject::invokeMethod(widget, "OnTaskResult", Qt::QueuedConnection,
                              Q_ARG(QString, QString::fromStdString(guid)), Q_ARG(bool, is_success),
                              Q_ARG(qint64, file_size), Q_ARG(int, percentage));
}

void CTimeLapseTasksWidget::SetStore(
    const std::shared_ptr<teskrecordserver::CRecordingServer> &server)
{
    auto &d = *data_;
    d.ptr_camera_combo_->clear();
    if (!server)
        return;
    const auto &catalogue = server->Catalogue();
    const int64_t end = teskrecordserver::EndOfUtcDay(QDateTime::currentSecsSinceEpoch());
    const int64_t week = 7 * 24 * 3600;
    for (const auto &camera : catalogue.Cameras()) {
        if (catalogue.CapturePictures(camera.site_id, camera.id, end - week, end).empty())
            continue;
        d.ptr_camera_combo_->addItem(
            QStringLiteral("%1 (%2)").arg(QString::fromStdString(camera.name),
                                          QString::fromStdString(camera.id)),
            QString::fromStdString(camera.id));
    }
    const QDateTime last = QDateTime::currentDateTime();
    d.ptr_end_edit_->setDateTime(last);
    d.ptr_begin_edit_->setDateTime(last.addSecs(-kDefaultPeriodHours * 3600));
    d.ptr_start_btn_->setEnabled(d.ptr_camera_combo_->count() > 0);
    if (d.ptr_camera_combo_->count() == 0)
        d.ptr_start_btn_->setToolTip(tr("No camera of this store keeps a capture plan."));
}

void CTimeLapseTasksWidget::SetOutputFolder(const QString &folder)
{
    data_->ptr_folder_edit_->setText(QDir::toNativeSeparators(folder));
}

int CTimeLapseTasksWidget::TaskCount() const
{
    return static_cast<int>(data_->tasks.size());
}

void CTimeLapseTasksWidget::OnStartClicked()
{
    auto &d = *data_;
    StartTask(d.ptr_camera_combo_->currentData().toString(), d.ptr_begin_edit_->dateTime(),
              d.ptr_end_edit_->dateTime());
}

std::string CTimeLapseTasksWidget::StartTask(const QString &camera_id, const QDateTime &begin,
                                             const QDateTime &end)
{
    auto &d = *data_;
    const QString folder = QDir::fromNativeSeparators(d.ptr_folder_edit_->text().trimmed());
    QString refusal;
    if (camera_id.isEmpty())
        refusal = tr("Choose a camera with a capture plan.");
    else if (!(begin < end))
        refusal = tr("The period must end after it begins.");
    else if (folder.isEmpty() || !QFileInfo(folder).isDir())
        refusal = tr("The folder %1 does not exist.").arg(folder);
    else if (!QFileInfo(folder).isWritable())
        refusal = tr("The folder %1 is not writable.").arg(folder);
    if (!refusal.isEmpty()) {
        TESK_LOG_ERROR("Time-lapse task refused: %s", qPrintable(refusal));
        d.ptr_table_->setToolTip(refusal);
        d.ptr_start_btn_->setToolTip(refusal);
        return {};
    }
    d.ptr_start_btn_->setToolTip(QString());
    const QString camera_name =
        d.ptr_camera_combo_->findData(camera_id) >= 0
            ? d.ptr_camera_combo_->itemText(d.ptr_camera_combo_->findData(camera_id))
            : camera_id;
    const QString base =
        SafeFileName(QStringLiteral("%1 %2").arg(camera_id, begin.toString("yyyyMMdd-HHmmss")));
    TimeLapseTaskEntry entry;
    entry.camera_name = camera_name;
    entry.output = FreeName(folder, base);
    entry.file_name = base;
    // The task works in a private folder beside its video; only the finished file leaves it.
    entry.work =
        std::make_shared<QTemporaryDir>(QDir(folder).filePath("." + base + ".work-XXXXXX"));
    if (!entry.work->isValid()) {
        const QString reason =
            tr("Cannot create a working folder in %1: %2").arg(folder, entry.work->errorString());
        TESK_LOG_ERROR("%s", qPrintable(reason));
        d.ptr_table_->setToolTip(reason);
        return {};
    }
    OrlPluginManager::CTimeLapsePhotoRequestParam request;
    const std::string guid = Quor::Base::GuidUtil::CreateGuid();
    request.SetVal_guid(guid);
    request.SetVal_generate_mode(kGenerateFromPictures);
    request.SetVal_file_path(entry.work->path().toStdString());
    request.SetVal_file_name(base.toStdString());
    request.SetVal_camera_resource_id(camera_id.toStdString());
    request.SetVal_start_date(begin.toString(kDateFormat).toStdString());
    request.SetVal_start_time(begin.toString(kTimeFormat).toStdString());
    request.SetVal_end_date(end.toString(kDateFormat).toStdString());
    request.SetVal_end_time(end.toString(kTimeFormat).toStdString());
    request.SetVal_user_data(this);

    entry.row = d.ptr_table_->rowCount();
    d.ptr_table_->insertRow(entry.row);
    const auto set = [&](int column, const QString &text) {
        d.ptr_table_->setItem(entry.row, column, new QTableWidgetItem(text));
    };
    set(ColumnCamera, camera_name);
    set(ColumnPeriod, QStringLiteral("%1 – %2").arg(begin.toString("yyyy-MM-dd HH:mm"),
                                                    end.toString("yyyy-MM-dd HH:mm")));
    set(ColumnState, StateName(TaskWaiting));
    set(ColumnOutput, QDir::toNativeSeparators(entry.output));
    d.ptr_table_->item(entry.row, ColumnCamera)
        ->setData(Qt::UserRole, QString::fromStdString(guid));
    auto *bar = new QProgressBar(d.ptr_table_);
    bar->setRange(0, 100);
    bar->setValue(0);
    d.ptr_table_->setCellWidget(entry.row, ColumnProgress, bar);
    d.tasks.emplace(guid, std::move(entry));
    TESK_LOG_USER("Time-lapse task %s for %s", guid.c_str(), qPrintable(camera_id));

    OrlPluginManager::CTimeLapsePhotoReponseParam response;
    CTimeLapsePhotoManager::Instance().TimeLapseTaskStartRun(request, response);
    d.ptr_poll_timer_->start(kPollMs);
    RefreshTable();
    return guid;
}

void CTimeLapseTasksWidget::RefreshTable()
{
    auto &d = *data_;
    auto &manager = CTimeLapsePhotoManager::Instance();
    bool any_running = false;
    for (auto &task : d.tasks) {
        std::string guid = task.first;
        TimeLapseTaskEntry &entry = task.second;
        if (entry.is_done_)
            continue;
        any_running = true;
        const TimeLapseTaskState state = manager.GetTimeLapseTaskState(guid);
        d.ptr_table_->item(entry.row, ColumnState)->setText(StateName(state));
        if (auto *bar =
                qobject_cast<QProgressBar *>(d.ptr_table_->cellWidget(entry.row, ColumnProgress)))
            bar->setValue(manager.GetTimeLapseGeneratePercentage(guid));
    }
    if (!any_running)
        d.ptr_poll_timer_->stop();
}

void CTimeLapseTasksWidget::OnTaskResult(const QString &guid_text, bool is_success,
                                         qint64 file_size, int percentage)
{
    auto &d = *data_;
    std::string guid = guid_text.toStdString();
    auto found = d.tasks.find(guid);
    if (found == d.tasks.end() || found->second.is_done_)
        return;
    TimeLapseTaskEntry &entry = found->second;
    entry.is_done_ = true;
    QString text;
    if (is_success) {
        const QString produced = QDir(entry.work->path()).filePath(entry.file_name + ".mp4");
        QString error;
        // The name was free when the task began; a file that took it meanwhile is kept.
        entry.output = FreeName(QFileInfo(entry.output).absolutePath(), entry.file_name);
        if (!QFileInfo(produced).isFile() || QFileInfo(produced).size() == 0) {
            is_success = false;
            text = tr("Failed: the task ended without a video");
        } else if (!MoveIntoPlace(produced, entry.output, false, error)) {
            is_success = false;
            text = tr("Failed: cannot put the video at %1: %2").arg(entry.output, error);
        } else {
            text = tr("Done, %1").arg(QLocale().formattedDataSize(file_size));
        }
    } else {
        const auto error = CTimeLapsePhotoManager::Instance().GetTimeLapseTaskErrorCode(guid);
        text = tr("Failed: %1")
                   .arg(error.IsError() ? TimeLapseErrorText(error) : tr("see the log file"));
    }
    entry.b_success_ = is_success;
    entry.outcome = text;
    entry.work.reset();
    // The row keeps what the person needs; the manager's task would stay for as long as the
    // window lives, one more with every task.
    CTimeLapsePhotoManager::Instance().DeleteTimeLapseTask({guid});
    d.ptr_table_->item(entry.row, ColumnState)
        ->setText(is_success ? StateName(TaskFinished) : text);
    d.ptr_table_->item(entry.row, ColumnState)->setToolTip(text);
    if (auto *bar =
            qobject_cast<QProgressBar *>(d.ptr_table_->cellWidget(entry.row, ColumnProgress)))
        bar->setValue(is_success ? 100 : percentage);
    d.ptr_table_->item(entry.row, ColumnOutput)
        ->setText(is_success ? QDir::toNativeSeparators(entry.output) : tr("(no video)"));
    TESK_LOG_INFO("Time-lapse task %s: %s", guid.c_str(), qPrintable(text));
    emit SignalTaskFinished(guid_text, is_success, text);
}

QString CTimeLapseTasksWidget::StateText(const std::string &guid) const
{
    const auto found = data_->tasks.find(guid);
    if (found == data_->tasks.end())
        return {};
    return data_->ptr_table_->item(found->second.row, ColumnState)->text();
}

bool CTimeLapseTasksWidget::IsTaskDone(const std::string &guid, bool *success,
                                       QString *output) const
{
    const auto found = data_->tasks.find(guid);
    if (found == data_->tasks.end() || !found->second.is_done_)
        return false;
    if (success)
        *success = found->second.b_success_;
    if (output)
        *output = found->second.output;
    return true;
}

void CTimeLapseTasksWidget::OnPauseClicked()
{
    auto &d = *data_;
    const int row = d.ptr_table_->currentRow();
    if (row < 0)
        return;
    std::string guid =
        d.ptr_table_->item(row, ColumnCamera)->data(Qt::UserRole).toString().toStdString();
    const auto found = d.tasks.find(guid);
    if (found == d.tasks.end() || found->second.is_done_)
        return;
    auto &manager = CTimeLapsePhotoManager::Instance();
    const TimeLapseTaskState state = manager.GetTimeLapseTaskState(guid);
    if (state == TaskFinished)
        return;
    const bool pause = state != TaskPaused;
    TESK_LOG_USER("Time-lapse task %s %s", guid.c_str(), pause ? "paused" : "resumed");
    manager.TimeLapseTaskPause(pause, guid);
    d.ptr_poll_timer_->start(kPollMs);
    RefreshTable();
}

void CTimeLapseTasksWidget::OnDeleteClicked()
{
    auto &d = *data_;
    const int row = d.ptr_table_->currentRow();
    if (row < 0)
        return;
    const std::string guid =
        d.ptr_table_->item(row, ColumnCamera)->data(Qt::UserRole).toString().toStdString();
    TESK_LOG_USER("Time-lapse task %s deleted", guid.c_str());
    CTimeLapsePhotoManager::Instance().DeleteTimeLapseTask({guid});
    d.tasks.erase(guid);
    d.ptr_table_->removeRow(row);
    for (auto &task : d.tasks) {
        if (task.second.row > row)
            --task.second.row;
    }
}

} // namespace TeskVideoSearch
