// The item window's rules without its window: print styles and plates, wash-ups
// and ink mixes, quantity breaks.
#include "PricingFixture.h"

#include "app/base/Choices.h"
#include "estimating/CItemSpecsData.h"
#include "views/CDlgOptions.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>

#include <optional>

namespace {

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

constexpr quint8 kBlack = 1;
constexpr quint8 kBlackPlus1 = 2;
constexpr quint8 kBlackPlus2 = 3;
constexpr int kPlainOk = 0; // OK with the entries as the dialog shows them

struct PlateCase
{
    const char *name;
    qint32 S, U;
    quint8 front, back;
    bool pads;
    qint64 regular, turn, sig, a1, b;
    bool turnOk, sigOk, workSigOk;
    quint8 proposedFromNone;
};

class ItemSpecsRules : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        m_job = addJob(1001);
        m_item.m_JobID = m_job;
        SetChoiceRunner([this](CZqApp::ChoiceDialog &dialog) {
            m_choice = dialog;
            if (!m_pick)
                return int(platform::IDCANCEL);
            if (*m_pick == kPlainOk)
                return int(IDOK);
            for (auto &group : dialog.groups)
                for (auto &entry : group.entries)
                    entry.checked = entry.code == *m_pick;
            return int(IDOK);
        });
    }
    void TearDown() override
    {
        SetChoiceRunner(nullptr);
        PricingTest::TearDown();
    }
    QStringList choiceTexts() const
    {
        QStringList out;
        if (m_choice)
            for (const auto &group : m_choice->groups)
                for (const auto &entry : group.entries)
                    out << entry.text;
        return out;
    }
    // A press of category 201 with default plate 50, and the plate services.
    void addPressAndPlates(quint8 timeBy = 0)
    {
        addService(50, 6, QStringLiteral("Metal Plate"));
        addService(51, 6, QStringLiteral("Special Plate"));
        addService(200, 201, QStringLiteral("Press 2C"),
                   {{"DefPlate", QStringLiteral("50")}, {"TimeBy", QString::number(timeBy)}});
        addService(110, 101, QStringLiteral("20# Bond"), {{"Size", QStringLiteral("'8.5 x 11'")}});
    }

    qint32 m_job = 0;
    CItemSet m_item;
    std::optional<CZqApp::ChoiceDialog> m_choice;
    std::optional<int> m_pick;
};

TEST_F(ItemSpecsRules, PlateCountsFollowTheWorkedExamples)
{
    const PlateCase cases[] = {
        {"both sides black+1, 3 originals 2 up", 3, 2, kBlackPlus1, kBlackPlus1, false, 12, 6, 8, 8, 6, true, true,
         true, 6},
        {"the same with 4 originals: tie-break refuses work & signature", 4, 2, kBlackPlus1, kBlackPlus1, false, 16, 8,
         8, 8, 8, true, true, false, 5},
        // A1 = B = 8; q = 1, r = 3, h = 2: f1 = 1 + 1 / (4 / 3) = 2, f2 = 1 + 0.5 + (1 / (2 / 1)) / 2 = 1.75.
        {"7 originals 4 up: the tie-break counts whole and half sheets", 7, 4, kBlackPlus1, kBlackPlus1, false, 28, 14,
         8, 8, 8, true, true, true, 6},
        {"one side only, 3 originals", 3, 2, kBlackPlus1, 0, false, 6, 0, 4, 0, 0, false, true, false, 5},
        {"one side only, 1 original: nothing to choose", 1, 2, kBlackPlus1, 0, false, 2, 0, 0, 0, 0, false, false,
         false, 1},
        {"pads count one original whatever the sheets", 9, 2, kBlack, kBlack, true, 2, 1, 0, 2, 1, true, false, false,
         2},
        {"black front, black+1 back share the black plate", 2, 2, kBlackPlus1, kBlack, false, 6, 4, 3, 4, 4, true, true,
         false, 5},
        // Counted in 64 bits: the largest count of plates, and four times
        // the largest count (once wrapped below 0).
        {"250,000,000 originals 2 up, black+1 both sides", 250000000, 2, kBlackPlus1, kBlackPlus1, false, 1000000000,
         500000000, 500000000, 500000000, 500000000, true, true, false, 5},
        {"1,000,000,000 originals 2 up, black+1 both sides", 1000000000, 2, kBlackPlus1, kBlackPlus1, false,
         4000000000LL, 2000000000, 2000000000, 2000000000, 2000000000, true, true, false, 5},
    };
    for (const PlateCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto counts = CItemSpecsData::CountPlates(c.S, c.U, c.front, c.back, c.pads);
        EXPECT_EQ(counts.regular, c.regular);
        EXPECT_EQ(counts.turnPossible, c.turnOk);
        EXPECT_EQ(counts.sigPossible, c.sigOk);
        EXPECT_EQ(counts.workSigPossible, c.workSigOk);
        if (c.turnOk)
            EXPECT_EQ(counts.turn, c.turn);
        if (c.sigOk)
            EXPECT_EQ(counts.sig, c.sig);
        if (c.regular >= 2 && c.U >= 2 && c.back != 0) {
            EXPECT_EQ(counts.a1, c.a1);
            EXPECT_EQ(counts.b, c.b);
        }
        EXPECT_EQ(CItemSpecsData::ProposeStyle(counts, 0), c.proposedFromNone);
    }
}

