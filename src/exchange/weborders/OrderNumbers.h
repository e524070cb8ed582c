#pragma once

#include "platform/Money.h"

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringView>

// The numbers of a web order as its text or XML file writes them: a count
// of copies, originals or days, and an amount of money. Text orders and XML
// orders read them alike. Each reader takes the first word of the value;
// words after it are no part of it ("250 copies", or the next field of an
// order written on one line) unless they go on with the number ("1 000") or
// are no words at all ("2 * 500", "500 - 1000").
// Digits may be parted into groups of three by commas ("1,000"); anything
// else (a sign, a decimal comma, an exponent, words, a count beyond
// 1,000,000,000, the largest the program takes) is no number of the order,
// never some other number.

// A count from 0 to 1,000,000,000 (kLargestCount); an empty text is 0.
bool ReadOrderCount(QStringView text, int &count);

// An ordered quantity: a count of copies, or the originals and the copies on
// either side of one "x" or "X" ("4 x 500", "500X4"), the larger being the
// copies. A quantity not written is 0 (the item's own stays); a written one
// must be at least 1, and so must both sides of an "x".
bool ReadOrderQuantity(QStringView text, int &quantity, int &originals);

// An amount of money: the digits of the whole (grouped or not), then a point
// and the fraction's digits when it has one ("1,234.50", ".5"); a leading
// "$" is allowed. It is read as every money field reads one: cents, within
// the largest amount the program takes; "12.345" and "100,000,000,000.01"
// are refused, with the reason in `why` when asked.
bool ReadOrderAmount(QStringView text, Money &amount, QString *why = nullptr);

// A due date so many days from today; false when the value is no count of
// days or the date lies past the last date there is (12/31/9999).
bool ReadOrderDueDate(QStringView text, const QDate &today, QDate &due);

// A time of day as the order writes it, kept as written (trimmed): words
// ("Noon", "end of day"), or hours with minutes and seconds when given and
// "am" or "pm" ("14:30", "10 am", "9:15 p.m."). A time written in digits
// must be one the clock shows ("99:99", "25:00" and "13 pm" are not); an
// empty text is no time given. A time longer than longest characters (what
// the job's field holds) is refused, never stored cut.
bool ReadOrderTime(QStringView text, int longest, QString &time);
