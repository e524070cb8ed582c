#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

class QFile;

namespace platform {

// A file that somebody other than this workstation's user may have put where
// the program looks for it: a template, an order a web shop left in a
// folder, a settings or key-field file in a shared folder. It is checked
// through the open file (never again by its name, which may be made to name
// another file meanwhile) before a byte of it is read:
//  - kind: only an ordinary file; a folder, a pipe, a device or a socket is
//    refused, and opening one never waits (a pipe's open would wait for a
//    writer, a device could be read for ever);
//  - owner: a symbolic link must be this user's, the administrator's or the
//    owner's of the file it names, so that nobody can make the program read
//    this user's private files by putting a link to one in a shared folder;
//    with ownOnly the file itself must be this user's;
//  - size: no more than the caller's limit, also when the file grows while
//    it is read.
// A refusal says why in words for the user ("it is not an ordinary file ..."),
// to follow "Cannot use <file>: ".
class PlacedFile
{
public:
    // Opens the file for reading after the checks of kind and owner (and,
    // with maxBytes at 0 or more, of size); the descriptor is blocking again
    // when returned. -1 with the refusal (or the system's error) otherwise.
    // `checked`, when given, tells a file that was there and refused by the
    // checks (trying again will not help) from one that could not be opened.
    static int Open(const QString &path, QString &refusal, bool ownOnly = false, qint64 maxBytes = -1,
                    bool *checked = nullptr);
    // The same open, as a file object that reads it (and closes it when it
    // goes): for a file read piece by piece rather than whole.
    static bool OpenFile(const QString &path, QFile &file, QString &refusal, bool ownOnly = false,
                         qint64 maxBytes = -1, bool *checked = nullptr);
    // Reads the whole file after the checks. False with the refusal, or the
    // system's text when it cannot be opened or read.
    static bool Read(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &refusal, bool ownOnly = false,
                     bool *checked = nullptr);
    // Only the checks, for a file that another program or library is to
    // read by its name: true when it passes them (or cannot be opened, which
    // the reader will say); false with the refusal when it does not.
    static bool Check(const QString &path, QString &refusal, qint64 maxBytes);
    // "it is larger than 16 MB, the most such a file may be" for a limit.
    static QString TooLarge(qint64 maxBytes);
};

} // namespace platform
