#include "cli/CliOptions.h"

namespace velmora::cli {

std::string UsageText() {
    return "usage: velmora-cli [--store DIR] [--folder NAME]... [--all] [--keep-going]\n"
           "                   [--report FILE] OUTPUT_DIR\n"
           "       velmora-cli --list [--store DIR]\n"
           "\n"
           "Converts the mail folders of an IncrediMail message store into .eml files,\n"
           "one subdirectory of OUTPUT_DIR per mail folder.\n"
           "\n"
           "  --store DIR      the folder holding the store's *.imh files; by default the\n"
           "                   store that IncrediMail's registry key names (Wine's registry\n"
           "                   of $WINEPREFIX, else ~/.wine)\n"
           "  --folder NAME    convert this mail folder (repeatable); by default every\n"
           "                   folder but \"Deleted Items\"\n"
           "  --all            convert every mail folder, \"Deleted Items\" included\n"
           "  --keep-going     skip a message that fails and go on; report it on stderr\n"
           "  --report FILE    write one JSON line per index record to FILE\n"
           "  --list           list the mail folders and their message counts\n"
           "  --help           show this text\n";
}

TCliOptions ParseCommandLine(const std::vector<std::string>& args) {
    TCliOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw TUsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h")
            options.Help = true;
        else if (arg == "--store")
            options.Store = value();
        else if (arg == "--folder")
            options.Folders.push_back(value());
        else if (arg == "--all")
            options.All = true;
        else if (arg == "--keep-going")
            options.KeepGoing = true;
        else if (arg == "--report")
            options.Report = value();
        else if (arg == "--list")
            options.List = true;
        else if (arg == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-')
            throw TUsageError("unknown option " + arg);
        else
            positional.push_back(arg);
    }
    if (options.Help)
        return options;
    if (options.List) {
        if (!positional.empty() || !options.Folders.empty() || options.All || options.Report)
            throw TUsageError("--list takes only --store");
        return options;
    }
    if (positional.size() != 1)
        throw TUsageError(positional.empty() ? "OUTPUT_DIR is missing"
                                             : "only one OUTPUT_DIR may be given");
    if (options.All && !options.Folders.empty())
        throw TUsageError("--all and --folder exclude each other");
    options.OutputDir = positional.front();
    if (options.OutputDir.empty())
        throw TUsageError("OUTPUT_DIR is empty");
    return options;
}

} // namespace velmora::cli
