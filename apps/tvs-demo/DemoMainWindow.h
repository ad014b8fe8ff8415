#pragma once

#include "recordserver/RecordingServer.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

namespace TeskVideoSearch {

class ClipVideoSearchWidget;
class CDemoExpandInterface;
class CTimeLapseTasksWidget;
struct UDemoMainWindowData;

// The demo host: the module's search panel as a client embeds it, with the host's map
// extension, time-lapse tasks, exports, user switch and auxiliary screen.
class CDemoMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The users the demo switches between; the operator may not delete tags, unlock
    // recordings or see locked ones.
    static constexpr const char *kAdministrator = "Administrator";
    static constexpr const char *kOperator = "Operator";

    explicit CDemoMainWindow(std::shared_ptr<teskrecordserver::CRecordingServer> server,
                             QWidget *parent = nullptr);
    ~CDemoMainWindow() override;

    const std::shared_ptr<teskrecordserver::CRecordingServer> &Server() const;
    ClipVideoSearchWidget *Panel() const;
    CDemoExpandInterface *Expand() const;
    CTimeLapseTasksWidget *TimeLapseTasks() const;
    // The auxiliary-screen window while the panel is on it, else null.
    QWidget *AuxiliaryWindow() const;
    QString CurrentUser() const;
    // The last finished export: its outcome and the files it wrote.
    int ExportCount() const;
    bool LastExport(QString &message, QStringList &files) const;

signals:
    void SignalExportFinished(bool b_ok, const QString &message, const QStringList &files);

public slots:
    void OnSwitchUser(const QString &user);
    void OnShowTimeLapseTasks();
    void OnAuxiliaryChanged(const bool &is_auxiliary);
    void OnBringBackFromAuxiliary();
    void OnDownloadVideoFile();
    void OnClearResults();

private:
    void CreateMenus();
    // Publishes the store's cameras as this host knows them, with the user's permissions.
    void PublishStore();
    void UpdateStatus();

    std::shared_ptr<UDemoMainWindowData> data_;
};

} // namespace TeskVideoSearch
