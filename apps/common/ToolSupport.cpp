#include "ToolSupport.h"

#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"
#include "pluginmanager/TimeLapseService.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TeskVideoSearch {

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    const ssize_t ignored = ::write(g_signal_pipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

// How often the wait for a store-creating child looks at it besides watching the pipe.
constexpr int kChildPollMs = 100;

void RemovePartialStore(const std::string &dir, pid_t pid)
{
    QDir(QString::fromStdString(teskrecordserver::CRecordingServer::PartialStoreDir(dir, pid)))
        .removeRecursively();
}

// Creates the store in a child; kExitOk, kExitFailed (the child said why) or kExitInterrupted.
int CreateStoreInChild(const std::string &dir, const teskrecordserver::GeneratorOptions &options)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0) {
        PrintToolError(
            QStringLiteral("cannot start the creation of the store %1: %2")
                .arg(QString::fromStdString(dir), QString::fromLocal8Bit(std::strerror(errno))));
        return kExitFailed;
    }
    if (child == 0) {
        // The parent decides what an interrupt means; it stops this process itself.
        std::signal(SIGINT, SIG_IGN);
        std::signal(SIGTERM, SIG_DFL);
        teskrecordserver::CRecordingServer server;
        const auto status = server.Open(dir, options);
        if (!status)
            PrintToolError(QString::fromStdString(status.Message()));
        std::fflush(stderr);
        ::_exit(status ? kExitOk : kExitFailed);
    }
    for (;;) {
        int state = 0;
        const pid_t done = ::waitpid(child, &state, WNOHANG);
        if (done == child)
            return WIFEXITED(state) && WEXITSTATUS(state) == kExitOk ? kExitOk : kExitFailed;
        pollfd watch{CInterrupts::ReadFd(), POLLIN, 0};
        if (::poll(&watch, 1, kChildPollMs) > 0 && CInterrupts::IsStop(CInterrupts::Take())) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &state, 0);
            RemovePartialStore(dir, child);
            PrintToolError(QStringLiteral("interrupted: the creation of the store %1 was stopped; "
                                          "nothing of it was kept")
                               .arg(QString::fromStdString(dir)));
            return kExitInterrupted;
        }
    }
}

void LogQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    mirelog::Write(type >= QtCriticalMsg ? mirelog::LevelError : mirelog::LevelInfo,
                   "OrlClientInfo", "Qt: %s", qPrintable(message));
}

void LogAvMessage(void *, int level, const char *format, va_list arguments)
{
    if (level > AV_LOG_WARNING)
        return;
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    mirelog::Write(mirelog::LevelInfo, "OrlClientInfo", "FFmpeg: %s", text);
}

} // namespace

void RouteLibraryMessagesToLog()
{
    qInstallMessageHandler(LogQtMessage);
    av_log_set_callback(LogAvMessage);
}

QString ExitCodesHelp()
{
    return QStringLiteral("Exit codes: 0 success, 1 the work failed, 2 bad usage (nothing was "
                          "done), 130 interrupted (Ctrl-C or SIGTERM; nothing partial is left).");
}

void PrintToolError(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 message.toLocal8Bit().constData());
    std::fflush(stderr);
}

std::optional<int> RefuseUsage(const QString &message)
{
    PrintToolError(message);
    return kExitUsage;
}

std::optional<int> ParseToolCommandLine(QCommandLineParser &parser, const QCoreApplication &app)
{
    parser.setApplicationDescription(parser.applicationDescription() + "\n\n" + ExitCodesHelp());
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(app.arguments())) {
        QString text = parser.errorText();
        if (text.endsWith('.'))
            text.chop(1);
        PrintToolError(text + "; see --help");
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        if (!text.endsWith('\n'))
            text += '\n';
        std::fputs(qPrintable(text), stdout);
        return kExitOk;
    }
    return std::nullopt;
}

void CInterrupts::Install(std::initializer_list<int> extra)
{
    // The tools word their own one-line messages; the details stay in the log file.
    mirelog::SetErrorEcho(false);
    if (g_signal_pipe[0] < 0 && ::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        PrintToolError(QStringLiteral("cannot watch for interrupts: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGINT, SIGTERM})
        ::sigaction(number, &action, nullptr);
    for (int number : extra)
        ::sigaction(number, &action, nullptr);
}

int CInterrupts::ReadFd()
{
    return g_signal_pipe[0];
}

int CInterrupts::Take()
{
    char byte = 0;
    return g_signal_pipe[0] >= 0 && ::read(g_signal_pipe[0], &byte, 1) == 1 ? byte : 0;
}

bool CInterrupts::IsStop(int signal_number)
{
    return signal_number == SIGINT || signal_number == SIGTERM;
}

std::shared_ptr<teskrecordserver::CRecordingServer>
OpenToolStore(const QString &dir, const teskrecordserver::GeneratorOptions &options, int &exit_code)
{
    using teskrecordserver::CRecordingServer;
    const std::string path =
        dir.isEmpty() ? CRecordingServer::DefaultStoreDir() : dir.toStdString();
    const QString catalogue =
        QDir(QString::fromStdString(path)).filePath(CRecordingServer::kCatalogueFile);
    if (!QFileInfo::exists(catalogue) && !QFileInfo(QString::fromStdString(path)).isFile()) {
        exit_code = CreateStoreInChild(path, options);
        if (exit_code != kExitOk)
            return nullptr;
    }
    auto server = std::make_shared<CRecordingServer>();
    const auto status = server->Open(path, options, false);
    if (!status) {
        PrintToolError(QString::fromStdString(status.Message()));
        exit_code = kExitFailed;
        return nullptr;
    }
    exit_code = kExitOk;
    return server;
}

QString TimeLapseErrorText(const Quor::Base::Error::ErrorCode &error)
{
    if (error.module_code == OrlPluginManager::TimeLapseError::kModule) {
        switch (error.error_code) {
        case OrlPluginManager::TimeLapseError::kNoProvider:
            return "no time-lapse service is available";
        case OrlPluginManager::TimeLapseError::kAborted:
            return "the task was stopped";
        case OrlPluginManager::TimeLapseError::kNoPictures:
            return "no capture pictures could be had for the span";
        case OrlPluginManager::TimeLapseError::kUnknownCamera:
            return "the camera is unknown";
        case OrlPluginManager::TimeLapseError::kWriteFailed:
            return "a picture could not be written to the working folder";
        case OrlPluginManager::TimeLapseError::kUnknownJob:
            return "the device does not know the job";
        case OrlPluginManager::TimeLapseError::kDeviceFailed:
            return "the device could not build the video";
        case OrlPluginManager::TimeLapseError::kNoVideo:
            return "the device has no video for the job";
        default:
            break;
        }
    }
    return QString::fromStdString(OrlErrorCodeTrans::GetErrorInfoByErrorCode(error));
}

bool MoveIntoPlace(const QString &produced, const QString &output, bool force, QString &error)
{
    const QByteArray from = QFile::encodeName(produced);
    const QByteArray to = QFile::encodeName(output);
    if (force) {
        if (::rename(from.constData(), to.constData()) == 0)
            return true;
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    if (errno == EEXIST) {
        error = "a file of that name appeared meanwhile and was left as it is";
        return false;
    }
    // File systems without hard links.
    if (!QFileInfo::exists(output) && ::rename(from.constData(), to.constData()) == 0)
        return true;
    error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

void InstallToolStore(const std::shared_ptr<teskrecordserver::CRecordingServer> &server)
{
    server->PublishToHost();
    teskrecordserver::CRecordingServer::Install(server);
}

} // namespace TeskVideoSearch
