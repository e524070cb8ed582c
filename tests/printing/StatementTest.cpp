#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int kRuled = 0x8;
constexpr int kAmounts = 0x200;
constexpr int kAging = 0x400;
constexpr int kTitle = 0x100;

class StatementTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        CreateShopDatabase(tempPath(QStringLiteral("TavrelData.mdb")));
        SharedDatabase().open(tempPath(QStringLiteral("TavrelData.mdb")));
        platform::Clock::setFixed(QDateTime(QDate(2025, 6, 30), QTime(10, 0)));
        exec("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, PayerNo, CreditDue, ParentNo) "
             "VALUES (200, 'Birch Dental', '5 Elm St', 'Riverton', 'IL', '62801', 0, 25, 0)");
        exec("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, PayerNo, CreditDue, ParentNo) "
             "VALUES (201, 'Birch Dental East', '9 Elm St', 'Riverton', 'IL', '62801', 0, 0, 200)");
        exec("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, PayerNo, CreditDue, ParentNo) "
             "VALUES (300, 'Credit Only Cafe', '1 Main St', 'Riverton', 'IL', '62801', 0, 25, 0)");
        app = std::make_unique<CZqApp>();
        app->m_company.m_strName = QStringLiteral("Halvane Press");
        Appearance::instance().LoadViewSettings();
    }
    void TearDown() override
    {
        app.reset();
        SharedDatabase().close();
        platform::Clock::reset();
        PrintTest::TearDown();
    }
    static void exec(const char *sql) { SharedDatabase().execute(QString::fromUtf8(sql)); }
    static QString scalar(const QString &sql)
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, sql);
        return rs.isEOF() ? QString() : rs.value(0).toString();
    }
    // A posted invoice of the customer, shipped this many days before today.
    void addInvoice(qint32 cusNo, int jobNo, int daysAgo, const QString &balance)
    {
        const QDate shipped = QDate(2025, 6, 30).addDays(-daysAgo);
        SharedDatabase().execute(
            QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, Subtotal, Paid, Balance, DateShipped, "
                           "DatePayDue) VALUES (3, %1, 'Invoice job %1', %2, %3, 0, %3, #%4#, #%4#)")
                .arg(jobNo)
                .arg(cusNo)
                .arg(balance)
                .arg(shipped.toString(QStringLiteral("MM/dd/yyyy"))));
    }
    int print(RecordingDevice &device, PrintInfo::Pass pass = PrintInfo::Pass::Print)
    {
        return form->DoPrintOn(device, [&device] { device.newPage(); return true; }, pass);
    }
    std::unique_ptr<CZqApp> app;
};

} // namespace

TEST_F(StatementTest, BucketsFollowTheirLabels)
{
    struct Case { int days; int bucket; };
    const Case cases[] = {{0, 0}, {29, 0}, {30, 0}, {31, 1}, {60, 1}, {61, 2}, {89, 2}, {90, 2}, {91, 3}, {400, 3}};
    for (const Case &c : cases)
        EXPECT_EQ(CPrintForm::StatementAgeBucket(c.days), c.bucket) << c.days;
}

