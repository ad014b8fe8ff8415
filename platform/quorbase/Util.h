#pragma once

#include <cstdint>
#include <string>

namespace Quor::Base {

namespace GuidUtil {
// A random RFC 4122 identifier, lower case without braces.
std::string CreateGuid();
} // namespace GuidUtil

namespace TimeUtil {
// "+08:00" for 28800, "-05:30" for -19800, "+00:00" for 0.
std::string TimeDifference2Str(int seconds);
// Seconds since 1970-01-01 UTC of an ISO 8601 date-time ("2026-12-05T14:00:00Z",
// "2026-12-05T14:00:00+08:00", "2026-12-05 14:00:00.250-0530"). A text without a zone is read
// as UTC. -1 for anything that is not a valid date-time or lies before 1970.
int64_t ISODatetime2TimeT(const std::string &iso);
// The inverse for a zone offset in seconds: "2026-12-05T14:00:00+08:00" ("Z" for 0 when
// `use_z`). Empty for negative times.
std::string TimeT2ISODatetime(int64_t t, int offset_seconds, bool use_z = false);
// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int year, unsigned month, unsigned day);
void CivilFromDays(int64_t days, int &year, unsigned &month, unsigned &day);
} // namespace TimeUtil

namespace FileSystem {
// Removes a file; false when it did not exist or could not be removed.
bool DeleteFileW(const char *path);
} // namespace FileSystem

} // namespace Quor::Base
