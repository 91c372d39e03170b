// The files one command writes, made visible all at once: each is written to a temporary file
// beside its target, and only Commit renames them into place. A command that fails part way (or
// is interrupted by an exception) leaves none of its outputs behind.
#pragma once

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

    // Reserves a temporary file beside strTarget and returns its path; the caller writes it.
    // Throws ToolError when the target's folder cannot be written.
    std::string Add(const std::string& strTarget);
    // Reserves a temporary folder beside strTarget and returns its path; the caller fills it.
    // On commit it replaces strTarget, which may only be missing, empty or a tileset folder
    // (holding tileset.json), so that no other folder is ever overwritten.
    std::string AddFolder(const std::string& strTarget);
    // Writes the bytes to a new temporary file for strTarget.
    void Write(const std::string& strTarget, const std::string& strBytes);
    // Renames every temporary file onto its target, in the order they were added.
    void Commit();

private:
    struct Entry {
        std::string strTarget;
        std::string strTemp;
        bool bFolder = false;
    };
    std::vector<Entry> m_arrEntries;
    bool m_bCommitted = false;
};

} // namespace theme3d
