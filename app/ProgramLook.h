// SPDX-License-Identifier: Apache-2.0
// The look every window of the program shares: the program's style, its one typeface (the
// dialog templates' face, for menus, message boxes, tooltips, the status line and the file
// dialogs too) and Japanese conventions for what Qt formats by locale (the file dialog's type
// names), whatever locale the desktop runs.
#pragma once

#include <QTranslator>

#include <cstdio>

namespace vellmark {

// Call once the application object exists, before the first window.
void ApplyProgramLook();

// Without any Japanese face the window's texts show as boxes: says so on the stream, in one
// line that names the package to install. True when it had to.
bool WarnWithoutJapaneseFace(std::FILE* stream);

// The Japanese texts of Qt's file dialogs that Qt's own translation lacks (the type of a folder,
// of a drive, of a link, the name check of a new folder). Installed after Qt's translation, it
// answers only for those.
class QtTextSupplement : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace vellmark
