#include "platform/db/jet/JetTokenizer.h"

namespace platform::jet {
namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A token from text[i] up to the closing character: its text between the two,
// or all the rest as an invalid token when it is never closed. Moves i past it.
void readEnclosed(const QString &text, qsizetype &i, QChar closing, JetToken::Kind kind, JetToken &t)
{
    const qsizetype close = text.indexOf(closing, i + 1);
    if (close < 0) {
        t.kind = JetToken::Invalid;
        t.text = text.mid(i);
        i = text.size();
    } else {
        t.kind = kind;
        t.text = text.mid(i + 1, close - i - 1);
        i = close + 1;
    }
}

} // namespace

QList<JetToken> JetTokenizer::tokenize(const QString &text)
{
    QList<JetToken> tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && (text[i].isSpace() || text[i] == QChar(0xFEFF)))
            ++i;
        JetToken t;
        t.pos = i;
        if (i >= n) {
            t.kind = JetToken::End;
            tokens.append(t);
            break;
        }
        const QChar c = text[i];
        if (c == QLatin1Char('[')) {
            readEnclosed(text, i, QLatin1Char(']'), JetToken::Bracketed, t);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString value;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == c) {
                    if (j + 1 < n && text[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value += text[j++];
            }
            t.kind = closed ? JetToken::String : JetToken::Invalid;
            t.text = value;
            i = j;
        } else if (c == QLatin1Char('#')) {
            readEnclosed(text, i, QLatin1Char('#'), JetToken::Date, t);
        } else if (c.isDigit()
                   || (c == QLatin1Char('.') && i + 1 < n && text[i + 1].isDigit()
                       && (tokens.isEmpty()
                           || !(tokens.back().isName() || tokens.back().isSymbol(")"))))) {
            qsizetype j = i;
            bool decimal = false;
            while (j < n && text[j].isDigit())
                ++j;
            if (j < n && text[j] == QLatin1Char('.')) {
                decimal = true;
                ++j;
                while (j < n && text[j].isDigit())
                    ++j;
            }
            if (j < n && (text[j] == QLatin1Char('e') || text[j] == QLatin1Char('E'))) {
                qsizetype k = j + 1;
                if (k < n && (text[k] == QLatin1Char('+') || text[k] == QLatin1Char('-')))
                    ++k;
                if (k < n && text[k].isDigit()) {
                    decimal = true;
                    while (k < n && text[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            t.kind = decimal ? JetToken::Decimal : JetToken::Integer;
            t.text = text.mid(i, j - i);
            i = j;
            // A number run straight into letters (12abc) is no number.
            if (i < n && isNameChar(text[i])) {
                while (i < n && isNameChar(text[i]))
                    ++i;
                t.kind = JetToken::Invalid;
                t.text = text.mid(t.pos, i - t.pos);
            }
        } else if (isNameChar(c)) {
            qsizetype j = i;
            while (j < n && isNameChar(text[j]))
                ++j;
            t.kind = JetToken::Name;
            t.text = text.mid(i, j - i);
            i = j;
        } else {
            static const char *const twoChar[] = {"<>", "<=", ">=", nullptr};
            t.kind = JetToken::Symbol;
            bool matched = false;
            for (int k = 0; twoChar[k]; ++k) {
                if (i + 1 < n && text[i] == QLatin1Char(twoChar[k][0]) && text[i + 1] == QLatin1Char(twoChar[k][1])) {
                    t.text = QString::fromLatin1(twoChar[k]);
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                static const QString singles = QStringLiteral("()=<>+-*/\\^&,.;?!");
                if (singles.contains(c)) {
                    t.text = QString(c);
                } else {
                    t.kind = JetToken::Invalid;
                    t.text = QString(c);
                }
                ++i;
            }
        }
        t.length = i - t.pos;
        tokens.append(t);
    }
    return tokens;
}

} // namespace platform::jet
