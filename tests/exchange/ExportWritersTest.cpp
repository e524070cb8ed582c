#include "ExchangeFixture.h"
#include "support/CountingProgress.h"
#include "support/TestFiles.h"

#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/ListWork.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CXDaoSet.h"
#include "exchange/export/ExportText.h"
#include "views/CDlgOptions.h"

#include <QtCore/QDir>
#include <QtWidgets/QHeaderView>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>

namespace {

class ExportWriters : public ExchangeTest
{
};

TEST(ExportValue, FormatFieldQuotesWhatWouldSplitAField)
{
    struct Case
    {
        char separator;
        QString in;
        bool addSeparator;
        QString out;
    };
    const Case cases[] = {
        // A comma and quotes: quoted with a comma separator, the quotes blanked.
        {',', QStringLiteral("Say \"hi\", Bob"), false, QStringLiteral("\"Say  hi , Bob\"")},
        {'\t', QStringLiteral("Say \"hi\", Bob"), false, QStringLiteral("Say  hi , Bob")},
        {'\t', QStringLiteral("a\tb"), true, QStringLiteral("\"a\tb\"\t")},
        {',', QStringLiteral("two\r\nlines"), true, QStringLiteral("\"two\r\nlines\",")},
        // A lone LF or CR splits a row for readers too: quoted.
        {',', QStringLiteral("two\nlines"), false, QStringLiteral("\"two\nlines\"")},
        {'\t', QStringLiteral("two\rlines"), false, QStringLiteral("\"two\rlines\"")},
        {',', QStringLiteral("plain"), true, QStringLiteral("plain,")},
        {',', QString(), true, QStringLiteral(",")},
    };
    for (const Case &c : cases) {
        CExport e;
        e.separator = c.separator;
        QString value = c.in;
        e.FormatField(value, c.addSeparator);
        EXPECT_EQ(value, c.out) << c.in.toStdString();
    }
}

TEST(ExportValue, TextIsWindows1252WithQuestionMarksForTheRest)
{
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC 5 \xE2\x80\x9Cok\xE2\x80\x9D")),
              QByteArray("caf\xE9 \x80 5 \x93ok\x94"));
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\xE6\xBC\xA2 \xF0\x9F\x98\x80!")), QByteArray("? ?!"));
    // The ends of the range Latin-1 shares: U+00A0 and U+00FF are themselves,
    // U+0100 just past it and the C1 controls below are not in the code page.
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\xC2\xA0|\xC3\xBF|\xC4\x80|\xC2\x9F")), QByteArray("\xA0|\xFF|?|?"));
    EXPECT_EQ(RtfValue(QString::fromUtf8("a\\b {c} \xC3\xA9 \xE2\x82\xAC \xE6\xBC\xA2\r\nx\ny")),
              QStringLiteral("a\\\\b \\{c\\} \\'e9 \\'80 \\u28450?\\par x\\par y"));
}

