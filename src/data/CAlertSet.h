#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

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
    // value from the list.
    struct ListRow
    {
        unsigned type = 0;
        bool enabled = true;
        QString text;
        qint32 value = 0;
    };

    // Writes the rows (row 0 is the grid's heading and not part of the list)
    // into AlertText, each item followed by ",", and saves with the
    // information beep. The set must be in edit or add mode.
    bool SaveList(const QList<ListRow> &rows);
    // Fills rows 1.. from AlertText, consuming it: items past the last row are
    // ignored, rows past the last item get "" or 0. Reload the row before
    // saving again.
    void LoadList(QList<ListRow> &rows);

    // The same between the set and a property grid (any grid with the
    // property grid's row access: GetRowCount, GetRowType, IsRowEnabled,
    // rowText, GetRowValue, SetRowText, SetRowValue).
    template <class Grid>
    bool SaveListFromGrid(const Grid &grid)
    {
        QList<ListRow> rows;
        for (int i = 0; i < grid.GetRowCount(); ++i)
            rows.append({unsigned(grid.GetRowType(i)), bool(grid.IsRowEnabled(i)), grid.rowText(i),
                         qint32(grid.GetRowValue(i))});
        return SaveList(rows);
    }

    template <class Grid>
    void LoadListToGrid(Grid &grid)
    {
        QList<ListRow> rows;
        for (int i = 0; i < grid.GetRowCount(); ++i)
            rows.append({unsigned(grid.GetRowType(i)), bool(grid.IsRowEnabled(i)), QString(), 0});
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
};
