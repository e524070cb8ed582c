#include "controls/CColumnAlias.h"

#include "app/base/SqlText.h"
#include "app/base/TextUtil.h"

#include <algorithm>

void CColumnAlias::ApplyTypeSuffix(QString &alias, int &type)
{
    std::int16_t t = std::int16_t(type);
    ApplyColumnTypeSuffix(alias, t);
    type = t;
}

int CColumnAlias::ParseWidth(QString &alias)
{
    std::int32_t width = 0;
    ParseColumnWidth(alias, width);
    return width;
}

int CColumnAlias::InitialTableWidth(int type, int fieldSize)
{
    switch (type) {
    case TypeByte: return 3;
    case TypeInteger:
    case TypeLong: return 8;
    case TypeCurrency: return 13;
    case TypeSingle:
    case TypeDouble: return 8;
    case TypeDate: return 12;
    case TypeTime: return 8;
    case TypeMemo: return 0;
    default: return fieldSize;
    }
}

CColumnAlias::TableColumn CColumnAlias::ForTable(int column, const QString &aliasIn, int initialWidth, int type)
{
    TableColumn c;
    c.type = type;
    c.width = initialWidth;
    QString alias = aliasIn;

    const int cut = int(alias.indexOf(QLatin1String("_>_")));
    if (cut > 0)
        alias = alias.mid(cut + 3);

    const int parent = int(alias.indexOf(QLatin1String("__PARENT")));
    if (parent > 0) {
        c.parent = true;
        alias.truncate(parent);
    }

    const int given = ParseWidth(alias);
    if (given != 0) {
        c.width = given;
        c.widthGiven = true;
    }

    switch (type) {
    case TypeCurrency:
        c.format = kRight;
        break;
    case TypeDate:
        c.format = kLeft;
        break;
    case TypeText:
    case TypeMemo: {
        if (!c.widthGiven) {
            const int len = int(alias.size());
            if (c.width == 0)
                c.width = 26;
            else if (c.width == 255 || c.width < len)
                c.width = len;
            else if (c.width > 26)
                c.width = 26;
        }
        c.format = kLeft;
        const int centre = int(alias.indexOf(QLatin1String("_C")));
        if (centre > 0) {
            alias.truncate(centre);
            c.format = kCentre;
        }
        const int right = int(alias.indexOf(QLatin1String("_R")));
        if (right > 0) {
            alias.truncate(right);
            c.format = kRight;
        }
        break;
    }
    default:
        if (alias.contains(QLatin1String("Time")))
            c.type = TypeMinutes;
        else if (alias.contains(QLatin1String("Qty")))
            c.type = TypeCount;
        else if (alias.contains(QLatin1String("Count")))
            c.type = TypeCount;
        else if (alias.contains(QLatin1String("Quantity")))
            c.type = TypeQuantity;
        else if (alias == QLatin1String("HIDE_KEY"))
            c.key = true;
        c.format = column == 0 ? kCentre : kRight;
        break;
    }
    c.title = alias;
    return c;
}

int CColumnAlias::DefaultListWidth(int type, int w)
{
    switch (type) {
    case TypeBoolean:
    case TypeByte: return 6 * w;
    case TypeInteger:
    case TypeLong: return 10 * w;
    case TypeCurrency:
    case TypeSingle:
    case TypeDouble:
    case TypeDate: return 12 * w;
    case TypeTime: return 8 * w;
    default: return 0;
    }
}

CColumnAlias::ListColumn CColumnAlias::ForList(const QString &fieldName, int fieldType, int fieldSize,
                                               int w, int defaultTextWidth)
{
    ListColumn c;
    c.title = fieldName;
    c.type = fieldType;
    const int given = ParseWidth(c.title);
    ApplyTypeSuffix(c.title, c.type);
    if ((c.type >= TypeBoolean && c.type <= TypeDouble) || c.type == TypeTime) {
        c.align = 1;
        c.width = given ? given : DefaultListWidth(c.type, w);
    } else if (c.type == TypeDate) {
        c.align = 2;
        c.width = given ? given : DefaultListWidth(c.type, w);
    } else {
        c.align = 0;
        if (given)
            c.width = given;
        else if (fieldSize == 0)
            c.width = defaultTextWidth;
        else
            c.width = std::clamp(fieldSize * w, 30, 150);
    }
    if (c.title.contains(QLatin1String("_HIDE"))) {
        c.title.remove(QLatin1String("_HIDE"));
        c.hidden = true;
        c.width = 0;
    }
    return c;
}

CColumnAlias::Tail CColumnAlias::ParseTail(const QString &title)
{
    Tail t;
    const int brace = int(title.indexOf(QLatin1Char('}')));
    if (brace < 0) {
        t.title = title;
        return t;
    }
    t.title = title.left(brace);
    QString tail = title.mid(brace + 1);

    // Only the first role letter found is taken; the others stay in the tail.
    for (const char role : {'t', 'p', 'c'}) {
        if (tail.contains(QLatin1Char(role))) {
            tail.remove(QLatin1Char(role));
            t.role = QLatin1Char(role);
            break;
        }
    }
    if (tail.contains(QLatin1Char('P'))) {
        tail.remove(QLatin1Char('P'));
        t.flagged = true;
    }

    static const QString kOperators = QStringLiteral("%+-/*~");
    int split = -1;
    for (int i = 0; i < tail.size(); ++i) {
        if (kOperators.contains(tail.at(i))) {
            split = i;
            break;
        }
    }
    if (split < 0)
        return t;
    t.a = ToInt(tail.left(split));
    t.b = ToInt(tail.mid(split + 1));
    for (const char op : {'~', '+', '-', '*', '/', '%'}) {
        if (tail.contains(QLatin1Char(op))) {
            t.op = QLatin1Char(op);
            break;
        }
    }
    return t;
}

QString CColumnAlias::MultiLineHeader(const QString &title)
{
    QString t = title;
    t.replace(QLatin1Char('/'), QLatin1String("\r\n"));
    return t;
}

namespace {

int skipBlanks(const QString &text)
{
    int i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')
                               || text.at(i) == QLatin1Char('\n') || text.at(i) == QLatin1Char('\r')))
        ++i;
    return i;
}

} // namespace

double CColumnAlias::ReadNumber(const QString &text)
{
    const int start = skipBlanks(text);
    int i = start;
    auto isDigit = [&](int at) { return at < text.size() && text.at(at) >= QLatin1Char('0') && text.at(at) <= QLatin1Char('9'); };
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool digits = false;
    while (isDigit(i)) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (isDigit(i)) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    int end = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < text.size() && (text.at(j) == QLatin1Char('-') || text.at(j) == QLatin1Char('+')))
            ++j;
        if (isDigit(j)) {
            while (isDigit(j))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double v = QStringView(text).mid(start, end - start).toDouble(&ok);
    return ok ? v : 0.0;
}
