// Painting the file bar as a search finds more: a 1920x86 image, 100 paints per case, median
// and 95th percentile reported as counters. "Naive" is the one-rectangle-per-band layer for
// comparison; "ZoomFrame" paints every frame of an 800 ms zoom animation.
#include "timebar/AbstractDelegate.h"
#include "timebar/BaseFileProgressBar.h"
#include "timebar/TimeBarDelegate.h"

#include "resources/Resources.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <ctime>
#include <random>

using namespace TeskVideoSearch;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 86;
constexpr int kPaints = 100;
constexpr int64_t kCentre = 1780315200; // 2026-06-01 12:00 UTC
constexpr int64_t kWeek = 604800;

// Recordings spread over the week around the centre, overlapping like several cameras'.
QVector<TimeBarParam> Bands(int count)
{
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int64_t> begin(kCentre - kWeek / 2, kCentre + kWeek / 2);
    std::uniform_int_distribution<int64_t> length(1, std::max<int64_t>(60, kWeek * 3 / count));
    QVector<TimeBarParam> bands(count);
    for (TimeBarParam &band : bands) {
        band.dtStart = begin(random);
        band.dtEnd = band.dtStart + length(random);
        band.barColor = QColor(33, 150, 243);
    }
    return bands;
}

// Every band filled on its own, merged only with the band drawn just before.
class CNaiveDelegate : public CAbstractDelegate
{
public:
    CNaiveDelegate(QObject *parent, QVector<TimeBarParam> bands)
        : CAbstractDelegate(parent, RecordFileDelegate)
        , bands_(std::move(bands))
    {
        std::sort(bands_.begin(), bands_.end(),
                  [](const auto &a, const auto &b) { return a.dtStart < b.dtStart; });
    }
    void Paint(QPainter &painter) override
    {
        CAnimationProgressBar *bar = ProgressBar();
        const double k = bar->UnitScaleLength() / bar->UnitTimeLength();
        const double cx = bar->width() / 2.0;
        const int64_t now = bar->GetCurrentUTCTime();
        QRect last;
        painter.setOpacity(0.2);
        for (const TimeBarParam &band : bands_) {
            const double x1 = (band.dtStart - now) * k + cx;
            const double x2 = (band.dtEnd - now) * k + cx;
            if (x2 < 0 || x1 > bar->width())
                continue;
            QRect next(static_cast<int>(x1), 30, static_cast<int>(std::max(x2 - x1, 1.0)), 52);
            if (!next.intersects(last)) {
                last = next;
            } else if (last.contains(next)) {
                continue;
            } else {
                const int old_right = last.right();
                last.setRight(next.right());
                next.setLeft(old_right + 1);
            }
            painter.fillRect(QRect(next.x(), 30, next.width(), bar->height() - 30), band.barColor);
        }
    }

private:
    QVector<TimeBarParam> bands_;
};

class CPlainBar : public CAnimationProgressBar
{
public:
    using CAnimationProgressBar::CAnimationProgressBar;
    __int64 ISOTimeToTimeT(std::string) override { return -1; }
};

void Report(benchmark::State &state, std::vector<double> &ms)
{
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p95_ms"] = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    state.counters["max_ms"] = ms.back();
}

// The thread's own CPU time: the machine is shared, and wall time would measure the others.
double ThreadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double TimedRender(QWidget &bar, QImage &image)
{
    const double start = ThreadMs();
    QPainter painter(&image);
    bar.render(&painter);
    painter.end();
    return ThreadMs() - start;
}

void BM_PaintFileBar(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const auto level = static_cast<CAnimationProgressBar::TotalValue>(state.range(1));
    CBaseFileProgressBar bar;
    bar.resize(kWidth, kHeight);
    bar.AppendTimeBar(Bands(count));
    bar.SetCurrentTimeSliderLevel(level);
    bar.SetPlayBackTime(kCentre);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> ms;
    for (auto _ : state)
        ms.push_back(TimedRender(bar, image));
    Report(state, ms);
}

void BM_PaintNaive(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const auto level = static_cast<CAnimationProgressBar::TotalValue>(state.range(1));
    CPlainBar bar;
    bar.resize(kWidth, kHeight);
    bar.SetBackgroundColor(Qt::white);
    bar.InsertDelegate(new CNaiveDelegate(nullptr, Bands(count)), 0);
    bar.SetCurrentLevel(level);
    bar.SetPlayBackTime(kCentre);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> ms;
    for (auto _ : state)
        ms.push_back(TimedRender(bar, image));
    Report(state, ms);
}

// Every frame of zooming in from 7 days to 24 hours, which draws the most ticks and labels.
void BM_ZoomFrame(benchmark::State &state)
{
    CBaseFileProgressBar bar;
    bar.resize(kWidth, kHeight);
    bar.AppendTimeBar(Bands(static_cast<int>(state.range(0))));
    bar.SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelSevenDays);
    bar.SetPlayBackTime(kCentre);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> ms;
    for (auto _ : state) {
        bar.ScaleByStep(1);
        while (bar.isScaling()) {
            QMetaObject::invokeMethod(&bar, "OnScaleAnimationTimeOut");
            ms.push_back(TimedRender(bar, image));
        }
        state.PauseTiming();
        bar.SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelSevenDays);
        state.ResumeTiming();
    }
    Report(state, ms);
}

void Cases(benchmark::internal::Benchmark *bench)
{
    for (int count : {1000, 100000, 1000000})
        for (int level : {0, 3, 5})
            bench->Args({count, level});
    bench->Iterations(kPaints)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PaintFileBar)->Apply(Cases);
BENCHMARK(BM_PaintNaive)->Apply(Cases);
BENCHMARK(BM_ZoomFrame)->Arg(100000)->Iterations(4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TeskResources::Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
