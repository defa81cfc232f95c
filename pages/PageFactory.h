// Creates a settings page from its class name, as the pages carry it ("CPage_Select", ...).
#pragma once

#include "CPropertyPage.h"

#include <memory>
#include <string_view>

namespace vellmark {

// Null for a name that is no page's.
std::unique_ptr<CPropertyPage> CreatePageByName(std::string_view className);

} // namespace vellmark
