// Pricing a whole item: sums, rounding, the choice of figures, saving,
// the item-price question and the database tool's price command.

#include "PricingFixture.h"

#include "platform/Prompt.h"
#include "support/ToolRun.h"

#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include "data/AnswersOutsideLock.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <cmath>
#include <functional>
#include <optional>

namespace {

QString n(qint64 v)
{
    return QString::number(v);
}

class ItemPricing : public PricingTest
{
protected:
    qint32 twoServiceJob(qint32 jobNo, PricingTest::Columns item)
    {
        addService(601, 50, QStringLiteral("Scoring"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "100"},
                    {"SetPrice1", "300"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}});
        addService(602, 50, QStringLiteral("Numbering"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "200"},
                    {"SetPrice1", "410"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}});
        const qint32 job = addJob(jobNo);
        addRow(job, 0, item);
        m_first = addRow(job, 601, {{"ActualQty", "1"}, {"MatCost", "1"}});
        m_second = addRow(job, 602, {{"ActualQty", "1"}, {"MatCost", "2"}});
        return job;
    }
    Money stored(const char *column, qint32 itemId)
    {
        return scalar(QStringLiteral("SELECT %1 FROM Items WHERE ItemID = %2").arg(QLatin1String(column)).arg(itemId))
            .toMoney();
    }
    qint32 m_first = 0;
    qint32 m_second = 0;
};

