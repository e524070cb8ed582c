#include "views/CBarCode.h"

#include <QtCore/QElapsedTimer>

#include <limits>

namespace {

// Shift and a digit key of a US keyboard, by digit.
const char kShiftedDigits[] = ")!@#$%^&*(";

std::int64_t steadyMilliseconds()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

constexpr int kKeyShift = 0x01000020;     // Qt::Key_Shift
constexpr int kKeyEscape = 0x01000000;    // Qt::Key_Escape
constexpr int kKeypadModifier = 0x20000000;

} // namespace

CBarCode::CBarCode() : m_clock(steadyMilliseconds)
{
    Reset();
}

CBarCode::CBarCode(const CBarCode &other) : m_clock(other.m_clock)
{
    Reset();
    *this = other;
}

CBarCode &CBarCode::operator=(const CBarCode &other)
{
    if (this == &other)
        return *this;
    m_cObjectKind = other.m_cObjectKind;
    m_cActionKind = other.m_cActionKind;
    m_strDigits = other.m_strDigits;
    m_nObject = other.m_nObject;
    m_nAction = other.m_nAction;
    m_nOrder = other.m_nOrder;
    return *this;
}

void CBarCode::Reset()
{
    m_nObject = 0;
    m_nAction = 0;
    m_cObjectKind = 0;
    m_cActionKind = 0;
    m_cPendingKind = 0;
    m_nOrder = 0;
    m_strDigits.clear();
    m_bReading = false;
    m_held.clear();
}

QChar CBarCode::SymbolOfKind(char kind)
{
    if (kind < '0' || kind > '9')
        return QChar(0);
    return QLatin1Char(kShiftedDigits[kind - '0']);
}

QChar CBarCode::GetSymbol(bool useObject) const
{
    return useObject ? SymbolOfKind(m_cObjectKind) : QLatin1Char('!');
}

QString CBarCode::GetText(bool useObject) const
{
    return QStringLiteral("*%1%2#*").arg(GetSymbol(useObject)).arg(useObject ? m_nObject : m_nAction);
}

int CBarCode::CommandOfKind(char kind)
{
    switch (kind) {
    case '0': return 30422; // employee
    case '1': return 31000; // command
    case '2': return 30270; // weekday
    case '4': return 30423; // location
    case '5': return 30390; // service line
    case '6': return 30598; // job
    case '7': return 30410; // item
    case '9': return 30420; // customer
    default: return 0;
    }
}

char CBarCode::KindDigitOf(const Key &key)
{
    char digit = 0;
    if (key.key >= '0' && key.key <= '9' && !(key.modifiers & kKeypadModifier)) {
        digit = char(key.key);
    } else if (key.key > 0 && key.key < 128) {
        for (int d = 0; d < 10; ++d)
            if (kShiftedDigits[d] == char(key.key))
                digit = char('0' + d);
    }
    return digit == '3' || digit == '8' ? 0 : digit;
}

char CBarCode::DigitOf(const Key &key)
{
    if (key.key >= '0' && key.key <= '9' && !(key.modifiers & kKeypadModifier))
        return char(key.key);
    return 0;
}

bool CBarCode::IsEndKey(const Key &key)
{
    return (key.key == '3' && !(key.modifiers & kKeypadModifier)) || key.key == '#';
}

void CBarCode::dropOpenCode()
{
    m_replay += m_held;
    m_held.clear();
    m_bReading = false;
    m_cPendingKind = 0;
    m_strDigits.clear();
}

bool CBarCode::Expire()
{
    if (HasOpenCode() && m_clock() - m_lastKeyTime > kMaxKeyGap)
        dropOpenCode();
    return !m_replay.isEmpty();
}

QList<CBarCode::Key> CBarCode::TakeReplay()
{
    QList<Key> out;
    out.swap(m_replay);
    return out;
}

int CBarCode::OnScannerKey(const Key &key)
{
    const std::int64_t now = m_clock();
    // A pause no scanner makes: what was held was typed by a person.
    if (HasOpenCode() && now - m_lastKeyTime > kMaxKeyGap)
        dropOpenCode();
    m_lastKeyTime = now;

    if (key.key == kKeyShift) {
        m_bReading = true;
        m_held.append(key);
        return 1;
    }
    if (m_bReading && IsEndKey(key)) {
        m_bReading = false;
        const char kind = m_cPendingKind;
        if (kind == 0) {
            // Nothing was open: a "#" someone typed.
            m_replay += m_held;
            m_held.clear();
            return 0;
        }
        const bool fits = EndCode();
        m_cPendingKind = 0;
        m_held.clear();
        if (!fits)
            return 1;
        const int command = CommandOfKind(kind);
        return command ? command : 1;
    }
    if (m_bReading && key.key == kKeyEscape) {
        Reset();
        return 1;
    }
    if (m_bReading) {
        if (const char kind = KindDigitOf(key)) {
            SetKind(kind);
            m_held.append(key);
            return 1;
        }
    }
    if (!m_bReading && m_cPendingKind != 0) {
        if (const char digit = DigitOf(key)) {
            AddDigit(digit);
            m_held.append(key);
            return 1;
        }
    }
    return 0;
}

void CBarCode::SetKind(char kind)
{
    m_cPendingKind = kind;
    m_bReading = false;
    m_strDigits.clear();
}

void CBarCode::AddDigit(char digit)
{
    if (m_strDigits.size() < 10)
        m_strDigits += QLatin1Char(digit);
}

bool CBarCode::EndCode()
{
    const std::int64_t number = m_strDigits.isEmpty() ? 0 : m_strDigits.toLongLong();
    m_strDigits.clear();
    if (number > std::numeric_limits<std::int32_t>::max())
        return false;
    const std::int32_t value = std::int32_t(number);
    const char kind = m_cPendingKind;
    if (kind == '1' || kind == '2' || kind == '4') {
        m_nAction = value;
        m_cActionKind = kind;
        if (m_nOrder == 0 || m_nOrder == 2 || m_nObject == 0) {
            m_nOrder = 2;
            m_nObject = 0;
        }
    } else {
        m_nObject = value;
        m_cObjectKind = kind;
        if (m_nOrder == 0 || m_nOrder == 1 || m_nAction == 0) {
            m_nOrder = 1;
            m_nAction = 0;
        }
    }
    return true;
}
