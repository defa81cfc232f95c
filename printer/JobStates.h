// SPDX-License-Identifier: Apache-2.0
// The states of jobs as their scheduler tells them, asked in one request for any number of
// jobs, and the rule for a job that has reached its end. A job learning its own fate and the
// following of many jobs at once both ask this way.
#pragma once

#include "CupsConnection.h"
#include "SchedulerContact.h"

#include <optional>
#include <string>
#include <vector>

namespace vellmark {

// Whether a job has reached its end on the scheduler: completed, cancelled or aborted.
bool JobFinished(ipp_jstate_t state);

// What one look at a job found.
struct JobState {
    int jobId = 0;
    bool known = false; // the scheduler gave the job's state
    ipp_jstate_t state = IPP_JSTATE_PENDING;
    std::vector<std::string> reasons; // job-state-reasons keywords
    std::string message;              // job-printer-state-message

    bool Finished() const { return known && JobFinished(state); }
};

// Asks the scheduler over `connection`, with one Get-Jobs request, for the jobs numbered
// `jobIds`: a look at each job it knows, or nothing when it did not answer.
std::optional<std::vector<JobState>>
AskJobStates(SchedulerContact& contact, CupsConnection& connection, const std::vector<int>& jobIds);

} // namespace vellmark
