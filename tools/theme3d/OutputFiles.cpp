#include "OutputFiles.h"

#include "ToolError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace theme3d {

namespace {

// Removes a folder and everything in it, without following links.
void RemoveTree(const std::string& strPath) {
    nftw(
        strPath.c_str(),
        [](const char* szPath, const struct stat*, int, struct FTW*) {
            return std::remove(szPath);
        },
        16, FTW_DEPTH | FTW_PHYS);
}

bool IsFolder(const std::string& strPath) {
    struct stat st {};
    return stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

OutputFiles::~OutputFiles() {
    if (m_bCommitted)
        return;
    for (const Entry& entry : m_arrEntries) {
        if (entry.bFolder)
            RemoveTree(entry.strTemp);
        else
            std::remove(entry.strTemp.c_str());
    }
}

std::string OutputFiles::AddFolder(const std::string& strTarget) {
    struct stat st {};
    if (stat(strTarget.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            throw ToolError("cannot write the tileset '" + strTarget + "': it is a file");
        if (rmdir(strTarget.c_str()) != 0 && stat((strTarget + "/tileset.json").c_str(), &st) != 0)
            throw ToolError("cannot write the tileset into '" + strTarget +
                            "': the folder holds other files");
    }
    std::string strTemplate = strTarget + ".tmpXXXXXX";
    if (mkdtemp(strTemplate.data()) == nullptr)
        throw ToolError("cannot write '" + strTarget + "': " + std::strerror(errno));
    const mode_t mask = umask(0);
    umask(mask);
    chmod(strTemplate.c_str(), 0777 & ~mask);
    m_arrEntries.push_back({strTarget, strTemplate, true});
    return strTemplate;
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
        if (entry.bFolder && IsFolder(entry.strTarget)) {
            // The previous tileset goes aside first: rename cannot replace a full folder.
            std::string strOld = entry.strTarget + ".oldXXXXXX";
            if (mkdtemp(strOld.data()) == nullptr || rmdir(strOld.c_str()) != 0 ||
                std::rename(entry.strTarget.c_str(), strOld.c_str()) != 0)
                throw ToolError("cannot replace '" + entry.strTarget +
                                "': " + std::strerror(errno));
            if (std::rename(entry.strTemp.c_str(), entry.strTarget.c_str()) != 0)
                throw ToolError("cannot write '" + entry.strTarget + "': " + std::strerror(errno));
            RemoveTree(strOld);
            continue;
        }
        if (std::rename(entry.strTemp.c_str(), entry.strTarget.c_str()) != 0)
            throw ToolError("cannot write '" + entry.strTarget + "': " + std::strerror(errno));
    }
    m_bCommitted = true;
}

} // namespace theme3d
