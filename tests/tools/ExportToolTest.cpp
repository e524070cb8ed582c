#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>

namespace {

class ExportTool : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        db = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
        for (const char *sql : {
                 "INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Tax) VALUES (100, 'Acme, Inc.', '1 "
                 "Main', 'Springfield', 'IL', '62701', 1)",
                 "INSERT INTO PostingJournal (PostingNo, PostingDate, Paid, QSaleSubtotal, QSaleTax) VALUES (7, "
                 "#11/30/2026#, 0, 0, 0)",
                 "INSERT INTO Jobs (JobID, JobType, JobNo, Title, CusNo, TaxNo, PostingNo, DateShipped, DatePayDue, "
                 "Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance) VALUES (1, 3, 1001, "
                 "'Cards', 100, 0, 7, #11/25/2026#, #12/25/2026#, 30, 0, 0, 0, 0, 0, 0, 0, 30)",
                 "INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, Price, ChargeQty) VALUES (1, 1, "
                 "0, 1, 0, 'Cards', 30, 500)",
             })
            ASSERT_EQ(RunDbTool({QStringLiteral("sql"), db, QString::fromLatin1(sql)}).exitCode, 0) << sql;
    }
    // Every kind of file the tool writes, FILE standing for its name.
    struct Case
    {
        QString name;
        QStringList args;
    };
    QList<Case> everyFileItWrites() const
    {
        const QString rtfTemplate = tempPath(QStringLiteral("Invoice.rtf"));
        // The filled document is longer than the file-size limit of the
        // full-disk test lets a file be.
        EXPECT_TRUE(WriteTestFile(rtfTemplate, "{\\rtf1 <PrintTitle> <JobNo> " + QByteArray(100, 'x') + "<MyFooter>}"));
        const QString sql = QStringLiteral("SELECT JobNo, Title, Balance FROM Jobs");
        const QString file = QStringLiteral("FILE");
        return {
            {QStringLiteral("invoices.csv"), {QStringLiteral("export"), db, QStringLiteral("invoice-csv"), QStringLiteral("7"), file}},
            {QStringLiteral("sales.iif"), {QStringLiteral("export"), db, QStringLiteral("iif-sales"), QStringLiteral("7"), file}},
            {QStringLiteral("invoices.iif"), {QStringLiteral("export"), db, QStringLiteral("iif-invoices"), QStringLiteral("7"), file}},
            {QStringLiteral("addresses.txt"), {QStringLiteral("export"), db, QStringLiteral("address-list"), QStringLiteral("5"), QStringLiteral("100"), file}},
            {QStringLiteral("invoice.rtf"), {QStringLiteral("export"), db, QStringLiteral("rtf"), QStringLiteral("1"), rtfTemplate, file}},
            {QStringLiteral("jobs.pdf"), {QStringLiteral("print"), db, QStringLiteral("--sql"), sql, QStringLiteral("--pdf"), file}},
            {QStringLiteral("preview.pdf"), {QStringLiteral("print"), db, QStringLiteral("--sql"), sql, QStringLiteral("--preview"), QStringLiteral("--pdf"), file}},
            {QStringLiteral("invoice.pdf"), {QStringLiteral("print"), db, QStringLiteral("--job"), QStringLiteral("1"), QStringLiteral("--kind"), QStringLiteral("5"), QStringLiteral("--pdf"), file}},
            {QStringLiteral("attached.pdf"), {QStringLiteral("print"), db, QStringLiteral("--job"), QStringLiteral("1"), QStringLiteral("--kind"), QStringLiteral("5"), QStringLiteral("--pdf"), file, QStringLiteral("--attach")}},
            {QStringLiteral("code.png"), {QStringLiteral("barcode"), QStringLiteral("6"), QStringLiteral("1234"), file}},
            {QStringLiteral("layout.png"), {QStringLiteral("layout"), QStringLiteral("18 x 12"), QStringLiteral("5 x 3"), QStringLiteral("--png"), file}},
            {QStringLiteral("layout.pdf"), {QStringLiteral("layout"), QStringLiteral("18 x 12"), QStringLiteral("5 x 3"), QStringLiteral("--pdf"), file}},
        };
    }
    static QStringList named(QStringList args, const QString &name)
    {
        args.replaceInStrings(QRegularExpression(QStringLiteral("^FILE$")), name);
        return args;
    }
    QString db;
};

