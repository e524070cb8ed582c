#pragma once

#include "platform/Money.h"

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>

#include <cstdint>

class QWidget;

// What a user typed into a field, read by the kind of value the field holds.
// Each reading takes the whole text: it is kept exactly as meant or refused,
// never cut at its first character that does not belong to a number. Blanks
// around the text are no part of it; thousands are grouped with "," anywhere
// a number is typed ("1,000" is one thousand).

// The kinds of typed values. A field that reads its text through one of the
// readings below carries its kind as the property "valueKind".
enum class ValueKind : int { Text = 0, Date, Time, TimeOfDay, Whole, Quantity, Money, Rate };

// A whole number, signed: "1,250", "-40", "1e3" (an exponent that leaves a
// whole number). Nothing else, and nothing beyond the 32-bit range.
bool ReadTypedWhole(const QString &text, std::int32_t &out);
// A quantity: a whole number that is not negative, up to the largest count
// the program takes (kLargestCount, 1,000,000,000).
bool ReadTypedQuantity(const QString &text, std::int32_t &out);
// Why a text is no quantity, as a field's refusal says it: "Please enter a
// quantity from 0 to 1,000,000,000." for a number past the largest count,
// else "Please enter a quantity."
QString TypedQuantityMessage(const QString &text);
// A number with at most `decimals` decimals (more only when they are
// zeros), as the number times 10^decimals: "12.5" with 2 gives 1250,
// "1,234.5" 123450; "12.345" with 2 is refused (it cannot be kept whole).
bool ReadTypedFixed(const QString &text, int decimals, std::int64_t &scaled);
// An amount of money: digits with "," groups, an optional sign and "$", with
// at most `decimals` decimals (a money field of two holds cents: "12.345" is
// refused there, never rounded), within the largest amount the program takes,
// 100,000,000,000.0000 either way (kLargestAmountUnits).
bool ReadTypedMoney(const QString &text, Money &out, int decimals = 4);
// Why a money text does not read, as the field's refusal says it: an amount
// past the largest, more decimals than the field holds, or no amount at all
// ("Please enter a currency.").
QString TypedMoneyMessage(const QString &text, int decimals = 2);
// A duration in whole minutes: "h:mm" or "h.mm" with two-digit minutes below
// 60, or a bare number of hours ("3", "1,000"). Not negative.
bool ReadTypedDuration(const QString &text, std::int32_t &minutes);
// A time of day as minutes after midnight: "14:30", "2:30 pm", "2 pm",
// "2:30 p.m.", "noon", "midnight". Hours run to 23 (1 to 12 with am/pm),
// minutes to 59.
bool ReadTypedTimeOfDay(const QString &text, std::int32_t &minutes);
// A rate in percent within [minimum, maximum]: "12.5", "12.5%", "0.5".
bool ReadTypedRate(const QString &text, double minimum, double maximum, double &out);

// A date typed as the shop writes it, month/day/year, with "/", "-" or "."
// between the parts: "11/20/2026", "1/5/26" (a two-digit year is in
// 2000-2099), "11/20" (the year of `current`), or the digits alone,
// "11202026" or "112026". A lone number of one or two digits replaces the
// part `section` (0 month, 1 day, 2 year) of `current`, four digits the
// year. The date must exist: "2/29/2025" and "13/13/2025" are refused, the
// leap day "2/29/2024" is kept.
bool ReadTypedDate(const QString &text, const QDate &current, int section, QDate &out);

// --- Refusals ------------------------------------------------------------------

// The name of a field as its window shows it: the text of the label that is
// its buddy, else of the label just left of it on its row (or just above
// it), without "&" and a closing ":"; else the field's accessible name, or
// its tool tip. Empty when none of them is found.
QString FieldName(const QWidget *field);
// The message that refuses a typed value, naming its field:
// "Received: Please enter a date." (the message alone when the field has no
// name).
QString FieldMessage(const QString &fieldName, const QString &message);
// Shows the refusal of the field's typed text (an exclamation box naming the
// field), then gives the field the focus with its text selected.
void RefuseTyped(QWidget *field, const QString &message, const QString &fieldName = QString());

// The message of each kind: "Please enter a date as month/day/year.", "Please
// enter a currency." and so on.
QString TypedValueMessage(ValueKind kind);
// The message that refuses a text longer than the column it is kept in:
// "Please enter at most 60 characters."
QString TextLengthMessage(int size);

// Makes the edit read its text as a value of the kind when the user leaves
// it (or presses Enter): a text that reads is shown in the kind's own form
// ("1,234.5" as "1234.50", "1,000" as "1000"); one that does not is refused
// naming the field, and the field shows its last value again. The edit
// carries the kind as its property "valueKind". Rates are read within
// `minimum`..`maximum`.
class QLineEdit;
void AttachTypedReading(QLineEdit *edit, ValueKind kind, double minimum = -1e12, double maximum = 1e12);
// The value such an edit showed before the text now being typed: the last
// value the program put in or the reading kept. A refusal puts it back.
QString ValueShownBeforeTyping(const QLineEdit *edit);
// At OK: the first of the edits whose text, typed and not yet left, does
// not read as a quantity is refused as when it is left (its last value
// shown again); false then. Empty texts pass.
bool AcceptTypedQuantities(const QList<QLineEdit *> &edits);
// Reads a text by kind into its shown form; false when it does not read.
bool CanonicalTypedText(ValueKind kind, const QString &text, QString &shown, double minimum = -1e12,
                        double maximum = 1e12);
