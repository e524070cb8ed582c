#pragma once

#include <QtCore/QString>

// Handing files and web addresses to the desktop, and small file checks.

// Opens the file (or a web or mail address) with the desktop's program for
// it; a program file with parameters is started with them in the folder.
// Above 32 on success; otherwise the system error number, which is also shown
// with the file, parameters and folder (one per line).
int ShellExecuteFile(const QString &verb, const QString &file, const QString &parameters, const QString &folder);

// Deletes the file when it exists. True also when there was no file; a file
// that cannot be deleted is shown in the file error box (" deleting file").
bool DeleteFileIfExists(const QString &path);

// True when folder + name names an existing file.
bool FileExists(const QString &folder, const QString &name);