TEST_F(ExportTool, WritesEachKindAndRefusesADevice)
{
    struct Case
    {
        QStringList args;
        QByteArray starts;
    };
    const QString out = tempPath(QStringLiteral("out"));
    const Case cases[] = {
        {{QStringLiteral("invoice-csv"), QStringLiteral("7"), QStringLiteral("--accounts"), QStringLiteral("4,1,2")},
         "CUST#,NAME,"},
        {{QStringLiteral("iif-sales"), QStringLiteral("7")}, "!TRNS\tTRNSTYPE\tDATE\tACCNT\tAMOUNT"},
        {{QStringLiteral("iif-invoices"), QStringLiteral("7")}, "!TRNS\tTRNSTYPE\tDATE\tACCNT\tNAME"},
        {{QStringLiteral("iif-customers"), QStringLiteral("SELECT Customers.CusNo FROM Customers WHERE Customers.CusNo = 100")},
         "!CUST\tNAME"},
        {{QStringLiteral("address-list"), QStringLiteral("5"), QStringLiteral("100")}, "Name\tAddress"},
    };
    for (const Case &c : cases) {
        ToolRun r = RunDbTool(QStringList{QStringLiteral("export"), db} + c.args + QStringList{out});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(c.starts)) << c.args.first().toStdString();

        // A device is no file to export into: refused, nothing written.
        r = RunDbTool(QStringList{QStringLiteral("export"), db} + c.args + QStringList{QStringLiteral("/dev/full")});
        EXPECT_EQ(r.exitCode, 1) << c.args.first().toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot create: /dev/full: It is a device, not an ordinary file; "
                                                  "nothing was written to it.")))
            << r.err.toStdString();
    }

    // A list query the export cannot run (CusNo names a column of two
    // tables of its join) writes nothing: the old file stays byte for byte
    // and the tool fails, saying why.
    for (const char *query : {"SELECT * FROM Customers WHERE CusNo=100", "SELECT * FROM Customers WHERE NoSuchColumn=1"}) {
        SCOPED_TRACE(query);
        ASSERT_TRUE(WriteTestFile(out, "!CUST\tNAME\r\nCUST\tOld Customer\r\n"));
        const ToolRun failed = RunDbTool({QStringLiteral("export"), db, QStringLiteral("iif-customers"),
                                          QString::fromLatin1(query), out});
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_EQ(failed.out, QString());
        EXPECT_TRUE(failed.err.contains(QStringLiteral("Cannot write: ") + out +
                                        QStringLiteral(": The data to export could not be read from the database; "
                                                       "nothing was written.\n")))
            << failed.err.toStdString();
        EXPECT_EQ(ReadTestFile(out), QByteArray("!CUST\tNAME\r\nCUST\tOld Customer\r\n"));
        EXPECT_TRUE(WorkFilesOf(out).isEmpty());
    }

    // An export that finds nothing to write (no such customer, no such
    // posting, no such contact) leaves the old file as it was, as the
    // program does, and says so; it is no failure.
    const QString anyTemplate = tempPath(QStringLiteral("Any.rtf"));
    ASSERT_TRUE(WriteTestFile(anyTemplate, "{\\rtf1 <JobNo><MyFooter>}"));
    const QList<QStringList> nothing = {
        {QStringLiteral("iif-customers"), QStringLiteral("SELECT * FROM Customers WHERE Customers.CusNo = 999")},
        {QStringLiteral("iif-sales"), QStringLiteral("999")},
        {QStringLiteral("address-list"), QStringLiteral("3"), QStringLiteral("999")},
        // Their header lines alone are no export either.
        {QStringLiteral("invoice-csv"), QStringLiteral("999")},
        {QStringLiteral("iif-invoices"), QStringLiteral("999")},
        {QStringLiteral("rtf"), QStringLiteral("999"), anyTemplate},
    };
    for (const QStringList &args : nothing) {
        SCOPED_TRACE(args.first().toStdString());
        ASSERT_TRUE(WriteTestFile(out, "OLD\r\n"));
        const ToolRun none = RunDbTool(QStringList{QStringLiteral("export"), db} + args + QStringList{out});
        EXPECT_EQ(none.exitCode, 0) << none.err.toStdString();
        EXPECT_EQ(none.out, QStringLiteral("0\n"));
        EXPECT_TRUE(none.err.contains(QStringLiteral("No data is exported: ") + out +
                                      QStringLiteral(" is left as it was.\n")))
            << none.err.toStdString();
        EXPECT_EQ(ReadTestFile(out), QByteArray("OLD\r\n"));
        EXPECT_TRUE(WorkFilesOf(out).isEmpty());
    }

    const QString folder = tempPath(QStringLiteral("labels"));
    QDir().mkpath(folder);
    ToolRun r = RunDbTool({QStringLiteral("export"), db, QStringLiteral("shipping-labels"),
                        QStringLiteral("1:Cards:95:10:10:0"), folder});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("10\n"));

    const QString rtfTemplate = tempPath(QStringLiteral("Quote.rtf"));
    {
        QFile t(rtfTemplate);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("{\\rtf1 <PrintTitle> <JobNo> <Description><MyFooter>}");
    }
    const QString document = tempPath(QStringLiteral("doc.rtf"));
    r = RunDbTool({QStringLiteral("export"), db, QStringLiteral("rtf"), QStringLiteral("1"), rtfTemplate, document});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile d(document);
    ASSERT_TRUE(d.open(QIODevice::ReadOnly));
    EXPECT_TRUE(d.readAll().startsWith("{\\rtf1 Copy of Invoice 1001 Cards")) ;
    d.close();

    // Items that cannot be read make no document of empty fields: the one at
    // the name stays.
    const QByteArray kept = ReadTestFile(document);
    SqliteRows(db, QStringLiteral("ALTER TABLE Items RENAME TO ItemsAway"));
    r = RunDbTool({QStringLiteral("export"), db, QStringLiteral("rtf"), QStringLiteral("1"), rtfTemplate, document});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("The document is not written.\n"))) << r.err.toStdString();
    EXPECT_EQ(ReadTestFile(document), kept);
}

