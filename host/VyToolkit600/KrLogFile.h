// The process-wide log. Every record is kept in memory (readable and clearable, for hosts and
// tests) and appended to a log file when one is configured. Thread-safe.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyToolkit600/VyToolkit600_export.h"

#include <vector>

namespace KRS {

struct KrLogRecord {
    int nLevel = 0;
    TOVO::TovoMBString strCode;
    TOVO::TovoMBString strMessage;
    TOVO::TovoMBString strSource;
    int nLine = 0;
    double dTime = 0.0; // TovoTime day number, local time
};

class VYTOOLKIT600_EXPORT KrLogFile {
public:
    enum LogLevelType {
        LogDebug = 100,
        LogInfo = 200,
        LogWarning = 300,
        LogError = 400,
        LogFatal = 500
    };

    // The one log of the process. The flag is kept for the host's signature; it changes nothing.
    static KrLogFile& GetInstance(bool bCreateFile = false);

    void RecordLog(int nLevel, const char* szCode, const char* szSource, int nLine);
    void RecordLog(int nLevel, const char* szCode, const TOVO::TovoMBString& strMessage,
                   const char* szSource, int nLine);

    std::vector<KrLogRecord> GetRecords() const;
    void ClearRecords();
    // Appends a line per record to this file from now on; an empty path stops it.
    void SetLogFilePath(const TOVO::TovoMBString& strPath);
    // Keeps at most this many records in memory, dropping the oldest (default 100000).
    void SetMaxRecords(std::size_t nMax);

    KrLogFile(const KrLogFile&) = delete;
    KrLogFile& operator=(const KrLogFile&) = delete;

private:
    KrLogFile();
    ~KrLogFile();
    struct Impl;
    Impl* m_pImpl;
};

} // namespace KRS
