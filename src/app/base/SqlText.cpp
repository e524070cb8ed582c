#include "app/base/SqlText.h"

#include "app/base/TextUtil.h"

void AppendWhere(QString &filter, const QString &condition)
{
    if (condition.isEmpty())
        return;
    filter += filter.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" and ");
    filter += condition;
}

void AppendOrderBy(QString &order, const QString &field)
{
    if (field.isEmpty())
        return;
    order += order.isEmpty() ? QStringLiteral(" ORDER BY ") : QStringLiteral(", ");
    order += field;
}

QString JoinFromWhere(const QString &statement, const QString &separator)
{
    static const char *const keywords[] = {"FROM ", "WHERE ", "GROUP BY ", "ORDER BY ", "UNION SELECT "};
    QString text = statement;
    for (const char *keyword : keywords) {
        const QString k = QLatin1String(keyword);
        text.replace(k, separator + k, Qt::CaseSensitive);
    }
    return text;
}

QString QuoteText(const QString &text)
{
    const QChar quote = text.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += quote;
    for (const QChar c : text) {
        if (c == quote)
            quoted += quote;
        quoted += c;
    }
    quoted += quote;
    return quoted;
}

QString FormatSqlDate(bool sql)
{
    return sql ? QStringLiteral("#%m/%d/%Y#") : QStringLiteral("%m/%d/%Y");
}

QString GetQuickNotesSql(std::uint8_t type, std::int32_t category)
{
    const QString condition = category != 0
        ? QStringLiteral("(Type = %1 or QCatNo = %2)").arg(int(type)).arg(category)
        : QStringLiteral("Type = %1").arg(int(type));
    return QStringLiteral("SELECT [No], [Note] FROM QuickNotes WHERE ") + condition
        + QStringLiteral(" ORDER BY [Sort], [Note]");
}

void ParseColumnWidth(QString &name, std::int32_t &width)
{
    width = 0;
    const QString directive = QStringLiteral("_w_");
    const qsizetype w = name.indexOf(directive);
    if (w >= 0) {
        qsizetype end = w + directive.size();
        while (end < name.size() && name.at(end).unicode() >= u'0' && name.at(end).unicode() <= u'9')
            ++end;
        width = ToInt(name.mid(w + directive.size(), end - w - directive.size()));
        name.truncate(w);
    }
    const qsizetype bar = name.indexOf(QLatin1Char('|'));
    if (bar >= 1) {
        width = std::int32_t(bar);
        name.remove(QLatin1Char('|'));
    }
}

void ApplyColumnTypeSuffix(QString &name, std::int16_t &type)
{
    if (type != ColumnTypeText || name.size() < 3 || name.at(name.size() - 2) != QLatin1Char('_'))
        return;
    const QChar suffix = name.at(name.size() - 1);
    name.chop(2);
    switch (suffix.unicode()) {
    case u'B': type = ColumnTypeByte; break;
    case u'L': type = ColumnTypeLong; break;
    case u'C': type = ColumnTypeCurrency; break;
    case u'D': type = ColumnTypeDate; break;
    case u'T': type = ColumnTypeTime; break;
    default: break;
    }
}