TEST_F(ExportWriters, LinesEndInCrLfAndAFullDiskIsReported)
{
    const QString path = tempPath(QStringLiteral("out.txt"));
    CExport e;
    ASSERT_TRUE(e.OpenOutput(path));
    e.Write(QString::fromUtf8("one\ntwo \xE2\x82\xAC\n"));
    ASSERT_TRUE(e.CloseOutput());
    EXPECT_EQ(readAll(path), QByteArray("one\r\ntwo \x80\r\n"));

    // A device is no file to export into: refused by name, nothing written.
    CExport device;
    EXPECT_FALSE(device.OpenOutput(QStringLiteral("/dev/full")));
    EXPECT_EQ(device.WriteError(), QStringLiteral("It is a device, not an ordinary file; nothing was written to it."));

    // The disk (here the session's file-size limit) leaves no room: told,
    // and the file written before stays as it was.
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit allowed {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &allowed), 0);
    struct rlimit limited = allowed;
    limited.rlim_cur = 64 * 1024;
    CExport full;
    ASSERT_TRUE(full.OpenOutput(path));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    full.Write(QString(70000, QLatin1Char('x')) + QLatin1Char('\n'));
    const bool closed = full.CloseOutput();
    ::setrlimit(RLIMIT_FSIZE, &allowed);
    ::signal(SIGXFSZ, handler);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(full.WriteFailed());
    EXPECT_FALSE(full.WriteError().isEmpty());
    EXPECT_EQ(readAll(path), QByteArray("one\r\ntwo \x80\r\n"));
    EXPECT_TRUE(WorkFilesOf(path).isEmpty());
    prompts().answer(platform::IDOK);
    full.ReportWriteFailure();
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot write: ") + path + QStringLiteral("\n\n")));

    // An export left half way by an exception, or one whose writer found
    // nothing, leaves the file at the name byte for byte and no work file,
    // whichever writer it was.
    struct Case
    {
        const char *writer;
        std::function<int(CExport &)> run; // the records written
        bool thrown;                       // the writer is left by an exception after writing
    };
    const Case cases[] = {
        {"list rows, thrown", [](CExport &e) { e.Write(QStringLiteral("Name\tCity\nhalf")); return 1; }, true},
        {"invoice CSV of a posting without invoices",
         [](CExport &e) {
             e.separator = ',';
             e.WritePeachtreeHeader();
             return e.WritePeachtreePosting(99, QStringLiteral("40000,11000,23100"));
         },
         false},
        {"IIF invoices of a posting without invoices",
         [](CExport &e) {
             e.WriteIifInvoiceHeader();
             return e.WriteIifInvoices(8);
         },
         false},
        {"IIF invoices, thrown after the first",
         [](CExport &e) {
             e.WriteIifInvoiceHeader();
             return e.WriteIifInvoices(7);
         },
         true},
        {"IIF journal of no posting",
         [](CExport &e) {
             e.WriteIifSalesHeader();
             return e.WriteIifSalesJournal(99);
         },
         false},
        {"address list of no customer",
         [](CExport &e) {
             e.rows = {CExport::Row{QStringLiteral("999"), 999}};
             return e.WriteAddressList(5, true, false);
         },
         false},
        {"shipping labels of no item",
         [](CExport &e) { return e.WriteShippingLabels({CExport::Shipment{999, QStringLiteral("x"), QStringLiteral("1"),
                                                                          QStringLiteral("1"), QStringLiteral("1"),
                                                                          QStringLiteral("0")}}); },
         false},
    };
    const QByteArray old = "the file as it was\r\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.writer);
        ASSERT_TRUE(WriteTestFile(path, old));
        int written = -1;
        try {
            CExport e;
            ASSERT_TRUE(e.OpenOutput(path));
            written = c.run(e);
            if (c.thrown)
                throw std::runtime_error("left half way");
            EXPECT_EQ(written, 0);
            EXPECT_FALSE(e.FinishOutput(written));
            EXPECT_TRUE(e.NothingExported());
        } catch (const std::runtime_error &) {
            EXPECT_TRUE(c.thrown);
        }
        EXPECT_EQ(readAll(path), old);
        EXPECT_EQ(WorkFilesOf(path), QStringList());
    }
}

