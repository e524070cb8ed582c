#include "ShopListFixture.h"

#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Recordset.h"

#include <QtCore/QProcess>

using platform::Recordset;

void ShopListTest::SetUp()
{
    TavrelTest::SetUp();
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 0)));
    app = std::make_unique<CZqApp>();
    path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    db.open(path);
}

void ShopListTest::TearDown()
{
    db.close();
    app.reset();
    TavrelTest::TearDown();
}

void FillShop(platform::Database &db)
{
    static const char *const kRows[] = {
        // Code tables (a new file's own terms and stock vendor replaced by
        // the fixture's; its cutting category 401 kept).
        "DELETE FROM Terms WHERE [No] = 1",
        "DELETE FROM Vendors WHERE [No] = 1",
        "INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (1, 'Ann Miller', 3, 1)",
        "INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (2, 'Bob Stone', 2, 2)",
        "INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (3, 'Carl Price', 1, 3)",
        "INSERT INTO ShipBy ([No], Name, Type, Sort) VALUES (1, 'Courier', 0, 1)",
        "INSERT INTO ShipBy ([No], Name, Type, Sort) VALUES (2, 'Pickup', 0, 2)",
        "INSERT INTO Terms ([No], Name, Days) VALUES (1, 'Net 30', 30)",
        "INSERT INTO Taxes ([No], Name, TaxPercent) VALUES (1, 'State Tax', 600)",
        "INSERT INTO BusinessTypes ([No], Name) VALUES (1, 'Insurance')",
        "INSERT INTO BusinessTypes ([No], Name) VALUES (2, 'Food')",
        "INSERT INTO CustomerSources ([No], Name) VALUES (1, 'Referral')",
        "INSERT INTO CustomerSources ([No], Name) VALUES (2, 'Web')",
        "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (1, 'Printing', 1)",
        "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (2, 'Bindery', 2)",
        "INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (101, 2, 0, 'Bond Paper', 1)",
        "INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (201, 3, 0, 'Offset Press', 2)",
        "INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (301, 4, 0, 'Digital', 3)",
        "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SaleDept, SerStatus, ProdDepID, SetTime, ImpHour, "
        "SetTime1, UnitsHr1, SetCost1, SetPrice1, RunCost1, RunPrice1, ReOrder, SKU) "
        "VALUES (1001, 101, 1, 'Bond 20#', '8.5 x 11', 1, 0, 2, 0, 0, 0, 0, 0, 0, 250, 400, 500, 'BND20')",
        "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SaleDept, SerStatus, ProdDepID, RunCost1, ReOrder, SKU) "
        "VALUES (1002, 101, 2, 'Bond 24#', '8.5 x 11', 1, 2, 2, 300, 250, 'BND24')",
        "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SaleDept, SerStatus, ProdDepID, SetTime1, UnitsHr1, "
        "SetCost1, SetPrice1, RunCost1, RunPrice1) VALUES (2001, 201, 1, 'Two-Color Press', '', 1, 1, 3, 1500, 450000, "
        "2500, 4000, 125, 300)",
        "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SaleDept, SerStatus, ProdDepID) "
        "VALUES (3001, 301, 1, 'Color Copier', '', 1, 0, 4)",
        "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SaleDept, SerStatus, ProdDepID) "
        "VALUES (4001, 401, 1, 'Cut', '', 2, 0, 5)",
        "INSERT INTO ProductTypes ([No], Name) VALUES (1, 'Business Cards')",
        "INSERT INTO ProductTypes ([No], Name) VALUES (2, 'Flyers')",
        "INSERT INTO Vendors ([No], Type, Name) VALUES (1, 0, 'Paper Supply Co')",
        "INSERT INTO PaymentTypes ([No], Name) VALUES (1, 'Check')",
        "INSERT INTO PaymentTypes ([No], Name) VALUES (2, 'Card')",

        // Customers: one active with orders and statements, one on hold,
        // one hidden prospect without orders, one active with a credit limit.
        "INSERT INTO Customers (CusNo, Name, Zip, BuyerNo, PayerNo, Business, Source, Terms, LateFee, Statement, "
        "CusStatus, PriceLevel, DateCreated, CreditDue, CreditLimit) "
        "VALUES (100, 'Acme Insurance', '97401', 1, 1, 1, 1, 1, 1, 1, 0, 1, #3/14/2011#, 0, 2000)",
        "INSERT INTO Customers (CusNo, Name, Zip, BuyerNo, PayerNo, Business, Source, Terms, LateFee, Statement, "
        "CusStatus, PriceLevel, DateCreated, CreditDue, CreditLimit) "
        "VALUES (101, 'Birch Bakery', '97402', 3, 3, 2, 2, 0, 0, 1, 1, 0, #1/5/2010#, 25, 0)",
        "INSERT INTO Customers (CusNo, Name, Zip, BuyerNo, PayerNo, Business, Source, Terms, LateFee, Statement, "
        "CusStatus, PriceLevel, DateCreated, CreditDue, CreditLimit) "
        "VALUES (102, 'Cedar Clinic', '97403', 5, 0, 2, 1, 0, 0, 0, 2, 0, #3/16/2011#, 0, 0)",
        "INSERT INTO Customers (CusNo, Name, Zip, BuyerNo, PayerNo, Business, Source, Terms, LateFee, Statement, "
        "CusStatus, PriceLevel, DateCreated, CreditDue, CreditLimit) "
        "VALUES (103, 'Delta Dental', '97404', 4, 0, 2, 1, 1, 0, 0, 0, 0, #2/1/2011#, 0, 500)",
        "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type, Created) "
        "VALUES (1, 100, 'Alice', 'Archer', '541-555-0101', 0, #3/14/2011#)",
        "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type, Created) "
        "VALUES (2, 100, 'Aaron', 'Ames', '541-555-0102', 2, #3/14/2011#)",
        "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type, Created) "
        "VALUES (3, 101, 'Bella', 'Brown', '541-555-0103', 0, #1/5/2010#)",
        "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type, Created) "
        "VALUES (4, 103, 'Dan', 'Dunn', '541-555-0104', 1, #2/1/2011#)",
        "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type, Created) "
        "VALUES (5, 102, 'Cora', 'Cole', '541-555-0105', 0, #3/16/2011#)",
        "INSERT INTO ShipTo (ShiptoNo, CusNo, Type, Company, Address, City, State, Zip) "
        "VALUES (1, 31, 0, 'Harbor Cafe', '12 Dock St', 'Eugene', 'OR', '97401')",
        "INSERT INTO ShipTo (ShiptoNo, CusNo, Type, Company, Address, City, State, Zip) "
        "VALUES (2, 100, 0, 'Acme Branch Office', '900 Main St', 'Salem', 'OR', '97301')",
        "INSERT INTO ShipTo (ShiptoNo, CusNo, Type, Company, Address, City, State, Zip) "
        "VALUES (3, 101, 2, 'Old Bakery', '4 Mill Rd', 'Eugene', 'OR', '97402')",

        "INSERT INTO PostingJournal (PostingNo, PostingDate, Invoices, Cost, Subtotal, Discount, Shipping, Postage, "
        "Tax, Latefee, Paid, Writeoff, Balance, QSales, QSaleSubtotal, QSaleTax) "
        "VALUES (1, #2/28/2011#, 2, 260, 650, -25, 0, 0, 37.5, 0, 159, 0, 503.5, 0, 0, 0)",
        "INSERT INTO PostingJournal (PostingNo, PostingDate, Invoices, Cost, Subtotal, Discount, Shipping, Postage, "
        "Tax, Latefee, Paid, Writeoff, Balance, QSales, QSaleSubtotal, QSaleTax) "
        "VALUES (2, #3/14/2011#, 2, 118, 295.5, 0, 0, 0, 0, 0, 45, 0, 250.5, 1, 12, 0.72)",
    };
    for (const char *row : kRows)
        db.execute(QString::fromUtf8(row));

    // Jobs: JobID, JobType, JobNo, Title, Status, CSRNo, SRepNo, CusNo,
    // ShiptoNo, BuyerNo, PostingNo, DateIn, DateDue, DateShipped, DatePayDue,
    // DatePaid, DateReorder, ViaDue, TaxNo, TermsNo, Cost, Subtotal, Discount,
    // Tax, Latefee, Paid, Writeoff, Balance, Commission, Creator.
    static const char *const kJobs[] = {
        // Orders: in progress due this week; on hold due next week (its Creator
        // never set); late; ready to post for the walk-in customer; one
        // received today with no price yet. The first quote came from another
        // program (Creator 99).
        "1, 0, 1001, 'Business cards', 0, 1, 2, 100, 0, 1, 0, #3/10/2011#, #3/17/2011#, Null, Null, Null, Null, 1, 1, 1,"
        " 40, 120, -10, 6.6, 0, 0, 0, 116.6, 0, 0",
        "2, 0, 1002, 'Spring flyers', 1, 2, 2, 101, 0, 3, 0, #3/14/2011#, #3/22/2011#, Null, Null, Null, Null, 2, 0, 0,"
        " 90, 300, 0, 0, 0, 0, 0, 300, 0, Null",
        "3, 0, 1003, 'Letterhead', 0, 1, 2, 103, 0, 4, 0, #3/1/2011#, #3/15/2011#, Null, Null, Null, Null, 1, 0, 1,"
        " 70, 200, 0, 0, 0, 0, 0, 200, 0, 0",
        "4, 0, 1004, 'Menus', 3, 2, 2, 31, 1, 0, 0, #3/2/2011#, #3/9/2011#, #3/16/2011#, Null, Null, Null, 2, 1, 0,"
        " 30, 80, 0, 4.8, 0, 84.8, 0, 0, 0, 0",
        "5, 0, 1005, 'Postcards', 0, 1, 2, 100, 2, 1, 0, #3/16/2011#, #3/16/2011#, Null, Null, Null, Null, 1, 0, 1,"
        " 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
        // Quotes, a template and a web order.
        "6, 1, 2001, 'Brochure', 0, 1, 2, 102, 0, 5, 0, #3/15/2011#, Null, Null, Null, Null, Null, 0, 0, 0,"
        " 20, 50, 0, 0, 0, 0, 0, 50, 0, 99",
        "7, 1, 2002, 'Catalog', 3, 2, 2, 103, 0, 4, 0, #1/3/2011#, Null, Null, Null, Null, Null, 0, 0, 0,"
        " 400, 900, 0, 0, 0, 0, 0, 900, 0, 0",
        "8, 2, 3001, 'Standard business card', 0, 0, 0, 10, 0, 0, 0, #6/1/2010#, Null, Null, Null, Null, Null, 0, 0, 0,"
        " 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
        "15, 4, 4001, 'Web order cards', 0, 1, 0, 100, 0, 1, 0, #3/15/2011#, Null, Null, Null, Null, Null, 0, 0, 0,"
        " 20, 60, 0, 0, 0, 0, 0, 60, 0, 0",
        // Invoices: unpaid past due (with a late fee); unpaid not yet due; paid
        // in full; paid at the counter by the walk-in customer; last year's
        // (reordered this week); a no-charge invoice.
        "9, 3, 901, 'Annual report', 0, 1, 2, 100, 2, 1, 1, #1/3/2011#, #1/18/2011#, #1/20/2011#, #2/19/2011#, Null,"
        " Null, 1, 1, 1, 200, 500, -25, 28.5, 3.5, 0, 0, 507, 20, 0",
        "10, 3, 902, 'Door hangers', 0, 2, 2, 101, 0, 3, 2, #2/20/2011#, #3/1/2011#, #3/1/2011#, #3/31/2011#, Null,"
        " Null, 1, 0, 0, 100, 250.5, 0, 0, 0, 0, 0, 250.5, 0, 0",
        "11, 3, 903, 'Envelopes', 0, 2, 2, 103, 0, 4, 1, #2/1/2011#, #2/9/2011#, #2/10/2011#, #3/12/2011#, #3/10/2011#,"
        " Null, 2, 1, 1, 60, 150, 0, 9, 0, 159, 0, 0, 7.5, 0",
        "12, 3, 904, 'Labels', 0, 1, 0, 31, 1, 0, 2, #3/10/2011#, #3/14/2011#, #3/14/2011#, Null, #3/14/2011#, Null, 2,"
        " 0, 0, 18, 45, 0, 0, 0, 45, 0, 0, 0, 0",
        "13, 3, 905, 'Holiday cards', 0, 1, 2, 100, 0, 1, 0, #11/1/2010#, #12/1/2010#, #12/5/2010#, #1/4/2011#,"
        " #12/20/2010#, #3/18/2011#, 1, 0, 1, 120, 300, 0, 0, 0, 300, 0, 0, 12, 0",
        "14, 3, 906, 'Price list', 0, 1, 2, 100, 0, 1, 2, #3/14/2011#, #3/15/2011#, #3/15/2011#, #4/14/2011#, Null,"
        " Null, 1, 0, 1, 0, 0.0001, 0, 0, 0, 0, 0, 0.0001, 0, 0",
    };
    for (const char *job : kJobs) {
        db.execute(QStringLiteral(
                       "INSERT INTO Jobs (JobID, JobType, JobNo, Title, Status, CSRNo, SRepNo, CusNo, ShiptoNo, BuyerNo, "
                       "PostingNo, DateIn, DateDue, DateShipped, DatePayDue, DatePaid, DateReorder, ViaDue, TaxNo, "
                       "TermsNo, Cost, Subtotal, Discount, Tax, Latefee, Paid, Writeoff, Balance, Commission, Creator) "
                       "VALUES (")
                   + QString::fromUtf8(job) + QLatin1Char(')'));
    }

    // Items: ItemID, JobID, SerNo, ItemNo, SubNo, Description, Note, Side1,
    // Side2, Regis, Vendor, EmpNo, Status, Days2, Tag1, Tag2, Out, Up,
    // ActualTime, ChargeTime, ActualQty, ChargeQty, MatCost, Cost, Price.
    // A product line has SerNo 0 (Side1 its product type); its services
    // follow with the same item number.
    static const char *const kItems[] = {
        // Order 1001: in production; paper (late), press (today), cut (done).
        "1, 1, 0, 1, 0, 'Business cards 2 names', '', 1, 1, 10, 0, 0, 4, 1, 0, 0, 0, 0, 0, 0, 0, 1000, 0, 40, 120",
        "2, 1, 1001, 1, 0, 'Bond 20#', 'White · 8.5 x 11 • Black', 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 50, 50,"
        " 12.5, 12.5, 30",
        "3, 1, 2001, 1, 0, 'Two-Color Press', ' · Rush job', 2, 0, 0, 0, 3, 1, 7, 1, 2, 1000, 15, 45, 40, 1000, 1000,"
        " 0, 20, 70",
        "4, 1, 4001, 1, 0, 'Cut', '', 0, 0, 0, 0, 3, 0, 8, 0, 0, 0, 0, 10, 10, 1, 1, 0, 7.5, 20",
        // Order 1002 (on hold): item priced above its services, edited price,
        // four-colour paper on an offset press without an ink note.
        "5, 2, 0, 1, 0, 'Spring flyers', '', 2, 0, 5, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 2500, 0, 90, 300",
        "6, 2, 1001, 1, 0, 'Bond 20#', 'Gloss', 4, 4, 0, 1, 0, 1, 2, 0, 5, 0, 0, 0, 0, 0, 0, 30, 30, 100",
        "7, 2, 2001, 1, 0, 'Two-Color Press', '', 4, 4, 0, 0, 3, 1, 3, 0, 0, 2500, 0, 0, 0, 0, 0, 0, 60, 150",
        // Order 1003 (late): digital print due yesterday.
        "8, 3, 0, 1, 0, 'Letterhead', '', 2, 0, 10, 0, 0, 4, 1, 0, 0, 0, 0, 0, 0, 0, 500, 0, 70, 200",
        "9, 3, 3001, 1, 0, 'Color Copier', '', 0, 0, 0, 0, 3, 1, 15, 0, 0, 500, 0, 0, 0, 0, 500, 0, 70, 200",
        // Order 1004 (ready to post) and 1005 (no services).
        "10, 4, 0, 1, 0, 'Menus', '', 2, 0, 10, 0, 0, 5, 1, 0, 0, 0, 0, 0, 0, 0, 100, 0, 30, 80",
        "11, 4, 3001, 1, 0, 'Color Copier', '', 0, 0, 0, 0, 3, 0, 1, 0, 0, 100, 0, 12, 12, 100, 100, 0, 30, 80",
        "12, 5, 0, 1, 0, 'Postcards', '', 2, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 250, 0, 0, 0",
        // Quote, template and web order.
        "13, 6, 0, 1, 0, 'Brochure', '', 2, 0, 5, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 500, 0, 20, 50",
        "14, 6, 1001, 1, 0, 'Bond 20#', '', 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 20, 20, 50",
        "15, 8, 0, 1, 0, 'Business card', '', 1, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 500, 0, 0, 0",
        "16, 15, 0, 1, 0, 'Web cards', '', 1, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 250, 0, 20, 60",
        "17, 15, 3001, 1, 0, 'Color Copier', '', 0, 0, 0, 0, 0, 1, 1, 0, 0, 250, 0, 0, 0, 0, 0, 0, 20, 60",
        // Invoices.
        "18, 9, 0, 1, 0, 'Annual report', '', 1, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 200, 0, 200, 500",
        "19, 9, 1001, 1, 0, 'Bond 20#', '', 1, 0, 0, 1, 3, 0, 1, 0, 0, 0, 0, 5, 5, 400, 400, 60, 60, 150",
        "20, 9, 2001, 1, 0, 'Two-Color Press', '', 4, 0, 0, 0, 3, 0, 2, 0, 0, 5000, 20, 110, 100, 5000, 5000, 0, 140,"
        " 350",
        "21, 10, 0, 1, 0, 'Door hangers', '', 2, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1000, 0, 100, 250.5",
        "22, 10, 3001, 1, 0, 'Color Copier', '', 0, 0, 0, 0, 3, 0, 1, 0, 0, 1000, 0, 30, 30, 1000, 1000, 0, 100, 250.5",
        "23, 11, 0, 1, 0, 'Envelopes', '', 1, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 500, 0, 60, 150",
        "24, 11, 1001, 1, 0, 'Bond 20#', '', 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 500, 500, 60, 60, 150",
        "25, 12, 0, 1, 0, 'Labels', '', 2, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 200, 0, 18, 45",
        "26, 12, 3001, 1, 0, 'Color Copier', '', 0, 0, 0, 0, 3, 0, 1, 0, 0, 200, 0, 8, 8, 200, 200, 0, 18, 45",
        "27, 13, 0, 1, 0, 'Holiday cards', '', 1, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 300, 0, 120, 300",
        "28, 13, 2001, 1, 0, 'Two-Color Press', '', 2, 0, 0, 0, 3, 0, 1, 0, 0, 3000, 10, 70, 60, 3000, 3000, 0, 120,"
        " 300",
        "29, 14, 0, 1, 0, 'Price list', '', 2, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0.0001",
        "30, 14, 4001, 1, 0, 'Cut', '', 0, 0, 0, 0, 3, 0, 1, 0, 0, 0, 0, 2, 0, 1, 1, 0, 0, 0.0001",
    };
    for (const char *item : kItems) {
        db.execute(QStringLiteral(
                       "INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, Note, Side1, Side2, Regis, "
                       "Vendor, EmpNo, Status, Days2, Tag1, Tag2, Out, Up, ActualTime, ChargeTime, ActualQty, "
                       "ChargeQty, MatCost, Cost, Price) VALUES (")
                   + QString::fromUtf8(item) + QLatin1Char(')'));
    }

    static const char *const kMoney[] = {
        // Payments of every group and type, this month, last month, last year.
        "INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (1, #3/10/2011#, 159, 103, 2, 1, 'Chk 1201', '903,', 2)",
        "INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (2, #3/14/2011#, 45, 31, 0, 0, '', '904,', 2)",
        "INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (3, #3/16/2011#, 84.8, 31, 1, 2, 'Visa', '1004,', 0)",
        "INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (4, #2/20/2011#, 100, 100, 1, 1, 'Chk 88', '1001,', 1)",
        "INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (5, #12/20/2010#, 300, 100, 2, 1, 'Chk 77', '905,', 0)",
        "INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (6, #3/15/2011#, 60.25, 100, 1, 2, 'Visa', '4001,', 0)",
        "INSERT INTO Credits (CreditID, CusNo, JobNo, Amount, [Date], ReasonID) VALUES (1, 101, 902, 25, #3/2/2011#, 0)",
        "INSERT INTO QuickSales (QSaleID, [Date], Subtotal, Tax, TaxID, PostingNo, PayNo) "
        "VALUES (1, #3/14/2011#, 12, 0.72, 1, 2, 2)",
        "INSERT INTO QuickSales (QSaleID, [Date], Subtotal, Tax, TaxID, PostingNo, PayNo) "
        "VALUES (2, #3/16/2011#, 8.5, 0.51, 1, 0, 0)",
        "INSERT INTO QuickSalesItems (QItemID, QSaleID, SerNo, Quantity, Price) VALUES (1, 1, 3001, 20, 12)",
        "INSERT INTO QuickSalesItems (QItemID, QSaleID, SerNo, Quantity, Price) VALUES (2, 2, 4001, 1, 8.5)",
        "INSERT INTO AuditTrail (TransNo, TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, "
        "Writeoff, Balance, JobType) VALUES (1, #3/10/2011#, 903, 0, 0, 0, 0, 0, 0, 159, 0, -159, 3)",
        "INSERT INTO AuditTrail (TransNo, TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, "
        "Writeoff, Balance, JobType) VALUES (2, #3/15/2011#, 901, 0, 0, 0, 0, 0, 3.5, 0, 0, 3.5, 3)",
        "INSERT INTO AuditTrail (TransNo, TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, "
        "Writeoff, Balance, JobType) VALUES (3, #3/15/2011#, 777, 10, 0, 0, 0, 0, 0, 0, 0, 10, 0)",
    };
    for (const char *row : kMoney)
        db.execute(QString::fromUtf8(row));

    // The amounts and codes the job records keep as 0 rather than Null.
    db.execute(QStringLiteral("UPDATE Jobs SET Shipping = 0, Postage = 0, Location = 0, Taxable = 0"));
    db.execute(QStringLiteral("UPDATE Jobs SET Location = 1, Shipping = 12.5 WHERE JobNo = 902"));
    db.execute(QStringLiteral("UPDATE Jobs SET Taxable = Subtotal + Discount WHERE TaxNo = 1"));
}

int CountRows(platform::Database &db, const QString &jetSql)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, jetSql);
    int count = 0;
    for (; !rs.isEOF(); rs.moveNext())
        ++count;
    return count;
}

QStringList ReadRows(platform::Database &db, const QString &jetSql)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, jetSql);
    QStringList out;
    for (; !rs.isEOF(); rs.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const platform::Value v = rs.value(i);
            fields << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        }
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

QStringList SqliteRows(const QString &path, const QString &sqliteSql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), path, sqliteSql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "sqlite3 failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
