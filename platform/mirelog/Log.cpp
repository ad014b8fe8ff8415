#include "Log.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace mirelog {

namespace {

constexpr long kMaxFileBytes = 8L * 1024 * 1024;
constexpr int kKeptFiles = 3;

struct Sink
{
    std::mutex mutex;
    std::FILE *file = nullptr;
    bool open_failed = false;
    std::string path;
    // Recursive so that a listener may log; held while listeners run so that RemoveListener
    // returns only when its listener has finished.
    std::recursive_mutex listener_mutex;
    std::map<int, Listener> listeners;
    int next_listener = 1;
    std::atomic<bool> echo_errors{true};

    ~Sink()
    {
        if (file)
            std::fclose(file);
    }

    // Keeps "video_search.log" and its predecessors ".1" to ".N"; called with the lock held.
    void RotateIfFull()
    {
        if (!file || std::ftell(file) < kMaxFileBytes)
            return;
        std::fclose(file);
        file = nullptr;
        for (int i = kKeptFiles - 1; i >= 1; --i) {
            const std::string from = path + "." + std::to_string(i);
            std::rename(from.c_str(), (path + "." + std::to_string(i + 1)).c_str());
        }
        std::rename(path.c_str(), (path + ".1").c_str());
    }

    bool EnsureOpen()
    {
        if (file)
            return true;
        if (open_failed)
            return false;
        path = LogFilePath();
        QDir().mkpath(QString::fromStdString(LogDirectory()));
        file = std::fopen(path.c_str(), "a");
        if (!file) {
            open_failed = true;
            std::fprintf(stderr, "mirelog: cannot open %s: %s\n", path.c_str(),
                         std::strerror(errno));
        }
        return file != nullptr;
    }
};

Sink &TheSink()
{
    static Sink sink;
    return sink;
}

} // namespace

std::string LogDirectory()
{
    const QByteArray env = qgetenv("TESK_LOG_DIR");
    if (!env.isEmpty())
        return env.toStdString();
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            "/TeskVideoSearch/logs")
        .toStdString();
}

std::string LogFilePath()
{
    return LogDirectory() + "/video_search.log";
}

std::string QualifiedFunctionName(const char *pretty_function)
{
    // "bool Ns::CClass::Method(args) const": the name ends at the parenthesis of the argument
    // list and begins after the last space outside template brackets.
    const std::string text = pretty_function ? pretty_function : "";
    size_t end = text.find('(');
    if (end == std::string::npos)
        end = text.size();
    int depth = 0;
    size_t begin = 0;
    for (size_t i = 0; i < end; ++i) {
        const char c = text[i];
        if (c == '<')
            ++depth;
        else if (c == '>')
            --depth;
        else if (c == ' ' && depth == 0)
            begin = i + 1;
    }
    std::string name = text.substr(begin, end - begin);
    while (!name.empty() && (name.front() == '*' || name.front() == '&'))
        name.erase(name.begin());
    return name;
}

void Write(int level, const char *tag, const char *format, ...)
{
    char stack_buffer[1024];
    std::string text;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(stack_buffer, sizeof stack_buffer, format, args);
    va_end(args);
    if (length < 0) {
        text = format;
    } else if (static_cast<size_t>(length) < sizeof stack_buffer) {
        text.assign(stack_buffer, static_cast<size_t>(length));
    } else {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, copy);
        text.resize(static_cast<size_t>(length));
    }
    va_end(copy);

    const Record record{level, tag ? tag : "", text};
    const char *level_name = level >= LevelError ? "ERROR" : "INFO";

    Sink &sink = TheSink();
    {
        std::lock_guard<std::mutex> lock(sink.mutex);
        // Local time goes through glibc's time-zone state; reading it under the sink's lock
        // keeps the log's own threads from racing on it.
        const QByteArray stamp = QDateTime::currentDateTime()
                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                     .toUtf8();
        if (sink.EnsureOpen()) {
            std::fprintf(sink.file, "%s %-5s %s %s\n", stamp.constData(), level_name,
                         record.tag.c_str(), text.c_str());
            std::fflush(sink.file);
            sink.RotateIfFull();
        }
        if (level >= LevelError && sink.echo_errors)
            std::fprintf(stderr, "%s %s %s\n", stamp.constData(), record.tag.c_str(), text.c_str());
    }
    std::lock_guard<std::recursive_mutex> lock(sink.listener_mutex);
    for (const auto &entry : sink.listeners)
        entry.second(record);
}

void SetErrorEcho(bool on)
{
    TheSink().echo_errors = on;
}

int AddListener(Listener listener)
{
    Sink &sink = TheSink();
    std::lock_guard<std::recursive_mutex> lock(sink.listener_mutex);
    const int id = sink.next_listener++;
    sink.listeners.emplace(id, std::move(listener));
    return id;
}

void RemoveListener(int id)
{
    Sink &sink = TheSink();
    std::lock_guard<std::recursive_mutex> lock(sink.listener_mutex);
    sink.listeners.erase(id);
}

} // namespace mirelog
