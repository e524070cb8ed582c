#include "AppObjectFixture.h"

#include "platform/Settings.h"

#include <QtCore/QFile>

namespace {

const QString kTryAgain = QStringLiteral("The password you've typed is not correct.\n\nDo you want to try again?");
const QString kPlease = QStringLiteral("Please type your password:");

class AppRights : public AppObjectTest
{
protected:
    void SetUp() override
    {
        AppObjectTest::SetUp();
        setPassword(1, "top");
        setPassword(2, "two");
        setPassword(3, "three");
        setPassword(4, "four");
        setPassword(5, "five");
        guard(40, 3);
    }
    void setPassword(int no, const char *password)
    {
        exec(QStringLiteral("UPDATE Passwords SET [Password] = '%1' WHERE [No] = %2")
                 .arg(QString::fromLatin1(password))
                 .arg(no));
    }
    void guard(int no, int level)
    {
        exec(QStringLiteral("UPDATE Passwords SET [Level] = %1 WHERE [No] = %2").arg(level).arg(no));
    }
    // Checks the action with one typed answer and reports whether it passed.
    bool checkWith(int noOrLevel, const char *password)
    {
        typed = {QString::fromLatin1(password)};
        asked.clear();
        return app->CheckPassword(noOrLevel, QStringLiteral("delete a job"));
    }
};

TEST_F(AppRights, PasswordsOfTheLevelAndAboveOpenAnActionInThreeTries)
{
    EXPECT_TRUE(checkWith(40, "three"));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, 40);
    EXPECT_EQ(asked[0].window, QStringLiteral("Password"));
    EXPECT_EQ(asked[0].ribbon, kPlease);
    EXPECT_EQ(asked[0].strip, QStringLiteral("You need a password to delete a job."));
    EXPECT_TRUE(checkWith(40, "top"));
    // Exact and case-sensitive; a lower level's password does not open it.
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(checkWith(40, "Three"));
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(checkWith(-1, "two"));
    EXPECT_FALSE(checkWith(40, "<cancel>"));
    EXPECT_EQ(prompts().shown()[0].flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));

    prompts().clear();
    typed = {QStringLiteral("four"), QStringLiteral("y"), QStringLiteral("z")};
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    asked.clear();
    EXPECT_FALSE(app->CheckPassword(40, QString()));
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[2].ribbon, QStringLiteral("Last try!"));
    EXPECT_EQ(asked[2].strip, QString());
    // Asked between the entries, never after the last.
    EXPECT_EQ(prompts().texts(), QStringList({kTryAgain, kTryAgain}));
}

TEST_F(AppRights, WhatIsNeverGuarded)
{
    // Nothing is asked for these; an unanswered entry dialog would throw.
    guard(41, 0);
    guard(42, 6);
    EXPECT_TRUE(app->CheckPassword(41, QString()) && app->CheckPassword(42, QString()));
    EXPECT_TRUE(app->CheckPassword(250, QString())); // no such row
    app->m_nSecurityLevel = 0;
    EXPECT_TRUE(app->CheckPassword(-1, QString()));
    app->m_nSecurityLevel = -1;
    // An empty password switches its own level off, even below set ones.
    setPassword(3, "");
    EXPECT_TRUE(app->CheckPassword(40, QString()));
    EXPECT_TRUE(asked.isEmpty());

    // But an empty entry never stands in for a lower level's password.
    setPassword(1, "");
    setPassword(3, "three");
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(checkWith(40, ""));
}

