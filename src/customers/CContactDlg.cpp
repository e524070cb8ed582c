#include "customers/CContactDlg.h"

#include "app/base/CListItem.h"
#include "app/base/DateRanges.h"
#include "controls/CXDateEdit.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/DlgItem.h"
#include "customers/CustomerHooks.h"
#include "data/CCusSet.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/OptionsAndLookups.h"
#include "platform/Prompt.h"
#include "views/CNoteDlg.h"
#include "views/CView0.h"

#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include <vector>

namespace {
constexpr unsigned kGrid = 2111;
constexpr unsigned kNote = 1311;
constexpr unsigned kTree = 2201;
const QString kNew = QStringLiteral("< new >");
} // namespace

CContactDlg::CContactDlg(qint32 cusNo, qint32 contactNo, int colourScheme, const QString &caption, QWidget *parent)
    : CDlg0(621, parent), m_nCusNo(cusNo), m_nContactNo(contactNo), m_strCaption(caption)
{
    m_nColorScheme = colourScheme;
    m_bEnterAsTab = 0;
    resize(720, 540);
    AddPlaceholder(kGrid, QRect(10, 10, 360, 470));
    AddPlaceholder(1521, QRect(380, 10, 330, 24), QStringLiteral("User-Defined Properties"));
    m_tree = new CXTreeOptCtrl(this);
    m_tree->setGeometry(380, 36, 330, 120);
    SetDlgCtrlID(m_tree, kTree);
    AddPlaceholder(1522, QRect(380, 164, 330, 24), QStringLiteral("Note"));
    AddMultiLineEdit(kNote, QRect(380, 190, 250, 96));
    AddButton(30263, QStringLiteral("Note..."), QRect(636, 190, 74, 26));
    AddPlaceholder(1523, QRect(380, 294, 330, 24), QStringLiteral("Dates"));
    const char *const labels[] = {"Created", "Modified", "Other", "Last Email", "Last Survey"};
    for (int i = 0; i < 5; ++i) {
        AddLabel(QString::fromLatin1(labels[i]), QRect(390, 324 + i * 30, 100, 22));
        auto *picker = new CXDateEdit(this);
        picker->setGeometry(500, 322 + i * 30, 150, 24);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        SetPickerNoDate(picker);
        SetDlgCtrlID(picker, unsigned(2401 + i));
    }
    AddButton(1, QStringLiteral("OK"), QRect(520, 494, 90, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(620, 494, 90, 30));
}

bool CContactDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    for (int i = 0; i < 3; ++i) {
        const unsigned id = unsigned(1521 + i);
        m_panels[i].CreateFromItem(this, id, m_nColorScheme, 14, 2, 2, 2084, QString());
    }
    // The row, found or new.
    if (m_nContactNo != 0 && m_set.FindContact(m_nContactNo, true)) {
        m_nCusNo = m_set.m_CusNo;
    } else {
        CContactSet source;
        const bool copy = m_nCopyFrom != 0 && source.FindContact(m_nCopyFrom);
        m_nContactNo = 0;
        if (!m_set.SafeAddNew()) {
            EndDialog(IDCANCEL_RESULT);
            return true;
        }
        if (copy)
            m_set = source;
        // A copy starts unnamed too, and cannot be saved until it is named.
        m_set.m_First = kNew;
        m_set.m_Last.clear();
        if (m_nCusNo == 0)
            m_nCusNo = CCusSet::WalkInCustomer;
        m_set.m_CusNo = m_nCusNo;
        m_set.m_Type = 0;
        m_set.m_PropID = 0;
    }
    CCusSet customer;
    customer.GetCustomerName(m_strCustomerName, m_nCusNo);
    setWindowTitle(QStringLiteral("%1 %2  (Contact# %3)  -  %4")
                       .arg(m_set.m_First, m_set.m_Last)
                       .arg(m_nContactNo)
                       .arg(m_strCustomerName));
    m_tree->LoadOptionsFromQuery(QStringLiteral("SELECT ID, Text FROM Properties WHERE Type = 2 ORDER BY ID"), 215,
                                 QStringLiteral("User-Defined Properties"));
    m_tree->SetCheckedBits(m_set.m_PropID);
    BuildGrid();
    Exchange(false);
    if (QLineEdit *editor = m_grid.textEditor())
        connect(editor, &QLineEdit::textEdited, this, &CContactDlg::ShowTypedName);
    m_grid.EditRow(RowFirst);
    return true;
}

