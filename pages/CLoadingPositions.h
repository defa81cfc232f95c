// SPDX-License-Identifier: Apache-2.0
// The three paper loading positions of the form page and of the form setup dialog: each a
// number edit in 1/120 inch with an up-down control, ranged by its field of the core's table,
// and a slider of ten stops beside it. The edit moves its slider to the stop nearest its value; the
// slider that has the keyboard focus writes its stop's value into its edit.
#pragma once

#include "CDialogBase.h"
#include "Settings.h"

#include <array>

class QSlider;

namespace vellmark {

class CLoadingPositions {
public:
    static constexpr int kLastStop = 9;

    // One loading position: its slider, its edit with the up-down control, the stop table of
    // its paper, the edit's range and the dialog's members of the slider's stop and the edit.
    struct Row {
        int slider;
        int edit;
        int upDown;
        const StopTable* stops;
        EditRange range;
        int* stop;
        int* position;
    };

    CLoadingPositions(CDialogBase& dialog, const std::array<Row, 3>& rows);

    // Slider ranges 0 to 9 and the edits' up-down ranges, once the controls exist.
    void InitControls();
    // Each slider's stop and its edit's value, the value kept in its range.
    void Exchange(CDataExchange& dx) const;
    // Each stop member set to the stop nearest its position member.
    void StopsFromPositions() const;
    // The change steps of a loading-position edit (clamped to its range while the user types
    // in it), then its slider follows. False when id is not one of the three edits.
    bool OnEditChange(int id);
    // A slider moved by the user: when it has the focus, its stop's value goes into its edit
    // (whose change steps then follow). A slider without the focus does nothing.
    void OnSliderMoved(QSlider* slider);

private:
    CDialogBase& m_dialog;
    std::array<Row, 3> m_rows;
};

} // namespace vellmark
