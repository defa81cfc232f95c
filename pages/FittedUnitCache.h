// The fitted dialog unit kept between runs. Finding it measures every text of every dialog
// template at the dialog font, a few hundred glyphs loaded before the window can show, while what
// the result depends on is cheap to name: the program's own build, the font file and its
// rendering, the screen and the style. The unit is stored under a digest of all of that and used
// only under exactly the same digest; a missing, unreadable or foreign file, or a value that
// cannot belong to the font, is ignored (and replaced by the next measurement).
#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QSize>
#include <QString>

#include <optional>

namespace vellmark {

class FittedUnitCache {
public:
    // The cache file in the user's cache folder; empty when there is none.
    static QString DefaultPath();

    // The digest of everything the fitted unit of font depends on, measureInputs being what
    // the measurement itself took from the style and the font (the base units, the widths the
    // style draws beside a text). Empty when the unit cannot be named: the program carries no
    // build identity, or some character of the templates is not in the font's own file, so that
    // the rules of fontconfig pick the face that shows it.
    static QByteArray Key(const QFont& font, const QString& measureInputs);

    explicit FittedUnitCache(QString path) : m_path(std::move(path)) {}

    // The unit stored under key, when it is a unit the font can have: as high as the font's
    // natural unit and between one and three times as wide.
    std::optional<QSize> Load(const QByteArray& key, QSize natural) const;
    // Replaces the file, atomically, with this unit under key first and the few entries for
    // other keys it held. False when it could not be written (the measurement is then simply
    // repeated next time).
    bool Store(const QByteArray& key, QSize unit) const;

private:
    QList<QByteArray> Entries() const;

    QString m_path;
};

} // namespace vellmark