TEST_F(ItemPricing, NoServicesSavesNoCharge)
{
    const qint32 job = addJob(700);
    const qint32 item = addRow(job, 0, {{"ChargeQty", "0"}, {"Sheets", "0"}});
    auto e = engine(job, false);
    EXPECT_EQ(e->GetItemQuantity(), 1);
    EXPECT_EQ(e->PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    EXPECT_EQ(stored("Cost", item), Money::noChargeMarker());
    EXPECT_EQ(stored("Price", item), Money::noChargeMarker());
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(ItemPricing, AnItemWithAMissingServiceSaysSoAndKeepsItsPrice)
{
    const qint32 job = addJob(701);
    const qint32 item = addRow(job, 0, {{"ChargeQty", "100"}, {"Cost", "20"}, {"Price", "50"}});
    const qint32 gone = addRow(job, 9999, {{"Cost", "20"}, {"Price", "50"}});
    prompts().answer(platform::IDOK);
    auto e = engine(job, false);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Service No 9999 is not found. To price the Item, delete the Service from Item Specs."));
    EXPECT_FALSE(e->IsLoaded());
    EXPECT_EQ(e->PriceItem(0), 0) << "nothing is chosen, nothing written";
    EXPECT_EQ(stored("Price", item), money("50"));
    EXPECT_EQ(stored("Cost", item), money("20"));
    EXPECT_EQ(stored("Price", gone), money("50"));
    auto quiet = engine(job, true);
    EXPECT_EQ(quiet->PriceItem(0), 0);
    EXPECT_EQ(stored("Price", item), money("50"));
}

TEST_F(ItemPricing, RoundedPriceIsSpreadInWholeCents)
{
    insert(QStringLiteral("CustomerAlerts"), {{"CusNo", "0"}, {"AlertType", "254"}, {"AlertText", "'1000,5000,'"}});
    insert(QStringLiteral("CustomerAlerts"), {{"CusNo", "0"}, {"AlertType", "254"}, {"AlertText", "'25,100,'"}});
    const qint32 job = twoServiceJob(701, {{"ChargeQty", "100"}, {"Opt2", "1"}});
    auto e = engine(job, true);
    EXPECT_EQ(e->PriceItem(0), 1);
    EXPECT_EQ(e->GetNewCost(), money("3.02"));
    EXPECT_EQ(e->GetNewPrice(), money("7.25"));
    // $0.15 in proportion, whole cents, the rest to the last row.
    EXPECT_EQ(row(*e, m_first).m_Price, money("3.06"));
    EXPECT_EQ(row(*e, m_second).m_Price, money("4.19"));
    // Silent pricing writes nothing.
    EXPECT_EQ(stored("Price", m_first), Money());
}

TEST_F(ItemPricing, APriceExactlyAtALimitTakesThatLimitsStep)
{
    // The price before rounding is $7.10, exactly the first limit: its step
    // of 25 cents applies, not the next limit's dollar.
    insert(QStringLiteral("CustomerAlerts"), {{"CusNo", "0"}, {"AlertType", "254"}, {"AlertText", "'710,5000,'"}});
    insert(QStringLiteral("CustomerAlerts"), {{"CusNo", "0"}, {"AlertType", "254"}, {"AlertText", "'25,100,'"}});
    const qint32 job = twoServiceJob(704, {{"ChargeQty", "100"}, {"Opt2", "1"}});
    auto e = engine(job, true);
    EXPECT_EQ(e->PriceItem(0), 1);
    EXPECT_EQ(e->GetNewPrice(), money("7.25"));
}

TEST_F(ItemPricing, AnItemWhoseServiceHasNoPriceStaysUnpricedNotNoCharge)
{
    addService(603, 50, QStringLiteral("Trimming"),
               {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "0"},
                {"SetPrice1", "0"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "0"}});
    const qint32 job = addJob(705);
    addRow(job, 0, {{"ChargeQty", "100"}});
    addRow(job, 603, {{"ActualQty", "1"}});
    auto e = engine(job, true);
    e->PriceItem(0);
    EXPECT_EQ(e->GetNewPrice(), Money());
}

TEST_F(ItemPricing, NonAscendingLimitsStopAtTheFirstSmallerEntry)
{
    insert(QStringLiteral("CustomerAlerts"), {{"CusNo", "0"}, {"AlertType", "254"}, {"AlertText", "'500,100,5000'"}});
    insert(QStringLiteral("CustomerAlerts"), {{"CusNo", "0"}, {"AlertType", "254"}, {"AlertText", "'100,5,1000'"}});
    const qint32 job = twoServiceJob(702, {{"ChargeQty", "100"}, {"Opt2", "1"}});
    auto e = engine(job, true);
    e->PriceItem(0);
    // Above the only limit read ($5.00): its step of $1.00 applies.
    EXPECT_EQ(e->GetNewPrice(), money("8"));
}

TEST_F(ItemPricing, RuleSavesDefaultsWithoutAskingAndSameFiguresSaySo)
{
    const qint32 job = twoServiceJob(703, {{"ChargeQty", "100"}, {"Cost", "2"}, {"Price", "9"}, {"Description", "'Letterhead'"}});
    setOption(44313, 2);
    auto e = engine(job, false);
    e->SetPriceChangeDialog([](CItemPrice &, const QString &) {
        ADD_FAILURE() << "the price-change dialog opened";
        return 0;
    });
    EXPECT_EQ(e->PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    const qint32 item = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 AND SerNo = 0").arg(job)).toInt();
    EXPECT_EQ(stored("Price", item), money("7.1"));
    EXPECT_EQ(stored("Cost", item), money("3.02"));
    EXPECT_EQ(stored("Price", m_second), money("4.1"));
    EXPECT_EQ(stored("MatCost", m_second), money("2.01"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Regis FROM Items WHERE ItemID = %1").arg(item)).toInt(), 10);

    // Repricing with the same figures says so and saves them.
    setOption(44313, 0);
    auto again = engine(job, false);
    prompts().answer(platform::IDOK);
    EXPECT_EQ(again->PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("ITEM 1 Letterhead\n\nSame Cost\nSame Price")});
}

TEST_F(ItemPricing, ChangedFiguresGoToThePriceChangeChoice)
{
    const qint32 job = twoServiceJob(704, {{"ChargeQty", "100"}, {"Cost", "2"}, {"Price", "9"}, {"Description", "'Forms'"}});
    exec(QStringLiteral("UPDATE Items SET Cost = 1, Price = 5 WHERE ItemID = %1").arg(m_first));
    exec(QStringLiteral("UPDATE Items SET Cost = 1, Price = 4 WHERE ItemID = %1").arg(m_second));
    auto e = engine(job, false);
    QString title;
    e->SetPriceChangeDialog([&title](CItemPrice &engine, const QString &t) {
        title = t;
        EXPECT_EQ(engine.GetRevisedPrice(), Money::fromWhole(9));
        return int(CItemPrice::RevisedCostRevisedPrice);
    });
    EXPECT_EQ(e->PriceItem(0), CItemPrice::RevisedCostRevisedPrice);
    EXPECT_EQ(title, QStringLiteral("ITEM 1  Forms"));
    const qint32 item = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 AND SerNo = 0").arg(job)).toInt();
    EXPECT_EQ(stored("Price", item), money("9"));
    EXPECT_EQ(stored("Cost", item), money("2"));
    // Rows that had figures keep them.
    EXPECT_EQ(stored("Price", m_first), money("5"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Regis FROM Items WHERE ItemID = %1").arg(item)).toInt(), 11);

    // A cancelled choice writes nothing.
    auto cancelled = engine(job, false);
    cancelled->SetPriceChangeDialog([](CItemPrice &, const QString &) { return 0; });
    exec(QStringLiteral("UPDATE Items SET Price = 8 WHERE ItemID = %1").arg(item));
    EXPECT_EQ(cancelled->PriceItem(0), 0);
    EXPECT_EQ(stored("Price", item), money("8"));

    // Inside a save's transaction the choice waits until it has rolled back:
    // asked once, on the figures as priced (revised 9), and taken when the
    // save is made again, which writes the revised figures.
    int asked = 0;
    const auto choose = [&asked](CItemPrice &engine, const QString &t) {
        ++asked;
        EXPECT_EQ(t, QStringLiteral("ITEM 1  Forms"));
        EXPECT_EQ(engine.GetRevisedPrice(), Money::fromWhole(9));
        EXPECT_EQ(engine.GetLastPrice(), Money::fromWhole(8));
        return int(CItemPrice::RevisedCostRevisedPrice);
    };
    auto first = engine(job, false);
    auto second = engine(job, false);
    first->SetPriceChangeDialog(choose);
    second->SetPriceChangeDialog(choose);
    AnswersOutsideLock answers;
    std::optional<AnswersOutsideLock::Pending> pending;
    try {
        platform::Transaction transaction(SharedDatabase());
        first->PriceItem(0);
        ADD_FAILURE() << "asked inside the transaction";
    } catch (const AnswersOutsideLock::Pending &question) {
        pending.emplace(question);
    }
    ASSERT_TRUE(pending.has_value());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(stored("Price", item), money("8"));
    EXPECT_TRUE(answers.Settle(SharedDatabase(), *pending));
    EXPECT_EQ(asked, 1);
    answers.Attempt(2);
    {
        platform::Transaction transaction(SharedDatabase());
        EXPECT_EQ(second->PriceItem(0), CItemPrice::RevisedCostRevisedPrice);
        transaction.commit();
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(stored("Price", item), money("9"));
}

TEST_F(ItemPricing, UnitPriceTypedPerThousand)
{
    const qint32 job = twoServiceJob(705, {{"ChargeQty", "2500"}, {"Side2", "5"}});
    auto e = engine(job, false);
    QString title;
    prompts().onDialog([&title](QDialog &d) {
        title = d.windowTitle();
        d.findChild<QLineEdit *>(QStringLiteral("value"))->setText(QStringLiteral("45m"));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(e->PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    EXPECT_EQ(title, QStringLiteral("Unit Price"));
    const qint32 item = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 AND SerNo = 0").arg(job)).toInt();
    EXPECT_EQ(stored("Price", item), money("112.5"));
    EXPECT_EQ(stored("Price", m_first) + stored("Price", m_second), money("112.5"));
}

// A price typed by hand is read in 64 bits (it was cut to 214,748.3647, the
// largest 32-bit count of ten-thousandths); one past what the item's price
// holds exactly is refused, naming it, and asked for again.
TEST_F(ItemPricing, APriceTypedPast32BitsIsKeptAndPastTheFieldRefused)
{
    struct Case
    {
        const char *level; // Side2: 6 the item's price, 5 a unit price
        const char *quantity;
        QStringList typed;
        const char *price;
        int refusals;
        const char *otherItem = nullptr; // a second item of the job priced so
        const char *pastLargest = nullptr; // the job's figure it takes past the largest
    };
    const Case cases[] = {
        {"6", "100", {QStringLiteral("300000")}, "300000", 0},
        {"6", "100", {QStringLiteral("214748.3648")}, "214748.3648", 0},
        {"5", "2500", {QStringLiteral("1000000")}, "2500000000", 0},
        {"6", "100", {QStringLiteral("100000000000")}, "100000000000", 0},
        {"6", "100", {QStringLiteral("99999999999.99")}, "99999999999.99", 0},
        {"6", "100", {QStringLiteral("100000000000.0001"), QStringLiteral("900000000000"), QStringLiteral("5")},
         "5", 2},
        {"5", "2500", {QStringLiteral("400000000000m"), QStringLiteral("40000000")}, "100000000000", 1},
        // With another item of 0.01 the job's subtotal would pass the
        // largest amount: the item keeps what it had (nothing).
        {"6", "100", {QStringLiteral("100000000000")}, "0", 0, "0.01", "Subtotal"},
        {"6", "100", {QStringLiteral("99999999999.99")}, "99999999999.99", 0, "0.01"},
    };
    twoServiceJob(719, {{"ChargeQty", "1"}}); // the two services
    int jobNo = 720;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.join(QLatin1Char(' ')).toStdString());
        const qint32 job = addJob(jobNo++);
        addRow(job, 0, {{"ChargeQty", c.quantity}, {"Side2", c.level}});
        addRow(job, 601, {{"ActualQty", "1"}, {"MatCost", "1"}});
        addRow(job, 602, {{"ActualQty", "1"}, {"MatCost", "2"}});
        if (c.otherItem) {
            addRow(job, 0, {{"Price", c.otherItem}}, 2);
            addRow(job, 601, {{"Price", c.otherItem}}, 2);
        }
        auto e = engine(job, false);
        prompts().clear();
        for (const QString &text : c.typed) {
            prompts().onDialog([text](QDialog &d) {
                d.findChild<QLineEdit *>(QStringLiteral("value"))->setText(text);
                return int(QDialog::Accepted);
            });
            if (&text != &c.typed.last())
                prompts().answer(platform::IDOK);
        }
        if (c.pastLargest)
            prompts().answer(platform::IDOK);
        e->PriceItem(0);
        QStringList refusals;
        for (int i = 0; i < c.refusals; ++i)
            refusals << QStringLiteral("\"Item Price\" cannot be more than 100,000,000,000.0000, the largest amount "
                                       "it holds.");
        EXPECT_EQ(prompts().texts().mid(0, c.refusals), refusals);
        if (c.pastLargest)
            EXPECT_EQ(prompts().lastText(),
                      QStringLiteral("ITEM 1 \n\n\"%1\" cannot be more than 100,000,000,000.00, the largest amount it "
                                     "holds.\n\nThe item's prices are not saved.")
                          .arg(QLatin1String(c.pastLargest)));
        const qint32 item =
            scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 AND SerNo = 0 AND ItemNo = 1").arg(job))
                .toInt();
        EXPECT_EQ(stored("Price", item), money(c.price));
    }

    // A service priced by hand: its price each typed past 32 bits of
    // ten-thousandths (once cut to 214,748.3647).
    addService(612, 50, QStringLiteral("Rush"),
               {{"QtyBy", "12"}, {"CostBy", "1"}, {"PriceBy", "1"}, {"SetFor1", "1"}, {"SetTime1", "60"}});
    const qint32 job = addJob(730);
    addRow(job, 0, {{"ChargeQty", "1000"}});
    const qint32 rush = addRow(job, 612);
    auto e = engine(job, false);
    prompts().clear();
    QStringList titles;
    for (int i = 0; i < 3; ++i) {
        prompts().onDialog([&titles](QDialog &d) {
            titles << d.windowTitle();
            d.findChild<QLineEdit *>(QStringLiteral("value"))
                ->setText(d.windowTitle() == QLatin1String("Price/Each") ? QStringLiteral("300000") : QStringLiteral("45"));
            return int(QDialog::Accepted);
        });
    }
    e->PriceItem(0);
    // How long, the cost of the time, then the price each.
    EXPECT_EQ(titles, (QStringList{QStringLiteral(": Rush"), QStringLiteral("Total Time Cost"), QStringLiteral("Price/Each")}));
    EXPECT_EQ(row(*e, rush).m_Price, money("300000"));
}

TEST_F(ItemPricing, CancelledRateLeavesTheServiceUncosted)
{
    addService(610, 50, QStringLiteral("Design"),
               {{"QtyBy", "12"}, {"CostBy", "1"}, {"PriceBy", "2"}, {"Markup", "50"}, {"SetFor1", "1"},
                {"SetTime1", "3000"}});
    const qint32 job = addJob(706);
    addRow(job, 0, {{"ChargeQty", "1"}});
    const qint32 id = addRow(job, 610);
    auto e = engine(job, false);
    QString prompt;
    prompts().onDialog([&prompt](QDialog &d) {
        prompt = d.findChild<QLabel *>(QStringLiteral("prompt"))->text();
        return int(QDialog::Rejected);
    });
    e->PriceItem(0);
    EXPECT_EQ(prompt, QStringLiteral("Please enter Total Time Cost"));
    EXPECT_EQ(row(*e, id).m_ChargeTime, 30);
    EXPECT_EQ(row(*e, id).m_TimeCost, Money());
    EXPECT_FALSE(e->AllServicesPriced());
}

TEST_F(ItemPricing, ATypedFigureThatIsNoNumberIsRefusedAndAskedAgain)
{
    addService(611, 50, QStringLiteral("Design"),
               {{"QtyBy", "12"}, {"CostBy", "1"}, {"PriceBy", "2"}, {"Markup", "50"}, {"SetFor1", "1"},
                {"SetTime1", "3000"}});
    const qint32 job = addJob(707);
    addRow(job, 0, {{"ChargeQty", "1"}});
    const qint32 id = addRow(job, 611);
    auto e = engine(job, false);
    QStringList typed;
    for (const char *text : {"abc", "62.38x"}) {
        prompts().onDialog([&typed, text](QDialog &d) {
            auto *value = d.findChild<QLineEdit *>(QStringLiteral("value"));
            typed << value->text();
            value->setText(QString::fromLatin1(text));
            return int(QDialog::Accepted);
        });
        prompts().answer(platform::IDOK);
    }
    prompts().onDialog([&typed](QDialog &d) {
        typed << d.findChild<QLineEdit *>(QStringLiteral("value"))->text();
        return int(QDialog::Rejected);
    });
    e->PriceItem(0);
    // Asked three times, the refused text offered again to be corrected.
    EXPECT_EQ(typed, (QStringList{QStringLiteral("0.0000"), QStringLiteral("abc"), QStringLiteral("62.38x")}));
    EXPECT_EQ(prompts().texts().count(QStringLiteral("Please enter a number.")), 2);
    EXPECT_EQ(row(*e, id).m_TimeCost, Money());
    EXPECT_FALSE(e->AllServicesPriced());

    // An item priced by hand, stored at the $7.10 its services come to: the
    // item-price prompt offers it, "abc" is refused once, and Cancel keeps
    // the figure offered, so the item does not turn unpriced and its stored
    // rows read as before.
    const qint32 asked = twoServiceJob(708, {{"ChargeQty", "100"}, {"Side2", "6"}, {"Cost", "3.02"},
                                             {"Price", "7.1"}, {"Description", "'Tags'"}});
    exec(QStringLiteral("UPDATE Items SET Cost = 1.01, Price = 3 WHERE ItemID = %1").arg(m_first));
    exec(QStringLiteral("UPDATE Items SET Cost = 2.01, Price = 4.1 WHERE ItemID = %1").arg(m_second));
    const QString rows = QStringLiteral("SELECT SerNo, Cost, Price FROM Items WHERE JobID = %1 ORDER BY ItemID")
                             .arg(asked);
    const QString before = SqliteRows(databasePath(), rows);
    EXPECT_EQ(before, QStringLiteral("0|3.02|7.1\n601|1.01|3\n602|2.01|4.1"));
    auto byHand = engine(asked, false);
    prompts().clear();
    QStringList offered;
    prompts().onDialog([&offered](QDialog &d) {
        auto *value = d.findChild<QLineEdit *>(QStringLiteral("value"));
        offered << value->text();
        value->setText(QStringLiteral("abc"));
        return int(QDialog::Accepted);
    });
    prompts().answer(platform::IDOK);
    prompts().onDialog([&offered](QDialog &d) {
        offered << d.findChild<QLineEdit *>(QStringLiteral("value"))->text();
        return int(QDialog::Rejected);
    });
    prompts().answer(platform::IDOK);
    byHand->PriceItem(0);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("7.1000"), QStringLiteral("abc")}));
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Please enter a number."),
                                              QStringLiteral("ITEM 1 Tags\n\nSame Cost\nSame Price")}));
    EXPECT_EQ(SqliteRows(databasePath(), rows), before);
}

// --- an independent reading of the run table -------------------------------------

struct RunModel
{
    qint32 breaks[9] = {}, speeds[9] = {}, costs[9] = {}, prices[9] = {};
    int step = 0;

    // Cost and price in cents, for `q` units each priced per each.
    void price(qint32 q, qint64 &cost, qint64 &price, double &speed) const
    {
        int method = breaks[1] == 0 ? 0 : step;
        if (method == 2) {
            cost = price = 0;
            qint32 prev = 0;
            speed = speeds[0];
            for (int i = 0; i < 9 && breaks[i] > 0; ++i) {
                const qint32 top = std::min(breaks[i], q);
                cost += qint64(top - prev) * costs[i];
                price += qint64(top - prev) * prices[i];
                if (breaks[i] <= q && speeds[i] > 0)
                    speed = speeds[i];
                prev = top;
                if (breaks[i] >= q)
                    break;
            }
            speed /= 100;
            return;
        }
        // The band of q: the first break at or above it, else the last.
        int band = 0;
        while (band < 8 && breaks[band + 1] > 0 && breaks[band] < q)
            ++band;
        double s = speeds[band], c = costs[band], p = prices[band];
        if (method == 1 && band > 0 && breaks[band] > q) {
            // y1 + (x - x1) x ((y2 - y1) / (x2 - x1)), the slope in floating point.
            auto line = [&](double y1, double y2) {
                return y1 + double(q - breaks[band - 1]) * ((y2 - y1) / double(breaks[band] - breaks[band - 1]));
            };
            s = line(speeds[band - 1], speeds[band]);
            c = std::trunc(line(costs[band - 1], costs[band]));
            p = std::trunc(line(prices[band - 1], prices[band]));
        }
        speed = s / 100;
        cost = qint64(q * c + 0.99);
        price = qint64(0.99 + q * p);
    }
};

TEST_F(PricingTest, RunTableAgreesWithAnIndependentReading)
{
    QRandomGenerator random(20240615);
    const qint32 job = addJob(800);
    const qint32 item = addRow(job, 0, {{"ChargeQty", "1"}});
    for (int round = 0; round < 60; ++round) {
        RunModel model;
        model.step = int(random.bounded(3));
        const int count = 1 + int(random.bounded(9));
        qint32 b = 0;
        for (int i = 0; i < count; ++i) {
            b += 1 + qint32(random.bounded(2000));
            model.breaks[i] = b;
            model.speeds[i] = 1000 + qint32(random.bounded(500000));
            model.costs[i] = 1 + qint32(random.bounded(500));
            model.prices[i] = model.costs[i] + qint32(random.bounded(500));
        }
        QList<std::pair<const char *, QString>> columns;
        QStringList sets = {QStringLiteral("Step = %1").arg(model.step)};
        for (int i = 0; i < 9; ++i)
            sets << QStringLiteral("QBreak%1 = %2, UnitsHr%1 = %3, RunCost%1 = %4, RunPrice%1 = %5")
                        .arg(i + 1)
                        .arg(model.breaks[i])
                        .arg(model.speeds[i])
                        .arg(model.costs[i])
                        .arg(model.prices[i]);
        exec(QStringLiteral("DELETE FROM Services"));
        exec(QStringLiteral("DELETE FROM Items WHERE SerNo > 0"));
        addService(900, 50, QStringLiteral("Random"), {{"QtyBy", "1"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "1"}});
        exec(QStringLiteral("UPDATE Services SET %1 WHERE SerNo = 900").arg(sets.join(QStringLiteral(", "))));
        const qint32 id = addRow(job, 900);
        const qint32 q = 1 + qint32(random.bounded(b + 500));
        exec(QStringLiteral("UPDATE Items SET ChargeQty = %1 WHERE ItemID = %2").arg(q).arg(item));
        auto e = engine(job, true);
        e->PriceItem(0);
        qint64 cost = 0, price = 0;
        double speed = 0;
        model.price(q, cost, price, speed);
        const CItemSet &r = row(*e, id);
        SCOPED_TRACE(QStringLiteral("round %1 step %2 q %3").arg(round).arg(model.step).arg(q).toStdString());
        EXPECT_EQ(r.m_nRunCost, cost);
        EXPECT_EQ(r.m_nRunPrice, price);
        EXPECT_NEAR(r.m_dRunSpeed, speed, 1e-6);
        EXPECT_EQ(r.m_nRunMinutes, speed > 0 ? qint32(q * 60 / speed + 0.9999) : 0);
    }
}

// --- the database tool ---------------------------------------------------------------

TEST_F(ItemPricing, DbToolPricesAStoredItem)
{
    addService(540, 50, QStringLiteral("Labels"), {{"QtyBy", "1"}, {"CostBy", "1"}, {"PriceBy", "4"}});
    addPriceTable(540, 0, 0, 1, 0, 1, {}, {{100, 1000}, {250, 800}, {500, 600}});
    const qint32 job = twoServiceJob(707, {{"ChargeQty", "300"}, {"Description", "'Labels'"}});
    addRow(job, 540);
    // A stored quantity past the largest count, and one whose service counts
    // twice as many: refused by name (they once printed wrapped counts).
    addService(541, 50, QStringLiteral("Numbering"), {{"QtyBy", "1"}, {"Multiply", "2"}, {"CostBy", "0"}});
    const qint32 top = addJob(708);
    addRow(top, 0, {{"ChargeQty", "1073741824"}});
    addRow(top, 540);
    const qint32 twice = addJob(709);
    addRow(twice, 0, {{"ChargeQty", "600000000"}});
    addRow(twice, 541);
    SharedDatabase().close();
    for (const auto &[jobNo, refusal] :
         {std::pair{"708", "\"Quantity\" cannot be more than 1,000,000,000, the largest count it holds."},
          std::pair{"709", "The Quantity of Numbering would be 1,200,000,000, more than 1,000,000,000, the largest "
                           "count the program holds."}}) {
        QProcess refused;
        refused.start(QStringLiteral(TAVREL_DBTOOL),
                      {QStringLiteral("price"), databasePath(), QLatin1String(jobNo), QStringLiteral("1")});
        ASSERT_TRUE(refused.waitForFinished(30000));
        EXPECT_EQ(refused.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(refused.readAllStandardError()),
                  QStringLiteral("ITEM 1: ") + QLatin1String(refusal) + QLatin1Char('\n'));
        EXPECT_TRUE(refused.readAllStandardOutput().isEmpty());
    }

    QProcess tool;
    tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("price"), databasePath(), QStringLiteral("707"), QStringLiteral("1")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("ITEM 1 Labels\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\n\nPRICE TABLE \t\n\t\tCell Price x Qty \t= 0.06 x 300 = 18  from Column 1 x Row 3")));
    EXPECT_TRUE(out.contains(QStringLiteral("New Cost\t3.0200\nNew Price\t25.1000\nRevised Cost\t3.0200\nRevised Price\t25.1000\n")))
        << out.toStdString();

    tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("price"), databasePath(), QStringLiteral("999"), QStringLiteral("1")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()), QStringLiteral("Job 999 is not found.\n"));
    SharedDatabase().open(databasePath());
}

} // namespace
