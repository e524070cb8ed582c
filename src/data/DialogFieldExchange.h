#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"

#include <QtCore/QtGlobal>

class CXDaoSet;
class DataExchange;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QListWidget;

// Exchanges between record dialogs' controls and their recordset members for
// the shapes the stock ones do not fit: byte codes kept as the item data of
// list and combo entries, byte check boxes, combo indexes in byte fields that
// may be Null, dates in pickers that may show no date, and money where the No
// Charge marker shows as words. A missing control is skipped.

// Check state <-> byte: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_CheckByte(DataExchange &dx, QCheckBox *box, quint8 &value);
// The entry whose item data equals the code <-> the code (low byte). Saving
// without a selection leaves the code unchanged.
void DDX_LBData(DataExchange &dx, QListWidget *list, quint8 &value);
void DDX_CBData(DataExchange &dx, QComboBox *combo, quint8 &value);
void DDX_CBDataLong(DataExchange &dx, QComboBox *combo, qint32 &value);
// A combo's field named in the set's question about a field another
// workstation changed too, as the window shows it: by the label given and
// each value by the text of its entry (the entry whose item data is the
// value, or, byPosition, the entry at that place), as the entries stand now.
void NameComboField(CXDaoSet &set, const void *member, const QString &label, const QComboBox *combo,
                    bool byPosition = false);
// Combo index <-> byte. The load is skipped when the set is given and is
// closed or holds Null in the field; saving without a selection leaves the
// byte unchanged.
void DDX_CBIndexField(DataExchange &dx, QComboBox *combo, quint8 &value, CXDaoSet *set);
// A typed amount: the amount with two decimals (empty reads as 0), read
// whole ("1,234.50", "$5"; "12.5abc" is no amount, "12.345" has a decimal too
// many, 100,000,000,000.01 is past the largest amount). On a save, a text that
// is no such amount says so after the field's name ("Shipping: Please enter a
// currency."), leaves the member as it was and
// keeps the typed text in the field, selected and with the focus, so that
// whatever is typed over it is what the next read takes. The field also
// reads its text when it is left (the shared reading of amounts): an amount
// shows in its own form, anything else is refused the same way and the
// field shows its last amount again.
void DDX_Currency(DataExchange &dx, QLineEdit *edit, Money &value);
// As DDX_Currency, with "No Charge" for the marker (+/-0.0001). The marker
// survives a save while the text still reads "No Charge".
void DDX_CurrencyNoCharge(DataExchange &dx, QLineEdit *edit, Money &value);

// Date pickers show whole days. A picker shows no date when it has a special
// value text and stands at its minimum date, which is kept for "none" (a
// picker set to no date gets " " as special value text when it has none).
void DDX_DateTimeCtrlField(DataExchange &dx, QDateTimeEdit *picker, DateTime &value, CXDaoSet *set);
void DDX_DateTimeCtrl(DataExchange &dx, QDateTimeEdit *picker, DateTime &value);

// The picker's "no date" entry, for dialogs that offer clearing a date. A
// clearable picker is emptied by selecting its whole date (Ctrl+A) and
// deleting it; SetPickerNoDate also empties it now.
void MakePickerClearable(QDateTimeEdit *picker);
void SetPickerNoDate(QDateTimeEdit *picker);
bool PickerShowsNoDate(const QDateTimeEdit *picker);
