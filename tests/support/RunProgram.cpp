#include "support/RunProgram.h"

#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <sys/wait.h>

namespace velmora::support {

namespace {

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder) {
    TTempDir capture;
    std::string command;
    if (!folder.empty())
        command = "cd " + Quote(folder) + " && ";
    command += Quote(program);
    for (const auto& arg : args)
        command += " " + Quote(arg);
    command += " </dev/null >" + Quote(capture / "out") + " 2>" + Quote(capture / "err");
    const int raw = std::system(command.c_str());
    TProgramResult result;
    result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.Out = ReadFile(capture / "out");
    result.Err = ReadFile(capture / "err");
    return result;
}

} // namespace velmora::support
