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

struct CameraSpec
{
    std::string site;
    std::string id;
    std::string name;
    int location_type = ResourceData::StorageLocationDevice;
    bool has_plan = true;
    int stream_type = 0;
};

// Replaces the host's cameras and record plans with `cameras`.
inline void PublishCameras(const std::vector<CameraSpec> &cameras)
{
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    auto &registry = teskplaycontroller::CPlaybackParamRegistry::Instance();
    directory.Clear();
    registry.Clear();
    std::vector<OrlPluginManager::Camera> published;
    for (const CameraSpec &spec : cameras) {
        OrlPluginManager::Camera camera;
        camera.site_id = spec.site;
        camera.id = spec.id;
        camera.name = spec.name;
        camera.device_id = spec.site + "-dev";
        published.push_back(camera);
        if (spec.has_plan) {
            teskplaycontroller::OrlPlayBackParamSet plan;
            plan.location_type = spec.location_type;
            plan.stream_type = spec.stream_type;
            registry.Set(spec.site, spec.id, plan);
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
