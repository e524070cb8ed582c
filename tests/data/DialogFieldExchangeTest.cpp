#include "DataTestBase.h"
#include "TestCustomerSet.h"

#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "support/TypeInto.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {

class DialogFieldExchangeTest : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Terms) VALUES (5, 'Acme', -0.0001, 2)"));
    }
    DataExchange load() { return DataExchange(&dialog, false); }
    DataExchange save() { return DataExchange(&dialog, true); }
    QDialog dialog;
};

} // namespace

TEST_F(DialogFieldExchangeTest, NoChargePrices)
{
    auto *edit = new QLineEdit(&dialog);
    (new QLabel(QStringLiteral("&Price"), &dialog))->setBuddy(edit); // the refusals name the field
    Money price = -Money::noChargeMarker();
    DataExchange in = load();
    DDX_CurrencyNoCharge(in, edit, price);
    EXPECT_EQ(edit->text(), QStringLiteral("No Charge"));
    DataExchange out = save();
    DDX_CurrencyNoCharge(out, edit, price);
    EXPECT_EQ(price, -Money::noChargeMarker());

    edit->setText(QStringLiteral("12.50"));
    DDX_CurrencyNoCharge(out, edit, price);
    EXPECT_EQ(price, Money::fromCents(1250));
    // A sign, a dollar sign and thousands separators as people type them.
    edit->setText(QStringLiteral("+12.50"));
    DDX_Currency(out, edit, price);
    EXPECT_EQ(price, Money::fromCents(1250));
    edit->setText(QStringLiteral(" $1,234.50 "));
    DDX_CurrencyNoCharge(out, edit, price);
    EXPECT_EQ(price, Money::fromCents(123450));

    price = Money();
    DDX_CurrencyNoCharge(in, edit, price);
    EXPECT_EQ(edit->text(), QStringLiteral("0.00"));

    // Text that is no amount: a message, the member kept, the dialog stays.
    edit->setText(QStringLiteral("twelve"));
    price = Money::fromCents(300);
    prompts().answer(platform::IDOK);
    DataExchange bad = save();
    DDX_CurrencyNoCharge(bad, edit, price);
    EXPECT_TRUE(bad.failed());
    EXPECT_EQ(price, Money::fromCents(300));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Price: Please enter a currency.")});

    // An amount beyond the currency range is no currency either: it never
    // wraps into a negative price.
    edit->setText(QStringLiteral("922,337,203,685,478.00"));
    prompts().clear();
    prompts().answer(platform::IDOK);
    DataExchange tooLarge = save();
    DDX_CurrencyNoCharge(tooLarge, edit, price);
    EXPECT_TRUE(tooLarge.failed());
    EXPECT_EQ(price, Money::fromCents(300));
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("Price: Please enter an amount from -100,000,000,000.00 to "
                                         "100,000,000,000.00.")});

    // Typed and left: an amount shows in its own form; a text that is no
    // amount is refused at once, naming the field, and the field puts back
    // what it showed before.
    auto *next = new QLineEdit(&dialog);
    next->move(0, 40);
    dialog.show();
    const struct
    {
        Money loaded;
        const char *typed;
        const char *shown;
        const char *message; // empty: kept without a word
    } typedRows[] = {
        {Money::fromCents(300), "twelve", "3.00", "Price: Please enter a currency."},
        {Money::fromCents(300), "1.2.3", "3.00", "Price: Please enter a currency."},
        {Money::fromCents(300), "99,999,999,999,999,999", "3.00",
         "Price: Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
        {-Money::noChargeMarker(), "12,50", "No Charge", "Price: Please enter a currency."},
        {Money::fromCents(300), " $1,234.5 ", "1234.50", ""},
    };
    for (const auto &row : typedRows) {
        SCOPED_TRACE(row.typed);
        Money loaded = row.loaded;
        DataExchange again = load();
        DDX_CurrencyNoCharge(again, edit, loaded);
        prompts().clear();
        const QString message = QString::fromLatin1(row.message);
        if (!message.isEmpty())
            prompts().answer(platform::IDOK);
        typing::enter(edit, typing::Entry::SelectAll);
        typing::typeAndLeave(edit, QString::fromLatin1(row.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(row.shown));
        EXPECT_EQ(prompts().texts(), message.isEmpty() ? QStringList() : QStringList{message});
    }
}

// An amount typed into a money field, read when the field is left: kept as
// the field shows it, or refused naming the field with the amount shown
// before this typing put back. Rows typed one after the other into one field
// that loaded 5,000.00.
TEST_F(DialogFieldExchangeTest, ARefusedAmountPutsBackTheOneShownBeforeIt)
{
    auto *edit = new QLineEdit(&dialog);
    (new QLabel(QStringLiteral("Credit &Limit $"), &dialog))->setBuddy(edit);
    Money limit = Money::fromWhole(5000);
    DataExchange in = load();
    DDX_CurrencyNoCharge(in, edit, limit);
    ASSERT_EQ(edit->text(), QStringLiteral("5000.00"));
    const QString bound = QStringLiteral("Credit Limit $: Please enter an amount from -100,000,000,000.00 to "
                                         "100,000,000,000.00.");
    const struct
    {
        const char *typed;
        const char *shown;  // after leaving the field
        QString message;    // empty: kept without a word
    } rows[] = {
        // Already in its own form: kept, and what a refusal puts back.
        {"2500.00", "2500.00", QString()},
        {"25OO", "2500.00", QStringLiteral("Credit Limit $: Please enter a currency.")},
        {"1,250", "1250.00", QString()},
        // More decimals than the field holds: refused, never rounded.
        {"12.345", "1250.00", QStringLiteral("Credit Limit $: Please enter an amount with at most 2 decimals.")},
        {"12.340", "12.34", QString()},
        // The largest amount a money field holds, and one cent past it.
        {"100,000,000,000.00", "100000000000.00", QString()},
        {"100,000,000,000.01", "100000000000.00", bound},
        {"-100000000000", "-100000000000.00", QString()},
        {"-100,000,000,000.01", "-100000000000.00", bound},
        {"99,999,999,999,999.99", "-100000000000.00", bound},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed);
        prompts().clear();
        if (!row.message.isEmpty())
            prompts().answer(platform::IDOK);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(row.typed));
        emit edit->editingFinished();
        EXPECT_EQ(edit->text(), QString::fromLatin1(row.shown));
        EXPECT_EQ(prompts().texts(), row.message.isEmpty() ? QStringList() : QStringList{row.message});
    }

    // The save reads the field the same way: one cent past the largest
    // amount is refused, the member kept.
    Money saved = Money::fromWhole(7);
    edit->setText(QStringLiteral("100000000000.01"));
    prompts().clear();
    prompts().answer(platform::IDOK);
    DataExchange out = save();
    DDX_Currency(out, edit, saved);
    EXPECT_TRUE(out.failed());
    EXPECT_EQ(saved, Money::fromWhole(7));
    EXPECT_EQ(prompts().texts(), QStringList{bound});
    edit->setText(QStringLiteral("100000000000.00"));
    DataExchange again = save();
    DDX_Currency(again, edit, saved);
    EXPECT_EQ(saved, Money::fromUnits(1'000'000'000'000'000));
}

TEST_F(DialogFieldExchangeTest, DatePickerFollowsTheNullField)
{
    TestCustomerSet set;
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    ASSERT_TRUE(set.SafeEdit());
    auto *picker = new QDateEdit(&dialog);

    DataExchange in = load();
    DDX_DateTimeCtrlField(in, picker, set.m_DateCreated, &set);
    EXPECT_TRUE(PickerShowsNoDate(picker));

    picker->setDate(QDate(2011, 3, 16));
    DataExchange out = save();
    DDX_DateTimeCtrlField(out, picker, set.m_DateCreated, &set);
    EXPECT_EQ(set.m_DateCreated, DateTime(2011, 3, 16));
    EXPECT_TRUE(set.IsFieldDirty(&set.m_DateCreated));
    EXPECT_FALSE(set.IsFieldNull(&set.m_DateCreated));
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT DateCreated FROM Customers")).toDateTime(), DateTime(2011, 3, 16));

    ASSERT_TRUE(set.SafeEdit());
    DDX_DateTimeCtrlField(in, picker, set.m_DateCreated, &set);
    EXPECT_EQ(picker->date(), QDate(2011, 3, 16));
    SetPickerNoDate(picker);
    DDX_DateTimeCtrlField(out, picker, set.m_DateCreated, &set);
    EXPECT_TRUE(set.IsFieldNull(&set.m_DateCreated));
    EXPECT_TRUE(set.IsFieldDirty(&set.m_DateCreated));
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DateCreated FROM Customers")).isNull());

    // A picker that loaded a date is emptied from the keyboard: the whole
    // date selected (Ctrl+A) and deleted saves Null; Backspace does the same.
    for (const Qt::Key erase : {Qt::Key_Delete, Qt::Key_Backspace}) {
        ASSERT_TRUE(set.SafeEdit());
        set.m_DateCreated = DateTime(2011, 3, 16);
        set.SetFieldNull(&set.m_DateCreated, false);
        ASSERT_TRUE(set.SafeUpdate());
        ASSERT_TRUE(set.SafeEdit());
        auto *typed = new QDateEdit(&dialog);
        DataExchange shown = load();
        DDX_DateTimeCtrlField(shown, typed, set.m_DateCreated, &set);
        ASSERT_EQ(typed->date(), QDate(2011, 3, 16));
        QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(typed, erase);
        EXPECT_TRUE(PickerShowsNoDate(typed)) << erase;
        DataExchange saved = save();
        DDX_DateTimeCtrlField(saved, typed, set.m_DateCreated, &set);
        EXPECT_TRUE(set.IsFieldNull(&set.m_DateCreated)) << erase;
        ASSERT_TRUE(set.SafeUpdate());
        EXPECT_TRUE(scalar(QStringLiteral("SELECT DateCreated FROM Customers")).isNull()) << erase;
    }
}

TEST_F(DialogFieldExchangeTest, CodesChecksAndIndexes)
{
    auto *combo = new QComboBox(&dialog);
    combo->addItem(QStringLiteral("Net 10"), 4);
    combo->addItem(QStringLiteral("Net 30"), 7);
    quint8 terms = 7;
    DataExchange in = load();
    DataExchange out = save();
    DDX_CBData(in, combo, terms);
    EXPECT_EQ(combo->currentIndex(), 1);
    combo->setCurrentIndex(-1);
    DDX_CBData(out, combo, terms);
    EXPECT_EQ(terms, 7);
    combo->setCurrentIndex(0);
    DDX_CBData(out, combo, terms);
    EXPECT_EQ(terms, 4);

    auto *box = new QCheckBox(&dialog);
    quint8 flag = 2;
    DDX_CheckByte(in, box, flag);
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    box->setCheckState(Qt::Checked);
    DDX_CheckByte(out, box, flag);
    EXPECT_EQ(flag, 1);

    // An index field: not loaded from a closed set.
    TestCustomerSet set;
    combo->setCurrentIndex(0);
    quint8 index = 1;
    DDX_CBIndexField(in, combo, index, &set);
    EXPECT_EQ(combo->currentIndex(), 0);
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    DDX_CBIndexField(in, combo, set.m_Terms, &set);
    EXPECT_EQ(combo->currentIndex(), -1); // 2 is past the last entry
    set.m_Terms = 1;
    DDX_CBIndexField(in, combo, set.m_Terms, &set);
    EXPECT_EQ(combo->currentIndex(), 1);
}
