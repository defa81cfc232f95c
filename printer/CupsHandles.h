// SPDX-License-Identifier: Apache-2.0
// Owners of the libcups handles: every ipp_t and http_t is released by its owner.
#pragma once

#include <cups/cups.h>

#include <memory>

namespace vellmark {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

struct HttpDeleter {
    void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpDeleter>;

} // namespace vellmark