TEST_F(ItemSpecsRules, ChoiceOffersEveryStyleThatApplies)
{
    CItemSpecsData data(&m_item);
    m_pick = 6;
    quint8 style = 0;
    EXPECT_EQ(data.ChoosePrintStyle(3, 2, kBlackPlus1, kBlackPlus1, style), 6);
    EXPECT_EQ(style, 6);
    ASSERT_TRUE(m_choice);
    EXPECT_EQ(m_choice->stripText, QStringLiteral("How would you like to print?"));
    EXPECT_EQ(m_choice->groups.at(0).heading, QStringLiteral("Print as:"));
    EXPECT_EQ(m_choice->selectCode, 6);
    EXPECT_EQ(choiceTexts(), (QStringList{"Regular: 12 Plates", "Work & Turn: 6 Plates", "Work & Tumble: 6 Plates",
                                          "Work & Whirl: 6 Plates", "Signature: 8 Plates",
                                          "Work & Signature: 6 Plates"}));

    // The stored style is what was proposed: no dialog again.
    m_choice.reset();
    EXPECT_EQ(data.ChoosePrintStyle(3, 2, kBlackPlus1, kBlackPlus1, style), 6);
    EXPECT_FALSE(m_choice);

    // A plain OK takes the proposed style, the one entry shown checked.
    m_pick = kPlainOk;
    style = 0;
    EXPECT_EQ(data.ChoosePrintStyle(3, 2, kBlackPlus1, kBlackPlus1, style), 6);
    EXPECT_EQ(style, 6);
    int checked = 0;
    for (const auto &entry : m_choice->groups.at(0).entries)
        checked += entry.checked ? entry.code : 0;
    EXPECT_EQ(checked, 6);

    // Cancel keeps the proposed style.
    m_pick.reset();
    style = 0;
    EXPECT_EQ(data.ChoosePrintStyle(4, 2, kBlackPlus1, kBlackPlus1, style), 8);
    EXPECT_EQ(style, 5);
    EXPECT_EQ(choiceTexts(), (QStringList{"Regular: 16 Plates", "Work & Turn: 8 Plates", "Work & Tumble: 8 Plates",
                                          "Work & Whirl: 8 Plates", "Signature: 8 Plates"}));
}

