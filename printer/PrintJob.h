// SPDX-License-Identifier: Apache-2.0
// One raw spool job in progress. Destroying a job that was not ended cancels it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellmark {

// How a job ended.
enum class JobEnd {
    Taken,    // the spooler accepted the whole job (or it was seen completed)
    NotTaken, // the spooler refused it, or it was cancelled or aborted: nothing was printed
    Unknown,  // the spooler went silent and the job's fate could not be learned in time: the
              // printer may have received it
};

// How a job ended, and why when the spooler went silent on it (one line naming the spooler;
// empty while it answered).
struct JobEnding {
    JobEnd end = JobEnd::NotTaken;
    std::string silence;
};

class PrintJob {
public:
    virtual ~PrintJob() = default;
    // Hands the bytes to the spooler; false when they could not be written.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // Closes the document and tells how the job ended. A job that is not taken is cancelled.
    virtual JobEnding End() = 0;
    // The spooler's number of the job.
    virtual int Id() const = 0;
};

} // namespace vellmark
