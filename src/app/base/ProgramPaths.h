#pragma once

#include <QtCore/QString>

// The program's own file and folder, and the parts of a path. Both "/" and
// "\" count as separators; a path's case is never changed.

// The full path of the program file.
QString GetModulePath();
// The program's folder with its trailing separator; returns true.
bool GetProgramFolderTo(QString &out);
QString GetProgramFolder();

// The part after the last separator (the whole path when there is none).
QString GetFileNamePart(const QString &path);
// The part up to and including the last separator (empty when there is none).
QString GetFolderPart(const QString &path);