TEST_F(ExportWriters, ListRowsFollowTheScreenOrderAndReadBackCellForCell)
{
    exec(QStringLiteral("UPDATE Customers SET Address = 'Line 1' & Chr(13) & Chr(10) & 'Line 2' WHERE CusNo = 100"));
    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT CusNo, Name, Address, City FROM Customers WHERE CusNo >= 100 ORDER BY "
                                    "CusNo"),
                     QStringLiteral("CusNo"));
    ASSERT_EQ(list.GetItemCount(), 2);
    // The user dragged City to the front.
    list.header()->moveSection(3, 0);

    for (const char sep : {'\t', ','}) {
        const QString path = tempPath(sep == ',' ? QStringLiteral("list.csv") : QStringLiteral("list.txt"));
        CExport e;
        e.list = &list;
        e.separator = sep;
        ASSERT_TRUE(e.OpenOutput(path));
        EXPECT_EQ(e.WriteListRows(true), 2);
        ASSERT_TRUE(e.CloseOutput());
        int code = 0;
        const QString out = python(QStringLiteral(R"(
import csv, sys
dialect = 'excel-tab' if sys.argv[2] == 'tab' else 'excel'
for row in csv.reader(open(sys.argv[1], newline='', encoding='cp1252'), dialect=dialect):
    print(repr(row))
)"),
                                   {path, sep == ',' ? QStringLiteral("comma") : QStringLiteral("tab")}, &code);
        EXPECT_EQ(code, 0) << out.toStdString();
        const QString header = list.GetColumnText(3) + QStringLiteral("', '") + list.GetColumnText(0) +
                               QStringLiteral("', '") + list.GetColumnText(1) + QStringLiteral("', '") +
                               list.GetColumnText(2);
        EXPECT_EQ(out, QStringLiteral("['") + header +
                           QStringLiteral("']\n"
                                          "['Springfield', '100', 'Acme, Inc.', 'Line 1']\n"
                                          "['Dover', '101', \"Bob's Print\\tShop\", '9 Elm']\n"));
    }

    // Selected rows with none selected: the header only, and 0.
    CExport none;
    none.list = &list;
    list.clearSelection();
    ASSERT_TRUE(none.OpenOutput(tempPath(QStringLiteral("none.txt"))));
    EXPECT_EQ(none.WriteListRows(false), 0);
    ASSERT_TRUE(none.CloseOutput());
    EXPECT_EQ(readAll(tempPath(QStringLiteral("none.txt"))).count("\r\n"), 1);
}

// A value's CR LF stays one CR LF (not CR CR LF); its bare LF reaches the disk
// as CR LF like every other line feed, inside the quotes.
TEST_F(ExportWriters, RecordRowsKeepLineBreaksInsideTheirCells)
{
    exec(QStringLiteral("UPDATE Customers SET Address = 'Line 1' & Chr(13) & Chr(10) & 'Line 2', Address2 = 'bare' & "
                        "Chr(10) & 'feed' WHERE CusNo = 100"));
    for (const char sep : {'\t', ','}) {
        for (const bool replace : {false, true}) {
            const QString path = tempPath(QStringLiteral("records.txt"));
            CExport e;
            e.separator = sep;
            CXDaoSet set;
            set.Open(CXDaoSet::dbOpenSnapshot,
                     QStringLiteral("SELECT Name, Address, Address2 FROM Customers WHERE CusNo >= 100 ORDER BY CusNo"));
            ASSERT_TRUE(e.OpenOutput(path));
            EXPECT_EQ(e.WriteRecordRows(set, true, replace), 2);
            ASSERT_TRUE(e.CloseOutput());
            int code = 0;
            const QString out = python(QStringLiteral(R"(
import csv, sys
dialect = 'excel-tab' if sys.argv[2] == 'tab' else 'excel'
for row in csv.reader(open(sys.argv[1], newline='', encoding='cp1252'), dialect=dialect):
    print(repr(row))
)"),
                                       {path, sep == ',' ? QStringLiteral("comma") : QStringLiteral("tab")}, &code);
            EXPECT_EQ(code, 0) << out.toStdString();
            EXPECT_EQ(out, QStringLiteral("['Name', 'Address', 'Address2']\n") +
                               (replace ? QStringLiteral("['Acme, Inc.', 'Line 1 Line 2', 'bare\\r\\nfeed']\n")
                                        : QStringLiteral("['Acme, Inc.', 'Line 1\\r\\nLine 2', 'bare\\r\\nfeed']\n")) +
                               QStringLiteral("[\"Bob's Print\\tShop\", '9 Elm', '']\n"));
        }
    }
}

