// SPDX-License-Identifier: Apache-2.0
// Where the program's files live: the help beside the executable or in an installed program's
// data folder, and the folder the settings file dialogs start in.
#pragma once

#include <QString>

namespace vellmark {

// The executable's folder.
QString ExecutableDir();
// Where the help file is looked for: beside the executable (a build tree or a copy run from
// its own folder), else in ../share/vellmark/ of an installed program. Empty when neither
// exists.
QString FindHelpFile(const QString& executableDir);
// The folder the file dialogs start in: the executable's folder when it may be written and
// is not an installed program's, else the user's documents folder (the home folder when
// there is none).
QString SettingsDirectory(const QString& executableDir);
// An installed program's folder: a bin/ with ../share/vellmark beside it, where the help is
// installed.
bool IsInstalledLocation(const QString& executableDir);

} // namespace vellmark
