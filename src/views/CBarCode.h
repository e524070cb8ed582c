#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

#include <cstdint>
#include <functional>

// One Code 39 bar code of the shop's paperwork, in both directions.
//
// Every code has one shape: "*", a symbol giving the code's kind, a decimal
// number, "#", "*". The symbol is the character Shift and a digit key type on
// a US keyboard: ")" 0 employee, "!" 1 command, "@" 2 weekday, "$" 4
// location, "%" 5 service line, "^" 6 job, "&" 7 item, "(" 9 customer.
//
// Printing: set the kind and number and ask for the text. Reading: a
// keyboard-wedge scanner types a code as key presses (Shift, the kind digit,
// the digits, Shift, 3); the window owning the object feeds it every key
// press, and OnScannerKey says whether the key was the scanner's and, when a
// code is complete, which command it stands for. A completed code lands in
// one of two slots (an object or an action); a pair of an object and an
// action is kept when one follows the other.
//
// A scanner types fast and people do not: when more than 50 ms pass between
// two keys of a code, the code is dropped and its keys are handed back
// (TakeReplay) so that the window delivers them as typed text after all.
class CBarCode
{
public:
    // Milliseconds since some fixed moment; replaced in tests.
    using Clock = std::function<std::int64_t()>;
    // The longest pause between two keys of one code.
    static constexpr int kMaxKeyGap = 50;

    // A key press as the window received it.
    struct Key
    {
        int key = 0;        // Qt::Key
        int modifiers = 0;  // Qt::KeyboardModifiers
        QString text;
    };

    CBarCode();
    CBarCode(const CBarCode &other);
    // Copies the slots, their kinds, the order and the digits; never the
    // reading state.
    CBarCode &operator=(const CBarCode &other);

    void Reset();

    // "!" for a command code (useObject false), else the symbol of the
    // object's kind; the character 0 for a kind that is no digit.
    QChar GetSymbol(bool useObject) const;
    static QChar SymbolOfKind(char kind);
    // "*%c%d#*": the symbol and the object's number (useObject) or the
    // action's number.
    QString GetText(bool useObject) const;
    // The command id a completed code of the kind answers with; 0 for none.
    static int CommandOfKind(char kind);

    // 0: the key is not the scanner's (deliver it as usual); 1: consumed;
    // above 1: consumed, and it completed a code of that command id.
    int OnScannerKey(const Key &key);
    // Drops a code whose next key is overdue; true when keys are waiting to
    // be delivered again (TakeReplay).
    bool Expire();
    // Keys of a dropped code (or of an end key that ended nothing), to be
    // delivered in order before the key that OnScannerKey saw last.
    QList<Key> TakeReplay();
    bool HasOpenCode() const { return m_bReading || m_cPendingKind != 0; }

    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Decoder steps.
    void SetKind(char kind);
    void AddDigit(char digit);
    // Completes the pending code; false when its number does not fit a
    // 32-bit id (the code then counts as none).
    bool EndCode();

    std::int32_t m_nObject = 0;
    std::int32_t m_nAction = 0;
    char m_cObjectKind = 0;
    char m_cActionKind = 0;
    char m_cPendingKind = 0;
    std::uint8_t m_nOrder = 0;
    bool m_bReading = false;
    QString m_strDigits;

private:
    // The kind digit a key gives while Shift is pending; 0 for none.
    static char KindDigitOf(const Key &key);
    // The digit of a plain digit key of the main keyboard; 0 for none.
    static char DigitOf(const Key &key);
    static bool IsEndKey(const Key &key);
    void dropOpenCode();

    Clock m_clock;
    std::int64_t m_lastKeyTime = 0;
    QList<Key> m_held;
    QList<Key> m_replay;
};
