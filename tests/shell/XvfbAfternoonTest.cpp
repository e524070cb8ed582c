#include "XvfbAfternoon.h"

// The afternoon on a fresh sample shop: an order of the sample that is
// shipped, invoiced and ready to post. Runs when TAVREL_XVFB_DISPLAY names a
// display and Xvfb, xdotool, import, sqlite3 and pdftotext are installed;
// bounded to four minutes (the fixture's own set-up).
TEST_F(XvfbAfternoon, PaymentsPostingReportsBackupAndCompactWithoutARestart)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QStringList order =
        sqlite(QStringLiteral("SELECT JobNo || ' ' || CusNo FROM Jobs WHERE JobType = 0 AND Status = 3 AND DateShipped > 0 "
                              "AND Balance > 200 ORDER BY JobNo LIMIT 1"))
            .split(QLatin1Char(' '));
    ASSERT_EQ(order.size(), 2) << "the sample has no order ready to post";
    runAfternoon(order[0].toInt(), order[1].toInt());
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the afternoon";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the afternoon took too long";
}

// A supplier's price list imported into a service's price table by clicks
// alone: the service opened from the services view, its Price Table, the
// Import button, the list file typed into the file dialog, the product's
// line picked, the table saved; sqlite3 reads back the rows the import
// filled.
TEST_F(XvfbAfternoon, APriceListImportedByClicksFillsTheServicesPriceTable)
{
    const QString folder = tempPath(QStringLiteral("prices"));
    QDir().mkpath(folder);
    const QString list = folder + QStringLiteral("/PriceList.txt");
    {
        // Three quantity breaks, then one block of prices per price column.
        QFile file(list);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("ID\tNAME\tQ1\tQ2\tQ3\tA1\tA2\tA3\tB1\tB2\tB3\r\n"
                   "PL-4417\tCover 80#\t250\t500\t1000\t12.5\t10.25\t8.125\t14\t12\t9.99999\r\n");
        QFile rules(folder + QStringLiteral("/ImportFields.txt"));
        ASSERT_TRUE(rules.open(QIODevice::WriteOnly));
        rules.write("ID\nNAME\nQ1\nQ2\nQ3\n$\n");
    }
    const QString pick = QStringLiteral(
        "SELECT s.SerNo FROM Services s JOIN ServiceCategories c ON s.CatNo = c.CatNo WHERE c.CatNo > 0 "
        "ORDER BY s.SerNo LIMIT 1");
    const QString failed = startOnSampleShop(
        20, QStringLiteral("UPDATE Services SET PriceBy = 4 WHERE SerNo = (%1); DELETE FROM ServicePriceTables "
                           "WHERE SerNo = (%1);").arg(pick));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QStringList service =
        sqlite(QStringLiteral("SELECT d.DepName || '|' || c.CatName || '|' || s.SerNo FROM Services s JOIN "
                              "ServiceCategories c ON s.CatNo = c.CatNo JOIN ServiceDepartments d ON c.DepNo = d.DepNo "
                              "WHERE s.SerNo = (%1)").arg(pick))
            .split(QLatin1Char('|'));
    ASSERT_EQ(service.size(), 3);
    ASSERT_TRUE(openRow(30002, service[0], service[1], service[2].toLongLong())) << "the service is not listed";
    ASSERT_TRUE(windowUp(QStringLiteral("Service No:"))) << "no service window: " << message().toStdString();
    afternoonShot(QStringLiteral("price-list-service"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30645"))) << "no Price Table button";
    // The price table's window is captioned with the service's name.
    ASSERT_TRUE(windowUp(QStringLiteral("Service: "))) << "no price table: " << message().toStdString();
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Import..."))) << "no Import button";
    ASSERT_TRUE(typeFileName(QStringLiteral("fileNameEdit"), list)) << "no file dialog";
    ASSERT_TRUE(clickText(QStringLiteral("row"), QStringLiteral("PL-4417"))) << "the price list's line is not shown";
    pressKey(QStringLiteral("Return"));
    ASSERT_TRUE(waitFor([&] { return !textSpot(QStringLiteral("row"), 7, QStringLiteral("PL-4417")).has_value(); }))
        << "the price list stayed open";
    afternoonShot(QStringLiteral("price-list-imported"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Save")));
    EXPECT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Service: ")).isEmpty(); }))
        << "the price table stayed open: " << message().toStdString();
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(windowGone(QStringLiteral("Service No:")));
    // Prices are stored in ten-thousandths: 12.5 is 125000.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Qty1, R1C0, R1C1, Qty2, R2C0, R2C1, Qty3, R3C0, R3C1, Qty4 "
                                    "FROM ServicePriceTables WHERE Opt1 = 0 AND SerNo = %1")
                         .arg(service[2])),
              QStringLiteral("250|125000|140000|500|102500|120000|1000|81250|99999|0"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// A shipping amount refused in the job totals and then corrected: "abc"
// typed in Shipping and Tab give "Shipping: Please enter a currency."; once the box is
// answered, the 10 typed in its place is taken as the field is left with
// Tab, so Shipping reads 10.00 and the Total is 10.00 more before OK is
// pressed. The dialog is reached from the payment window of an unpaid
// invoice without tax or shipping (the shipping adds to its total alone).
TEST_F(XvfbAfternoon, ACorrectedShippingInTheJobTotalsCountsAsSoonAsItIsLeft)
{
    const QString failed = startOnSampleShop(200);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QStringList invoice =
        sqlite(QStringLiteral("SELECT JobNo || '|' || JobID || '|' || printf('%.2f', Subtotal + Discount + Postage) FROM "
                              "Jobs WHERE JobType = 3 AND Balance > 1 AND TaxNo = 0 AND Shipping = 0 AND Tax = 0 "
                              "ORDER BY JobNo LIMIT 1"))
            .split(QLatin1Char('|'));
    ASSERT_EQ(invoice.size(), 3) << "the sample has no unpaid invoice without tax or shipping";
    const QString jobNo = invoice[0];
    ASSERT_TRUE(openRow(30004, QStringLiteral("Invoices Unpaid"), QStringLiteral("By Invoice No"), invoice[1].toLongLong()))
        << "the invoice is not listed unpaid";
    ASSERT_TRUE(classUp(QStringLiteral("CArPayment"))) << "no payment window: " << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), jobNo).has_value(); }))
        << "the invoice is not in the payment window";
    // Its Job Title highlights the row; a click on its number would pay it.
    click(*spot(QStringLiteral("tree"), jobNo) - QPoint(treeWidth(jobNo) / 2 - 120, 0));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30415"))) << "no Edit Job Totals button";
    ASSERT_TRUE(classUp(QStringLiteral("CJobBalance"))) << "no job totals: " << message().toStdString();
    // The amounts' column, top down: Subtotal, Discount, Shipping, Postage,
    // Tax, Total, Late Fee, Paid, Write Off, Balance.
    const auto amounts = [&] {
        QList<QPair<QRect, QString>> column = fieldTextsOf(QStringLiteral("CJobBalance"));
        const int left = column.isEmpty() ? 0 : column.first().first.left();
        column.removeIf([&](const QPair<QRect, QString> &f) { return f.first.left() != left; });
        std::sort(column.begin(), column.end(), [](const auto &a, const auto &b) { return a.first.top() < b.first.top(); });
        QStringList texts;
        for (const auto &f : column)
            texts << f.second;
        return texts;
    };
    ASSERT_TRUE(waitFor([&] { return amounts().size() == 10; })) << amounts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(amounts()[5], invoice[2]); // the fields show no grouping
    pressKey(QStringLiteral("alt+h"));
    typeText(QStringLiteral("abc"));
    pressKey(QStringLiteral("Tab"));
    EXPECT_EQ(answerMessage(), QStringLiteral("Shipping: Please enter a currency."));
    typeText(QStringLiteral("10"));
    pressKey(QStringLiteral("Tab"));
    const QString total = QString::number(invoice[2].toDouble() + 10.0, 'f', 2);
    EXPECT_TRUE(waitFor([&] { return amounts().value(2) == QLatin1String("10.00") && amounts().value(5) == total; }, 10000))
        << "Shipping and Total read " << amounts().value(2).toStdString() << " and " << amounts().value(5).toStdString()
        << ", not 10.00 and " << total.toStdString();
    afternoonShot(QStringLiteral("totals-corrected"));
    expectNoMessage(QStringLiteral("shipping corrected"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Typed input lands where it is typed. In Settings > Accounting > Terms a new
// term's name, Tab and "45" put 45 in its Net Days, not in the next row's
// name. In an order's deposit window "abc" and Tab are refused in the words
// of every amount field, the text left selected, so the 50 typed next
// replaces it and 50.00 is saved.
TEST_F(XvfbAfternoon, TypedInputLandsInTheCellAndTheFieldItIsTypedIn)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();

    ASSERT_TRUE(showView(30006));
    if (!spot(QStringLiteral("tree"), QStringLiteral("Terms")).has_value())
        clickSpot(QStringLiteral("item"), QStringLiteral("30532")); // the groups opened
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Terms"))) << "no Terms entry";
    ASSERT_TRUE(classUp(QStringLiteral("CSetupGridDlg"))) << "no Terms editor: " << message().toStdString();
    // The first row without a name that may be typed in (rows 0 and 4 are fixed).
    std::optional<QRect> name;
    int nameRow = -1;
    ASSERT_TRUE(waitFor([&] {
        for (const QStringList &f : layoutLines(QStringLiteral("cell")))
            if (f.value(6) == QLatin1String("1") && f.value(7).isEmpty() && f.value(5) != QLatin1String("0")
                && f.value(5) != QLatin1String("4")) {
                name = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
                nameRow = f[5].toInt();
                return true;
            }
        return false;
    })) << "no empty row in the terms";
    click(name->center());
    typeText(QStringLiteral("Net 45"));
    pressKey(QStringLiteral("Tab"));
    typeText(QStringLiteral("45"));
    pressKey(QStringLiteral("Tab"));
    afternoonShot(QStringLiteral("terms-typed"));
    const auto cellText = [&](int row, int column) {
        for (const QStringList &f : layoutLines(QStringLiteral("cell")))
            if (f.value(5).toInt() == row && f.value(6).toInt() == column)
                return f.value(7);
        return QString();
    };
    EXPECT_TRUE(waitFor([&] { return cellText(nameRow, 2) == QLatin1String("45"); }, 10000))
        << "Net Days reads " << cellText(nameRow, 2).toStdString();
    EXPECT_EQ(cellText(nameRow + 1, 1), QString()) << "the days went into the next row's name";
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
    ASSERT_TRUE(classGone(QStringLiteral("CSetupGridDlg"))) << message().toStdString();
    // The new term, and no term named "45".
    const QString terms = QStringLiteral("SELECT group_concat(Name || '/' || Days, ',') FROM Terms WHERE Name LIKE "
                                         "'Net 45%' OR Name LIKE '45'");
    EXPECT_TRUE(waitFor([&] { return sqlite(terms) == QLatin1String("Net 45/45"); }, 10000)) << sqlite(terms).toStdString();

    const QStringList order =
        sqlite(QStringLiteral("SELECT JobNo || ' ' || JobID FROM Jobs WHERE JobType = 0 AND Status = 3 AND "
                              "DateShipped > 0 AND Balance > 100 ORDER BY JobNo LIMIT 1"))
            .split(QLatin1Char(' '));
    ASSERT_EQ(order.size(), 2) << "the sample has no order ready to post";
    const int payments = sqlite(QStringLiteral("SELECT Count(*) FROM Payments")).toInt();
    ASSERT_TRUE(openRow(30004, QStringLiteral("Invoices Ready-to-Post"), QStringLiteral("List"), order[1].toLongLong()))
        << "the order is not listed ready to post";
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << "no job window: " << message().toStdString();
    skipWalkThrough();
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30415")));
    ASSERT_TRUE(windowUp(QStringLiteral("Deposit for Order"))) << "no deposit window: " << message().toStdString();
    typeText(QStringLiteral("abc"));
    pressKey(QStringLiteral("Tab"));
    EXPECT_EQ(answerMessage(), QStringLiteral("Tendered: Please enter a currency."));
    typeText(QStringLiteral("50"));
    afternoonShot(QStringLiteral("deposit-corrected"));
    pressKey(QStringLiteral("alt+s")); // "Save without Printing"
    ASSERT_TRUE(windowGone(QStringLiteral("Deposit for Order"))) << message().toStdString();
    expectNoMessage(QStringLiteral("deposit"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Payments")).toInt(), payments + 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.2f', Amount) FROM Payments ORDER BY PayNo DESC LIMIT 1")),
              QStringLiteral("50.00"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Inventory Setup's Minimum Level typed "2.5" by keys: the cell shows what
// is typed, and leaving it refuses the text naming the column; the level
// from before stays, in the cell and in the services saved (not 25).
TEST_F(XvfbAfternoon, AFractionTypedAsAMinimumLevelIsRefusedNotSavedAsTwentyFive)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString levels = QStringLiteral("SELECT group_concat(SerNo || '/' || MinLevel || '/' || InStock, ',') FROM "
                                          "(SELECT SerNo, MinLevel, InStock FROM Services ORDER BY SerNo)");
    const QString before = sqlite(levels);

    ASSERT_TRUE(showView(30007));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30740"))) << "no Inventory button";
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30741"))) << "no Setup/Adjust entry";
    ASSERT_TRUE(classUp(QStringLiteral("CInventory"))) << "no Inventory Setup: " << message().toStdString();
    // Column 6 is Minimum Level, column 8 In Stock; the first row's cells.
    const auto cellAt = [&](int row, int column) -> std::optional<QPair<QRect, QString>> {
        for (const QStringList &f : layoutLines(QStringLiteral("cell")))
            if (f.value(5).toInt() == row && f.value(6).toInt() == column)
                return qMakePair(QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()), f.value(7));
        return std::nullopt;
    };
    ASSERT_TRUE(waitFor([&] { return cellAt(0, 6).has_value(); })) << "no services in the inventory setup";
    for (const int column : {6, 8}) {
        const auto cell = *cellAt(0, column);
        click(cell.first.center());
        pressKey(QStringLiteral("ctrl+a"));
        typeText(QStringLiteral("2.5"));
        afternoonShot(QStringLiteral("inventory-setup-typed-%1").arg(column));
        pressKey(QStringLiteral("Tab"));
        EXPECT_EQ(answerMessage().toStdString(), column == 6 ? "Minimum Level: Please enter an integer."
                                                             : "In Stock: Please enter an integer.");
        EXPECT_TRUE(waitFor([&] { return cellAt(0, column) && cellAt(0, column)->second == cell.second; }, 10000))
            << "the cell reads " << (cellAt(0, column) ? cellAt(0, column)->second.toStdString() : std::string());
    }
    afternoonShot(QStringLiteral("inventory-setup-refused"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Save Changes")));
    ASSERT_TRUE(classGone(QStringLiteral("CInventory"))) << message().toStdString();
    EXPECT_EQ(sqlite(levels).toStdString(), before.toStdString());
}

namespace {

// The list bar's caption as the layout reports it.
QString captionOf(const QList<QStringList> &items)
{
    for (const QStringList &f : items)
        if (f.size() >= 8 && f[1] == QLatin1String("30673"))
            return f[7];
    return QString();
}

} // namespace

// A view's own shortcut, held as the view first fills its list, lists what
// the caption names: Ctrl+Shift+C as the program's first key shows the
// customers, and Export of "- the list on the screen -" writes them (one
// line a customer below the headings), not the rows of the jobs the
// customers list is read through.
TEST_F(XvfbAfternoon, AViewsShortcutAsTheFirstKeyListsAndExportsItsOwnRows)
{
    const QString failed = startOnSampleShop(300);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString customers = sqlite(QStringLiteral(
        "SELECT Count(*) FROM Customers WHERE CusStatus <> 2 AND CusNo IN (SELECT CusNo FROM Jobs WHERE JobType IN (0, 3))"));
    ASSERT_GT(customers.toInt(), 0);
    // The pointer over the main window (no click): the keys go to it.
    const QPoint tab = *spot(QStringLiteral("item"), QStringLiteral("30003"));
    runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(tab.x()), QString::number(tab.y() + 200)});
    runTool(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("ctrl+shift")});
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("c")});
    // Ctrl and Shift stay down until the list is read.
    QString caption;
    const bool listed = waitFor([&] {
        caption = captionOf(layoutLines(QStringLiteral("item")));
        return caption.startsWith(QLatin1String("Customers")) && caption.endsWith(QLatin1String(" listed)"));
    }, 20000);
    QThread::msleep(500);
    runTool(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("ctrl+shift")});
    afternoonShot(QStringLiteral("shortcut-customers"));
    ASSERT_TRUE(listed) << "the customers are not listed: " << caption.toStdString();
    caption = captionOf(layoutLines(QStringLiteral("item")));
    EXPECT_EQ(caption.toStdString(), QStringLiteral("Customers / All (not hidden) (%1 listed)").arg(customers).toStdString());

    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30123"))) << "no Export button";
    ASSERT_TRUE(classUp(QStringLiteral("CDlgOptions"))) << "no export choice: " << message().toStdString();
    afternoonShot(QStringLiteral("shortcut-customers-export"));
    // "- the list on the screen -", all rows.
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
    const QString out = tempPath(QStringLiteral("customers.csv")); // comma-delimited, as offered first
    ASSERT_TRUE(typeFileName(QStringLiteral("fileNameEdit"), out)) << "no export file dialog";
    ASSERT_TRUE(waitFor([&] { return message().startsWith(QLatin1String("Your data has been successfully exported")); }))
        << message().toStdString();
    EXPECT_TRUE(message().contains(out)) << message().toStdString();
    pressKey(QStringLiteral("n")); // not opened
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no export file";
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), customers.toInt() + 1) << lines.value(0).toStdString();
    EXPECT_FALSE(lines.value(0).contains(QLatin1String("JobNo"))) << lines.value(0).toStdString();
    // Every customer listed is one the shop has, once.
    QStringList names = sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusStatus <> 2 AND CusNo IN "
                                              "(SELECT CusNo FROM Jobs WHERE JobType IN (0, 3))"))
                            .split(QLatin1Char('\n'));
    QStringList written;
    for (int i = 1; i < lines.size(); ++i)
        written << lines[i].section(QLatin1Char(','), 0, 0).remove(QLatin1Char('"'));
    std::sort(written.begin(), written.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(written.join(QLatin1Char('|')).toStdString(), names.join(QLatin1Char('|')).toStdString());
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// A heading chosen after a list shows no list, and none comes back when the
// data changes under it: Jobs > Orders > All, the heading "Quotes", a tax
// renamed in Settings > Taxes, and back in Jobs the heading still lists
// nothing.
TEST_F(XvfbAfternoon, AHeadingListsNothingAfterTheDataChanged)
{
    const QString failed = startOnSampleShop(300);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(listEntry(QStringLiteral("Orders"), QStringLiteral("All")));
    ASSERT_TRUE(waitFor([&] { return captionOf(layoutLines(QStringLiteral("item"))).startsWith(QLatin1String("All Orders (")); }));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Quotes")));
    ASSERT_TRUE(waitFor([&] { return captionOf(layoutLines(QStringLiteral("item"))) == QLatin1String("Quotes /"); }))
        << captionOf(layoutLines(QStringLiteral("item"))).toStdString();
    EXPECT_TRUE(rows().isEmpty());

    ASSERT_TRUE(showView(30006));
    if (!spot(QStringLiteral("tree"), QStringLiteral("Taxes")).has_value())
        clickSpot(QStringLiteral("item"), QStringLiteral("30532")); // the groups opened
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Taxes"))) << "no Taxes entry";
    ASSERT_TRUE(classUp(QStringLiteral("CSetupGridDlg"))) << "no Taxes editor: " << message().toStdString();
    std::optional<QRect> name;
    ASSERT_TRUE(waitFor([&] {
        for (const QStringList &f : layoutLines(QStringLiteral("cell")))
            if (f.value(5) == QLatin1String("1") && f.value(6) == QLatin1String("1") && !f.value(7).isEmpty()) {
                name = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
                return true;
            }
        return false;
    })) << "no tax named"; // row 0, "Exempt", is fixed
    const QString before = sqlite(QStringLiteral("SELECT group_concat(Name, ',') FROM Taxes"));
    click(name->center());
    pressKey(QStringLiteral("ctrl+a"));
    typeText(QStringLiteral("Renamed"));
    pressKey(QStringLiteral("Tab"));
    afternoonShot(QStringLiteral("heading-tax-renamed"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
    ASSERT_TRUE(classGone(QStringLiteral("CSetupGridDlg"))) << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return sqlite(QStringLiteral("SELECT group_concat(Name, ',') FROM Taxes")) != before; }))
        << "the tax was not renamed";

    ASSERT_TRUE(showView(30001));
    QThread::msleep(1500);
    afternoonShot(QStringLiteral("heading-after-refresh"));
    EXPECT_EQ(captionOf(layoutLines(QStringLiteral("item"))).toStdString(), "Quotes /");
    EXPECT_TRUE(rows().isEmpty()) << rows().size() << " rows under the heading";
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// The first keys of a fresh start reach the view shown with nothing clicked:
// F2 opens the New Job window, and F6 with no row chosen says what to do.
TEST_F(XvfbAfternoon, F2AndF6AsTheFirstKeysOfAFreshStart)
{
    const QString failed = startOnSampleShop(300);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    // The jobs view's first list shown, no row of it chosen.
    QString caption;
    waitFor([&] { return (caption = captionOf(layoutLines(QStringLiteral("item")))).endsWith(QLatin1String(" listed)")); },
            20000);
    ASSERT_TRUE(caption.endsWith(QLatin1String(" listed)"))) << caption.toStdString();
    pressKey(QStringLiteral("F2"));
    const bool opened = classUp(QStringLiteral("CJobNew"));
    afternoonShot(QStringLiteral("first-key-f2"));
    ASSERT_TRUE(opened) << "F2 opened no New Job window: " << message().toStdString();
    pressKey(QStringLiteral("Escape"));
    ASSERT_TRUE(classGone(QStringLiteral("CJobNew"))) << "the New Job window stayed";
    // Back in the list after the window closed, the keys still reach it.
    pressKey(QStringLiteral("F6"));
    EXPECT_EQ(answerMessage().toStdString(), "Please select the row to open.");
    pressKey(QStringLiteral("F2"));
    EXPECT_TRUE(classUp(QStringLiteral("CJobNew"))) << "F2 after a window closed opened nothing";
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(classGone(QStringLiteral("CJobNew")));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Print (F7) as the first key of a fresh start, no row chosen: the print
// window opens on "- the list on the screen -", and its Preview opens.
TEST_F(XvfbAfternoon, PrintAsTheFirstKeyOfAFreshStartPreviewsTheListOnTheScreen)
{
    const QString failed = startOnSampleShop(300);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    // The jobs view's first list shown, no row of it chosen.
    QString caption;
    waitFor([&] { return (caption = captionOf(layoutLines(QStringLiteral("item")))).endsWith(QLatin1String(" listed)")); },
            20000);
    ASSERT_TRUE(caption.endsWith(QLatin1String(" listed)"))) << caption.toStdString();
    pressKey(QStringLiteral("F7"));
    const bool opened = classUp(QStringLiteral("CPrintDlg"));
    afternoonShot(QStringLiteral("first-key-f7"));
    ASSERT_TRUE(opened) << "F7 opened no print window: " << message().toStdString();
    QString title;
    for (const QStringList &f : layoutLines(QStringLiteral("window")))
        if (f.value(1) == QLatin1String("CPrintDlg"))
            title = f.value(2);
    EXPECT_TRUE(title.contains(QLatin1String("- the list on the screen -"))) << title.toStdString();
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("57609"))) << "no Preview button";
    const bool previewed = classUp(QStringLiteral("CPrintPreview"), 20000);
    afternoonShot(QStringLiteral("first-key-f7-preview"));
    ASSERT_TRUE(previewed) << "no preview: " << message().toStdString();
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(classGone(QStringLiteral("CPrintPreview"), 10000)) << "the preview did not close";
    EXPECT_EQ(m_program.state(), QProcess::Running);
}
