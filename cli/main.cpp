// SPDX-License-Identifier: Apache-2.0
// vellmark-cli: prepares settings files and sends them without the window.
#include "SettingValues.h"
#include "SettingsCommands.h"

#include "PrinterCommands.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  vellmark-cli factory OUT.dat [--force]         write the factory settings as a settings "
    "file\n"
    "  vellmark-cli show FILE.dat [--json]            every setting of the file, by name\n"
    "  vellmark-cli set FILE.dat NAME=VALUE...        change settings in the file\n"
    "  vellmark-cli diff A.dat B.dat                  the settings that differ; exit 0 equal, 1 "
    "different\n"
    "  vellmark-cli printers [--server HOST[:PORT]]... [--servers-from FILE]\n"
    "                 [--timeout SECONDS] [--json]\n"
    "                                                 the queues of the model\n"
    "  vellmark-cli send FILE.dat (--printer [SERVER/]NAME... | --all)\n"
    "                 [--server HOST[:PORT]]... [--servers-from FILE] [--timeout SECONDS]\n"
    "                 [--wait SECONDS] [--dry-run] [--json]\n"
    "                                                 send the settings to each queue\n"
    "  vellmark-cli --version                         the tool's version\n";

int Run(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty() || all[0] == "--help" || all[0] == "-h") {
        (all.empty() ? std::cerr : std::cout) << kUsage;
        return all.empty() ? 2 : 0;
    }
    if (all[0] == "--version") {
        std::cout << "vellmark-cli " VELLMARK_VERSION "\n";
        return 0;
    }
    const std::string& command = all[0];
    const std::vector<std::string> args(all.begin() + 1, all.end());
    using namespace vellmark::cli;
    struct Command {
        std::string_view name;
        int (*run)(const std::vector<std::string>&);
    };
    constexpr Command kCommands[] = {{"factory", RunFactoryCommand},   {"show", RunShowCommand},
                                     {"set", RunSetCommand},           {"diff", RunDiffCommand},
                                     {"printers", RunPrintersCommand}, {"send", RunSendCommand}};
    for (const Command& c : kCommands)
        if (command == c.name)
            return c.run(args);
    return Fail("unknown command " + vellmark::Quoted(command) +
                " (vellmark-cli --help lists them)");
}

} // namespace

int main(int argc, char** argv) {
    vellmark::cli::GuardStandardStreams();
    return vellmark::cli::FinishOutput(Run(argc, argv));
}
