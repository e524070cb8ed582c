#pragma once

#include <QtCore/QString>

// Paths use the platform's folder separator; both "/" and "\" are accepted on
// input, and a path's case is never changed.

// The platform's folder separator ("\" on Windows, "/" elsewhere).
QChar FolderSeparator();
// Turns either separator into the platform's one.
QString NativePath(const QString &path);
// Appends the folder separator when the path does not end with one (either
// kind); an empty path becomes the separator alone.
void AddTrailingBackslash(QString &path);
// True when the path names a drive ("C:\Tavrel", "d:/x") or a network share
// ("\\server\share"), which only Windows can open: elsewhere such a text
// would become a file name full of backslashes in the current folder. Always
// false on Windows.
bool IsForeignPath(const QString &path);
