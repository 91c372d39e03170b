#include "SignalCleanup.h"

#include "ToolError.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <new>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace theme3d {

namespace {

// A slot is free (0) or holds a path the handler removes (1: a file, 3: a folder). The path is
// written before the slot is marked, and the mark is cleared before the slot is reused.
struct Slot {
    std::atomic<int> nState{0};
    char szPath[PATH_MAX];
};
Slot g_slots[SignalCleanup::kSlots];

// Deep enough for a tileset (its tiles folder) and the viewer's assets (a bundled library's
// workers and third-party folders); each level costs the handler one 4 KB buffer of stack.
constexpr int kFolderDepth = 12;

// Removes what a folder holds, nDepth levels deep, then the folder, with system calls only
// (no allocation, no stdio), so that a signal handler may call it.
void RemoveFolder(int fdParent, const char* szName, int nDepth) {
    const int fd = openat(fdParent, szName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(8) char buffer[4096];
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            struct Entry {
                unsigned long long ino;
                long long off;
                unsigned short reclen;
                unsigned char type;
                char name[1];
            };
            const auto* pEntry = reinterpret_cast<const Entry*>(buffer + at);
            at += pEntry->reclen;
            const char* szEntry = pEntry->name;
            if (szEntry[0] == '.' &&
                (szEntry[1] == '\0' || (szEntry[1] == '.' && szEntry[2] == '\0')))
                continue;
            if (pEntry->type == DT_DIR && nDepth > 0)
                RemoveFolder(fd, szEntry, nDepth - 1);
            else
                unlinkat(fd, szEntry, 0);
        }
    }
    close(fd);
    unlinkat(fdParent, szName, AT_REMOVEDIR);
}

void RemoveTemps() {
    for (Slot& slot : g_slots) {
        const int nState = slot.nState.load(std::memory_order_acquire);
        if (nState == 1)
            unlink(slot.szPath);
        else if (nState == 3)
            RemoveFolder(AT_FDCWD, slot.szPath, kFolderDepth);
    }
}

extern "C" void RemoveTempsAndDie(int nSignal) {
    RemoveTemps();
    signal(nSignal, SIG_DFL);
    raise(nSignal);
}

[[noreturn]] void RemoveTempsAndFail() {
    RemoveTemps();
    // No allocation here: memory may be what ran out.
    try {
        if (const std::exception_ptr pError = std::current_exception())
            std::rethrow_exception(pError);
        std::fputs("theme3d: unexpected failure\n", stderr);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "theme3d: %s\n", kOutOfMemory);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "theme3d: unexpected failure: %s\n", e.what());
    } catch (...) {
        std::fputs("theme3d: unexpected failure\n", stderr);
    }
    _exit(2);
}

// Blocks SIGINT and SIGTERM on this thread while it lives, so that a temporary file is never
// made without being recorded.
class BlockSignals {
public:
    BlockSignals() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set, &m_old);
    }
    ~BlockSignals() { pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    BlockSignals(const BlockSignals&) = delete;
    BlockSignals& operator=(const BlockSignals&) = delete;

private:
    sigset_t m_old;
};

int FreeSlot() {
    for (int i = 0; i < SignalCleanup::kSlots; ++i) {
        int nFree = 0;
        if (g_slots[i].nState.compare_exchange_strong(nFree, 2))
            return i; // 2: reserved, its path not yet written
    }
    return -1;
}

} // namespace

void SignalCleanup::Install() {
    struct sigaction action {};
    action.sa_handler = RemoveTempsAndDie;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGXFSZ, SIG_IGN);
    std::set_terminate(RemoveTempsAndFail);
}

namespace {

// Makes "<strTarget>.tmpXXXXXX" with make (mkstemp or a folder maker) in a slot marked nState,
// with SIGINT and SIGTERM blocked so that it never exists unrecorded; returns its slot.
template <typename Make> int MakeRecorded(const std::string& strTarget, int nState, Make make) {
    const std::string strTemplate = strTarget + ".tmpXXXXXX";
    if (strTemplate.size() >= PATH_MAX)
        throw ToolError("cannot write '" + strTarget + "': the path is too long");
    BlockSignals block;
    const int nSlot = FreeSlot();
    if (nSlot < 0)
        throw ToolError("cannot write '" + strTarget + "': too many files at once");
    Slot& slot = g_slots[nSlot];
    std::memcpy(slot.szPath, strTemplate.c_str(), strTemplate.size() + 1);
    if (!make(slot.szPath)) {
        const int nError = errno;
        slot.nState.store(0);
        throw ToolError("cannot write '" + strTarget + "': " + std::strerror(nError));
    }
    slot.nState.store(nState, std::memory_order_release);
    return nSlot;
}

// mkstemp and mkdtemp make private entries; outputs get the usual permissions.
mode_t UsualMode(mode_t mode) {
    const mode_t mask = umask(0);
    umask(mask);
    return mode & ~mask;
}

} // namespace

std::string SignalCleanup::MakeTemp(const std::string& strTarget, int& nSlot) {
    nSlot = MakeRecorded(strTarget, 1, [](char* szPath) {
        const int fd = mkstemp(szPath);
        if (fd < 0)
            return false;
        fchmod(fd, UsualMode(0666));
        close(fd);
        return true;
    });
    return g_slots[nSlot].szPath;
}

std::string SignalCleanup::MakeTempFolder(const std::string& strTarget, int& nSlot) {
    nSlot = MakeRecorded(strTarget, 3, [](char* szPath) {
        if (mkdtemp(szPath) == nullptr)
            return false;
        chmod(szPath, UsualMode(0777));
        return true;
    });
    return g_slots[nSlot].szPath;
}

void SignalCleanup::Forget(int nSlot) {
    if (nSlot >= 0 && nSlot < kSlots)
        g_slots[nSlot].nState.store(0, std::memory_order_release);
}

} // namespace theme3d
