#include "exchange/weborders/CWebOrder.h"

#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/SqlText.h"
#include "app/base/TextUtil.h"
#include "data/CCusSet.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "exchange/weborders/DownloadLink.h"
#include "exchange/weborders/OrderNumbers.h"
#include "exchange/xml/XmlDocument.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"

#include <QtCore/QRegularExpression>

using platform::Value;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The first field of the first row of a statement whose "?" marks take the
// values; an invalid value when there is no row or the query fails.
Value FirstValue(platform::Database *db, const QString &sql, const QList<Value> &values, int field = 0,
                 QList<Value> *row = nullptr)
{
    CXDaoSet set(db);
    set.m_filterValues = values;
    set.Open(CXDaoSet::dbOpenSnapshot, sql, CXDaoSet::dbForwardOnly);
    if (!set.IsOpen() || set.IsEmptySet())
        return Value();
    if (row) {
        row->clear();
        for (int i = 0; i < set.GetFieldCount(); ++i)
            row->append(set.GetFieldValue(i));
    }
    return set.GetFieldValue(field);
}

// A filter with its values in place, each text quoted so that it stays one
// value: what the user is shown and what the customer picker starts from.
QString ShowFilter(QString filter, const QList<Value> &values)
{
    for (const Value &v : values) {
        const int at = int(filter.indexOf(QLatin1Char('?')));
        if (at < 0)
            break;
        const QString text = v.type() == platform::FieldType::Text || v.type() == platform::FieldType::Memo
            ? QuoteText(v.toString())
            : v.toString();
        filter.replace(at, 1, text);
    }
    return filter;
}

QString Contains(const QString &value)
{
    return QLatin1Char('*') + LikeLiteral(value) + QLatin1Char('*');
}

// A customer search by one column; its number or 0.
qint32 FindCustomerBy(platform::Database *db, const QString &column, const QString &value)
{
    const Value v = FirstValue(db, QStringLiteral("SELECT CusNo FROM Customers WHERE %1 = ?").arg(column), {Value(value)});
    return v.isNull() ? 0 : CXDaoSet::ValueToLong(v);
}

// A key entry that names elements ("BillTo/Address/Email"), not a label of a
// mail line ("Customer No:"): names without blanks, joined by "/".
bool IsElementPath(const QString &key)
{
    static const QRegularExpression path(QStringLiteral("^[A-Za-z_][\\w.\\-]*(/[A-Za-z_][\\w.\\-]*)*$"));
    return path.match(key).hasMatch();
}

} // namespace

