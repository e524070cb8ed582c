#pragma once

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "views/CDlg0.h"

#include <QtCore/QString>

#include <functional>
#include <vector>

// The new-item dialog (690 "New"): how the items added to a job come about.
// The source tree offers creating from scratch (a new item of a product
// type, or booklet items) or copying items from the customer's orders,
// quotes, templates or history, from a find, or from the shop's templates.
// For a copy source the list shows the jobs or product types with a [+] to
// list their items, and the ticked items are the choice. It writes nothing:
// the job window reads the source, the product type and the chosen items.
class CItemNew : public CDlg0
{
    Q_OBJECT

public:
    // Sources (the item data of the tree's entries; headings have 0).
    enum Source : int {
        NewItem = 21,
        BookletItems = 23,
        CustomerOrders = 24,
        CustomerQuotes = 25,
        CustomerTemplates = 26,
        CustomerHistory = 27,
        AllTemplates = 28,
        OffsetTemplates = 29,
        DigitalTemplates = 30,
        WebTemplates = 31,
        FindItems = 32,
    };
    // List layouts of the copy sources (0 lists product types).
    enum ListBy : int { ByProduct = 30551, ByJobNumber = 30552, ByDescription = 30553 };
    // List images.
    enum Image : int {
        ProductRow = 213,
        ProductRowChosen = 214,
        CheckClear = 215,
        CheckTicked = 216,
        GroupClosed = 221,
        GroupOpen = 222,
        ViewMark = 169,
    };
    static constexpr qint32 kWalkInCustomer = 31;

    // The find dialog of the jobs area on target "Items": the job type and
    // whether it may be changed go in, the remembered field choice goes in
    // and out; on OK the job type and the WHERE condition come back.
    struct FindRequest
    {
        int jobType = 0;
        bool jobTypeFixed = false;
        int fieldChoice[2] = {0, -1};
        QString where;
    };
    using FindHook = std::function<bool(FindRequest &request, QWidget *parent)>;
    static void SetFindHook(FindHook hook);

    CItemNew(qint32 cusNo, QWidget *parent);

    // Set by the caller before showing (the job type's hue is the colour
    // scheme; the product type comes from "NewItem-Product").
    int m_nProductType = 0;

    // Results.
    int m_nSource = 0;
    int m_nListBy = ByProduct;
    std::vector<qint32> m_chosenItems;

    // The job type of a copy source (-1 for the others).
    static int JobTypeOfSource(int source);
    // The statement of a listing (0 product types, or a list-by layout)
    // under a filter (" WHERE ..." or empty); the listing's own condition
    // is added to the filter.
    static QString ListingStatement(int listBy, QString &filter);

    // What the tests and the program's other windows drive.
    CXTreeCtrl &tree() { return m_tree; }
    CXListCtrl &list() { return m_list; }
    CXRibbon &ribbon() { return m_ribbon; }
    QString hint() const { return m_strHint; }
    QString filter() const { return m_strFilter; }
    int checkColumn() const { return m_nCheckColumn; }
    int viewColumn() const { return m_nViewColumn; }
    void ListNow();
    // A click on a cell, as the list reports it (row, column).
    void OnListClick(int row, int column);
    void OnListDoubleClick(int row, int column);
    void ExpandRow(int row);
    void CollapseRow(int row);
    void ToggleCheck(int row);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildTree();
    void SetHint(const QString &hint);
    void ShowListByButtons();
    void BoldSource();
    bool isGroupRow(int row);
    bool isCheckImage(int image) const { return image == CheckClear || image == CheckTicked; }
    int RunFind(int source);
    void OnOptions();
    void OnSearchList();
    void OnSelectionChanged();
    void OnTreeMenu(const QPoint &point);

    CXRibbon m_ribbon;
    CXTreeCtrl m_tree;
    CXListCtrl m_list;
    qint32 m_nCusNo = 0;
    QString m_strFilter;
    QString m_strUserFilter;
    QString m_strHint;
    int m_findChoice[2] = {0, -1};
    int m_nCheckColumn = -1;
    int m_nViewColumn = -1;
    int m_nListedBy = 0; // the layout of the rows on show (0 product types)
    bool m_bFilling = false;
    class QPushButton *m_ok = nullptr;
    class QPushButton *m_cancel = nullptr;
    class QPushButton *m_options = nullptr;
    class QPushButton *m_search = nullptr;
};
