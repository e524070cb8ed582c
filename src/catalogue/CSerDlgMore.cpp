#include "catalogue/CSerDlgMore.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/DialogControls.h"
#include "app/base/MoneyText.h"
#include "catalogue/CSerList.h"
#include "catalogue/ServiceRules.h"
#include "controls/DlgItem.h"
#include "data/CSerSet.h"
#include "data/ListFillers.h"
#include "app/base/TypedValue.h"
#include "platform/Prompt.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

void selectCode(QComboBox *combo, int code)
{
    if (!combo || SelectComboByData(combo, code) >= 0)
        return;
    AddComboItem(combo, code == 0 ? QString() : QString::number(code), code);
    SelectComboByData(combo, code);
}

int comboCode(const QComboBox *combo)
{
    return combo && combo->currentIndex() >= 0 ? combo->currentData().toInt() : 0;
}

} // namespace

CSerDlgMore::CSerDlgMore(CSerSet &set, QWidget *parent)
    : CDlg0(982, parent), m_set(set), m_shown(std::make_unique<CSerSet>())
{
    m_strWindowTitle = QStringLiteral("More Service Properties");
    resize(640, 470);
    AddPlaceholder(1901, QRect(0, 0, 640, 40));
    AddPlaceholder(1902, QRect(0, 40, 640, 24));

    auto caption = [this](const QString &text, int x, int y, int w) {
        AddLabel(text, QRect(x, y, w, 22));
    };
    auto panel = [this](const QString &text, int x, int y) {
        QLabel *label = AddLabel(text, QRect(x, y, 300, 22));
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    };
    auto combo = [this](unsigned id, int x, int y, int w) {
        auto *c = new QComboBox(this);
        c->setGeometry(x, y, w, 24);
        SetDlgCtrlID(c, id);
        return c;
    };
    auto check = [this](unsigned id, const QString &text, int x, int y) {
        auto *c = new QCheckBox(text, this);
        c->setGeometry(x, y, 160, 22);
        SetDlgCtrlID(c, id);
        return c;
    };

    panel(QStringLiteral("Vendor"), 12, 76);
    caption(QStringLiteral("Default Vendor"), 12, 104, 110);
    combo(IDC_VENDOR, 125, 104, 180);
    caption(QStringLiteral("SKU"), 12, 132, 110);
    AddEdit(IDC_SKU, QRect(125, 132, 180, 22))->setPlaceholderText(QStringLiteral("< Vendor Specific Code >"));
    caption(QStringLiteral("UPC"), 12, 160, 110);
    AddEdit(IDC_UPC, QRect(125, 160, 180, 22))->setPlaceholderText(QStringLiteral("< Universal Product Code >"));
    caption(QStringLiteral("FSC"), 12, 188, 110);
    AddEdit(IDC_FSC, QRect(125, 188, 180, 22))->setPlaceholderText(QStringLiteral("< Forestry Certification Code >"));

    panel(QStringLiteral("Scheduler (optional tool)"), 330, 76);
    caption(QStringLiteral("Service Center"), 330, 104, 110);
    combo(IDC_PRODDEP, 445, 104, 180);
    caption(QStringLiteral("Default Operator"), 330, 132, 110);
    combo(IDC_OPERATOR, 445, 132, 180);
    caption(QStringLiteral("Default Tag"), 330, 160, 110);
    combo(IDC_TAG, 445, 160, 180);
    // Kept in the record but not offered on screen.
    combo(IDC_SCHEDBY, 445, 188, 180)->hide();

    panel(QStringLiteral("Other Properties"), 12, 230);
    caption(QStringLiteral("Auto-Add"), 12, 258, 110);
    m_autoAdd = AddButton(IDC_AUTOADD, QString(), QRect(125, 256, 500, 26));
    AddButton(CAP_WAGE, QStringLiteral("Wage / Hour..."), QRect(12, 290, 110, 22))->setFlat(true);
    AddEdit(IDC_WAGEHR, QRect(125, 290, 100, 22));
    check(IDC_OPTTAX, QStringLiteral("Taxable"), 330, 290)->hide();
    check(IDC_OPTCOM, QStringLiteral("Commissionable"), 330, 312)->hide();
    check(IDC_OPTWO, QStringLiteral("Printable"), 330, 334)->hide();

    panel(QStringLiteral("Inventory (optional tool) "), 12, 330);
    check(IDC_OPTINV, QStringLiteral("Track"), 12, 356);
    caption(QStringLiteral("Minimum Level"), 100, 356, 100);
    AddEdit(IDC_MINLEVEL, QRect(200, 356, 80, 22));
    caption(QStringLiteral("Ream Quantity"), 300, 356, 100);
    AddEdit(IDC_REORDER, QRect(400, 356, 80, 22));
    caption(QStringLiteral("In Stock"), 100, 384, 100);
    AddEdit(IDC_INSTOCK, QRect(200, 384, 80, 22));
    caption(QStringLiteral("On Order"), 300, 384, 100);
    AddEdit(IDC_ONORDER, QRect(400, 384, 80, 22));
    // Each number is read as its kind when left: a minimum level, a ream,
    // what is in stock and what is on order are counts of sheets (0 to the
    // largest count; stock taken out stops at 0, never below). A refusal
    // names the field and puts back what it showed.
    AttachTypedReading(edit(IDC_MINLEVEL), ValueKind::Quantity);
    AttachTypedReading(edit(IDC_REORDER), ValueKind::Quantity);
    AttachTypedReading(edit(IDC_INSTOCK), ValueKind::Quantity);
    AttachTypedReading(edit(IDC_ONORDER), ValueKind::Quantity);
    AttachTypedReading(edit(IDC_WAGEHR), ValueKind::Money);
    // Its caption is a button that explains it: the field is named so.
    edit(IDC_WAGEHR)->setAccessibleName(QStringLiteral("Wage / Hour"));

    AddButton(1, QStringLiteral("&Save"), QRect(200, 425, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(330, 425, 110, 30));
}

CSerDlgMore::~CSerDlgMore() = default;

QComboBox *CSerDlgMore::combo(unsigned id) const
{
    return qobject_cast<QComboBox *>(GetDlgItem(this, id));
}

QLineEdit *CSerDlgMore::edit(unsigned id) const
{
    return qobject_cast<QLineEdit *>(GetDlgItem(this, id));
}

QString CSerDlgMore::AutoAddText(qint32 serNo)
{
    if (serNo == 0)
        return QStringLiteral("< click to select >");
    return ZqApp() ? ZqApp()->GetServiceFullName(serNo) : QString();
}

bool CSerDlgMore::OnInitDialog()
{
    m_nColorScheme = m_nMode == 0 ? Appearance::instance().GetViewHue(30002, true) : 1;
    m_strRibbonTitle = QStringLiteral("More Service Properties");
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    InitRibbons(6, 1, 2, 14);

    // Code lists without the names hidden by a leading "~".
    FillFromQuery(combo(IDC_PRODDEP), nullptr,
                  QStringLiteral("SELECT DepID, Name FROM ProductionDepts WHERE Name NOT LIKE '~*' ORDER BY Sort, Name"));
    FillFromQuery(combo(IDC_OPERATOR), nullptr,
                  QStringLiteral("SELECT EmpNo, Name FROM Employees WHERE (EmpNo = 0 or Type = 0) AND Name NOT LIKE "
                                 "'~*' ORDER BY Sort, Name"));
    FillFromQuery(combo(IDC_TAG), nullptr,
                  QStringLiteral("SELECT TagID, Name FROM ProductionTags WHERE Type = 0 AND Name NOT LIKE '~*' ORDER "
                                 "BY Sort, Name"));
    const int vendorType = IsPaperCategory(m_set.m_CatNo) ? 0 : m_set.m_CatNo == 502 ? 2 : 1;
    FillFromQuery(combo(IDC_VENDOR), nullptr,
                  QStringLiteral("SELECT [No], Name FROM Vendors WHERE ([No] = 0 or Type = %1) AND Name NOT LIKE '~*' "
                                 "ORDER BY Sort, Name")
                      .arg(vendorType));
    QComboBox *schedule = combo(IDC_SCHEDBY);
    AddComboItem(schedule, QStringLiteral("No"), 0);
    for (const QString &start : {QStringLiteral("Date In + "), QStringLiteral("Proof Due + "),
                                 QStringLiteral("Job Due - ")})
        for (int n = 0; n <= 7; ++n)
            AddComboItem(schedule, start + QString::number(n) + QStringLiteral(" days"), n);
    const std::pair<unsigned, const char *> columns[] = {{IDC_SKU, "SKU"}, {IDC_UPC, "UPC"}, {IDC_FSC, "FSC"}};
    for (const auto &[id, column] : columns)
        HoldToColumn(id, m_set, QString::fromLatin1(column));
    FillControls();
    EnableItem(1, m_nMode == 0);
    return true;
}

void CSerDlgMore::FillControls()
{
    *m_shown = m_set;
    ClearNullPatterns(*m_shown);
    const CSerSet &s = *m_shown;
    selectCode(combo(IDC_PRODDEP), s.m_ProdDepID);
    selectCode(combo(IDC_OPERATOR), s.m_Operator);
    selectCode(combo(IDC_TAG), s.m_Tag);
    selectCode(combo(IDC_VENDOR), s.m_VendorNo);
    selectCode(combo(IDC_SCHEDBY), s.m_SchedBy);
    edit(IDC_SKU)->setText(s.m_SKU);
    edit(IDC_UPC)->setText(s.m_UPC);
    edit(IDC_FSC)->setText(s.m_FSC);
    SetItemCheck(IDC_OPTINV, s.m_OptInv);
    SetItemCheck(IDC_OPTTAX, s.m_OptTax);
    SetItemCheck(IDC_OPTCOM, s.m_OptCom);
    SetItemCheck(IDC_OPTWO, s.m_OptWO);
    edit(IDC_MINLEVEL)->setText(QString::number(s.m_MinLevel));
    edit(IDC_REORDER)->setText(QString::number(s.m_ReOrder));
    edit(IDC_INSTOCK)->setText(QString::number(s.m_InStock));
    edit(IDC_ONORDER)->setText(QString::number(s.m_OnOrder));
    edit(IDC_WAGEHR)->setText(s.m_WageHr.isZero() ? QString() : FormatMoney(s.m_WageHr));
    m_autoAdd->setText(AutoAddText(s.m_AutoAdd));
}

bool CSerDlgMore::ReadControls()
{
    qint32 numbers[4] = {};
    const unsigned ids[4] = {IDC_MINLEVEL, IDC_REORDER, IDC_INSTOCK, IDC_ONORDER};
    // Read whole as every field reads its kind; what does not read is
    // refused naming the field.
    const auto refuse = [this](unsigned id, const QString &message) {
        // The value shown before this typing is back in the field.
        edit(id)->setText(ValueShownBeforeTyping(edit(id)));
        platform::Prompt::messageBox(FieldMessage(FieldName(edit(id)), message), QString(),
                                     platform::MB_ICONEXCLAMATION);
        FocusItem(id);
        return false;
    };
    for (int i = 0; i < 4; ++i) {
        const QString text = edit(ids[i])->text().trimmed();
        std::int32_t value = 0;
        if (!text.isEmpty() && !ReadTypedQuantity(text, value))
            return refuse(ids[i], TypedQuantityMessage(text));
        numbers[i] = value;
    }
    const QString wageText = edit(IDC_WAGEHR)->text().trimmed();
    Money wage = Money::zero();
    if (!wageText.isEmpty() && !ReadTypedMoney(wageText, wage, 2))
        return refuse(IDC_WAGEHR, TypedMoneyMessage(wageText));
    CSerSet &s = m_set;
    CSerSet &sh = *m_shown;
    StoreIfChanged(s.m_ProdDepID, sh.m_ProdDepID, quint8(comboCode(combo(IDC_PRODDEP))));
    StoreIfChanged(s.m_Operator, sh.m_Operator, quint8(comboCode(combo(IDC_OPERATOR))));
    StoreIfChanged(s.m_Tag, sh.m_Tag, quint8(comboCode(combo(IDC_TAG))));
    StoreIfChanged(s.m_VendorNo, sh.m_VendorNo, quint8(comboCode(combo(IDC_VENDOR))));
    StoreIfChanged(s.m_SchedBy, sh.m_SchedBy, quint8(comboCode(combo(IDC_SCHEDBY))));
    StoreIfChanged(s.m_SKU, sh.m_SKU, edit(IDC_SKU)->text());
    StoreIfChanged(s.m_UPC, sh.m_UPC, edit(IDC_UPC)->text());
    StoreIfChanged(s.m_FSC, sh.m_FSC, edit(IDC_FSC)->text());
    StoreIfChanged(s.m_OptInv, sh.m_OptInv, quint8(IsItemChecked(IDC_OPTINV) ? 1 : 0));
    StoreIfChanged(s.m_OptTax, sh.m_OptTax, quint8(IsItemChecked(IDC_OPTTAX) ? 1 : 0));
    StoreIfChanged(s.m_OptCom, sh.m_OptCom, quint8(IsItemChecked(IDC_OPTCOM) ? 1 : 0));
    StoreIfChanged(s.m_OptWO, sh.m_OptWO, quint8(IsItemChecked(IDC_OPTWO) ? 1 : 0));
    StoreIfChanged(s.m_MinLevel, sh.m_MinLevel, numbers[0]);
    StoreIfChanged(s.m_ReOrder, sh.m_ReOrder, numbers[1]);
    StoreIfChanged(s.m_InStock, sh.m_InStock, numbers[2]);
    StoreIfChanged(s.m_OnOrder, sh.m_OnOrder, numbers[3]);
    StoreIfChanged(s.m_WageHr, sh.m_WageHr, wage);
    return true;
}

void CSerDlgMore::OnOK()
{
    if (m_nMode != 0 || !HeldTextsFit() || !ReadControls())
        return;
    EndDialog(IDOK_RESULT);
}

bool CSerDlgMore::OnCommand(int id)
{
    switch (id) {
    case IDC_AUTOADD:
        PickAutoAdd();
        return true;
    case CAP_WAGE:
        platform::Prompt::messageBox(
            QStringLiteral("Wage/Hr is what you pay to the operator including benefits. It is a direct cost and used "
                           "in calculating the out of pocket cost of this service. \n\nIMPORTANT: Wage/Hr is NOT "
                           "used in calculating cost and price."),
            QString(), platform::MB_ICONINFORMATION);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CSerDlgMore::PickAutoAdd()
{
    if (m_nMode != 0)
        return;
    CSerList picker(0, 0, m_shown->m_AutoAdd, true, this);
    if (picker.DoModal() != IDOK_RESULT)
        return;
    m_set.m_AutoAdd = picker.GetChecked(0);
    m_shown->m_AutoAdd = m_set.m_AutoAdd;
    m_autoAdd->setText(AutoAddText(m_set.m_AutoAdd));
}
