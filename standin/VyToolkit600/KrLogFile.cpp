#include "VyToolkit600/KrLogFile.h"

#include "VyBase600/TovoTime.h"

#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>

using TOVO::TovoMBString;

namespace KRS {

namespace {

struct LocalNow {
    std::tm tm{};
    double dDayNumber = 0.0;
};

bool LocalTime(std::time_t t, std::tm& tm) {
#ifdef _WIN32
    return localtime_s(&tm, &t) == 0; // the thread-safe form there, with its arguments swapped
#else
    return localtime_r(&t, &tm) != nullptr;
#endif
}

LocalNow Now() {
    LocalNow now;
    const std::time_t t = std::time(nullptr);
    if (LocalTime(t, now.tm))
        now.dDayNumber = TOVO::TovoTime(now.tm.tm_year + 1900, now.tm.tm_mon + 1, now.tm.tm_mday,
                                        now.tm.tm_hour, now.tm.tm_min, now.tm.tm_sec)
                             .GetDayNumber();
    return now;
}

// One record is one line of the file: line breaks inside a text become spaces.
std::string OneLine(const TovoMBString& s) {
    std::string out = s.Str();
    for (char& c : out)
        if (c == '\n' || c == '\r')
            c = ' ';
    return out;
}

std::string FileLine(const KrLogRecord& r, const std::tm& tm) {
    char stamp[32];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm) == 0)
        stamp[0] = '\0';
    return std::string(stamp) + '\t' + std::to_string(r.nLevel) + '\t' + OneLine(r.strCode) + '\t' +
           OneLine(r.strMessage) + '\t' + OneLine(r.strSource) + ':' + std::to_string(r.nLine) +
           '\n';
}

} // namespace

struct KrLogFile::Impl {
    mutable std::mutex m_mutex;
    std::deque<KrLogRecord> m_records;
    std::size_t m_nMaxRecords = 100000;
    std::string m_strPath;

    void Keep(KrLogRecord&& record) {
        if (m_nMaxRecords == 0)
            return;
        while (m_records.size() >= m_nMaxRecords)
            m_records.pop_front();
        m_records.push_back(std::move(record));
    }

    // Opened and closed per record, so that the file is complete at every moment and nothing
    // is left open at exit. A file that cannot be opened loses the line, not the record.
    void Append(const std::string& strLine) const {
        if (m_strPath.empty())
            return;
        if (std::FILE* f = std::fopen(m_strPath.c_str(), "ab")) {
            std::fwrite(strLine.data(), 1, strLine.size(), f);
            std::fclose(f);
        }
    }
};

KrLogFile::KrLogFile() : m_pImpl(new Impl) {}

KrLogFile::~KrLogFile() {
    delete m_pImpl;
}

// Never destroyed: code running in other static destructors may still log.
KrLogFile& KrLogFile::GetInstance(bool /*bCreateFile*/) {
    static KrLogFile* const s_pInstance = new KrLogFile;
    return *s_pInstance;
}

void KrLogFile::RecordLog(int nLevel, const char* szCode, const char* szSource, int nLine) {
    RecordLog(nLevel, szCode, TovoMBString(), szSource, nLine);
}

void KrLogFile::RecordLog(int nLevel, const char* szCode, const TovoMBString& strMessage,
                          const char* szSource, int nLine) {
    const LocalNow now = Now();
    KrLogRecord record;
    record.nLevel = nLevel;
    record.strCode = szCode;
    record.strMessage = strMessage;
    record.strSource = szSource;
    record.nLine = nLine;
    record.dTime = now.dDayNumber;
    std::lock_guard<std::mutex> lock(m_pImpl->m_mutex);
    m_pImpl->Append(FileLine(record, now.tm));
    m_pImpl->Keep(std::move(record));
}

std::vector<KrLogRecord> KrLogFile::GetRecords() const {
    std::lock_guard<std::mutex> lock(m_pImpl->m_mutex);
    return std::vector<KrLogRecord>(m_pImpl->m_records.begin(), m_pImpl->m_records.end());
}

void KrLogFile::ClearRecords() {
    std::lock_guard<std::mutex> lock(m_pImpl->m_mutex);
    m_pImpl->m_records.clear();
}

void KrLogFile::SetLogFilePath(const TovoMBString& strPath) {
    std::lock_guard<std::mutex> lock(m_pImpl->m_mutex);
    m_pImpl->m_strPath = strPath.Str();
}

void KrLogFile::SetMaxRecords(std::size_t nMax) {
    std::lock_guard<std::mutex> lock(m_pImpl->m_mutex);
    m_pImpl->m_nMaxRecords = nMax;
    while (m_pImpl->m_records.size() > nMax)
        m_pImpl->m_records.pop_front();
}

} // namespace KRS
