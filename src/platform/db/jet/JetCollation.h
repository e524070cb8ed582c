#pragma once

#include <QtCore/QString>

#include <string>

namespace platform::jet {

// Text compares as the engine compares it: without case over all of Unicode,
// ordered by the case-folded text (so blank < digits < letters).

// One code point folded to its case-free form.
char32_t foldCase(char32_t c);
// The code points of UTF-8 text (invalid bytes read as U+FFFD).
std::u32string decodeUtf8(const char *text, int length);
std::u32string foldedCodePoints(const char *text, int length);
std::u32string foldedCodePoints(const QString &text);
QString fromCodePoints(const std::u32string &points);
// <0, 0, >0 as a sorts before, equal to or after b.
int compareText(const char *a, int lengthA, const char *b, int lengthB);
int compareText(const QString &a, const QString &b);

} // namespace platform::jet
