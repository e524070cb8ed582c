#include "customers/CCusDlg.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/DialogControls.h"
#include "app/base/TypedValue.h"
#include "controls/CXDateEdit.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/DlgItem.h"
#include "controls/ValueField.h"
#include "customers/CContactList.h"
#include "customers/CCusSummary.h"
#include "customers/CShiptoList.h"
#include "customers/CustomerHooks.h"
#include "customers/CustomerRecords.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/CShiptoSet.h"
#include "data/DaoError.h"
#include "data/DataExchange.h"
#include "data/HeldNewCustomers.h"
#include "data/DialogFieldExchange.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"
#include "views/CView0.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

namespace {

constexpr int kCustomersView = 30003;
constexpr qint32 kLastReservedCustomer = 31;
constexpr unsigned kNameItem = 30282;
constexpr unsigned kStatusButton = 30526;
constexpr unsigned kReminders = 8900;
const QString kNew = QStringLiteral("< new >");

const QString kPriceLevels =
    QStringLiteral("Normal,Bid,Rush,Special,----------------------,Ask Item Unit Price,Ask Item Price,"
                   "----------------------,");

// The status button of each customer status.
struct StatusLook
{
    const char *caption;
    int image;
};
constexpr StatusLook kStatusLook[] = {{"Active", 66}, {"On Hold", 67}, {"Hidden", 68}};

QString numberText(qint32 n)
{
    return QString::number(n);
}

int customersHue()
{
    return Appearance::instance().GetViewHue(kCustomersView, true);
}

} // namespace

CCusDlg::CCusDlg(CCusSet &set, CXListCtrl *list, QWidget *parent) : CDlgRibbon(600, parent), m_set(set)
{
    m_pAttachedList = list;
    m_strWindowName = QStringLiteral("Customer");
    m_strRibbonTitle = QStringLiteral("Customer");
    m_bSavePlacement = 1;
    m_creditDue = m_set.m_CreditDue;
    BuildLayout();
}

// --- layout ---------------------------------------------------------------------

