#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cstdint>

// Text helpers shared by every layer: comma-terminated lists (each item is
// followed by the list separator; text after the last separator is not an
// item), string-table lists, splitting and joining, case-blind search, integer
// reading and the set-if-changed helpers with which dialogs count real edits.

// The one list separator of the program, ",". It is also the thousands
// separator of money and number texts.
const QString &ListSeparator();

// --- String-table lists -----------------------------------------------------

// Entry n of the comma-terminated list held by string resource `id`. Items
// beginning with the middle dot "·" are skipped when counting. n < 0 gives the
// whole text; a missing resource or entry gives an empty text.
QString GetResourceListItem(int id, int n);
void GetResourceListItemTo(int id, int n, QString &out);
// The same walk over a list text already at hand.
QString GetCommaListItem(const QString &list, int n);

// --- Splitting and joining --------------------------------------------------

// Empties `array` and adds every item of the comma-terminated `text` (empty
// items included); returns the number of items.
int SplitToArray(const QString &text, QStringList &array);

// `rest` gets the part after the first `key` and `text` keeps the part before
// it. Without the key `rest` is emptied and `text` is left alone.
void SplitAtKey(QString &text, QString &rest, const QString &key);

// The text between the first `start` and the next `end` after it; empty when
// either marker is missing or nothing lies between.
QString GetTextBetween(const QString &text, const QString &start, const QString &end);

// Removes every span from a `start` marker through the next `end` marker,
// markers included. An unclosed start marker is left as it is.
void RemoveDelimited(QString &text, const QString &start, const QString &end);

// The part between "{" and "}". With `remove` that part and its braces are
// cut out of `text`. Without a "{" the part before the first "}" is taken.
QString ExtractBraced(QString &text, bool remove);

// Splits "City, ST 12345": `line` keeps the city, `state` the trimmed word
// after the comma, `postcode` what follows the state's first blank.
void SplitCityStateZip(QString &line, QString &state, QString &postcode);

// Appends `prefix` and `part` to `text`, with `separator` in front only when
// `text` already holds something. An empty part changes nothing.
void AppendText(QString &text, const QString &part, const QString &separator,
                const QString &prefix = QString());

// Removes blanks, tabs and line breaks at both ends.
void TrimText(QString &text);

// `text` without any character that occurs in `chars`.
QString RemoveChars(const QString &text, const QString &chars);

QString ToUpperText(const QString &text);

// Position of the first occurrence of `sought`, comparing in lower case; -1
// when there is none.
int FindNoCase(const QString &text, const QString &sought);

// --- Integers ---------------------------------------------------------------

// Reads a decimal integer as the C library does: leading blanks skipped, an
// optional sign, digits up to the first other character; 0 without digits.
// Values beyond the 32-bit range are held at its ends.
int ToInt(const QString &text);

// ToInt when every character is a letter or a digit, else 0 (so "-5" is 0).
int AlnumToInt(const QString &text);

// --- Flags and change counting ----------------------------------------------

// flags AND 2^(n-1); bit 0 for n of 1 or less, nothing beyond bit 31.
std::int32_t IsBitSet(std::int32_t flags, int n);

// Clears the mask's bits when any of them is set, otherwise sets them all.
void ToggleFlag(std::int32_t &flags, std::int32_t mask);

// Store `value` in `field` and raise `changes` by one when they differ.
void SetIfChanged(std::int32_t &field, std::int32_t value, int &changes);
void SetByteIfChanged(std::uint8_t &field, std::uint8_t value, int &changes);
// Compares case-sensitively: "Abc" to "abc" is a change.
void SetTextIfChanged(QString &field, const QString &value, int &changes);
