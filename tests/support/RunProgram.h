// Runs a program of the build with arguments and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace velmora::support {

struct TProgramResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs program in folder (the current one when empty), stdin from /dev/null.
TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder = {});

} // namespace velmora::support
