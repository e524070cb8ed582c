#pragma once

// Typing into a field the three ways users enter one: a click into it (on a
// given part of a date), Ctrl+A, or Tab into it; then leaving it with Tab.
// Header-only, for the test programs of widgets.

#include <QtTest/QTest>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QLineEdit>

namespace typing {

enum class Entry { Click, SelectAll, Tab };

inline const char *entryName(Entry e)
{
    switch (e) {
    case Entry::Click: return "click";
    case Entry::SelectAll: return "Ctrl+A";
    case Entry::Tab: return "Tab";
    }
    return "";
}

// The line edit a field types into.
inline QLineEdit *lineOf(QWidget *field)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        return edit;
    if (auto *combo = qobject_cast<QComboBox *>(field))
        return combo->lineEdit();
    return field ? field->findChild<QLineEdit *>() : nullptr;
}

// Where a click lands on character `position` of the field's text.
inline QPoint pointAt(QWidget *field, int position)
{
    QLineEdit *line = lineOf(field);
    const QString text = line ? line->text() : QString();
    const int x = line->fontMetrics().horizontalAdvance(text.left(position)) + line->textMargins().left() + 3;
    return line->mapTo(field, QPoint(x, line->height() / 2));
}

// The character of each part of a date shown month/day/year: the start of
// part `section` (0 month, 1 day, 2 year) plus one.
inline int datePartPosition(QWidget *field, int section)
{
    const QString text = lineOf(field)->text();
    int start = 0;
    for (int s = 0; s < section; ++s) {
        const int slash = int(text.indexOf(QLatin1Char('/'), start));
        if (slash < 0)
            break;
        start = slash + 1;
    }
    return start + 1;
}

// Gives the field the focus as the entry does (a click lands on part
// `section` of a date, or at the end of any other text).
inline void enter(QWidget *field, Entry way, int section = 0)
{
    QWidget *window = field->window();
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    switch (way) {
    case Entry::Tab:
        field->setFocus(Qt::TabFocusReason);
        break;
    case Entry::SelectAll:
        field->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        break;
    case Entry::Click: {
        const bool date = qobject_cast<QDateTimeEdit *>(field) != nullptr;
        QLineEdit *line = lineOf(field);
        const int position = date ? datePartPosition(field, section) : int(line ? line->text().size() : 0);
        const QPoint at = pointAt(field, position);
        QWidget *target = field->childAt(at) ? field->childAt(at) : field;
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(field, at));
        break;
    }
    }
    QApplication::processEvents();
}

// The widget a field's keys go to.
inline QWidget *keysOf(QWidget *field)
{
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        return combo->lineEdit();
    return field;
}

// Types the text key by key, staying in the field.
inline void typeKeys(QWidget *field, const QString &text)
{
    QTest::keyClicks(keysOf(field), text);
}

// Leaves the field with Tab.
inline void leave(QWidget *field)
{
    QWidget *keys = keysOf(field);
    QTest::keyClick(keys, Qt::Key_Tab);
    QApplication::processEvents();
    // A field that kept the focus (the last of its window) is left all the same.
    if (field->hasFocus() || keys->hasFocus())
        field->clearFocus();
    QApplication::processEvents();
}

// Types the text key by key, then leaves the field with Tab.
inline void typeAndLeave(QWidget *field, const QString &text)
{
    typeKeys(field, text);
    leave(field);
}

} // namespace typing
