#include "DialogsFixture.h"

#include "app/base/TypedValue.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "data/CXDaoSet.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "views/CDlgData.h"
#include "views/CNoteDlg.h"
#include "controls/CXRibbon.h"

#include <QtGui/QFontMetrics>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

namespace {

// A small dialog with two edits, a multi-line edit, a list, OK and Cancel.
class SampleDialog : public CDlg0
{
public:
    SampleDialog() : CDlg0(9000, nullptr)
    {
        resize(400, 360);
        AddPlaceholder(1901, QRect(0, 0, 400, 40));
        AddPlaceholder(1902, QRect(0, 40, 400, 24));
        first = AddEdit(1301, QRect(10, 70, 200, 24));
        second = AddEdit(1302, QRect(10, 100, 200, 24));
        notes = AddMultiLineEdit(1303, QRect(10, 130, 200, 60));
        list = new CXListCtrl(this);
        list->setGeometry(10, 200, 300, 100);
        SetDlgCtrlID(list, 1401);
        AddButton(1, QStringLiteral("OK"), QRect(180, 320, 100, 30));
        AddButton(2, QStringLiteral("Cancel"), QRect(290, 320, 100, 30));
        AddSizeMarker(QPoint(400, 360));
    }
    bool OnInitDialog() override
    {
        CDlg0::OnInitDialog();
        InitRibbons(6, 1, 2, 14);
        return true;
    }
    QLineEdit *first;
    QLineEdit *second;
    QPlainTextEdit *notes;
    CXListCtrl *list;
};

void typeEnter(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

} // namespace

TEST_F(DialogsTest, EnterMovesOnAcceleratorsFollowTheModeAndHelpShowsOnlyWithText)
{
    SampleDialog dlg;
    dlg.m_strWindowTitle = QStringLiteral("Sample");
    dlg.m_strRibbonTitle = QStringLiteral("Sample Ribbon");
    onDialog<SampleDialog>([this](SampleDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Sample"));
        // No help text: no "Brief Help" button.
        EXPECT_LT(d.topRibbon().FindItem(30418), 0);
        EXPECT_GE(d.topRibbon().FindItem(30330), 0);

        d.activateWindow();
        d.first->setFocus();
        QApplication::processEvents();
        typeEnter(d.first);
        EXPECT_EQ(d.focusWidget(), d.second);
        EXPECT_FALSE(d.isHidden()); // Enter did not close it

        d.notes->setFocus();
        QTest::keyClicks(d.notes, QStringLiteral("a"));
        typeEnter(d.notes);
        QTest::keyClicks(d.notes, QStringLiteral("b"));
        EXPECT_EQ(d.notes->toPlainText(), QStringLiteral("a\nb"));

        QSignalSpy chosen(d.list, &QAbstractItemView::activated);
        d.list->setFocus();
        typeEnter(d.list);
        EXPECT_EQ(chosen.count(), 1);

        // F7 prints: with mode 1 the dialog says so, with mode 0 nothing happens.
        d.first->setFocus();
        QTest::keyClick(d.first, Qt::Key_F7);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Printing a window is not yet available in this version."));
        prompts().clear();
        d.m_nAccelMode = 0;
        QTest::keyClick(d.first, Qt::Key_F7);
        EXPECT_TRUE(prompts().texts().isEmpty());

        // F1 without help text opens no empty help window.
        d.m_nAccelMode = 1;
        int helpWindows = 0;
        onDialog<QDialog>([&helpWindows](QDialog &help) {
            ++helpWindows;
            return int(help.result());
        });
        QTest::keyClick(d.first, Qt::Key_F1);
        EXPECT_EQ(helpWindows, 0);

        // Enter on OK presses it.
        auto *ok = qobject_cast<QPushButton *>(GetDlgItem(&d, 1));
        ok->setFocus();
        typeEnter(ok);
        return d.result();
    });
    prompts().answer(1);
    EXPECT_EQ(dlg.DoModal(), 1);
}

TEST_F(DialogsTest, ControlsByIdTolerateMissingOnesAndSizeDeltasFollowTheMarker)
{
    SampleDialog dlg;
    dlg.first->setText(QStringLiteral("12,345"));
    dlg.second->setText(QStringLiteral("  -12 kg"));
    EXPECT_EQ(dlg.GetItemInt(1301), 12345);
    EXPECT_EQ(dlg.GetItemInt(1302), -12);
    EXPECT_EQ(dlg.GetItemInt(4242), 0);
    // Read whole, a quantity is never cut at its exponent: "1e3" is 1000, not 1.
    dlg.first->setText(QStringLiteral("1e3"));
    EXPECT_EQ(dlg.GetItemInt(1301), 1000);
    int whole = 7;
    EXPECT_TRUE(dlg.ReadItemWhole(1301, whole));
    EXPECT_EQ(whole, 1000);
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(dlg.ReadItemWhole(1302, whole)); // "-12 kg" is refused, not read as -12
    EXPECT_EQ(whole, 1000);
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().first().endsWith(QStringLiteral("Please enter an integer.")));
    prompts().clear();
    // Typed over 40 and read on OK without leaving the field: a text refused
    // puts back the 40 shown before this typing, never stays as typed.
    AttachTypedReading(dlg.second, ValueKind::Whole);
    const struct
    {
        ValueKind kind;
        const char *typed;
        bool read;
        int out;
        const char *shown;
        const char *refusal;
    } typedRows[] = {
        {ValueKind::Whole, "12 k", false, 1000, "40", "Please enter an integer."},
        {ValueKind::Whole, "abc", false, 1000, "40", "Please enter an integer."},
        {ValueKind::Quantity, "-5", false, 1000, "40", "Please enter a quantity."},
        {ValueKind::Quantity, "2.5", false, 1000, "40", "Please enter a quantity."},
        {ValueKind::Whole, "-5", true, -5, "-5", nullptr},
        {ValueKind::Quantity, "1,250", true, 1250, "1,250", nullptr},
    };
    for (const auto &r : typedRows) {
        dlg.second->setText(QStringLiteral("40"));
        dlg.second->selectAll();
        QTest::keyClicks(dlg.second, QString::fromLatin1(r.typed));
        ASSERT_EQ(dlg.second->text(), QString::fromLatin1(r.typed)) << "shown while typed";
        whole = 1000;
        if (r.refusal)
            prompts().answer(platform::IDOK);
        EXPECT_EQ(dlg.ReadItemWhole(1302, whole, r.kind), r.read) << r.typed;
        EXPECT_EQ(whole, r.out) << r.typed;
        EXPECT_EQ(dlg.second->text(), QString::fromLatin1(r.shown)) << r.typed;
        EXPECT_EQ(prompts().texts().size(), r.refusal ? 1 : 0) << r.typed;
        if (r.refusal && !prompts().texts().isEmpty())
            EXPECT_TRUE(prompts().texts().first().endsWith(QString::fromLatin1(r.refusal))) << r.typed;
        prompts().clear();
    }
    EXPECT_EQ(dlg.GetItemText(4242), QString());
    EXPECT_FALSE(dlg.FocusItem(0));
    EXPECT_FALSE(dlg.FocusItem(4242));
    dlg.SetItemText(4242, QStringLiteral("x"));
    dlg.EnableItem(4242, false);

