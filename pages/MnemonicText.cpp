// SPDX-License-Identifier: Apache-2.0
#include "MnemonicText.h"

namespace vellmark {

QString WithoutMnemonic(const QString& text) {
    QString drawn;
    drawn.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && ++i == text.size())
            break; // the mark stands for the character after it
        drawn.append(text.at(i));
    }
    return drawn;
}

} // namespace vellmark
