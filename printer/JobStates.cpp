// SPDX-License-Identifier: Apache-2.0
#include "JobStates.h"

#include <cstring>
#include <utility>

namespace vellmark {

bool JobFinished(ipp_jstate_t state) {
    return state == IPP_JSTATE_COMPLETED || state == IPP_JSTATE_CANCELED ||
           state == IPP_JSTATE_ABORTED;
}

std::optional<std::vector<JobState>> AskJobStates(SchedulerContact& contact,
                                                  CupsConnection& connection,
                                                  const std::vector<int>& jobIds) {
    static const char* const kJobAttributes[] = {
        "job-id",
        "job-state",
        "job-state-reasons",
        "job-printer-state-message",
    };
    IppPtr request(ippNewRequest(IPP_OP_GET_JOBS));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 "ipp://localhost/");
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddIntegers(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-ids",
                   static_cast<int>(jobIds.size()), jobIds.data());
    const IppPtr response = contact.Ask(connection, std::move(request), kJobAttributes);
    if (!response)
        return std::nullopt;
    std::vector<JobState> states;
    JobState look;
    const auto take = [&] {
        if (look.jobId > 0)
            states.push_back(std::move(look));
        look = {};
    };
    for (ipp_attribute_t* attr = ippFirstAttribute(response.get()); attr;
         attr = ippNextAttribute(response.get())) {
        const char* name = ippGetName(attr);
        if (!name) {
            take(); // the end of one job's group
            continue;
        }
        if (!std::strcmp(name, "job-id")) {
            look.jobId = ippGetInteger(attr, 0);
        } else if (!std::strcmp(name, "job-state")) {
            look.state = static_cast<ipp_jstate_t>(ippGetInteger(attr, 0));
            look.known = true;
        } else if (!std::strcmp(name, "job-state-reasons")) {
            look.reasons = StringsAttr(attr);
        } else if (!std::strcmp(name, "job-printer-state-message")) {
            look.message = StringAttr(attr);
        }
    }
    take();
    return states;
}

} // namespace vellmark
