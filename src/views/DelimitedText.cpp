#include "views/DelimitedText.h"

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
