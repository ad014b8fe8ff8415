#pragma once

#include "panels/MessageTip.h"

#include "playcontroller/CameraForPlay.h"
#include "pluginmanager/PluginManager.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTranslator>

#include <string>
#include <vector>

namespace PanelsTest {

// Collects the message tips shown while it lives.
class TipRecorder
{
public:
    TipRecorder()
    {
        previous_ = TeskVideoSearch::SetMessageTipHandler(
            [this](QWidget *, const QString &text) { texts << text; });
    }
    ~TipRecorder() { TeskVideoSearch::SetMessageTipHandler(previous_); }

    QStringList texts;

private:
    TeskVideoSearch::MessageTipHandler previous_;
};

struct PublishedCamera
{
    std::string site;
    std::string id;
    std::string name;
    int location_type = ResourceData::StorageLocationDevice;
    bool has_plan = true;
    int stream_type = 0;
};

// Replaces the host's cameras and record plans with `cameras`.
inline void PublishCameras(const std::vector<PublishedCamera> &cameras)
{
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    auto &registry = teskplaycontroller::CPlaybackParamRegistry::Instance();
    directory.Clear();
    registry.Clear();
    std::vector<OrlPluginManager::Camera> published;
    for (const PublishedCamera &wanted : cameras) {
        OrlPluginManager::Camera camera;
        camera.site_id = wanted.site;
        camera.id = wanted.id;
        camera.name = wanted.name;
        camera.device_id = wanted.site + "-dev";
        published.push_back(camera);
        if (wanted.has_plan) {
            teskplaycontroller::OrlPlayBackParamSet plan;
            plan.location_type = wanted.location_type;
            plan.stream_type = wanted.stream_type;
            registry.Set(wanted.site, wanted.id, plan);
        }
    }
    directory.SetCameras(published);
}

// The English texts of the module's keys, installed while it lives.
class EnglishTexts
{
public:
    EnglishTexts()
    {
        loaded_ = translator_.load("TeskVideoSearch_en",
                                   QCoreApplication::applicationDirPath() + "/../translations");
        if (loaded_)
            QCoreApplication::installTranslator(&translator_);
    }
    ~EnglishTexts() { QCoreApplication::removeTranslator(&translator_); }
    bool IsLoaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};

} // namespace PanelsTest
