// A priced row explained: how its service quantity was reached, in the note
// window; and the service dialog opened on a row's service.
#include "PricingFixture.h"

#include "app/base/CZqApp.h"
#include "views/CNoteDlg.h"

namespace {

class QuantityExplanation : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        addService(400, 401, QStringLiteral("Fold"), {{"QtyBy", QStringLiteral("1")}, {"Divide", QStringLiteral("500")}});
        m_job = addJob(1200);
        addRow(m_job, 0, {{"ChargeQty", QStringLiteral("1200")}});
        m_fold = addRow(m_job, 400);
    }
    qint32 m_job = 0;
    qint32 m_fold = 0;
};

TEST_F(QuantityExplanation, DivisorAndItemQuantityShown)
{
    auto e = engine(m_job, true);
    e->PriceItem(0);
    const QString text = e->GetQuantityExplanation(m_fold);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Fold\nService Quantity: 3\nEqual to \t\t1,200 \tItem Quantity\nDivide "
                                               "by\t\t500 \t\nMultiply by\t0 \t\nRound to \t\t0 \n\nSERVICE QTY\t3 "
                                               "\t(Item Quantity: 1,200   Sheets/Set: 1   Caliper: 0)\n")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QString(40, QLatin1Char('-'))));
    EXPECT_EQ(e->GetQuantityExplanation(0), QString());

    prompts().onDialog([&](QDialog &d) {
        auto &note = static_cast<CNoteDlg &>(d);
        EXPECT_EQ(note.m_strRibbonTitle, QStringLiteral("How Service Quantity is Calculated"));
        EXPECT_EQ(note.m_strStripText, QStringLiteral("Quantity Detail"));
        EXPECT_EQ(note.m_strNote, text);
        note.SendCommand(2);
        return note.result();
    });
    e->ExplainServiceQuantity(m_fold);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(QuantityExplanation, RowServiceOpensInTheServiceDialog)
{
    CZqApp app;
    QList<QList<long>> opened;
    app.setServiceOpener([&](long serNo, int value, bool more) { opened.append({serNo, value, more ? 1 : 0}); });
    auto e = engine(m_job, true);
    e->OpenRowService(m_fold);
    e->OpenRowService(4711);
    EXPECT_EQ(opened, (QList<QList<long>>{{400, 1, 0}}));
}

} // namespace
