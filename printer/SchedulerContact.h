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

    // Takes in how the connection's last step went: silence marks the scheduler as silent,
    // any answer (a refusal included) as answering.
    void Note(const CupsConnection& connection) {
        if (connection.LastResult() == CupsConnection::Result::NoAnswer)
            noAnswer =
                "the print scheduler at " + server + " does not answer: " + connection.LastError();
        else
            noAnswer.clear();
    }
};

} // namespace vellmark
