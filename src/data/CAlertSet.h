#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QtGlobal>

#include <functional>

// Table CustomerAlerts. A row with a customer number holds one kind of text
// of that customer (new-job alert, work-order note, invoice memo, customer
// note ...). A row with CusNo 0 is a program-wide setting: AlertType is the
// setting's number and AlertText its values as a comma-terminated list (each
// item followed by ","; text after the last "," is no item).
class CAlertSet : public CXDaoSet
{
public:
    explicit CAlertSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;

    // Selects the row of that customer and kind (the kind as a byte). With
    // edit, the row is put into edit mode, or, when there is none, a new row
    // holding the customer, the kind and the default text is started and left
    // in add mode for the caller to save (SaveRecord). True when a row is
    // current: found, or added in edit mode.
    bool FindAlert(qint32 cusNo, int alertType, const QString &defaultText, bool edit);

    // One row of a settings list as a property grid shows it: type 1 rows
    // hold text, every other type a number; a row that is not enabled takes no
    // value from the list. The label and the shown text of an item name it
    // where the user is asked about it.
    struct ListRow
    {
        unsigned type = 0;
        bool enabled = true;
        QString text;
        qint32 value = 0;
        QString label;
        std::function<QString(const QString &item)> shown; // none: the item as it is
    };

    // How a window names the items of a list it edits (from 0) and shows an
    // item's value, for the question about a list both users changed.
    struct ListItems
    {
        std::function<QString(int item)> label;
        std::function<QString(int item, const QString &value)> shown; // none: the value as it is
    };

    // The items of a comma-terminated list (the text after the last comma
    // is no item).
    static QStringList ListItemsOf(const QString &list);

    // Writes the rows (row 0 is the grid's heading and not part of the list),
    // each item followed by ",", and saves with the information beep, as
    // SaveItems does: only the items changed since LoadList (or FindAlert)
    // are written, onto the row as it is now. The set must have been found
    // with FindAlert in edit mode.
    bool SaveList(const QList<ListRow> &rows);
    // Fills rows 1.. from AlertText, consuming it: items past the last row are
    // ignored, rows past the last item get "" or 0. Remembers the list as read
    // and as shown, for SaveList.
    void LoadList(QList<ListRow> &rows);

    // Saves a settings list item by item, for a window that showed the row
    // `read` (its items when the window opened; for a row that was not there,
    // the default the window showed) and would write `unchanged` had nothing
    // been changed: the row is read again; an item this user changed (mine
    // differs from unchanged) is written over it unless another user changed
    // the same item meanwhile to something else; those are put to the user in
    // the "Saved by another user" box, each named by its label and shown as
    // the window shows it, and the answer decides; every other item keeps the
    // row's value. A row another workstation added meanwhile is merged with,
    // never added twice. The set must have been found with FindAlert in edit
    // mode. False when nothing was saved: the user's Cancel (the set is left
    // editing the row as it is now) or a failure, shown.
    bool SaveItems(const QStringList &read, const QStringList &unchanged, const QStringList &mine,
                   const ListItems &items, unsigned beepType = 0);

    // The same between the set and a property grid (any grid with the
    // property grid's row access: GetRowCount, GetRowType, IsRowEnabled,
    // rowText, GetRowValue, SetRowText, SetRowValue).
    // The grid also gives each row's label (rowLabel) and the text it shows
    // for a stored item (ShownItemText).
    template <class Grid>
    bool SaveListFromGrid(const Grid &grid)
    {
        QList<ListRow> rows;
        for (int i = 0; i < grid.GetRowCount(); ++i)
            rows.append({unsigned(grid.GetRowType(i)), bool(grid.IsRowEnabled(i)), grid.rowText(i),
                         qint32(grid.GetRowValue(i)), grid.rowLabel(i),
                         [&grid, i](const QString &item) { return grid.ShownItemText(i, item); }});
        return SaveList(rows);
    }

    template <class Grid>
    void LoadListToGrid(Grid &grid)
    {
        QList<ListRow> rows;
        for (int i = 0; i < grid.GetRowCount(); ++i)
            rows.append({unsigned(grid.GetRowType(i)), bool(grid.IsRowEnabled(i)), QString(), 0, QString(), {}});
        LoadList(rows);
        for (int i = 1; i < rows.size(); ++i) {
            if (rows[i].type == 1)
                grid.SetRowText(i, rows[i].text);
            else
                grid.SetRowValue(i, rows[i].value);
        }
    }

    qint32 m_AlertNo = 0;
    qint32 m_CusNo = 0;
    quint8 m_AlertType = 0;
    QString m_AlertText;
    quint8 m_AlertPrint = 0;
    quint8 m_AlertColor = 0;
    quint8 m_AlertSound = 0;

private:
    // The row FindAlert looked for, and the list as read and as shown.
    qint32 m_findCusNo = 0;
    quint8 m_findType = 0;
    QStringList m_listRead;
    QStringList m_listShown;
};
