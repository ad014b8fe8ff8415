// tvs-demo: the module's search panel in a desktop window, as a client hosts it, on the
// embedded recording store; `--tour DIR` drives every feature with real input events and
// saves a screenshot of each step.

#include "DemoMainWindow.h"
#include "DemoStore.h"
#include "DemoTour.h"
#include "HostTranslations.h"
#include "ToolSupport.h"

#include "mirelog/Log.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace TeskVideoSearch;

namespace {

constexpr const char *kStyleSheet = ":/Styles/TeskClient.qss";
// Marks a folder as the tour's own, so that a later tour may replace its screenshots.
constexpr const char *kTourMarker = ".tvs-tour";

struct DemoOptions
{
    QString store;
    bool large = false;
    QString tour_dir;
    int tour_repeat = 1;
    bool exit_when_shown = false;
    int bench_search_cameras = 0;
};

bool IsHeadless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

// A failure the person must see: a dialog on a display, one line on standard error always.
void ReportFailure(const QString &message)
{
    PrintToolError(message);
    if (!IsHeadless())
        QMessageBox::critical(nullptr, QObject::tr("Video search"), message);
}

void LoadStyleSheet(QApplication &app)
{
    QFile file(kStyleSheet);
    if (!file.open(QIODevice::ReadOnly)) {
        TESK_LOG_ERROR("The client's style sheet %s is not available; default look", kStyleSheet);
        return;
    }
    app.setStyleSheet(QString::fromUtf8(file.readAll()));
}

std::optional<int> ReadOptions(QApplication &app, DemoOptions &out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Opens the video search in a window on the embedded recording store "
                       "(created with sample recordings on first use)."));
    parser.addOptions({
        {"store", "Store directory (default: $TESK_DATA_DIR/store or the user's data directory).",
         "dir"},
        {"large", "Create the large benchmark store if the store does not exist yet."},
        {"tour",
         "Drive every feature with input events, save a screenshot of each step in "
         "<dir> and exit: 0 when every step worked, 1 naming the steps that failed.",
         "dir"},
        {"repeat",
         "Run the tour <n> times in one process (resident memory is printed after "
         "each).",
         "n", "1"},
        {"exit-when-shown", "Exit as soon as the search panel has been shown (start-up timing)."},
        {"bench-search",
         "Search the last 7 days of <n> cameras for every kind, print the time "
         "from the button to the final count of every tab, and exit.",
         "n"},
    });
    if (const auto stop = ParseToolCommandLine(parser, app))
        return stop;
    if (parser.isSet("store") && parser.value("store").trimmed().isEmpty())
        return RefuseUsage("--store is empty; give a folder or leave it out");
    out.store = parser.value("store");
    out.large = parser.isSet("large");
    out.exit_when_shown = parser.isSet("exit-when-shown");
    if (parser.isSet("tour")) {
        out.tour_dir = parser.value("tour");
        if (out.tour_dir.trimmed().isEmpty())
            return RefuseUsage("--tour needs a folder for the screenshots");
        bool ok = false;
        out.tour_repeat = parser.value("repeat").toInt(&ok);
        if (!ok || out.tour_repeat < 1)
            return RefuseUsage("--repeat must be a positive whole number, not \"" +
                               parser.value("repeat") + "\"");
    }
    if (parser.isSet("bench-search")) {
        bool ok = false;
        out.bench_search_cameras = parser.value("bench-search").toInt(&ok);
        if (!ok || out.bench_search_cameras < 1)
            return RefuseUsage("--bench-search must be a positive number of cameras, not \"" +
                               parser.value("bench-search") + "\"");
    }
    return std::nullopt;
}

// The tour writes only into a new or empty folder, or one an earlier tour made.
bool PrepareTourFolder(const QString &dir)
{
    const QDir folder(dir);
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir()) {
        PrintToolError("the tour's folder " + dir + " is a file; give a folder");
        return false;
    }
    const bool empty =
        !info.exists() ||
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty();
    if (!empty && !QFileInfo::exists(folder.filePath(kTourMarker))) {
        PrintToolError("the tour's folder " + dir +
                       " holds other files; give a new or empty folder (nothing was written)");
        return false;
    }
    QFile marker(folder.filePath(kTourMarker));
    if (!QDir().mkpath(dir) || !marker.open(QIODevice::WriteOnly)) {
        PrintToolError("cannot create the tour's folder " + dir);
        return false;
    }
    return true;
}

