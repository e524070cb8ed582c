#include "exchange/export/XmlText.h"

#include <QtCore/QRegularExpression>

QString XmlEscape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '\'':
        case 0x2019: out += QLatin1String("&apos;"); break;
        case 0x00B7:
        case 0x2022: out += QLatin1Char('-'); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\n': out += QLatin1String("&#10;"); break;
        case '\r': out += QLatin1String("&#13;"); break;
        case '\t': out += c; break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
                break;
            out += c;
        }
    }
    return out;
}

static bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

static bool isNameChar(QChar c)
{
    return isNameStart(c) || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.') ||
           c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining;
}

QString XmlElementName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char(' '))
            continue;
        out += isNameChar(c) ? c : QLatin1Char('_');
    }
    if (out.isEmpty() || !isNameStart(out.at(0)))
        out.prepend(QLatin1Char('_'));
    return out;
}

bool IsSingleSelectStatement(const QString &sql)
{
    // Literals and bracketed names are blanked first so that a word inside
    // them ("INTO", a ";") is not taken for a part of the statement.
    QString bare;
    bare.reserve(sql.size());
    QChar open;
    for (const QChar c : sql) {
        if (!open.isNull()) {
            if ((open == QLatin1Char('[') && c == QLatin1Char(']')) || (open != QLatin1Char('[') && c == open))
                open = QChar();
            bare += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('#')) {
            open = c;
            bare += QLatin1Char(' ');
            continue;
        }
        bare += c;
    }
    bare = bare.trimmed();
    while (bare.endsWith(QLatin1Char(';')))
        bare = bare.chopped(1).trimmed();
    if (bare.contains(QLatin1Char(';')))
        return false;
    static const QRegularExpression first(QStringLiteral("^\\(*\\s*(SELECT|TRANSFORM)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression into(QStringLiteral("\\bINTO\\b"), QRegularExpression::CaseInsensitiveOption);
    return first.match(bare).hasMatch() && !into.match(bare).hasMatch();
}