TEST_F(StatementTest, TotalsEqualTheStoredBalancesLessCreditAcrossPagesAndPreviews)
{
    // Sixty invoices of the customer and its child account: more than one page.
    for (int i = 0; i < 60; ++i)
        addInvoice(i % 4 == 0 ? 201 : 200, 5000 + i, i * 3, QStringLiteral("%1.%2").arg(10 + i).arg(i % 10));
    const QString sum = scalar(QStringLiteral("SELECT Sum(Balance) - 25 FROM Jobs WHERE JobType = 3"));
    const QString over90 = scalar(QStringLiteral("SELECT Sum(Balance) FROM Jobs WHERE JobType = 3 AND "
                                                 "DateShipped < #04/01/2025#"));
    const int options = kRuled | kAmounts | kAging | kTitle;
    ASSERT_EQ(form->LoadStatement(200, 1, false, options), 60);
    auto totals = [&](const RecordingDevice &device) {
        const QStringList last = device.pageTexts(device.pageCount() - 1);
        return last;
    };
    const QString expected = FormatMoneyGrouped(Money::fromText(sum));
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(device), 2);
        ASSERT_GE(device.pageCount(), 2);
        EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("continued...")));
        const QStringList last = totals(device);
        EXPECT_TRUE(last.contains(QStringLiteral("Total Due")));
        EXPECT_TRUE(last.contains(expected)) << expected.toStdString();
        EXPECT_TRUE(last.contains(FormatMoneyGrouped(Money::fromText(over90))));
        EXPECT_TRUE(last.contains(QStringLiteral("-25.00")));
        EXPECT_TRUE(last.contains(QStringLiteral("60")));
    }
    // A preview of page 2 and then page 1 adds nothing twice.
    {
        ASSERT_EQ(form->LoadStatement(200, 1, false, options), 60);
        form->m_nFromPage = 2;
        form->m_nToPage = 1;
        RecordingDevice device(600, 600, 5100, 6600, true);
        print(device, PrintInfo::Pass::Preview);
        EXPECT_EQ(form->m_amounts[0], Money::fromText(sum));
    }
}

TEST_F(StatementTest, ColumnsByOptionsAndTheCreditOnlyPage)
{
    addInvoice(200, 6001, 10, QStringLiteral("100"));
    struct Case { int options; QStringList present; QStringList absent; };
    const Case cases[] = {
        {kRuled, {"Invoice", "Description", "P.O.", "Balance", "Less Credit", "Total Due"}, {"Total", "Payment", "Count"}},
        {kRuled | kAmounts | kAging, {"Total", "Late Fee", "Payment", "Count", "0 - 30", "Over 90"}, {}},
        {0x2 | kRuled, {"Total", "Payment", "Page: 1"}, {"P.O."}},
        {0, {"Invoice job 6001", "75.00"}, {"Invoice", "Total Due"}},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(form->LoadStatement(200, 1, false, c.options), 1);
        RecordingDevice device(600, 600, 5100, 6600, true);
        print(device);
        const QStringList texts = device.pageTexts(0);
        for (const QString &p : c.present)
            EXPECT_TRUE(texts.contains(p)) << std::hex << c.options << " lacks " << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(texts.contains(a)) << std::hex << c.options << " has " << a.toStdString();
    }
    // No open invoice but credit: one page of credit alone.
    ASSERT_EQ(form->LoadStatement(300, 1, false, kRuled), 1);
    RecordingDevice device(600, 600, 5100, 6600, true);
    print(device);
    EXPECT_EQ(device.pageCount(), 1);
    EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("You have $25.00 credit balance on your account.")));
    EXPECT_FALSE(device.pageTexts(0).contains(QStringLiteral("Total Due")));
    // Past-due statements list only invoices due before today.
    // Due in five days, due today (not yet past due), due yesterday.
    addInvoice(200, 6002, -5, QStringLiteral("40"));
    addInvoice(200, 6003, 0, QStringLiteral("30"));
    addInvoice(200, 6004, 1, QStringLiteral("20"));
    EXPECT_EQ(form->LoadStatement(200, 2, true, kRuled), 2);
    EXPECT_EQ(form->LoadStatement(200, 2, false, kRuled), 4);

    // A shop's block of eight lines (every field at its full length in wide
    // capitals, the name and address two lines each) reaches past the inch
    // the layout gives it: the address begins under its last line, the fax,
    // on every statement form and in each style.
    app->m_company.m_strName = QString(60, QLatin1Char('W'));
    app->m_company.m_strAddress = QString(60, QLatin1Char('M'));
    app->m_company.m_strCity = QString(30, QLatin1Char('M'));
    app->m_company.m_strState = QString(20, QLatin1Char('W'));
    app->m_company.m_strZip = QString(15, QLatin1Char('M'));
    app->m_company.m_strPhone = QString(20, QLatin1Char('W'));
    app->m_company.m_strFax = QStringLiteral("FAXFAXFAXFAXFAXFAXFA");
    const struct
    {
        int kind;
        int options;
    } shops[] = {{1, kRuled | 0xE0}, {4, -1}, {1, 0x2 | kRuled | 0xE0}, {1, 0xE0}};
    for (const auto &s : shops) {
        ASSERT_EQ(form->LoadStatement(200, s.kind, false, s.options), 4);
        RecordingDevice device(600, 600, 5100, 6600, true);
        print(device);
        const RecordingDevice::Text *fax = nullptr;
        const RecordingDevice::Text *name = nullptr;
        for (const RecordingDevice::Text &t : device.texts()) {
            if (t.page == 0 && t.text.contains(QLatin1String("FAXFAXFAXFAXFAXFAXFA")))
                fax = &t;
            if (t.page == 0 && t.text == QLatin1String("Birch Dental") && !name)
                name = &t;
        }
        ASSERT_NE(fax, nullptr) << s.kind << " " << std::hex << s.options;
        ASSERT_NE(name, nullptr) << s.kind << " " << std::hex << s.options;
        EXPECT_GE(name->position.y() - name->pixelSize, fax->position.y())
            << s.kind << " " << std::hex << s.options << ": the address begins at " << std::dec << name->position.y()
            << ", the shop's block ends at " << fax->position.y();
    }
}

