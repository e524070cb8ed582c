#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

namespace platform::jet {

struct JetToken
{
    enum Kind {
        End,
        Name,       // bare identifier (letters, digits, _)
        Bracketed,  // [anything but ]]
        String,     // '...' or "..." (text holds the value)
        Integer,
        Decimal,
        Date,       // #...# (text holds what stands between the #)
        Symbol,     // operators and punctuation (text holds it)
        Invalid,    // an unterminated literal or a stray character
    };
    Kind kind = End;
    QString text;
    qsizetype pos = 0;   // offset in the statement text
    qsizetype length = 0;

    bool isSymbol(const char *s) const { return kind == Symbol && text == QLatin1String(s); }
    // A bare word equal to keyword (ignoring case); bracketed names never are.
    bool isWord(const char *keyword) const
    {
        return kind == Name && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    bool isName() const { return kind == Name || kind == Bracketed; }
};

// Splits a Jet statement into tokens. Blanks, tabs and line breaks separate
// tokens but are never required next to brackets, parentheses or operators.
class JetTokenizer
{
public:
    static QList<JetToken> tokenize(const QString &text);
};

} // namespace platform::jet
