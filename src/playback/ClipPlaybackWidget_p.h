#pragma once

#include "playback/ClipPlaybackWidget.h"

#include <QPointer>

class QTabBar;
class QVBoxLayout;

namespace TeskVideoSearch {

class CPlayWndMessager;

struct UClipPlaybackWidgetData
{
    CClipPlaybackParam param_;
    teskplaywindow::CPlaybackWindow *ptr_play_window_ = nullptr;
    QPointer<CVideoSearchExpandInterface> ptr_expand_;
    QPointer<QWidget> ptr_owner_;
    QPointer<QWidget> ptr_track_widget_;
    QPointer<QWidget> ptr_map_widget_;
    CPlayWndMessager *ptr_messager_ = nullptr;
    CPlaybackBottomWidget *ptr_bottom_widget_ = nullptr;
    CVideoDetailDialog *ptr_detail_dialog_ = nullptr;

    CClipPlaybackTitle *ptr_title_ = nullptr;
    QWidget *ptr_content_widget_ = nullptr;
    QWidget *ptr_play_area_ = nullptr;
    QVBoxLayout *ptr_play_layout_ = nullptr;
    QTabBar *ptr_tab_bar_ = nullptr;
    QWidget *ptr_base_page_ = nullptr;
    QVBoxLayout *ptr_info_layout_ = nullptr;
    CClipPlaybackBaseInfoWidget *ptr_base_info_ = nullptr;
    QWidget *ptr_map_page_ = nullptr;
    QVBoxLayout *ptr_map_layout_ = nullptr;

    bool b_map_loaded_ = false;
    bool is_full_screen_ = false;
};

} // namespace TeskVideoSearch
