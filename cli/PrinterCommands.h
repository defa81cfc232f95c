// SPDX-License-Identifier: Apache-2.0
// The printer commands of vellmark-cli: printers, send.
#pragma once

#include <string>
#include <vector>

namespace vellmark::cli {

// Both take --server HOST[:PORT] (repeatable), --servers-from FILE (one server a line, '#'
// comments; a list that names none is a usage error), --timeout SECONDS (each step's bound)
// and --json. Every server is asked at once.
//
// printers: every queue of the model, name and destination, in list order (with several
// servers, each row with its server); a queue that cannot take a job is marked with the
// spooler's reason. Exit 1 when no queue is usable or a server did not give its list (one
// line naming it and the reason).
int RunPrintersCommand(const std::vector<std::string>& args);

// send FILE.dat (--printer [SERVER/]NAME... | --all) [--wait SECONDS] [--dry-run]: the file's
// settings as one raw job to each printer, all at once, then the jobs followed together until
// --wait; progress on standard error, then one line (or JSON object) per printer, and per
// server that gave none, in list order: completed, queued, not sent or unknown, with the job's
// number and the spooler's reason. Exit 0 when every printer completed, 3 when every job was
// taken but some are still queued, 1 when any was not sent or is unknown, 2 on a usage error,
// 130/143 when SIGINT/SIGTERM ended the wait (the report so far is printed).
int RunSendCommand(const std::vector<std::string>& args);

} // namespace vellmark::cli
