// SPDX-License-Identifier: Apache-2.0
// What a CUPS print service knows of its scheduler, shared with the jobs it started (a job may
// outlive its service): where the scheduler is, the time each operation may take, the requests
// sent so far, and whether the scheduler stopped answering.
#pragma once

#include "CupsConnection.h"

#include <chrono>
#include <string>

namespace vellmark {

struct SchedulerContact {
    std::string server;
    std::chrono::milliseconds budget;
    int requests = 0;
    // Why the scheduler is taken for silent, in one line naming it; empty while it answers.
    std::string noAnswer;
    // Why the last probe or job failed, in one line; empty after a success.
    std::string lastFailure;
    // The scheduler's number of the last job that was started; 0 before any.
    int lastJobId = 0;

    // Takes in how the connection's last step went: silence marks the scheduler as silent,
    // any answer (a refusal included) as answering.
    void RecordStep(const CupsConnection& connection) {
        if (connection.ConnectionRefused())
            noAnswer = "the print scheduler at " + server + " refused the connection";
        else if (connection.LastResult() == CupsConnection::Result::NoAnswer)
            noAnswer =
                "the print scheduler at " + server + " does not answer: " + connection.LastError();
        else
            noAnswer.clear();
    }

    // Why a step on the connection failed, in one line: the silence, the connection that could
    // not be made (naming the scheduler), or the scheduler's refusal.
    std::string Failure(const CupsConnection& connection) const {
        if (!noAnswer.empty())
            return noAnswer;
        if (!connection.IsOpen())
            return "the print scheduler at " + server + " " + connection.LastError();
        return connection.LastError();
    }
};

} // namespace vellmark