TEST_F(StatementTest, StatementAsPdfAndPng)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    for (int i = 0; i < 6; ++i)
        addInvoice(200, 7000 + i, i * 25, QStringLiteral("%1").arg(100 + i * 10));
    ASSERT_EQ(form->LoadStatement(200, 1, false, kRuled | kAmounts | kAging | kTitle | 0x20 | 0x40), 6);
    const QString pdf = savePages(QStringLiteral("statement"));
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Total Due")));
    EXPECT_TRUE(text.contains(QStringLiteral("725.00"))) << text.toStdString(); // 750 less the credit of 25
}

// An amount that another program stored as a text or beyond the currency
// range is no 0.00: the statement says it as the A/R summary's sum of the
// same row does (the engine's error), names the invoice and the field, and
// prints nothing.
TEST_F(StatementTest, AStoredAmountThatCannotBeReadIsSaidAndNothingPrints)
{
    struct Case
    {
        const char *field;
        const char *stored; // as another program wrote it (SQLite's own SQL)
        const char *said;
    };
    const Case cases[] = {
        {"Balance", "'abc'", "Error 3464 occured:\n\nData type mismatch in criteria expression.\n\n"},
        {"Balance", "1E308", "Error 3349 occured:\n\nNumeric field overflow.\n\n"},
        {"Paid", "'fifty'", "Error 3464 occured:\n\nData type mismatch in criteria expression.\n\n"},
        // A text that is a number is read as one.
        {"Balance", "'291.35'", nullptr},
    };
    addInvoice(200, 6201, 10, QStringLiteral("32.82"));
    addInvoice(200, 6202, 40, QStringLiteral("291.35"));
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.stored);
        SharedDatabase().executeNative(QStringLiteral("UPDATE Jobs SET Balance = 291.35, Paid = 0 WHERE JobNo = 6202"));
        SharedDatabase().executeNative(
            QStringLiteral("UPDATE Jobs SET %1 = %2 WHERE JobNo = 6202").arg(QLatin1String(c.field), QLatin1String(c.stored)));
        prompts().clear();
        if (c.said)
            prompts().answer(platform::IDOK);
        const int count = form->LoadStatement(200, 1, false, kRuled | kAmounts);
        if (!c.said) {
            EXPECT_EQ(count, 2);
            EXPECT_TRUE(prompts().shown().isEmpty());
            RecordingDevice device(600, 600, 5100, 6600, true);
            EXPECT_EQ(print(device), 2);
            // 32.82 + 291.35 - 25.00 of credit
            EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("299.17")));
            continue;
        }
        EXPECT_EQ(count, -1);
        ASSERT_EQ(prompts().shown().size(), 1);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Cannot print the Statement: the %1 of invoice 6202 cannot be read as an amount.\n\n")
                          .arg(QLatin1String(c.field))
                      + QLatin1String(c.said));
        // The print entry stops on it, as on any selection said to fail.
        EXPECT_EQ(form->m_nRecords, -1);
    }
}