TEST_F(ItemSpecsRules, RegularStyleAndSingleOriginalNeverAsk)
{
    CItemSpecsData data(&m_item);
    m_pick = 2;
    quint8 style = 1;
    EXPECT_EQ(data.ChoosePrintStyle(3, 2, kBlackPlus1, kBlackPlus1, style), 12);
    EXPECT_EQ(style, 1);
    style = 3;
    EXPECT_EQ(data.ChoosePrintStyle(1, 2, kBlackPlus1, 0, style), 2);
    EXPECT_EQ(style, 3) << "nothing but regular is possible: the style stays";
    EXPECT_EQ(data.ChoosePrintStyle(1, 1, kBlackPlus1, 0, style), 2);
    EXPECT_EQ(style, 0) << "one up on fewer than 2 papers: the style is cleared";
    EXPECT_FALSE(m_choice);
    EXPECT_TRUE(prompts().shown().isEmpty());

    // A pad counts one original: 2 plates, 1 after work and turn.
    data.m_nUnit = 7;
    style = 0;
    m_pick = 1;
    EXPECT_EQ(data.ChoosePrintStyle(40, 2, kBlack, kBlack, style), 2);
    EXPECT_EQ(choiceTexts(), (QStringList{"Regular: 2 Plates", "Work & Turn: 1 Plate", "Work & Tumble: 1 Plate",
                                          "Work & Whirl: 1 Plate"}));
}

TEST_F(ItemSpecsRules, WorkAndTurnOnAnOddNumberUpAsksFirst)
{
    CItemSpecsData data(&m_item);
    const QString question = QStringLiteral("How would you like to print?\n\nAre you sure you want to print Work and Turn?");
    for (const int answer : {int(IDYES), int(IDNO)}) {
        SCOPED_TRACE(answer);
        m_pick = 2;
        quint8 style = 0;
        prompts().clear();
        prompts().answer(answer);
        const int plates = data.ChoosePrintStyle(3, 3, kBlackPlus1, kBlackPlus1, style);
        EXPECT_EQ(prompts().lastText(), question);
        EXPECT_EQ(plates, answer == IDYES ? 6 : 12);
        EXPECT_EQ(style, answer == IDYES ? 2 : 1);
    }
}

TEST_F(ItemSpecsRules, PlatesCheckedAgainstThePress)
{
    addPressAndPlates();
    const QString tooMany = QStringLiteral(
        "Too many plates are assigned.\n\n - Plates Assigned: \t3    (0 Default + 3 Special)\n - Plates Needed: "
        "\t2\n\nDo you want to change them manually?\n\n - Click Yes to change\n - Click No to accept as shown");
    const QString notEnough = QStringLiteral(
        "Not enough plates are assigned.\n\n - Plates Assigned: \t1    (0 Default + 1 Special)\n - Plates Needed: "
        "\t2\n\nDo you want to add more plates manually?\n\n - Click Yes to add\n - Click No to use 1 Default and 1 "
        "Special");
    const QString pastLargest = QStringLiteral("The Plates Needed would be 1,000,000,002, more than 1,000,000,000, the "
                                               "largest count the program holds.");
    struct Case
    {
        const char *name;
        qint32 special;
        int answer;
        QString text;
        bool passes;
        qint32 defaults; // default plate quantity afterwards, -1 none
        qint32 sheets = 1; // originals of the paper
        qint32 data1 = 2;  // plates recorded on the paper
    };
    const Case cases[] = {
        {"only default plates follow the plates needed", 0, 0, QString(), true, 2},
        {"too many, change them", 3, IDYES, tooMany, false, -1},
        {"too many, accept", 3, IDNO, tooMany, true, -1},
        {"not enough, add by hand", 1, IDYES, notEnough, false, -1},
        {"not enough, use the default for the rest", 1, IDNO, notEnough, true, 1},
        // Two plates an original: the largest count of plates is taken, one
        // past it refused by name (the plates needed were once taken as
        // 1,000,000,002 and the sum wrapped further on).
        {"the largest count of plates", 0, 0, QString(), true, 1000000000, 500000000, 1000000000},
        {"one original more", 0, IDOK, pastLargest, false, -1, 500000001, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompts().clear();
        CItemSpecsData data(&m_item);
        const qint32 paper = data.AddService(110, false);
        data.Row(paper)->m_Side2 = kBlack; // black both sides, 1 up: 2 plates
        data.Row(paper)->m_Sheets = c.sheets;
        data.AddService(200, false);
        if (c.special)
            data.SetServiceQuantity(51, c.special, false);
        if (c.answer)
            prompts().answer(c.answer);
        EXPECT_EQ(data.CheckPlates(), c.passes);
        EXPECT_EQ(prompts().lastText(), c.text);
        EXPECT_EQ(data.Row(paper)->m_Data1, c.data1);
        const qint32 plateRow = data.FindRowOfService(50);
        EXPECT_EQ(plateRow ? data.Row(plateRow)->m_Out : -1, c.defaults);
    }
}

TEST_F(ItemSpecsRules, ABookletsPaperTakesTheFlatSizeAsFinishSize)
{
    addPressAndPlates(1);
    CItemSpecsData data(&m_item);
    data.m_strFlatSize = QStringLiteral("11 x 17");
    const qint32 paper = data.AddService(110, false);
    EXPECT_EQ(data.Row(paper)->m_strFinishSize, QStringLiteral("11 x 17"));
    CItemSpecsData plain(&m_item);
    const qint32 other = plain.AddService(110, false);
    EXPECT_EQ(plain.Row(other)->m_strFinishSize, plain.Row(other)->m_strPaperSize);
}

TEST_F(ItemSpecsRules, PressWithoutPrintedSidesOrWithSeveralPapersStops)
{
    addPressAndPlates(1);
    CItemSpecsData data(&m_item);
    const qint32 paper = data.AddService(110, false);
    data.Row(paper)->m_Side1 = 0;
    data.AddService(200, false);
    prompts().answer(IDOK);
    EXPECT_FALSE(data.CheckPlates());
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("This Item has a press but no printed sides.\n\nPlease fix Paper Specs / Sides."));

    data.DuplicateService(paper);
    prompts().answer(IDNO);
    EXPECT_FALSE(data.CheckPlates());
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("This Item has more than one paper.\n\nIf the production properties of these papers "
                             "differ, \npress time may not be accurate.\n\nDo you want to keep all papers?"));
}

