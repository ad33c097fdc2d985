#include "cli/CliRun.h"

int main(int argc, char** argv) {
    return velmora::cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
