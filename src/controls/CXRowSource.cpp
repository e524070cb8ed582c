#include "controls/CXRowSource.h"

#include "app/base/PriceText.h"

QString CXRowSource::ValueText(const platform::Value &v)
{
    if (v.isNull() || v.type() != platform::FieldType::Date)
        return VariantToText(v);
    // "%m/%d/%Y", written directly: lists and tables of many rows show many
    // dates, and the general date formatting is the slowest part of a load.
    const DateTime dt = v.toDateTime();
    const QDate d = dt.isValid() ? dt.date() : QDate();
    if (!d.isValid() || d.year() < 1000 || d.year() > 9999)
        return VariantToText(v);
    const int y = d.year();
    const QChar text[10] = {QChar(u'0' + d.month() / 10), QChar(u'0' + d.month() % 10), QChar(u'/'),
                            QChar(u'0' + d.day() / 10),   QChar(u'0' + d.day() % 10),   QChar(u'/'),
                            QChar(u'0' + y / 1000),       QChar(u'0' + y / 100 % 10),   QChar(u'0' + y / 10 % 10),
                            QChar(u'0' + y % 10)};
    return QString(text, 10);
}
