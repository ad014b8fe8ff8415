#pragma once

#include "timebar/AnimationProgressBar.h"

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QStaticText>
#include <QTimer>
#include <QVector>

#include <ctime>
#include <functional>

namespace TeskVideoSearch {

struct AnimationProgressBarData
{
    QRect handle_rect_;
    QRect level_rect_;
    bool is_simplify_mode_ = false;
    bool b_need_repaint_ = true;
    bool is_scaling_ = false;
    bool is_inertia_moving_ = false;
    bool is_sliding_ = false;
    bool is_pressed_ = false;
    bool b_press_stopped_inertia_ = false;
    int32_t pointer_side_ = kPointerSideNone;
    int32_t animation_interval_ = 30;
    int32_t highest_level_ = CAnimationProgressBar::LevelTwelveMinutes;
    int32_t lowest_level_ = CAnimationProgressBar::LevelSevenDays;
    int32_t current_level_ = CAnimationProgressBar::LevelOneDay;
    int32_t scaling_from_level_ = CAnimationProgressBar::LevelOneDay;
    int32_t scaling_to_level_ = CAnimationProgressBar::LevelOneDay;
    int32_t scaling_duration_ = 800;
    int32_t scaling_elapsed_ = 0;
    int32_t slide_duration_ = 0;
    int32_t slide_elapsed_ = 0;
    int32_t scale_line_height_ = 8;
    int32_t time_spec_offset_ = 0;
    int32_t press_reference_x_ = 0;
    uint32_t slide_target_ = 0;
    float base_unit_length_ = 0;
    float unit_scale_length_ = 0;
    float unit_time_length_ = 0;
    float scaling_ratio_ = 1;
    float last_pointer_x_ = 0;
    int64_t current_ms_ = 0;
    int64_t press_time_ = 0;
    int64_t last_move_time_ = 0;
    int64_t range_start_ms_ = 0;
    int64_t range_end_ms_ = 0;
    double inertia_speed_ = 0;
    QTimer slide_timer_;
    QTimer scale_timer_;
    QTimer inertia_timer_;
    QTimer velocity_timer_;
    QLabel *ptr_time_tip_lb = nullptr;
    QVector<CAbstractDelegate *> qvc_delegates_;
    QPixmap cache_pixmap_;
    bool b_drag_enable_ = false;
    clock_t last_move_report_clock_ = -1;
    float nonlinear_step_ = 0;
    bool b_draw_middle_line_ = false;
    QTimer dwell_timer_;
    int64_t remembered_drag_time_ = -1;
    bool b_remembered_drag_ = false;
    bool is_drag_active_ = false;
    QColor background_color_{"#1F1F1F"};
    int64_t tm_dst_begin_ = 0;
    int64_t tm_dst_end_ = 0;
    int32_t utc_bias_ = 0;
    int32_t daylight_bias_ = 0;
    bool b_dst_ = false;
    bool b_mouse_enabled_ = true;

    // Not state of the axis: where the pointer was last seen, the velocity sampler's last
    // reading and the cursor x of the last event (the sampler runs between events).
    QPoint pointer_pos_;
    int velocity_sample_x_ = 0;
    int last_global_x_ = 0;
    QPoint press_pos_;
    // Label texts by minute of the day; drawing cached static text is several times cheaper
    // than laying out the same "hh:mm" on every 30 ms frame.
    QHash<int, QStaticText> label_cache_;

    // The clocks that gestures are measured with; tests replace them to make inertia and the
    // report limit deterministic.
    std::function<int64_t()> now_ms_ = [] {
        return QDateTime::currentMSecsSinceEpoch();
    };
    std::function<clock_t()> clock_ = [] {
        return std::clock();
    };

    static constexpr int32_t kPointerSideNone = 2;
};

} // namespace TeskVideoSearch
