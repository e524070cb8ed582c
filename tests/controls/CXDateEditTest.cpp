#include "ControlsFixture.h"
#include "support/TypeInto.h"

#include "controls/CXDateEdit.h"
#include "data/DialogFieldExchange.h"
#include "platform/Clock.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

using typing::Entry;

// A date typed whole over the date a field shows, entered one way: the date
// the field then holds, or refused (the old date stays and the message names
// the field).
struct DateTypingCase
{
    QDate shown;
    const char *typed;
    Entry way;
    int section; // the part clicked on
    QDate kept;  // invalid: refused
};

void PrintTo(const DateTypingCase &c, std::ostream *os)
{
    *os << c.shown.toString(QStringLiteral("MM/dd/yyyy")).toStdString() << " + " << typing::entryName(c.way);
    if (c.way == Entry::Click)
        *os << " on part " << c.section;
    *os << " + \"" << c.typed << '"';
}

class CXDateEditTest : public ControlsTest, public ::testing::WithParamInterface<DateTypingCase>
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        auto *label = new QLabel(QStringLiteral("Recei&ved"), host.get());
        label->setGeometry(10, 10, 80, 24);
        field = new CXDateEdit(host.get());
        field->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        field->setGeometry(100, 10, 150, 24);
        label->setBuddy(field);
        next = new QLineEdit(host.get());
        next->setGeometry(100, 50, 150, 24);
        label->show();
        field->show();
        next->show();
    }

    CXDateEdit *field = nullptr;
    QLineEdit *next = nullptr;
};

TEST_P(CXDateEditTest, ADateTypedWholeReplacesTheWholeDate)
{
    const DateTypingCase &c = GetParam();
    field->setDate(c.shown);
    prompts().answer(platform::IDOK);
    typing::enter(field, c.way, c.section);
    typing::typeAndLeave(field, QString::fromLatin1(c.typed));
    if (c.kept.isValid()) {
        EXPECT_EQ(field->date(), c.kept);
        EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    } else {
        EXPECT_EQ(field->date(), c.shown);
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Received: %1 is no date. Please enter a date as month/day/year.")
                                  .arg(QString::fromLatin1(c.typed))});
    }
    // The field shows the date it holds, not what was typed.
    EXPECT_EQ(typing::lineOf(field)->text(), field->date().toString(QStringLiteral("MM/dd/yyyy")));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CXDateEditTest,
    ::testing::Values(
        // Another month, whatever part is selected or clicked.
        DateTypingCase{QDate(2026, 12, 9), "11/20/2026", Entry::Tab, 0, QDate(2026, 11, 20)},
        DateTypingCase{QDate(2026, 12, 9), "11/20/2026", Entry::SelectAll, 0, QDate(2026, 11, 20)},
        DateTypingCase{QDate(2026, 12, 9), "11/20/2026", Entry::Click, 0, QDate(2026, 11, 20)},
        DateTypingCase{QDate(2026, 12, 9), "11/20/2026", Entry::Click, 1, QDate(2026, 11, 20)},
        DateTypingCase{QDate(2026, 12, 9), "08/23/2026", Entry::Click, 2, QDate(2026, 8, 23)},
        DateTypingCase{QDate(2026, 1, 31), "06/15/2026", Entry::SelectAll, 0, QDate(2026, 6, 15)},
        DateTypingCase{QDate(2026, 1, 31), "06/15/2026", Entry::Click, 0, QDate(2026, 6, 15)},
        // Short forms: one-digit parts, a two-digit year, a month and day.
        DateTypingCase{QDate(2026, 12, 9), "1/5/27", Entry::SelectAll, 0, QDate(2027, 1, 5)},
        DateTypingCase{QDate(2026, 12, 9), "3/4", Entry::Tab, 0, QDate(2026, 3, 4)},
        // A lone number replaces the part clicked on.
        DateTypingCase{QDate(2026, 12, 9), "15", Entry::Click, 1, QDate(2026, 12, 15)},
        // Leap days: checked with the typed year.
        DateTypingCase{QDate(2025, 3, 1), "2/29/2024", Entry::SelectAll, 0, QDate(2024, 2, 29)},
        DateTypingCase{QDate(2025, 3, 1), "2/29/2024", Entry::Tab, 0, QDate(2024, 2, 29)},
        DateTypingCase{QDate(2025, 3, 1), "2/29/2025", Entry::Tab, 0, QDate()},
        DateTypingCase{QDate(2025, 3, 1), "13/13/2025", Entry::Tab, 0, QDate()},
        DateTypingCase{QDate(2025, 3, 1), "13/13/2025", Entry::Click, 2, QDate()},
        DateTypingCase{QDate(2025, 3, 1), "4/31/2025", Entry::SelectAll, 0, QDate()},
        DateTypingCase{QDate(2026, 12, 9), "15", Entry::Tab, 0, QDate()}));

// A field that may show no date: typing into it starts from today's date
// and replaces all of it; Ctrl+A and Delete still empty it. A date refused
// there leaves it showing no date, as before the typing, never today's.
using CXDateEditEmptyTest = ControlsTest;

TEST_F(CXDateEditEmptyTest, AClearableDateFieldTakesADateTypedWhole)
{
    auto *label = new QLabel(QStringLiteral("&Reorder"), host.get());
    label->setGeometry(10, 10, 80, 24);
    auto *field = new CXDateEdit(host.get());
    label->setBuddy(field);
    field->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    field->setGeometry(100, 10, 150, 24);
    auto *next = new QLineEdit(host.get());
    next->setGeometry(100, 50, 150, 24);
    field->show();
    next->show();
    SetPickerNoDate(field);
    typing::enter(field, Entry::Tab);
    typing::typeAndLeave(field, QStringLiteral("11/20/2026"));
    EXPECT_FALSE(PickerShowsNoDate(field));
    EXPECT_EQ(field->date(), QDate(2026, 11, 20));

    typing::enter(field, Entry::SelectAll);
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_TRUE(PickerShowsNoDate(field));

    // Refused in an empty field, each way in: still no date, and it shows none.
    platform::Clock::setFixed(QDateTime(QDate(2024, 6, 12), QTime(9, 0)));
    const struct
    {
        const char *typed;
        Entry way;
        QDate kept; // invalid: refused
    } rows[] = {
        {"25", Entry::Tab, QDate()},           {"25", Entry::Click, QDate()},
        {"13/13/2026", Entry::Tab, QDate()},    {"2/29/2025", Entry::SelectAll, QDate()},
        {"1/5/27", Entry::Tab, QDate(2027, 1, 5)},
        // A lone month is read into today's date (06/12/2024 here).
        {"3", Entry::Tab, QDate(2024, 3, 12)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed);
        SetPickerNoDate(field);
        prompts().clear();
        prompts().answer(platform::IDOK);
        typing::enter(field, row.way);
        typing::typeAndLeave(field, QString::fromLatin1(row.typed));
        if (row.kept.isValid()) {
            EXPECT_EQ(field->date(), row.kept);
            EXPECT_TRUE(prompts().texts().isEmpty());
            continue;
        }
        EXPECT_TRUE(PickerShowsNoDate(field));
        EXPECT_EQ(typing::lineOf(field)->text().trimmed(), QString());
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Reorder: %1 is no date. Please enter a date as month/day/year.")
                                  .arg(QString::fromLatin1(row.typed))});
    }
    platform::Clock::reset();
}