void CCusDlg::BuildLayout()
{
    resize(1004, 728);
    AddPlaceholder(kRecordRibbon, QRect(0, 0, 1004, 40));
    AddPlaceholder(kRibbon3, QRect(0, 42, 1004, 44));
    AddPlaceholder(1521, QRect(10, 94, 480, 24), QStringLiteral("BILL TO"));
    AddPlaceholder(kRibbon4, QRect(500, 90, 494, 44));

    auto label = [this](const QString &text, int x, int y, int w = 90) {
        AddLabel(text, QRect(x, y + 3, w, 20));
    };
    auto combo = [this](unsigned id, int x, int y, int w) {
        auto *c = new QComboBox(this);
        c->setGeometry(x, y, w, 24);
        c->setMaxVisibleItems(20);
        SetDlgCtrlID(c, id);
        return c;
    };

    // The bill-to address.
    label(QStringLiteral("Company"), 10, 124);
    AddEdit(IDC_NAME, QRect(100, 124, 390, 24));
    label(QStringLiteral("Address1"), 10, 152);
    AddMultiLineEdit(IDC_ADDRESS, QRect(100, 152, 390, 44));
    label(QStringLiteral("Address2"), 10, 200);
    AddMultiLineEdit(IDC_ADDRESS2, QRect(100, 200, 390, 44));
    label(QStringLiteral("City"), 10, 248);
    AddEdit(IDC_CITY, QRect(100, 248, 200, 24));
    AddEdit(IDC_STATE, QRect(304, 248, 60, 24));
    AddEdit(IDC_ZIP, QRect(368, 248, 122, 24));
    label(QStringLiteral("Country"), 10, 276);
    AddEdit(IDC_COUNTRY, QRect(100, 276, 390, 24));

    // The user-defined properties.
    AddPlaceholder(1522, QRect(500, 140, 494, 24), QStringLiteral("Properties"));
    m_tree = new CXTreeOptCtrl(this);
    m_tree->setGeometry(500, 166, 494, 134);
    SetDlgCtrlID(m_tree, IDC_PROPERTIES);

    // General.
    auto *general = new QGroupBox(QStringLiteral("General"), this);
    general->setGeometry(10, 308, 320, 330);
    SetDlgCtrlID(general, 1601);
    int y = 330;
    const int gx = 20, gc = 120, gw = 200;
    label(QStringLiteral("B&usiness"), gx, y); combo(IDC_BUSINESS, gc, y, gw); y += 27;
    label(QStringLiteral("Source"), gx, y); combo(IDC_SOURCE, gc, y, gw); y += 27;
    label(QStringLiteral("Sales Rep"), gx, y); combo(IDC_SREP, gc, y, gw); y += 27;
    label(QStringLiteral("Ship &Via"), gx, y); combo(IDC_SHIPVIA, gc, y, gw); y += 27;
    label(QStringLiteral("&Location"), gx, y); combo(IDC_LOCATION, gc, y, gw); y += 27;
    label(QStringLiteral("Alert"), gx, y); combo(IDC_ALERTIF, gc, y, gw); y += 27;
    label(QStringLiteral("Priority"), gx, y); combo(IDC_PRIORITY, gc, y, gw); y += 27;
    label(QStringLiteral("Web Orders"), gx, y); combo(IDC_WEBACCESS, gc, y, gw); y += 27;
    AddButton(IDC_PARENT_BUTTON, QStringLiteral("Parent No..."), QRect(gx, y, 96, 24));
    AddEdit(IDC_PARENTNO, QRect(gc, y, gw, 24)); y += 27;
    label(QStringLiteral("Customer &ID"), gx, y); AddEdit(IDC_CUSID, QRect(gc, y, gw, 24)); y += 27;
    label(QStringLiteral("&Group ID"), gx, y); AddEdit(IDC_GROUPID, QRect(gc, y, gw, 24));

    // Financial.
    auto *financial = new QGroupBox(QStringLiteral("Financial"), this);
    financial->setGeometry(340, 308, 340, 330);
    SetDlgCtrlID(financial, 1602);
    y = 330;
    const int fx = 350, fc = 460, fw = 210;
    label(QStringLiteral("Price Level"), fx, y); combo(IDC_PRICELEVEL, fc, y, fw); y += 27;
    label(QStringLiteral("Price Rounding"), fx, y, 108); combo(IDC_PRICEROUND, fc, y, fw); y += 27;
    label(QStringLiteral("P.O."), fx, y); combo(IDC_POREQ, fc, y, fw); y += 27;
    label(QStringLiteral("Late Fee"), fx, y); combo(IDC_LATEFEE, fc, y, fw); y += 27;
    label(QStringLiteral("Statement"), fx, y); combo(IDC_STATEMENT, fc, y, fw); y += 27;
    label(QStringLiteral("Ta&x"), fx, y); combo(IDC_TAX, fc, y, fw); y += 27;
    label(QStringLiteral("Ter&ms"), fx, y); combo(IDC_TERMS, fc, y, fw); y += 27;
    label(QStringLiteral("&Discount %"), fx, y); combo(IDC_DISCOUNT, fc, y, fw); y += 27;
    AddButton(IDC_CREDIT_BUTTON, QStringLiteral("Credit Due..."), QRect(fx, y, 100, 24));
    QLineEdit *due = AddEdit(IDC_CREDIT_DUE, QRect(fc, y, fw - 34, 24));
    ShowAsValueField(due);
    due->setAlignment(Qt::AlignRight);
    AddButton(IDC_CREDIT_HISTORY, QStringLiteral("..."), QRect(fc + fw - 30, y, 30, 24));
    y += 27;
    label(QStringLiteral("Credit Limit $"), fx, y, 108);
    AddEdit(IDC_CREDIT_LIMIT, QRect(fc, y, fw, 24))->setAlignment(Qt::AlignRight);

    // Dates.
    auto *dates = new QGroupBox(QStringLiteral("Dates"), this);
    dates->setGeometry(690, 308, 304, 100);
    SetDlgCtrlID(dates, 1603);
    for (unsigned id : {unsigned(IDC_CREATED), unsigned(IDC_MODIFIED)}) {
        const int row = id == IDC_CREATED ? 0 : 1;
        label(row == 0 ? QStringLiteral("Created") : QStringLiteral("Modified"), 700, 330 + row * 30);
        auto *picker = new CXDateEdit(this);
        picker->setGeometry(800, 330 + row * 30, 180, 24);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        SetDlgCtrlID(picker, id);
    }

    // A label's "&" letter moves the focus to the control beside it.
    for (QLabel *l : findChildren<QLabel *>()) {
        if (!l->text().contains(QLatin1Char('&')))
            continue;
        const QPoint right(l->geometry().right() + 40, l->geometry().center().y());
        for (QWidget *w : findChildren<QWidget *>()) {
            if (w != l && !qobject_cast<QLabel *>(w) && !qobject_cast<QGroupBox *>(w) && w->geometry().contains(right)) {
                l->setBuddy(w);
                break;
            }
        }
    }
    AddPlaceholder(kRibbon5, QRect(0, 646, 1004, 40));
    AddPlaceholder(kNavRibbon, QRect(0, 690, 400, 34));
    AddSizeMarker(QPoint(1004, 728));
}

