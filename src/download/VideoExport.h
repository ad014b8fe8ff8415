#pragma once

#include "TeskVideoSearchExport.h"
#include "download/VideoDownloadInfo.h"

#include "playcontroller/RecordExport.h"

#include <QObject>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace tesk_ui_data_controller {
class CDownloadFrameForVideoSearch;
}

namespace TeskVideoSearch {

// One file an export writes: a camera's spans, one after another.
struct VideoExportFile
{
    teskplaycontroller::ResourceKey camera;
    QString directory;
    QString name; // without extension
    std::vector<teskplaycontroller::ExportSpan> spans;
};

struct VideoExportResult
{
    bool ok = false;
    QString message;
    QStringList files; // what was written, absolute paths
};

// Writes export records as MP4 files by stream copy: a file per group, or per record when
// merged; with a password, one AES-256 encrypted ZIP archive of them instead. All or nothing:
// on a failure or a cancel no file of the export is left, and no existing file is replaced.
class TESKVIDEOSEARCH_EXPORT CVideoExporter
{
public:
    // Share of the whole export done (0 to 1) and the file being written; false cancels.
    using Progress = std::function<bool(double, const QString &)>;

    static QVector<VideoExportFile> PlanFiles(const QVector<CVideoDownloadInfo> &records);
    static VideoExportResult Export(const QVector<CVideoDownloadInfo> &records,
                                    const Progress &progress);
};

// Runs an export on a thread of its own; its signals reach the receivers' threads queued.
class TESKVIDEOSEARCH_EXPORT CVideoExportTask : public QObject
{
    Q_OBJECT
public:
    explicit CVideoExportTask(QObject *parent = nullptr);
    // Cancels a running export and waits for it to clean up.
    ~CVideoExportTask() override;

    // False while an export runs.
    bool Start(const QVector<CVideoDownloadInfo> &records);
    void Cancel();
    bool IsRunning() const;

signals:
    void SignalProgress(int percent, QString file_name);
    void SignalFinished(bool b_ok, QString message, QStringList files);

private:
    std::thread worker_;
    std::atomic<bool> is_running_{false};
    std::atomic<bool> is_cancelled_{false};
};

// The records of the side panel's list with the names shown there and the panel's choices.
TESKVIDEOSEARCH_EXPORT int
GetDownloadInfo(tesk_ui_data_controller::CDownloadFrameForVideoSearch *frame,
                QVector<CVideoDownloadInfo> &out);

// Exports what the side panel's download button asks for, with progress in the panel.
class TESKVIDEOSEARCH_EXPORT CVideoExportController : public QObject
{
    Q_OBJECT
public:
    explicit CVideoExportController(tesk_ui_data_controller::CDownloadFrameForVideoSearch *frame,
                                    QObject *parent = nullptr);
    CVideoExportTask *GetTask() const;

private slots:
    void OnDownload();
    void OnProgress(int percent, QString file_name);
    void OnFinished(bool b_ok, QString message, QStringList files);

private:
    tesk_ui_data_controller::CDownloadFrameForVideoSearch *ptr_frame_ = nullptr;
    CVideoExportTask *ptr_task_ = nullptr;
};

} // namespace TeskVideoSearch
