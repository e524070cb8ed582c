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
    ASSERT_TRUE(windowUp(QStringLiteral("Price Table"))) << "no price table: " << message().toStdString();
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Import..."))) << "no Import button";
    ASSERT_TRUE(typeFileName(QStringLiteral("fileNameEdit"), list)) << "no file dialog";
    ASSERT_TRUE(clickText(QStringLiteral("row"), QStringLiteral("PL-4417"))) << "the price list's line is not shown";
    pressKey(QStringLiteral("Return"));
    ASSERT_TRUE(waitFor([&] { return !textSpot(QStringLiteral("row"), 7, QStringLiteral("PL-4417")).has_value(); }))
        << "the price list stayed open";
    afternoonShot(QStringLiteral("price-list-imported"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Save")));
    EXPECT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Price Table")).isEmpty(); }))
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
