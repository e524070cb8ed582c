#include "printing/Code39.h"

#include <QtGui/QPainter>

namespace Code39 {

namespace {

struct SymbolRow
{
    char symbol;
    const char *widths;
};

// Bars at places 1, 3, 5, 7 and 9, spaces between.
const SymbolRow kSymbols[] = {
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"}, {'4', "nnnwwnnnw"},
    {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"}, {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"},
    {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"}, {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"},
    {'F', "nnwnwwnnn"}, {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"}, {'O', "wnnnwnnwn"},
    {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"}, {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"},
    {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"}, {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"},
    {'Z', "nwwnwnnnn"}, {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'*', "nwnnwnwnn"},
    {'$', "nwnwnwnnn"}, {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"},
};

// The Full ASCII writing of one 7-bit character.
QString fullAscii(int c)
{
    auto two = [](char shift, char letter) { return QString(QLatin1Char(shift)) + QLatin1Char(letter); };
    if (c == 0)
        return two('%', 'U');
    if (c >= 1 && c <= 26)
        return two('$', char('A' + c - 1));
    if (c >= 27 && c <= 31)
        return two('%', char('A' + c - 27));
    if (c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
        return QString(QLatin1Char(char(c)));
    if (c >= '!' && c <= ',')
        return two('/', char('A' + c - '!'));   // ! " # $ % & ' ( ) * + ,
    if (c == '/')
        return two('/', 'O');
    if (c == ':')
        return two('/', 'Z');
    if (c >= ';' && c <= '?')
        return two('%', char('F' + c - ';'));   // ; < = > ?
    if (c == '@')
        return two('%', 'V');
    if (c >= '[' && c <= '_')
        return two('%', char('K' + c - '['));   // [ \ ] ^ _
    if (c == '`')
        return two('%', 'W');
    if (c >= 'a' && c <= 'z')
        return two('+', char('A' + c - 'a'));
    if (c >= '{' && c <= 127)
        return two('%', char('P' + c - '{'));   // { | } ~ DEL
    return QString();
}

} // namespace

QString FullAsciiSymbols(const QString &text)
{
    QString out;
    for (const QChar ch : text) {
        if (ch.unicode() > 127)
            return QString();
        out += fullAscii(ch.unicode());
    }
    return out;
}

QString SymbolPattern(QChar symbol)
{
    for (const SymbolRow &row : kSymbols)
        if (QLatin1Char(row.symbol) == symbol)
            return QLatin1String(row.widths);
    return QString();
}

QString Pattern(const QString &symbols)
{
    const QString all = QLatin1Char('*') + symbols + QLatin1Char('*');
    QString out;
    for (int i = 0; i < all.size(); ++i) {
        if (i > 0)
            out += QLatin1Char('n');
        out += SymbolPattern(all[i]);
    }
    return out;
}

QString Modules(const QString &symbols)
{
    const QString pattern = Pattern(symbols);
    QString out;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar module = i % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0');
        out += pattern[i] == QLatin1Char('w') ? QString(3, module) : QString(module);
    }
    return out;
}

QString SymbolsOfPrintedText(const QString &printed)
{
    QString inner = printed;
    if (inner.startsWith(QLatin1Char('*')))
        inner.remove(0, 1);
    if (inner.endsWith(QLatin1Char('*')))
        inner.chop(1);
    return FullAsciiSymbols(inner);
}

int DrawBars(QPainter &painter, int x, int y, int narrow, int height, const QString &symbols)
{
    const QString pattern = Pattern(symbols);
    int at = x;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int i = 0; i < pattern.size(); ++i) {
        const int w = pattern[i] == QLatin1Char('w') ? 3 * narrow : narrow;
        if (i % 2 == 0)
            painter.fillRect(QRect(at, y, w, height), Qt::black);
        at += w;
    }
    painter.restore();
    return at - x;
}

} // namespace Code39
