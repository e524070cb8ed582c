#include "RowSourceStub.h"

#include "controls/CSearchList.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"

#include "platform/Settings.h"
#include "support/TestEnvironment.h"

#include "Printers.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

using platform::FieldType;
using platform::Value;

namespace {

class SearchListTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        RowSourceStub src({{QStringLiteral("Customer"), FieldType::Text, 30},
                           {QStringLiteral("Amount"), FieldType::Currency, 8},
                           {QStringLiteral("JobID"), FieldType::Long, 4}},
                          {{Value("Acme Printing"), Value(Money::fromCents(1250)), Value(11)},
                           {Value("Bolt Supply"), Value(Money::fromCents(0)), Value(12)},
                           {Value("acme west"), Value(Money::fromCents(99900)), Value(13)},
                           {Value("Cord Co"), Value(Money::fromCents(1250)), Value(14)}});
        list.FillFromRecordset(src, QString());
    }

    // Types the text, picks column and operator, presses "Find Now" and
    // answers with the row selected afterwards.
    struct Step
    {
        QString text;
        int column;
        int op;
    };
    QList<qint64> run(const QList<Step> &steps)
    {
        QList<qint64> found;
        prompts().onDialog([&](QDialog &d) {
            auto *edit = qobject_cast<QLineEdit *>(GetDlgItem(&d, CSearchList::IDC_SEARCH_TEXT));
            auto *columns = qobject_cast<QComboBox *>(GetDlgItem(&d, CSearchList::IDC_COLUMN));
            auto *ops = qobject_cast<QComboBox *>(GetDlgItem(&d, CSearchList::IDC_OPERATOR));
            auto *findNow = qobject_cast<QPushButton *>(GetDlgItem(&d, CSearchList::IDC_FIND_NOW));
            auto *close = qobject_cast<QPushButton *>(GetDlgItem(&d, CSearchList::IDC_CLOSE));
            if (!edit || !columns || !ops || !findNow || !close)
                return int(QDialog::Rejected);
            for (const Step &s : steps) {
                columns->setCurrentIndex(s.column);
                ops->setCurrentIndex(s.op);
                edit->setText(s.text);
                findNow->click();
                found << list.GetSelectedData();
            }
            close->click();
            return d.result();
        });
        CSearchList dialog(&list);
        dialog.DoModal();
        return found;
    }

    CXListCtrl list;
};

} // namespace

TEST_F(SearchListTest, TextOperatorsWrapAroundTheEnd)
{
    list.SelectItem(0);
    const QList<qint64> found = run({
        {QStringLiteral("ACME"), 0, CSearchList::StartsWith},     // after row 0: row 2
        {QStringLiteral("acme"), 0, CSearchList::StartsWith},     // wraps to row 0
        {QStringLiteral("co"), 0, CSearchList::EndsWith},         // row 3
        {QStringLiteral("supply"), 0, CSearchList::Contains},     // wraps to row 1
        {QStringLiteral("acme west"), 0, CSearchList::IsExactly}, // row 2
        {QStringLiteral("acme west"), 0, CSearchList::IsNotExactly},
        {QStringLiteral("acme"), 0, CSearchList::DoesNotContain},
        {QStringLiteral("Acme Printing Company"), 0, CSearchList::StartsWith}, // longer than the cell
        {QStringLiteral("zzz"), 0, CSearchList::Contains},        // nothing: the selection stays
    });
    EXPECT_EQ(found, (QList<qint64>{13, 11, 14, 12, 13, 14, 12, 12, 12}));
    EXPECT_EQ(prompts().shown().last().caption, QStringLiteral(" Search the list on the screen"));
}

TEST_F(SearchListTest, NumberOperatorsReadTheTextAsANumber)
{
    list.SelectItem(3);
    const QList<qint64> found = run({
        {QStringLiteral("12.5"), 1, CSearchList::Equal},      // wraps from the last row to row 0
        {QStringLiteral("12.5"), 1, CSearchList::Equal},      // row 3
        {QStringLiteral("abc"), 1, CSearchList::Equal},       // not a number: searches for 0, row 1
        {QStringLiteral("100"), 1, CSearchList::GreaterThan}, // 999.00, row 2
        {QStringLiteral("1"), 1, CSearchList::LessThan},      // 0.00, row 1
        {QStringLiteral("0"), 1, CSearchList::NotEqual},      // row 2
    });
    EXPECT_EQ(found, (QList<qint64>{11, 14, 12, 13, 12, 13}));
}

TEST_F(SearchListTest, OperatorsAndButtonFollowColumnTextAndSetting)
{
    {
        CSearchList dialog(&list);
        auto *columns = qobject_cast<QComboBox *>(GetDlgItem(&dialog, CSearchList::IDC_COLUMN));
        auto *ops = qobject_cast<QComboBox *>(GetDlgItem(&dialog, CSearchList::IDC_OPERATOR));
        auto *edit = qobject_cast<QLineEdit *>(GetDlgItem(&dialog, CSearchList::IDC_SEARCH_TEXT));
        auto *findNow = GetDlgItem(&dialog, CSearchList::IDC_FIND_NOW);
        ASSERT_TRUE(columns && ops && edit && findNow);
        EXPECT_EQ(columns->count(), 3);
        EXPECT_EQ(columns->itemText(1), QStringLiteral("Amount"));
        EXPECT_EQ(columns->itemData(0).toInt(), CSearchList::kText);
        EXPECT_EQ(columns->itemData(1).toInt(), CSearchList::kNumeric);
        EXPECT_EQ(ops->count(), 6);
        EXPECT_EQ(ops->currentText(), QStringLiteral("starts with"));
        columns->setCurrentIndex(1);
        EXPECT_EQ(ops->count(), 4);
        EXPECT_EQ(ops->currentText(), QStringLiteral("=     equal"));
        EXPECT_FALSE(findNow->isEnabled());
        edit->setText(QStringLiteral("x"));
        EXPECT_TRUE(findNow->isEnabled());
        edit->clear();
        EXPECT_FALSE(findNow->isEnabled());
    }
    platform::Settings::writeInt(QStringLiteral("Settings"), QStringLiteral("Find 'if contains'"), 1);
    CSearchList dialog(&list);
    auto *ops = qobject_cast<QComboBox *>(GetDlgItem(&dialog, CSearchList::IDC_OPERATOR));
    ASSERT_TRUE(ops);
    EXPECT_EQ(ops->currentText(), QStringLiteral("contains"));
}
