#include "estimating/CPriceBook.h"

#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/DialogControls.h"
#include "app/base/TextUtil.h"
#include "app/base/WaitCursor.h"
#include "data/CSerSet.h"
#include "data/CXDaoSet.h"
#include "estimating/PriceListRules.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CDlgOptions.h"
#include "views/CView0.h"
#include "views/ListExport.h"

#include <QtCore/QEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

using platform::Prompt;

constexpr unsigned kRibbon = 1721;
constexpr unsigned kBottom = 1903;
constexpr unsigned kTree = 2201;
constexpr unsigned kList = 1401;
constexpr unsigned kQuantity = 1201;
constexpr int kUnitPrices = 30193;
constexpr int kExpand = 30532;
constexpr int kTemplateKind = 30534;
constexpr int kPrintNow = 30333;
constexpr int kPrintTo = 30334;
constexpr int kPrintAll = 30337;
constexpr int kExport = 30123;
constexpr int kPrintDialog = 57607;
constexpr int kPrintDirect = 57608;
constexpr int kTemplateHue = 270;

const QStringList kKindLabels = {QStringLiteral("All"), QStringLiteral("Offset Printing"),
                                 QStringLiteral("Digital Printing"), QStringLiteral("Web/Pell")};

CPriceBook::PrintHook &printHookSlot()
{
    static CPriceBook::PrintHook hook;
    return hook;
}

} // namespace

void CPriceBook::SetPrintHook(PrintHook hook)
{
    printHookSlot() = std::move(hook);
}

CPriceBook::CPriceBook(CItemSet *sourceItem, QWidget *parent) : CDlg0(840, parent), m_pSource(sourceItem)
{
    m_strWindowTitle = QStringLiteral("Price List");
    m_nListKind = sourceItem ? kJobItems : 1;
    if (CZqApp *app = ZqApp()) {
        m_bShowUnitPrices = app->GetSettingInt(QStringLiteral("PriceBook-UnitPrice"), 1) != 0;
        app->GetSettingText(m_strQuantity, QStringLiteral("PriceBook-Quantity"), QStringLiteral("500"));
    } else {
        m_strQuantity = QStringLiteral("500");
    }
    resize(920, 620);
    AddPlaceholder(kRibbon, QRect(0, 0, 920, 40));
    m_tree.setParent(this);
    m_tree.setGeometry(8, 48, 300, 470);
    SetDlgCtrlID(&m_tree, kTree);
    QLabel *every = AddLabel(QStringLiteral("&List prices at every"), QRect(318, 48, 150, 28));
    m_combo = new QComboBox(this);
    every->setBuddy(m_combo);
    m_combo->setEditable(true);
    m_combo->setGeometry(470, 48, 150, 28);
    SetDlgCtrlID(m_combo, kQuantity);
    m_unitPrices = new QCheckBox(QStringLiteral("Show &Unit Prices"), this);
    m_unitPrices->setGeometry(636, 48, 200, 28);
    SetDlgCtrlID(m_unitPrices, kUnitPrices);
    m_list.setParent(this);
    m_list.setGeometry(318, 84, 594, 434);
    SetDlgCtrlID(&m_list, kList);
    AddButton(kPrintNow, QStringLiteral("Print Now"), QRect(318, 526, 110, 30));
    AddButton(kPrintTo, QStringLiteral("Print To..."), QRect(434, 526, 110, 30));
    AddButton(kPrintAll, QStringLiteral("Print All..."), QRect(550, 526, 110, 30));
    AddButton(kExport, QStringLiteral("Export..."), QRect(666, 526, 110, 30));
    AddPlaceholder(kBottom, QRect(0, 568, 920, 44),
                   QStringLiteral("Important: Prices listed are default prices for this item.  They do not reflect "
                                  "changes made to item or service prices."));
    m_bEnterAsTab = 0;
    m_pList = &m_list;

    for (const char *choice : {"100", "250", "500", "1000", "Varies", "Price List"})
        m_combo->addItem(QString::fromLatin1(choice));
    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        SetQuantityText(m_combo->itemText(index));
    });
    m_combo->lineEdit()->installEventFilter(this);
    connect(m_unitPrices, &QCheckBox::clicked, this, [this] { SendCommand(kUnitPrices); });
    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (current && !m_bFilling)
            OnSelectEntry();
    });
    connect(&m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { OnSelectEntry(); });
}

bool CPriceBook::eventFilter(QObject *watched, QEvent *event)
{
    // A typed quantity text counts when the field is left.
    if (event->type() == QEvent::FocusOut && m_combo && watched == m_combo->lineEdit()
        && m_combo->currentText() != m_strQuantity)
        SetQuantityText(m_combo->currentText());
    return CDlg0::eventFilter(watched, event);
}

