// Removes the tool's temporary files when SIGINT or SIGTERM ends it, at any stage. The handler
// may run on any thread at any moment, so it only reads a fixed table of paths (no allocation, no
// lock) and calls unlink, which is async-signal-safe; then it ends the process by the same signal
// with its default action, so the shell sees 130 or 143 as it does for any interrupted program.
// Writes beyond RLIMIT_FSIZE fail with EFBIG instead of killing the process (SIGXFSZ ignored), so
// a full file system limit is reported like a full disk. An exception that would end the process
// through std::terminate (a library that lets std::bad_alloc escape a noexcept function) removes
// the temporary files too and ends it with the tool's usual one line and exit status 2.
#pragma once

#include <string>

namespace theme3d {

class SignalCleanup {
public:
    // Installs the handlers (signals, terminate); call once at start, before any thread or file
    // exists.
    static void Install();
    // Makes a unique temporary file "<strTarget>.tmpXXXXXX" (mode 0666 less the umask) and
    // records its path for the handler, with no moment in which a signal could leave it behind.
    // Returns its path and sets nSlot for Forget. Throws ToolError when it cannot be made.
    static std::string MakeTemp(const std::string& strTarget, int& nSlot);
    // Makes a unique temporary folder "<strTarget>.tmpXXXXXX" the same way; the handler removes
    // it with what it holds, up to twelve levels deep (a tileset, the viewer's assets).
    static std::string MakeTempFolder(const std::string& strTarget, int& nSlot);
    // The path in nSlot is no longer the handler's to remove (renamed or removed).
    static void Forget(int nSlot);

    // Temporary files one process can have at once.
    static constexpr int kSlots = 256;
};

} // namespace theme3d
