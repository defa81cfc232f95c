// SPDX-License-Identifier: Apache-2.0
// The steps between Create-Job and the first byte of a job's document, as a CUPS print job
// takes them. Production takes libcups' own; a test stands in for a scheduler that is slow to
// go on after Create-Job or that refuses the document, without touching the shared contact.
#pragma once

#include <cups/cups.h>

#include <functional>

namespace vellmark {

struct JobStart {
    // Runs once the job exists on the scheduler, before the time left for its steps is looked
    // at; nothing by default.
    std::function<void()> created;
    // Starts the job's only document on the job's connection: libcups' own start by default.
    std::function<http_status_t(http_t*, const char* printer, int jobId, const char* title)>
        startDocument = [](http_t* http, const char* printer, int jobId, const char* title) {
            return cupsStartDocument(http, printer, jobId, title, CUPS_FORMAT_RAW, 1);
        };
};

} // namespace vellmark
