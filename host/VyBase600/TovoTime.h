// A date and time held as a day number: day 0 is 1899-12-30 00:00, the fraction is the time of day.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyBase600/VyBase600_export.h"

namespace TOVO {

class VYBASE600_EXPORT TovoTime {
public:
    TovoTime() = default;
    explicit TovoTime(double dDayNumber);
    TovoTime(int nYear, int nMonth, int nDay, int nHour = 0, int nMinute = 0, int nSecond = 0);

    double GetDayNumber() const { return m_dDayNumber; }
    // FALSE for a day number outside years 1..9999 or not a number; parts are then 0.
    bool IsValid() const { return m_bValid; }

    int GetYear() const { return m_nYear; }
    int GetMonth() const { return m_nMonth; }
    int GetDay() const { return m_nDay; }
    int GetHour() const { return m_nHour; }
    int GetMinute() const { return m_nMinute; }
    int GetSecond() const { return m_nSecond; }
    // 1 Sunday .. 7 Saturday.
    int GetDayOfWeek() const;
    // 1 .. 366.
    int GetDayOfYear() const;

    // strftime conversions %Y %m %d %H %M %S %y %j %a %A %b %B %p %I %w %%, plus literal text.
    TovoMBString Format(const char* szFormat) const;

private:
    void Split();

    double m_dDayNumber = 0.0;
    bool m_bValid = true;
    int m_nYear = 1899, m_nMonth = 12, m_nDay = 30, m_nHour = 0, m_nMinute = 0, m_nSecond = 0;
};

} // namespace TOVO
