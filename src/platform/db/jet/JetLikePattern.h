#pragma once

#include <QtCore/QString>

#include <string>
#include <vector>

namespace platform::jet {

// A Like pattern: * any run, ? one character, # one digit, [abc] [a-z] [!a-z]
// sets ([*] [?] [#] [[] match the character itself); % and _ are plain
// characters. Matching ignores case.
class JetLikePattern
{
public:
    explicit JetLikePattern(const std::u32string &pattern);
    static JetLikePattern fromUtf8(const char *text, int length);

    bool matches(const std::u32string &foldedText) const;
    bool matchesUtf8(const char *text, int length) const;

private:
    struct Element
    {
        enum Kind { Literal, AnyRun, AnyOne, Digit, Set } kind = Literal;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
        bool matchesOne(char32_t c) const;
    };
    std::vector<Element> m_elements;
};

} // namespace platform::jet
