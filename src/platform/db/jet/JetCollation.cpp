#include "platform/db/jet/JetCollation.h"

#include <QtCore/QChar>

#include <algorithm>

namespace platform::jet {
namespace {

// Reads one code point at text[i], advancing i.
char32_t nextCodePoint(const unsigned char *text, int length, int &i)
{
    const unsigned char c = text[i++];
    if (c < 0x80)
        return c;
    int extra = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0xFFFD;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= length || (text[i] & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (text[i++] & 0x3F);
    }
    return cp;
}

inline char32_t foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? char32_t(c + 32) : char32_t(c);
}

} // namespace

char32_t foldCase(char32_t c)
{
    if (c < 0x80)
        return foldAscii(static_cast<unsigned char>(c));
    return QChar::toCaseFolded(c);
}

std::u32string decodeUtf8(const char *text, int length)
{
    std::u32string out;
    out.reserve(size_t(length));
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    int i = 0;
    while (i < length)
        out.push_back(nextCodePoint(p, length, i));
    return out;
}

std::u32string foldedCodePoints(const char *text, int length)
{
    std::u32string out = decodeUtf8(text, length);
    for (char32_t &c : out)
        c = foldCase(c);
    return out;
}

std::u32string foldedCodePoints(const QString &text)
{
    const QList<uint> points = text.toUcs4();
    std::u32string out;
    out.reserve(size_t(points.size()));
    for (uint c : points)
        out.push_back(foldCase(char32_t(c)));
    return out;
}

QString fromCodePoints(const std::u32string &points)
{
    return QString::fromUcs4(points.data(), qsizetype(points.size()));
}

int compareText(const char *a, int lengthA, const char *b, int lengthB)
{
    const auto *pa = reinterpret_cast<const unsigned char *>(a);
    const auto *pb = reinterpret_cast<const unsigned char *>(b);
    // The bytes both texts share compare equal. The comparison starts after
    // the last plain (ASCII) byte of that run: a letter always begins there,
    // as a plain byte is never read as part of a longer one, while the
    // shared bytes after it may begin a letter the two texts end apart.
    const int shared = std::min(lengthA, lengthB);
    int start = 0;
    while (start < shared && pa[start] == pb[start])
        ++start;
    while (start > 0 && pa[start - 1] >= 0x80)
        --start;
    int i = start;
    int j = start;
    while (i < lengthA && j < lengthB) {
        char32_t ca;
        char32_t cb;
        if (pa[i] < 0x80 && pb[j] < 0x80) {
            ca = foldAscii(pa[i++]);
            cb = foldAscii(pb[j++]);
        } else {
            ca = foldCase(nextCodePoint(pa, lengthA, i));
            cb = foldCase(nextCodePoint(pb, lengthB, j));
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < lengthA)
        return 1;
    if (j < lengthB)
        return -1;
    return 0;
}

int compareText(const QString &a, const QString &b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return compareText(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

} // namespace platform::jet
