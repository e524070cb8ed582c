// Every text field a window saves to a column of the shop's tables holds to
// that column's size as the schema defines it: typing one character more
// than the column keeps stops at the size (with a beep), so that nothing is
// cut when the row is written. Checked in every window the screen check's
// walk opens, with the record windows of each list (F6) and the windows
// opened inside them (a ship-to from a customer's list, a service's More
// Properties).
#include "ScreenWalk.h"

#include "catalogue/CSerDlg.h"
#include "controls/TextLimit.h"
#include "customers/CPickList.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include <iostream>

class TextColumnsTest : public ScreenWalkTest, public ::testing::WithParamInterface<int>
{
public:
    static inline int s_fields = 0;
    static inline int s_views = 0;
    static inline QSet<QString> s_columns; // the columns whose fields were checked in the run

protected:
    void visit(QWidget *window, const QString &where) override
    {
        if (window == frame)
            return;
        const QString windowName = QString::fromLatin1(window->metaObject()->className());
        for (QWidget *w : window->findChildren<QWidget *>()) {
            const QString column = w->property("textColumn").toString();
            if (column.isEmpty() || !w->isVisible() || !w->isEnabled())
                continue;
            if (auto *edit = qobject_cast<QLineEdit *>(w); edit && edit->isReadOnly())
                continue;
            if (auto *plain = qobject_cast<QPlainTextEdit *>(w); plain && plain->isReadOnly())
                continue;
            const QString key = windowName + QStringLiteral(" > ") + column;
            if (seen.contains(key))
                continue;
            seen.insert(key);
            check(w, column, where + QStringLiteral(": ") + key);
        }
    }

    QList<int> commandsInside(QDialog &d) override
    {
        if (dynamic_cast<CPickList *>(&d))
            return {30100}; // a new record of the list: a ship-to, a contact
        if (dynamic_cast<CSerDlg *>(&d))
            return {30278}; // More Properties
        if (dynamic_cast<CJobDlg *>(&d))
            return {30282, 30525, 30362};
        return {};
    }

    void check(QWidget *field, const QString &column, const QString &where)
    {
        ++fields;
        s_columns.insert(column);
        // The column's size as the shop's file defines it.
        int size = 0;
        try {
            const platform::TableDef table = SharedDatabase().tableDef(column.section(QLatin1Char('.'), 0, 0));
            if (const platform::FieldDef *f = table.field(column.section(QLatin1Char('.'), 1)))
                size = f->type == platform::FieldType::Text ? f->size : 0;
        } catch (const platform::DbException &) {
        }
        if (size <= 0) {
            faults << QStringLiteral("%1: no text column of that name").arg(where);
            return;
        }
        auto *line = qobject_cast<QLineEdit *>(field);
        auto *plain = qobject_cast<QPlainTextEdit *>(field);
        if (line && line->maxLength() > size)
            faults << QStringLiteral("%1: takes %2 characters, the column %3")
                          .arg(where)
                          .arg(line->maxLength())
                          .arg(size);
        const QString before = TextLimit::TextOf(field);
        platform::TestResponder answers;
        for (int i = 0; i < 4; ++i)
            answers.answer(platform::IDCANCEL);
        try {
            if (line)
                line->clear();
            else if (plain)
                plain->clear();
            field->setFocus();
            QTest::keyClicks(field, QString(size + 1, QLatin1Char('w')));
            const qsizetype kept = TextLimit::TextOf(field).size();
            if (kept != size)
                faults << QStringLiteral("%1: %2 characters typed kept %3, the column holds %4")
                              .arg(where)
                              .arg(size + 1)
                              .arg(kept)
                              .arg(size);
            // A full field typed over: the selection is replaced, so a key
            // over the whole text is taken, never refused as one too many.
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, QStringLiteral("x"));
            if (TextLimit::TextOf(field) != QStringLiteral("x"))
                faults << QStringLiteral("%1: \"x\" typed over the whole full text left \"%2\"")
                              .arg(where, TextLimit::TextOf(field).left(12));
            if (line)
                line->setText(before);
            else if (plain)
                plain->setPlainText(before);
        } catch (const platform::UnansweredPrompt &e) {
            faults << QStringLiteral("%1: unanswered: %2").arg(where, QString::fromUtf8(e.what()));
        }
    }

    QStringList faults;
    int fields = 0;
    static inline QSet<QString> seen;
};

TEST_P(TextColumnsTest, EveryTextFieldOfEveryWindowHoldsToItsColumnsSize)
{
    walkView(GetParam());
    // The record each list's first row opens (F6), with the windows opened inside it.
    CView0 *view = qobject_cast<CView0 *>(frame->SwitchView(GetParam()));
    ASSERT_NE(view, nullptr);
    for (int code : listCodes(*view)) {
        selectList(*view, QStringLiteral("view %1 list %2").arg(GetParam()).arg(code), code);
        if (view->list() && view->list()->GetItemCount() > 0) {
            view->list()->SelectItem(0);
            runVisited(*view, 30103, QStringLiteral("view %1 list %2 opened").arg(GetParam()).arg(code));
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << faults.join(QLatin1Char('\n')).toStdString();
    std::cout << "text fields held to their columns: " << fields << "\n";
    s_fields += fields;
    // After the last view of a whole run: the walk reached the windows the
    // check is for (it would pass having checked nothing).
    if (++s_views == 9) {
        for (const char *column : {"Shipto.Attention", "Shipto.Address2", "Services.Size", "Services.Name2",
                                   "Services.SerRemind", "Services.SKU", "Customers.Address2", "Jobs.Title",
                                   "Jobs.PO"})
            EXPECT_TRUE(s_columns.contains(QString::fromLatin1(column))) << column;
        EXPECT_GE(s_fields, 25);
    }
}

INSTANTIATE_TEST_SUITE_P(MainViews, TextColumnsTest,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008));
