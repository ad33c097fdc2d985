// The command line of velmora-cli.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::cli {

struct TCliOptions {
    std::optional<std::string> Store;
    std::vector<std::string> Folders;
    bool All = false;
    bool KeepGoing = false;
    bool List = false;
    bool Help = false;
    std::optional<std::string> Report;
    std::string OutputDir;
};

// A command line that cannot be run as given; exit status 2.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

TCliOptions ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

} // namespace velmora::cli
