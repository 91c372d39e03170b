// The files one command writes, made visible all at once: each is written to a temporary file
// beside its target, and only Commit renames them into place. A command that fails part way (an
// exception, a failed write, SIGINT or SIGTERM) leaves none of its outputs behind, and no
// temporary file either.
#pragma once

#include "CheckedFile.h"

#include <memory>
#include <string>
#include <vector>

namespace theme3d {

class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    // Removes the temporary files of a group that was not committed.
    ~OutputFiles();

    // Throws ToolError unless the folder strTarget would go into exists: checked before long
    // work, so that a mistyped folder fails at once and says so.
    static void RequireFolder(const std::string& strTarget);
    // Reserves a temporary file beside strTarget and returns its path; the caller writes it.
    // Throws ToolError when the target's folder cannot be written.
    std::string Add(const std::string& strTarget);
    // Reserves a temporary folder beside strTarget and returns its path; the caller fills it.
    // On commit it replaces strTarget, which may only be missing, empty or a tileset folder
    // (holding tileset.json), so that no other folder is ever overwritten.
    std::string AddFolder(const std::string& strTarget);
    // A new temporary file for strTarget, open for checked writing in pieces; the caller
    // closes it (CheckedFile::Close) before Commit.
    std::unique_ptr<CheckedFile> Open(const std::string& strTarget);
    // Writes the bytes to a new temporary file for strTarget.
    void Write(const std::string& strTarget, const std::string& strBytes);
    // Renames every temporary file onto its target, in the order they were added, and makes
    // the renames durable. With THEME3D_TEST_HOLD_BEFORE_RENAME=S in the environment it first
    // waits S seconds, saying so on standard error, so that tests can interrupt it there.
    void Commit();

private:
    struct Entry {
        std::string strTarget;
        std::string strTemp;
        int nSlot; // SignalCleanup's record of the temporary file
        bool bFolder = false;
    };
    std::vector<Entry> m_arrEntries;
    bool m_bCommitted = false;
};

} // namespace theme3d
