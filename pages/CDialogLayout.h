// Dialog units to pixels, as Windows converts them: from the base units of the dialog font
// (x: average width of the Latin letters, y: the font's height).
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace vellmark {

class CDialogLayout {
public:
    // The dialog font: the first installed face of the template font list, else the default
    // sans-serif, at 9 points.
    static QFont DialogFont();
    // Base units of a font in pixels.
    static QSize BaseUnits(const QFont& font);

    explicit CDialogLayout(const QFont& font);
    int X(int dlu) const;
    int Y(int dlu) const;
    QRect Rect(int x, int y, int w, int h) const;
    QSize Size(int w, int h) const;
    QSize Base() const { return m_base; }

private:
    QSize m_base;
};

} // namespace vellmark
