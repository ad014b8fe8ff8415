#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The client's logging service: printf-style lines with a level and a tag, written to a
// size-rotated file in the user's data directory; error lines also go to stderr.
namespace mirelog {

enum Level {
    LevelInfo = 3,
    LevelError = 5,
};

struct Record
{
    int level = LevelInfo;
    std::string tag;
    std::string text;
};

void Write(int level, const char *tag, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// "TeskVideoSearch::CVideoSearchController::SearchCameraFiles" out of __PRETTY_FUNCTION__.
std::string QualifiedFunctionName(const char *pretty_function);

// Whether error lines also go to stderr (the default). A console tool that words its own
// one-line messages turns this off; the lines still reach the file.
void SetErrorEcho(bool on);

// Directory of the log file; TESK_LOG_DIR overrides the default under the user's data directory.
std::string LogDirectory();
std::string LogFilePath();

// Observers of every written record, for hosts that show a log and for tests.
using Listener = std::function<void(const Record &)>;
int AddListener(Listener listener);
void RemoveListener(int id);

} // namespace mirelog

#define TESK_LOG_FUNCTION_NAME()                                                                   \
    ([](const char *pretty) {                                                                      \
        thread_local std::string name;                                                             \
        name = ::mirelog::QualifiedFunctionName(pretty);                                           \
        return name.c_str();                                                                       \
    }(__PRETTY_FUNCTION__))

// Information lines begin "[function(line)] - ", error lines "[function(line)] [0x%08x] - "
// whose hexadecimal field is always 0.
#define TESK_LOG_TAGGED_INFO(tag, format, ...)                                                     \
    ::mirelog::Write(::mirelog::LevelInfo, tag, "[%s(%d)] - " format, TESK_LOG_FUNCTION_NAME(),    \
                     __LINE__, ##__VA_ARGS__)
#define TESK_LOG_INFO(format, ...) TESK_LOG_TAGGED_INFO("OrlClientInfo", format, ##__VA_ARGS__)
#define TESK_LOG_USER(format, ...)                                                                 \
    TESK_LOG_TAGGED_INFO("OrlClientUserOperate", format, ##__VA_ARGS__)
#define TESK_LOG_ERROR(format, ...)                                                                \
    ::mirelog::Write(::mirelog::LevelError, "OrlClientError", "[%s(%d)] [0x%08x] - " format,       \
                     TESK_LOG_FUNCTION_NAME(), __LINE__, 0u, ##__VA_ARGS__)
