#include "CheckedFile.h"

#include "ToolError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace theme3d {

CheckedFile::CheckedFile(const std::string& strPath, const std::string& strTarget)
    : m_strTarget(strTarget) {
    m_fd = open(strPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (m_fd < 0)
        Fail(errno);
}

CheckedFile::~CheckedFile() {
    if (m_fd >= 0)
        close(m_fd);
}

void CheckedFile::Fail(int nError) const {
    throw ToolError("cannot write '" + m_strTarget + "': " + std::strerror(nError));
}

void CheckedFile::Write(const void* pData, std::size_t nBytes) {
    const char* p = static_cast<const char*>(pData);
    while (nBytes > 0) {
        // Pieces of at most 1 GiB: some systems write less than asked beyond that.
        const ssize_t n = write(m_fd, p, nBytes < (1u << 30) ? nBytes : (1u << 30));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(errno);
        if (n == 0)
            Fail(ENOSPC);
        p += n;
        nBytes -= static_cast<std::size_t>(n);
        m_nSize += static_cast<unsigned long long>(n);
    }
}

void CheckedFile::Close() {
    if (fsync(m_fd) != 0 && errno != EINVAL) { // EINVAL: a special file that cannot sync
        const int nError = errno;
        close(m_fd);
        m_fd = -1;
        Fail(nError);
    }
    const int nResult = close(m_fd);
    m_fd = -1;
    if (nResult != 0 && errno != EINTR)
        Fail(errno);
}

} // namespace theme3d