// The store, created first when needed with a progress window; null after a failure that the
// person has been told about.
std::shared_ptr<teskrecordserver::CRecordingServer> OpenStore(const DemoOptions &options)
{
    CDemoStoreOpener opener;
    QString failure;
    QObject::connect(&opener, &CDemoStoreOpener::SignalFailed,
                     [&failure](const QString &message) { failure = message; });
    bool creating = false;
    QObject::connect(&opener, &CDemoStoreOpener::SignalCreating,
                     [&creating](const QString &) { creating = true; });
    opener.Open(options.store, options.large);
    if (creating) {
        std::fprintf(stderr, "Creating the recording store in %s (once)...\n",
                     qPrintable(QDir::toNativeSeparators(opener.StoreDir())));
        CStoreProgressDialog dialog(&opener);
        if (opener.IsCreating())
            dialog.exec();
    }
    if (!opener.Server()) {
        ReportFailure(failure.isEmpty() ? QObject::tr("The recording store could not be opened.")
                                        : failure);
        return nullptr;
    }
    return opener.Server();
}

} // namespace

int main(int argc, char **argv)
{
    // glibc raises its mmap threshold to the size of the largest block freed so far (up to
    // 32 MB) and then keeps twice that free at the top of every thread's arena. One freed
    // screenshot or video frame of a few MB makes each worker's arena hold on to ~10 MB that
    // no later allocation of that thread needs: resident memory then grows for as long as new
    // threads pick other arenas. A fixed threshold (glibc's own default) sends large buffers
    // to mmap, which returns them when freed.
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    QElapsedTimer since_start;
    since_start.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tvs-demo"));
    DemoOptions options;
    if (const auto stop = ReadOptions(app, options))
        return *stop;
    InstallHostTranslations(app);
    LoadStyleSheet(app);
    // Time-lapse pauses block on the worker; a pool wider than the cores keeps a reporting
    // step from queueing behind a busy one.
    QThreadPool::globalInstance()->setMaxThreadCount(
        std::max(4, QThreadPool::globalInstance()->maxThreadCount()));

    // Every option is checked before any work.
    if (!options.tour_dir.isEmpty() && !PrepareTourFolder(options.tour_dir))
        return kExitUsage;
    const auto server = OpenStore(options);
    if (!server)
        return kExitFailed;
    InstallToolStore(server);

    CDemoMainWindow window(server);
    window.show();
    if (options.exit_when_shown) {
        QTimer::singleShot(0, &app, [&]() {
            std::printf("panel shown after %lld ms\n",
                        static_cast<long long>(since_start.elapsed()));
            std::fflush(stdout);
            QCoreApplication::exit(kExitOk);
        });
        return app.exec();
    }
    if (options.bench_search_cameras > 0) {
        QTimer::singleShot(0, &app, [&]() {
            CDemoTour tour(&window, QString());
            QCoreApplication::exit(tour.RunSearchBenchmark(options.bench_search_cameras));
        });
        return app.exec();
    }
    if (!options.tour_dir.isEmpty()) {
        QTimer::singleShot(0, &app, [&]() {
            int failed = 0;
            for (int round = 1; round <= options.tour_repeat; ++round) {
                CDemoTour tour(&window, options.tour_dir);
                failed += tour.Run();
                std::printf("tour %d of %d: %d step(s) failed; resident memory %.1f MB\n", round,
                            options.tour_repeat, tour.FailedCount(),
                            CDemoTour::ResidentMegabytes());
                std::fflush(stdout);
            }
            std::printf("screenshots: %s\n", qPrintable(QDir(options.tour_dir).absolutePath()));
            QCoreApplication::exit(failed == 0 ? kExitOk : kExitFailed);
        });
        return app.exec();
    }
    return app.exec();
}
