// A failure the tool reports to the user: one line saying what and where, exit status 2.
#pragma once

#include <stdexcept>
#include <string>

namespace theme3d {

class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& strMessage) : std::runtime_error(strMessage) {}
};

} // namespace theme3d
