#pragma once

#include "app/base/TypedValue.h"

#include <QtCore/QString>

// One value the pricing asks the user for: a one-field entry window with a
// title, a prompt, a note under it and the value text the field starts with.
struct PricingEntry
{
    QString title;
    QString prompt;
    QString note;
    QString value; // in: the starting text; out: what the user typed
    // What the value must look like (the whole trimmed text; empty: anything).
    // A confirmed text that does not is refused with a message and asked for
    // again, so a typing slip never becomes a figure of 0.
    QString pattern;
    // The kind of value asked for: a confirmed text that is none, read whole,
    // is refused and asked for again.
    ValueKind kind = ValueKind::Text;
    int decimals = 0; // of a number (kind Whole with decimals above 0)
    bool wide = false; // a number with decimals read in 64 bits; the caller bounds it
};

// Whether the text reads whole as a value of the entry's kind.
bool PricingEntryReads(const PricingEntry &entry, const QString &text);

// The patterns of the entries: a number, with an optional "m" after it
// (a price per 1000).
inline const char *const kNumberPattern = "[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)?";
inline const char *const kNumberPerThousandPattern = "[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)?\\s*[mM]?";

// Shows the entry window modally (through the program's prompt hook, so tests
// answer it); true with entry.value set when the user confirms.
bool AskPricingEntry(PricingEntry &entry);
