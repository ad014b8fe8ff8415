#pragma once

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTableWidget>
#include <QTimer>

#include <map>
#include <memory>
#include <string>

class QTemporaryDir;

namespace TeskVideoSearch {

// A task the host submitted: where its video goes and how it ended.
struct TimeLapseTaskEntry
{
    int row = -1;
    QString camera_name;
    QString output;
    // The name the task gives its video in its working folder.
    QString file_name;
    std::shared_ptr<QTemporaryDir> work;
    bool is_done_ = false;
    bool b_success_ = false;
    QString outcome;
};

struct UTimeLapseTasksWidgetData
{
    QComboBox *ptr_camera_combo_ = nullptr;
    QDateTimeEdit *ptr_begin_edit_ = nullptr;
    QDateTimeEdit *ptr_end_edit_ = nullptr;
    QLineEdit *ptr_folder_edit_ = nullptr;
    QPushButton *ptr_start_btn_ = nullptr;
    QPushButton *ptr_pause_btn_ = nullptr;
    QPushButton *ptr_delete_btn_ = nullptr;
    QTableWidget *ptr_table_ = nullptr;
    QTimer *ptr_poll_timer_ = nullptr;
    std::map<std::string, TimeLapseTaskEntry> tasks; // by guid
};

} // namespace TeskVideoSearch
