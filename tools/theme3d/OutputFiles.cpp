#include "OutputFiles.h"

#include "ToolError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace theme3d {

OutputFiles::~OutputFiles() {
    if (m_bCommitted)
        return;
    for (const Entry& entry : m_arrEntries)
        std::remove(entry.strTemp.c_str());
}

std::string OutputFiles::Add(const std::string& strTarget) {
    std::string strTemplate = strTarget + ".tmpXXXXXX";
    std::vector<char> buffer(strTemplate.begin(), strTemplate.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0)
        throw ToolError("cannot write '" + strTarget + "': " + std::strerror(errno));
    // mkstemp makes the file private; outputs get the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    m_arrEntries.push_back({strTarget, std::string(buffer.data())});
    return m_arrEntries.back().strTemp;
}

void OutputFiles::Write(const std::string& strTarget, const std::string& strBytes) {
    const std::string strTemp = Add(strTarget);
    std::ofstream out(strTemp, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    out.close();
    if (!out)
        throw ToolError("cannot write '" + strTarget + "'");
}

void OutputFiles::Commit() {
    for (const Entry& entry : m_arrEntries) {
        if (std::rename(entry.strTemp.c_str(), entry.strTarget.c_str()) != 0)
            throw ToolError("cannot write '" + entry.strTarget + "': " + std::strerror(errno));
    }
    m_bCommitted = true;
}

} // namespace theme3d
