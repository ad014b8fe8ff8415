#pragma once

#include "recordserver/RecordingServer.h"

#include "quorbase/Error.h"

#include <QString>

#include <memory>
#include <optional>

class QCommandLineParser;
class QCoreApplication;

// What the console tools share: exit codes, the command line, interrupts and the store.
namespace TeskVideoSearch {

enum ToolExit {
    kExitOk = 0,
    kExitFailed = 1, // the work failed
    kExitUsage = 2,  // an option was refused before any work
    kExitInterrupted = 130,
};

// The last paragraph of every tool's --help.
QString ExitCodesHelp();

// "tool: message" on standard error, one line.
void PrintToolError(const QString &message);

// Qt's and FFmpeg's own diagnostics go to the log file, not between a tool's lines.
void RouteLibraryMessagesToLog();

// Prints `message` and gives kExitUsage: the answer to an option refused before any work.
std::optional<int> RefuseUsage(const QString &message);

// Parses the command line. An exit code when the tool is to stop at once: --help (0) or an
// option QCommandLineParser refuses (2, with its message).
std::optional<int> ParseToolCommandLine(QCommandLineParser &parser, const QCoreApplication &app);

// SIGINT and SIGTERM (and `extra` signals, for instance SIGTSTP) become bytes on a pipe that
// an event loop or a wait can watch, instead of ending the process with its work half done.
class CInterrupts
{
public:
    static void Install(std::initializer_list<int> extra = {});
    static int ReadFd();
    // The next pending signal, 0 when none.
    static int Take();
    static bool IsStop(int signal_number);
};

// Opens the store in `dir` (the default store when empty), creating it first when it does not
// exist yet. The creation runs in a child process so that an interrupt stops it at any moment
// and leaves no half store. The server on success; otherwise null with `exit_code` set and a
// message naming the store printed.
std::shared_ptr<teskrecordserver::CRecordingServer>
OpenToolStore(const QString &dir, const teskrecordserver::GeneratorOptions &options,
              int &exit_code);

// The time-lapse services' failures in the user's words; the host's error table does not
// know them.
QString TimeLapseErrorText(const Quor::Base::Error::ErrorCode &error);

// Puts the finished file `produced` at `output`: atomically over an existing file with
// `force`, and otherwise never over a file, not even one that appeared meanwhile.
bool MoveIntoPlace(const QString &produced, const QString &output, bool force, QString &error);

// Publishes `server` to the host services and makes it the recording source.
void InstallToolStore(const std::shared_ptr<teskrecordserver::CRecordingServer> &server);

} // namespace TeskVideoSearch
