#pragma once

#include <QtCore/QObject>

class QWidget;

// Holds a text field to the size of the column its text is kept in: a key
// that would make the text longer is not taken (with a beep), and a text
// pasted past the size is taken only as far as it fits (with a beep), so
// that what the field shows is always what the row can keep. Works on line
// edits (which also get the size as their maximum length) and on plain-text
// editors. The field carries the size as its property "textLimit".
class TextLimit : public QObject
{
    Q_OBJECT

public:
    // Holds the field to `size` characters; a size of 0 or less leaves it
    // free (one held before is let go: an editor shared by the cells of a
    // grid holds to each cell's column in turn). An editable combo box is
    // held by its line edit.
    static void Hold(QWidget *field, int size);
    // A plain-text field whose text is kept with "\r\n" line breaks: each
    // break counts as the two characters the column keeps.
    static void CountBreaksAsTwo(QWidget *field);
    // The size a field is held to; 0 when it is not held.
    static int SizeOf(const QWidget *field);
    // The text a held field shows, however the field keeps it.
    static QString TextOf(const QWidget *field);
    // The characters the field's text takes in its column.
    static int LengthOf(const QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TextLimit(QWidget *field);
    void cutBack();

    QWidget *m_field;
    bool m_cutting = false;
};