    EXPECT_FALSE(dlg.CalcSizeDelta(CDlg0::SIZE_RESTORED, 0, 0));
    EXPECT_FALSE(dlg.CalcSizeDelta(CDlg0::SIZE_MINIMIZED, 500, 500));
    EXPECT_EQ(dlg.widthDelta(), 0);
    EXPECT_TRUE(dlg.CalcSizeDelta(CDlg0::SIZE_RESTORED, 450, 380));
    EXPECT_EQ(dlg.widthDelta(), 50);
    EXPECT_EQ(dlg.heightDelta(), 20);
    // A second resize measures from where the marker now is.
    EXPECT_TRUE(dlg.CalcSizeDelta(CDlg0::SIZE_RESTORED, 440, 380));
    EXPECT_EQ(dlg.widthDelta(), -10);
    EXPECT_EQ(dlg.heightDelta(), 0);

    // A cue that fits is shown whole; one wider than its edit keeps its end
    // ("... starts with") and is the edit's tip whole, until a cue that fits.
    dlg.SetItemCueBanner(1301, QStringLiteral("Job Title starts with"));
    EXPECT_EQ(dlg.first->placeholderText(), QStringLiteral("Job Title starts with"));
    EXPECT_EQ(dlg.first->toolTip(), QString());
    const QString longCue = QStringLiteral("Buyer's Phone Number of the Ship To Address starts with");
    dlg.SetItemCueBanner(1301, longCue);
    EXPECT_TRUE(dlg.first->placeholderText().endsWith(QStringLiteral("starts with")))
        << dlg.first->placeholderText().toStdString();
    EXPECT_TRUE(dlg.first->placeholderText().startsWith(QChar(0x2026))) << dlg.first->placeholderText().toStdString();
    EXPECT_LE(QFontMetrics(dlg.first->font()).horizontalAdvance(dlg.first->placeholderText()), 200);
    EXPECT_EQ(dlg.first->toolTip(), longCue);
    dlg.SetItemCueBanner(1301, QStringLiteral("< contains >"));
    EXPECT_EQ(dlg.first->placeholderText(), QStringLiteral("< contains >"));
    EXPECT_EQ(dlg.first->toolTip(), QString());

