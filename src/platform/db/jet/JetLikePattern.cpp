#include "platform/db/jet/JetLikePattern.h"

#include "platform/db/jet/JetCollation.h"

namespace platform::jet {

JetLikePattern::JetLikePattern(const std::u32string &raw)
{
    const size_t n = raw.size();
    for (size_t i = 0; i < n; ++i) {
        const char32_t c = raw[i];
        Element e;
        if (c == U'*') {
            if (!m_elements.empty() && m_elements.back().kind == Element::AnyRun)
                continue;
            e.kind = Element::AnyRun;
        } else if (c == U'?') {
            e.kind = Element::AnyOne;
        } else if (c == U'#') {
            e.kind = Element::Digit;
        } else if (c == U'[') {
            size_t close = i + 1;
            // The first character of a set may be ']' only as [[] style literal; a
            // set ends at the first ']' after at least one member.
            while (close < n && (raw[close] != U']' || close == i + 1))
                ++close;
            if (close >= n) {
                // An unclosed bracket matches itself.
                e.kind = Element::Literal;
                e.ch = foldCase(c);
                m_elements.push_back(e);
                continue;
            }
            e.kind = Element::Set;
            size_t k = i + 1;
            if (raw[k] == U'!' && k + 1 < close) {
                e.negated = true;
                ++k;
            }
            for (; k < close; ++k) {
                const char32_t lo = foldCase(raw[k]);
                if (k + 2 < close && raw[k + 1] == U'-') {
                    const char32_t hi = foldCase(raw[k + 2]);
                    e.ranges.emplace_back(lo, hi);
                    k += 2;
                } else {
                    e.ranges.emplace_back(lo, lo);
                }
            }
            i = close;
        } else {
            e.kind = Element::Literal;
            e.ch = foldCase(c);
        }
        m_elements.push_back(std::move(e));
    }
}

JetLikePattern JetLikePattern::fromUtf8(const char *text, int length)
{
    return JetLikePattern(decodeUtf8(text, length));
}

bool JetLikePattern::Element::matchesOne(char32_t c) const
{
    switch (kind) {
    case Literal: return c == ch;
    case AnyOne: return true;
    case Digit: return c >= U'0' && c <= U'9';
    case Set: {
        bool in = false;
        for (const auto &[lo, hi] : ranges) {
            if (c >= lo && c <= hi) {
                in = true;
                break;
            }
        }
        return in != negated;
    }
    case AnyRun: return true;
    }
    return false;
}

bool JetLikePattern::matches(const std::u32string &text) const
{
    // Greedy matching with one back-track point per run: the classic wildcard walk.
    size_t t = 0;
    size_t p = 0;
    size_t starP = std::u32string::npos;
    size_t starT = 0;
    const size_t np = m_elements.size();
    while (t < text.size()) {
        if (p < np && m_elements[p].kind == Element::AnyRun) {
            starP = p++;
            starT = t;
        } else if (p < np && m_elements[p].matchesOne(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < np && m_elements[p].kind == Element::AnyRun)
        ++p;
    return p == np;
}

bool JetLikePattern::matchesUtf8(const char *text, int length) const
{
    return matches(foldedCodePoints(text, length));
}

} // namespace platform::jet
