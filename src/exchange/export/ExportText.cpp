#include "exchange/export/ExportText.h"

namespace {

// Characters of bytes 0x80-0x9F in Windows-1252 (0 where the byte is unused).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

int Windows1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] != 0 && kHigh[i] == u)
            return 0x80 + i;
    }
    return -1;
}

QByteArray ToWindows1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character: one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        const int b = Windows1252Byte(c);
        out.append(b < 0 ? '?' : char(b));
    }
    return out;
}

QString RtfValue(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == '\r') {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QStringLiteral("\\par ");
        } else if (u == '\n') {
            out += QStringLiteral("\\par ");
        } else if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u < 0x80) {
            out += c;
        } else {
            const int b = Windows1252Byte(c);
            if (b >= 0) {
                out += QStringLiteral("\\'%1").arg(b, 2, 16, QLatin1Char('0'));
            } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                // RTF's \u takes a signed 16-bit number per UTF-16 unit.
                out += QStringLiteral("\\u%1?\\u%2?").arg(qint16(u)).arg(qint16(text.at(i + 1).unicode()));
                ++i;
            } else {
                out += QStringLiteral("\\u%1?").arg(qint16(u));
            }
        }
    }
    return out;
}
