#include "app/base/CZqApp.h"
#include "views/CDlgTree.h"

#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "data/CXDaoSet.h"
#include "data/OptionsAndLookups.h"

#include <QtGui/QScreen>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QPushButton>

namespace {
constexpr unsigned kTree = 2201;
enum ImageKind { NoImage, EmployeeImage, TagImage };
} // namespace

CDlgTree::CDlgTree(std::uint8_t kind, long preselected, QWidget *parent)
    : CDlg0(424, parent), m_nKind(kind), m_nPreselected(preselected)
{
    m_crBack = 0xFFFFFF;
    resize(320, 440);
    // The title band holds the chosen employee's picture.
    AddPlaceholder(1901, QRect(0, 0, 320, 72));
    AddPlaceholder(1902, QRect(0, 72, 320, 22));
    m_tree = new CXTreeCtrl(this);
    m_tree->setGeometry(8, 100, 304, 284);
    SetDlgCtrlID(m_tree, kTree);
    AddButton(1, QStringLiteral("OK"), QRect(88, 396, 108, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(204, 396, 108, 32));
    AddSizeMarker(QPoint(320, 440));
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *) { OnSelectionChanged(current); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int) {
        if (item && item->parent()) {
            OnSelectionChanged(item);
            OnOK();
        }
    });
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item, int) {
        if (item && item->parent())
            OnOK();
    });
}

int CDlgTree::EmployeeIcon(int empNo)
{
    // The employee's picture in the 64-pixel list.
    return CZqApp::GetEmployeeIcon(quint8(empNo), 133);
}

bool CDlgTree::OnInitDialog()
{
    QString title;
    int employeeType = -1;
    switch (m_nKind) {
    case 0: case 1: title = QStringLiteral("Select an Operator"); employeeType = 0; break;
    case 2: case 3: title = QStringLiteral("Select a CSR"); employeeType = 1; break;
    case 4: case 5: title = QStringLiteral("Select a Sales Rep"); employeeType = 2; break;
    case 10: m_strStripText = QStringLiteral("Select an Office Task"); break;
    case 20: m_strRibbonTitle = QStringLiteral("Select a Tag"); break;
    case 30: m_strRibbonTitle = QStringLiteral("Select Department Color"); break;
    case 40: title = QStringLiteral("Select a Product Type"); break;
    default: break;
    }
    if (!title.isEmpty())
        m_strWindowTitle = title;
    CDlg0::OnInitDialog();
    InitRibbons(7, 2, 2, 14);
    m_tree->SetImageListAndFont(131, 2);
    m_tree->header()->hide();

    int leaves = 0;
    QTreeWidgetItem *root = nullptr;
    m_tree->setBusy(true);
    if (employeeType >= 0) {
        m_titleImageList = 134;
        root = m_tree->AddRootItem(title, 115);
        if (m_nKind == 0) {
            m_tree->AddItem(root, QStringLiteral("Everyone"), 100, EmployeeIcon(100));
            ++leaves;
        } else if (m_nKind == 2 || m_nKind == 4) {
            m_tree->AddItem(root, QStringLiteral("?"), 0, EmployeeIcon(0));
            ++leaves;
        }
        leaves += FillFromQuery(root,
                                QStringLiteral("SELECT Name, EmpNo FROM Employees WHERE Type = %1 and "
                                               "Left(Name, 1) <> '~' ORDER BY Sort, EmpNo")
                                    .arg(employeeType),
                                EmployeeImage);
        SetTitleButton(QStringLiteral("Who are you?"), 134, 0);
    } else if (m_nKind == 10) {
        m_titleImageList = 134;
        const int empNo = int(m_nPreselected & 0xFF);
        CXDaoSet emp;
        emp.Open(CXDaoSet::dbOpenSnapshot,
                 QStringLiteral("SELECT Name FROM Employees WHERE EmpNo = %1").arg(empNo));
        QString name;
        if (emp.IsOpen() && !emp.IsEmptySet())
            emp.GetFieldString(0, name);
        emp.Close();
        SetTitleButton(empNo == 100 ? QStringLiteral("Everyone") : name, 134, std::uint8_t(EmployeeIcon(empNo)));
        root = m_tree->AddRootItem(QStringLiteral("OFFICE TASKS"), 11);
        leaves = FillFromQuery(root,
                               QStringLiteral("SELECT DepID, Name FROM TimeDepartments WHERE Type = %1 "
                                              "ORDER BY Sort")
                                   .arg(2),
                               NoImage);
    } else if (m_nKind == 20) {
        m_titleImageList = 131;
        root = m_tree->AddRootItem(QStringLiteral("TAGS"), 105);
        leaves = FillFromQuery(root,
                               QStringLiteral("SELECT Name, TagID, Color FROM ProductionTags WHERE Type = 0 "
                                              "ORDER BY Sort, Name"),
                               TagImage);
    } else if (m_nKind == 30) {
        m_titleImageList = 131;
        root = m_tree->AddRootItem(QStringLiteral("IMAGE ID"), 11);
        for (long n = m_nFirstImage; n <= m_nLastImage; ++n) {
            m_tree->AddItem(root, QStringLiteral(" %1").arg(n), quint32(n), int(n));
            ++leaves;
        }
    } else if (m_nKind == 40) {
        m_titleImageList = 135;
        root = m_tree->AddRootItem(QStringLiteral("PRODUCTS"), 11);
        QString sql;
        GetCodeListSql(sql, 302, true);
        leaves = FillFromQuery(root, sql, NoImage);
    }
    m_tree->ExpandAll(true);
    m_tree->setBusy(false);

    if (leaves == 0) {
        EndDialog(IDCANCEL_RESULT);
        return true;
    }
    // The preselected code is looked for among the leaves only: the branch
    // holds 0 as its data too, and code 0 is the leaf "?" (nobody).
    // Expanding made the branch current; without a preselected leaf nothing
    // is highlighted, as nothing is chosen yet.
    if (HTREEITEM item = m_tree->FindChildByData(quint32(m_nPreselected)))
        m_tree->SelectAndShow(item);
    else
        m_tree->setCurrentItem(nullptr);
    GrowToFit();
    return true;
}

