// The printer commands of vellmark-cli: printers, send.
#pragma once

#include <string>
#include <vector>

namespace vellmark::cli {

// printers [--json]: the usable queues of the model as the printer selection lists them, name
// and destination, in list order. Exit 1 (with the no-printer message) when there is none.
int RunPrintersCommand(const std::vector<std::string>& args);

// send FILE.dat --printer NAME... | --all: the file's settings as one raw job to each printer,
// one line per printer with its outcome. Exit 1 when any printer failed, 2 on a usage error.
int RunSendCommand(const std::vector<std::string>& args);

} // namespace vellmark::cli
