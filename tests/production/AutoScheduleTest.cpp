#include "production/schedule/AutoSchedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Categories of the worked examples and their departments.
constexpr qint32 kProof = 7;      // proofing, department 2
constexpr qint32 kAfterProof = 6; // plates, department 2
constexpr qint32 kPaper = 101;    // department 3
constexpr qint32 kPrinting = 201; // department 4
constexpr qint32 kPrep = 20;      // department 1
constexpr qint32 kBindery = 30;   // department 5
constexpr qint32 kShipping = 40;  // department 6
constexpr qint32 kNoDepartment = 50;

QHash<qint32, qint32> departments()
{
    return {{kProof, 2}, {kAfterProof, 2}, {kPaper, 3}, {kPrinting, 4}, {kPrep, 1}, {kBindery, 5}, {kShipping, 6}};
}

struct Service
{
    qint32 catNo;
    int status = 1; // 0 done
    int days2 = 0;
};

// An item row, its services and the keyless total row after them.
QList<AutoScheduleRow> item(qint32 firstKey, const std::vector<Service> &services)
{
    QList<AutoScheduleRow> rows;
    rows.append({firstKey, 0, 4, 0, 0});
    qint32 key = firstKey;
    for (const Service &s : services)
        rows.append({++key, 900 + qint32(s.catNo), s.status, s.days2, s.catNo});
    rows.append({0, 0, 0, 0, 0});
    return rows;
}

AutoScheduleInput input(const QDate &in, const QDate &due, const QDate &today, const QList<AutoScheduleRow> &rows,
                        const QDate &proof = QDate())
{
    AutoScheduleInput i;
    i.dateIn = in;
    i.dateDue = due;
    i.today = today;
    i.dateProof = proof;
    i.departments = departments();
    i.rows = rows;
    return i;
}

// The day each service row gets, in row order (0 for rows left alone).
std::vector<int> daysOf(const AutoSchedulePlan &plan, const QList<AutoScheduleRow> &rows)
{
    std::vector<int> days;
    for (int r = 0; r < rows.size(); ++r)
        if (rows[r].key != 0 && rows[r].serNo != 0)
            days.push_back(plan.days.value(r, 0));
    return days;
}

QDate d(int y, int m, int day)
{
    return QDate(y, m, day);
}

struct Example
{
    const char *name;
    QDate in;
    QDate due;
    QDate today;
    QDate proof;
    std::vector<Service> services;
    std::vector<int> days;
    bool saturdayWorkday = false;
    bool sundayWorkday = false;
};

// A failing example is named by what it shows.
void PrintTo(const Example &e, std::ostream *os)
{
    *os << e.name;
}

class AutoScheduleExamples : public ::testing::TestWithParam<Example>
{
};

TEST_P(AutoScheduleExamples, GivesEachServiceItsDay)
{
    const Example &e = GetParam();
    const QList<AutoScheduleRow> rows = item(100, e.services);
    AutoScheduleInput in = input(e.in, e.due, e.today, rows, e.proof);
    in.saturdayWorkday = e.saturdayWorkday;
    in.sundayWorkday = e.sundayWorkday;
    const AutoSchedulePlan plan = PlanAutoSchedule(in);
    EXPECT_TRUE(plan.missingDate.isEmpty());
    EXPECT_EQ(daysOf(plan, rows), e.days) << e.name;
}

