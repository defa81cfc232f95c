// SPDX-License-Identifier: Apache-2.0
// The texts a dialog's controls cut, shared by the page and the locale tests.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtMath>

#include <algorithm>

namespace vellmark::test {

// Where the ink of the widest line of a text ends, at the control's font.
inline int TextWidth(const QWidget* w, const QString& text) {
    const QFontMetricsF fm(w->font());
    int widest = 0;
    for (const QString& line : text.split(u'\n')) {
        const QString shown = QString(line).remove(QRegularExpression(QStringLiteral("&(?!&)")));
        if (!shown.isEmpty())
            widest = std::max(widest, qCeil(fm.horizontalAdvance(shown) -
                                            std::max(qreal(0), fm.rightBearing(shown.back()))));
    }
    return widest;
}

// The controls of a dialog whose text the control cuts: its text is wider than the room the
// control, as built and styled, gives it.
inline QStringList Cut(QWidget& dialog, const QString& name) {
    QStringList cut;
    for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isHidden())
            continue;
        QStringList texts;
        int room = w->width();
        int need = 0;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            texts << label->text();
        } else if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(radio);
            texts << radio->text();
            room = w->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, w).width();
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(check);
            texts << check->text();
            room = w->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, w).width();
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            texts << button->text();
            need = 8; // its frame and focus rectangle
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(combo);
            opt.frame = true;
            room = w->style()
                       ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, w)
                       .width() -
                   2;
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            texts << box->title();
            need = w->fontMetrics().averageCharWidth() + 5; // where the frame's title starts
        } else {
            continue;
        }
        for (const QString& text : texts)
            if (need + TextWidth(w, text) > room)
                cut << QStringLiteral("%1:%2(%3>%4)")
                           .arg(name, QString(text).replace(u'\n', u' '))
                           .arg(need + TextWidth(w, text))
                           .arg(room);
    }
    return cut;
}

} // namespace vellmark::test
