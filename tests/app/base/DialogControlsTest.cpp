#include "app/base/DialogControls.h"
#include "app/base/Menus.h"
#include "support/TestEnvironment.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>

namespace {

class DialogControlsTest : public TavrelTest
{
protected:
    // A dialog with a combo box and a list box of each given id.
    QWidget *control(int id)
    {
        QWidget *w = IsListBoxControlId(id) ? static_cast<QWidget *>(new QListWidget(&dialog))
                                            : static_cast<QWidget *>(new QComboBox(&dialog));
        SetDlgCtrlID(w, unsigned(id));
        return w;
    }
    static QStringList texts(QWidget *w)
    {
        QStringList out;
        if (auto *c = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < c->count(); ++i)
                out << c->itemText(i) + QLatin1Char('=') + c->itemData(i).toString();
        if (auto *l = qobject_cast<QListWidget *>(w))
            for (int i = 0; i < l->count(); ++i)
                out << l->item(i)->text() + QLatin1Char('=') + l->item(i)->data(Qt::UserRole).toString();
        return out;
    }

    QDialog dialog;
};

class RecordingOwner : public QWidget, public PopupMenuOwner
{
public:
    void OnInitPopupMenu(QMenu *menu, int position) override
    {
        positions << position;
        menu->addAction(QStringLiteral("Added by owner"))->setData(777);
    }
    QList<int> positions;
};

} // namespace

TEST_F(DialogControlsTest, ListBoxIdsAndCommaListFillers)
{
    for (int id : {1400, 1401, 1409, 1410})
        control(id);
    for (int id : {1400, 1401, 1409, 1410})
        EXPECT_EQ(AddDlgListItem(&dialog, id, QStringLiteral("x"), 5), 0);
    EXPECT_TRUE(qobject_cast<QComboBox *>(GetDlgItem(&dialog, 1400)));
    EXPECT_TRUE(qobject_cast<QListWidget *>(GetDlgItem(&dialog, 1409)));
    EXPECT_EQ(texts(GetDlgItem(&dialog, 1410)), QStringList{QStringLiteral("x=5")});
    EXPECT_EQ(AddDlgListItem(&dialog, 1500, QStringLiteral("x"), 5), -1);

    struct Case { QString text; int first; int last; QStringList expected; };
    const Case cases[] = {
        {QStringLiteral("A,B,C,"), 1, 0x7FFFFFFF, {QStringLiteral("B=0"), QStringLiteral("C=1")}},
        {QStringLiteral("A,B,C,"), 0, 1, {QStringLiteral("A=0"), QStringLiteral("B=1")}},
        {QStringLiteral("A,B,C,"), 2, 2, {QStringLiteral("C=0")}},
        {QStringLiteral("A,B"), 0, 0x7FFFFFFF, {QStringLiteral("A=0")}},
    };
    for (const Case &c : cases) {
        QComboBox combo;
        QListWidget list;
        FillListFromText(&combo, &list, 0, c.text, c.first, c.last);
        EXPECT_EQ(texts(&combo), c.expected) << qPrintable(c.text);
        EXPECT_EQ(list.count(), 0);
    }

    auto *numbers = control(1402);
    FillDlgNumberList(&dialog, 1402, 5, 1, QString(), QStringLiteral(" up"), 0);
    EXPECT_EQ(texts(numbers), (QStringList{QStringLiteral("5 up=5"), QStringLiteral("4 up=6"), QStringLiteral("3 up=7"),
                                           QStringLiteral("2 up=8"), QStringLiteral("1 up=9")}));
    auto *times = control(1620);
    FillTimeList(&dialog, 1620, 7, 13, 60);
    FillTimeList(&dialog, 1620, 8, 9, 30);
    EXPECT_EQ(texts(times), (QStringList{"7 am=", "8 am=", "9 am=", "10 am=", "11 am=", "Noon=", "1 pm=", "08:00=",
                                         "08:30=", "09:00="}));
}

TEST_F(DialogControlsTest, SelectionByItemData)
{
    QListWidget list;
    AddListBoxItem(&list, QStringLiteral("a"), 7);
    AddListBoxItem(&list, QStringLiteral("b"), 9);
    AddListBoxItem(&list, QStringLiteral("c"), 9);
    EXPECT_EQ(SelectListBoxByData(&list, 9), 1);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(SelectListBoxByData(&list, 4), -1);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    SelectListBoxByData(&list, 7);
    SelectListBoxByData(&list, 9);
    EXPECT_EQ(list.selectedItems().size(), 2);
    EXPECT_EQ(SelectListBoxByData(nullptr, 7), -1);

    QComboBox combo;
    AddComboItem(&combo, QStringLiteral("x"), 3);
    AddComboItem(&combo, QStringLiteral("y"), 4);
    EXPECT_EQ(SelectComboByData(&combo, 4), 1);
    EXPECT_EQ(SelectComboByData(&combo, 5), -1);
    EXPECT_EQ(combo.currentIndex(), -1);
}

TEST_F(DialogControlsTest, MenusCarryCommandIds)
{
    QMenu menu;
    AppendMenuItems(&menu, QStringLiteral("Open,-,Close,"), 100);
    const auto actions = menu.actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->data().toInt(), 100);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->data().toInt(), 101);
    EXPECT_EQ(GetMenuCommandText(&menu, 101), QStringLiteral("Close"));
    EXPECT_EQ(GetMenuCommandText(&menu, 102), QString());
    EXPECT_EQ(GetMenuCommandText(nullptr, 100), QString());
    CheckMenuItemsByText(&menu, QStringLiteral("Close"));
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[2]->isChecked());
    ClearMenu(&menu);
    EXPECT_TRUE(menu.actions().isEmpty());

    RegisterMenuResource(9001, [](QMenu &m) {
        m.addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Print"))->setData(57607);
        QMenu *edit = m.addMenu(QStringLiteral("Edit"));
        AppendMenuItems(edit, QStringLiteral("Copy,Paste,"), 200);
    });
    QString text;
    GetMenuItemText(text, 9001, 1, 201);
    EXPECT_EQ(text, QStringLiteral("Paste"));
    GetMenuItemText(text, 9002, 0, 57607);
    EXPECT_EQ(text, QString());

    // The owner adjusts the menu before it shows; the chosen command comes back.
    RecordingOwner owner;
    QTimer::singleShot(50, [] {
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            popup->setActiveAction(popup->actions().last());
            QTest::keyClick(popup, Qt::Key_Return);
        }
    });
    EXPECT_EQ(ShowPopupMenu(9001, 1, 10, 10, &owner, 0), 777);
    EXPECT_EQ(owner.positions, QList<int>{1});
    EXPECT_EQ(ShowPopupMenu(9001, 5, 10, 10, &owner, 0), 0);
    EXPECT_EQ(ShowPopupMenu(9002, 0, 10, 10, &owner, 0), 0);
    RegisterMenuResource(9001, nullptr);
}
