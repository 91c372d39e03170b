// A failure the tool reports to the user: one line saying what and where, exit status 2.
#pragma once

#include <stdexcept>
#include <string>

namespace theme3d {

// What the tool says when an allocation fails, wherever that happens.
constexpr const char* kOutOfMemory =
    "out of memory (the layer, or the scene made from it, needs more memory than this process "
    "may have); nothing was written";

class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& strMessage) : std::runtime_error(strMessage) {}
};

} // namespace theme3d
