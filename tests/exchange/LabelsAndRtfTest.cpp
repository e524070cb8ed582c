#include "ExchangeFixture.h"
#include "support/TestFiles.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgOptions.h"

#include <QtCore/QRegularExpression>
#include "exchange/export/RtfFill.h"
#include "platform/Settings.h"

#include <QtCore/QFileInfo>
#include <QtCore/QProcess>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

class LabelsAndRtf : public ExchangeTest
{
};

TEST_F(LabelsAndRtf, ShippingLabelsOneLinePerBoxTheLastTheRemainder)
{
    // 95 pieces, 10 a box, 10 boxes, to the ship-to address 55; and an item
    // that no longer exists.
    const QString path = tempPath(QStringLiteral("Shipping Label.txt"));
    CExport e;
    ASSERT_TRUE(e.OpenOutput(path));
    const int labels = e.WriteShippingLabels({CExport::Shipment{1, QStringLiteral("Letterhead"), QStringLiteral("95"),
                                                                QStringLiteral("10"), QStringLiteral("10"),
                                                                QStringLiteral("55")},
                                              CExport::Shipment{999, QStringLiteral("Gone"), QStringLiteral("5"),
                                                                QStringLiteral("5"), QStringLiteral("1"),
                                                                QStringLiteral("0")}});
    ASSERT_TRUE(e.CloseOutput());
    EXPECT_EQ(labels, 10);
    expectGolden(path, QStringLiteral("Shipping Label.txt"));

    int code = 0;
    const QString out = python(QStringLiteral(R"(
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='cp1252'), dialect='excel-tab'))
print(len(rows), sorted(set(len(r) for r in rows)))
h = rows[0]
for r in rows[1:]:
    print(r[h.index('QtyPerBox')], r[h.index('BoxNo')], r[h.index('Name')], r[h.index('BillToName')], r[h.index('JobBarcode')])
)"),
                               {path}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    QString expected = QStringLiteral("11 [96]\n");
    for (int box = 1; box <= 10; ++box)
        expected += QStringLiteral("%1 %2 Acme Warehouse Acme, Inc. *^1#*\n").arg(box < 10 ? 10 : 5).arg(box);
    EXPECT_EQ(out, expected);
}

TEST_F(LabelsAndRtf, AddressLabelsGoToTheDataSourceFolderAndOpenTheChosenTemplate)
{
    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT CusNo, Name FROM Customers WHERE CusNo >= 100 ORDER BY CusNo"),
                     QStringLiteral("CusNo"));
    list.SelectAll();
    // The data-source folder cannot be created: another folder is chosen and kept.
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Path-TemplateDataSource"),
                                    tempPath(QStringLiteral("missing/deeper")));
    const QString folder = tempPath(QStringLiteral("labels"));
    QDir().mkpath(folder);
    prompts().onDialog([](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Print Address Labels"));
        o.tree()->SetOptionChecked(101, true);
        o.SendCommand(1);
        return o.result();
    });
    prompts().answer(platform::IDYES);
    prompts().answerFile(folder);
    prompts().answerFile(QString()); // the template choice is cancelled
    CExport e;
    e.PrintAddressLabels(&list, 2, false);
    EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Cannot create: ")));
    EXPECT_TRUE(prompts().texts().first().contains(QStringLiteral("such as your word processor")));
    EXPECT_EQ(QDir::cleanPath(platform::Settings::readString(QStringLiteral("Settings"),
                                                             QStringLiteral("Path-TemplateDataSource"))),
              QDir::cleanPath(folder));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/Address.txt")));

    // The data file's name is fixed, in a folder others may share: another
    // user's link there is replaced, the private file it named kept.
    const PlantedLink planted{folder + QStringLiteral("/Address.txt"), tempPath(QStringLiteral("home/private.txt"))};
    if (planted.plant()) {
        prompts().clear();
        prompts().onDialog([](QDialog &d) {
            auto &o = static_cast<CDlgOptions &>(d);
            o.tree()->SetOptionChecked(101, true);
            o.SendCommand(1);
            return o.result();
        });
        prompts().answerFile(QString());
        CExport again;
        again.PrintAddressLabels(&list, 2, false);
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
        EXPECT_NE(readAll(planted.name), QByteArray("private"));
    }
}