TEST_F(ItemSpecsRules, WashUpsAndInkMixesFromThePapers)
{
    struct Case
    {
        const char *name;
        quint8 front, back;
        const char *inks;
        int wash, mix;
    };
    const Case cases[] = {
        {"black both sides needs no wash-up", kBlack, kBlack, "", 0, 0},
        {"two colours besides black", kBlackPlus2, kBlack, "", 2, 0},
        {"two numbered inks", kBlackPlus2, kBlack, "PMS 185, PMS 286", 2, 2},
        {"a marked ink is not mixed", kBlackPlus2, kBlack, "PMS 185_, PMS 286", 2, 1},
        {"mixes never exceed wash-ups", kBlackPlus1, 0, "PMS 185 / 286 / 032", 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        addService(110, 101, QStringLiteral("Bond"));
        CItemSpecsData data(&m_item);
        const qint32 paper = data.AddService(110, false);
        CItemSet *row = data.Row(paper);
        row->m_Side1 = c.front;
        row->m_Side2 = c.back;
        row->m_strFrontInks = QString::fromUtf8(c.inks);
        quint8 wash = 9;
        quint8 mix = 9;
        data.CountWashMix(wash, mix);
        EXPECT_EQ(wash, c.wash);
        EXPECT_EQ(mix, c.mix);
        exec(QStringLiteral("DELETE FROM Services WHERE SerNo = 110"));
    }
    EXPECT_EQ(CItemSpecsData::CountInkMixes(QStringLiteral("1_2 3")), 1) << "a mark counts up to the next ink";
    EXPECT_EQ(CItemSpecsData::CountInkMixes(QStringLiteral("Black")), 0);
}

TEST_F(ItemSpecsRules, TwoPapersWithOneColouredSideEachWashTwice)
{
    addService(110, 101, QStringLiteral("Bond"));
    addService(200, 201, QStringLiteral("Press"));
    CItemSpecsData data(&m_item);
    for (int i = 0; i < 2; ++i) {
        const qint32 paper = data.AddService(110, false);
        data.Row(paper)->m_Side1 = kBlackPlus1;
        data.Row(paper)->m_Side2 = 0;
    }
    quint8 wash = 0;
    quint8 mix = 0;
    data.CountWashMix(wash, mix);
    EXPECT_EQ(wash, 2);

    // The press added after the papers counts them; a changed count is offered.
    const qint32 press = data.AddService(200, false);
    EXPECT_EQ(data.Row(press)->m_Wash, 2);
    data.Row(data.Order().front())->m_Side1 = kBlack;
    prompts().answer(IDYES);
    data.OnInksChanged();
    EXPECT_EQ(prompts().lastText(), QStringLiteral("You have changed ink colors. Now the press needs:\n\t1 wash   (was "
                                                   "2)\n\nDo you want to apply the changes to the press?"));
    EXPECT_EQ(data.Row(press)->m_Wash, 1);
    prompts().clear();
    data.OnInksChanged();
    EXPECT_TRUE(prompts().shown().isEmpty()) << "unchanged counts ask nothing";
}

TEST_F(ItemSpecsRules, QuantityBreaksKeptInTheNote)
{
    struct Case
    {
        const char *note;
        const char *typed;
        qint32 quantity;
        const char *expected;
        bool refused = false;
    };
    const Case cases[] = {
        {"", "250 1000 word 2500", 500, "{1000 2500}"},
        {"Rush", "1000  2500", 500, "Rush\n{1000 2500}"},
        {"Rush\n{1000 2500}", "", 500, "Rush"},
        {"Rush\n{1000 2500}", "5000", 500, "Rush\n{5000}"},
        // Each read whole, as every count is, up to the largest count.
        {"", "123456789 99", 10, "{123456789 99}"},
        {"", "5000 123456789 999999999 1000000000", 1000, "{5000 123456789 999999999 1000000000}"},
        {"", "1,000 2,500", 500, "{1000 2500}"},
        {"", "-5 1e3", 500, "{1000}"},
        {"", "100 200", 500, ""},
        // One past the largest count is refused: the note stays as it was.
        {"Rush\n{1000}", "5000 1000000001", 1000, "Rush\n{1000}", true},
        {"", "99999999999", 1000, "", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        QString refusal;
        EXPECT_EQ(CItemSpecsData::ApplyQuantityBreaks(QString::fromUtf8(c.note), QString::fromUtf8(c.typed),
                                                      c.quantity, &refusal),
                  QString::fromUtf8(c.expected));
        EXPECT_EQ(refusal, c.refused ? QStringLiteral("\"Quantity Breaks\" cannot be more than 1,000,000,000, the "
                                                 "largest count it holds.")
                                : QString());
    }
    EXPECT_EQ(CItemSpecsData::QuantityBreaks(QStringLiteral("Rush\n{1000 2500}")), QStringLiteral("1000 2500"));
    EXPECT_EQ(CItemSpecsData::QuantityBreaks(QStringLiteral("Rush")), QString());
}

TEST_F(ItemSpecsRules, AddingFollowsChainsAndReplacesThePrinter)
{
    addService(50, 6, QStringLiteral("Plate"));
    addService(200, 201, QStringLiteral("Press"), {{"DefPlate", QStringLiteral("50")}});
    addService(300, 301, QStringLiteral("Digital"));
    addService(110, 101, QStringLiteral("Bond"));
    addService(120, 105, QStringLiteral("NCR 2 part"));
    addService(400, 401, QStringLiteral("Fold"), {{"AutoAdd", QStringLiteral("401")}});
    addService(401, 401, QStringLiteral("Score"), {{"AutoAdd", QStringLiteral("402")}});
    addService(402, 401, QStringLiteral("Trim"), {{"AutoAdd", QStringLiteral("400")}});
    CItemSpecsData data(&m_item);
    QList<QPair<qint32, bool>> followed;
    data.hooks().pickerFollow = [&](qint32 serNo, bool added) { followed.append({serNo, added}); };

    data.AddService(400, false);
    EXPECT_EQ(data.ServiceRowCount(), 3) << "the chain stops at a service already present";
    EXPECT_NE(data.FindRowOfService(402), 0);

    data.AddService(120, false);
    const qint32 padding = data.FindRowOfService(193);
    ASSERT_NE(padding, 0);
    EXPECT_EQ(data.Row(padding)->m_Out, 1);

    const qint32 press = data.AddService(200, false);
    data.Row(press)->m_Wash = 3;
    data.SetServiceQuantity(50, 4, false);
    prompts().clear();
    prompts().answer(IDOK);
    const qint32 digital = data.AddService(300, false);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("You've changed printer type to DIGITAL.\n\nPlease check paper specs."));
    EXPECT_EQ(data.m_nPressId, digital);
    EXPECT_EQ(data.Row(digital)->m_Wash, 3) << "wash and mix are taken over";
    EXPECT_EQ(data.FindRowOfService(50), 0) << "plates go with the press";
    EXPECT_EQ(data.FindRowOfService(200), 0);
    EXPECT_TRUE(followed.contains(qMakePair(qint32(200), false)));
    EXPECT_TRUE(followed.contains(qMakePair(qint32(402), true)));
    EXPECT_LT(digital, -1000);
}

} // namespace

