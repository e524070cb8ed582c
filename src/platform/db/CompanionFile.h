#pragma once

#include "platform/db/DbException.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <optional>

struct stat;

namespace platform {

// The files the engine keeps beside a database: the lock file that lists the
// workstations, and the journal (with the write-ahead log and its index) that
// holds what an interrupted write must undo. Anyone who may write in the
// database's folder (a shared folder) could have put a file of that name
// there, so each is checked before it is read or written:
// - it must be an ordinary file with no other name: a link (symbolic or hard),
//   a folder or a special file could make the program write into some other
//   file, or let its bytes be kept or read elsewhere;
// - a journal must moreover be this user's own: one made by somebody else
//   would be rolled back into the database as if it were the database's own
//   interrupted change.
class CompanionFile
{
public:
    enum class Fault { None, NotOrdinary, OtherOwner };

    // The fault of a file whose status is given (fstat of the open file, or
    // lstat of its name, which sees a link as the link).
    static Fault check(const struct stat &st, bool mustBeOwn);
    // The fault of the open file; NotOrdinary when it cannot be examined.
    static Fault check(int fd, bool mustBeOwn);
    // The fault of the file at the path, looked at without following a link;
    // None when there is no such file.
    static Fault checkPath(const QByteArray &path, bool mustBeOwn);

    // The refusal shown for a faulty file: 3051 with a text that names the
    // file and says what to do. role is "lock file" or "journal".
    static DbException refusal(const QString &path, const QString &role, Fault fault);
};

} // namespace platform