TEST(OrderMore, OffersTheLargerQuantitiesThePricerCanPrice)
{
    // 1000 at 50.00 (50.00/M); {500, 2500, 5000}: 500 is no offer.
    const auto pricer = [](int q) -> std::optional<Money> {
        return Money::fromCents(q == 2500 ? 10000 : 17500);
    };
    EXPECT_EQ(OrderMoreQuantities(QStringLiteral("Note {500, 2500, 5000} end"), 1000), (QList<int>{2500, 5000}));
    // The quoted quantity itself is no offer; one more is.
    EXPECT_EQ(OrderMoreQuantities(QStringLiteral("{1000, 1001}"), 1000), (QList<int>{1001}));
    // At most ten offers; a word counts the number it starts with.
    EXPECT_EQ(OrderMoreQuantities(QStringLiteral("{2 3 4 5 6 7 8 9 10 11 12}"), 1),
              (QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    // Each number whole, up to the largest count (never its first 8 digits).
    EXPECT_EQ(OrderMoreQuantities(QStringLiteral("{123456789 2000pcs}"), 1000), (QList<int>{123456789, 2000}));
    EXPECT_EQ(OrderMoreQuantities(QStringLiteral("{999999999 1000000000 1000000001}"), 1000),
              (QList<int>{999999999, 1000000000}));
    EXPECT_EQ(OrderMoreText(QStringLiteral("{500, 2500, 5000}"), 1000, Money::fromWhole(50), pricer),
              QStringLiteral("Order 2500 and Save 10.00/M Unit Price: 40.00/M Total Price 100.00 \\line Order 5000 and "
                             "Save 15.00/M Unit Price: 35.00/M Total Price 175.00 "));
    EXPECT_TRUE(OrderMoreText(QStringLiteral("{}"), 1000, Money::fromWhole(50), pricer).isEmpty());
    EXPECT_TRUE(OrderMoreText(QStringLiteral("{2000}"), 0, Money::fromWhole(50), pricer).isEmpty());
    // The pricer cannot price 5000: one offer, and no "\line" cut from it.
    EXPECT_EQ(OrderMoreText(QStringLiteral("{2500 5000}"), 1000, Money::fromWhole(50),
                            [](int q) -> std::optional<Money> {
                                if (q == 5000)
                                    return std::nullopt;
                                return Money::fromCents(10000);
                            }),
              QStringLiteral("Order 2500 and Save 10.00/M Unit Price: 40.00/M Total Price 100.00 "));
}

TEST(RtfFields, UnknownNamesAndAnUnclosedBracketAreCopied)
{
    bool footer = false;
    const auto value = [](const QString &name) -> std::optional<QString> {
        if (RtfFieldKey(name) == QLatin1String("TITLE"))
            return QStringLiteral("T");
        if (RtfFieldKey(name) == QLatin1String("MYFOOTER"))
            return QStringLiteral("F");
        return std::nullopt;
    };
    EXPECT_EQ(FillRtfFields(QStringLiteral("{\\rtf1 <title  > <Odd> <MyFooter> tail <open"), value, footer),
              QStringLiteral("{\\rtf1 T <Odd> F tail <open"));
    EXPECT_TRUE(footer);
    FillRtfFields(QStringLiteral("< MyFooter>"), value, footer);
    EXPECT_FALSE(footer); // a leading blank counts
}

class RtfDocument : public ExchangeTest
{
protected:
    QString makeTemplate(bool withFooter)
    {
        const QString path = tempPath(withFooter ? QStringLiteral("Invoice.rtf") : QStringLiteral("NoFooter.rtf"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\r\n"
                "\\f0\\fs20 <PrintTitle> <JobNo>\\par\r\n"
                "<Customer>\\par\r\n"
                "<Title>\\par\r\n"
                "<InvoiceNote>\\par\r\n"
                "<ItemNo> <Description> <Price><Next>\\par\r\n"
                "<ItemNo> <Description> <Price><Next>\\par\r\n"
                "<Total> <Unknown Field>\\par\r\n");
        if (withFooter)
            f.write("<MyFooter>\\par\r\n");
        f.write("}\r\n");
        return path;
    }
};

TEST_F(RtfDocument, InvoiceIsFilledEscapedAndReadableByWordProcessors)
{
    exec(QStringLiteral("UPDATE Jobs SET Title = 'Letterhead {draft} \\ caf' & Chr(233), InvoiceNote = 'Thank you' & "
                        "Chr(13) & Chr(10) & 'Net 30' WHERE JobID = 1"));
    exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, Price, ChargeQty) VALUES "
                        "(90, 1, 0, 1, 0, 'Letterhead 8.5x11', 200, 1000)"));
    const QString document = tempPath(QStringLiteral("Invoice 1001.rtf"));
    CExport e;
    e.m_strDocument = document;
    ASSERT_TRUE(e.FillRtfTemplate(1, makeTemplate(true)));
    expectGolden(document, QStringLiteral("invoice-1001.rtf"));
    const QByteArray rtf = readAll(document);
    EXPECT_TRUE(rtf.contains("Letterhead \\{draft\\} \\\\ caf\\'e9"));
    EXPECT_TRUE(rtf.contains("Thank you\\par Net 30"));
    EXPECT_TRUE(rtf.contains("<Unknown Field>"));

    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), document});
    if (!unrtf.waitForStarted())
        FAIL() << "unrtf is not installed (scripts/setup.sh installs it)";
    unrtf.waitForFinished(60000);
    // unrtf writes its text in the document's code page.
    const QString text = QString::fromLatin1(unrtf.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Copy of Invoice 1001"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Letterhead {draft} \\ caf\xC3\xA9"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1 Letterhead 8.5x11 200.00"))) << text.toStdString();

    // The two-line note reads as two paragraphs.
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Thank you"))) << text.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Net 30"))) << text.toStdString();
}