// Wednesday 06/12/2024 is today unless an example says otherwise.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, AutoScheduleExamples,
    ::testing::Values(
        Example{"due the day it came in: day 1 everywhere", d(2024, 6, 12), d(2024, 6, 12), d(2024, 6, 12), {},
                {{kPrep}, {kPaper}, {kPrinting}, {kBindery}}, {1, 1, 1, 1}},
        Example{"one day per change of department, the first on day 2", d(2024, 6, 10), d(2024, 6, 21),
                d(2024, 6, 10), {}, {{kPrep}, {kPrep}, {kPaper}, {kPrinting}, {kPrinting}}, {2, 2, 3, 4, 4}},
        Example{"a category without a department starts on day 1", d(2024, 6, 10), d(2024, 6, 21), d(2024, 6, 10),
                {}, {{kNoDepartment}, {kPrep}}, {1, 2}},
        Example{"a past date in: nothing before today", d(2024, 6, 3), d(2024, 6, 21), d(2024, 6, 12), {},
                {{kPrep}, {kPaper}}, {10, 11}},
        Example{"proof date: paper and proof on it, plates and printing the day after", d(2024, 6, 10),
                d(2024, 6, 21), d(2024, 6, 10), d(2024, 6, 12),
                {{kPaper}, {kProof}, {kAfterProof}, {kPrinting}, {kBindery}}, {3, 3, 4, 4, 5}},
        Example{"a scheduled proof service sets the proof day", d(2024, 6, 10), d(2024, 6, 21), d(2024, 6, 10), {},
                {{kPaper}, {kProof, 5, 5}, {kPrinting}}, {5, 5, 8}},
        // The proof on the item's first service row (as the sample shop has
        // it) is found too: day 5 (Friday), paper on it, printing on the
        // Saturday after it moved to Monday.
        Example{"a scheduled proof right below the item sets the proof day", d(2024, 6, 10), d(2024, 6, 21),
                d(2024, 6, 10), {}, {{kProof, 5, 5}, {kPaper}, {kPrinting}, {kBindery}}, {5, 5, 8, 9}},
        Example{"work above the proof is due by the proof day", d(2024, 6, 10), d(2024, 6, 21), d(2024, 6, 10),
                d(2024, 6, 11), {{kPaper}, {kPrep}, {kShipping}, {kProof}, {kPrinting}}, {2, 2, 2, 2, 3}},
        Example{"a closed Saturday moves two days", d(2024, 6, 13), d(2024, 6, 24), d(2024, 6, 12), {},
                {{kPrep}, {kPaper}, {kPrinting}}, {2, 5, 6}},
        Example{"past the due date a weekend day falls back to the due day", d(2024, 6, 13), d(2024, 6, 15),
                d(2024, 6, 12), {}, {{kPrep}, {kPaper}, {kPrinting}}, {2, 3, 3}},
        Example{"with Sunday a workday a Saturday moves one day", d(2024, 6, 13), d(2024, 6, 24), d(2024, 6, 12),
                {}, {{kPrep}, {kPaper}}, {2, 4}, false, true},
        Example{"with both weekend days workdays nothing moves", d(2024, 6, 13), d(2024, 6, 24), d(2024, 6, 12), {},
                {{kPrep}, {kPaper}}, {2, 3}, true, true},
        Example{"a done service is left alone and does not count as a department", d(2024, 6, 10),
                d(2024, 6, 21), d(2024, 6, 10), {}, {{kPrep}, {kPaper, 0, 4}, {kPrep}}, {2, 0, 2}},
        Example{"across New Year", d(2024, 12, 30), d(2025, 1, 10), d(2024, 12, 30), {},
                {{kPrep}, {kPaper}, {kPrinting}, {kBindery}, {kShipping}}, {2, 3, 4, 5, 8}}),
    [](const ::testing::TestParamInfo<Example> &info) { return "Example" + std::to_string(info.index); });

TEST(AutoSchedule, DatesThatDoNotAllowSchedulingAreNamed)
{
    const QList<AutoScheduleRow> rows = item(1, {{kPrep}});
    const QDate today(2024, 6, 12);
    struct Case
    {
        QDate in;
        QDate due;
        const char *reason;
    };
    const Case cases[] = {
        {{}, today, "In"},
        {today, {}, "Due"},
        {today, today.addDays(-1), "Due = DateIn or later"},
        {today.addDays(-10), today.addDays(-1), "Due = Today or later"},
    };
    for (const Case &c : cases) {
        const AutoSchedulePlan plan = PlanAutoSchedule(input(c.in, c.due, today, rows));
        EXPECT_EQ(plan.missingDate, QString::fromLatin1(c.reason));
        EXPECT_TRUE(plan.changes.isEmpty());
    }
    EXPECT_EQ(AutoScheduleDateQuestion(QStringLiteral("Due = Today or later")),
              QStringLiteral("To Auto-Schedule, you must set Date Due = Today or later.\n\nDo you want to set date(s)?"));
    EXPECT_EQ(AutoScheduleReport(0), QStringLiteral("Scheduled 0 Service(s)."));
    EXPECT_EQ(AutoScheduleReport(3), QStringLiteral("Scheduled 3 Service(s)."));
}

