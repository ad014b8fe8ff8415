#pragma once

#include "recordserver/RecordingServer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

namespace TeskVideoSearch {

struct UDemoStoreOpenerData
{
    QString program;
    QStringList qvc_leading_args_;
    QString dir;
    bool is_large_ = false;
    QPointer<QProcess> ptr_creator_;
    QString creator_output;
    bool is_cancelled_ = false;
    QElapsedTimer creation_clock;
    std::shared_ptr<teskrecordserver::CRecordingServer> ptr_server_;
};

class CDemoStoreOpener;

struct UStoreProgressDialogData
{
    CDemoStoreOpener *ptr_opener_ = nullptr;
    QLabel *ptr_text_ = nullptr;
    QProgressBar *ptr_progress_ = nullptr;
    QLabel *ptr_elapsed_ = nullptr;
    QTimer *ptr_clock_ = nullptr;
};

} // namespace TeskVideoSearch
