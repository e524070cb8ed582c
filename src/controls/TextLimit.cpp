#include "controls/TextLimit.h"

#include "platform/Prompt.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QTextCursor>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

namespace {
const char *const kProperty = "textLimit";
const char *const kBreaksAsTwo = "textLimitBreaksAsTwo";

int breaksOf(const QWidget *field, const QString &text)
{
    return field && field->property(kBreaksAsTwo).toBool() ? int(text.count(QLatin1Char('\n'))) : 0;
}
} // namespace

TextLimit::TextLimit(QWidget *field) : QObject(field), m_field(field) {}

void TextLimit::Hold(QWidget *field, int size)
{
    if (auto *combo = qobject_cast<QComboBox *>(field))
        field = combo->lineEdit();
    if (!field)
        return;
    const bool held = field->property(kProperty).isValid();
    if (size <= 0) {
        // Let go: the field takes any length again.
        if (held) {
            field->setProperty(kProperty, 0);
            if (auto *edit = qobject_cast<QLineEdit *>(field))
                edit->setMaxLength(32767);
        }
        return;
    }
    field->setProperty(kProperty, size);
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->setMaxLength(size);
    if (field->findChild<TextLimit *>(QString(), Qt::FindDirectChildrenOnly))
        return; // watched already
    auto *limit = new TextLimit(field);
    field->installEventFilter(limit);
    if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        connect(plain, &QPlainTextEdit::textChanged, limit, &TextLimit::cutBack);
}

void TextLimit::CountBreaksAsTwo(QWidget *field)
{
    if (field)
        field->setProperty(kBreaksAsTwo, true);
}

int TextLimit::LengthOf(const QWidget *field)
{
    const QString text = TextOf(field);
    return int(text.size()) + breaksOf(field, text);
}

int TextLimit::SizeOf(const QWidget *field)
{
    return field ? qMax(0, field->property(kProperty).toInt()) : 0;
}

QString TextLimit::TextOf(const QWidget *field)
{
    if (auto *edit = qobject_cast<const QLineEdit *>(field))
        return edit->text();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(field))
        return plain->toPlainText();
    return QString();
}

bool TextLimit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const QString typed = key->text();
    // Keys that put no character in (moves, deletions, shortcuts) pass.
    if (typed.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    for (QChar c : typed)
        if (c.unicode() < 32 && c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            return false;
    const int size = SizeOf(m_field);
    if (size <= 0)
        return false; // let go
    qsizetype selected = 0;
    qsizetype added = typed.size();
    if (auto *edit = qobject_cast<QLineEdit *>(m_field)) {
        selected = edit->selectedText().size();
        if (typed == QLatin1String("\r") || typed == QLatin1String("\n") || typed == QLatin1String("\t"))
            return false; // Enter ends the field, Tab moves on
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_field)) {
        // A selection's line breaks come as U+2029.
        QString chosen = plain->textCursor().selectedText();
        chosen.replace(QChar(0x2029), QLatin1Char('\n'));
        selected = chosen.size() + breaksOf(m_field, chosen);
        if (typed == QLatin1String("\t"))
            return false; // Tab moves on
        if (typed == QLatin1String("\r") || typed == QLatin1String("\n"))
            added = 1 + breaksOf(m_field, QStringLiteral("\n"));
    } else {
        return false;
    }
    if (LengthOf(m_field) - selected + added <= size)
        return false;
    platform::Prompt::beep();
    return true;
}

void TextLimit::cutBack()
{
    auto *plain = qobject_cast<QPlainTextEdit *>(m_field);
    const int size = SizeOf(m_field);
    if (!plain || m_cutting || size <= 0 || LengthOf(m_field) <= size)
        return;
    // A paste that passes the size keeps what fits, where it was put. A
    // text the program put there whole is left as it is, for the save to
    // refuse by name.
    QTextCursor cursor = plain->textCursor();
    const int end = cursor.position();
    const QString text = plain->toPlainText();
    // Characters before the caret go, one by one, until the text fits.
    int start = end;
    int length = LengthOf(m_field);
    while (length > size && start > 0) {
        --start;
        length -= 1 + breaksOf(m_field, text.mid(start, 1));
    }
    if (length > size)
        return;
    m_cutting = true;
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    plain->setTextCursor(cursor);
    m_cutting = false;
    platform::Prompt::beep();
}
