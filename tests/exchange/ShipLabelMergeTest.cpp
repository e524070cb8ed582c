#include "ExchangeFixture.h"

#include "controls/CXListCtrl.h"
#include "exchange/ExchangeInstall.h"
#include "jobs/CShipLabel.h"
#include "jobs/JobHooks.h"
#include "platform/Settings.h"

#include <QtWidgets/QLineEdit>

namespace {

class ShipLabelMerge : public ExchangeTest
{
protected:
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        ExchangeTest::TearDown();
    }
};

TEST_F(ShipLabelMerge, TheLabelDialogWritesOneMergeRecordPerBoxEachOnOneLine)
{
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, Title, CusNo, ShiptoNo, Status) VALUES (10, 0, 5001, "
                        "'Catalogs', 100, 55, 0)"));
    exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, Price, ChargeQty) VALUES "
                        "(100, 10, 0, 1, 0, 'Spring' & Chr(13) & Chr(10) & 'catalog' & Chr(9) & 'v2', 900, 5000)"));
    const QString folder = tempPath(QStringLiteral("merge"));
    QDir().mkpath(folder);
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Path-TemplateDataSource"), folder);
    InstallExchange();
    prompts().onDialog([&](QDialog &dialog) {
        auto &d = dynamic_cast<CShipLabel &>(dialog);
        EXPECT_EQ(d.edit(1304)->text(), QStringLiteral("5"));
        d.SendCommand(30404);
        prompts().answerFile(QString()); // the label template is not chosen
        d.SendCommand(30330);
        d.SendCommand(2);
        return d.result();
    });
    CShipLabel labels(10, nullptr);
    labels.m_bFromRecord = true;
    labels.m_nItemID = 100;
    labels.DoModal();

    const QString path = folder + QStringLiteral("/Shipping Label.txt");
    ASSERT_TRUE(QFile::exists(path));
    int code = 0;
    const QString out = python(QStringLiteral(R"(
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='cp1252'), dialect='excel-tab'))
h = [c.strip() for c in rows[0]]
print(len(rows) - 1)
for r in rows[1:]:
    print(len(r), r[h.index('BoxNo')], r[h.index('TotalBoxes')], r[h.index('QtyPerBox')], r[h.index('JobBarcode')],
          r[h.index('ItemBarcode')], r[h.index('Name')], r[h.index('Description')])
)"),
                               {path}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    QString expected = QStringLiteral("5\n");
    for (int box = 1; box <= 5; ++box)
        expected += QStringLiteral("96 %1 5 1000 *^10#* *&100#* Acme Warehouse Spring catalog v2\n").arg(box);
    EXPECT_EQ(out, expected);
}

} // namespace
