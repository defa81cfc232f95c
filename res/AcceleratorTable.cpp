// SPDX-License-Identifier: Apache-2.0
#include "AcceleratorTable.h"

#include "ResourceIds.h"

namespace vellmark::res {
namespace {

// Table 142 of the main window.
constexpr Accelerator kPanelAccelerators[] = {
    {kAccelControl, '1', ID_PAGE_MSW1},        {kAccelControl, '2', ID_PAGE_MSW2},
    {kAccelControl, '3', ID_PAGE_MSW3},        {kAccelControl, '4', ID_PAGE_MSW4},
    {kAccelControl, 'C', ID_SELECT_PRINTER},   {kAccelControl, 'F', ID_PAGE_FORM},
    {kAccelControl, 'I', ID_FACTORY_SETTINGS}, {kAccelControl, 'K', ID_PAGE_SELECT},
    {kAccelControl, 'O', ID_LOAD_SETTINGS},    {kAccelControl, 'P', ID_PAGE_PARAM},
    {kAccelControl, 'S', ID_SAVE_SETTINGS},    {kAccelNone, VK_F1, ID_HELP_CONTENTS},
    {kAccelControl, 'W', ID_SEND_SETTINGS},
};

} // namespace

std::span<const Accelerator> LoadAccelerators(int id) {
    if (id == IDR_PANEL_MENU)
        return kPanelAccelerators;
    return {};
}

} // namespace vellmark::res
