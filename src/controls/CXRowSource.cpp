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
    case FieldType::Date:
        return v.toDateTime().format(QStringLiteral("%m/%d/%Y"));
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