int CDlgTree::FillFromQuery(QTreeWidgetItem *root, const QString &sql, int imageKind)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (!set.IsOpen())
        return 0;
    int textField = -1;
    int numberField = -1;
    for (int i = 0; i < set.GetFieldCount(); ++i) {
        const platform::FieldType t = set.GetFieldType(i);
        const bool text = t == platform::FieldType::Text || t == platform::FieldType::Memo;
        if (text && textField < 0)
            textField = i;
        else if (!text && numberField < 0)
            numberField = i;
    }
    int count = 0;
    for (; textField >= 0 && numberField >= 0 && !set.IsEOF(); set.MoveNext()) {
        QString text;
        set.GetFieldString(textField, text);
        const qint32 code = set.GetLong(numberField);
        int image = 255;
        if (imageKind == EmployeeImage) {
            image = EmployeeIcon(code);
        } else if (imageKind == TagImage) {
            image = set.GetFieldCount() > 2 ? set.GetLong(2) : 255;
            if (code == 0)
                text = QStringLiteral("<No Tag>");
        }
        m_tree->AddItem(root, text.trimmed(), quint32(code), image);
        ++count;
    }
    set.Close();
    return count;
}

void CDlgTree::OnSelectionChanged(QTreeWidgetItem *item)
{
    if (!item || !item->parent())
        return; // a branch changes nothing
    m_nChosen = long(CXTreeCtrl::GetItemData(item));
    int image = CXTreeCtrl::GetImage(item);
    SetTitleButton(item->text(0).trimmed(), m_titleImageList, std::uint8_t(image < 0 ? 255 : image));
}

void CDlgTree::GrowToFit()
{
    GrowToShowAllRows(m_tree);
}

void CDlgTree::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    GrowItemBy(1901, m_nDeltaX, 0);
    GrowItemBy(1902, m_nDeltaX, 0);
    GrowItemBy(kTree, m_nDeltaX, m_nDeltaY);
    MoveItemBy(1, m_nDeltaX, m_nDeltaY);
    MoveItemBy(2, m_nDeltaX, m_nDeltaY);
}
