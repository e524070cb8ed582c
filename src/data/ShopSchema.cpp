#include "data/ShopSchema.h"

namespace {

using platform::FieldType;
using Field = ShopSchema::Field;
using Index = ShopSchema::Index;
using Table = ShopSchema::Table;

Field longField(const char *name) { return {QString::fromLatin1(name), FieldType::Long, 4, false}; }
Field counter(const char *name) { return {QString::fromLatin1(name), FieldType::Long, 4, true}; }
Field byteField(const char *name) { return {QString::fromLatin1(name), FieldType::Byte, 1, false}; }
Field money(const char *name) { return {QString::fromLatin1(name), FieldType::Currency, 8, false}; }
Field single(const char *name) { return {QString::fromLatin1(name), FieldType::Single, 4, false}; }
Field date(const char *name) { return {QString::fromLatin1(name), FieldType::Date, 8, false}; }
Field text(const char *name, int size) { return {QString::fromLatin1(name), FieldType::Text, size, false}; }
Field memo(const char *name) { return {QString::fromLatin1(name), FieldType::Memo, 0, false}; }

Field numbered(Field field, int n)
{
    field.name += QString::number(n);
    return field;
}

// The fixed key list of the key check, in the order it is processed.
QList<Index> buildKeyIndexes()
{
    struct Entry { const char *table; const char *field; bool primary; const char *next = nullptr; };
    static const Entry entries[] = {
        {"AuditTrail", "TransNo", true},
        {"BusinessTypes", "No", true},
        {"ContactDepts", "DepNo", true},
        {"Contacts", "ContactNo", true},
        {"Credits", "CreditID", true},
        {"CustomerAlerts", "AlertNo", true},
        {"Customers", "CusNo", true},
        {"CustomerSources", "No", true},
        {"Employees", "EmpNo", true},
        {"EmpTypes", "Type", true},
        {"Forms", "No", true},
        {"Items", "ItemID", true},
        {"Jobs", "JobID", true},
        {"JobTypes", "JobType", true},
        {"MarkupTable", "No", true},
        {"Notes", "NoteID", true},
        {"Options", "OptionID", true},
        {"Passwords", "No", true},
        {"PayGroups", "PayGroup", true},
        {"Payments", "PayNo", true},
        {"PaymentTypes", "No", true},
        {"PostingJournal", "PostingNo", true},
        {"ProductTypes", "No", true},
        {"Properties", "ID", true},
        {"QuickSales", "QSaleID", true},
        {"QuickSalesItems", "QItemID", true},
        {"SalesDepartments", "No", true},
        {"ServiceCategories", "CatNo", true},
        {"ServiceDepartments", "DepNo", true},
        {"ServiceDiffTables", "SerNo", true},
        {"ServicePriceTables", "SerNo", true},
        {"Services", "SerNo", true},
        {"ShipBy", "No", true},
        {"ShipTo", "ShiptoNo", true},
        {"Taxes", "No", true},
        {"Terms", "No", true},
        {"Vendors", "No", true},
        {"WasteTable", "Level", true},
        {"ProductionDepts", "DepID", true},
        {"ProductionTags", "TagID", true},
        {"Times", "TimeID", true},
        {"TimeDepartments", "DepID", true},
        {"Todos", "TodoID", true},
        {"ShippedItems", "ShipID", true},
        {"Jobs", "Creator", false},
        {"Jobs", "JobType", false},
        {"Jobs", "Status", false},
        {"Jobs", "JobNo", false},
        {"Jobs", "CusNo", false},
        {"Jobs", "Balance", false},
        {"Jobs", "PostingNo", false},
        {"Items", "JobID", false},
        {"Items", "EmpNo", false},
        {"Items", "Status", false},
        {"Services", "CatNo", false},
        {"Services", "SaleDept", false},
        {"PostingJournal", "PostingDate", false},
        {"QuickSales", "PostingNo", false},
        // The job lists: one job type in number order, newest first, read
        // from the index without sorting every job of the type.
        {"Jobs", "JobType", false, "JobNo"},
        // The jobs view's notice counts the new web orders and quotes of one
        // type and status; without it the engine walks every open job.
        {"Jobs", "JobType", false, "Status"},
    };
    QList<Index> list;
    for (const Entry &e : entries) {
        list.append({QString::fromLatin1(e.table), QString::fromLatin1(e.field), e.primary,
                     e.next ? QStringList(QString::fromLatin1(e.next)) : QStringList()});
    }
    return list;
}

QList<Field> jobsFields()
{
    return {
        counter("JobID"), byteField("JobType"), longField("JobNo"), text("Title", 100),
        byteField("FromJobType"), longField("FromJobNo"), byteField("Status"), byteField("CSRNo"),
        byteField("SRepNo"), longField("CusNo"), longField("ShiptoNo"), longField("BuyerNo"),
        longField("PostingNo"), byteField("Location"), text("PO", 20), date("DateIn"),
        date("DateProof"), date("DateDue"), date("DateShipped"), date("DateReorder"),
        date("DatePayDue"), date("DatePaid"), text("TimeDue", 10), byteField("ViaDue"),
        byteField("TaxNo"), byteField("TermsNo"), money("Cost"), money("Subtotal"),
        money("Discount"), money("Shipping"), money("Postage"), money("Tax"), money("Latefee"),
        money("Paid"), money("Writeoff"), money("Balance"), money("Commission"),
        byteField("CommType"), byteField("WOrderPrinted"), byteField("InvoicePrinted"),
        text("WOrderNote", 255), text("InvoiceNote", 255), byteField("Creator"),
        byteField("PropID1"), longField("PrintOption"), longField("PrintOption2"),
        text("ProofTime", 5), money("Taxable"), money("Taxable2"), money("Tax2"),
    };
}

QList<Field> itemsFields()
{
    return {
        counter("ItemID"), text("Description", 255), text("Note", 255), longField("JobID"),
        longField("SerNo"), byteField("ItemNo"), byteField("SubNo"), byteField("SortNo"),
        single("Width"), single("Height"), longField("Sheets"), longField("Pages"),
        longField("Out"), longField("Up"), longField("Data1"), longField("Data2"),
        byteField("Side1"), byteField("Side2"), byteField("Covrg"), byteField("Regis"),
        byteField("Bleed"), byteField("PrtAs"), byteField("Vendor"), byteField("Opt1"),
        byteField("Opt2"), byteField("Opt3"), byteField("Opt4"), byteField("Wash"),
        byteField("Mix"), byteField("EmpNo"), byteField("Status"), byteField("Days2"),
        byteField("Tag1"), byteField("Tag2"), longField("ActualTime"), longField("ChargeTime"),
        longField("ActualQty"), longField("ChargeQty"), money("TimeCost"), money("MatCost"),
        money("Cost"), money("Price"),
    };
}

QList<Field> servicesFields()
{
    QList<Field> f = {
        longField("SerNo"), longField("CatNo"), longField("SortNo"), text("Name", 50),
        text("Name2", 50), text("SerRemind", 50), text("DefNote", 50), memo("SerNote"),
        byteField("SaleDept"), byteField("SerStatus"), byteField("Colors"), text("Size", 20),
        single("Caliper"), longField("DefPlate"), longField("AutoAdd"), byteField("QtyBy"),
        longField("Divide"), longField("Multiply"), byteField("LiftBy"), text("AskHowMany", 16),
        longField("Round"), byteField("WasteBy"), byteField("TimeBy"), single("SetTime"),
        single("ImpHour"), byteField("CostBy"), money("CostHr"), money("WageHr"),
        single("CostOH"), byteField("PriceBy"), longField("Markup"), longField("Markup2"),
        longField("Markup3"), byteField("AdjustBy"), single("Bid"), single("Rush"),
        single("Spcl"), money("MinPrice"), byteField("ProdDepID"), byteField("Operator"),
        byteField("Tag"), byteField("SchedBy"), byteField("VendorNo"), longField("MinLevel"),
        longField("ReOrder"), longField("InStock"), longField("OnOrder"), text("SKU", 16),
        text("UPC", 16), text("FSC", 16), byteField("OptTax"), byteField("OptCom"),
        byteField("OptWO"), byteField("OptInv"), byteField("Unit"), byteField("Step"),
        date("Modified"),
    };
    for (int n = 1; n <= 5; ++n) {
        f << numbered(longField("SetFor"), n) << numbered(longField("SetTime"), n)
          << numbered(longField("SetCost"), n) << numbered(longField("SetPrice"), n);
    }
    for (int n = 1; n <= 9; ++n) {
        f << numbered(longField("QBreak"), n) << numbered(longField("UnitsHr"), n)
          << numbered(longField("RunCost"), n) << numbered(longField("RunPrice"), n);
    }
    return f;
}

QList<Field> customersFields()
{
    return {
        longField("CusNo"), text("Name", 60), text("Address", 60), text("Address2", 60),
        text("City", 30), text("State", 20), text("Zip", 15), text("Country", 30),
        longField("ShiptoNo"), longField("BuyerNo"), longField("PayerNo"), byteField("Business"),
        byteField("Source"), byteField("Location"), byteField("ShipVia"), byteField("SRepNo"),
        byteField("Tax"), byteField("Terms"), byteField("Priority"), byteField("POReq"),
        byteField("LateFee"), byteField("Statement"), byteField("WebAccess"), byteField("AlertIf"),
        byteField("CusStatus"), byteField("PriceLevel"), byteField("PriceRound"),
        byteField("Discount"), longField("Alert1"), longField("Alert2"), longField("Alert3"),
        date("DateCreated"), date("DateModified"), money("CreditDue"), money("CreditLimit"),
        text("CusID", 20), text("GroupID", 20), memo("Memo"), longField("ParentNo"),
        byteField("PropID"),
    };
}

QList<Field> diffTableFields()
{
    QList<Field> f = {longField("SerNo")};
    for (int r = 1; r <= 19; ++r)
        for (int c = 1; c <= 4; ++c)
            f << longField(QStringLiteral("PapR%1C%2").arg(r).arg(c).toLatin1().constData());
    for (int r = 1; r <= 19; ++r)
        for (int c = 0; c <= 4; ++c)
            f << longField(QStringLiteral("JobR%1C%2").arg(r).arg(c).toLatin1().constData());
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 2; ++c)
            f << longField(QStringLiteral("RunR%1C%2").arg(r).arg(c).toLatin1().constData());
    return f;
}