namespace {

// The lines of a printed page, top to bottom, each its texts left to right
// joined by " | " (a text's baseline decides its line).
QStringList PrintedLines(const RecordingDevice &device, int page)
{
    std::map<int, std::map<int, QString>> lines;
    for (const RecordingDevice::Text &t : device.texts())
        if (t.page == page && !t.text.trimmed().isEmpty())
            lines[t.position.y()][t.position.x()] += t.text;
    QStringList out;
    for (const auto &[y, cells] : lines) {
        QStringList texts;
        for (const auto &[x, text] : cells)
            texts << text;
        out << texts.join(QStringLiteral(" | "));
    }
    return out;
}

} // namespace

// Every amount of a row is on paper: a written-off amount is a named line
// under its invoice, in the Payment column, with the balance after it, so
// that the lines add up (67.26 + 5.00 - 50.00 - 2.26 = 20.00). Without the
// amount columns the row is the balance alone.
TEST_F(StatementTest, AWriteOffIsANamedLineAndTheRowsAddUp)
{
    addInvoice(200, 6301, 10, QStringLiteral("20"));
    exec("UPDATE Jobs SET Subtotal = 67.26, Latefee = 5, Paid = -50, Writeoff = -2.26 WHERE JobNo = 6301");
    addInvoice(200, 6302, 12, QStringLiteral("40.10"));
    struct Case
    {
        int options;
        QStringList lines; // the lines from the first invoice on, up to the totals
    };
    const Case cases[] = {
        {kRuled | kAmounts,
         {"6301 | 06/20/2025 | Invoice job 6301 | 67.26 | 5.00 | -50.00",
          "Writeoff | -2.26 | 20.00",
          "6302 | 06/18/2025 | Invoice job 6302 | 40.10 | 0.00 | 0.00 | 40.10"}},
        {0x2 | kRuled,
         {"6301 | 06/20/2025 | Invoice job 6301 | 67.26 | 5.00 | -50.00",
          "Writeoff | -2.26 | 20.00",
          "6302 | 06/18/2025 | Invoice job 6302 | 40.10 | 0.00 | 0.00 | 40.10"}},
        {kRuled,
         {"6301 | 06/20/2025 | Invoice job 6301 | 20.00",
          "6302 | 06/18/2025 | Invoice job 6302 | 40.10"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options);
        ASSERT_EQ(form->LoadStatement(200, 1, false, c.options), 2);
        RecordingDevice device(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(device), 2);
        const QStringList lines = PrintedLines(device, 0);
        const qsizetype first = lines.indexOf(c.lines.front());
        ASSERT_GE(first, 0) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(lines.mid(first, c.lines.size()), c.lines) << lines.join(QLatin1Char('\n')).toStdString();
        // The balance as stored makes the total due: 20.00 + 40.10 - 25.00.
        EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("35.10")));
    }

    // Amounts print with thousands separators, as on the other documents; a
    // description of 100 capitals and a P.O. of 20 print whole, wrapped in
    // their columns (the row as tall as its longest), in every layout.
    const QString title(100, QLatin1Char('W'));
    exec(QStringLiteral("UPDATE Jobs SET Subtotal = 1234567.89, Balance = 1234567.89, Title = '%1', "
                        "PO = 'PURCHASE-ORDER-00042' WHERE JobNo = 6302")
             .arg(title)
             .toUtf8()
             .constData());
    for (const int options : {kRuled | kAmounts, kRuled, 0x2 | kRuled, kAmounts}) {
        SCOPED_TRACE(options);
        ASSERT_EQ(form->LoadStatement(200, 1, false, options), 2);
        RecordingDevice device(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(device), 2);
        const QStringList texts = device.pageTexts(0);
        EXPECT_TRUE(texts.contains(QStringLiteral("1,234,567.89"))) << texts.join(QLatin1Char('|')).toStdString();
        // 20.00 + 1,234,567.89 - 25.00
        EXPECT_TRUE(texts.contains(QStringLiteral("1,234,562.89"))) << texts.join(QLatin1Char('|')).toStdString();
        QString letters;
        for (const QString &t : texts)
            if (!t.isEmpty() && t.count(QLatin1Char('W')) + t.count(QLatin1Char('-')) == t.size())
                letters += QString(t).remove(QLatin1Char('-'));
        EXPECT_EQ(letters, title);
        EXPECT_TRUE(form->cutRecord().isEmpty()) << form->cutRecord().describe().join(QLatin1Char('\n')).toStdString();
    }
}