    dlg.MakeCloseOnly();
    EXPECT_FALSE(dlg.IsItemVisible(1));
    EXPECT_EQ(dlg.GetItemText(2), QStringLiteral("Close"));
}

TEST_F(DialogsTest, PrintAndExportOfAListSayTheyAreNotYetAvailableOnlyWithRows)
{
    SampleDialog dlg;
    dlg.m_pList = dlg.list;
    dlg.SendCommand(30330);
    dlg.SendCommand(30123);
    EXPECT_TRUE(prompts().texts().isEmpty()); // an empty list prints and exports nothing
    dlg.list->AddColumn(QStringLiteral("Name"), 100, 10, true);
    dlg.list->InsertRow(0, QStringLiteral("Anna"), 1);
    prompts().answer(1);
    prompts().answer(1);
    dlg.SendCommand(30330);
    dlg.SendCommand(30123);
    EXPECT_EQ(prompts().texts(), QStringList({QStringLiteral("Printing a list is not yet available in this version."),
                                              QStringLiteral("Exporting a list is not yet available in this version.")}));
}

// A window whose set-up shows it early (as the job window does, to put its
// first questions over itself) is still modal while it runs: the windows
// behind it take no clicks and keys.
TEST_F(DialogsTest, AWindowShownByItsSetUpIsModalWhileItRuns)
{
    class EarlyShown : public SampleDialog
    {
    public:
        bool OnInitDialog() override
        {
            SampleDialog::OnInitDialog();
            show();
            return true;
        }
    };
    EarlyShown dlg;
    bool modal = false;
    onDialog<EarlyShown>([&modal](EarlyShown &d) {
        modal = QApplication::activeModalWidget() == &d;
        return press(d, 2);
    });
    dlg.DoModal();
    EXPECT_TRUE(modal);
}

// A window opened from one whose set-up never showed it (a list that goes
// straight into a new record) is centred over the shown window behind both,
// not over where the unshown one would have been.
TEST_F(DialogsTest, AWindowOverAnOwnerNeverShownIsCentredOverTheShownOne)
{
    class Owned : public CDlg0
    {
    public:
        explicit Owned(QWidget *owner) : CDlg0(9001, owner) { resize(200, 150); }
    };
    QWidget main;
    main.setGeometry(400, 300, 300, 200);
    main.show();
    QDialog list(&main); // never shown
    Owned dlg(&list);
    QPoint shownAt;
    onDialog<Owned>([&shownAt](Owned &d) {
        shownAt = d.frameGeometry().topLeft();
        return press(d, 2);
    });
    dlg.DoModal();
    // Centre (550, 400) less half of 200 x 150.
    EXPECT_EQ(shownAt, QPoint(450, 325));
}

TEST_F(DialogsTest, ALongNoteTitleIsShownWhole)
{
    CNoteDlg dlg(QStringLiteral("Execute SQL Statement"), QStringLiteral("SQL"), QString(), CNoteDlg::EditNote,
                 nullptr);
    onDialog<CNoteDlg>([](CNoteDlg &n) {
        CXRibbon *bar = nullptr;
        for (CXRibbon *r : n.findChildren<CXRibbon *>())
            if (r->FindItem(30281) >= 0 && r->GetItemText(30281) == QStringLiteral("Execute SQL Statement"))
                bar = r;
        EXPECT_NE(bar, nullptr);
        if (bar)
            EXPECT_GE(bar->itemRect(30281).width(),
                      bar->MeasureText(QStringLiteral("Execute SQL Statement"), 4) + 6);
        return press(n, 2);
    });
    dlg.DoModal();
}

