// A file written through plain system calls with every result checked: a write that fails or
// comes up short (a full disk, a file size limit, an I/O error) throws ToolError naming the
// target and the reason, and Close makes the data durable (fsync) before it says yes. Bytes can
// be written in pieces, so a writer never needs its whole output in memory.
#pragma once

#include <cstddef>
#include <string>

namespace theme3d {

class CheckedFile {
public:
    // Opens strPath (which exists: a temporary file) for writing, truncated. strTarget is the
    // name the user gave, used in messages.
    CheckedFile(const std::string& strPath, const std::string& strTarget);
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    void Write(const void* pData, std::size_t nBytes);
    void Write(const std::string& strBytes) { Write(strBytes.data(), strBytes.size()); }
    // Bytes written so far.
    unsigned long long GetSize() const { return m_nSize; }
    // fsync and close; throws ToolError when either fails.
    void Close();

private:
    [[noreturn]] void Fail(int nError) const;

    std::string m_strTarget;
    int m_fd = -1;
    unsigned long long m_nSize = 0;
};

} // namespace theme3d
