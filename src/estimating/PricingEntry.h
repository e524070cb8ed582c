#pragma once

#include <QtCore/QString>

// One value the pricing asks the user for: a one-field entry window with a
// title, a prompt, a note under it and the value text the field starts with.
struct PricingEntry
{
    QString title;
    QString prompt;
    QString note;
    QString value; // in: the starting text; out: what the user typed
};

// Shows the entry window modally (through the program's prompt hook, so tests
// answer it); true with entry.value set when the user confirms.
bool AskPricingEntry(PricingEntry &entry);
