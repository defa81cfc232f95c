// The printer commands of vellmark-cli: printers, send.
#pragma once

#include <string>
#include <vector>

namespace vellmark::cli {

// Both take --server HOST[:PORT] (repeatable), --servers-from FILE (one server a line, '#'
// comments), --timeout SECONDS (each request's bound) and --json.
//
// printers: the usable queues of the model as the printer selection lists them, name and
// destination, in list order (with several servers, each row with its server; the servers
// asked in parallel). Exit 1 when there is none or a server did not give its list (one line
// naming it and the reason).
int RunPrintersCommand(const std::vector<std::string>& args);

// send FILE.dat (--printer [SERVER/]NAME... | --all) [--wait SECONDS] [--dry-run]: the file's
// settings as one raw job to each printer, all at once; progress on standard error as each
// printer finishes, then one line (or JSON object) per printer, and per server that gave none,
// in list order: completed, queued, not sent or unknown, with the job's number and the
// spooler's reason. Exit 0 when every printer completed, 3 when every job was taken but some
// are still queued, 1 when any was not sent or is unknown, 2 on a usage error.
int RunSendCommand(const std::vector<std::string>& args);

} // namespace vellmark::cli
