#include "Configuration.h"

#include "mirelog/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <array>
#include <utility>

namespace tesk_configuration {

namespace {

// One lock for every access: QSettings objects of one file are not safe across threads.
std::mutex &SettingsMutex()
{
    static std::mutex mutex;
    return mutex;
}

using DisplayField = int SearchDisplayConfigType::*;
const std::array<std::pair<const char *, DisplayField>, 7> kDisplayFields = {{
    {"regular_video", &SearchDisplayConfigType::regular_video_display_type},
    {"person_dect", &SearchDisplayConfigType::person_dect_display_type},
    {"vehicle_dect", &SearchDisplayConfigType::vehicle_dect_display_type},
    {"event_alarm", &SearchDisplayConfigType::event_alarm_display_type},
    {"tag", &SearchDisplayConfigType::tag_display_type},
    {"lock", &SearchDisplayConfigType::lock_display_type},
    {"other", &SearchDisplayConfigType::other_display_type},
}};

QString DefaultSavePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::MoviesLocation) + "/TeskVideoSearch";
}

} // namespace

QString ConfigFilePath()
{
    QString dir = qEnvironmentVariable("TESK_CONFIG_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
              "/TeskVideoSearch";
    return dir + "/client.ini";
}

SearchDisplayConfigType CLocalSystemConfigManager::GetSearchDisplayType()
{
    std::lock_guard<std::mutex> lock(SettingsMutex());
    QSettings settings(ConfigFilePath(), QSettings::IniFormat);
    SearchDisplayConfigType config;
    for (const auto &[key, field] : kDisplayFields) {
        bool ok = false;
        const int value = settings.value(QStringLiteral("SearchDisplay/") + key, 0).toInt(&ok);
        config.*field = ok ? value : 0;
    }
    return config;
}

FileConfigType CLocalSystemConfigManager::GetFileConfig()
{
    std::lock_guard<std::mutex> lock(SettingsMutex());
    QSettings settings(ConfigFilePath(), QSettings::IniFormat);
    FileConfigType config;
    config.file_save_path = settings.value(QStringLiteral("File/file_save_path"), DefaultSavePath())
                                .toString()
                                .toStdString();
    return config;
}

CSystemConfigManager::CSystemConfigManager()
{
    qRegisterMetaType<ConfigPage>("tesk_configuration::ConfigPage");
}

bool CSystemConfigManager::SetSearchDisplayConfig(const SearchDisplayConfigType &config)
{
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        QDir().mkpath(QFileInfo(ConfigFilePath()).absolutePath());
        QSettings settings(ConfigFilePath(), QSettings::IniFormat);
        for (const auto &[key, field] : kDisplayFields) {
            if (config.*field != -1)
                settings.setValue(QStringLiteral("SearchDisplay/") + key, config.*field);
        }
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            TESK_LOG_ERROR("cannot write %s", ConfigFilePath().toLocal8Bit().constData());
            return false;
        }
    }
    emit signalConfigContentChanged(ConfigPageSearchDisplay);
    return true;
}

bool CSystemConfigManager::SetFileConfig(const FileConfigType &config)
{
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        QDir().mkpath(QFileInfo(ConfigFilePath()).absolutePath());
        QSettings settings(ConfigFilePath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("File/file_save_path"),
                          QString::fromStdString(config.file_save_path));
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            TESK_LOG_ERROR("cannot write %s", ConfigFilePath().toLocal8Bit().constData());
            return false;
        }
    }
    emit signalConfigContentChanged(ConfigPageFile);
    return true;
}

} // namespace tesk_configuration
