#pragma once

#include <QtCore/QString>

// Texts about the workstation and the open database file, for the About box,
// support mails and the program's information pages.

// mode 1: the operating system's name ("Debian GNU/Linux 12 (bookworm)");
// mode 2: its major version number; any other mode: "Operating System: ",
// name, " Version ", version and the kernel, then a line
// "Memory (RAM): %d MB total, %d MB available".
void GetSystemInfoText(QString &out, int mode);

// Empty when the shared database is not open. Otherwise its location, the
// file's modification time ("%B %d, %Y, %H:%M"), its size in bytes (grouped)
// and in KB or MB (FormatFileSize), the engine and its version, and the file format: "SQLite 3"
// when the file starts with the engine's header, "?" when the file cannot be
// read, nothing for any other start.
void GetDatabaseFileInfo(QString &out);

// A file size for people: whole KB (rounded up) below one MB, MB with one
// decimal below one GB, else GB with two.
QString FormatFileSize(quint64 bytes);

// The last part of GetDatabaseFileInfo for a file: ". File format: " and the
// format, or empty as told above.
QString DatabaseFileFormatText(const QString &path);