TEST_F(AppRights, SecurityLevelIsLoweredOnlyWithAPassword)
{
    QList<CZqApp::ChoiceDialog> shown;
    QList<int> choices; // the code to check, or 0 to cancel
    app->setChoiceDialog([&](CZqApp::ChoiceDialog &dialog) {
        shown << dialog;
        const int code = choices.takeFirst();
        if (code == 0)
            return int(platform::IDCANCEL);
        for (CZqApp::ChoiceEntry &e : dialog.groups[0].entries)
            e.checked = e.code == code;
        return int(platform::IDOK);
    });

    // Level 3: levels 3 to 5 pass without a password, 1 and 2 still ask.
    choices = {4};
    typed = {QStringLiteral("three")};
    EXPECT_TRUE(app->ChangeSecurityLevel());
    EXPECT_EQ(app->m_nSecurityLevel, 3);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].selectCode, 2);
    QList<int> codes;
    QList<int> ticked;
    for (const CZqApp::ChoiceEntry &e : shown[0].groups[0].entries) {
        codes << e.code;
        if (e.checked)
            ticked << e.code;
    }
    EXPECT_EQ(codes, QList<int>({2, 6, 5, 4, 3, 1}));
    EXPECT_EQ(ticked, QList<int>{2}); // "Highest" is the level in force
    asked.clear();
    EXPECT_TRUE(app->CheckPassword(-3, QString()));
    EXPECT_TRUE(app->CheckPassword(-5, QString()));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_FALSE(checkWith(-2, "<cancel>"));

    // Cancelling the dialog changes nothing; the current level is preselected.
    choices = {0};
    EXPECT_FALSE(app->ChangeSecurityLevel());
    EXPECT_EQ(app->m_nSecurityLevel, 3);
    EXPECT_EQ(shown.last().selectCode, 4);
    EXPECT_TRUE(shown.last().groups[0].entries[3].checked);

    // A cancelled password leaves every password on, not the old level.
    choices = {1};
    typed = {kCancel};
    EXPECT_TRUE(app->ChangeSecurityLevel());
    EXPECT_EQ(app->m_nSecurityLevel, -1);

    // Lowest takes the top password.
    choices = {1};
    typed = {QStringLiteral("top")};
    EXPECT_TRUE(app->ChangeSecurityLevel());
    EXPECT_EQ(app->m_nSecurityLevel, 0);

    // An empty password opens its own level only: turning levels 2 to 5
    // off then asks for the password of the first level below that has
    // one (or a level's above it), and an empty entry is no such password.
    // Rows: the level chosen, the passwords of levels 1 to 5, what is
    // typed, the level in force after it, the prompts shown.
    const struct
    {
        int code;
        const char *passwords[5];
        QStringList typed;
        int level;
        int entries;
    } rows[] = {
        {3, {"top", "", "three", "four", "five"}, {QStringLiteral("three")}, 2, 1},
        {3, {"top", "", "three", "four", "five"}, {QStringLiteral("top")}, 2, 1},
        {3, {"top", "", "three", "four", "five"}, {kCancel}, -1, 1},
        {3, {"top", "", "three", "four", "five"}, {QStringLiteral("four"), kCancel}, -1, 2},
        {3, {"top", "", "three", "four", "five"}, {QString(), kCancel}, -1, 2},
        {3, {"top", "", "", "", "five"}, {QStringLiteral("five")}, 2, 1},
        // Nothing from the level chosen down has a password: nothing asked.
        {3, {"top", "", "", "", ""}, {}, 2, 0},
        {4, {"top", "two", "", "", ""}, {}, 3, 0},
        // Lowest with an empty top password asks for level 2's.
        {1, {"", "two", "three", "four", "five"}, {QStringLiteral("two")}, 0, 1},
        {1, {"", "two", "three", "four", "five"}, {kCancel}, -1, 1},
        {1, {"", "", "", "", ""}, {}, 0, 0},
    };
    for (const auto &r : rows) {
        for (int no = 1; no <= 5; ++no)
            setPassword(no, r.passwords[no - 1]);
        app->m_nSecurityLevel = -1;
        prompts().clear();
        for (int k = 1; k < r.typed.size(); ++k)
            prompts().answer(platform::IDYES);
        choices = {r.code};
        typed = r.typed;
        asked.clear();
        const QString name = QStringLiteral("code %1 with %2 typed").arg(r.code).arg(r.typed.join(QLatin1Char('|')));
        EXPECT_TRUE(app->ChangeSecurityLevel()) << name.toStdString();
        EXPECT_EQ(app->m_nSecurityLevel, r.level) << name.toStdString();
        EXPECT_EQ(asked.size(), r.entries) << name.toStdString();
    }
    // The guarded action of level 3 then asks for its password.
    setPassword(2, "");
    setPassword(3, "three");
    app->m_nSecurityLevel = -1;
    choices = {3};
    typed = {kCancel};
    EXPECT_TRUE(app->ChangeSecurityLevel());
    EXPECT_FALSE(checkWith(40, "<cancel>"));
}

TEST_F(AppRights, DefaultCsrChoiceIsStoredForTheWorkstation)
{
    int preselected = -1;
    int answer = platform::IDOK;
    app->setTreePicker([&](quint8, int &code) {
        preselected = code;
        code = 7;
        return answer;
    });
    app->m_nDefaultCsr = 2;
    EXPECT_TRUE(app->ChooseDefaultCsr(3));
    EXPECT_EQ(preselected, 2);
    EXPECT_EQ(app->m_nDefaultCsr, 7);
    // The file itself holds the value under its section.
    platform::Settings::sync();
    QFile file(platform::Settings::fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(QStringLiteral("[Settings]\nDefCSR=7\n")));

    answer = platform::IDCANCEL;
    app->m_nDefaultCsr = 4;
    EXPECT_FALSE(app->ChooseDefaultCsr(3));
    EXPECT_EQ(app->m_nDefaultCsr, 4);
}

TEST_F(AppRights, AnUnreadableTableIsReportedAndLetsTheActionGoOn)
{
    holder.database().deleteTable(QStringLiteral("Passwords"));
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    EXPECT_TRUE(app->CheckPassword(40, QString()));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(prompts().shown().value(0).text.contains(QStringLiteral("Passwords")));
}

} // namespace