namespace {

// One word of `pdftotext -bbox`, in points.
struct PdfWord
{
    double xMin, yMin, xMax;
    QString text;
};

QList<PdfWord> PdfWords(const QString &pdf)
{
    QList<PdfWord> words;
    const QString box = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    for (auto it = re.globalMatch(box); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).replace(QStringLiteral("&amp;"), QStringLiteral("&"))});
    }
    return words;
}

} // namespace

TEST_F(StatementTest, ColumnsSitAtTheirWidthsOnThePage)
{
    if (!haveTool(QStringLiteral("pdftotext")) || !haveTool(QStringLiteral("sqlite3")))
        GTEST_SKIP() << "pdftotext or sqlite3 is not installed";
    addInvoice(200, 6101, 10, QStringLiteral("100"));
    addInvoice(200, 6102, 45, QStringLiteral("20.50"));
    struct Case
    {
        int options;
        QStringList headings;
        QList<double> widths; // inches, left to right from the body column's edge
    };
    const Case cases[] = {
        {kRuled,
         {"Invoice", "Date", "Description", "Ordered By", "P.O.", "Balance"},
         {0.8, 0.8, 2.4, 1.6, 1.6, 0.8}},
        {kRuled | kAmounts,
         {"Invoice", "Date", "Description", "Ordered By", "P.O.", "Total", "Late Fee", "Payment", "Balance"},
         {0.8, 0.8, 1.6, 0.8, 0.8, 0.8, 0.8, 0.8, 0.8}},
        {0x2 | kRuled,
         {"Invoice", "Date", "Description", "Ordered By", "Total", "Late Fee", "Payment", "Balance"},
         {0.56, 0.78, 1.56, 1.58, 0.84, 0.84, 0.84, 1.0}},
    };
    // The statement of form 43 ("Statement"): its body column starts at its
    // left margin (0.25 in).
    const double bodyLeft = 0.25 * 72.0;
    for (const Case &c : cases) {
        ASSERT_EQ(form->LoadStatement(200, 3, false, c.options), 2);
        const QString pdf = savePages(QStringLiteral("statement_columns_%1").arg(c.options, 0, 16));
        const QList<PdfWord> words = PdfWords(pdf);
        // The heading line is the line of the first "Invoice" heading word.
        double headingY = -1;
        for (const PdfWord &w : words)
            if (w.text == QLatin1String("Invoice") && headingY < 0)
                headingY = w.yMin;
        ASSERT_GE(headingY, 0) << std::hex << c.options;
        QList<PdfWord> line;
        for (const PdfWord &w : words)
            if (std::abs(w.yMin - headingY) < 1.0)
                line.append(w);
        // Each heading is centred in its column.
        double left = bodyLeft;
        int at = 0;
        for (int h = 0; h < c.headings.size(); ++h) {
            const QStringList parts = c.headings[h].split(QLatin1Char(' '));
            ASSERT_LE(at + parts.size(), line.size()) << c.headings[h].toStdString();
            for (int p = 0; p < parts.size(); ++p)
                EXPECT_EQ(line[at + p].text, parts[p]) << std::hex << c.options;
            const double centre = (line[at].xMin + line[at + parts.size() - 1].xMax) / 2.0;
            const double width = c.widths[h] * 72.0;
            EXPECT_NEAR(centre, left + width / 2.0, 1.5)
                << std::hex << c.options << " " << c.headings[h].toStdString();
            left += width;
            at += int(parts.size());
        }
        EXPECT_EQ(at, line.size()) << std::hex << c.options << ": more headings than columns";
        EXPECT_NEAR(left, bodyLeft + 8.0 * 72.0, 0.01);
    }
    // The total due equals the sqlite3 CLI's sum over the same file.
    QProcess cli;
    cli.start(QStringLiteral("sqlite3"), {tempPath(QStringLiteral("TavrelData.mdb")),
                                          QStringLiteral("SELECT printf('%.2f', Sum(Balance) - (SELECT CreditDue FROM "
                                                         "Customers WHERE CusNo = 200)) FROM Jobs WHERE CusNo IN (200, "
                                                         "201) AND JobType = 3 AND Balance > 0.0001")});
    cli.waitForFinished(30000);
    const QString due = QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
    EXPECT_EQ(due, QStringLiteral("95.50"));
    ASSERT_EQ(form->LoadStatement(200, 1, false, kRuled), 2);
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"),
                                                               savePages(QStringLiteral("statement_total")),
                                                               QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Total Due.*\\n.*") + QRegularExpression::escape(due))))
        << qPrintable(text);
    // The address block names the customer above its address.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Birch Dental[^\\n]*\\n\\s*5 Elm St")))) << qPrintable(text);
}

