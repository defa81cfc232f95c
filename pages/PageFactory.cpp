#include "PageFactory.h"

#include "CPage_Form.h"
#include "CPage_MSW1.h"
#include "CPage_MSW2.h"
#include "CPage_MSW3.h"
#include "CPage_MSW4.h"
#include "CPage_Param.h"
#include "CPage_Select.h"

namespace vellmark {

std::unique_ptr<CPropertyPage> CreatePageByName(std::string_view className) {
    if (className == "CPage_Select")
        return std::make_unique<CPage_Select>();
    if (className == "CPage_Form")
        return std::make_unique<CPage_Form>();
    if (className == "CPage_Param")
        return std::make_unique<CPage_Param>();
    if (className == "CPage_MSW1")
        return std::make_unique<CPage_MSW1>();
    if (className == "CPage_MSW2")
        return std::make_unique<CPage_MSW2>();
    if (className == "CPage_MSW3")
        return std::make_unique<CPage_MSW3>();
    if (className == "CPage_MSW4")
        return std::make_unique<CPage_MSW4>();
    return nullptr;
}

} // namespace vellmark
