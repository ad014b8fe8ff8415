#include "Util.h"

#include <QUuid>

#include <filesystem>
#include <system_error>

namespace Quor::Base {

std::string GuidUtil::CreateGuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
}

namespace {

// Zero-padded decimal digits; formatting by hand because these texts are written for every cut
// of a recording and snprintf dominated the split of a week's results.
char *PutDigits(char *out, unsigned value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

char *PutOffset(char *out, int seconds)
{
    *out++ = seconds < 0 ? '-' : '+';
    const long magnitude = seconds < 0 ? -static_cast<long>(seconds) : seconds;
    out = PutDigits(out, static_cast<unsigned>((magnitude / 3600) % 100), 2);
    *out++ = ':';
    return PutDigits(out, static_cast<unsigned>((magnitude % 3600) / 60), 2);
}

} // namespace

std::string TimeUtil::TimeDifference2Str(int seconds)
{
    char text[8];
    return std::string(text, PutOffset(text, seconds));
}

// Howard Hinnant's civil-date algorithms: exact for the whole proleptic Gregorian calendar.
int64_t TimeUtil::DaysFromCivil(int year, unsigned month, unsigned day)
{
    const int64_t y = static_cast<int64_t>(year) - (month <= 2);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void TimeUtil::CivilFromDays(int64_t days, int &year, unsigned &month, unsigned &day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

namespace {

bool ReadDigits(const std::string &s, size_t &pos, size_t count, int &value)
{
    if (pos + count > s.size())
        return false;
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        const char c = s[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return true;
}

bool Expect(const std::string &s, size_t &pos, char c)
{
    if (pos >= s.size() || s[pos] != c)
        return false;
    ++pos;
    return true;
}

unsigned DaysInMonth(int year, int month)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

int64_t TimeUtil::ISODatetime2TimeT(const std::string &iso)
{
    size_t pos = 0;
    int year, month, day, hour, minute, second;
    if (!ReadDigits(iso, pos, 4, year) || !Expect(iso, pos, '-') ||
        !ReadDigits(iso, pos, 2, month) || !Expect(iso, pos, '-') || !ReadDigits(iso, pos, 2, day))
        return -1;
    if (pos >= iso.size() || (iso[pos] != 'T' && iso[pos] != 't' && iso[pos] != ' '))
        return -1;
    ++pos;
    if (!ReadDigits(iso, pos, 2, hour) || !Expect(iso, pos, ':') ||
        !ReadDigits(iso, pos, 2, minute) || !Expect(iso, pos, ':') ||
        !ReadDigits(iso, pos, 2, second))
        return -1;
    if (month < 1 || month > 12 || day < 1 ||
        static_cast<unsigned>(day) > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59)
        return -1;
    // Fractions of a second are accepted and dropped.
    if (pos < iso.size() && (iso[pos] == '.' || iso[pos] == ',')) {
        ++pos;
        const size_t digits_begin = pos;
        while (pos < iso.size() && iso[pos] >= '0' && iso[pos] <= '9')
            ++pos;
        if (pos == digits_begin)
            return -1;
    }
    int offset = 0;
    if (pos < iso.size()) {
        const char zone = iso[pos++];
        if (zone == 'Z' || zone == 'z') {
            offset = 0;
        } else if (zone == '+' || zone == '-') {
            int oh = 0, om = 0;
            if (!ReadDigits(iso, pos, 2, oh))
                return -1;
            if (pos < iso.size()) {
                Expect(iso, pos, ':');
                if (!ReadDigits(iso, pos, 2, om))
                    return -1;
            }
            if (oh > 23 || om > 59)
                return -1;
            offset = (oh * 3600 + om * 60) * (zone == '-' ? -1 : 1);
        } else {
            return -1;
        }
        if (pos != iso.size())
            return -1;
    }
    const int64_t t =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
        hour * 3600 + minute * 60 + second - offset;
    return t < 0 ? -1 : t;
}

std::string TimeUtil::TimeT2ISODatetime(int64_t t, int offset_seconds, bool use_z)
{
    if (t < 0)
        return {};
    const int64_t local = t + offset_seconds;
    int64_t days = local / 86400;
    int64_t rest = local % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    int year_width = 4;
    for (unsigned rest_of_year = static_cast<unsigned>(year); rest_of_year > 9999;
         rest_of_year /= 10)
        ++year_width;
    char text[40];
    char *out = PutDigits(text, static_cast<unsigned>(year), year_width);
    *out++ = '-';
    out = PutDigits(out, month, 2);
    *out++ = '-';
    out = PutDigits(out, day, 2);
    *out++ = 'T';
    out = PutDigits(out, static_cast<unsigned>(rest / 3600), 2);
    *out++ = ':';
    out = PutDigits(out, static_cast<unsigned>(rest % 3600 / 60), 2);
    *out++ = ':';
    out = PutDigits(out, static_cast<unsigned>(rest % 60), 2);
    if (use_z && offset_seconds == 0)
        *out++ = 'Z';
    else
        out = PutOffset(out, offset_seconds);
    return std::string(text, out);
}

bool FileSystem::DeleteFileW(const char *path)
{
    if (!path || !*path)
        return false;
    std::error_code error;
    return std::filesystem::remove(std::filesystem::u8path(path), error) && !error;
}

} // namespace Quor::Base
