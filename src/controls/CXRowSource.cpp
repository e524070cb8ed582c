#include "controls/CXRowSource.h"

#include "app/base/MoneyText.h"

QString CXRowSource::ValueText(const platform::Value &v)
{
    using platform::FieldType;
    if (v.isNull())
        return QString();
    switch (v.type()) {
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        return QString::number(v.toInt64());
    case FieldType::Single:
        return QString::asprintf("%g", v.toDouble());
    case FieldType::Double:
        return QString::asprintf("%.0f", v.toDouble());
    case FieldType::Currency:
        return FormatCurrency(v.toMoney(), 2);
    case FieldType::Date: {
        // "%m/%d/%Y", written directly: lists of many rows show many dates.
        const DateTime dt = v.toDateTime();
        const QDate d = dt.isValid() ? dt.date() : QDate();
        if (!d.isValid() || d.year() < 1000 || d.year() > 9999)
            return dt.format(QStringLiteral("%m/%d/%Y"));
        const int y = d.year();
        const QChar text[10] = {QChar(u'0' + d.month() / 10), QChar(u'0' + d.month() % 10), QChar(u'/'),
                                QChar(u'0' + d.day() / 10),   QChar(u'0' + d.day() % 10),   QChar(u'/'),
                                QChar(u'0' + y / 1000),       QChar(u'0' + y / 100 % 10),   QChar(u'0' + y / 10 % 10),
                                QChar(u'0' + y % 10)};
        return QString(text, 10);
    }
    case FieldType::Text:
    case FieldType::Memo: {
        const QString s = v.toString();
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s.at(i) == QLatin1Char('\r') || s.at(i) == QLatin1Char('\n'))
                return s.left(i);
        }
        return s;
    }
    default:
        return QStringLiteral("!");
    }
}