bool CPriceBook::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetCtrlFont(m_combo, 3);
    if (m_ribbon.Create(this, kRibbon, m_pSource ? m_nColorScheme : kTemplateHue, 1, 131, 1, 0, 0, 0, 0, 0)) {
        m_ribbon.AddItem(kExpand, QString(), struct_RIB_ITEM::Normal, 131, 11, 2, 2085, 0, 0, 40, 0, 0,
                         QStringLiteral("Expand/Collapse List Manager"));
        m_ribbon.AddItem(kTemplateKind, QString(), struct_RIB_ITEM::Normal, 131, 60, 2, 2084, 0, 0, 260, 0, 0,
                         QStringLiteral("Select a Template Type"));
        m_ribbon.RecalcLayout(kTemplateKind);
        connect(&m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    if (m_bottom.Create(this, kBottom, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 26)) {
        m_bottom.AddItem(2, QStringLiteral("Close"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2, 120);
        m_bottom.AddItem(30262,
                         QStringLiteral("Important: Prices listed are default prices for this item.  They do not "
                                        "reflect changes made to item or service prices."),
                         struct_RIB_ITEM::Plain, 131, 220, 2, 2084, 0, 2, 700);
        m_bottom.RecalcLayout(30262);
        connect(&m_bottom, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    m_tree.SetImageListAndFont(131, 2);
    m_tree.setHeaderHidden(true);
    m_tree.SetClickToExpand(true);
    m_list.SetImageListAndStyle(131, 0, 0);
    m_combo->setEditText(m_strQuantity);
    m_unitPrices->setChecked(m_bShowUnitPrices);
    BuildQuantities();
    FillTree();
    return true;
}

void CPriceBook::FillTree()
{
    m_bFilling = true;
    m_tree.ClearAll();
    QString sql;
    const bool jobItems = m_pSource && m_nListKind == kJobItems;
    if (jobItems) {
        sql = QStringLiteral("SELECT Jobs.Title, Items.Description, Items.ItemID FROM ProductTypes INNER JOIN (Items "
                             "INNER JOIN Jobs ON Items.JobID = Jobs.JobID) ON ProductTypes.[No] = Items.Side1 WHERE "
                             "Items.SerNo = 0 and Jobs.JobID = %1 ORDER BY Items.ItemNo, Items.SubNo")
                  .arg(m_pSource->m_JobID);
    } else {
        sql = QStringLiteral("SELECT ProductTypes.Name, Items.Description, Items.ItemID FROM ProductTypes INNER JOIN "
                             "(Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) ON ProductTypes.[No] = Items.Side1 "
                             "WHERE Jobs.JobType = 2 AND Jobs.CusNo = 31 AND Items.SerNo = 0 AND "
                             "Left(ProductTypes.Name, 1) <> '~' ");
        if (m_nListKind >= 2 && m_nListKind <= 4)
            sql += QStringLiteral("and Jobs.Status = ") + QString::number(m_nListKind - 2);
        sql += QStringLiteral(" ORDER BY ProductTypes.Sort");
    }
    CXDaoSet rows;
    rows.Open(CXDaoSet::dbOpenSnapshot, sql);
    HTREEITEM group = nullptr;
    QString lastGroup;
    int count = 0;
    for (; rows.IsOpen() && !rows.IsEmptySet() && !rows.IsEOF(); rows.MoveNext(), ++count) {
        QString groupText;
        QString text;
        rows.GetFieldString(0, groupText);
        rows.GetFieldString(1, text);
        if (!group || groupText != lastGroup) {
            group = m_tree.AddItem(nullptr, groupText, 0, 0);
            lastGroup = groupText;
        }
        m_tree.AddItem(group, text, quint32(rows.GetLong(2)), 20);
    }
    m_tree.ExpandAll(true);
    HTREEITEM chosen = nullptr;
    if (jobItems) {
        if (m_ribbon.isCreated())
            m_ribbon.SetItemText(kTemplateKind, QStringLiteral("Job Items"));
        chosen = m_tree.FindItemByData(quint32(m_pSource->m_ItemID));
    } else {
        m_nTemplateCount = count;
        const int kind = std::clamp(m_nListKind, 1, 4);
        if (m_ribbon.isCreated()) {
            m_ribbon.SetItemText(kTemplateKind, kKindLabels[kind - 1] + QStringLiteral(" Templates: ")
                                                    + QString::number(count));
            m_ribbon.SetColorScheme(kTemplateHue);
        }
        if (QTreeWidgetItem *first = m_tree.topLevelItem(0))
            chosen = first->childCount() > 0 ? first->child(0) : nullptr;
    }
    m_bFilling = false;
    m_list.ClearList();
    if (chosen)
        m_tree.SelectAndShow(chosen);
    if (chosen && m_tree.currentItem() == chosen)
        OnSelectEntry();
    m_tree.update();
}

void CPriceBook::OnSelectEntry()
{
    const qint32 itemId = qint32(m_tree.GetSelectedData());
    if (itemId > 0 && OpenItem(itemId))
        FillPriceList();
}

bool CPriceBook::OpenItem(qint32 itemId)
{
    m_item.Close();
    m_item.m_strFilter = QStringLiteral("ItemID = %1 and SerNo = 0").arg(itemId);
    m_item.Open(CXDaoSet::dbOpenSnapshot);
    return m_item.IsOpen() && !m_item.IsEmptySet();
}

void CPriceBook::SetQuantityText(const QString &text)
{
    m_strQuantity = text;
    m_combo->setEditText(text);
    BuildQuantities();
    FillPriceList();
}

void CPriceBook::BuildQuantities()
{
    m_quantities = PriceList::BuildQuantities(m_strQuantity);
    if (CZqApp *app = ZqApp())
        app->WriteSettingText(QStringLiteral("PriceBook-Quantity"), m_strQuantity);
}

void CPriceBook::SetupColumns(int pages)
{
    m_list.AddColumn(QString(), 0, 10, true);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            m_list.AddColumn(QString(), 20, 10);
        m_list.AddColumn(QStringLiteral("Quantity"), 90, 4, false, 1);
        m_list.AddColumn(QStringLiteral("Price"), 100, 4, false, 1);
        if (m_bShowUnitPrices)
            m_list.AddColumn(QStringLiteral("Price/M"), 100, 4, false, 1);
        else
            m_list.AddColumn(QString(), 0, 10);
    }
}

void CPriceBook::FillPriceList()
{
    if (!m_item.IsOpen() || m_item.IsEmptySet())
        return;
    WaitCursor wait;
    m_list.ClearList();
    const std::vector<PriceList::Line> lines = PriceList::PriceLines(m_item, m_quantities, &m_cache);
    const int pages = PriceList::PageCount(m_strQuantity, int(m_quantities.size()));
    SetupColumns(pages);
    for (int n = 0; n < int(lines.size()); ++n) {
        const PriceList::Line &line = lines[size_t(n)];
        const int page = PriceList::PageOfLine(n, pages);
        const int row = PriceList::RowOfLine(n, pages);
        // Rows are made while the first page fills; a blank row stands
        // before every tenth line.
        while (m_list.GetItemCount() <= row)
            m_list.InsertRow(m_list.GetItemCount(), QString(), 0);
        const int column = 4 * page + 1;
        m_list.SetItemText(row, column, PriceList::QuantityText(line.quantity));
        m_list.SetItemText(row, column + 1, PriceList::PriceText(line.price));
        if (m_bShowUnitPrices)
            m_list.SetItemText(row, column + 2, PriceList::PricePerThousandText(line.price, line.quantity));
    }
}

QStringList CPriceBook::PrintHeadings()
{
    QStringList headings;
    if (!m_item.IsOpen() || m_item.IsEmptySet())
        return headings;
    headings << m_item.m_Description;
    CItemSet rows;
    if (!rows.OpenServicesOfItem(m_item, CItemSet::ServiceRows))
        return headings;
    CSerSet service;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        if (!service.FindBySerNo(rows.m_SerNo))
            continue;
        if (IsPaperCategory(service.m_CatNo)) {
            CItemSet paper(rows);
            paper.SplitNoteParts(service);
            headings << QStringLiteral("Paper: %1%2%3")
                            .arg(service.m_Name.trimmed(), QStringLiteral(" \u00B7 "), paper.m_strFinishSize);
        } else if (IsPrintingCategory(service.m_CatNo)) {
            headings << QStringLiteral("Press: %1").arg(service.m_Name.trimmed());
            headings << QStringLiteral("Sides: %1 / %2  %3")
                            .arg(GetResourceListItem(IDS_INK_COLORS, rows.m_Side1).trimmed(),
                                 GetResourceListItem(IDS_INK_COLORS, rows.m_Side2).trimmed(),
                                 GetResourceListItem(IDS_PRINT_STYLES, rows.m_PrtAs).trimmed());
        }
    }
    return headings;
}

int CPriceBook::PrintPriceList(int command)
{
    m_nPrintStatus = 0;
    if (m_list.GetItemCount() == 0)
        return 0;
    const PrintHook &hook = printHookSlot();
    if (!hook) {
        Prompt::messageBox(QStringLiteral("Printing the price list is not yet available in this version of Tavrel."));
        return 0;
    }
    PrintRequest request;
    request.list = &m_list;
    request.headings = PrintHeadings();
    request.command = command;
    if (!m_strPrintFile.isEmpty()) {
        // Each printed list to its own file: name.pdf, name-2.pdf ...
        ++m_nPrinted;
        request.outputFile = m_nPrinted == 1 ? m_strPrintFile
                                             : QString(m_strPrintFile).replace(QStringLiteral(".pdf"),
                                                                              QStringLiteral("-%1.pdf").arg(m_nPrinted));
    }
    m_nPrintStatus = hook(request);
    return m_nPrintStatus;
}

void CPriceBook::PrintAll()
{
    const int confirm = Prompt::messageBox(
        QStringLiteral("This process will print price lists for all Items of EXPANDED branches. Do you want to "
                       "confirm each Item before printing its price list?\n\nClick:\t[Yes] to confirm each Item\n\t[No] "
                       "to print all expanded branches\n\t[Cancel] to cancel this process"),
        QString(), platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    if (confirm == platform::IDCANCEL)
        return;
    bool first = true;
    for (int b = 0; b < m_tree.topLevelItemCount(); ++b) {
        QTreeWidgetItem *branch = m_tree.topLevelItem(b);
        if (!branch->isExpanded())
            continue;
        for (int e = 0; e < branch->childCount(); ++e) {
            QTreeWidgetItem *entry = branch->child(e);
            if (confirm == platform::IDYES) {
                const int answer =
                    Prompt::messageBox(QStringLiteral("Print %1?\n\n(click Yes to print, No to skip, Cancel to stop)")
                                           .arg(entry->text(0)),
                                       QString(), platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
                if (answer == platform::IDCANCEL)
                    return;
                if (answer == platform::IDNO)
                    continue;
            }
            if (!OpenItem(qint32(CXTreeCtrl::GetItemData(entry))))
                continue;
            FillPriceList();
            if (m_list.GetItemCount() == 0)
                continue;
            // The printer dialog only before the first list.
            PrintPriceList(first ? kPrintDialog : kPrintDirect);
            first = false;
            if (m_nPrintStatus != 2)
                return;
        }
    }
}

void CPriceBook::OnTemplateKind()
{
    CDlgOptions options(QStringLiteral("Templates"), QStringLiteral("Which Templates do you want to list?"), 0, this);
    options.AddRadioGroup(QStringLiteral("Which Templates do you want to list?"), 0);
    for (int kind = 1; kind <= 4; ++kind)
        options.AddEntry(kind, kKindLabels[kind - 1], m_nListKind == kind ? 1 : 0);
    if (m_pSource)
        options.AddEntry(-1, QStringLiteral("<-- Go back to the Job Items"), m_nListKind == kJobItems ? 1 : 0);
    options.m_nSelect = {m_nListKind, 0, 0};
    if (options.DoModal() != IDOK_RESULT)
        return;
    long chosen = options.GetCheckedInRange(1, 4);
    if (chosen == 0 && m_pSource && options.IsEntryChecked(-1))
        chosen = kJobItems;
    if (chosen == 0)
        return;
    m_nListKind = int(chosen);
    FillTree();
}

bool CPriceBook::OnCommand(int id)
{
    switch (id) {
    case kUnitPrices:
        m_bShowUnitPrices = m_unitPrices->isChecked();
        if (CZqApp *app = ZqApp())
            app->WriteSettingInt(QStringLiteral("PriceBook-UnitPrice"), m_bShowUnitPrices ? 1 : 0);
        FillPriceList();
        return true;
    case kExpand: {
        const bool expand = !m_tree.GetExpandState();
        m_tree.ExpandAll(expand);
        if (m_ribbon.isCreated())
            m_ribbon.SetItemImage(kExpand, 131, expand ? 11 : 12);
        return true;
    }
    case kTemplateKind:
        OnTemplateKind();
        return true;
    case kPrintNow:
        PrintPriceList(kPrintDirect);
        return true;
    case kPrintTo:
        PrintPriceList(kPrintDialog);
        return true;
    case kPrintAll:
        PrintAll();
        return true;
    case kExport:
        if (m_list.GetItemCount() == 0)
            return true;
        if (const ListExporter &exporter = listExporter())
            exporter(0, 0, 0, QStringLiteral("Price List ") + m_tree.GetSelectedText(), &m_list, false, 2);
        else
            Prompt::messageBox(QStringLiteral("Exporting a list is not yet available in this version."));
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CPriceBook::OnOK()
{
    const qint32 itemId = qint32(m_tree.GetSelectedData());
    if (itemId > 0)
        OpenItem(itemId);
    EndDialog(IDOK_RESULT);
}

void InstallPriceBook()
{
    CView0::SetPriceListOpener([](QWidget *parent) {
        CPriceBook book(nullptr, parent);
        book.DoModal();
    });
}
