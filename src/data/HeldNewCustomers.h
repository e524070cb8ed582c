#pragma once

#include <QtCore/QtGlobal>

// The customer window stores a new customer at once, under the name
// "< new >", to hold its number while the user fills it in; Cancel removes
// it again. This workstation keeps a note of each one it holds (with the
// program copy that holds it and the database), so that a row a copy killed
// meanwhile left behind is removed when the program next starts here.
class HeldNewCustomers
{
public:
    // Noted, and saved at once: a copy killed the next moment leaves the note.
    static void Hold(qint32 cusNo);
    // The number was saved as a customer, or the row removed: no longer held.
    static void Release(qint32 cusNo);
    // Removes the "< new >" rows (and what was hung on them) that copies of
    // the program no longer running held in this database; the notes of
    // copies still running, and of other databases, stay. The number removed.
    // All of it on the shop's shared database.
    static int RemoveAbandoned();
};