QString LikeLiteral(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('[') || c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#'))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

CWebOrder::CWebOrder(platform::Database *database)
    : m_pDatabase(database)
    , m_today(platform::Clock::today())
    , m_jobSet(database)
    , m_shiptoSet(database)
    , m_contactSet(database)
    , m_linkSet(database)
{
    m_keys = KeyFieldTable::Load(QString(), false);
}

CWebOrder::~CWebOrder() = default;

platform::Database &CWebOrder::db() const
{
    return m_pDatabase ? *m_pDatabase : SharedDatabase();
}

QString CWebOrder::Field(int key, int start, int limit, const QString &remove) const
{
    QString value;
    if (m_pXmlOrder && IsElementPath(m_keys[key]))
        return RemoveChars(m_pXmlOrder->GetXmlValue(m_keys[key], QString(), -1), remove).trimmed();
    CZqApp::ExtractMailField(m_strMailText, m_keys[key], value, start, limit, remove);
    // A label found in an XML order's text: its value ends where the
    // markup around it starts ("Customer No: 202</Note>").
    if (m_pXmlOrder) {
        if (const qsizetype markup = value.indexOf(QLatin1Char('<')); markup >= 0)
            value = value.left(markup).trimmed();
    }
    return WithoutLabelColon(value);
}

QString CWebOrder::WithoutLabelColon(QString value)
{
    // The colon that ends a label written without one in the key fields
    // ("Job Memo" for "Job Memo: ...") is no part of the value; any other
    // colon is ("Call Ben at 10:30", "http://...").
    while (value.startsWith(QLatin1Char(':')))
        value = value.mid(1).trimmed();
    return value;
}

void CWebOrder::AppendLabeledLine(const QString &label, QString &text, const QString &value) const
{
    if (value.isEmpty())
        return;
    if (!text.isEmpty())
        text += kCrLf;
    text += label + QLatin1Char(' ') + value;
}

void CWebOrder::AppendMailField(const QString &label, QString &text, int start, int limit) const
{
    QString value;
    CZqApp::ExtractMailField(m_strMailText, label, value, start, limit, QString());
    AppendLabeledLine(label, text, WithoutLabelColon(value));
}

void CWebOrder::ClearOrder()
{
    // The order is held in the set's fields; the row is added when it is
    // saved, so that an order never saved takes no number.
    if (m_jobSet.IsOpen() && m_jobSet.GetEditMode() != CXDaoSet::dbEditNone) {
        try {
            m_jobSet.CancelUpdate();
        } catch (const platform::DbException &) {
        }
    }
    m_jobSet.ResetFields();
    // Dates not given stay empty, as in any new job.
    for (DateTime *date : {&m_jobSet.m_DateProof, &m_jobSet.m_DateDue, &m_jobSet.m_DateShipped,
                           &m_jobSet.m_DateReorder, &m_jobSet.m_DatePayDue, &m_jobSet.m_DatePaid})
        *date = DateTime::null();
    m_jobSet.m_Creator = 2;
    m_jobSet.m_DateIn = DateTime::fromDate(m_today);
    if (CZqApp *app = ZqApp())
        m_jobSet.m_CSRNo = quint8(app->m_nDefaultCsr);
    m_contactSet.ResetFields();
    m_contactSet.m_ContactNo = 0;
    m_shiptoSet.ResetFields();
    m_shiptoSet.m_ShiptoNo = 0;
    m_items.clear();
    m_refusals.clear();
    m_bSaved = false;
}

void CWebOrder::ParseTextOrder()
{
    using namespace keyfield;
    ClearOrder();
    // Every line ends in CR LF, as in a mail, whatever the text had (a file
    // or a pasted text of bare line feeds or carriage returns): a value is
    // the rest of its label's line, never the lines after it.
    m_strMailText.replace(kCrLf, QStringLiteral("\n"));
    m_strMailText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_strMailText.replace(QLatin1Char('\n'), kCrLf);
    // Blank lines go; quoted-printable soft breaks and encoded line ends are
    // undone, so a label is found on one line again.
    m_strMailText.replace(QStringLiteral("\r\n\r\n"), kCrLf);
    m_strMailText.replace(QStringLiteral("=\r\n"), QString());
    m_strMailText.replace(QStringLiteral("=0D=0A"), kCrLf);
    // Control characters other than tabs and line ends are no part of an
    // order (a NUL would end a text in many a program); they go.
    m_strMailText.removeIf([](QChar c) {
        return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r') && c != QLatin1Char('\n');
    });

    MatchCustomer();
    MatchShipTo();
    MatchBuyer();
    ReadJobFields();

    const QString start = m_keys.ItemStartLabel();
    if (start.isEmpty() || start == QLatin1String("~"))
        return;
    int p = int(m_strMailText.indexOf(start));
    while (p != -1) {
        if (m_items.size() == kMaxOrderItems) {
            ReportItemsLeftOut(kMaxOrderItems + int(m_strMailText.mid(p).count(start)));
            break;
        }
        int q = int(m_strMailText.indexOf(start, p + 1));
        if (q < 0)
            q = int(m_strMailText.size());
        WebOrderItem item;
        item.description = Field(ItemDescription, p, q);
        if (m_jobSet.m_Title.isEmpty())
            m_jobSet.m_Title = item.description;
        const QString quantity = Field(ItemQuantity, p, q);
        if (!ReadOrderQuantity(quantity, item.quantity, item.originals)) {
            item.badQuantity = quantity;
        } else if (!quantity.contains(QLatin1Char('x'), Qt::CaseInsensitive)) {
            const QString written = Field(ItemOriginals, p, q, QStringLiteral("$"));
            if (!ReadOrderCount(written, item.originals)) {
                item.badQuantity = written;
                item.badOriginals = true;
            }
        }
        item.price = Field(ItemPrice, p, q);
        item.jobItem = Field(ItemTemplateNo, p, q);
        if (item.jobItem.isEmpty())
            item.jobItem = QStringLiteral("999-1");
        item.jobItem = item.jobItem.left(14);
        for (const QString scheme : {QStringLiteral("http://"), QStringLiteral("https://"), QStringLiteral("ftp://")}) {
            QString link;
            CZqApp::ExtractMailField(m_strMailText, scheme, link, p, q, QString());
            if (link.isEmpty())
                continue;
            const int gt = int(link.indexOf(QLatin1Char('>')));
            if (gt >= 0)
                link.truncate(gt);
            item.link = scheme + link;
            break;
        }
        for (int key = ItemNote1; key <= ShiptoCountry; ++key)
            AppendMailField(m_keys[key], item.note, p, q);
        m_items.append(item);
        p = int(m_strMailText.indexOf(start, q));
    }
    RefuseLongItemTexts();
}

void CWebOrder::ParseXmlOrder(const XmlDocument &order)
{
    ClearOrder();
    m_strMailText = order.GetXmlText();
    // The key fields are read as element paths of this document while the
    // order is matched.
    m_pXmlOrder = &order;
    MatchCustomer();
    MatchShipTo();
    MatchBuyer();
    ReadJobFields();
    m_pXmlOrder = nullptr;
    const XmlOrderKeys keys = m_keys.ToXmlOrderKeys();
    const QList<XmlOrderItem> items = ReadXmlOrderItems(order, keys);
    if (items.size() == kMaxOrderItems)
        ReportItemsLeftOut(order.CountElements(keys.description));
    for (const XmlOrderItem &x : items) {
        WebOrderItem item;
        item.description = x.description;
        item.quantity = x.quantity;
        item.originals = x.originals;
        item.badQuantity = x.badQuantity;
        item.price = x.unitPrice;
        item.jobItem = x.jobItem.left(14);
        item.link = x.link;
        if (m_jobSet.m_Title.isEmpty())
            m_jobSet.m_Title = item.description;
        m_items.append(item);
    }
    RefuseLongItemTexts();
}

void CWebOrder::ReportItemsLeftOut(int listed) const
{
    if (listed <= kMaxOrderItems)
        return;
    platform::Prompt::messageBox(QStringLiteral("This order lists %1 items; an order holds at most %2.\n\n"
                                                "Only the first %2 items are read.")
                                     .arg(listed)
                                     .arg(kMaxOrderItems),
                                 QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void CWebOrder::Refuse(int key, const QString &value, const QString &what, const QString &why)
{
    m_refusals.append(QStringLiteral("This order cannot be saved: \"%1\" after \"%2\" is not %3.\n\n%4"
                                     "Correct the order before saving it.")
                          .arg(value, m_keys[key], what, why.isEmpty() ? QString() : why + QStringLiteral("\n\n")));
}

void CWebOrder::ReadJobFields()
{
    using namespace keyfield;
    const QString via = Field(JobShipVia);
    if (!via.isEmpty()) {
        const Value no = FirstValue(m_pDatabase, QStringLiteral("SELECT [No] FROM ShipBy WHERE Name LIKE ?"),
                                    {Value(Contains(via))});
        m_jobSet.m_ViaDue = quint8(no.isNull() ? 0 : CXDaoSet::ValueToLong(no));
        AppendLabeledLine(m_keys[JobShipVia], m_jobSet.m_WOrderNote, via);
    }
    const QString shipping = Field(JobShipping, 0, 0, QStringLiteral("$"));
    if (!shipping.isEmpty()) {
        Money amount;
        QString why;
        if (!ReadOrderAmount(shipping, amount, &why))
            Refuse(JobShipping, shipping, QStringLiteral("an amount"), why);
        else if (amount > Money())
            m_jobSet.m_Shipping = amount;
    }
    m_jobSet.m_Title = Field(JobTitle);
    RefuseTooLong(JobTitle, m_jobSet.m_Title, QStringLiteral("Jobs"), QStringLiteral("Title"), 100);
    // A time keeps its colons ("10:30", never "1030"); only colons before it
    // (a label written with two) go.
    const QString timeDue = Field(JobDueTime);
    // The job holds a time of so many characters; a longer one is refused
    // here rather than by the save.
    const int longest = ColumnSize(QStringLiteral("Jobs"), QStringLiteral("TimeDue"), 10);
    if (!ReadOrderTime(timeDue, longest, m_jobSet.m_TimeDue)) {
        m_jobSet.m_TimeDue.clear();
        Refuse(JobDueTime, timeDue,
               timeDue.trimmed().size() > longest ? QStringLiteral("a time of day of at most %1 characters").arg(longest)
                                        : QStringLiteral("a time of day"));
    }
    m_jobSet.m_PO = Field(JobPO);
    RefuseTooLong(JobPO, m_jobSet.m_PO, QStringLiteral("Jobs"), QStringLiteral("PO"), 20);
    const QString days = Field(JobDueDays);
    if (!days.isEmpty()) {
        QDate due;
        if (ReadOrderDueDate(days, m_today, due))
            m_jobSet.m_DateDue = DateTime::fromDate(due);
        else
            Refuse(JobDueDays, days, QStringLiteral("a number of days"));
        AppendLabeledLine(m_keys[JobDueDays], m_jobSet.m_WOrderNote, days);
    }
    m_jobSet.m_InvoiceNote = Field(JobMemo);
    RefuseTooLong(JobMemo, m_jobSet.m_InvoiceNote, QStringLiteral("Jobs"), QStringLiteral("InvoiceNote"), 255);
    for (int key = JobNote1; key <= JobNote6; ++key)
        AppendMailField(m_keys[key], m_jobSet.m_WOrderNote, 0, 0);
    RefuseLongNote(QStringLiteral("the job's note lines"), m_jobSet.m_WOrderNote, QStringLiteral("Jobs"),
                   QStringLiteral("WOrderNote"));
}

int CWebOrder::ColumnSize(const QString &table, const QString &column, int fallback) const
{
    try {
        const platform::TableDef def = db().tableDef(table);
        if (const platform::FieldDef *field = def.field(column); field && field->size > 0)
            return field->size;
    } catch (const platform::DbException &) {
        // the column as the shop's database is made
    }
    return fallback;
}

bool CWebOrder::RefuseTooLong(int key, const QString &value, const QString &table, const QString &column, int fallback)
{
    const int size = ColumnSize(table, column, fallback);
    if (value.size() <= size)
        return true;
    Refuse(key, value, QStringLiteral("a text of at most %1 characters").arg(size),
           QStringLiteral("It has %1 characters.").arg(value.size()));
    return false;
}

void CWebOrder::RefuseLongNote(const QString &whose, const QString &note, const QString &table, const QString &column)
{
    const int size = ColumnSize(table, column, 255);
    if (note.size() <= size)
        return;
    m_refusals.append(QStringLiteral("This order cannot be saved: %1 come to %2 characters; they are stored in a "
                                     "note of at most %3.\n\nCorrect the order before saving it.")
                          .arg(whose)
                          .arg(note.size())
                          .arg(size));
}

void CWebOrder::RefuseLongItemTexts()
{
    for (int n = 0; n < m_items.size(); ++n) {
        const WebOrderItem &item = m_items.at(n);
        RefuseTooLong(keyfield::ItemDescription, item.description, QStringLiteral("Items"), QStringLiteral("Description"),
                      255);
        // The note as the save writes it, the price on its first line.
        const QString note = item.price.isEmpty() ? item.note : QStringLiteral("PRICE = ") + item.price + kCrLf + item.note;
        RefuseLongNote(QStringLiteral("the note lines of item %1").arg(n + 1), note, QStringLiteral("Items"),
                       QStringLiteral("Note"));
    }
}

void CWebOrder::MatchCustomer()
{
    using namespace keyfield;
    // The customer's number is digits alone: one written otherwise ("1e3",
    // "10 04") is no number of any customer, never the number it starts
    // with. The order is then matched as one without a number and cannot be
    // saved until the number is put right or the customer chosen.
    qint32 cusNo = 0;
    m_strCustomerNoRefusal.clear();
    const QString written = Field(CustomerNo);
    if (int number = 0; ReadOrderCount(written, number)) {
        cusNo = number;
    } else {
        // Digits alone too many for any number the program keeps.
        static const QRegularExpression digitsAlone(QStringLiteral("^[0-9]+$"));
        Refuse(CustomerNo, written, QStringLiteral("a customer number"),
               digitsAlone.match(written).hasMatch()
                   ? QStringLiteral("A customer number is at most 1,000,000,000.")
                   : QStringLiteral("A customer number is written in digits alone."));
        m_strCustomerNoRefusal = m_refusals.last();
    }
    CCusSet customers(m_pDatabase);
    if (cusNo != 0 && customers.FindCustomer(cusNo)) {
        m_jobSet.m_CusNo = cusNo;
        ShowBillTo();
        return;
    }
    // A number that names no customer is taken as no number: the order is
    // matched by name and e-mail as one that gives none.
    cusNo = 0;
    QString note;
    QString filter;
    const QString label = m_keys[CustomerName];
    const QString column = label.contains(QLatin1String("Customer ID")) ? QStringLiteral("CusID") : QStringLiteral("Name");
    const QString name = Field(CustomerName);
    if (name.isEmpty()) {
        note = QStringLiteral("Email does not include data for Key Field: ") + label;
    } else {
        filter = ShowFilter(column + QStringLiteral(" = ?"), {Value(name)});
        if (const qint32 found = FindCustomerBy(m_pDatabase, column, name))
            cusNo = found;
        else
            note = QStringLiteral("Filter used: ") + filter;
    }
    if (cusNo == 0) {
        const QString email = Field(ContactEmail);
        if (!email.isEmpty()) {
            const Value owner =
                FirstValue(m_pDatabase, QStringLiteral("SELECT CusNo FROM Contacts WHERE Email = ?"), {Value(email)});
            if (!owner.isNull())
                cusNo = CXDaoSet::ValueToLong(owner);
            else
                note += QStringLiteral("\nEmail: ") + email;
        }
    }
    if (cusNo == 0) {
        const int answer = platform::Prompt::messageBox(QStringLiteral("Could not find the customer.\n") + note
                                                            + QStringLiteral("\n\nDo you want to search?"),
                                                        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
        if (answer == platform::IDYES && pickCustomer) {
            qint32 chosen = 0;
            if (pickCustomer(chosen, filter))
                cusNo = chosen;
        }
    }
    if (cusNo == 0)
        cusNo = CCusSet::WalkInCustomer;
    m_jobSet.m_CusNo = cusNo;
    ShowBillTo();
}

void CWebOrder::ShowBillTo()
{
    m_jobSet.ApplyCustomer(m_jobSet.m_CusNo);
}

void CWebOrder::MatchShipTo()
{
    using namespace keyfield;
    const QString address = Field(ShiptoAddress);
    const QString attention = Field(ShiptoAttention);
    bool found = false;
    if (!address.isEmpty()) {
        QString filter = QStringLiteral("CusNo = ? and Address LIKE ?");
        QList<Value> values = {Value(m_jobSet.m_CusNo), Value(Contains(address))};
        if (!attention.isEmpty()) {
            filter += QStringLiteral(" and Attention = ?");
            values << Value(attention);
        }
        m_shiptoSet.m_strFilter = filter;
        m_shiptoSet.m_filterValues = values;
        m_shiptoSet.Open(CXDaoSet::dbOpenSnapshot);
        if (m_shiptoSet.IsOpen() && !m_shiptoSet.IsEmptySet()) {
            found = true;
            m_shiptoSet.MoveLast();
            const int count = m_shiptoSet.GetRecordCount();
            m_shiptoSet.MoveFirst();
            if (count > 1)
                platform::Prompt::messageBox(QStringLiteral("Found more than one 'Ship to' address.\nFilter used: ")
                                                 + ShowFilter(filter, values)
                                                 + QStringLiteral("\n\nPlease verify the selected address is correct."),
                                             QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
        }
    }
    if (!found) {
        m_shiptoSet.ResetFields();
        m_shiptoSet.m_ShiptoNo = 0;
        m_shiptoSet.m_CusNo = m_jobSet.m_CusNo;
        m_shiptoSet.m_Address = address;
        m_shiptoSet.m_Company = Field(ShiptoName);
        QString city = Field(ShiptoCity);
        if (city.contains(QLatin1Char(','))) {
            QString state, zip;
            SplitCityStateZip(city, state, zip);
            m_shiptoSet.m_City = city.trimmed();
            m_shiptoSet.m_State = state.trimmed();
            m_shiptoSet.m_Zip = zip.trimmed();
        } else {
            m_shiptoSet.m_City = city;
            m_shiptoSet.m_State = Field(ShiptoState);
            m_shiptoSet.m_Zip = Field(ShiptoZip);
        }
        m_shiptoSet.m_Attention = attention;
        m_shiptoSet.m_Phone = Field(ShiptoPhone);
        m_shiptoSet.m_Address2 = Field(ShiptoAddress2);
        m_shiptoSet.m_Country = Field(ShiptoCountry);
    }
    UpdateShipTo();
}

void CWebOrder::MatchBuyer()
{
    using namespace keyfield;
    const QString name = Field(ContactName);
    const QString email = Field(ContactEmail);
    QString first = name, last;
    SplitAtKey(first, last, QStringLiteral(" "));
    first = first.trimmed();
    last = last.trimmed();
    if (last.isEmpty())
        std::swap(first, last);
    QString filter;
    QList<Value> values = {Value(m_jobSet.m_CusNo)};
    if (!email.isEmpty()) {
        filter = QStringLiteral("CusNo = ? and Email = ?");
        values << Value(email);
    } else if (!first.isEmpty() && !last.isEmpty()) {
        filter = QStringLiteral("CusNo = ? and First = ? and Last = ?");
        values << Value(first) << Value(last);
    } else if (!last.isEmpty()) {
        filter = QStringLiteral("CusNo = ? and Last = ?");
        values << Value(last);
    }
    bool found = false;
    if (!filter.isEmpty()) {
        m_contactSet.m_strFilter = filter;
        m_contactSet.m_filterValues = values;
        m_contactSet.Open(CXDaoSet::dbOpenSnapshot);
        found = m_contactSet.IsOpen() && !m_contactSet.IsEmptySet();
    }
    if (!found) {
        m_contactSet.ResetFields();
        m_contactSet.m_ContactNo = 0;
        m_contactSet.m_CusNo = m_jobSet.m_CusNo;
        m_contactSet.m_First = first;
        m_contactSet.m_Last = last;
        m_contactSet.m_Email = email;
        m_contactSet.m_Phone = Field(ContactPhone);
    }
    UpdateBuyer();
}

void CWebOrder::ChangeCustomer(qint32 cusNo)
{
    // The customer chosen by hand stands for a number the order wrote wrongly.
    if (!m_strCustomerNoRefusal.isEmpty()) {
        m_refusals.removeAll(m_strCustomerNoRefusal);
        m_strCustomerNoRefusal.clear();
    }
    if (cusNo == m_jobSet.m_CusNo)
        return;
    m_jobSet.m_CusNo = cusNo;
    m_shiptoSet.m_CusNo = cusNo;
    m_contactSet.m_CusNo = cusNo;
    m_shiptoSet.m_ShiptoNo = 0;
    m_contactSet.m_ContactNo = 0;
    ShowBillTo();
    const Value shipto = FirstValue(m_pDatabase, QStringLiteral("SELECT ShiptoNo FROM ShipTo WHERE CusNo = ? and Address LIKE ?"),
                                    {Value(cusNo), Value(Contains(m_shiptoSet.m_Address))});
    if (!shipto.isNull())
        m_shiptoSet.m_ShiptoNo = CXDaoSet::ValueToLong(shipto);
    const Value contact =
        FirstValue(m_pDatabase, QStringLiteral("SELECT ContactNo FROM Contacts WHERE CusNo = ? and First = ? and Last = ?"),
                   {Value(cusNo), Value(m_contactSet.m_First), Value(m_contactSet.m_Last)});
    if (!contact.isNull())
        m_contactSet.m_ContactNo = CXDaoSet::ValueToLong(contact);
    UpdateShipTo();
    UpdateBuyer();
}
