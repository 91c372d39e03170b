// Day numbers as OLE automation dates on the proleptic Gregorian calendar. The whole part
// (truncated towards zero) counts days from 1899-12-30 and the magnitude of the fraction is the
// time of day, also for negative day numbers: -1.25 is 1899-12-29 06:00.
#include "VyBase600/TovoTime.h"

#include <cmath>
#include <string>

namespace TOVO {

namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr long long kUnixDayOfDayZero = -25569; // 1899-12-30 counted from 1970-01-01
constexpr long long kFirstDay = -693593;        // 0001-01-01
constexpr long long kLastDay = 2958465;         // 9999-12-31

const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// Days from 1970-01-01 to a civil date, and back (H. Hinnant's public-domain algorithms).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

std::string Padded(int value, int width) {
    std::string s = std::to_string(value);
    return s.size() < static_cast<std::size_t>(width)
               ? std::string(static_cast<std::size_t>(width) - s.size(), '0') + s
               : s;
}

} // namespace

TovoTime::TovoTime(double dDayNumber) : m_dDayNumber(dDayNumber) {
    Split();
}

// Parts outside their calendar ranges (no normalisation: month 13 or 24:00 is no date) give an
// invalid time with day number 0.
TovoTime::TovoTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) {
    const bool valid = nYear >= 1 && nYear <= 9999 && nMonth >= 1 && nMonth <= 12 && nDay >= 1 &&
                       nDay <= DaysInMonth(nYear, nMonth) && nHour >= 0 && nHour <= 23 &&
                       nMinute >= 0 && nMinute <= 59 && nSecond >= 0 && nSecond <= 59;
    if (!valid) {
        m_dDayNumber = 0.0;
        m_bValid = false;
        m_nYear = m_nMonth = m_nDay = m_nHour = m_nMinute = m_nSecond = 0;
        return;
    }
    const long long day =
        DaysFromCivil(nYear, static_cast<unsigned>(nMonth), static_cast<unsigned>(nDay)) -
        kUnixDayOfDayZero;
    const double fraction = (nHour * 3600 + nMinute * 60 + nSecond) / double(kSecondsPerDay);
    m_dDayNumber = static_cast<double>(day) + (day < 0 ? -fraction : fraction);
    Split();
}

// The time of day is rounded to the nearest second; 23:59:59.6 becomes 00:00:00 of the next day.
void TovoTime::Split() {
    const double whole = std::trunc(m_dDayNumber);
    m_bValid = std::isfinite(m_dDayNumber) && whole >= double(kFirstDay - 1) &&
               whole <= double(kLastDay + 1);
    long long day = 0, seconds = 0;
    if (m_bValid) {
        day = static_cast<long long>(whole);
        seconds = std::llround(std::fabs(m_dDayNumber - whole) * double(kSecondsPerDay));
        if (seconds >= kSecondsPerDay) {
            ++day;
            seconds -= kSecondsPerDay;
        }
        m_bValid = day >= kFirstDay && day <= kLastDay;
    }
    if (!m_bValid) {
        m_nYear = m_nMonth = m_nDay = m_nHour = m_nMinute = m_nSecond = 0;
        return;
    }
    CivilFromDays(day + kUnixDayOfDayZero, m_nYear, m_nMonth, m_nDay);
    m_nHour = static_cast<int>(seconds / 3600);
    m_nMinute = static_cast<int>(seconds / 60 % 60);
    m_nSecond = static_cast<int>(seconds % 60);
}

int TovoTime::GetDayOfWeek() const {
    if (!m_bValid)
        return 0;
    const long long z =
        DaysFromCivil(m_nYear, static_cast<unsigned>(m_nMonth), static_cast<unsigned>(m_nDay));
    return static_cast<int>(z >= -4 ? (z + 4) % 7 : (z + 5) % 7 + 6) + 1; // 1970-01-01: Thursday
}

int TovoTime::GetDayOfYear() const {
    if (!m_bValid)
        return 0;
    return static_cast<int>(
        DaysFromCivil(m_nYear, static_cast<unsigned>(m_nMonth), static_cast<unsigned>(m_nDay)) -
        DaysFromCivil(m_nYear, 1, 1) + 1);
}

namespace {

// The text of one conversion, or null for a conversion this formatter does not know.
const char* Conversion(const TovoTime& t, char c, std::string& buf) {
    const int hour12 = t.GetHour() % 12 == 0 ? 12 : t.GetHour() % 12;
    switch (c) {
    case 'Y':
        return (buf = std::to_string(t.GetYear())).c_str();
    case 'y':
        return (buf = Padded(t.GetYear() % 100, 2)).c_str();
    case 'm':
        return (buf = Padded(t.GetMonth(), 2)).c_str();
    case 'd':
        return (buf = Padded(t.GetDay(), 2)).c_str();
    case 'H':
        return (buf = Padded(t.GetHour(), 2)).c_str();
    case 'I':
        return (buf = Padded(hour12, 2)).c_str();
    case 'M':
        return (buf = Padded(t.GetMinute(), 2)).c_str();
    case 'S':
        return (buf = Padded(t.GetSecond(), 2)).c_str();
    case 'j':
        return (buf = Padded(t.GetDayOfYear(), 3)).c_str();
    case 'w':
        return (buf = std::to_string(t.GetDayOfWeek() - 1)).c_str();
    case 'a':
        return (buf = std::string(kDayNames[t.GetDayOfWeek() - 1], 3)).c_str();
    case 'A':
        return kDayNames[t.GetDayOfWeek() - 1];
    case 'b':
        return (buf = std::string(kMonthNames[t.GetMonth() - 1], 3)).c_str();
    case 'B':
        return kMonthNames[t.GetMonth() - 1];
    case 'p':
        return t.GetHour() < 12 ? "AM" : "PM";
    case '%':
        return "%";
    default:
        return nullptr;
    }
}

} // namespace

// Unknown conversions, and a '%' that ends the format, are copied as they stand. An invalid
// time formats as empty text.
TovoMBString TovoTime::Format(const char* szFormat) const {
    std::string out, buf;
    if (!m_bValid || !szFormat)
        return TovoMBString(out);
    for (const char* p = szFormat; *p; ++p) {
        const char* text = *p == '%' && p[1] ? Conversion(*this, p[1], buf) : nullptr;
        if (text) {
            out += text;
            ++p;
        } else {
            out += *p;
        }
    }
    return TovoMBString(out);
}

} // namespace TOVO
