#pragma once

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "data/CItemSet.h"
#include "estimating/PricingCache.h"
#include "views/CDlg0.h"

#include <QtCore/QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;

// The price list dialog (840 "Price List"): what an item would cost at a
// series of quantities. From a job it lists the job's items; from a list
// view the walk-in customer's template items. For the chosen item the
// pricing engine runs silently once per quantity; the list shows quantity,
// price and, on request, the price per thousand. It changes nothing.
class CPriceBook : public CDlg0
{
    Q_OBJECT

public:
    // Printing a price list (the printed documents area): the list with its
    // headings (the item's description, its paper, press and sides), the
    // command (57607 printer dialog, 57608 direct) or an output PDF. The
    // answer is the run's status: 2 printed, 1 cancelled, 0 nothing.
    struct PrintRequest
    {
        CXListCtrl *list = nullptr;
        QStringList headings;
        int command = 57607;
        QString outputFile;
    };
    using PrintHook = std::function<int(const PrintRequest &request)>;
    static void SetPrintHook(PrintHook hook);

    static constexpr int kJobItems = -1;
    static constexpr qint32 kWalkInCustomer = 31;

    // With a source item (the job window's item set, on an item) the job's
    // items are listed; without one the templates.
    CPriceBook(CItemSet *sourceItem, QWidget *parent);

    int m_nListKind = 1;
    QString m_strQuantity;
    bool m_bShowUnitPrices = true;
    std::vector<quint32> m_quantities;
    int m_nTemplateCount = 0;
    int m_nPrintStatus = 0;
    // Where prints go (tests and tools): file names made from this one,
    // numbered after the first; empty for the printer.
    QString m_strPrintFile;

    void FillTree();
    void BuildQuantities();
    void FillPriceList();
    // Opens the item of a tree entry; false when it is not found.
    bool OpenItem(qint32 itemId);
    void SetQuantityText(const QString &text);
    int PrintPriceList(int command);
    void PrintAll();
    QStringList PrintHeadings();

    CXTreeCtrl &tree() { return m_tree; }
    CXListCtrl &list() { return m_list; }
    CXRibbon &ribbon() { return m_ribbon; }
    QComboBox *quantityCombo() const { return m_combo; }
    CItemSet &item() { return m_item; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetupColumns(int pages);
    void OnTemplateKind();
    void OnSelectEntry();

    CXTreeCtrl m_tree;
    CXListCtrl m_list;
    CXRibbon m_ribbon;
    CXRibbon m_bottom;
    QComboBox *m_combo = nullptr;
    QCheckBox *m_unitPrices = nullptr;
    CItemSet *m_pSource = nullptr;
    CItemSet m_item;
    PricingCache m_cache;
    int m_nPrinted = 0;
    bool m_bFilling = false;
};

// Installs the price list as the list views' command 30166.
void InstallPriceBook();
