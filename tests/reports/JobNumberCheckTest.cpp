// Missing and duplicate job numbers (2602): gaps, repeats and credited jobs
// on hand-made numberings, then the report over the Jobs table.

#include "reports/KeyReportFixture.h"

#include "reports/calc/JobNumberCheck.h"

namespace {

struct Numbering
{
    const char *name;
    QList<JobNumberRecord> jobs;
    QStringList findings; // "number:status"
    std::int64_t missing;
    int duplicates;
    int credited;
};

QStringList texts(const JobNumberCheck &check)
{
    QStringList out;
    for (const JobNumberFinding &f : check.findings)
        out << QString::number(f.jobNo) + QLatin1Char(':') + f.status;
    return out;
}

} // namespace

class JobNumbers : public KeyReportFixture
{
};

TEST_F(JobNumbers, GapsRepeatsAndCreditsAreFound)
{
    const Numbering cases[] = {
        {"one missing", {{100, 0}, {101, 0}, {103, 0}}, {"102:- Missing"}, 1, 0, 0},
        {"three missing", {{100, 0}, {104, 0}}, {"101:- Missing 3 Jobs   101 through 103"}, 3, 0, 0},
        {"two missing", {{100, 0}, {103, 0}}, {"101:- Missing 2 Jobs   101 through 102"}, 2, 0, 0},
        {"duplicate", {{100, 0}, {100, 0}}, {"100:Duplicate!"}, 0, 1, 0},
        {"credited after a gap", {{100, 0}, {105, 98}, {106, 0}}, {"105:Credited Job"}, 0, 0, 1},
        {"gap after a credit", {{100, 98}, {102, 0}}, {"100:Credited Job", "101:- Missing"}, 1, 0, 1},
        {"credited duplicate", {{100, 0}, {100, 98}}, {"100:Credited Job"}, 0, 0, 1},
        {"in order", {{7, 0}, {8, 0}, {9, 0}}, {}, 0, 0, 0},
        {"none", {}, {}, 0, 0, 0},
    };
    for (const Numbering &k : cases) {
        const JobNumberCheck check = CheckJobNumbers(k.jobs);
        EXPECT_EQ(texts(check), k.findings) << k.name;
        EXPECT_EQ(check.missing, k.missing) << k.name;
        EXPECT_EQ(check.duplicates, k.duplicates) << k.name;
        EXPECT_EQ(check.credited, k.credited) << k.name;
    }
    const JobNumberCheck range = CheckJobNumbers({{100, 0}, {104, 0}});
    EXPECT_EQ(range.first, 100);
    EXPECT_EQ(range.last, 104);
}

TEST_F(JobNumbers, TheReportWalksOrdersAndHistoryOnly)
{
    execAll({
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (1, 100, 3, 0)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (2, 101, 0, 0)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (3, 101, 3, 0)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (4, 102, 1, 0)",  // a quote: not examined
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (5, 0, 3, 0)",    // no number: not examined
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (6, 106, 3, 0)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, Creator) VALUES (7, 108, 3, 98)", // credited after a gap
    });
    CReportRun &c = context(2602);
    ReportJobNumberCheck(c);
    EXPECT_EQ(rows(), QStringList({"0:101|Duplicate!", "0:102|- Missing 4 Jobs   102 through 105", "0:108|Credited Job",
                                   "3:|Total", "1:|Missing: 4", "1:|Duplicate: 1", "1:|Credited: 1"}));
    EXPECT_EQ(table.m_subtitle, "Job Number Range: 100 through 108");
    EXPECT_EQ(table.GetColumnName(0), "Job No");
    EXPECT_EQ(table.GetColumnName(1), "Status");

    // Through the runner, as the reports view shows it.
    c.branchText = QStringLiteral("Special Reports");
    c.entryText = QStringLiteral("Missing/Duplicate Jobs");
    EXPECT_TRUE(c.Run());
    EXPECT_EQ(table.m_subtitle, "Job Number Range: 100 through 108");
    savePng(QStringLiteral("report-2602"));
}

TEST_F(JobNumbers, AnEmptyShopShowsTheRangeZeroThroughZero)
{
    CReportRun &c = context(2602);
    ReportJobNumberCheck(c);
    EXPECT_EQ(rows(), QStringList({"3:|Total", "1:|Missing: 0", "1:|Duplicate: 0", "1:|Credited: 0"}));
    EXPECT_EQ(table.m_subtitle, "Job Number Range: 0 through 0");
}
