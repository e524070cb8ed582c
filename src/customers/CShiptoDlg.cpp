#include "customers/CShiptoDlg.h"

#include "app/base/TypedValue.h"

#include "app/base/DateRanges.h"
#include "app/base/DialogControls.h"
#include "controls/CXDateEdit.h"
#include "controls/DlgItem.h"
#include "data/CCusSet.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"
#include "platform/Prompt.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

namespace {
constexpr unsigned kNote = 1311;
const QString kNew = QStringLiteral("< new >");
} // namespace

CShiptoDlg::CShiptoDlg(qint32 cusNo, qint32 shiptoNo, int colourScheme, const QString &title, QWidget *parent)
    : CDlg0(611, parent), m_nCusNo(cusNo), m_nShiptoNo(shiptoNo), m_strTitle(title)
{
    m_nColorScheme = colourScheme;
    resize(560, 470);
    AddPlaceholder(1521, QRect(10, 10, 540, 24), QStringLiteral("Address"));
    auto row = [this](const QString &label, int y) { AddLabel(label, QRect(14, y + 3, 90, 20)); };
    row(QStringLiteral("Attention"), 42);
    AddEdit(1307, QRect(110, 42, 250, 24));
    AddLabel(QStringLiteral("Phone"), QRect(370, 45, 50, 20));
    AddEdit(1309, QRect(420, 42, 130, 24));
    row(QStringLiteral("Company"), 70);
    AddEdit(1301, QRect(110, 70, 440, 24));
    row(QStringLiteral("Address 1"), 98);
    AddMultiLineEdit(1302, QRect(110, 98, 440, 42));
    row(QStringLiteral("Address 2"), 144);
    AddMultiLineEdit(1303, QRect(110, 144, 440, 42));
    row(QStringLiteral("City"), 190);
    AddEdit(1304, QRect(110, 190, 220, 24));
    AddEdit(1305, QRect(334, 190, 60, 24))->setProperty("fieldName", QStringLiteral("State"));
    AddEdit(1306, QRect(398, 190, 152, 24))->setProperty("fieldName", QStringLiteral("Zip"));
    row(QStringLiteral("Country"), 218);
    AddEdit(1308, QRect(110, 218, 440, 24));
    row(QStringLiteral("Created"), 248);
    row(QStringLiteral("Modified"), 276);
    for (unsigned id : {2401u, 2402u}) {
        auto *picker = new CXDateEdit(this);
        picker->setGeometry(110, id == 2401 ? 248 : 276, 150, 24);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        SetPickerNoDate(picker);
        SetDlgCtrlID(picker, id);
    }
    AddLabel(QStringLiteral("Ship &by"), QRect(280, 251, 60, 20), 1912)->hide();
    auto combo = [this](unsigned id, const QRect &r) {
        auto *c = new QComboBox(this);
        c->setGeometry(r);
        SetDlgCtrlID(c, id);
        return c;
    };
    combo(1202, QRect(340, 248, 210, 24))->hide();
    AddLabel(QStringLiteral("&Tax"), QRect(280, 279, 60, 20), 1913)->hide();
    combo(1203, QRect(340, 276, 210, 24))->hide();
    row(QStringLiteral("Status"), 306);
    combo(1201, QRect(110, 306, 150, 24));
    AddPlaceholder(30263, QRect(10, 338, 100, 30), QStringLiteral("Note..."));
    AddMultiLineEdit(kNote, QRect(110, 338, 440, 70));
    AddButton(1, QStringLiteral("OK"), QRect(360, 424, 90, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(460, 424, 90, 30));
}

bool CShiptoDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_panel.CreateFromItem(this, 1521, m_nColorScheme, 14, 2, 2, 2084, QStringLiteral("Address"));
    if (m_noteRibbon.Create(this, 30263, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 26)) {
        m_noteRibbon.AddItem(30263, QStringLiteral("Note..."), struct_RIB_ITEM::Normal, 131, 180, 2, 2084, 7, 2, 96);
        m_noteRibbon.RecalcLayout(251);
        connect(&m_noteRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    QString sql;
    GetCodeListSql(sql, 303, true);
    FillListFromQuery(this, 1202, sql);
    GetCodeListSql(sql, 502, true);
    FillListFromQuery(this, 1203, sql);
    FillDlgListFromText(this, 1201, QStringLiteral("Active,On Hold,Hidden,"));

    const qint32 given = m_nShiptoNo;
    if (m_nShiptoNo != 0 && m_set.FindByNo(m_nShiptoNo, true)) {
        m_nCusNo = m_set.m_CusNo;
    } else {
        CShiptoSet source;
        const bool copy = m_nCopyFrom != 0 && source.FindByNo(m_nCopyFrom);
        m_nShiptoNo = 0;
        if (!m_set.SafeAddNew()) {
            EndDialog(IDCANCEL_RESULT);
            return true;
        }
        if (copy) {
            m_set = source;
            // The copy is told apart from its source until someone names it.
            m_set.m_Attention = kNew;
        } else {
            m_set.m_Company = kNew;
            m_set.m_Address.clear();
        }
        if (m_nCusNo == 0)
            m_nCusNo = CCusSet::WalkInCustomer;
        m_set.m_CusNo = m_nCusNo;
        m_set.m_Type = 0;
    }
    CCusSet customer;
    QString name;
    customer.GetCustomerName(name, m_nCusNo);
    setWindowTitle(QStringLiteral("Shipto (# %1) - %2").arg(m_nShiptoNo != 0 ? given : 0).arg(name));
    // Every text field holds to its column: typing stops where the row would cut.
    const std::pair<unsigned, const char *> columns[] = {
        {1307, "Attention"}, {1309, "Phone"}, {1301, "Company"}, {1302, "Address"}, {1303, "Address2"},
        {1304, "City"},      {1305, "State"}, {1306, "Zip"},     {1308, "Country"}};
    for (const auto &[id, column] : columns)
        HoldToColumn(id, m_set, QString::fromLatin1(column));
    Exchange(false);
    return true;
}

bool CShiptoDlg::Exchange(bool save)
{
    DataExchange dx(this, save);
    const std::pair<unsigned, QString *> texts[] = {
        {1307, &m_set.m_Attention}, {1309, &m_set.m_Phone}, {1301, &m_set.m_Company}, {1302, &m_set.m_Address},
        {1303, &m_set.m_Address2},  {1304, &m_set.m_City},  {1305, &m_set.m_State},   {1306, &m_set.m_Zip},
        {1308, &m_set.m_Country},   {kNote, &m_set.m_ShipNote}};
    for (const auto &[id, value] : texts) {
        QWidget *w = GetDlgItem(this, id);
        // A field another workstation changed too is named as its label here.
        if (!save && w)
            m_set.SetFieldCaption(value, id == kNote ? QStringLiteral("Note") : FieldName(w));
        if (auto *e = qobject_cast<QLineEdit *>(w)) {
            if (save) *value = e->text(); else e->setText(*value);
        } else if (auto *p = qobject_cast<QPlainTextEdit *>(w)) {
            if (save) *value = p->toPlainText(); else p->setPlainText(*value);
        }
    }
    auto combo = [this](unsigned id) { return qobject_cast<QComboBox *>(GetDlgItem(this, id)); };
    if (!save) {
        NameComboField(m_set, &m_set.m_ShipBy, QStringLiteral("Ship by"), combo(1202));
        NameComboField(m_set, &m_set.m_TaxBy, QStringLiteral("Tax"), combo(1203));
        NameComboField(m_set, &m_set.m_Type, QStringLiteral("Status"), combo(1201), true);
    }
    DDX_CBData(dx, combo(1202), m_set.m_ShipBy);
    DDX_CBData(dx, combo(1203), m_set.m_TaxBy);
    DDX_CBIndexField(dx, combo(1201), m_set.m_Type, &m_set);
    for (const auto &[id, date] : {std::pair<unsigned, DateTime *>{2401, &m_set.m_Created},
                                   std::pair<unsigned, DateTime *>{2402, &m_set.m_Modified}}) {
        auto *picker = qobject_cast<QDateTimeEdit *>(GetDlgItem(this, id));
        // A date never set (empty, or the zero date) shows as no date.
        if (!save && (!date->isValid() || date->toOle() == 0.0))
            SetPickerNoDate(picker);
        else if (!(save && PickerShowsNoDate(picker)))
            DDX_DateTimeCtrl(dx, picker, *date);
    }
    return !dx.failed();
}

bool CShiptoDlg::OnCommand(int id)
{
    if (id == 30263) {
        OnNote();
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CShiptoDlg::OnNote()
{
    Exchange(true);
    CNoteDlg note(QStringLiteral("Note"), QStringLiteral("About this address"), m_set.m_ShipNote,
                  CNoteDlg::EditNote, this);
    if (note.DoModal() == IDOK_RESULT)
        SetItemText(kNote, note.m_strNote);
}

void CShiptoDlg::OnOK()
{
    if (!HeldTextsFit() || !Exchange(true))
        return;
    if (m_set.m_Company == kNew) {
        platform::Prompt::messageBox(QStringLiteral("Please enter the Company Name"));
        FocusItem(1301);
        return;
    }
    if (m_set.GetEditMode() == CXDaoSet::dbEditAdd) {
        for (DateTime *date : {&m_set.m_Created, &m_set.m_Modified})
            if (!date->isValid() || date->toOle() == 0.0)
                *date = GetToday();
    }
    if (!m_set.SaveRecord(platform::MB_ICONINFORMATION))
        return;
    m_bSaved = true;
    m_nShiptoNo = m_set.m_ShiptoNo;
    m_strAddress = m_set.GetAddress(1);
    EndDialog(IDOK_RESULT);
}

void CShiptoDlg::OnCancel()
{
    if (m_set.IsOpen() && m_set.GetEditMode() != CXDaoSet::dbEditNone)
        m_set.CancelUpdate();
    EndDialog(IDCANCEL_RESULT);
}
