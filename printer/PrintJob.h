// One raw spool job in progress. Destroying a job that was not ended cancels it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vellmark {

class PrintJob {
public:
    virtual ~PrintJob() = default;
    // Hands the bytes to the spooler; false when they could not be written.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // Closes the document. False when the spooler did not accept it; the job is then cancelled.
    virtual bool End() = 0;
};

} // namespace vellmark
