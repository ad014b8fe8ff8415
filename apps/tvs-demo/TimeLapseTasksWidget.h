#pragma once

#include "recordserver/RecordingServer.h"

#include <QDateTime>
#include <QWidget>

#include <memory>
#include <string>

namespace TeskVideoSearch {

struct UTimeLapseTasksWidgetData;

// The host's time-lapse window: a camera with a capture plan, a period and a folder make a
// task for the module's time-lapse manager; the table shows every task with its state and
// percentage, and lets the operator pause, resume and delete them. Finished videos are moved
// into the folder under a name that no file has yet.
class CTimeLapseTasksWidget : public QWidget
{
    Q_OBJECT
public:
    enum Column {
        ColumnCamera,
        ColumnPeriod,
        ColumnState,
        ColumnProgress,
        ColumnOutput,
        ColumnCount
    };

    explicit CTimeLapseTasksWidget(QWidget *parent = nullptr);
    ~CTimeLapseTasksWidget() override;

    // Offers the cameras of `server` that keep a capture plan, with the store's last day as
    // the default period.
    void SetStore(const std::shared_ptr<teskrecordserver::CRecordingServer> &server);
    void SetOutputFolder(const QString &folder);
    // Submits a task; its guid, or empty with the reason shown in the table's tip.
    std::string StartTask(const QString &camera_id, const QDateTime &begin, const QDateTime &end);
    int TaskCount() const;
    // The state text and the outcome of a task ("" while it runs).
    QString StateText(const std::string &guid) const;
    bool IsTaskDone(const std::string &guid, bool *success = nullptr,
                    QString *output = nullptr) const;

signals:
    void SignalTaskFinished(const QString &guid, bool is_success, const QString &text);

public slots:
    void OnStartClicked();
    void OnPauseClicked();
    void OnDeleteClicked();
    void OnTaskResult(const QString &guid, bool is_success, qint64 file_size, int percentage);

private:
    void RefreshTable();
    static void ResultCallBack(bool is_success, std::string guid, int64_t file_size, int percentage,
                               void *user_data);

    std::shared_ptr<UTimeLapseTasksWidgetData> data_;
};

} // namespace TeskVideoSearch