namespace {

TEST_F(ItemSpecsRules, PrintStyleChoicePicture)
{
    // The choice as the program's choices dialog shows it.
    SetChoiceRunner([this](CZqApp::ChoiceDialog &choices) {
        CDlgOptions dialog(choices.ribbonTitle, choices.stripText, choices.mode, nullptr);
        for (const CZqApp::ChoiceGroup &group : choices.groups) {
            dialog.AddRadioGroup(group.heading, group.groupValue);
            for (const CZqApp::ChoiceEntry &entry : group.entries)
                dialog.AddEntry(entry.code, entry.text, entry.checked ? 1 : 0);
        }
        dialog.m_nSelect = {choices.selectCode, 0, 0};
        prompts().onDialog([](QDialog &d) {
            QApplication::processEvents();
            const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
            QDir().mkpath(folder);
            EXPECT_TRUE(d.grab().save(folder + QStringLiteral("/print-style.png"), "PNG"));
            static_cast<CDlg0 &>(d).SendCommand(2);
            return d.result();
        });
        return dialog.DoModal();
    });
    CItemSpecsData data(&m_item);
    quint8 style = 0;
    EXPECT_EQ(data.ChoosePrintStyle(3, 2, kBlackPlus1, kBlackPlus1, style), 6) << "Cancel keeps the proposed style";
    EXPECT_EQ(style, 6);
}

} // namespace

