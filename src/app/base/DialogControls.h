#pragma once

#include "platform/DateTime.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QListWidget;
class QWidget;

// Filling, selecting and placing the controls of dialogs and views. A
// dialog's control is found by its control id; ids 1401 to 1409 are list boxes
// (QListWidget), every other id that is filled with a list names a combo box
// (QComboBox). Every entry keeps its code as item data (Qt::UserRole); the
// fillers append and never clear the control first.

// A control's id is kept on the widget as the integer property "controlId",
// so a control set up by any layer is found by every other.
void SetDlgCtrlID(QWidget *control, unsigned id);
// 0 for a widget without an id (or no widget).
unsigned GetDlgCtrlID(const QWidget *control);
// The descendant of the dialog with that id; null when there is none (and
// for id 0).
QWidget *GetDlgItem(const QWidget *dialog, unsigned id);
// True for the ids of list boxes, 1401 to 1409.
bool IsListBoxControlId(int id);

// --- Entries -------------------------------------------------------------

// The index of the new entry; -1 without a control.
int AddComboItem(QComboBox *combo, const QString &text, qint32 data);
int AddListBoxItem(QListWidget *list, const QString &text, qint32 data);
int AddDlgListItem(QWidget *dialog, int id, const QString &text, qint32 data);

// Selects the first entry with that item data and returns its index; with
// none the selection is cleared and -1 returned (also for a null control). A
// list box that lets several entries be selected gets the entry added to its
// selection.
int SelectComboByData(QComboBox *combo, qint32 data);
int SelectListBoxByData(QListWidget *list, qint32 data);

// Adds the items of a comma-terminated list (the text of string resource
// stringId when that is not 0): items first..last with item data counted from
// 0 at `first`; with last <= first every item from `first` to the end. Text
// after the last comma is no item. Into the combo when given, else the list.
void FillListFromText(QComboBox *combo, QListWidget *list, int stringId, QString text, int first, int last);
void FillDlgListFromText(QWidget *dialog, int id, const QString &text);
void FillListBoxFromResource(QListWidget *list, int stringId, int first, int last);
void FillComboFromResource(QComboBox *combo, int stringId, int first, int last);
void FillDlgListFromResource(QWidget *dialog, int id, int stringId, int first, int last);

// Entries prefix + number + suffix for every number from `from` to `to`
// (counting down when from >= to); item data counts up by one from firstData,
// or from `from` when firstData is 0.
void FillDlgNumberList(QWidget *dialog, int id, int from, int to, const QString &prefix, const QString &suffix,
                       qint32 firstData);

// Times into the combo box, without item data: with a step below 1 or of 60
// minutes one entry per hour ("7 am", "Noon", "1 pm"), otherwise every step of
// minutes from firstHour:00 to lastHour:00 as "%H:%M".
void FillTimeList(QWidget *dialog, int id, int firstHour, int lastHour, int stepMinutes);

// A time of day typed into a time box whose field holds at most maxLength
// characters: a text that fits is kept as typed; a longer one that reads as a
// time ("10:00 AM", "2:30 p.m.", "14:30", "noon") is written the short way of
// the time lists: "10 am", "Noon", "2 pm" on the hour, "14:30" otherwise. Any
// other text comes back unchanged (and the field's length check refuses it).
QString FitTimeText(const QString &text, int maxLength);

// --- Placing -------------------------------------------------------------

// Moves the dialog's control by (dx, dy) and its right and bottom edges by
// (dw, dh) more. Nothing when there is no such control.
void MoveDlgItem(QWidget *dialog, int id, int dx, int dy, int dw, int dh);

// Anchor flags: bit 2 takes the anchor's right edge (else its left), bit 8 its
// bottom (else its top). Own flags: bit 2 puts the window's right edge there,
// bit 8 its bottom. The window's top-left corner then goes to that point
// moved by (dx, dy), in screen coordinates.
enum AlignFlag : int { AlignRightEdge = 2, AlignBottomEdge = 8 };
void AlignWindowTo(QWidget *anchor, QWidget *window, int anchorFlags, int ownFlags, int dx, int dy);

// --- Small control helpers -------------------------------------------------

// Sets the picker's date and time (nothing for a null picker or an invalid date).
void SetDateTimeCtrlTime(QDateTimeEdit *picker, const DateTime &value);
void SetDlgItemTime(QWidget *dialog, int id, const DateTime &value);

// True when the edit's selection (or its caret) starts after the first character.
bool IsEditCaretPastStart(const QLineEdit *edit);

// For a key (Qt::Key): the default for Tab and Enter, 1 for Page Up, Page Down,
// End, Home, Up and Down, 0 for every other key.
int IsNavigationKey(int key, int defaultValue);

// True while the key is held down. The keyboard can only be asked about Shift,
// Ctrl and Alt (the tests made before list commands); other keys give false.
bool IsKeyDown(int key);
