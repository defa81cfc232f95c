#include "CDialogLayout.h"

#include "DialogTemplate.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace vellmark {
namespace {

// MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

} // namespace

QFont CDialogLayout::DialogFont() {
    static const QFont font = [] {
        const QStringList families = QFontDatabase::families();
        QFont f;
        f.setStyleHint(QFont::SansSerif);
        for (std::string_view face : res::kDialogFontFaces) {
            const QString name =
                QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
            if (families.contains(name)) {
                f.setFamily(name);
                break;
            }
        }
        f.setPointSize(res::kDialogFontPoints);
        return f;
    }();
    return font;
}

QSize CDialogLayout::BaseUnits(const QFont& font) {
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((width / 26 + 1) / 2, fm.height());
}

CDialogLayout::CDialogLayout(const QFont& font) : m_base(BaseUnits(font)) {}

int CDialogLayout::X(int dlu) const {
    return MulDiv(dlu, m_base.width(), 4);
}
int CDialogLayout::Y(int dlu) const {
    return MulDiv(dlu, m_base.height(), 8);
}

QRect CDialogLayout::Rect(int x, int y, int w, int h) const {
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + w) - left, Y(y + h) - top);
}

QSize CDialogLayout::Size(int w, int h) const {
    return QSize(X(w), Y(h));
}

} // namespace vellmark
