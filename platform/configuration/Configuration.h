#pragma once

#include "quorbase/Singleton.h"

#include <QObject>
#include <QString>

#include <mutex>
#include <string>

// The client's configuration services. Values are stored at once in an INI file; the file's
// directory is TESK_CONFIG_DIR when set, else the user's configuration directory.
namespace tesk_configuration {

// Presentation per kind of recording: 0 thumbnails, 1 list. In a change request -1 means
// "leave as it is".
struct SearchDisplayConfigType
{
    int regular_video_display_type = 0;
    int person_dect_display_type = 0;
    int vehicle_dect_display_type = 0;
    int event_alarm_display_type = 0;
    int tag_display_type = 0;
    int lock_display_type = 0;
    int other_display_type = 0;
};

struct FileConfigType
{
    std::string file_save_path;
};

enum ConfigPage {
    ConfigPageFile = 1,
    ConfigPageSearchDisplay = 7,
};

QString ConfigFilePath();

class TESK_PLATFORM_VISIBLE CLocalSystemConfigManager
    : public Quor::Base::CSingleton<CLocalSystemConfigManager>
{
public:
    SearchDisplayConfigType GetSearchDisplayType();
    FileConfigType GetFileConfig();

private:
    friend class Quor::Base::CSingleton<CLocalSystemConfigManager>;
    CLocalSystemConfigManager() = default;
};

class TESK_PLATFORM_VISIBLE CSystemConfigManager
    : public QObject,
      public Quor::Base::CSingleton<CSystemConfigManager>
{
    Q_OBJECT
public:
    // Stores every field that is not -1 and announces the change. False when the file cannot
    // be written.
    bool SetSearchDisplayConfig(const SearchDisplayConfigType &config);
    bool SetFileConfig(const FileConfigType &config);

signals:
    void signalConfigContentChanged(tesk_configuration::ConfigPage page);

private:
    friend class Quor::Base::CSingleton<CSystemConfigManager>;
    CSystemConfigManager();
};

} // namespace tesk_configuration

Q_DECLARE_METATYPE(tesk_configuration::ConfigPage)