void CCusDlg::BuildRibbons()
{
    const int hue = m_nColorScheme;
    if (m_wndRibbon3.Create(this, kRibbon3, hue, 1, 131, 8, 32, 3, 0, 0, 30)) {
        connect(&m_wndRibbon3, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = m_wndRibbon3;
        if (m_bReadOnly && m_set.m_CusNo <= kLastReservedCustomer)
            r.AddSpacer(80, 0); // the program's own customers are never edited from here
        else if (m_bReadOnly)
            r.AddItem(30103, QStringLiteral("Edit"), struct_RIB_ITEM::Normal, 131, 169, 2, 2084, 7, 2, 80);
        else
            r.AddItem(30100, QStringLiteral("New"), struct_RIB_ITEM::Normal, 131, 187, 2, 2084, 7, 2, 80);
        r.AddSpacer(20, 5);
        r.AddItem(30213, QStringLiteral("Save"), struct_RIB_ITEM::Normal, 131, 223, 2, 2084, 7, 2, 80);
        r.AddItem(30443, QStringLiteral("Save & Close"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 7, 2, 110);
        r.AddSpacer(20, 5);
        r.AddItem(30536, QStringLiteral("Summary"), struct_RIB_ITEM::Normal, 131, 207, 2, 2084, 7, 2, 90);
        r.AddSpacer(20, 5);
        r.AddItem(30330, QStringLiteral("Print"), struct_RIB_ITEM::Normal, 131, 190, 2, 2084, 7, 2, 80);
        r.AddItem(2, QStringLiteral("Close"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 7, 2, 80);
        // An empty item takes the free width, so the buttons keep theirs.
        r.AddItem(30284, QString(), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 10);
        r.RecalcLayout(30284);
    }
    m_wndBillTo.CreateFromItem(this, 1521, hue, 14, 2, 3, 2084, QStringLiteral("BILL TO"));
    m_wndProperties.CreateFromItem(this, 1522, hue, 14, 2, 2, 2084, QStringLiteral("Properties"));
    if (m_wndRibbon4.Create(this, kRibbon4, hue, 1, 131, 8, 32, 3, 0, 0, 30)) {
        connect(&m_wndRibbon4, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndRibbon4.AddItem(30408, QStringLiteral("Ship To"), struct_RIB_ITEM::Normal, 131, 155, 2, 2084, 7, 2, 150);
        m_wndRibbon4.AddItem(30411, QStringLiteral("Buyer"), struct_RIB_ITEM::Normal, 131, 149, 2, 2084, 7, 2, 150);
        m_wndRibbon4.AddItem(30412, QStringLiteral("Payer"), struct_RIB_ITEM::Normal, 131, 149, 2, 2084, 7, 2, 150);
        m_wndRibbon4.RecalcLayout(251);
    }
    if (m_wndRibbon5.Create(this, kRibbon5, hue, 1, 131, 8, 32, 3, 0, 0, 30)) {
        connect(&m_wndRibbon5, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndRibbon5.AddItem(1311, QStringLiteral("New Job Alert"), struct_RIB_ITEM::Normal, 131, 180, 2, 2084, 7, 2,
                             160);
        m_wndRibbon5.AddItem(1312, QStringLiteral("Work Order Note"), struct_RIB_ITEM::Normal, 131, 180, 2, 2084, 7,
                             2, 160);
        m_wndRibbon5.AddItem(1313, QStringLiteral("Invoice Memo"), struct_RIB_ITEM::Normal, 131, 180, 2, 2084, 7, 2,
                             160);
        m_wndRibbon5.AddItem(30263, QStringLiteral("Customer Note"), struct_RIB_ITEM::Normal, 131, 180, 2, 2084, 7,
                             2, 160);
        m_wndRibbon5.RecalcLayout(251);
    }
    if (m_wndRecordRibbon.isCreated()) {
        m_wndRecordRibbon.AddItem(kReminders, QStringLiteral("Reminders"), struct_RIB_ITEM::Normal, 131, 96, 2, 2084,
                                  0, 0, 110);
        m_wndRecordRibbon.RecalcLayout(kNameItem);
        AddRemindersItem(30003, m_set.m_CusNo);
    }
    for (unsigned id : {1601u, 1602u, 1603u})
        SetItemFont(id, 3);
}

void CCusDlg::FillLists()
{
    auto codeList = [this](unsigned id, int list) {
        QString sql;
        GetCodeListSql(sql, list, true);
        FillListFromQuery(this, int(id), sql);
    };
    codeList(IDC_BUSINESS, 402);
    codeList(IDC_SOURCE, 401);
    codeList(IDC_SREP, 603);
    codeList(IDC_SHIPVIA, 303);
    codeList(IDC_TAX, 502);
    codeList(IDC_TERMS, 503);
    FillDlgNumberList(this, IDC_DISCOUNT, 0, 100, QString(), QStringLiteral("%"), 0);
    FillDlgNumberList(this, IDC_LOCATION, 1, 32, QStringLiteral("Store "), QString(), 0);
    FillDlgListFromText(this, IDC_ALERTIF, QStringLiteral("Both,Past-Due,Over-Credit,None,"));
    FillDlgListFromText(this, IDC_PRIORITY, QStringLiteral(" ,Service,Quality,Price,Everything,"));
    FillDlgListFromText(this, IDC_WEBACCESS, QStringLiteral("No,Yes,"));
    FillDlgListFromText(this, IDC_PRICEROUND, QStringLiteral("Off,On,"));
    FillDlgListFromText(this, IDC_POREQ, QStringLiteral("No,Required,"));
    FillDlgListFromText(this, IDC_LATEFEE, QStringLiteral("No,Charge,"));
    FillDlgListFromText(this, IDC_STATEMENT, QStringLiteral("No,Send,"));
    // Price levels: the eight fixed entries, then 1 to 100 "% up" (codes 8 to
    // 107) and -1 to -50 "% down" (codes 108 to 157); the code is the position.
    FillDlgListFromText(this, IDC_PRICELEVEL, kPriceLevels);
    FillDlgNumberList(this, IDC_PRICELEVEL, 1, 100, QString(), QStringLiteral("% up"), 8);
    FillDlgNumberList(this, IDC_PRICELEVEL, -1, -50, QString(), QStringLiteral("% down"), 108);
    m_tree->LoadOptionsFromQuery(QStringLiteral("SELECT ID, Text FROM Properties WHERE Type = 1 ORDER BY ID"), 215,
                                 QStringLiteral("User-Defined Properties"));
}

// --- opening ----------------------------------------------------------------------

bool CCusDlg::OnInitDialog()
{
    m_nColorScheme = m_bReadOnly ? 1 : customersHue();
    CDlgRibbon::OnInitDialog();
    SetBackColor(0xF4F4F4);
    BuildRibbons();
    FillLists();
    if (m_set.IsOpen() && m_set.GetEditMode() == CXDaoSet::dbEditAdd)
        MakeNewCustomer();
    // The texts hold to their columns: typing stops where the row would cut.
    const std::pair<unsigned, const char *> columns[] = {
        {IDC_NAME, "Name"}, {IDC_ADDRESS, "Address"}, {IDC_ADDRESS2, "Address2"}, {IDC_CITY, "City"},
        {IDC_STATE, "State"}, {IDC_ZIP, "Zip"}, {IDC_COUNTRY, "Country"}, {IDC_CUSID, "CusID"},
        {IDC_GROUPID, "GroupID"}};
    for (const auto &[id, column] : columns)
        HoldToColumn(id, m_set, QString::fromLatin1(column));
    FillControls();
    UpdateRibbonStates();
    return true;
}

void CCusDlg::MakeNewCustomer()
{
    m_bNewRecord = true;
    m_set.InitNewCustomer();
    m_set.CopyCustomer(CCusSet::DefaultCustomer);
    // A new customer is active whatever the default customer's status is.
    m_set.m_CusStatus = 0;
    // Held by this workstation until it is saved or given up: a row left by
    // a copy of the program killed meanwhile goes at the next start.
    if (m_set.SaveNew(0))
        HeldNewCustomers::Hold(m_set.m_CusNo);
}

// --- filling ------------------------------------------------------------------------

void CCusDlg::FillControls()
{
    setWindowTitle(QStringLiteral("Customer No: ") + numberText(m_set.m_CusNo));
    if (m_wndRecordRibbon.isCreated())
        m_wndRecordRibbon.SetItemText(kNameItem, m_set.m_Name);
    m_strLoadedName = m_set.m_Name;
    ShowShipto();
    ShowContact(30411, m_set.m_BuyerNo);
    ShowContact(30412, m_set.m_PayerNo);
    if (m_wndRibbon5.isCreated())
        m_wndRibbon5.SetItemTip(30263, m_set.m_Memo);
    ShowAlerts();
    m_creditDue = m_set.m_CreditDue;
    m_tree->SetCheckedBits(m_set.m_PropID);
    ShowStatus();
    ExchangeFields(false);
    update();
}

void CCusDlg::ShowStatus()
{
    const int status = std::min<int>(m_set.m_CusStatus, 2);
    SetStatusButton(QString::fromLatin1(kStatusLook[status].caption), kStatusLook[status].image);
}

void CCusDlg::ShowShipto()
{
    if (!m_wndRibbon4.isCreated())
        return;
    CShiptoSet shipto;
    const QString text = shipto.GetAddressText(m_set.m_ShiptoNo, 1);
    const bool found = m_set.m_ShiptoNo != 0 && shipto.IsOpen() && !shipto.IsEmptySet();
    m_wndRibbon4.SetItemTip(30408, text);
    m_wndRibbon4.SetItemColor(30408, found ? GetStatusColorIndex(shipto.m_Type, 0) : 0);
}

void CCusDlg::ShowContact(unsigned itemId, qint32 contactNo)
{
    if (!m_wndRibbon4.isCreated())
        return;
    CContactSet contact;
    const QString card = contact.GetContactCard(contactNo, 5);
    const bool found = contactNo != 0 && contact.IsOpen() && !contact.IsEmptySet();
    m_wndRibbon4.SetItemTip(itemId, card);
    m_wndRibbon4.SetItemColor(itemId, found ? GetStatusColorIndex(contact.m_Type, 0) : 0);
}

void CCusDlg::ShowAlerts()
{
    if (!m_wndRibbon5.isCreated())
        return;
    for (int type = 1; type <= 3; ++type) {
        QString text;
        GetCustomerAlertText(text, m_set.m_CusNo, quint8(type));
        m_wndRibbon5.SetItemTip(unsigned(1310 + type), text);
    }
}

// --- exchange ---------------------------------------------------------------------------

bool CCusDlg::ExchangeFields(bool save)
{
    if (save && m_bReadOnly)
        return true; // a read-only window never reaches the record
    if (!m_set.IsOpen() || m_set.IsEmptySet())
        return !save;
    // A field that holds nothing (Null, as rows of older files and imports
    // do) shows empty and stays Null unless the user enters something, so
    // looking at a customer never turns into a change.
    DataExchange dx(this, save);
    // A field another workstation changed too is named as its label here.
    auto named = [&](QWidget *w, const void *member) {
        if (!save && w)
            m_set.SetFieldCaption(member, FieldName(w));
    };
    auto text = [&](unsigned id, QString &value) {
        QWidget *w = GetDlgItem(this, id);
        named(w, &value);
        const bool null = m_set.IsFieldNull(&value);
        if (auto *e = qobject_cast<QLineEdit *>(w)) {
            if (!save)
                e->setText(value);
            else if (!(null && e->text().isEmpty()))
                value = e->text();
        } else if (auto *p = qobject_cast<QPlainTextEdit *>(w)) {
            if (!save)
                p->setPlainText(value);
            else if (!(null && p->toPlainText().isEmpty()))
                value = p->toPlainText();
        }
    };
    auto combo = [this](unsigned id) { return qobject_cast<QComboBox *>(GetDlgItem(this, id)); };
    auto picker = [this](unsigned id) { return qobject_cast<QDateTimeEdit *>(GetDlgItem(this, id)); };

    text(IDC_NAME, m_set.m_Name);
    text(IDC_ADDRESS, m_set.m_Address);
    text(IDC_ADDRESS2, m_set.m_Address2);
    text(IDC_CITY, m_set.m_City);
    text(IDC_STATE, m_set.m_State);
    text(IDC_ZIP, m_set.m_Zip);
    text(IDC_COUNTRY, m_set.m_Country);
    text(IDC_CUSID, m_set.m_CusID);
    text(IDC_GROUPID, m_set.m_GroupID);

    // Code fields: by the entries' codes (code tables) or by position.
    struct CodeField
    {
        unsigned id;
        quint8 *value;
        bool byCode;
    };
    const CodeField codes[] = {
        {IDC_BUSINESS, &m_set.m_Business, true},      {IDC_SOURCE, &m_set.m_Source, true},
        {IDC_SREP, &m_set.m_SRepNo, true},            {IDC_SHIPVIA, &m_set.m_ShipVia, true},
        {IDC_TAX, &m_set.m_Tax, true},                {IDC_TERMS, &m_set.m_Terms, true},
        {IDC_LOCATION, &m_set.m_Location, false},     {IDC_ALERTIF, &m_set.m_AlertIf, false},
        {IDC_PRIORITY, &m_set.m_Priority, false},     {IDC_WEBACCESS, &m_set.m_WebAccess, false},
        {IDC_PRICELEVEL, &m_set.m_PriceLevel, false}, {IDC_PRICEROUND, &m_set.m_PriceRound, false},
        {IDC_POREQ, &m_set.m_POReq, false},           {IDC_LATEFEE, &m_set.m_LateFee, false},
        {IDC_STATEMENT, &m_set.m_Statement, false},   {IDC_DISCOUNT, &m_set.m_Discount, false}};
    for (const CodeField &f : codes) {
        QComboBox *c = combo(f.id);
        if (!c)
            continue;
        // Named by its label, each value by the entry the list shows for it.
        if (!save)
            NameComboField(m_set, f.value, FieldName(c), c, !f.byCode);
        if (!save && m_set.IsFieldNull(f.value)) {
            c->setCurrentIndex(-1); // nothing chosen: a save leaves the field alone
            continue;
        }
        if (f.byCode)
            DDX_CBData(dx, c, *f.value);
        else
            DDX_CBIndexField(dx, c, *f.value, &m_set);
    }

    // The parent's number: digits only.
    if (auto *parent = qobject_cast<QLineEdit *>(GetDlgItem(this, IDC_PARENTNO))) {
        const bool null = m_set.IsFieldNull(&m_set.m_ParentNo);
        if (save) {
            // A customer's number, read whole as every number field reads
            // one; the field is named after its button.
            const QString t = parent->text().trimmed();
            std::int32_t number = 0;
            if (!t.isEmpty() && (!ReadTypedWhole(t, number) || number < 0)) {
                platform::Prompt::messageBox(
                    FieldMessage(QStringLiteral("Parent No"), QStringLiteral("Please enter a number.")), QString(),
                    platform::MB_ICONEXCLAMATION);
                dx.Fail(parent);
                return false;
            }
            if (!(null && t.isEmpty()))
                m_set.m_ParentNo = number;
        } else {
            parent->setText(null ? QString() : numberText(m_set.m_ParentNo));
        }
    }
    // The credit due is only shown: it changes through the credit dialog,
    // which moves it in the database, never through this window's save.
    if (!save) {
        Money due = m_set.m_CreditDue;
        DDX_CurrencyNoCharge(dx, qobject_cast<QLineEdit *>(GetDlgItem(this, IDC_CREDIT_DUE)), due);
    }
    if (auto *limit = qobject_cast<QLineEdit *>(GetDlgItem(this, IDC_CREDIT_LIMIT))) {
        const bool null = m_set.IsFieldNull(&m_set.m_CreditLimit);
        if (!save && null)
            limit->clear();
        else if (!(save && null && limit->text().trimmed().isEmpty()))
            DDX_CurrencyNoCharge(dx, limit, m_set.m_CreditLimit);
    }
    if (dx.failed())
        return false;
    for (const auto &[id, value] : {std::pair<unsigned, DateTime *>{IDC_CREATED, &m_set.m_DateCreated},
                                    std::pair<unsigned, DateTime *>{IDC_MODIFIED, &m_set.m_DateModified}}) {
        QDateTimeEdit *p = picker(id);
        if (!p)
            continue;
        if (!save && (m_set.IsFieldNull(value) || !value->isValid()))
            SetPickerNoDate(p);
        else if (!(save && PickerShowsNoDate(p)))
            DDX_DateTimeCtrl(dx, p, *value);
    }
    return !dx.failed();
}

// --- saving -----------------------------------------------------------------------------

bool CCusDlg::CheckAndSave(int)
{
    if (m_bReadOnly)
        return true;
    if (!ExchangeFields(true))
        return false;
    if (m_set.m_Name.isEmpty() || m_set.m_Name == kNew) {
        platform::Prompt::messageBox(QStringLiteral("Please enter the customer's name."), QString(),
                                     platform::MB_ICONEXCLAMATION);
        FocusItem(IDC_NAME);
        return false;
    }
    // A text longer than its column (one put there whole) is refused by its
    // label, the window open with everything typed.
    if (!HeldTextsFit())
        return false;
    if (m_set.m_Name != m_strLoadedName && CustomerNameExists(m_set.m_CusNo, m_set.m_Name)) {
        const int answer = platform::Prompt::messageBox(
            m_set.m_Name + QStringLiteral("\n\nThis name already exists. Do you still want to save it?"), QString(),
            platform::MB_YESNO | platform::MB_ICONSTOP | platform::MB_DEFBUTTON2);
        if (answer != platform::IDYES)
            return false;
    }
    m_set.m_PropID = quint8(m_tree->GetCheckedBits());
    // A customer whose first save on opening failed takes its number now.
    if (!m_set.SaveNew(platform::MB_ICONINFORMATION)) {
        // The refusal was shown; the edit stays open so that the window
        // still holds the typed changes and a later Save or Close acts on
        // them.
        // (On a shop open for reading only there is no edit to reopen.)
        if (!m_bReadOnly && !shopReadOnly() && m_set.GetEditMode() == CXDaoSet::dbEditNone)
            m_set.SafeEdit();
        return false;
    }
    // Customer 1 is the shop itself: its name and address head the printed
    // forms, My Company and About from now on.
    if (m_set.m_CusNo == 1)
        if (CZqApp *app = ZqApp())
            app->LoadCompanyInfo();
    if (m_bNewRecord)
        HeldNewCustomers::Release(m_set.m_CusNo);
    m_bNewRecord = false;
    FillControls();
    UpdateRibbonStates();
    return true;
}

// --- closing ----------------------------------------------------------------------------

bool CCusDlg::shopReadOnly() const
{
    const platform::Database *database = m_set.m_pDatabase;
    return database && database->isOpen() && database->isReadOnly();
}

void CCusDlg::OnOK()
{
    // Enter or a default OK never ends the window unsaved: it saves and closes.
    OnSaveAndClose();
}

void CCusDlg::OnCancel()
{
    if (!m_bReadOnly) {
        if (!ExchangeFields(true))
            return;
        const int answer = m_set.AskSaveChanges(1);
        if (answer == platform::IDCANCEL)
            return;
        if (answer == platform::IDYES && !CheckAndSave(0))
            return;
    }
    if (m_bNewRecord) {
        // The customer made on opening was never saved by the user: it goes,
        // with anything that was hung on it meanwhile.
        const qint32 cusNo = m_set.m_CusNo;
        if (m_set.GetEditMode() != CXDaoSet::dbEditNone)
            m_set.CancelUpdate();
        if (DiscardNewCustomer(cusNo))
            HeldNewCustomers::Release(cusNo);
        m_set.m_CusNo = 0;
        m_bNewRecord = false;
    }
    CDlgRibbon::OnCancel();
}

void CCusDlg::OnSaveAndClose()
{
    // A shop open for reading only refuses the save, and would refuse it
    // again and again: once said, the window closes. Any other failure
    // keeps it open with what was typed.
    if (CheckAndSave(0) || shopReadOnly())
        OnCancel();
}

void CCusDlg::OnSize(int type, int cx, int cy)
{
    CDlgRibbon::OnSize(type, cx, cy);
    MoveItemBy(kNavRibbon, 0, m_nDeltaY);
    if (GetDlgItem(this, 1743))
        GrowItemBy(1743, m_nDeltaX, m_nDeltaY);
}

// --- states ----------------------------------------------------------------------------

void CCusDlg::UpdateRibbonStates()
{
    const bool ro = m_bReadOnly != 0;
    if (m_wndRecordRibbon.isCreated())
        m_wndRecordRibbon.EnableAllItems(!ro);
    if (m_wndRibbon3.isCreated()) {
        m_wndRibbon3.EnableAllItems(!ro && !m_bNewRecord);
        m_wndRibbon3.EnableItem(30103, ro);
        if (m_bNewRecord && !ro) {
            m_wndRibbon3.EnableItem(30213, true);
            m_wndRibbon3.EnableItem(30443, true);
        }
        m_wndRibbon3.EnableItem(2, true);
    }
    UpdateNavButtons(!ro && !m_bNewRecord);
    EnableItem(IDC_CREDIT_BUTTON, !ro);
    EnableItem(IDC_PARENT_BUTTON, !ro);
    EnableFields(!ro);
}

void CCusDlg::EnableFields(bool enable)
{
    for (QWidget *w : findChildren<QWidget *>()) {
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QDateTimeEdit *>(w))
            w->setEnabled(enable);
        else if (auto *e = qobject_cast<QLineEdit *>(w); e && GetDlgCtrlID(e) != IDC_CREDIT_DUE)
            e->setReadOnly(!enable);
        else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
            p->setReadOnly(!enable);
    }
    m_tree->setEnabled(enable);
}

void CCusDlg::ApplyColorScheme()
{
    for (CXRibbon *r : {&m_wndRecordRibbon, &m_wndRibbon3, &m_wndRibbon4, &m_wndRibbon5, &m_wndNavRibbon})
        if (r->isCreated())
            r->SetColorScheme(m_nColorScheme);
    for (CXWnd *w : {&m_wndBillTo, &m_wndProperties})
        if (w->isCreated())
            w->SetColorScheme(m_nColorScheme);
}

// --- commands ------------------------------------------------------------------------------

bool CCusDlg::OnCommand(int id)
{
    switch (id) {
    case 30100: OnNew(); return true;
    case 30103: OnEdit(); return true;
    case 30213: CheckAndSave(0); return true;
    case 30443: OnSaveAndClose(); return true;
    case 30536: OnSummary(); return true;
    case 30101: OnFind(); return true;
    case kStatusButton: OnStatus(); return true;
    case kReminders: ShowReminders(30003, m_set.m_CusNo); return true;
    case 30408: OnShipto(); return true;
    case 30411: case 30412: OnContact(id); return true;
    case 1311: case 1312: case 1313: OnAlert(id - 1310); return true;
    case 30263: OnNote(); return true;
    case IDC_PARENT_BUTTON: OnParent(); return true;
    case IDC_CREDIT_BUTTON: OnCreditDue(); return true;
    case IDC_CREDIT_HISTORY: OnCreditHistory(); return true;
    case CXListCtrl::ID_RECORD_FIRST: case CXListCtrl::ID_RECORD_LAST:
    case CXListCtrl::ID_RECORD_NEXT: case CXListCtrl::ID_RECORD_PREV:
        OnNavigate(id);
        return true;
    default:
        return CDlgRibbon::OnCommand(id);
    }
}

void CCusDlg::OnNew()
{
    if (m_bReadOnly)
        return;
    if (CheckAndSave(0))
        EndDialog(30100);
}

void CCusDlg::OnEdit()
{
    if (!m_bReadOnly || m_set.m_CusNo <= kLastReservedCustomer)
        return;
    CZqApp *app = ZqApp();
    if (app && !app->CheckPassword(12, QString()))
        return;
    if (!m_set.SafeEdit())
        return;
    m_bReadOnly = 0;
    m_nColorScheme = customersHue();
    ApplyColorScheme();
    UpdateRibbonStates();
    update();
}

void CCusDlg::OnStatus()
{
    if (m_bReadOnly)
        return;
    CDlgOptions dlg(QStringLiteral("Customer Status"), QString(), 0, this);
    dlg.AddRadioGroup(QStringLiteral("This Customer is"), 0);
    const QStringList choices{QStringLiteral("Active"), QStringLiteral("On Hold (for review)"),
                              QStringLiteral(" Hidden (for new jobs)")};
    for (int i = 0; i < choices.size(); ++i)
        dlg.AddEntry(i + 1, choices[i], i == m_set.m_CusStatus ? 1 : 0);
    dlg.m_nSelect[0] = long(m_set.m_CusStatus) + 1;
    if (dlg.DoModal() != IDOK_RESULT)
        return;
    const long checked = dlg.GetCheckedInRange(1, 3);
    if (checked == 0)
        return;
    m_set.m_CusStatus = quint8(checked - 1);
    ShowStatus();
}

void CCusDlg::OnAlert(int alertType)
{
    QString text;
    GetCustomerAlertText(text, m_set.m_CusNo, quint8(alertType));
    const QString name = m_wndRibbon5.GetItemText(unsigned(1310 + alertType));
    // Alerts are written at once, not with the customer's next save, and
    // only over the alert as it is now: another user's change to it since
    // it was shown here is asked about by the alert's name. Cancel there
    // shows the note again with what was typed.
    QString typed = text;
    for (;;) {
        CNoteDlg note(QStringLiteral("Alert"), name, typed, CNoteDlg::EditNote, this);
        note.HoldNoteTo(QStringLiteral("CustomerAlerts"), QStringLiteral("AlertText"));
        if (note.DoModal() != IDOK_RESULT || m_bReadOnly || note.m_strNote == text)
            return;
        typed = note.m_strNote;
        bool cancelled = false;
        if (WriteCustomerAlert(m_set.m_CusNo, alertType, text, typed, name, &cancelled)) {
            QString stored;
            GetCustomerAlertText(stored, m_set.m_CusNo, quint8(alertType));
            m_wndRibbon5.SetItemTip(unsigned(1310 + alertType), stored);
            return;
        }
        if (!cancelled)
            return;
    }
}

void CCusDlg::OnNote()
{
    CNoteDlg note(QStringLiteral("Note"), QStringLiteral("About Customer"), m_set.m_Memo, CNoteDlg::EditNote, this);
    if (note.DoModal() != IDOK_RESULT || m_bReadOnly)
        return;
    m_set.m_Memo = note.m_strNote;
    m_wndRibbon5.SetItemTip(30263, m_set.m_Memo);
}

void CCusDlg::OnParent()
{
    if (m_bReadOnly)
        return;
    CDlgList dlg(QStringLiteral("Find"), QStringLiteral("Parent Company"), QStringLiteral("Customers"), 0,
                 long(m_set.m_ParentNo), 1, m_nColorScheme, this);
    if (dlg.DoModal() != IDOK_RESULT || dlg.m_nChosenId == 0)
        return;
    // The other edits on screen are kept.
    if (!ExchangeFields(true))
        return;
    m_set.m_ParentNo = qint32(dlg.m_nChosenId);
    ExchangeFields(false);
}

bool CCusDlg::ShowCustomer(qint32 cusNo)
{
    m_set.m_strFilter = QStringLiteral("Customers.CusNo = %1").arg(cusNo);
    m_set.m_strSort.clear();
    if (!m_set.RequeryOrOpen(true))
        return false;
    FillControls();
    return true;
}

void CCusDlg::OnFind()
{
    if (m_bReadOnly)
        return;
    CDlgList dlg(QStringLiteral("Find"), QStringLiteral("Select a Customer"), QStringLiteral("Customers"), 0,
                 long(m_set.m_CusNo), 1, m_nColorScheme, this);
    if (dlg.DoModal() != IDOK_RESULT || dlg.m_nChosenId == 0)
        return;
    if (CheckAndSave(0))
        ShowCustomer(qint32(dlg.m_nChosenId));
    UpdateRibbonStates();
}

void CCusDlg::OnNavigate(int command)
{
    if (m_bReadOnly || !CheckAndSave(0))
        return;
    const long key = NavigateRecord(unsigned(command));
    if (key != 0 && ShowCustomer(qint32(key)))
        UpdateNavButtons(true);
}

void CCusDlg::OnShipto()
{
    if (m_bReadOnly)
        return;
    CShiptoList list(m_set.m_CusNo, m_set.m_ShiptoNo, m_nColorScheme, QStringLiteral("Default Ship to"), this);
    const bool chosen = list.DoModal() == IDOK_RESULT;
    RereadAfterOwnChange();
    if (chosen)
        m_set.m_ShiptoNo = list.m_nShiptoNo;
    ShowShipto();
}

// Deleting a contact or ship-to in its list clears it where the stored
// customer names it as a default: the edit goes on from the row as stored
// now, with what was typed kept.
void CCusDlg::RereadAfterOwnChange()
{
    ExchangeFields(true);
    platform::Recordset *row = m_set.recordset();
    if (!row || m_set.GetEditMode() != CXDaoSet::dbEditInProgress)
        return;
    // The engine's edit starts again from the row as stored now; the record's
    // members, and with them every change made in this window, stay as they
    // are and are written as changes against that row.
    try {
        row->cancelUpdate();
        row->edit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot edit Customers"));
        return;
    }
    // A default that was deleted is no default any more.
    const auto gone = [](const char *table, const char *key, qint32 number) {
        if (number == 0)
            return false;
        CXDaoSet found;
        found.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT %1 FROM %2 WHERE %1 = %3")
                                                 .arg(QLatin1String(key), QLatin1String(table))
                                                 .arg(number));
        return found.IsOpen() && found.IsEmptySet();
    };
    if (gone("Contacts", "ContactNo", m_set.m_BuyerNo))
        m_set.m_BuyerNo = 0;
    if (gone("Contacts", "ContactNo", m_set.m_PayerNo))
        m_set.m_PayerNo = 0;
    if (gone("Shipto", "ShiptoNo", m_set.m_ShiptoNo))
        m_set.m_ShiptoNo = 0;
}

void CCusDlg::OnContact(int command)
{
    if (m_bReadOnly)
        return;
    const bool buyer = command == 30411;
    qint32 &field = buyer ? m_set.m_BuyerNo : m_set.m_PayerNo;
    CContactList list(m_set.m_CusNo, field, m_nColorScheme,
                      buyer ? QStringLiteral("Default Buyer") : QStringLiteral("Default Payer"), this);
    const bool chosen = list.DoModal() == IDOK_RESULT;
    RereadAfterOwnChange();
    if (chosen)
        field = list.m_nContactNo;
    ShowContact(30411, m_set.m_BuyerNo);
    ShowContact(30412, m_set.m_PayerNo);
}

void CCusDlg::OnCreditDue()
{
    if (m_bReadOnly)
        return;
    // The credit dialog posts against the stored customer, so the window
    // saves first: a new customer must be named and stored before it can
    // hold credit.
    if (!CheckAndSave(0))
        return;
    const auto &dialog = customerHooks().creditDialog;
    if (!dialog) {
        CView0::ReportNotAvailable(QStringLiteral("The customer credit dialog"));
        return;
    }
    if (!dialog(m_set.m_CusNo, this))
        return;
    // The credit was posted as a change of the stored amount; read the
    // customer again so this window shows it and never writes an older one.
    ShowCustomer(m_set.m_CusNo);
}

void CCusDlg::OnCreditHistory()
{
    CDlgList dlg(QStringLiteral("List"), QStringLiteral("Credit History"),
                 QStringLiteral("SELECT Credits.Date, Credits.JobNo, Credits.Amount, Properties.Text AS "
                                "[Reason_w_300] FROM Properties RIGHT JOIN Credits ON Properties.ID = "
                                "Credits.ReasonID WHERE Credits.CusNo = %1 ORDER BY Credits.CreditID DESC")
                     .arg(m_set.m_CusNo),
                 0, 0, 0, m_nColorScheme, this);
    dlg.DoModal();
}

void CCusDlg::OnSummary()
{
    CCusSummary summary(this);
    summary.m_nCusNo = m_set.m_CusNo;
    summary.DoModal();
}
