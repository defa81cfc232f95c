// SPDX-License-Identifier: Apache-2.0
#include "ProgramLook.h"

#include "CDialogLayout.h"
#include "CDialogStyle.h"
#include "DialogFace.h"

#include <QApplication>
#include <QLocale>

#include <cstring>

namespace vellmark {
namespace {

struct SuppliedText {
    const char* context;
    const char* source;
    const char* text;
};

// Qt 6 asks for these under contexts its Japanese translation does not have yet; the texts are
// the ones that translation gives the same words elsewhere in the file dialog.
constexpr SuppliedText kSupplied[] = {
    {"QAbstractFileIconProvider", "Folder", "フォルダ"},
    {"QAbstractFileIconProvider", "File Folder", "ファイルフォルダ"},
    {"QAbstractFileIconProvider", "File", "ファイル"},
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
    {"QAbstractFileIconProvider", "Alias", "エイリアス"},
    {"QAbstractFileIconProvider", "Unknown", "不明"},
    {"QFileSystemModel",
     "<b>The name \"%1\" cannot be used.</b><p>Try using another name, with fewer characters or "
     "no punctuation marks.",
     "<b>ファイル名 \"%1\" は使用できません。</b><p>名前を短くしたり、アクセント記号などを削除して"
     "再度試してください。"},
};

} // namespace

void ApplyProgramLook() {
    CDialogStyle::Install();
    // One typeface for everything: set without a class name, it also replaces the fonts the
    // platform gives menus, message boxes, tooltips and the like.
    QApplication::setFont(CDialogLayout::DialogFont());
    // Names Qt takes from the locale (file types in the file dialogs) in Japanese, as every
    // other text of the program.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

bool WarnWithoutJapaneseFace(std::FILE* stream) {
    if (FindDialogFace().japanese)
        return false;
    std::fputs("vellmark: no Japanese font is installed, so every text of the window shows as "
               "boxes; install the package fonts-ipafont-gothic (apt install "
               "fonts-ipafont-gothic)\n",
               stream);
    return true;
}

QString QtTextSupplement::translate(const char* context, const char* sourceText, const char*,
                                    int) const {
    if (!context || !sourceText)
        return {};
    for (const SuppliedText& s : kSupplied)
        if (std::strcmp(context, s.context) == 0 && std::strcmp(sourceText, s.source) == 0)
            return QString::fromUtf8(s.text);
    return {};
}

} // namespace vellmark
