#pragma once

#include "playwindow/TeskTimeConvert.h"

#include "playcontroller/CameraForPlay.h"
#include "quorbase/ValueClass.h"

#include <QDateTime>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

namespace teskplaywindow {

// The play window's start-up record: five one-byte flags followed by a 32-bit value.
#define TESK_FIELDS_PlaybackConfig(F)                                                              \
    F(uint8_t, show_control_bar, 1)                                                                \
    F(uint8_t, enable_split, 1)                                                                    \
    F(uint8_t, show_tool_bar, 1)                                                                   \
    F(uint8_t, enable_local_record, 1)                                                             \
    F(uint8_t, enable_tour, 1)                                                                     \
    F(uint32_t, max_speed_level, 3)
TESK_VALUE_CLASS(, CPlaybackConfig, PlaybackConfig, TESK_FIELDS_PlaybackConfig)

// States of a playback event.
enum PlaybackEventState : int {
    PlaybackStarted = 1,
    PlaybackPaused = 2,
    PlaybackResumed = 3,
    PlaybackStopped = 4,
    PlaybackFailed = 5,
    PlaybackEnded = 8,       // the last file played to its end
    PlaybackEndedNoData = 9, // nothing left to play at the asked time
    PlaybackEndedByRange = 10,
};

#define TESK_FIELDS_PlaybackEvent(F)                                                               \
    F(int, state, 0)                                                                               \
    F(int64_t, utc_time, 0)                                                                        \
    F(QString, message, {})
TESK_VALUE_CLASS(, CPlaybackEvent, PlaybackEvent, TESK_FIELDS_PlaybackEvent)

// One GPS record carried in the stream of a moving camera.
#define TESK_FIELDS_StreamGPSInfo(F)                                                               \
    F(QString, str_time, {})                                                                       \
    F(double, longitude, 0.0)                                                                      \
    F(double, latitude, 0.0)                                                                       \
    F(QString, longitude_hemiphere, {})                                                            \
    F(QString, latitude_hemiphere, {})                                                             \
    F(bool, need_link, false)
TESK_VALUE_CLASS(, CStreamGPSInfo, StreamGPSInfo, TESK_FIELDS_StreamGPSInfo)

// A message the play window asks its host to show: text (file type 0) or a picture tip.
#define TESK_FIELDS_MessageInfo(F)                                                                 \
    F(int, file_type, 0)                                                                           \
    F(int, message_type, 0)                                                                        \
    F(QString, message, {})                                                                        \
    F(QString, file_path, {})                                                                      \
    F(QString, picture_path, {})                                                                   \
    F(int, information_type, 0)
TESK_VALUE_CLASS(, CMessageInfo, MessageInfo, TESK_FIELDS_MessageInfo)

// The client's realtime display limits as the play window keeps them.
struct RealtimeLimitConfig
{
    bool limit_enabled = false;
    int max_windows = 0;
};

class IMessageNotifier
{
public:
    virtual ~IMessageNotifier() = default;
    virtual void ShowMessage(const CMessageInfo &info, const QMap<QString, QVariant> &extra) = 0;
};

// The client's local settings, asked for when the play window needs them.
class IVideoSystemConf
{
public:
    virtual ~IVideoSystemConf() = default;
    virtual QVariantMap GetKorvFrameworkConfig() = 0;
    virtual QVariantMap GetGeneralConfig() = 0;
    virtual QVariantMap GetNetworkConfig() = 0;
    virtual QVariantMap GetFileConfig() = 0;
    virtual RealtimeLimitConfig GetRealtimeLimitConfig() = 0;
    virtual QVariantMap GetInformationDisplayConfig() = 0;
    virtual QVariantMap GetToolbarConfig() = 0;
    virtual QVariantMap GetAudioConfig() = 0;
    virtual bool IsDomesticProduct() = 0;
};

// What the host lends the play window.
#define TESK_FIELDS_PlayContext(F)                                                                 \
    F(IVideoSystemConf *, ptr_video_sys_conf, nullptr)                                             \
    F(IMessageNotifier *, ptr_message_notifier, nullptr)
TESK_VALUE_CLASS(, CPlayContext, PlayContext, TESK_FIELDS_PlayContext)

} // namespace teskplaywindow

Q_DECLARE_METATYPE(teskplaywindow::CPlaybackEvent)
Q_DECLARE_METATYPE(teskplaywindow::CStreamGPSInfo)
