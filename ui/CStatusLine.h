// SPDX-License-Identifier: Apache-2.0
// The main window's printer line: a status line in two parts, the printer's name on the left
// and its destination on the right, without a size grip.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace vellmark {

class CStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit CStatusLine(QWidget* parent);

    // Where the first part ends for a line `width` pixels wide: 65 % of the width counted in
    // whole tenths, the fraction dropped. The second part runs to the right edge.
    static int FirstPartRight(int width) { return (width / 10) * 13 / 2; }

    // Shows `label` followed by `value` in the part. A value that does not fit is cut in its
    // middle with an ellipsis, the label staying whole; the part's tooltip is `toolTip`, or the
    // whole value when it was cut and no tooltip is given.
    void SetText(int part, const QString& label, const QString& value, const QString& toolTip = {});
    // The part's whole text (label and value, uncut).
    QString Text(int part) const;
    // What the part shows.
    QString ShownText(int part) const;
    QString ToolTip(int part) const;
    // The part's rectangle inside the line.
    QRect PartRect(int part) const;
    // The width the part has for its text.
    int TextWidth(int part) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Part {
        QLabel* label = nullptr;
        QString fixed, value, toolTip;
    };
    void Show(Part& part);

    Part m_parts[2];
};

} // namespace vellmark
