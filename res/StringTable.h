// SPDX-License-Identifier: Apache-2.0
// The program's string table.
#pragma once

#include <string_view>

namespace vellmark::res {

// The text of a string-table entry; empty for an id that has none.
std::string_view LoadString(int id);

} // namespace vellmark::res
