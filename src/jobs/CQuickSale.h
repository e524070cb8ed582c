#pragma once

#include "jobs/QuickSale.h"
#include "views/CDlgGrid.h"

class QComboBox;

// The counter sale (template 870 "Quick Sale"): services of the quick-sale
// category picked in a grid with quantities and prices, the tax rate, and the
// money taken through the payment dialog. OK takes the payment and writes it
// with the sale in one change; Cancel asks before dropping a sale with an
// amount.
//
// Entry point: CQuickSale sale(parent); sale.DoModal(); after OK m_saved
// names the QuickSales row and the payment.
class CQuickSale : public CDlgGrid
{
    Q_OBJECT

public:
    explicit CQuickSale(QWidget *parent);

    static constexpr int kRows = 10;
    static constexpr unsigned kTax = 1201;

    // Grid columns.
    enum Column { ColService = 0, ColQuantity = 1, ColUnitPrice = 2, ColPrice = 3 };

    quint8 m_nTaxCode = 0;
    QuickSale::Totals m_totals;
    QuickSale::Saved m_saved;

    // A cell of the sale's grid was changed (the grid's notice 30247).
    void OnCellChanged(int row, int column);
    // The rows as they stand.
    QList<QuickSale::Line> Lines() const;
    QComboBox *taxCombo() const;
    // The tax code chosen in the combo, then the totals again.
    void OnTaxChanged();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // The sale is not a list to print: both print commands do nothing here.
    bool OnCommand(int id) override;
    void OnPrintList() override {}

private:
    void RecomputeTotals();
    void ShowTotals();
    QuickSale::Line LineOf(int row) const;
    void SetLine(int row, const QuickSale::Line &line);
    // Each row as it stood after its last change that was taken: a change
    // refused (an amount beyond its field) puts the row back to it.
    QList<QuickSale::Line> m_accepted;
};

// Fills the list views' quick-sale command with this dialog.
void InstallQuickSale();
