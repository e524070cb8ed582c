#include "controls/CXRowSource.h"

#include "app/base/PriceText.h"

QString CXRowSource::ValueText(const platform::Value &v)
{
    using platform::FieldType;
    if (v.isNull())
        return VariantToText(v);
    if (v.type() == FieldType::Text || v.type() == FieldType::Memo) {
        // The text up to its first line break, in one pass; most texts have
        // none and are shared as they are.
        QString text = v.toString();
        const QChar *p = text.constData();
        for (qsizetype i = 0, n = text.size(); i < n; ++i) {
            if (p[i] == QLatin1Char('\r') || p[i] == QLatin1Char('\n')) {
                text.truncate(i);
                break;
            }
        }
        return text;
    }
    if (v.type() != FieldType::Date)
        return VariantToText(v);
    // "%m/%d/%Y", written directly: lists and tables of many rows show many
    // dates, and the general date formatting is the slowest part of a load.
    const DateTime dt = v.toDateTime();
    // Day 0 (12/30/1899) is what an empty date field holds: it shows empty.
    if (dt.isValid() && dt.toOle() == 0)
        return QString();
    const QDate d = dt.isValid() ? dt.date() : QDate();
    int y = 0;
    int m = 0;
    int day = 0;
    d.getDate(&y, &m, &day); // one calendar computation for all three
    if (!d.isValid() || y < 1000 || y > 9999)
        return VariantToText(v);
    const QChar text[10] = {QChar(u'0' + m / 10),   QChar(u'0' + m % 10),       QChar(u'/'),
                            QChar(u'0' + day / 10), QChar(u'0' + day % 10),     QChar(u'/'),
                            QChar(u'0' + y / 1000), QChar(u'0' + y / 100 % 10), QChar(u'0' + y / 10 % 10),
                            QChar(u'0' + y % 10)};
    return QString(text, 10);
}