TEST(AutoSchedule, ARunThatChangesNothingHasNoChanges)
{
    QList<AutoScheduleRow> rows = item(1, {{kPrep, 2}, {kPaper, 3}});
    const QDate day(2024, 6, 10);
    const AutoSchedulePlan plan = PlanAutoSchedule(input(day, day.addDays(10), day, rows));
    EXPECT_TRUE(plan.changes.isEmpty());
    EXPECT_EQ(daysOf(plan, rows), (std::vector<int>{2, 3}));

    rows[2].status = 9;
    const AutoSchedulePlan second = PlanAutoSchedule(input(day, day.addDays(10), day, rows));
    ASSERT_EQ(second.changes.size(), 1);
    EXPECT_EQ(second.changes[0].key, rows[2].key);
    EXPECT_EQ(second.changes[0].day, 3);
}

TEST(AutoSchedule, EachItemStartsAgainAndFindsOnlyItsOwnProof)
{
    // The second item's proof service (scheduled on day 6, a Saturday) must
    // not move the first item's paper to that day.
    QList<AutoScheduleRow> rows = item(1, {{kPrep}, {kPaper}});
    rows += item(10, {{kPrep}, {kShipping}, {kProof, 6, 6}, {kPrinting}});
    const QDate in(2024, 6, 10);
    const AutoSchedulePlan plan = PlanAutoSchedule(input(in, in.addDays(11), in, rows));
    EXPECT_EQ(daysOf(plan, rows), (std::vector<int>{2, 3, 2, 3, 8, 8}));
}

TEST(AutoSchedule, OffsetsPastTheLastDayStayOnDay254AndTodayMustHaveADay)
{
    // A 300-day order: whatever today is, no service gets 0 ("done") or 255
    // ("no day"), and none a day before today; once today lies past day 254
    // (DateIn + 253) the order cannot be scheduled until DateIn is moved.
    const QDate in(2024, 1, 1);
    const QDate due = in.addDays(300);
    for (int daysIn = 0; daysIn <= 300; daysIn += 7) {
        const QList<AutoScheduleRow> rows = item(1, {{kPrep}, {kPaper}, {kPrinting}, {kBindery}});
        const QDate today = in.addDays(daysIn);
        const AutoSchedulePlan plan = PlanAutoSchedule(input(in, due, today, rows));
        EXPECT_EQ(plan.missingDate.isEmpty(), daysIn <= kLastScheduleDay - 1) << daysIn;
        if (!plan.missingDate.isEmpty()) {
            EXPECT_TRUE(plan.days.isEmpty()) << daysIn;
            continue;
        }
        for (int day : daysOf(plan, rows)) {
            EXPECT_GE(day, daysIn + 1) << daysIn;
            EXPECT_LE(day, kLastScheduleDay) << daysIn;
        }
    }
    const QList<AutoScheduleRow> rows = item(1, {{kPrep}, {kPaper}});
    // Tuesday 09/10/2024 is DateIn + 253: day 254, the last.
    const AutoSchedulePlan last = PlanAutoSchedule(input(in, due, QDate(2024, 9, 10), rows));
    EXPECT_EQ(daysOf(last, rows), (std::vector<int>{254, 254}));
    const AutoSchedulePlan late = PlanAutoSchedule(input(in, due, QDate(2024, 9, 11), rows));
    EXPECT_EQ(late.missingDate, QStringLiteral("In = Today - 253 days or later"));
    EXPECT_TRUE(late.changes.isEmpty());
    EXPECT_EQ(AutoScheduleDateQuestion(late.missingDate),
              QStringLiteral("To Auto-Schedule, you must set Date In = Today - 253 days or later.\n\nDo you want to "
                             "set date(s)?"));
}

TEST(AutoSchedule, ClosedDays)
{
    struct Case
    {
        QDate date;
        bool saturday;
        bool sunday;
        int days;
    };
    const Case cases[] = {
        {QDate(2024, 6, 14), false, false, 0}, {QDate(2024, 6, 15), false, false, 2},
        {QDate(2024, 6, 16), false, false, 1}, {QDate(2024, 6, 15), false, true, 1},
        {QDate(2024, 6, 16), true, false, 1},  {QDate(2024, 6, 15), true, false, 0},
        {QDate(), false, false, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DaysToNextWorkday(c.date, c.saturday, c.sunday), c.days) << c.date.toString().toStdString();
}

} // namespace
