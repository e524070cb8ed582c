#pragma once

#include <QtWidgets/QDateEdit>

class QValidator;

// The program's date field: a date editor in parts (month, day, year) whose
// typing takes a date written whole. Whatever part is selected or clicked,
// and whether the field was entered by Tab, a click or Ctrl+A, what is typed
// ("11/20/2026", "1/5/26", "11202026") is read as one date when it is
// complete, on Enter or on leaving the field, and replaces the whole date. A
// lone number of one or two digits replaces only the part the typing began in
// (the month after Tab, the day clicked on). A date that does not exist
// ("13/13/2025", "2/29/2025") is refused with a message naming the field, and
// the date shown before stays: in a field that shows no date (one made
// clearable), no date. While a date is typed the field shows what has been
// typed so far.
class CXDateEdit : public QDateEdit
{
    Q_OBJECT

public:
    explicit CXDateEdit(QWidget *parent = nullptr);

    // Reads what has been typed so far, if anything; false when it was
    // refused (the old date stays). Exchanges call it before reading the date.
    Q_INVOKABLE bool commitTyping();
    bool isTyping() const { return m_typing; }
    QString typedText() const { return m_typed; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Tab after a date typed whole leaves the field; otherwise it steps
    // through the parts as ever.
    bool focusNextPrevChild(bool next) override;

private:
    void showTyped();
    void showDate();
    // A clearable field (one with a special value text) at its minimum: no date.
    bool showsNoDate() const;

    bool m_typing = false;
    bool m_committing = false;
    bool m_justTyped = false; // a typed date was read and no other key came since
    int m_startSection = 0;
    QString m_typed;
    const QValidator *m_validator = nullptr; // the parts' own, set aside while a date is typed
};
