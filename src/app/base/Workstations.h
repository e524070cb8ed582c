#pragma once

#include <QtCore/QString>

// The workstations connected to the shop's database, as the lock file beside
// it ("TavrelData.ldb") lists them: one entry per connection, the computer's
// name and " (" user ")", in upper case.

// The number of different entries. distinct gets each different entry once,
// all gets every entry; each entry is followed by "\r\n". Entries are compared
// whole. A missing or unreadable lock file gives 0 and two empty texts.
int CountWorkstations(QString &distinct, QString &all);

// The lock file read by CountWorkstations: the one beside the open database,
// else "TavrelData.ldb" in the database folder.
QString WorkstationLockFilePath();

// The text of the connected-workstations note: the count, both lists and the
// two paragraphs about the lock file.
QString WorkstationsText();
