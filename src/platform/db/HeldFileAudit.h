#pragma once

#include <QtCore/QString>

struct sqlite3;

namespace platform {

// For tests and diagnosis only: with TAVREL_AUDIT_HELD_FILE naming a log
// file, every question put through the test responder first checks whether
// this process holds a database file it has open (a write transaction, a read
// transaction, a statement not yet reset, an exclusive opening), as every
// other workstation would find it while the question is on screen. A fresh
// connection of our own, with no wait, takes the file exclusively and lets
// it go; the engine keeps the connections of one process apart, so it is
// refused while any of ours holds the file. Each refusal adds one line to the
// log: the running test (TAVREL_AUDIT_TEST, which the test programs set) or
// the program, the question's caption and first line, and how our
// connections hold the file. Unset, nothing is kept and nothing checked.
class HeldFileAudit
{
public:
    static bool enabled();

    // The connections open on database files (kept only while enabled).
    static void opened(sqlite3 *db, const QString &path, bool exclusive);
    static void closed(sqlite3 *db);

    // Logs the question when a file is held (nothing when not enabled).
    static void check(const QString &kind, const QString &caption, const QString &text);
};

} // namespace platform