TEST_F(ExportWriters, AddressListsWriteTheirHeaderOnceBeforeTheFirstRecord)
{
    struct Case
    {
        int choice;
        QList<qint64> keys;
        int records;
        QString golden;
    };
    // 999 has no records: the header waits for the first customer found.
    const Case cases[] = {
        {2, {999, 101, 100}, 4, QStringLiteral("address-all-contacts.txt")},
        {3, {100, 101}, 2, QStringLiteral("address-buyers.txt")},
        {5, {100, 101}, 2, QStringLiteral("address-customers.txt")},
        {10, {1001, 1003}, 1, QStringLiteral("address-phone.txt")},
    };
    for (const Case &c : cases) {
        const QString path = tempPath(c.golden);
        CExport e;
        for (qint64 key : c.keys)
            e.rows.append(CExport::Row{QString::number(key), key});
        ASSERT_TRUE(e.OpenOutput(path));
        EXPECT_EQ(e.WriteAddressList(c.choice, true, false), c.records) << c.choice;
        ASSERT_TRUE(e.CloseOutput());
        expectGolden(path, c.golden);
        const QByteArray data = readAll(path);
        EXPECT_TRUE(data.startsWith("Name\tAddress\tAddress2\tCity\tState\tZip")) << c.choice;
        EXPECT_EQ(data.count("Name\tAddress"), 1);
    }
}

TEST_F(ExportWriters, ExportEntryWritesTheChosenTypeAndOffersToOpenIt)
{
    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT CusNo, Name FROM Customers WHERE CusNo >= 100 ORDER BY CusNo"),
                     QStringLiteral("CusNo"));
    list.SelectItem(1);
    const QString path = tempPath(QStringLiteral("Customers.csv"));

    // Which rows: one row selected proposes all rows; the user takes selected.
    prompts().onDialog([](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Export"));
        EXPECT_EQ(o.GetEntryText(101), QStringLiteral("All Rows: 2"));
        EXPECT_EQ(o.GetEntryText(102), QStringLiteral("Selected Rows: 1"));
        EXPECT_EQ(o.m_nSelect[0], 101);
        o.tree()->SetOptionChecked(102, true);
        o.SendCommand(1);
        return o.result();
    });
    prompts().answerFile(path);
    prompts().answer(platform::IDNO);
    CExport e;
    e.ExportList(30001, 1, 1, QStringLiteral("All Customers"), &list, false, 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") + path +
                                        QStringLiteral("\n\nDo you want to open it?"));
    EXPECT_EQ(readAll(path), (list.GetColumnText(0) + QLatin1Char(',') + list.GetColumnText(1)).toLatin1() +
                                 "\r\n101,Bob's Print\tShop\r\n");

    // The customers view: an address list chosen there names the file.
    prompts().clear();
    prompts().onDialog([](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Export Customers"));
        EXPECT_EQ(o.GetEntryText(6), QStringLiteral("Customer List for QuickBooks"));
        o.tree()->SetOptionChecked(5, true);
        o.tree()->SetOptionChecked(101, true);
        o.SendCommand(1);
        return o.result();
    });
    const QString addressPath = tempPath(QStringLiteral("Address List.txt"));
    prompts().answerFile(addressPath, QStringLiteral("Tab"));
    prompts().answer(platform::IDNO);
    CExport view;
    view.ExportList(30003, 1, 1, QStringLiteral("All Customers"), &list, false, 2);
    EXPECT_TRUE(readAll(addressPath).startsWith("Name\tAddress\tAddress2\tCity\tState\tZip\r\nAcme, Inc.\t"));
    const auto shown = prompts().shown();
    bool proposed = false;
    for (const auto &p : shown)
        if (p.kind == platform::PromptRecord::Kind::SaveFile)
            proposed = p.text.contains(QStringLiteral("Address List of Customers"));
    EXPECT_TRUE(proposed);

    // A name in a shared folder where another user put a link to this
    // user's private file (the dialog's "replace?" answered Yes): the export
    // replaces the link and leaves the private file as it was.
    const PlantedLink planted{tempPath(QStringLiteral("shared/Customers.csv")),
                              tempPath(QStringLiteral("home/private.txt"))};
    ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("shared"))));
    if (planted.plant()) {
        prompts().clear();
        prompts().answerFile(planted.name);
        prompts().answer(platform::IDNO);
        CExport shared;
        shared.ExportList(30001, 1, 1, QStringLiteral("All Customers"), &list, true, 2);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") + planted.name +
                                            QStringLiteral("\n\nDo you want to open it?"));
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
        EXPECT_TRUE(readAll(planted.name).endsWith("\r\n101,Bob's Print\tShop\r\n"));
    }
    // A pipe there is refused by name, and nothing waits for a reader.
    const QString fifo = tempPath(QStringLiteral("shared/pipe.csv"));
    ASSERT_TRUE(MakeTestFifo(fifo));
    prompts().clear();
    prompts().answerFile(fifo);
    prompts().answer(platform::IDOK);
    CExport toPipe;
    toPipe.ExportList(30001, 1, 1, QStringLiteral("All Customers"), &list, true, 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot open: ") + fifo +
                                        QStringLiteral("\n\nIt is a pipe (FIFO), not an ordinary file; nothing was "
                                                       "written to it."));
    EXPECT_TRUE(IsTestFifo(fifo));
}

