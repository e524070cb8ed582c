#include "controls/CXDateEdit.h"

#include "app/base/TypedValue.h"
#include "platform/Clock.h"

#include <QtCore/QPointer>
#include <QtCore/QRegularExpression>
#include <QtCore/QSignalBlocker>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QLineEdit>

namespace {

bool isDateCharacter(const QString &text)
{
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    return c.isDigit() || c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

// A date typed to its end: month, day and a four-digit year, or eight digits.
bool typedWhole(const QString &typed)
{
    static const QRegularExpression whole(QStringLiteral("^(\\d{1,2}[/.-]\\d{1,2}[/.-]\\d{4}|\\d{8})$"));
    return whole.match(typed).hasMatch();
}

} // namespace

CXDateEdit::CXDateEdit(QWidget *parent) : QDateEdit(parent)
{
    // The typing of the parts is this field's own (see the class).
    setProperty("wholeDateTyping", true);
}

void CXDateEdit::showTyped()
{
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(m_typed);
    lineEdit()->setCursorPosition(int(m_typed.size()));
}

bool CXDateEdit::showsNoDate() const
{
    return !specialValueText().isEmpty() && dateTime() == minimumDateTime();
}

void CXDateEdit::showDate()
{
    if (m_validator) {
        lineEdit()->setValidator(m_validator);
        m_validator = nullptr;
    }
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(showsNoDate() ? specialValueText() : textFromDateTime(dateTime()));
}

bool CXDateEdit::commitTyping()
{
    if (!m_typing || m_committing)
        return true;
    m_committing = true;
    m_typing = false;
    const QString typed = m_typed;
    m_typed.clear();
    if (m_validator) {
        lineEdit()->setValidator(m_validator);
        m_validator = nullptr;
    }
    // A field that shows no date reads a part typed alone into today's
    // date; a refusal leaves it showing no date, as before the typing.
    const QDate current = showsNoDate() ? platform::Clock::today() : date();
    QDate read;
    const bool ok = typed.isEmpty()
                    || (ReadTypedDate(typed, current, m_startSection, read) && read >= minimumDate()
                        && read <= maximumDate());
    if (ok && !typed.isEmpty()) {
        setDate(read);
        m_justTyped = true;
    }
    showDate();
    if (!ok) {
        QPointer<CXDateEdit> self(this);
        RefuseTyped(this, QStringLiteral("%1 is no date. %2").arg(typed, TypedValueMessage(ValueKind::Date)));
        if (!self)
            return false;
    }
    m_committing = false;
    return ok;
}

void CXDateEdit::keyPressEvent(QKeyEvent *event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    m_justTyped = false;
    if (plain && isDateCharacter(event->text()) && isEnabled() && !isReadOnly()) {
        if (!m_typing) {
            m_typing = true;
            m_typed.clear();
            // What is typed is shown as typed: the parts' own reading of the
            // text (which would take a day before its year) waits until the
            // whole date is read.
            m_validator = lineEdit()->validator();
            lineEdit()->setValidator(nullptr);
            switch (showsNoDate() ? QDateTimeEdit::MonthSection : currentSection()) {
            case QDateTimeEdit::DaySection: m_startSection = 1; break;
            case QDateTimeEdit::YearSection: m_startSection = 2; break;
            default: m_startSection = 0; break;
            }
        }
        m_typed += event->text();
        showTyped();
        event->accept();
        if (typedWhole(m_typed)) {
            commitTyping();
            // The whole date stays selected, so that typing again replaces it.
            selectAll();
        }
        return;
    }
    if (m_typing) {
        switch (event->key()) {
        case Qt::Key_Backspace:
            m_typed.chop(1);
            showTyped();
            event->accept();
            return;
        case Qt::Key_Escape:
            m_typing = false;
            m_typed.clear();
            showDate();
            event->accept();
            return;
        default:
            if (!commitTyping()) {
                event->accept();
                return;
            }
            if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
                selectAll();
            }
            break;
        }
    }
    QDateEdit::keyPressEvent(event);
}

void CXDateEdit::focusOutEvent(QFocusEvent *event)
{

    if (m_typing)
        commitTyping();
    QDateEdit::focusOutEvent(event);
}

bool CXDateEdit::focusNextPrevChild(bool next)
{
    if (m_typing) {
        if (!commitTyping())
            return true; // refused: the field keeps the focus
    }
    if (m_justTyped) {
        m_justTyped = false;
        return QWidget::focusNextPrevChild(next);
    }
    return QDateEdit::focusNextPrevChild(next);
}

void CXDateEdit::mousePressEvent(QMouseEvent *event)
{
    m_justTyped = false;
    if (m_typing && !commitTyping()) {
        event->accept();
        return;
    }
    QDateEdit::mousePressEvent(event);
}
