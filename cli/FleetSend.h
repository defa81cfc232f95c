// SPDX-License-Identifier: Apache-2.0
// The send of a planned job: every printer at once, then the jobs followed until they finish.
#pragma once

#include "FleetPlan.h"
#include "SettingsDocument.h"

#include <functional>
#include <vector>

namespace vellmark::cli {

// Sends `loaded` to every sendable row at once (with --dry-run, none: each row says where it
// would go) and follows the jobs taken until they finish or the request's wait has passed.
// `progress` is told each row as its outcome is known. SIGINT and SIGTERM end the wait; the
// signal is returned (0 when none came) and the rows still waited for say so.
int SendAndFollow(std::vector<PlannedRow>& rows, const SettingsDocument& loaded,
                  const SendRequest& request, const std::function<void(PlannedRow&)>& progress);

} // namespace vellmark::cli