// A list of a million rows exported: the progress window shows from the
// start and looks at its Stop every few thousand rows; a stop writes no file
// (what was at the name stays) and says nothing more.
TEST_F(ExportWriters, AMillionRowsExportWithProgressAndAStopKeepsNoFile)
{
    {
        platform::Transaction tx(SharedDatabase());
        for (int n = 1000; n < 2000; ++n)
            exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (%1, 'Customer %1')").arg(n));
        tx.commit();
    }
    CXListCtrl list;
    list.resize(400, 300);
    // 1,005 customers twice over: 1,010,025 rows.
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Name AS Other, A.CusNo FROM Customers AS A, Customers AS B "
                                        "ORDER BY A.CusNo, B.CusNo"),
                         QStringLiteral("CusNo"));
    ASSERT_EQ(list.GetItemCount(), 1010025);
    const int quiet = ListWork::QuietTime();
    ListWork::SetQuietTime(0);
    const QString path = tempPath(QStringLiteral("Everyone.csv"));
    {
        QFile before(path);
        ASSERT_TRUE(before.open(QIODevice::WriteOnly));
        before.write("kept\r\n");
    }
    QStringList titles;
    int steps = 0;
    CXProgress::SetFactory([&] { return std::make_unique<CountingProgress>(titles, steps, 100); });
    prompts().clear();
    prompts().answerFile(path);
    CExport stopped;
    stopped.ExportList(30001, 1, 1, QStringLiteral("Everyone"), &list, true, 2);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Exporting the list [Stop]")});
    EXPECT_EQ(steps, 100);
    EXPECT_EQ(readAll(path), QByteArray("kept\r\n"));
    EXPECT_EQ(prompts().shown().size(), 1) << prompts().texts().join(QLatin1Char('|')).toStdString();

    // Not stopped: every row, the window looked at once per 4,096 rows.
    titles.clear();
    steps = 0;
    CXProgress::SetFactory([&] { return std::make_unique<CountingProgress>(titles, steps, -1); });
    prompts().answerFile(path);
    prompts().answer(platform::IDNO);
    CExport whole;
    whole.ExportList(30001, 1, 1, QStringLiteral("Everyone"), &list, true, 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") + path +
                                        QStringLiteral("\n\nDo you want to open it?"));
    EXPECT_GE(steps, 1010025 / 4096);
    const QByteArray written = readAll(path);
    EXPECT_EQ(written.count('\n'), 1 + 1010025);
    EXPECT_TRUE(written.contains("\r\nCustomer 1999,Customer 1999")) << written.right(80).toStdString();
    CXProgress::SetFactory({});
    ListWork::SetQuietTime(quiet);
}

