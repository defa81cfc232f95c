// The main window's printer line: a status line in two parts, the printer's name on the left
// and its destination on the right, without a size grip.
#pragma once

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

    void SetText(int part, const QString& text);
    QString Text(int part) const;
    // The part's rectangle inside the line.
    QRect PartRect(int part) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_parts[2];
};

} // namespace vellmark
