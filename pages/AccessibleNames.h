// SPDX-License-Identifier: Apache-2.0
// What a screen reader says for the controls of a dialog, derived from its template as Windows
// derives it: a control with a text of its own (button, check box, radio button, label, frame)
// is named by that text; every other control (drop-down list, edit, up-down, slider, list) by
// the text of the nearest label or frame title before it in template order, hidden labels
// skipped. The mnemonic is left out of every name, a Japanese "(&A)" with its parentheses.
//
// Radio buttons report the radio-button role (ours check their group themselves, which would
// otherwise make them check boxes), drop-down lists their label as name and their selection as
// value, and a page is a pane.
#pragma once

#include "DialogTemplate.h"

#include <QList>
#include <QString>

class QWidget;

namespace vellmark {

// A template text as it is said: without its mnemonic, the lines joined, no spaces at the ends.
QString AccessibleText(const QString& templateText);

// Lets the accessibility framework describe our radio buttons, drop-down lists and pages as
// above (once per process). Must come before the first of them is made: a control reports
// changes while it is set up, and the description it first gets is kept.
void InstallAccessibleControls();

// Gives the controls that were made from the template, one widget per control in template
// order, their accessible names.
void NameControls(const res::DialogTemplate& dialogTemplate, const QList<QWidget*>& controls);

} // namespace vellmark
