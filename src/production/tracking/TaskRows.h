#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CXRibbon;
class CXTable;
class QPoint;
class QWidget;

// What the two task pickers (the order's services and the production task
// list) share: the cells of the code columns, the Start button, the service
// note with its kept tail and the tag and priority menus.
namespace track {

// The Operator, Tag and Priority cells of a row from their codes: the
// employee's name and icon (empty on item rows), the tag's name and icon (no
// icon for tag 0) and the priority (0 empty, 1-9 the number, 10 "To-Order",
// 11 "On-Order", 12 "In-Stock") with its icon.
void FillCodeCells(CXTable &table, int row, int operatorColumn, int tagColumn, int priorityColumn, quint8 empNo,
                   quint8 tag, quint8 priority, bool itemRow);

// The Start button for the selected row: disabled "Start" without a service
// row; "Start " + the description when the service has no warnings, else the
// warnings (image 220, colour 24). Returns the warnings.
QString UpdateStartButton(CXRibbon &ribbon, bool serviceRow, const QString &description, qint32 itemId);

// A service note is edited only up to its first " · "; the rest, the marker
// included, is kept and follows the edited text.
QString NoteHead(const QString &note);
QString NoteWithTail(const QString &edited, const QString &note);

// Edits the note of the Items row (the item's whole note in the note editor,
// a service's head in the one-field entry) and saves a changed note; returns
// the note now stored, or a null string when nothing changed.
QString EditItemNote(qint32 itemId, bool itemRow, const QString &prompt, QWidget *parent);

// The tag (kind 2) or priority (kind 3) menu at the point; stores the choice
// on the Items row and returns it, -1 when nothing was chosen or saved.
int ChooseTagOrPriority(qint32 itemId, int kind, bool itemRow, const QPoint &point, QWidget *parent);

// The ItemIDs of the marked data rows whose service number (in the column) is
// not 0, in table order.
QList<qint32> MarkedServiceIds(const CXTable &table, int serNoColumn);

} // namespace track