namespace {

TEST_F(ItemSpecsRules, ChecksBeforeTheSaveInTheirOrder)
{
    addService(110, 101, QStringLiteral("Bond"), {{"Size", QStringLiteral("'8.5 x 11'")}});
    addService(200, 201, QStringLiteral("Press"));
    QList<int> posted;
    auto fresh = [&](bool paper, bool press) {
        auto data = std::make_unique<CItemSpecsData>(&m_item);
        data->Load();
        data->hooks().postCommand = [&posted](int id) { posted << id; };
        data->m_strDescription = QStringLiteral("Flyer");
        data->m_nQuantity = 100;
        if (paper)
            data->AddService(110, false);
        if (press)
            data->AddService(200, false);
        posted.clear();
        prompts().clear();
        return data;
    };

    // The product type is asked for on quotes only while the shop's option says so.
    setOption(44308 + 1, 1);
    auto data = fresh(true, true);
    prompts().answer(IDOK);
    EXPECT_FALSE(data->ValidateItem());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select a Product Type."));
    EXPECT_EQ(posted, QList<int>{30380});
    data->m_nProductType = 3;
    EXPECT_TRUE(data->ValidateItem());
    setOption(44308 + 1, 0);

    data = fresh(false, true);
    prompts().answer(IDOK);
    EXPECT_FALSE(data->ValidateItem());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select a paper."));
    EXPECT_EQ(posted, QList<int>{30386});

    // Paper without a printer: a question while item 8 of the item options is "1".
    data = fresh(true, false);
    prompts().answer(IDYES);
    EXPECT_FALSE(data->ValidateItem());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("No printer is assigned. Do you want to add?"));
    EXPECT_EQ(posted, QList<int>{30387});
    data = fresh(true, false);
    prompts().answer(IDNO);
    EXPECT_TRUE(data->ValidateItem());
    EXPECT_TRUE(posted.isEmpty()) << "No goes on without the printer picker";
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 251, '1,1,1,1,1,1,1,1,0,')"));
    data = fresh(true, false);
    EXPECT_TRUE(data->ValidateItem());
    EXPECT_TRUE(prompts().shown().isEmpty());

    data = fresh(true, true);
    data->m_nQuantity = 0;
    std::optional<int> edited;
    data->hooks().editItemRow = [&edited](int row) { edited = row; };
    prompts().answer(IDOK);
    EXPECT_FALSE(data->ValidateItem());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter the Item Quantity."));
    EXPECT_EQ(edited, 1);
}

