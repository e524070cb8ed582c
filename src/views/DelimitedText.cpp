#include "views/DelimitedText.h"

#include <QtCore/QStringDecoder>

QList<QStringList> ReadDelimitedRecords(const QString &text, QChar delimiter)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field began with a quote
    bool lineEmpty = true;
    bool afterDelimiter = false; // the line so far ends with a delimiter
    const qsizetype n = text.size();
    auto endField = [&] {
        if (!wasQuoted && delimiter == QLatin1Char(','))
            field.remove(QLatin1Char('"'));
        fields << field;
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            if (lineEmpty)
                return records; // an empty line ends the reading
            if (!afterDelimiter) // a final delimiter ends the record
                endField();
            afterDelimiter = false;
            records << fields;
            fields.clear();
            lineEmpty = true;
            continue;
        }
        lineEmpty = false;
        afterDelimiter = c == delimiter;
        if (c == delimiter) {
            endField();
        } else if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else {
            field += c;
        }
    }
    if (!lineEmpty) {
        if (!afterDelimiter || quoted)
            endField();
        records << fields;
    }
    return records;
}

QChar DetectDelimiter(const QString &firstLine)
{
    if (firstLine.contains(QLatin1Char('\t')))
        return QLatin1Char('\t');
    if (firstLine.contains(QLatin1Char(',')))
        return QLatin1Char(',');
    return QChar();
}

QString DecodeTextFileBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    // Windows-1252: Latin-1 but for 0x80-0x9F; the five unassigned bytes
    // stand for themselves.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        out += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}
