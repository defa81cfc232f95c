// SPDX-License-Identifier: Apache-2.0
// The object name a dialog gets from its template id, by which QObject::findChild finds a page
// inside the main window.
#pragma once

#include <QString>

namespace vellmark {

inline QString DialogObjectName(int templateId) {
    return QStringLiteral("dialog%1").arg(templateId);
}

} // namespace vellmark
