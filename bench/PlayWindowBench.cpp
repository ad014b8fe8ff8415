// How fast the play window shows what is asked for, on the store's media: the first frame after
// StartNormalPlayByFile, the frame after a seek, and how late frames come at 1x and 8x.
#include "recordserver/RecordingServer.h"

#include "playwindow/PlaybackWindow.h"

#include "playcontroller/RecordingSource.h"
#include "quorbase/Util.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

struct Clip
{
    std::shared_ptr<teskplaycontroller::CCameraForPlay> camera;
    int64_t begin = 0;
    int64_t end = 0;
};

std::shared_ptr<teskrecordserver::CRecordingServer> &TheServer()
{
    static std::shared_ptr<teskrecordserver::CRecordingServer> server;
    return server;
}

Clip &TheClip()
{
    static QTemporaryDir dir;
    static Clip clip = [] {
        teskrecordserver::GeneratorOptions options;
        options.sites = 1;
        options.cameras = 2;
        options.days = 1;
        options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;
        auto server = std::make_shared<teskrecordserver::CRecordingServer>();
        server->Open(dir.path().toStdString(), options);
        server->PublishToHost();
        teskplaycontroller::CRecordingSourceRegistry::SetSource(server);
        TheServer() = server;
        Clip c;
        for (const auto &camera : server->Catalogue().Cameras()) {
            for (const auto &row :
                 server->Catalogue().Recordings(camera.site_id, camera.id, 0, INT64_MAX / 2)) {
                if (row.end - row.begin >= 600 && !c.camera) {
                    c.camera = std::make_shared<teskplaycontroller::CCameraForPlay>(camera.site_id,
                                                                                    camera.id);
                    c.begin = row.begin;
                    c.end = row.end;
                }
            }
        }
        return c;
    }();
    return clip;
}

std::vector<std::shared_ptr<teskplaycontroller::CPlaybackFile>> Files(const Clip &clip,
                                                                      int64_t seconds)
{
    return {std::make_shared<teskplaycontroller::CDeviceFile>(
        clip.begin, std::min(clip.end, clip.begin + seconds), "bench")};
}

bool WaitFrames(teskplaywindow::CPlaybackWindow &window, int count)
{
    QSignalSpy shown(&window, &teskplaywindow::CPlaybackWindow::SignalFrameShown);
    while (shown.size() < count) {
        if (!shown.wait(30000))
            return false;
    }
    return true;
}

// Start to first frame; `cold` asks for media never generated before (a fresh piece).
void BM_StartToFirstFrame(benchmark::State &state)
{
    const Clip &clip = TheClip();
    teskplaywindow::CPlaybackWindow window;
    window.resize(640, 400);
    window.show();
    int64_t offset = 0;
    for (auto _ : state) {
        const int64_t start = clip.begin + (state.range(0) ? (offset += 30) % 570 : 5);
        window.StartNormalPlayByFile(Files(clip, 600), clip.camera, start, 0, 0, false);
        if (!WaitFrames(window, 1))
            state.SkipWithError("no frame");
        state.SetIterationTime(window.GetStatistics().first_frame_ns / 1e9);
        window.StopPlay();
    }
}
BENCHMARK(BM_StartToFirstFrame)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("new_piece")
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A seek to a random instant of a ten-minute clip whose media is already generated.
void BM_SeekToFrame(benchmark::State &state)
{
    const Clip &clip = TheClip();
    teskplaywindow::CPlaybackWindow window;
    window.resize(640, 400);
    window.show();
    window.StartNormalPlayByFile(Files(clip, 600), clip.camera, clip.begin, 0, 0, false);
    WaitFrames(window, 1);
    window.Pause();
    for (int64_t t = clip.begin; t < clip.begin + 600; t += 30) {
        window.SeekTo(t);
        WaitFrames(window, 1);
    }
    // A first visit plays from lead pieces while the whole ones are written in the background.
    TheServer()->MediaCache().WaitForPrefetches();
    std::mt19937 random(5);
    for (auto _ : state) {
        window.SeekTo(clip.begin + static_cast<int64_t>(random() % 599));
        if (!WaitFrames(window, 1))
            state.SkipWithError("no frame");
        state.SetIterationTime(window.GetStatistics().first_frame_ns / 1e9);
    }
}
BENCHMARK(BM_SeekToFrame)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// One minute of recording at 1x (a minute of real time) or 8x: the largest lateness of a
// shown frame against its due time, and the frames shown.
void BM_Pacing(benchmark::State &state)
{
    const Clip &clip = TheClip();
    const int speed_index = static_cast<int>(state.range(0));
    teskplaywindow::CPlaybackWindow window;
    window.resize(640, 400);
    window.show();
    for (auto _ : state) {
        window.SetSpeedIndex(speed_index);
        window.SaveSpeedAndZoomParam(true);
        QSignalSpy events(&window, &teskplaywindow::CPlaybackWindow::SignalPlaybackEvent);
        window.StartNormalPlayByFile(Files(clip, 61), clip.camera, clip.begin, 0, 0, false);
        WaitFrames(window, 1);
        window.ResetStatistics();
        while (window.IsPlaying())
            events.wait(120000);
        const auto stats = window.GetStatistics();
        state.counters["max_late_ms"] = stats.max_late_ns / 1e6;
        state.counters["mean_late_ms"] =
            stats.frames_shown ? stats.total_late_ns / 1e6 / stats.frames_shown : 0.0;
        state.counters["frames"] = stats.frames_shown;
    }
}
BENCHMARK(BM_Pacing)
    ->Arg(teskplaywindow::CPlaybackWindow::kNormalSpeed)
    ->Arg(teskplaywindow::CPlaybackWindow::kSpeedCount - 1)
    ->ArgName("speed_index")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