// A name written right to left (here in Hebrew) above the address: each line
// of the block keeps its own direction, so the street's numbers stay where
// they are written.
TEST_F(StatementTest, ANameWrittenRightToLeftLeavesTheAddressLinesWhole)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    SharedDatabase().execute(QStringLiteral(
        "INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, PayerNo, CreditDue, ParentNo) "
        "VALUES (400, '\u05D3\u05E4\u05D5\u05E1 \u05D4\u05D2\u05DC\u05D9\u05DC', '8296 2nd Ave', 'Riverton 2', 'IL', "
        "'62801', 0, 0, 0)"));
    addInvoice(400, 7100, 10, QStringLiteral("100"));
    ASSERT_EQ(form->LoadStatement(400, 1, false, kRuled), 1);
    const QList<PdfWord> words = PdfWords(savePages(QStringLiteral("statement_right_to_left")));
    // The words of the line that holds the given word, left to right.
    const auto lineOf = [&](const QString &word) {
        double y = -1;
        for (const PdfWord &w : words)
            if (w.text == word && y < 0)
                y = w.yMin;
        QList<PdfWord> line;
        for (const PdfWord &w : words)
            if (y >= 0 && std::abs(w.yMin - y) < 1.0)
                line.append(w);
        std::sort(line.begin(), line.end(), [](const PdfWord &a, const PdfWord &b) { return a.xMin < b.xMin; });
        QStringList texts;
        for (const PdfWord &w : line)
            texts << w.text;
        return texts.join(QLatin1Char(' '));
    };
    EXPECT_EQ(lineOf(QStringLiteral("Ave")), QStringLiteral("8296 2nd Ave"));
    EXPECT_TRUE(lineOf(QStringLiteral("Riverton")).startsWith(QStringLiteral("Riverton 2"))) << lineOf(QStringLiteral("Riverton")).toStdString();
    // The name itself is printed, on the line above the street.
    double nameTop = -1, streetTop = -1;
    for (const PdfWord &w : words) {
        if (w.text == QStringLiteral("8296"))
            streetTop = w.yMin;
        if (w.text.contains(QChar(0x05D3)) || w.text.contains(QChar(0x05D4)))
            nameTop = w.yMin;
    }
    ASSERT_GE(nameTop, 0);
    EXPECT_LT(nameTop, streetTop);
}
