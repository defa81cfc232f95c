// SPDX-License-Identifier: Apache-2.0
#include "CLoadingPositions.h"

#include "CDataExchange.h"

#include <QSlider>

#include <algorithm>

namespace vellmark {

CLoadingPositions::CLoadingPositions(CDialogBase& dialog, const std::array<Row, 3>& rows)
    : m_dialog(dialog), m_rows(rows) {}

void CLoadingPositions::InitControls() {
    for (const Row& r : m_rows)
        m_dialog.SetSliderRange(r.slider, 0, kLastStop);
    for (const Row& r : m_rows)
        m_dialog.SetUpDownRange(r.upDown, r.range);
}

void CLoadingPositions::Exchange(CDataExchange& dx) const {
    for (const Row& r : m_rows) {
        dx.DDX_Slider(r.slider, *r.stop);
        dx.DDX_Text(r.edit, *r.position);
        dx.DDV_MinMaxInt(*r.position, r.range);
    }
}

void CLoadingPositions::StopsFromPositions() const {
    for (const Row& r : m_rows)
        *r.stop = NearestStop(*r.position, *r.stops);
}

bool CLoadingPositions::OnEditChange(int id) {
    for (const Row& r : m_rows) {
        if (r.edit != id)
            continue;
        const int value = m_dialog.EditChangeClamp(id, r.range);
        if (auto* slider = m_dialog.DlgItem<QSlider>(r.slider)) {
            slider->setValue(NearestStop(value, *r.stops));
            slider->update();
        }
        return true;
    }
    return false;
}

void CLoadingPositions::OnSliderMoved(QSlider* slider) {
    if (!slider->hasFocus())
        return;
    for (const Row& r : m_rows) {
        if (m_dialog.GetDlgItem(r.slider) == slider) {
            const int stop = std::clamp(slider->sliderPosition(), 0, kLastStop);
            m_dialog.SetDlgItemInt(r.edit, (*r.stops)[static_cast<std::size_t>(stop)]);
            return;
        }
    }
}

} // namespace vellmark