TEST_F(ItemSpecsRules, RunSizeAgainstThePressLimits)
{
    addService(110, 101, QStringLiteral("Bond"));
    addService(200, 201, QStringLiteral("Press"));
    addDiffTable(200, {{"JobR1C0", QStringLiteral("100")}, {"JobR4C0", QStringLiteral("800")}});
    const QString question = QStringLiteral("Paper Run Size may be too %1 for this press.\nDo you want to change the "
                                            "size or select another press?");
    struct Case
    {
        const char *runSize;
        const char *word;
    };
    for (const Case &c : {Case{"8.5 x 11", "small"}, Case{"23 x 35", "large"}, Case{"10 x 10", nullptr},
                          Case{"20 x 40", nullptr}, Case{"0 x 0", nullptr}, Case{"", nullptr}}) {
        SCOPED_TRACE(c.runSize);
        prompts().clear();
        CItemSpecsData data(&m_item);
        const qint32 paper = data.AddService(110, false);
        data.AddService(200, false);
        data.Row(paper)->m_strRunSize = QString::fromLatin1(c.runSize);
        if (c.word) {
            prompts().answer(IDNO);
            EXPECT_TRUE(data.CheckRunSize()) << "No passes";
            EXPECT_EQ(prompts().lastText(), question.arg(QString::fromLatin1(c.word)));
            prompts().answer(IDYES);
            EXPECT_FALSE(data.CheckRunSize()) << "Yes stops the save";
        } else {
            EXPECT_TRUE(data.CheckRunSize());
            EXPECT_TRUE(prompts().shown().isEmpty());
        }
    }
}

TEST_F(ItemSpecsRules, RemovingThePaperOrPressTakesWhatBelongsToIt)
{
    addService(110, 101, QStringLiteral("Bond"));
    addService(50, 6, QStringLiteral("Plate"));
    addService(200, 201, QStringLiteral("Press"), {{"DefPlate", QStringLiteral("50")}});
    CItemSpecsData data(&m_item);
    const qint32 paper = data.AddService(110, false);
    data.SetServiceQuantity(CItemSpecsData::kCutToRunSize, 2, true);
    data.SetServiceQuantity(CItemSpecsData::kCutToFinishSize, 0, true);
    EXPECT_NE(data.FindRowOfService(174), 0);
    EXPECT_EQ(data.FindRowOfService(175), 0) << "a cut count of 0 removes the cutting service";
    const qint32 press = data.AddService(200, false);
    data.SetServiceQuantity(50, 2, false);

    data.RemoveService(press);
    EXPECT_EQ(data.m_nPressId, 0);
    EXPECT_EQ(data.FindRowOfService(50), 0) << "plates go with the press";
    data.RemoveService(paper);
    EXPECT_EQ(data.FindRowOfService(174), 0) << "the cutting services go with the last paper";
    EXPECT_EQ(data.ServiceRowCount(), 0);
    EXPECT_EQ(data.m_nChanged[6], 4);
}

} // namespace