// Every file the tool writes goes where the program's files go, by the
// same rule: another user's link at the name is replaced and the private
// file it named left as it was; a pipe there is refused by name at once.
TEST_F(ExportTool, EveryFileItWritesReplacesAPlantedLinkAndRefusesAPipe)
{
    const QList<Case> cases = everyFileItWrites();
    const QString shared = tempPath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(shared));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.mid(0, 3).join(QLatin1Char(' ')).toStdString());
        const QString name = shared + QLatin1Char('/') + c.name;
        const QStringList args = named(c.args, name);

        ASSERT_TRUE(MakeTestFifo(name));
        ToolRun r = RunDbTool(args);
        EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(name + QStringLiteral(": It is a pipe (FIFO), not an ordinary file; nothing was "
                                                         "written to it.")) ||
                    r.err.contains(name + QStringLiteral("\n\nIt is a pipe (FIFO), not an ordinary file; nothing was "
                                                         "written to it.")))
            << r.err.toStdString();
        EXPECT_TRUE(IsTestFifo(name));
        QFile::remove(name);

        const PlantedLink planted{name, tempPath(QStringLiteral("home/private.txt"))};
        if (!planted.plant())
            continue;
        r = RunDbTool(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
        EXPECT_GT(QFileInfo(name).size(), 0);
    }
}

