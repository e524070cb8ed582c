#pragma once

#include "catalogue/ServiceTables.h"
#include "views/CDlgGrid.h"

class QComboBox;
class QLabel;

// The price table of a service (one row of table ServicePriceTables, keyed by
// service and table number): five lists say how a cell is picked and read,
// a one-row grid holds the keys of the ten price columns and a grid of twelve
// rows holds the quantity breaks and the prices (ten-thousandths). "&Save"
// writes what was changed here onto the row as it is now; a failure, or the
// choice to save nothing now, leaves the window open with what was typed.
// Command 30122 imports the row of a supplier's price list.
class CSerPriceTable : public CDlgGrid
{
    Q_OBJECT

public:
    enum ControlId : unsigned {
        IDC_COLUMN_BASIS = 1201, IDC_ROW_BASIS, IDC_READING, IDC_METHOD, IDC_MULTIPLIER,
        IDC_FORMULA = 1506, IDC_IMPORT = 30122,
    };

    CSerPriceTable(qint32 serNo, int tableNo, QWidget *parent);

    // Set by the caller before DoModal: the service's quantity kind (QtyBy),
    // its category, the ribbon caption; a non-zero mode is read-only.
    quint8 m_nQtyBy = 0;
    qint32 m_nCatNo = 0;
    int m_nMode = 0;

    // What the dialog holds, for the caller and tests.
    PriceTableSettings settings() const;
    QComboBox *list(unsigned id) const;
    void ChooseListEntry(unsigned id, int code);
    CXGridCtrl &keyGrid() { return m_wndGrid; }
    CXGridCtrl &priceGrid() { return m_wndGrid2; }
    QString formulaText() const;
    bool isChanged() const { return m_bChanged; }
    // Writes the row; false (reported, the window stays) on a failure.
    bool Save();
    // Command 30122: the import of one line of a supplier's price list.
    void Import();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void BuildGrids();
    void Load();
    void Refresh();
    void PlaceBelowGrids();
    // The row as the window holds it, field by field.
    QList<qint32> RowValues() const;
    // A field named and shown as the window names and shows it.
    QString FieldLabel(int ordinal) const;
    QString FieldText(int ordinal, qint32 value) const;

    qint32 m_nSerNo = 0;
    int m_nTableNo = 0;
    bool m_bChanged = false;
    bool m_bFilling = false;
    QList<qint32> m_shownRow; // the row as loaded, as the window showed it
    QLabel *m_formula = nullptr;
};
