#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXGridCtrl.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "support/TestEnvironment.h"
#include "views/CSetupGridDlg.h"
#include "views/CViewDefaults.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <memory>

namespace {

// The sample shop, made once per test program and copied for each test.
QString setupSampleShop()
{
    static QString path;
    if (path.isEmpty()) {
        const QString folder =
            QDir::tempPath() + QStringLiteral("/tavrel-setup-sample-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(folder);
        path = folder + QStringLiteral("/TavrelData.mdb");
        QProcess tool;
        tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), path, QStringLiteral("--jobs"), QStringLiteral("40")});
        tool.waitForFinished(120000);
    }
    return path;
}

// Every line of the file's SQL text dump.
QStringList dumpLines(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {path, QStringLiteral(".dump")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
}

// The lines of `a` missing from `b` (as many times as they are missing).
QStringList missingLines(QStringList a, const QStringList &b)
{
    for (const QString &line : b)
        a.removeOne(line);
    return a;
}

// The setup tables of the settings view and of the areas that borrow it.
const int kTableCodes[] = {102, 103, 302, 303, 401, 402, 403, 404, 405, 501, 502, 503, 504, 505, 601, 602, 603,
                           701, 702, 703, 801, 802, 803, 804, 805, 806, 2001, 2002, 30721, 30722, 30723};

} // namespace

class SetupGridsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        Appearance::instance().LoadViewSettings();
        const QString source = setupSampleShop();
        ASSERT_TRUE(QFile::exists(source));
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_TRUE(QFile::copy(source, m_path));
        SharedDatabase().open(m_path);
        m_app = std::make_unique<CZqApp>();
        m_app->m_nSecurityLevel = 0; // the passwords entry asks for the top level first
    }
    void TearDown() override
    {
        QApplication::processEvents();
        m_app.reset();
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        TavrelTest::TearDown();
    }

    QString m_path;
    std::unique_ptr<CZqApp> m_app;
};

TEST_F(SetupGridsTest, OkWithoutEditsWritesNothingInAnySetupTable)
{
    CViewDefaults view;
    for (int code : kTableCodes) {
        const QStringList before = dumpLines(m_path);
        bool shown = false;
        prompts().onDialog([&shown](QDialog &) {
            shown = true;
            return int(QDialog::Accepted);
        });
        view.EditSetupTable(code, 5, 120);
        EXPECT_TRUE(shown) << code;
        if (!shown)
            prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); }); // keep the queue for the next
        const QStringList after = dumpLines(m_path);
        EXPECT_EQ(missingLines(before, after), QStringList()) << code;
        EXPECT_EQ(missingLines(after, before), QStringList()) << code;
    }
}

TEST_F(SetupGridsTest, OneEditChangesExactlyOneRow)
{
    CViewDefaults view;
    int editedTables = 0;
    for (int code : kTableCodes) {
        const QStringList before = dumpLines(m_path);
        QString edited;
        prompts().onDialog([&edited](QDialog &dialog) {
            auto *setup = qobject_cast<CSetupGridDlg *>(&dialog);
            CXGridCtrl *grid = setup ? setup->grid(0) : nullptr;
            if (!grid)
                return int(QDialog::Rejected);
            // The first editable text cell of a row that came from a record,
            // else its first editable number.
            for (int pass = 0; pass < 2 && edited.isEmpty(); ++pass) {
                for (int r = 0; r < grid->GetRowCount() && edited.isEmpty(); ++r) {
                    if (grid->rowRecord(r) < 0)
                        continue;
                    for (int c = 0; c < grid->GetColumnCount() && edited.isEmpty(); ++c) {
                        if (!grid->IsCellEditable(r, c) || grid->columnField(c) == 255)
                            continue;
                        const bool text = grid->GetColumnType(c) == 1;
                        if (pass == 0 && text && !grid->GetCellText(r, c).trimmed().isEmpty()) {
                            grid->SetCellText(r, c, grid->GetCellText(r, c).left(10) + QStringLiteral("Z"));
                            edited = grid->GetCellText(r, c);
                        } else if (pass == 1 && (grid->GetColumnType(c) == 6 || grid->GetColumnType(c) == 7)) {
                            grid->SetCellValue(r, c, grid->GetCellValue(r, c) == 1 ? 2 : 1);
                            edited = QString::number(grid->GetCellValue(r, c));
                        }
                    }
                }
            }
            return int(QDialog::Accepted);
        });
        const bool asksRestart = code == 602 || code == 603 || code == 30721 || code == 30722;
        if (asksRestart)
            prompts().answer(platform::IDOK);
        view.EditSetupTable(code, 5, 120);
        if (asksRestart && !edited.isEmpty())
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Your changes will be used after you restart Tavrel."));
        const QStringList after = dumpLines(m_path);
        if (edited.isEmpty())
            continue; // an empty table in the sample: nothing to edit
        ++editedTables;
        const QStringList gone = missingLines(before, after);
        const QStringList added = missingLines(after, before);
        EXPECT_EQ(gone.size(), 1) << code << " " << gone.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(added.size(), 1) << code << " " << added.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(added.first().contains(edited)) << code << " " << added.first().toStdString();
    }
    std::printf("setup tables edited: %d\n", editedTables);
    EXPECT_GE(editedTables, 12); // the tables the sample shop fills
}

TEST_F(SetupGridsTest, FixedRowsShowOnlyTheRecordsOfTheirNumbers)
{
    // The sample's terms are 1 Net 30, 2 Net 15 and 3 COD; neither special
    // term is stored. Each record shows in the row of its own number.
    CViewDefaults view;
    QStringList shown;
    prompts().onDialog([&shown](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        for (int r = 0; r < 5; ++r)
            shown << QStringLiteral("%1 %2 %3").arg(grid->GetCellValue(r, 0)).arg(grid->GetCellText(r, 1)).arg(grid->GetCellValue(r, 2));
        return int(QDialog::Accepted);
    });
    view.EditSetupTable(503, 0, 120);
    EXPECT_EQ(shown, QStringList({QStringLiteral("0 C.O.D. 0"), QStringLiteral("1 Net 30 30"), QStringLiteral("2 Net 15 15"),
                                  QStringLiteral("3 COD 0"), QStringLiteral("4 Net 10th of Month 0")}));
}
