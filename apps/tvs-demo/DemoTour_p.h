#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>

namespace TeskVideoSearch {

class CDemoMainWindow;

// One step of the tour: what it is called and what it does; false with the reason when the
// feature did not work.
struct TourStep
{
    QString name;
    std::function<bool(QString &why)> run;
};

struct UDemoTourData
{
    CDemoMainWindow *ptr_window_ = nullptr;
    QString shot_dir;
    int shot_number_ = 0;
    QStringList qvc_failures_;
    // The period searched, for checks against the store.
    qint64 search_begin_ = 0;
    qint64 search_end_ = 0;
    QString export_dir;
    QString timelapse_dir;
    // The next modal dialog is a confirmation the step asked for; others are declined.
    bool is_confirm_next_ = false;
    bool is_answering_ = false;
    int confirmations_ = 0;
};

} // namespace TeskVideoSearch
