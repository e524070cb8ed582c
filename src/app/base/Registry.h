#pragma once

#include <QtCore/QString>

// Reading single values of the workstation settings by their key path, as
// other programs and installers name them: "Software\Halvane\Tavrel\" and
// the section ("Software\Halvane\Tavrel\Settings").

// The text of a value; empty when the key or the value is missing, or the key
// lies outside the program's own settings.
QString RegReadString(const QString &keyPath, const QString &valueName);

// The folder part of the stored database path ("Settings"/"TavrelPath"),
// through its last separator; empty when nothing is stored.
QString GetInstallPathFromRegistry();