TEST_F(DialogsTest, TableNoteIsWrittenOnlyOnOkAndFoundAgainUnderALongName)
{
    const QString longName = QStringLiteral("Service Price Tables Window");
    SampleDialog dlg;
    auto count = [] {
        CXDaoSet s;
        s.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Count(*) FROM TableNotes"));
        return s.GetLong(0);
    };
    onDialog<CNoteDlg>([](CNoteDlg &n) {
        n.edit()->setPlainText(QStringLiteral("never saved"));
        return press(n, 2);
    });
    dlg.ShowTableNote(longName);
    EXPECT_EQ(count(), 0);

    onDialog<CNoteDlg>([&](CNoteDlg &n) {
        EXPECT_EQ(n.m_nMode, 1);
        EXPECT_EQ(n.edit()->toPlainText(), QString());
        n.edit()->setPlainText(QStringLiteral("Line one\nLine two"));
        return press(n, 1);
    });
    dlg.ShowTableNote(longName);
    EXPECT_EQ(count(), 1);

    onDialog<CNoteDlg>([](CNoteDlg &n) {
        EXPECT_EQ(n.edit()->toPlainText(), QStringLiteral("Line one\nLine two"));
        n.edit()->appendPlainText(QStringLiteral("Line three"));
        return press(n, 1);
    });
    dlg.ShowTableNote(longName);
    CXDaoSet s;
    s.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Name, Note FROM TableNotes"));
    QString note;
    s.GetFieldText(1, note, false);
    EXPECT_EQ(note, QStringLiteral("Line one\r\nLine two\r\nLine three"));
    EXPECT_EQ(s.GetStringByName(QStringLiteral("Name")), longName.left(20));
    EXPECT_EQ(count(), 1);
}

// A window's note, open here while another workstation saves it: only a
// changed note is written, onto the note as it is now; a note both changed is
// asked about by its name; a first note another workstation added meanwhile
// is edited, never added twice.
TEST_F(DialogsTest, ATableNoteSavedMeanwhileElsewhereIsKeptOrAskedAbout)
{
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what "
        "you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either "
        "way. Cancel saves nothing now.");
    struct
    {
        const char *what;
        const char *before;  // the note when shown here; nullptr: none yet
        const char *other;   // the other workstation's statement while it is open
        const char *typed;   // what this user leaves in the note
        QList<int> answers;  // one per OK
        const char *stored;  // every note of the name afterwards
        const char *asked;   // the question's line
    } cases[] = {
        {"the other saved the same note", "Wipe", "UPDATE TableNotes SET Note = 'Wipe daily'", "Wipe daily", {},
         "Wipe daily", nullptr},
        {"left as shown: the other's note kept", "Wipe", "UPDATE TableNotes SET Note = 'Wipe daily'", "Wipe", {},
         "Wipe daily", nullptr},
        {"both changed it, Yes", "Wipe", "UPDATE TableNotes SET Note = 'Wipe daily'", "Oil weekly", {platform::IDYES},
         "Oil weekly", "Cutter: the other user's \"Wipe daily\", yours \"Oil weekly\""},
        {"both changed it, No", "Wipe", "UPDATE TableNotes SET Note = 'Wipe daily'", "Oil weekly", {platform::IDNO},
         "Wipe daily", "Cutter: the other user's \"Wipe daily\", yours \"Oil weekly\""},
        {"both changed it, Cancel, then Yes", "Wipe", "UPDATE TableNotes SET Note = 'Wipe daily'", "Oil weekly",
         {platform::IDCANCEL, platform::IDYES}, "Oil weekly",
         "Cutter: the other user's \"Wipe daily\", yours \"Oil weekly\""},
        {"both added a first note, No", nullptr, "INSERT INTO TableNotes (Name, Note) VALUES ('Cutter', 'Wipe daily')",
         "Oil weekly", {platform::IDNO}, "Wipe daily", "Cutter: the other user's \"Wipe daily\", yours \"Oil weekly\""},
        {"both added a first note, Yes", nullptr,
         "INSERT INTO TableNotes (Name, Note) VALUES ('Cutter', 'Wipe daily')", "Oil weekly", {platform::IDYES},
         "Oil weekly", "Cutter: the other user's \"Wipe daily\", yours \"Oil weekly\""},
    };
    platform::Database other;
    other.open(m_path);
    SampleDialog dlg;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM TableNotes"));
        if (c.before)
            exec(QStringLiteral("INSERT INTO TableNotes (Name, Note) VALUES ('Cutter', '%1')").arg(QLatin1String(c.before)));
        prompts().clear();
        for (int answer : c.answers)
            prompts().answer(answer);
        int shown = 0;
        const std::function<int(CNoteDlg &)> type = [&](CNoteDlg &n) {
            if (++shown == 1) {
                EXPECT_EQ(n.edit()->toPlainText(), QString::fromLatin1(c.before ? c.before : ""));
                other.execute(QString::fromLatin1(c.other));
                n.edit()->setPlainText(QString::fromLatin1(c.typed));
            } else {
                EXPECT_EQ(n.edit()->toPlainText(), QString::fromLatin1(c.typed)); // the typing kept
            }
            if (shown < c.answers.size())
                onDialog<CNoteDlg>(type);
            return press(n, 1);
        };
        onDialog<CNoteDlg>(type);
        dlg.ShowTableNote(QStringLiteral("Cutter"));
        EXPECT_EQ(shown, std::max(1, int(c.answers.size())));
        CXDaoSet notes;
        notes.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Note FROM TableNotes WHERE Name = 'Cutter'"));
        QStringList stored;
        for (; notes.IsOpen() && !notes.IsEOF(); notes.MoveNext()) {
            QString text;
            notes.GetFieldText(0, text, false);
            stored << text;
        }
        EXPECT_EQ(stored.join(QLatin1Char('|')), QString::fromLatin1(c.stored));
        QStringList expected;
        for (int i = 0; i < c.answers.size(); ++i)
            expected << question.arg(QString::fromLatin1(c.asked));
        EXPECT_EQ(prompts().texts(), expected);
    }
}