TEST_F(RtfDocument, TemplateWithoutFooterLeavesTheEarlierDocument)
{
    const QString document = tempPath(QStringLiteral("Invoice.rtf.out"));
    {
        QFile old(document);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier");
    }
    prompts().answer(platform::IDOK);
    CExport e;
    e.m_strDocument = document;
    EXPECT_FALSE(e.FillRtfTemplate(1, makeTemplate(false)));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The template file does not contain the field <MyFooter> or it is not "
                                                   "black. \nThis field must exist and be black to enable invoice to "
                                                   "print."));
    EXPECT_EQ(readAll(document), QByteArray("earlier"));

    // A template that is no ordinary file, or too large to be one, or a link
    // someone else put to this user's file, is refused at once: the earlier
    // document stays. (A writer opens the pipe after five seconds, so that a
    // read waiting on it still ends.)
    const QString fifo = tempPath(QStringLiteral("Pipe.rtf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess writer;
    writer.start(QStringLiteral("timeout"), {QStringLiteral("10"), QStringLiteral("sh"), QStringLiteral("-c"),
                                             QStringLiteral("sleep 5; exec 3>'%1'").arg(fifo)});
    const QString large = tempPath(QStringLiteral("Large.rtf"));
    {
        QFile f(large);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 <MyFooter>}");
        ASSERT_TRUE(f.resize(32 * 1024 * 1024 + 1));
    }
    const QString kind = QStringLiteral("it is not an ordinary file (it is a folder, a pipe, a device or a socket)");
    std::vector<std::pair<QString, QString>> cases = {
        {fifo, kind},
        {QStringLiteral("/dev/null"), kind},
        {tempPath(QString()), kind},
        {large, QStringLiteral("it is larger than 32 MB, the most such a file may be")},
    };
    if (::geteuid() == 0) {
        // A link of another user's (nobody's) to a template of this user's.
        const QString link = tempPath(QStringLiteral("Link.rtf"));
        ASSERT_TRUE(QFile::link(makeTemplate(true), link));
        ASSERT_EQ(::lchown(QFile::encodeName(link).constData(), 65534, 65534), 0);
        cases.push_back({link, QStringLiteral("it is a link another user made to a file that is not theirs")});
    }
    for (const auto &[path, why] : cases) {
        SCOPED_TRACE(path.toStdString());
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(e.FillRtfTemplate(1, path));
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Cannot use the template %1: %2.").arg(path, why)});
        EXPECT_EQ(readAll(document), QByteArray("earlier"));
    }
    writer.kill();
    writer.waitForFinished(2000);

    // A template that cannot be opened may be tried again.
    prompts().clear();
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDNO);
    const QString missing = tempPath(QStringLiteral("Missing.rtf"));
    EXPECT_FALSE(e.FillRtfTemplate(1, missing));
    EXPECT_EQ(prompts().texts().size(), 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot open: ") + missing +
                                        QStringLiteral("\nPlease close the file if it is open in another application\n"
                                                       "and click Yes to continue.\n\nDo you want to try again?"));
    EXPECT_EQ(readAll(document), QByteArray("earlier"));

    // The document's own name: a pipe there is refused once (asking to try
    // again would not help), and another user's link there is replaced
    // while the private file it named stays as it was.
    const QString pipeDocument = tempPath(QStringLiteral("Pipe Invoice.rtf"));
    ASSERT_TRUE(MakeTestFifo(pipeDocument));
    prompts().clear();
    prompts().answer(platform::IDOK);
    e.m_strDocument = pipeDocument;
    EXPECT_FALSE(e.FillRtfTemplate(1, makeTemplate(true)));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Cannot open: ") + pipeDocument +
                                             QStringLiteral("\n\nIt is a pipe (FIFO), not an ordinary file; nothing "
                                                            "was written to it.")});
    EXPECT_TRUE(IsTestFifo(pipeDocument));
    const PlantedLink planted{tempPath(QStringLiteral("Linked Invoice.rtf")), tempPath(QStringLiteral("private.txt"))};
    if (planted.plant()) {
        prompts().clear();
        e.m_strDocument = planted.name;
        EXPECT_TRUE(e.FillRtfTemplate(1, makeTemplate(true)));
        EXPECT_TRUE(prompts().texts().isEmpty());
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
        EXPECT_TRUE(readAll(planted.name).startsWith("{\\rtf1"));
    }
}

} // namespace
