#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// The whole program: gives the exit status (0 done, 1 failed, 2 usage).
int RunCommandLine(const std::vector<std::string>& args);

// The store folder when --store is not given.
std::string DefaultStoreFolder();

} // namespace velmora::cli