TEST_F(DialogsTest, DataEntryCutsToTheLengthMasksPasswordsAndCancelKeepsTheValue)
{
    CDlgData name(QStringLiteral("old"), 5, QStringLiteral("Name"), QStringLiteral("Type a name:"),
                  QStringLiteral("Names are short."), nullptr);
    onDialog<CDlgData>([](CDlgData &d) {
        EXPECT_EQ(d.edit()->text(), QStringLiteral("old"));
        EXPECT_EQ(d.edit()->echoMode(), QLineEdit::Normal);
        d.edit()->setText(QStringLiteral("Bartholomew"));
        snapshot(d, QStringLiteral("data-entry"));
        return press(d, 1);
    });
    EXPECT_EQ(name.DoModal(), 1);
    EXPECT_EQ(name.m_strValue, QStringLiteral("Barth"));
    // Typed, the keys stop at the longest name: what is shown is what is
    // given back. A value given longer stays whole, and grows no longer.
    const struct
    {
        const char *given;
        const char *typed; // after the text given
        const char *kept;
    } lengthRows[] = {{"", "Bartholomew", "Barth"}, {"Bar", "tholomew", "Barth"}, {"Bartholomew", "s", "Bartholomew"}};
    for (const auto &r : lengthRows) {
        CDlgData typed(QString::fromLatin1(r.given), 5, QStringLiteral("Name"), QStringLiteral("Type a name:"),
                       QString(), nullptr);
        onDialog<CDlgData>([&](CDlgData &d) {
            d.edit()->end(false);
            QTest::keyClicks(d.edit(), QString::fromLatin1(r.typed));
            EXPECT_EQ(d.edit()->text(), QString::fromLatin1(r.kept)) << r.typed;
            return press(d, 1);
        });
        EXPECT_EQ(typed.DoModal(), 1);
        EXPECT_EQ(typed.m_strValue, QString::fromLatin1(r.kept)) << r.typed;
    }

    CDlgData cancelled(QStringLiteral("keep"), 0, QStringLiteral("Name"), QString(), QString(), nullptr);
    onDialog<CDlgData>([](CDlgData &d) {
        d.edit()->setText(QStringLiteral("changed"));
        return press(d, 2);
    });
    EXPECT_EQ(cancelled.DoModal(), 2);
    EXPECT_EQ(cancelled.m_strValue, QStringLiteral("keep"));

    CDlgData password(QString(), 40, QStringLiteral("Password"), QStringLiteral("You need a password to post."),
                      QStringLiteral("Please type your password:"), nullptr);
    password.m_strExtraCaption = QStringLiteral("Forgot?");
    onDialog<CDlgData>([](CDlgData &d) {
        EXPECT_EQ(d.edit()->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(d.IsItemVisible(1001));
        QTest::keyClicks(d.edit(), QStringLiteral("s3cret"));
        snapshot(d, QStringLiteral("password"));
        return press(d, 1001);
    });
    EXPECT_EQ(password.DoModal(), 1001);
    EXPECT_EQ(password.m_strValue, QStringLiteral("s3cret"));

    // The organiser's longest prompt reads whole: the window widens to it,
    // with the edit and the buttons inside.
    const QString prompt = QStringLiteral("Name of the new Offset Press or Digital Printer    (Production Difficulty "
                                          "Table may be used) Category:");
    CDlgData category(QString(), 50, QString(), prompt, QStringLiteral("Category No: 202"), nullptr);
    onDialog<CDlgData>([&](CDlgData &d) {
        const QRect title = d.topRibbon().itemRect(30281);
        EXPECT_GE(title.width() - 3, QFontMetrics(Appearance::instance().GetFont(3)).horizontalAdvance(prompt));
        EXPECT_LE(title.right(), d.width());
        EXPECT_LE(d.edit()->geometry().right(), d.width());
        EXPECT_LE(GetDlgItem(&d, 2)->geometry().right(), d.width());
        snapshot(d, QStringLiteral("data-entry-long-prompt"));
        return press(d, 2);
    });
    EXPECT_EQ(category.DoModal(), 2);
}

TEST_F(DialogsTest, NoteStampsGoWhereTheShopWantsThemAndCancelLeavesTheNote)
{
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 14), QTime(9, 30)));
    const QString stamp = CNoteDlg::StampText(false);
    EXPECT_TRUE(stamp.endsWith(QStringLiteral(": ")));

    CNoteDlg empty(QStringLiteral("Note"), QStringLiteral("Job 1001"), QString(), 1, nullptr);
    onDialog<CNoteDlg>([&](CNoteDlg &n) {
        EXPECT_GE(n.commandRibbon().FindItem(1001), 0);
        EXPECT_EQ(n.commandRibbon().GetItemText(1), QStringLiteral("Save & Close"));
        n.SendCommand(1001);
        EXPECT_EQ(n.edit()->toPlainText(), stamp); // no leading line break
        snapshot(n, QStringLiteral("note-editor"));
        return press(n, 1);
    });
    EXPECT_EQ(empty.DoModal(), 1);
    EXPECT_EQ(empty.m_strNote, stamp);

    CNoteDlg cancelled(QStringLiteral("Note"), QString(), QStringLiteral("first"), 1, nullptr);
    onDialog<CNoteDlg>([&](CNoteDlg &n) {
        n.SendCommand(1001);
        EXPECT_EQ(n.edit()->toPlainText(), QStringLiteral("first\n") + stamp);
        n.SendCommand(1003);
        EXPECT_EQ(n.edit()->toPlainText(), QString());
        return press(n, 2);
    });
    EXPECT_EQ(cancelled.DoModal(), 2);
    EXPECT_EQ(cancelled.m_strNote, QStringLiteral("first"));

    // Item 7 of settings row 251 other than "0" puts stamps at the top.
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 251, '0,0,0,0,0,0,0,1,')"));
    CNoteDlg top(QStringLiteral("Note"), QString(), QStringLiteral("old"), 1, nullptr);
    onDialog<CNoteDlg>([&](CNoteDlg &n) {
        n.SendCommand(1001);
        EXPECT_EQ(n.edit()->textCursor().position(), stamp.size());
        return press(n, 1);
    });
    top.DoModal();
    EXPECT_EQ(top.m_strNote, stamp + QStringLiteral("\r\nold"));

    CNoteDlg help(QStringLiteral("Help"), QString(), QStringLiteral("Line 1\nLine 2"), 0, nullptr);
    onDialog<CNoteDlg>([](CNoteDlg &n) {
        EXPECT_EQ(n.commandRibbon().GetItemCount(), 1);
        EXPECT_EQ(n.commandRibbon().itemAt(0).id, 2u);
        EXPECT_EQ(n.commandRibbon().itemAt(0).caption, QStringLiteral("Close"));
        EXPECT_TRUE(n.edit()->isReadOnly());
        snapshot(n, QStringLiteral("help-note"));
        return press(n, 2);
    });
    EXPECT_EQ(help.DoModal(), 2);
}