QList<Field> priceTableFields()
{
    QList<Field> f = {longField("SerNo")};
    for (int n = 1; n <= 7; ++n)
        f << numbered(byteField("Opt"), n);
    for (int q = 0; q <= 12; ++q) {
        f << numbered(longField("Qty"), q);
        for (int c = 0; c <= 9; ++c)
            f << longField(QStringLiteral("R%1C%2").arg(q).arg(c).toLatin1().constData());
    }
    return f;
}

QList<Table> buildTables()
{
    QList<Table> t;
    auto add = [&t](const char *name, QList<Field> fields) {
        t.append({QString::fromLatin1(name), std::move(fields), {}});
    };

    add("AuditTrail", {counter("TransNo"), date("TransDate"), longField("JobNo"), money("Subtotal"),
                       money("Discount"), money("Shipping"), money("Postage"), money("Tax"),
                       money("Latefee"), money("Paid"), money("Writeoff"), money("Balance"),
                       byteField("JobType"), byteField("PropID")});
    add("BusinessTypes", {byteField("No"), text("Name", 20), byteField("Type"), byteField("Sort")});
    add("ContactDepts", {byteField("DepNo"), text("Name", 50), byteField("Type"), byteField("Sort")});
    add("Contacts", {counter("ContactNo"), longField("CusNo"), text("Title", 20), text("Postion", 30),
                     text("First", 30), text("Last", 30), text("Phone", 20), text("Email", 50),
                     text("Fax", 20), text("Phone2", 14), text("Cell", 14), memo("ContactNote"),
                     byteField("Type"), byteField("Dept"), byteField("PropID"), byteField("SendEmail"),
                     byteField("SendSurvey"), byteField("KeyContact"), byteField("WebOption"),
                     date("Created"), date("Modified"), date("OtherDate"), date("LastEmail"),
                     date("LastSurvey"), text("UserName", 8), text("Password", 8),
                     longField("Options")});
    add("Credits", {counter("CreditID"), longField("CusNo"), longField("JobNo"), money("Amount"),
                    date("Date"), byteField("ReasonID")});
    add("CustomerAlerts", {counter("AlertNo"), longField("CusNo"), byteField("AlertType"),
                           text("AlertText", 255), byteField("AlertPrint"), byteField("AlertColor"),
                           byteField("AlertSound")});
    add("Customers", customersFields());
    add("CustomerSources", {byteField("No"), text("Name", 20), byteField("Type"), byteField("Sort")});
    add("EmailLink", {text("MessageID", 124), longField("TavrelJobID")});
    add("Employees", {byteField("EmpNo"), text("Name", 20), byteField("Type"), byteField("Sort"),
                      longField("CommRate"), byteField("PercentOf")});
    add("EmpTypes", {byteField("Type"), text("Name", 20)});
    add("Forms", {byteField("No"), text("Title", 30), memo("Text"), memo("Footer"),
                  single("TopMargin"), single("BotMargin"), single("LeftMargin"),
                  single("RightMargin"), text("FontName", 32), longField("FontSize"),
                  text("Printer", 255), longField("Options"), longField("ColBack"),
                  longField("ColText"), text("Desc", 20)});
    add("Inventory", {counter("InvID"), longField("SerNo"), byteField("Vendor"), byteField("Action"),
                      date("ActionDate"), longField("ActionQty"), money("Cost"), longField("OrderNo"),
                      byteField("Status")});
    add("Items", itemsFields());
    add("Jobs", jobsFields());
    add("JobTypes", {byteField("JobType"), text("Name", 20)});
    {
        QList<Field> f = {byteField("No"), text("Name", 32)};
        for (int n = 1; n <= 9; ++n)
            f << numbered(longField("Markup"), n);
        add("MarkupTable", f);
    }
    add("Options", {longField("OptionID"), longField("OptionSum")});
    add("PaperLink", {longField("SerNo"), text("Vendor", 5), text("VenID", 12)});
    add("PayApplied", {longField("PayNo"), longField("JobNo"), money("Amount")});
    add("PayGroups", {byteField("PayGroup"), text("Name", 20)});
    add("Payments", {counter("PayNo"), date("Date"), money("Amount"), longField("CusNo"),
                     byteField("PayGroup"), byteField("PaidBy"), text("Reference", 30),
                     memo("Appliedto"), longField("PostingNo")});
    add("PaymentTypes", {byteField("No"), text("Name", 20), byteField("Type"), byteField("Sort")});
    add("Passwords", {byteField("No"), text("Password", 32), byteField("Level")});
    add("PostingJournal", {counter("PostingNo"), date("PostingDate"), longField("Invoices"),
                           money("Cost"), money("Subtotal"), money("Discount"), money("Shipping"),
                           money("Postage"), money("Tax"), money("Latefee"), money("Paid"),
                           money("Writeoff"), money("Balance"), money("Commission"),
                           money("TaxableNetSale"), longField("QSales"), money("QSaleSubtotal"),
                           money("QSaleTax"), money("TaxableQSale"), money("DepositNew"),
                           money("DepositOld"), money("DepositNow"), money("AllPayments"),
                           money("CreditsDue"), money("ARBalance")});
    add("ProductionDepts", {byteField("DepID"), text("Name", 50), longField("QtyPerHr"),
                            byteField("HrsPerDay"), byteField("Sort"), longField("IconNo")});
    add("ProductionTags", {byteField("TagID"), text("Name", 50), byteField("Color"), byteField("Sort"),
                           byteField("Type")});
    add("ProductTypes", {byteField("No"), text("Name", 20), byteField("Sort"), byteField("Type"),
                         longField("Qty")});
    add("Properties", {byteField("ID"), text("Text", 50), byteField("Type")});
    add("QuickNotes", {longField("No"), text("Note", 50), byteField("Sort"), byteField("Type"),
                       longField("QCatNo")});
    add("QuickSales", {counter("QSaleID"), date("Date"), money("Subtotal"), money("Tax"),
                       byteField("TaxID"), longField("PostingNo"), longField("PayNo"),
                       money("Taxable"), money("Taxable2"), money("Tax2")});
    add("QuickSalesItems", {counter("QItemID"), longField("QSaleID"), longField("SerNo"),
                            longField("Quantity"), money("Price")});
    add("SalesDepartments", {byteField("No"), text("Name", 20), byteField("Group")});
    add("Samples", {longField("ItemID"), memo("Path")});
    add("ServiceCategories", {longField("CatNo"), longField("DepNo"), longField("IconNo"),
                              text("CatName", 30), longField("SortNo")});
    add("ServiceDepartments", {longField("DepNo"), text("DepName", 50), longField("IconNo"),
                               longField("SortNo")});
    add("ServiceDiffTables", diffTableFields());
    add("ServicePriceTables", priceTableFields());
    add("Services", servicesFields());
    add("ShipBy", {byteField("No"), text("Name", 20), byteField("Type"), byteField("Sort")});
    add("ShippedItems", {counter("ShipID"), longField("ItemID"), longField("ShiptoNo"),
                         longField("QtyShipped"), longField("QtyPerBox"), longField("Boxes"),
                         byteField("ShipBy"), byteField("Status"), byteField("TaxBy"),
                         text("ItemDes", 50), text("Tracking", 30), memo("ShipNote"),
                         date("Shipped"), date("Received"), money("TaxAmt"), money("ShipAmt")});
    add("Shipto", {counter("ShiptoNo"), longField("CusNo"), byteField("Type"), text("Attention", 60),
                   text("Company", 60), text("Address", 60), text("Address2", 60), text("City", 30),
                   text("State", 20), text("Zip", 15), text("Country", 30), text("Phone", 20),
                   memo("ShipNote"), byteField("ShipBy"), byteField("TaxBy"), date("Created"),
                   date("Modified")});
    add("TableNotes", {text("Name", 20), memo("Note")});
    add("Taxes", {byteField("No"), text("Name", 20), longField("TaxPercent"), byteField("TaxShipping"),
                  byteField("RoundUp"), byteField("Type"), byteField("TaxPostage"), byteField("Sort")});
    add("Terms", {byteField("No"), text("Name", 20), byteField("Days")});
    add("TimeDepartments", {byteField("DepID"), text("Name", 50), byteField("Type"), byteField("Sort")});
    add("Times", {counter("TimeID"), byteField("TimeFor"), byteField("EmpNo"), longField("ItemID"),
                  date("Start"), date("Finish"), longField("Minutes"), longField("Material"),
                  longField("Option"), byteField("Status"), byteField("Subgroup"), memo("Note")});
    add("TodoTypes", {byteField("ID"), text("Do", 20), byteField("Sort")});
    add("Todos", {counter("TodoID"), longField("ViewID"), longField("RefID"), byteField("TypeID"),
                  date("When"), text("Time", 8), byteField("Who"), byteField("Opt1"),
                  byteField("Status"), memo("Note")});
    add("Vendors", {byteField("No"), byteField("Type"), text("Name", 50), byteField("Sort"),
                    text("ContactName", 20), text("Phone", 20), text("Fax", 16), text("Email", 50),
                    text("Terms", 20), text("Address", 50)});
    {
        QList<Field> f = {byteField("Level"), text("Name", 30), longField("Setup")};
        for (int n = 1; n <= 7; ++n)
            f << numbered(longField("Waste"), n);
        add("WasteTable", f);
    }

    // Indexes: the key list's entries of each table, then the keys that two
    // tables get when they are created although the key check does not list
    // them.
    const QList<Index> extra = {
        {QStringLiteral("Inventory"), QStringLiteral("InvID"), true},
        {QStringLiteral("TodoTypes"), QStringLiteral("ID"), true},
    };
    for (Table &table : t) {
        for (const QList<Index> &source : {ShopSchema::keyIndexes(), extra}) {
            for (const Index &index : source) {
                if (index.table.compare(table.name, Qt::CaseInsensitive) == 0)
                    table.indexes.append({table.name, index.field, index.primary, index.nextFields});
            }
        }
    }
    return t;
}

} // namespace