// Customers > Export > an address list of 20,000 customers: the progress
// window shows and looks at its Stop every few thousand records; a stop
// writes no file (what was at the name stays); not stopped, every customer's
// records follow the list's order, each customer's contacts in the order
// they were made.
TEST_F(ExportWriters, AnAddressListOfThousandsOfCustomersShowsProgressAndAStopKeepsNoFile)
{
    {
        platform::Transaction tx(SharedDatabase());
        for (int n = 10000; n < 30000; ++n)
            exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (%1, 'Customer %1')").arg(n));
        tx.commit();
    }
    CXListCtrl list;
    list.resize(400, 300);
    list.FillFromSql(QStringLiteral("SELECT CusNo, Name FROM Customers WHERE CusNo >= 100 ORDER BY CusNo DESC"),
                     QStringLiteral("CusNo"));
    ASSERT_EQ(list.GetItemCount(), 20002);
    const int quiet = ListWork::QuietTime();
    ListWork::SetQuietTime(0);
    const QString path = tempPath(QStringLiteral("Addresses.txt"));
    {
        QFile before(path);
        ASSERT_TRUE(before.open(QIODevice::WriteOnly));
        before.write("kept\r\n");
    }
    const auto allContacts = [](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        o.tree()->SetOptionChecked(2, true);
        o.tree()->SetOptionChecked(101, true);
        o.SendCommand(1);
        return o.result();
    };
    QStringList titles;
    int steps = 0;
    CXProgress::SetFactory([&] { return std::make_unique<CountingProgress>(titles, steps, 3); });
    prompts().clear();
    prompts().onDialog(allContacts);
    prompts().answerFile(path, QStringLiteral("Tab"));
    CExport stopped;
    stopped.ExportList(30003, 1, 1, QStringLiteral("All Customers"), &list, false, 2);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Exporting the address list [Stop]")});
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(readAll(path), QByteArray("kept\r\n"));
    EXPECT_TRUE(WorkFilesOf(path).isEmpty());

    // Not stopped: the shop's customers and contacts read (a customer
    // without contacts is one record), the 20,002 listed written, the
    // window looked at once per 4,096 of both.
    titles.clear();
    steps = 0;
    CXProgress::SetFactory([&] { return std::make_unique<CountingProgress>(titles, steps, -1); });
    prompts().clear();
    prompts().onDialog(allContacts);
    prompts().answerFile(path, QStringLiteral("Tab"));
    prompts().answer(platform::IDNO);
    CExport whole;
    whole.ExportList(30003, 1, 1, QStringLiteral("All Customers"), &list, false, 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") + path +
                                        QStringLiteral("\n\nDo you want to open it?"));
    EXPECT_GE(steps, (20004 + 20002) / 4096);
    const QList<QByteArray> lines = readAll(path).split('\n');
    ASSERT_EQ(lines.size(), 1 + 20004 + 1);
    EXPECT_TRUE(lines.at(0).startsWith("Name\tAddress\t"));
    EXPECT_TRUE(lines.at(1).startsWith("Customer 29999\t")) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(20000).startsWith("Customer 10000\t")) << lines.at(20000).toStdString();
    EXPECT_TRUE(lines.at(20001).startsWith("\"Bob's Print\tShop\"\t")) << lines.at(20001).toStdString();
    // Acme's contacts last, by their numbers.
    EXPECT_TRUE(lines.at(20002).endsWith("\t100\t1001\r")) << lines.at(20002).toStdString();
    EXPECT_TRUE(lines.at(20003).endsWith("\t100\t1002\r")) << lines.at(20003).toStdString();
    EXPECT_TRUE(lines.at(20004).endsWith("\t100\t1003\r")) << lines.at(20004).toStdString();
    CXProgress::SetFactory({});
    ListWork::SetQuietTime(quiet);
}

} // namespace
