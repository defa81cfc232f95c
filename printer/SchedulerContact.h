// SPDX-License-Identifier: Apache-2.0
// What a CUPS print service knows of its scheduler, shared with the jobs it started (a job may
// outlive its service): where the scheduler is, the time each operation may take, the requests
// sent so far, and whether the scheduler stopped answering.
#pragma once

#include "CupsConnection.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>

namespace vellmark {

struct SchedulerContact {
    std::string server;
    std::chrono::milliseconds budget;
    int requests = 0;
    // Why the scheduler is taken for silent, in one line naming it; empty while it answers.
    std::string noAnswer;

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

    // Asks for the attributes over the connection when it is open: the answer, or null. The
    // request is counted, and how the connection went is taken in either way.
    template <std::size_t N>
    IppPtr Ask(CupsConnection& connection, IppPtr request, const char* const (&attributes)[N]) {
        IppPtr response;
        if (connection.IsOpen()) {
            ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                          static_cast<int>(N), nullptr, attributes);
            ++requests;
            response = connection.DoRequest(std::move(request), "/");
        }
        RecordStep(connection);
        return response;
    }
};

} // namespace vellmark
