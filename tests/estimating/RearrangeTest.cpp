// The rearrange dialog: rows in, moved by its buttons, and read back with
// their positions and sub numbers.
#include "support/TestEnvironment.h"

#include "controls/CXTreeCtrl.h"
#include "estimating/CListBoxDragDlg.h"
#include "views/CDlgData.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

namespace {

using platform::IDOK;

struct Out
{
    qint32 id;
    QString text;
    int position;
    int sub;
    int callerValue;
    friend bool operator==(const Out &, const Out &) = default;
};

void PrintTo(const Out &o, std::ostream *os)
{
    *os << "{" << o.id << " " << o.text.toStdString() << " " << o.position << "." << o.sub << " v" << o.callerValue
        << "}";
}

class Rearrange : public TavrelTest
{
protected:
    // Runs the dialog on A, B (with sub-entry C) and D (a new row, id -5),
    // lets the handler press its buttons and returns the rows read back.
    std::vector<Out> run(int buttons, const std::function<void(CListBoxDragDlg &)> &act, const char *picture = nullptr)
    {
        CListBoxDragDlg dlg(0, buttons, nullptr);
        dlg.m_strRibbonTitle = QStringLiteral("Rearrange Items");
        dlg.AddItem(1, QStringLiteral("A"), 6, 11, 0);
        dlg.AddItem(2, QStringLiteral("B"), 6, 12, 1);
        dlg.AddItem(3, QStringLiteral("C"), 30, 13, 2);
        dlg.AddItem(-5, QStringLiteral("D"), 6, 14, 0);
        prompts().onDialog([&](QDialog &d) {
            auto &r = static_cast<CListBoxDragDlg &>(d);
            act(r);
            if (picture) {
                QApplication::processEvents();
                const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
                QDir().mkpath(folder);
                EXPECT_TRUE(r.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(picture), "PNG"));
            }
            r.SendCommand(1);
            return r.result();
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        std::vector<Out> out;
        for (const CListItem &row : dlg.m_rowsOut)
            out.push_back({row.m_value, row.m_text, row.number(7), row.number(8), row.number(3)});
        return out;
    }
};

TEST_F(Rearrange, EntriesAndSubEntriesComeBackNumbered)
{
    const auto out = run(CListBoxDragDlg::MoveButtons | CListBoxDragDlg::LevelButtons, [](CListBoxDragDlg &) {},
                         "rearrange.png");
    EXPECT_EQ(out, (std::vector<Out>{{1, "A", 1, 0, 11}, {2, "B", 2, 1, 12}, {3, "C", 2, 2, 13}, {-5, "D", 3, 0, 14}}));
}

TEST_F(Rearrange, ButtonsMoveAndChangeLevels)
{
    struct Case
    {
        const char *name;
        std::function<void(CListBoxDragDlg &)> act;
        std::vector<Out> expected;
    };
    const Case cases[] = {
        {"a sub-entry changed to an entry follows its former entry",
         [](CListBoxDragDlg &d) {
             d.SelectId(3);
             EXPECT_TRUE(d.IsButtonEnabled(30234));
             EXPECT_FALSE(d.IsButtonEnabled(30235));
             d.SendCommand(30234);
         },
         {{1, "A", 1, 0, 11}, {2, "B", 2, 0, 12}, {3, "C", 3, 0, 13}, {-5, "D", 4, 0, 14}}},
        {"an entry changed to a sub-entry takes its own sub-entries along",
         [](CListBoxDragDlg &d) {
             d.SelectId(2);
             d.SendCommand(30235);
         },
         {{1, "A", 1, 1, 11}, {2, "B", 1, 2, 12}, {3, "C", 1, 3, 13}, {-5, "D", 2, 0, 14}}},
        {"up, down, top and bottom among siblings",
         [](CListBoxDragDlg &d) {
             d.SelectId(-5);
             EXPECT_FALSE(d.IsButtonEnabled(30238));
             EXPECT_TRUE(d.IsButtonEnabled(30239));
             d.SendCommand(30239); // D above B
             d.SendCommand(30236); // D first
             d.SelectId(1);
             d.SendCommand(30237); // A last
         },
         {{-5, "D", 1, 0, 14}, {2, "B", 2, 1, 12}, {3, "C", 2, 2, 13}, {1, "A", 3, 0, 11}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(CListBoxDragDlg::MoveButtons | CListBoxDragDlg::LevelButtons, c.act), c.expected);
    }
}

TEST_F(Rearrange, NewRowsGetIdsBelowTheLowestGiven)
{
    const auto out = run(CListBoxDragDlg::AddEditButtons | CListBoxDragDlg::MoveButtons, [this](CListBoxDragDlg &d) {
        d.tree()->setCurrentItem(nullptr);
        prompts().answer(IDOK);
        d.SendCommand(1002);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Select an Item first"));
        prompts().onDialog([](QDialog &e) {
            auto &entry = static_cast<CDlgData &>(e);
            EXPECT_EQ(entry.windowTitle(), QStringLiteral("Name"));
            EXPECT_EQ(entry.edit()->text(), QStringLiteral("New Item"));
            entry.edit()->setText(QStringLiteral("Extra"));
            entry.SendCommand(1);
            return entry.result();
        });
        d.SendCommand(1001);
        prompts().onDialog([](QDialog &e) {
            static_cast<CDlg0 &>(e).SendCommand(2);
            return e.result();
        });
        d.SendCommand(1002);
    });
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[4], (Out{-6, "Extra", 4, 1, 0}));
    EXPECT_EQ(out[5], (Out{-7, "New Sub-Item", 4, 2, 0}));
}

} // namespace
