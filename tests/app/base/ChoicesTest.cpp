#include "app/base/Choices.h"
#include "app/base/CZqApp.h"
#include "support/TestEnvironment.h"

namespace {

// Choices answered by the test: the runner records each dialog and ticks the
// entries the test names (by text), or cancels.
class ChoicesTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        app.setQueryReader([this](const QString &sql, int, CZqApp::QueryResult &result) {
            statements << sql;
            result.fields = {QStringLiteral("No"), QStringLiteral("Note")};
            for (int i = 0; i < notes.size(); ++i)
                result.rows.append({platform::Value(i + 1), platform::Value(notes[i])});
            return true;
        });
        SetChoiceRunner([this](CZqApp::ChoiceDialog &dialog) {
            shown.append(dialog);
            if (cancel)
                return int(platform::IDCANCEL);
            for (CZqApp::ChoiceGroup &group : dialog.groups)
                for (CZqApp::ChoiceEntry &entry : group.entries)
                    entry.checked = ticks.contains(entry.text);
            return int(platform::IDOK);
        });
    }
    void TearDown() override
    {
        SetChoiceRunner(nullptr);
        TavrelTest::TearDown();
    }

    CZqApp app;
    QStringList notes;
    QStringList ticks;
    bool cancel = false;
    QStringList statements;
    QList<CZqApp::ChoiceDialog> shown;
};

} // namespace

TEST_F(ChoicesTest, OneOfNAndTheItemStatusQuestion)
{
    ticks = {QStringLiteral("Fax")};
    EXPECT_EQ(AskChoice(QStringLiteral("Send"), QStringLiteral("strip"), QStringLiteral("Mail,Fax,Phone,Never"),
                        QStringLiteral("How?")),
              2);
    ASSERT_EQ(shown.size(), 1);
    const CZqApp::ChoiceGroup &group = shown[0].groups.first();
    EXPECT_TRUE(group.radio);
    ASSERT_EQ(group.entries.size(), 3); // "Never" follows no comma
    EXPECT_EQ(group.entries[2].code, 3);
    cancel = true;
    EXPECT_EQ(AskChoice(QStringLiteral("Send"), QString(), QStringLiteral("Mail,Fax,"), QStringLiteral("How?")), 0);

    // Hold, Wait and Proof ask; other statuses change without a question.
    cancel = false;
    shown.clear();
    ticks = {QStringLiteral("Change to IN PRODUCTION")};
    EXPECT_TRUE(AskItemStatusChange(1, 4));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].ribbonTitle, QStringLiteral("Item is not in production"));
    EXPECT_EQ(shown[0].stripText, QStringLiteral("Service Status is updated."));
    EXPECT_EQ(shown[0].groups.first().entries.first().text, QStringLiteral("Keep as HOLD"));
    ticks = {QStringLiteral("Keep as PROOF")};
    EXPECT_FALSE(AskItemStatusChange(3, 0));
    EXPECT_TRUE(AskItemStatusChange(4, 1));
    EXPECT_TRUE(AskItemStatusChange(0, 2));
    EXPECT_EQ(shown.size(), 2);
}

TEST_F(ChoicesTest, QuickNotesAreAddedAndTakenOut)
{
    notes = {QStringLiteral("A"), QString(), QStringLiteral("B\r\nsecond line")};
    QString text;
    ticks = {QStringLiteral("A"), QStringLiteral("B")};
    ASSERT_TRUE(PickQuickNote(text, 3, 0, QStringLiteral(", ")));
    EXPECT_EQ(text, QStringLiteral("A, B"));
    EXPECT_EQ(statements.last(), QStringLiteral("SELECT [No], [Note] FROM QuickNotes WHERE Type = 3 ORDER BY [Sort], [Note]"));
    const CZqApp::ChoiceGroup &group = shown.last().groups.first();
    EXPECT_FALSE(group.radio);
    ASSERT_EQ(group.entries.size(), 2); // the empty note is left out
    EXPECT_EQ(group.entries[1].code, 2);

    // Unticking A finds no separator before it: A alone goes, then the
    // separator that now leads.
    ticks = {QStringLiteral("B")};
    ASSERT_TRUE(PickQuickNote(text, 3, 7, QStringLiteral(", ")));
    EXPECT_EQ(text, QStringLiteral("B"));
    EXPECT_EQ(statements.last(),
              QStringLiteral("SELECT [No], [Note] FROM QuickNotes WHERE (Type = 3 or QCatNo = 7) ORDER BY [Sort], [Note]"));

    cancel = true;
    EXPECT_FALSE(PickQuickNote(text, 3, 0, QStringLiteral(", ")));
    EXPECT_EQ(text, QStringLiteral("B"));
    notes.clear();
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(PickQuickNote(text, 3, 0, QStringLiteral(", ")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Could not find any Quick Notes."));
}
