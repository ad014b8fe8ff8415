#pragma once

#include "recordserver/RecordingServer.h"

#include <QActionGroup>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QString>

#include <memory>

namespace TeskVideoSearch {

class ClipVideoSearchWidget;
class CDemoExpandInterface;
class CTimeLapseTasksWidget;
class CVideoExportTask;

struct UDemoMainWindowData
{
    std::shared_ptr<teskrecordserver::CRecordingServer> ptr_server_;
    ClipVideoSearchWidget *ptr_panel_ = nullptr;
    CDemoExpandInterface *ptr_expand_ = nullptr;
    QStackedWidget *ptr_central_ = nullptr;
    QWidget *ptr_aux_placeholder_ = nullptr;
    QPointer<QWidget> ptr_aux_window_;
    CTimeLapseTasksWidget *ptr_timelapse_ = nullptr;
    CVideoExportTask *ptr_export_task_ = nullptr;
    QActionGroup *ptr_user_group_ = nullptr;
    QLabel *ptr_status_label_ = nullptr;
    QString user;
    QStringList qvc_last_export_files_;
    QString last_export_message;
    bool b_last_export_ok_ = false;
    int export_count_ = 0;
};

} // namespace TeskVideoSearch