int ShopSchema::Table::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const ShopSchema::Field *ShopSchema::Table::field(const QString &name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : &fields[i];
}

QStringList ShopSchema::Table::fieldNames() const
{
    QStringList names;
    for (const Field &f : fields)
        names << f.name;
    return names;
}

platform::TableDef ShopSchema::Table::tableDef() const
{
    platform::TableDef def;
    def.name = name;
    for (int i = 0; i < fields.size(); ++i) {
        platform::FieldDef fd;
        fd.name = fields[i].name;
        fd.type = fields[i].type;
        fd.size = fields[i].size;
        fd.autoNumber = fields[i].autoNumber;
        fd.ordinal = i;
        def.fields.append(fd);
    }
    for (const Index &index : indexes)
        def.indexes.append(index.indexDef());
    return def;
}

QString ShopSchema::Index::name() const
{
    return fields().join(QString());
}

platform::IndexDef ShopSchema::Index::indexDef() const
{
    platform::IndexDef def;
    def.name = name();
    def.field = field;
    def.nextFields = nextFields;
    def.primary = primary;
    def.unique = primary;
    return def;
}

const QList<ShopSchema::Table> &ShopSchema::tables()
{
    static const QList<Table> list = buildTables();
    return list;
}

const ShopSchema::Table *ShopSchema::table(const QString &name)
{
    for (const Table &t : tables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

QStringList ShopSchema::tableNames()
{
    QStringList names;
    for (const Table &t : tables())
        names << t.name;
    return names;
}

const QList<ShopSchema::Index> &ShopSchema::keyIndexes()
{
    static const QList<Index> list = buildKeyIndexes();
    return list;
}

const QList<ShopSchema::SavedQuery> &ShopSchema::savedQueries()
{
    static const QList<SavedQuery> list = {
        {QStringLiteral("Compare Sales"),
         QStringLiteral(
             "PARAMETERS [Previous Period Beginning Date] DateTime, [Previous Period Ending Date] DateTime, "
             "[Current Period Beginning Date] DateTime, [Current Period Ending Date] DateTime, "
             "[From Sales Rep #:] Short, [To Sales Rep #:] Short; "
             "SELECT Customers.Name, Jobs.CusNo, "
             "Sum(IIf(([Jobs].[DateShipped] Between [Current Period Beginning Date] And [Current Period Ending Date]),"
             "([Jobs].[Subtotal]+[Jobs].[discount]),0)) AS [Current Net Sale], "
             "Sum(IIf(([Jobs].[DateShipped] Between [Previous Period Beginning Date] And [Previous Period Ending Date]),"
             "([Jobs].[Subtotal]+[Jobs].[discount]),0)) AS [Previous Net Sale], "
             "([Current Net Sale]-[Previous Net Sale]) AS [$ Change], "
             "IIf([Previous Net Sale]>0,(([$ Change]/[Previous Net Sale])*100),0) AS [% Change], "
             "Employees.Name AS [Sales Rep] "
             "FROM Employees INNER JOIN (Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo) "
             "ON Employees.EmpNo = Jobs.SRepNo "
             "WHERE (((Jobs.DateShipped) Between [Previous Period Beginning Date] And [Previous Period Ending Date] "
             "Or (Jobs.DateShipped) Between [Current Period Beginning Date] And [Current Period Ending Date]) "
             "AND ((Jobs.SRepNo) Between IIf([From Sales Rep #:] =0,200,[From Sales Rep #:]) "
             "And IIf([To Sales Rep #:] =0,300,[To Sales Rep #:]))) "
             "GROUP BY Customers.Name, Jobs.CusNo, Employees.Name, Jobs.JobType "
             "HAVING (((Jobs.JobType)=3)) "
             "ORDER BY Sum(IIf(([Jobs].[DateShipped] Between [Current Period Beginning Date] And [Current Period Ending Date]),"
             "([Jobs].[Subtotal]+[Jobs].[discount]),0))"
             "-Sum(IIf(([Jobs].[DateShipped] Between [Previous Period Beginning Date] And [Previous Period Ending Date]),"
             "([Jobs].[Subtotal]+[Jobs].[discount]),0))")},
    };
    return list;
}

QString ShopSchema::versionText()
{
    return QStringLiteral("20%1.%2").arg(versionMajor()).arg(versionMinor());
}

int ShopSchema::versionMajor() { return 10; }
int ShopSchema::versionMinor() { return 0; }

int ShopSchema::byteSize(platform::FieldType type)
{
    return platform::fieldTypeByteSize(type);
}
