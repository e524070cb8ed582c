#pragma once

#include <QtCore/QString>
#include <QtWidgets/QLineEdit>

#include <climits>

// A single-line entry field that knows the kind of value it holds: a date, a
// time in hours and minutes, a whole number within limits, or a fixed-point
// number with one to four decimals (money has two). Every key typed is shown
// as typed, none dropped: the text is read whole when it is given to SetText
// (the field left, Enter), and kept or refused naming the field. It keeps the
// value as an integer (minutes, the number, or the number times the scale; 64
// bits, so that any amount of money is held exactly) and shows it in its own
// format. The grids use it as their typed in-place editor and to format typed
// values.
class CXEdit : public QLineEdit
{
    Q_OBJECT

public:
    enum Kind { Plain = 0, Date = 4, Time = 5, Unsigned = 6, Signed = 7, FixedPoint = 8 };
    // How a number field reads what is typed, beyond the plain number: an
    // amount of money may carry "$" ("$5,000"), a rate a closing "%" ("10%").
    enum Reading { AsNumber = 0, AsMoney, AsRate };

    explicit CXEdit(QWidget *parent = nullptr);

    // The kind from the first character of the type text: "/" date, ":" time,
    // "%n" a whole number of n digits (kind 6 when `percentKind` is 6, else
    // signed), "1".."4" fixed point with that many decimals, "2" or "$" money.
    void SetType(const QString &typeText, int percentKind);
    // Stores the value and its text; unless `caret` is 255 the text is shown
    // with the caret at that position (-1: the end).
    void SetValue(qint64 value, int caret = -1);
    qint64 GetValue() const { return m_value; }
    // Reads a typed text whole into the value ("1,000" is one thousand).
    // Text that is no value of the kind, or one out of the range, is refused
    // with a message naming the field: the old value stays. False then, and
    // refused() tells so until the next text.
    bool SetText(const QString &text);
    bool refused() const { return m_refused; }
    // The name the refusals give the field (a grid's column or row); without
    // one, the label beside the field.
    void SetFieldName(const QString &name) { m_fieldName = name; }
    // A fixed-point field that holds any amount of money, read and kept in 64
    // bits: up to 100,000,000,000 (with the field's decimals) either way, the
    // largest amount the program takes (kLargestAmountUnits). Call after
    // SetType.
    void SetWide();
    // A number field that takes no negative number: one typed is refused
    // naming the field, never made positive. A whole number so kept is a
    // count, refused past the largest count the program holds
    // (kLargestCount). Call after SetType.
    void SetNotNegative() { m_min = 0; }
    // The values the field accepts, in its own units (the number times the
    // scale); a value outside is refused naming the field. Call after SetType.
    void SetRange(qint64 minimum, qint64 maximum);
    // Reads the field's numbers as amounts of money or as rates. A "$" type
    // reads money of itself. Call after SetType.
    void SetReading(Reading reading) { m_reading = reading; }
    Reading reading() const { return m_reading; }
    // The value's text: empty for 0.
    QString FormatValue() const;
    // The text of any value in this field's format, 0 included ("0.00").
    QString FormatNumber(qint64 value) const;
    QString shownText() const { return m_text; }

    int kind() const { return m_kind; }
    int decimals() const { return m_decimals; }
    int scale() const { return m_scale; }
    qint64 minimum() const { return m_min; }
    qint64 maximum() const { return m_max; }
    QString format() const { return m_format; }

    // A spin button's step: the field's whole number goes up (SB_LINEUP) or
    // down (SB_LINEDOWN) by one within -32766..32767, else it beeps.
    void Spin(int scrollCode);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    // Says the message (after the field's name unless it names the field
    // itself) and shows the old value again.
    void refuse(const QString &message, bool named = true);

    QString m_fieldName;
    int m_kind = Plain;
    qint64 m_value = 0;
    int m_decimals = 0;
    qint64 m_min = INT_MIN;
    qint64 m_max = INT_MAX;
    bool m_refused = false;
    bool m_wide = false; // SetWide
    bool m_ranged = false; // SetRange: its own range, said as such
    Reading m_reading = AsNumber;
    int m_scale = 1;
    QString m_type;
    QString m_format;
    QString m_text;
};
