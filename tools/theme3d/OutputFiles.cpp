#include "OutputFiles.h"

#include "SignalCleanup.h"
#include "ToolError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace theme3d {

namespace {

std::string FolderOf(const std::string& strPath) {
    const std::size_t slash = strPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : strPath.substr(0, slash);
}

// A rename is durable only once its folder is synced.
void SyncFolder(const std::string& strTarget) {
    const int fd = open(FolderOf(strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const int nResult = fsync(fd);
    const int nError = errno;
    close(fd);
    if (nResult != 0 && nError != EINVAL)
        throw ToolError("cannot write '" + strTarget + "': " + std::strerror(nError));
}

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

void HoldForTests(std::size_t nFiles) {
    const char* sz = std::getenv("THEME3D_TEST_HOLD_BEFORE_RENAME");
    if (sz == nullptr || *sz == '\0')
        return;
    std::cerr << "theme3d: holding " << nFiles << " outputs before rename" << std::endl;
    sleep(static_cast<unsigned>(std::atoi(sz)));
}

} // namespace

OutputFiles::~OutputFiles() {
    for (const Entry& entry : m_arrEntries) {
        if (!m_bCommitted && entry.bFolder)
            RemoveTree(entry.strTemp);
        else if (!m_bCommitted)
            std::remove(entry.strTemp.c_str());
        SignalCleanup::Forget(entry.nSlot);
    }
}

void OutputFiles::RequireFolder(const std::string& strTarget) {
    std::string strPath = strTarget;
    while (strPath.size() > 1 && strPath.back() == '/')
        strPath.pop_back();
    const std::string strFolder = FolderOf(strPath);
    if (!IsFolder(strFolder))
        throw ToolError("cannot write '" + strTarget + "': there is no folder '" + strFolder + "'");
}

std::string OutputFiles::Add(const std::string& strTarget) {
    RequireFolder(strTarget);
    int nSlot = -1;
    std::string strTemp = SignalCleanup::MakeTemp(strTarget, nSlot);
    m_arrEntries.push_back({strTarget, strTemp, nSlot});
    return strTemp;
}

std::string OutputFiles::AddFolder(const std::string& strTarget) {
    RequireFolder(strTarget);
    struct stat st {};
    if (stat(strTarget.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            throw ToolError("cannot write the tileset '" + strTarget + "': it is a file");
        if (rmdir(strTarget.c_str()) != 0 && stat((strTarget + "/tileset.json").c_str(), &st) != 0)
            throw ToolError("cannot write the tileset into '" + strTarget +
                            "': the folder holds other files");
    }
    int nSlot = -1;
    std::string strTemp = SignalCleanup::MakeTempFolder(strTarget, nSlot);
    m_arrEntries.push_back({strTarget, strTemp, nSlot, true});
    return strTemp;
}

std::unique_ptr<CheckedFile> OutputFiles::Open(const std::string& strTarget) {
    return std::make_unique<CheckedFile>(Add(strTarget), strTarget);
}

void OutputFiles::Write(const std::string& strTarget, const std::string& strBytes) {
    const std::unique_ptr<CheckedFile> pFile = Open(strTarget);
    pFile->Write(strBytes);
    pFile->Close();
}

void OutputFiles::Commit() {
    HoldForTests(m_arrEntries.size());
    for (Entry& entry : m_arrEntries) {
        if (entry.bFolder && IsFolder(entry.strTarget)) {
            // The previous tileset goes aside first: rename cannot replace a full folder.
            std::string strOld = entry.strTarget + ".oldXXXXXX";
            if (mkdtemp(strOld.data()) == nullptr || rmdir(strOld.c_str()) != 0 ||
                std::rename(entry.strTarget.c_str(), strOld.c_str()) != 0)
                throw ToolError("cannot replace '" + entry.strTarget +
                                "': " + std::strerror(errno));
            if (std::rename(entry.strTemp.c_str(), entry.strTarget.c_str()) != 0)
                throw ToolError("cannot write '" + entry.strTarget + "': " + std::strerror(errno));
            SignalCleanup::Forget(entry.nSlot);
            entry.nSlot = -1;
            RemoveTree(strOld);
            continue;
        }
        if (std::rename(entry.strTemp.c_str(), entry.strTarget.c_str()) != 0)
            throw ToolError("cannot write '" + entry.strTarget + "': " + std::strerror(errno));
        SignalCleanup::Forget(entry.nSlot);
        entry.nSlot = -1;
    }
    m_bCommitted = true;
    for (const Entry& entry : m_arrEntries)
        SyncFolder(entry.strTarget);
}

} // namespace theme3d
