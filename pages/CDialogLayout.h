// SPDX-License-Identifier: Apache-2.0
// Dialog templates made into widgets. Positions are dialog units, converted to pixels as
// Windows converts them: from the base units of the dialog font (x: average width of the Latin
// letters, y: the font's height), widened where a text would not fit. Build() creates a template's
// controls in template order, which is also their tab order.
#pragma once

#include "DialogTemplate.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QSlider;
class QStyle;
class QWidget;

namespace vellmark {

class CRadioButton;

// The controls of one template, as Build() made them.
struct DialogControls {
    QHash<int, QWidget*> items;                   // by control id; labels without one left out
    QHash<int, QList<CRadioButton*>> radioGroups; // by the id of the group's first button
};

class CDialogLayout {
public:
    // The dialog font: the first installed face of the template font list, else the
    // sans-serif face fontconfig offers, at 9 points (DialogFace.h).
    static QFont DialogFont();
    // Base units of a font in pixels.
    static QSize BaseUnits(const QFont& font);
    // The base units the layouts use: the font's own, with the horizontal unit widened as far
    // as needed for every text of every template to fit its control at this style (a substitute
    // face whose letters are wider than the template's face). Under the template's face they are
    // the font's own, so every control lies where its template puts it. Found once per process
    // and style: taken from the table of known faces (KnownDialogUnits.h), else measured.
    static QSize FittedBaseUnits(const QFont& font, const QStyle& style);
    // The same, always measured.
    static QSize MeasuredBaseUnits(const QFont& font, const QStyle& style);

    // The layout of the dialogs drawn with style at font.
    CDialogLayout(const QFont& font, const QStyle& style);
    int X(int dlu) const;
    int Y(int dlu) const;
    QRect Rect(int x, int y, int w, int h) const;
    QSize Size(int w, int h) const;
    QSize Base() const { return m_base; }

    // Creates the controls of the template as children of dialog, at their positions. Every
    // notification of a control with an id (click, selection, focus, edit change) goes to
    // notify(id, code), every move of a slider by the user to scrolled(slider). A label's
    // mnemonic moves the focus to the next control that can take it; an up-down control takes
    // the edit before it as its buddy.
    DialogControls Build(QWidget& dialog, const res::DialogTemplate& dialogTemplate,
                         const std::function<void(int id, int code)>& notify,
                         const std::function<void(QSlider*)>& scrolled) const;

private:
    QSize m_base;
};

} // namespace vellmark
