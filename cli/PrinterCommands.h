// The printer commands of vellmark-cli: printers, send.
#pragma once

#include <string>
#include <vector>

namespace vellmark::cli {

// printers [--server HOST[:PORT]]... [--json]: the usable queues of the model as the printer
// selection lists them, name and destination, in list order (with several servers, each
// row with its server; the servers asked in parallel). Exit 1 when there is none (with the
// no-printer message) or a server did not give its list (one line naming it and the reason).
int RunPrintersCommand(const std::vector<std::string>& args);

// send FILE.dat (--printer [SERVER/]NAME... | --all) [--server HOST[:PORT]]... [--json]: the
// file's settings as one raw job to each printer; the servers in parallel, the queues of one
// server in list order; progress on standard error as each printer finishes, then one line (or
// JSON object) per printer with its outcome. Exit 1 when any printer was not sent or its
// outcome is unknown, 2 on a usage error.
int RunSendCommand(const std::vector<std::string>& args);

} // namespace vellmark::cli
