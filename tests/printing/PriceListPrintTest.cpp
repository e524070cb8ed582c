// The price list printed: the list with the item's paper, press and sides
// as headings, read back from the PDF; Print All stops after a run that did
// not complete.
#include "support/ShopTest.h"

#include "controls/CXTreeCtrl.h"
#include "estimating/CPriceBook.h"
#include "printing/EstimatingPrints.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>

namespace {

class PriceListPrint : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        exec(QStringLiteral("DELETE FROM ProductTypes"));
        exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (1, 'Note Pads', 1, 0, 0)"));
        service(501, 50, "Padding", "QtyBy, CostBy, PriceBy, Unit, Step, QBreak1, RunCost1, RunPrice1, SetFor1, "
                                    "SetCost1, SetPrice1",
                "1, 2, 3, 2, 1, 100, 5000, 9000, 1, 200, 30000");
        service(102, 101, "20# Bond White", "QtyBy", "0");
        service(201, 201, "Two-color press", "QtyBy", "0");
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, Title) VALUES (2, 900, 0, 31, 'Pads')"));
        jobId = sqlite(QStringLiteral("SELECT max(JobID) FROM Jobs")).toInt();
        row(0, 1, "'Note pads 50 sheets'", 0, 0, 0);
        row(501, 1, "''", 0, 0, 0);
        row(102, 1, "'20# Bond White'", 0, 0, 0);
        row(201, 1, "''", 2, 1, 1);
        row(0, 2, "'Memo pads'", 0, 0, 0);
        row(501, 2, "''", 0, 0, 0);
    }
    void TearDown() override
    {
        CPriceBook::SetPrintHook({});
        ShopTest::TearDown();
    }
    void service(int serNo, int catNo, const char *name, const char *columns, const char *values)
    {
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, %1) VALUES (%2, %3, '%4', %5)")
                 .arg(QString::fromLatin1(columns))
                 .arg(serNo)
                 .arg(catNo)
                 .arg(QString::fromLatin1(name), QString::fromLatin1(values)));
    }
    void row(int serNo, int itemNo, const char *description, int side1, int side2, int printAs)
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Side1, Side2, "
                            "PrtAs, Sheets, Status) VALUES (%1, %2, %3, 0, %4, 500, %5, %6, %7, 1, 1)")
                 .arg(jobId)
                 .arg(serNo)
                 .arg(itemNo)
                 .arg(QString::fromLatin1(description))
                 .arg(serNo == 0 ? 1 : side1)
                 .arg(side2)
                 .arg(printAs));
    }
    static QString pdfText(const QString &pdf)
    {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        text.waitForFinished(30000);
        return QString::fromUtf8(text.readAllStandardOutput());
    }
    int jobId = 0;
};

TEST_F(PriceListPrint, ThePrintedListCarriesTheItemsSpecs)
{
    InstallEstimatingPrints();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
    QDir().mkpath(folder);
    const QString pdf = folder + QStringLiteral("/price-list-print.pdf");
    QFile::remove(pdf);
    CPriceBook book(nullptr, nullptr);
    book.m_strPrintFile = pdf;
    onDialog<CPriceBook>([](CPriceBook &d) {
        EXPECT_EQ(d.PrintHeadings(),
                  (QStringList{QStringLiteral("Note pads 50 sheets"), QStringLiteral("Paper: 20# Bond White \u00B7 "),
                               QStringLiteral("Press: Two-color press"),
                               QStringLiteral("Sides: Black + 1 Color / Black  Regular")}));
        d.SendCommand(30333);
        EXPECT_EQ(d.m_nPrintStatus, 2);
        return 2;
    });
    book.DoModal();
    const QString words = pdfText(pdf);
    for (const char *expected : {"Price List", "Note pads 50 sheets", "Paper: 20# Bond White", "Press: Two-color press",
                                 "Sides: Black + 1 Color / Black Regular", "Quantity", "Price/M", "5,500", "795.00",
                                 "15,000", "1,650.00"})
        EXPECT_TRUE(words.simplified().contains(QString::fromLatin1(expected))) << expected << "\n"
                                                                                 << words.toStdString();
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), pdf,
                                                   folder + QStringLiteral("/price-list-print")});
}

TEST_F(PriceListPrint, PrintAllStopsWhenARunDoesNotComplete)
{
    QStringList printed;
    int status = 2;
    CPriceBook::SetPrintHook([&](const CPriceBook::PrintRequest &request) {
        printed << QStringLiteral("%1 %2").arg(request.headings.value(0)).arg(request.command);
        return status;
    });
    prompts().answer(platform::IDNO); // no confirmation: every expanded item
    prompts().answer(platform::IDYES); // confirm each
    prompts().answer(platform::IDNO);  // skip the first
    prompts().answer(platform::IDYES); // print the second
    CPriceBook book(nullptr, nullptr);
    onDialog<CPriceBook>([&](CPriceBook &d) {
        d.SendCommand(30337);
        EXPECT_EQ(printed, (QStringList{QStringLiteral("Note pads 50 sheets 57607"), QStringLiteral("Memo pads 57608")}));
        printed.clear();
        d.SendCommand(30337);
        EXPECT_EQ(printed, (QStringList{QStringLiteral("Memo pads 57607")}));
        // A run that did not complete stops the rest.
        printed.clear();
        status = 1;
        prompts().answer(platform::IDNO);
        d.SendCommand(30337);
        EXPECT_EQ(printed, (QStringList{QStringLiteral("Note pads 50 sheets 57607")}));
        return 2;
    });
    book.DoModal();
    EXPECT_EQ(prompts().texts().value(2), QStringLiteral("Print Note pads 50 sheets?\n\n(click Yes to print, No to skip, "
                                                         "Cancel to stop)"));
}

} // namespace