void CContactDlg::ShowTypedName()
{
    const auto typed = [this](int row) {
        QString text;
        if (m_grid.GetCurRow() == row && m_grid.textEditor())
            text = m_grid.textEditor()->text();
        else
            m_grid.GetRowText(row, text);
        return text;
    };
    const QString first = typed(RowFirst);
    const QString last = typed(RowLast);
    m_grid.SetRowLabel(RowHeading, first + QLatin1Char(' ') + last);
    setWindowTitle(QStringLiteral("%1 %2  (Contact# %3)  -  %4")
                       .arg(first, last)
                       .arg(m_nContactNo)
                       .arg(m_strCustomerName));
}

void CContactDlg::BuildGrid()
{
    m_grid.AddSection(m_set.m_First + QLatin1Char(' ') + m_set.m_Last);
    m_grid.AddRow(1, QStringLiteral("First"));
    m_grid.AddRow(1, QStringLiteral("Last"));
    m_grid.AddListRow(3, QStringLiteral("Salutation"), QStringLiteral("Mr.,Mrs.,Ms.,Miss,"));
    m_grid.AddRow(1, QStringLiteral("Job Title"));
    const int dept = m_grid.AddRow(2, QStringLiteral("Department"));
    QString sql;
    GetCodeListSql(sql, 403, true);
    m_grid.AddPickItemsFromSQL(dept, sql);
    m_grid.AddCaption(QStringLiteral("Contact"));
    m_grid.AddRow(1, QStringLiteral("Phone 1"));
    m_grid.AddRow(1, QStringLiteral("Phone 2"));
    m_grid.AddRow(1, QStringLiteral("Mobile"));
    m_grid.AddRow(1, QStringLiteral("Fax"));
    m_grid.AddRow(1, QStringLiteral("Email"), QString(), 1, 30107, 180);
    m_grid.AddCaption(QStringLiteral("Options"));
    for (const char *label : {"Send Email", "Send Survey", "Key Contact", "Order Online"})
        m_grid.AddListRow(2, QString::fromLatin1(label), QStringLiteral("No,Yes,"));
    m_grid.AddListRow(2, QStringLiteral("Status"), QStringLiteral("Active,On Hold,Hidden,"));
    // The rows are in place before the grid takes its placeholder's room.
    m_grid.CreateInDlgItem(this, kGrid, m_nColorScheme, 110);
    m_grid.UpdateRowCount();
    // Each text row stops at the size of the column it is kept in.
    const std::pair<int, const char *> columns[] = {
        {RowFirst, "First"}, {RowLast, "Last"},     {RowTitle, "Title"}, {RowPosition, "Postion"},
        {RowPhone, "Phone"}, {RowPhone2, "Phone2"}, {RowCell, "Cell"},   {RowFax, "Fax"},
        {RowEmail, "Email"}};
    for (const auto &[row, column] : columns)
        m_grid.SetRowTextLimit(row, m_set.GetFieldSize(QString::fromLatin1(column)));
    connect(&m_grid, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
}

void CContactDlg::Exchange(bool save)
{
    if (!save)
        NameFields();
    m_grid.SetSaveMode(save ? 1 : 0);
    m_grid.ExchangeText(RowFirst, m_set.m_First);
    m_grid.ExchangeText(RowLast, m_set.m_Last);
    m_grid.ExchangeText(RowTitle, m_set.m_Title);
    m_grid.ExchangeText(RowPosition, m_set.m_Postion);
    m_grid.ExchangeByte(RowDept, m_set.m_Dept);
    m_grid.ExchangeText(RowPhone, m_set.m_Phone);
    m_grid.ExchangeText(RowPhone2, m_set.m_Phone2);
    m_grid.ExchangeText(RowCell, m_set.m_Cell);
    m_grid.ExchangeText(RowFax, m_set.m_Fax);
    m_grid.ExchangeText(RowEmail, m_set.m_Email);
    m_grid.ExchangeByte(RowSendEmail, m_set.m_SendEmail);
    m_grid.ExchangeByte(RowSendSurvey, m_set.m_SendSurvey);
    m_grid.ExchangeByte(RowKeyContact, m_set.m_KeyContact);
    m_grid.ExchangeByte(RowWebOption, m_set.m_WebOption);
    m_grid.ExchangeByte(RowStatus, m_set.m_Type);
    m_grid.SetSaveMode(0);

    auto *note = qobject_cast<QPlainTextEdit *>(GetDlgItem(this, kNote));
    if (note) {
        if (save)
            m_set.m_ContactNote = note->toPlainText();
        else
            note->setPlainText(m_set.m_ContactNote);
    }
    DataExchange dx(this, save);
    DateTime *dates[] = {&m_set.m_Created, &m_set.m_Modified, &m_set.m_OtherDate, &m_set.m_LastEmail,
                         &m_set.m_LastSurvey};
    for (int i = 0; i < 5; ++i) {
        auto *picker = qobject_cast<QDateTimeEdit *>(GetDlgItem(this, unsigned(2401 + i)));
        // A date never set (empty, or the zero date) shows as no date, and a
        // picker left without a date keeps the value as it was.
        const bool unset = !dates[i]->isValid() || dates[i]->toOle() == 0.0;
        if (!save && unset)
            SetPickerNoDate(picker);
        else if (!(save && PickerShowsNoDate(picker)))
            DDX_DateTimeCtrl(dx, picker, *dates[i]);
    }
}

void CContactDlg::NameFields()
{
    // A field another workstation changed too is named as its row here, and
    // a choice by the text its list shows.
    const std::pair<int, const void *> rows[] = {
        {RowFirst, &m_set.m_First},         {RowLast, &m_set.m_Last},           {RowTitle, &m_set.m_Title},
        {RowPosition, &m_set.m_Postion},    {RowDept, &m_set.m_Dept},           {RowPhone, &m_set.m_Phone},
        {RowPhone2, &m_set.m_Phone2},       {RowCell, &m_set.m_Cell},           {RowFax, &m_set.m_Fax},
        {RowEmail, &m_set.m_Email},         {RowSendEmail, &m_set.m_SendEmail}, {RowSendSurvey, &m_set.m_SendSurvey},
        {RowKeyContact, &m_set.m_KeyContact}, {RowWebOption, &m_set.m_WebOption}, {RowStatus, &m_set.m_Type}};
    for (const auto &[row, member] : rows) {
        m_set.SetFieldCaption(member, m_grid.rowLabel(row));
        std::vector<std::pair<qint64, QString>> entries;
        for (const CListItem &item : m_grid.pickItems())
            if (item.number(1) == row)
                entries.emplace_back(item.m_value, item.m_text);
        if (entries.empty())
            continue;
        m_set.SetFieldShownAs(member, [entries](const platform::Value &value) {
            if (value.isNull())
                return QString();
            for (const auto &[code, text] : entries)
                if (code == value.toInt64())
                    return text;
            return value.toString();
        });
    }
    m_set.SetFieldCaption(&m_set.m_ContactNote, QStringLiteral("Note"));
}

bool CContactDlg::OnCommand(int id)
{
    switch (id) {
    case 30107: OnEmail(); return true;
    case 30263: OnNote(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CContactDlg::OnOK()
{
    Exchange(true);
    if (m_set.m_First == kNew) {
        platform::Prompt::messageBox(QStringLiteral("Please enter contact's name"));
        m_grid.EditRow(RowFirst);
        return;
    }
    // A text longer than its column is refused by its row's label, the
    // window open with everything typed.
    if (!HeldTextsFit())
        return;
    m_set.m_PropID = quint8(m_tree->GetCheckedBits());
    if (m_set.GetEditMode() == CXDaoSet::dbEditAdd) {
        for (DateTime *date : {&m_set.m_Created, &m_set.m_Modified})
            if (!date->isValid() || date->toOle() == 0.0)
                *date = GetToday();
    }
    if (!m_set.SaveRecord(platform::MB_ICONINFORMATION))
        return;
    m_bChanged = true;
    m_nContactNo = m_set.m_ContactNo;
    m_strName = m_set.GetNameText(5);
    EndDialog(IDOK_RESULT);
}

void CContactDlg::OnCancel()
{
    if (m_set.IsOpen() && m_set.GetEditMode() != CXDaoSet::dbEditNone)
        m_set.CancelUpdate();
    EndDialog(IDCANCEL_RESULT);
}

void CContactDlg::OnEmail()
{
    Exchange(true);
    const auto &send = customerHooks().sendMail;
    if (!send) {
        CView0::ReportNotAvailable(QStringLiteral("E-mail"));
        return;
    }
    send(m_set.m_Email, QString(), m_set.m_Title + QLatin1Char(' ') + m_set.m_First + QLatin1Char(' ') + m_set.m_Last +
                                       QLatin1Char(','));
}

void CContactDlg::OnNote()
{
    Exchange(true);
    CNoteDlg note(QStringLiteral("Note"), QStringLiteral("About Contact"), m_set.m_ContactNote, CNoteDlg::EditNote,
                  this);
    if (note.DoModal() != IDOK_RESULT)
        return;
    SetItemText(kNote, note.m_strNote);
}