// Every file the tool writes, on a full disk and past the file-size limit:
// the tool says it cannot write the file and why, ends with a failure, and
// the file of that name written before (last month's) stays whole, with no
// work file left beside it. A PDF to attach that cannot be written is no
// attachment: the older file of its name is never handed on.
TEST_F(ExportTool, EveryFileItWritesFailsWholeOnAFullDiskOrPastTheSizeLimit)
{
    const QList<Case> cases = everyFileItWrites();
    const QByteArray old = "last month's file";
    const QString limited = tempPath(QStringLiteral("limited"));
    ASSERT_TRUE(QDir().mkpath(limited));
    const FullDisk disk(tempPath(QStringLiteral("full")));
    if (disk.mounted()) {
        for (const Case &c : cases)
            ASSERT_TRUE(WriteTestFile(tempPath(QStringLiteral("full/")) + c.name, old));
        ASSERT_TRUE(disk.fill());
    }
    // A limit that leaves room for the shop's lock file (64 bytes) and no
    // file the tool writes.
    for (const Case &c : cases) {
        struct Way
        {
            const char *what;
            QString name;
            rlim_t limit;
            QString reason;
        };
        std::vector<Way> ways = {{"size limit", limited + QLatin1Char('/') + c.name, 64,
                                  QStringLiteral("The file would be larger than the file-size limit allows.")}};
        if (disk.mounted())
            ways.push_back({"full disk", tempPath(QStringLiteral("full/")) + c.name, 0,
                            QStringLiteral("Not enough space on disk.")});
        for (const Way &w : ways) {
            SCOPED_TRACE(std::string(w.what) + ": " + c.args.mid(0, 3).join(QLatin1Char(' ')).toStdString() + " " +
                         c.name.toStdString());
            if (w.limit > 0)
                ASSERT_TRUE(WriteTestFile(w.name, old));
            const ToolRun r = RunDbTool(named(c.args, w.name), w.limit);
            EXPECT_EQ(r.exitCode, 1) << r.out.toStdString() << r.err.toStdString();
            EXPECT_FALSE(r.out.contains(QStringLiteral("result 2"))) << r.out.toStdString();
            EXPECT_FALSE(r.out.contains(w.name)) << r.out.toStdString();
            EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot write: ") + w.name + QStringLiteral(": ") + w.reason)
                        || r.err.contains(QStringLiteral("Cannot write: ") + w.name + QStringLiteral("\n\n") + w.reason))
                << r.err.toStdString();
            EXPECT_EQ(ReadTestFile(w.name), old);
            EXPECT_TRUE(WorkFilesOf(w.name).isEmpty());
        }
    }
}

// A question the tool asks (here: try the missing template again?) is
// answered from standard input; with nothing there its default is taken
// once, and the same question again is given up: never answered "Yes" by
// the tool itself over and over.
TEST_F(ExportTool, AQuestionWithoutAnAnswerIsGivenUpNotRepeated)
{
    const QString missing = tempPath(QStringLiteral("Missing.rtf"));
    const QString document = tempPath(QStringLiteral("doc.rtf"));
    const QString question = QStringLiteral("Cannot open: ") + missing +
        QStringLiteral("\nPlease close the file if it is open in another application\nand click Yes to continue.\n\n"
                       "Do you want to try again?");
    const QStringList args = {QStringLiteral("export"), db, QStringLiteral("rtf"), QStringLiteral("1"), missing, document};
    ToolRun r = RunDbTool(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count(question), 2) << r.err.left(2000).toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("the same question again, and no answer was given on standard input, so "
                                              "it is answered No.\n")))
        << r.err.left(2000).toStdString();
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("The document is not written.\n"))) << r.err.left(2000).toStdString();
    EXPECT_FALSE(QFile::exists(document));

    // Answered on standard input: "y" tries again, "n" gives up.
    QProcess p;
    p.start(QStringLiteral(TAVREL_DBTOOL), args);
    ASSERT_TRUE(p.waitForStarted());
    p.write("y\ny\nn\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(err.count(question), 3) << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("no answer was given")));
}

} // namespace
