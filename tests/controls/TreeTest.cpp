#include "ControlsFixture.h"

#include "controls/ControlMessages.h"
#include "controls/CXTreeOptCtrl.h"

class TreeTest : public ControlsTest
{
protected:
    template <typename Tree>
    Tree *makeTree()
    {
        auto *tree = new Tree(host.get());
        tree->setGeometry(10, 10, 300, 400);
        tree->SetImageListAndFont(131, 2);
        tree->show();
        return tree;
    }
    static QPoint onIcon(CXTreeCtrl *tree, HTREEITEM item)
    {
        const QRect r = tree->visualItemRect(item);
        return QPoint(r.left() + 6, r.center().y());
    }
    static QPoint onLabel(CXTreeCtrl *tree, HTREEITEM item)
    {
        const QRect r = tree->visualItemRect(item);
        return QPoint(r.left() + 40, r.center().y());
    }
    static QStringList texts(HTREEITEM parent)
    {
        QStringList out;
        for (int i = 0; i < parent->childCount(); ++i)
            out << parent->child(i)->text(0);
        return out;
    }
};

TEST_F(TreeTest, BranchFromACommaListNumbersItsEntries)
{
    auto *tree = makeTree<CXTreeCtrl>();
    HTREEITEM root = tree->AddBranch(QStringLiteral("Jobs,Orders,__Other,Quotes,ignored"), 100, 3, -1);
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(tree->isBusy());
    EXPECT_EQ(root->text(0), QStringLiteral("Jobs"));
    EXPECT_EQ(CXTreeCtrl::GetItemData(root), 100u);
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(CXTreeCtrl::GetItemData(root->child(0)), 101u);
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("Other"));
    EXPECT_EQ(CXTreeCtrl::GetImage(root->child(1)), 253);
    EXPECT_EQ(CXTreeCtrl::GetItemData(root->child(1)), 0u);
    EXPECT_EQ(CXTreeCtrl::GetItemData(root->child(2)), 102u);
    // Children of folder 3 show its child form 27, selected 39; roots and headers are bold.
    EXPECT_EQ(CXTreeCtrl::GetImage(root->child(0)), 27);
    EXPECT_EQ(CXTreeCtrl::GetSelectedImageOf(root->child(0)), 39);
    EXPECT_TRUE(root->font(0).bold());
    EXPECT_TRUE(root->child(1)->font(0).bold());
    EXPECT_FALSE(root->child(0)->font(0).bold());

    EXPECT_EQ(tree->FindItemByData(102), root->child(2));
    EXPECT_EQ(tree->FindChildByData(101), root->child(0));
    EXPECT_EQ(tree->FindChildByData(100), nullptr);
    EXPECT_EQ(tree->FindItemByData(999), nullptr);

    // Under a given parent every entry is a child, numbered from the code + 1.
    HTREEITEM more = tree->AddRootItem(QStringLiteral("More"), 47);
    EXPECT_EQ(CXTreeCtrl::GetImage(more), 11);
    tree->AddBranch(QStringLiteral("A,B,"), 500, 0, 5, more);
    EXPECT_EQ(texts(more), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(CXTreeCtrl::GetItemData(more->child(0)), 501u);
}

TEST_F(TreeTest, FolderImagesOpenAndCloseWithTheBranch)
{
    auto *tree = makeTree<CXTreeCtrl>();
    HTREEITEM root = tree->AddBranch(QStringLiteral("Jobs,Orders,"), 100, 3, -1);
    EXPECT_TRUE(tree->ExpandItem(root, TVE_EXPAND));
    EXPECT_EQ(CXTreeCtrl::GetImage(root), 15);
    EXPECT_TRUE(tree->ExpandItem(root, TVE_COLLAPSE));
    EXPECT_EQ(CXTreeCtrl::GetImage(root), 3);
    // The user's own expanding swaps the folder too.
    root->setExpanded(true);
    EXPECT_EQ(CXTreeCtrl::GetImage(root), 15);
    EXPECT_FALSE(tree->ExpandItem(root->child(0), TVE_EXPAND)); // no children

    tree->ExpandAll(false);
    EXPECT_FALSE(root->isExpanded());
    EXPECT_FALSE(tree->GetExpandState());
    tree->ToggleExpandAll();
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(tree->currentItem(), root);
}

TEST_F(TreeTest, MovingItemsFollowsTheDropRules)
{
    auto *tree = makeTree<CXTreeCtrl>();
    HTREEITEM jobs = tree->AddBranch(QStringLiteral("Jobs,Orders,Quotes,Templates,"), 100, 3, -1);
    HTREEITEM people = tree->AddBranch(QStringLiteral("People,Staff,Customers,"), 200, 6, -1);

    // A root dropped on its own child stays where it is.
    EXPECT_EQ(tree->MoveItem(jobs, jobs->child(1)), nullptr);
    EXPECT_EQ(tree->topLevelItem(0), jobs);
    EXPECT_EQ(jobs->childCount(), 3);

    // A child dropped on its own parent becomes the first child.
    HTREEITEM templates = jobs->child(2);
    HTREEITEM moved = tree->MoveItem(templates, jobs);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(texts(jobs), (QStringList{QStringLiteral("Templates"), QStringLiteral("Orders"), QStringLiteral("Quotes")}));
    EXPECT_EQ(CXTreeCtrl::GetItemData(jobs->child(0)), 103u);

    // A child dropped on another child goes after it, under that child's parent.
    moved = tree->MoveItem(jobs->child(0), people->child(0));
    EXPECT_EQ(texts(people), (QStringList{QStringLiteral("Staff"), QStringLiteral("Templates"), QStringLiteral("Customers")}));
    EXPECT_EQ(moved->parent(), people);

    // A child dropped on a root becomes that root's child.
    moved = tree->MoveItem(people->child(0), jobs);
    EXPECT_EQ(moved->parent(), jobs);

    // A root dropped on another root follows it and keeps its children.
    moved = tree->MoveItem(jobs, people);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(tree->topLevelItem(0), people);
    EXPECT_EQ(tree->topLevelItem(1), moved);
    EXPECT_EQ(moved->text(0), QStringLiteral("Jobs"));
    EXPECT_EQ(texts(moved), (QStringList{QStringLiteral("Orders"), QStringLiteral("Quotes"), QStringLiteral("Staff")}));
    EXPECT_EQ(CXTreeCtrl::GetItemData(moved), 100u);
}

TEST_F(TreeTest, DraggingAChildOntoARootMovesIt)
{
    auto *tree = makeTree<CXTreeCtrl>();
    tree->EnableDragDrop(true);
    HTREEITEM jobs = tree->AddBranch(QStringLiteral("Jobs,Orders,Quotes,"), 100, 3, -1);
    HTREEITEM people = tree->AddBranch(QStringLiteral("People,Staff,"), 200, 6, -1);
    tree->ExpandAll(true);
    const QPoint from = onLabel(tree, jobs->child(1));
    const QPoint to = onLabel(tree, people);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), tree->viewport()->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &move);
    EXPECT_TRUE(tree->isDragging());
    EXPECT_EQ(tree->dropTarget(), people);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, to);
    EXPECT_FALSE(tree->isDragging());
    EXPECT_EQ(texts(jobs), QStringList{QStringLiteral("Orders")});
    EXPECT_EQ(texts(people), (QStringList{QStringLiteral("Staff"), QStringLiteral("Quotes")}));
    EXPECT_EQ(tree->GetSelectedText(), QStringLiteral("Quotes"));
}

TEST_F(TreeTest, MarksImagesAndColoursByImage)
{
    auto *tree = makeTree<CXTreeCtrl>();
    HTREEITEM root = tree->AddBranch(QStringLiteral("Jobs,A,B,C,D,"), 100, 3, -1);
    tree->SetBranchImages(101);
    EXPECT_EQ(CXTreeCtrl::GetImage(root->child(0)), 24);
    EXPECT_EQ(CXTreeCtrl::GetImage(root->child(2)), 28);
    EXPECT_EQ(CXTreeCtrl::GetSelectedImageOf(root->child(3)), 38);

    tree->SetExclusiveImageByData(102, 211, 255);
    EXPECT_EQ(CXTreeCtrl::GetImage(root->child(1)), 211);
    EXPECT_EQ(CXTreeCtrl::GetImage(root->child(0)), 255);

    tree->SetDrawStyle(0, 0x0000FF, 255, 255);
    tree->MarkItemByData(103, true);
    EXPECT_EQ(tree->drawMode(), 16);
    EXPECT_TRUE(root->child(2)->font(0).bold());
    EXPECT_EQ(tree->itemTextColour(root->child(2)), QColor(Qt::red));
    EXPECT_FALSE(tree->itemTextColour(root->child(1)).isValid());
    tree->MarkItemByData(104, true);
    EXPECT_FALSE(root->child(2)->font(0).bold());

    tree->SetDrawStyle(2, 0, 255, 255);
    HTREEITEM grey = tree->AddTextItem(root, QStringLiteral("More"), 252);
    bool small = false;
    EXPECT_EQ(tree->itemTextColour(grey, &small), QColor(0x80, 0x80, 0x80));
    EXPECT_TRUE(small);
    EXPECT_EQ(tree->itemTextColour(tree->AddTextItem(root, QStringLiteral("Head"), 253)), QColor(0xC0, 0x10, 0x10));

    tree->ClearAll();
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(tree->isBusy());
    EXPECT_EQ(tree->GetSelectedData(), 0u);
    EXPECT_EQ(tree->GetSelectedImage(), -1);
    EXPECT_TRUE(tree->GetSelectedText().isEmpty());
}

TEST_F(TreeTest, CheckedBitsSkipHeadersBothWays)
{
    auto *options = makeTree<CXTreeOptCtrl>();
    options->LoadOptions(QString(), QStringLiteral("Fold,__Extras,Drill,Pad,"), 0, 11, true, false);
    HTREEITEM root = options->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Check all that apply:"));
    ASSERT_EQ(root->childCount(), 4);
    EXPECT_EQ(options->GetOptionId(root->child(2)), 2u);
    options->SetOptionChecked(2, true);
    options->SetOptionChecked(3, true);
    EXPECT_EQ(options->GetCheckedBits(), 6u);

    // A mask read from the tree puts every option back where it was.
    options->SetCheckedBits(0);
    EXPECT_EQ(options->GetCheckedBits(), 0u);
    options->SetCheckedBits(6);
    EXPECT_FALSE(options->IsOptionChecked(1));
    EXPECT_TRUE(options->IsOptionChecked(2));
    EXPECT_TRUE(options->IsOptionChecked(3));

    options->CollectCheckedData();
    EXPECT_EQ(options->checkedData(), (QList<quint32>{2, 3}));

    options->RemoveAllOptions();
    options->LoadOptions(QStringLiteral("Sides"), QStringLiteral("None,Front,Back,"), 2, 11, false, true);
    root = options->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Front"));
    EXPECT_EQ(options->GetOptionId(root->child(0)), 1u);
    EXPECT_FALSE(options->IsOptionChecked(1));
    EXPECT_TRUE(options->IsOptionChecked(2));
}

TEST_F(TreeTest, RadioButtonsAnswerClicksOnce)
{
    auto *options = makeTree<CXTreeOptCtrl>();
    HTREEITEM paper = options->AddRootGroup(QStringLiteral("Paper"), 6);
    options->AddRadio(20, QStringLiteral("Gloss"), paper, true);
    options->AddRadio(21, QStringLiteral("Matte"), paper, false);
    options->AddRadio(22, QStringLiteral("Uncoated"), paper, false);
    options->ExpandItem(paper, TVE_EXPAND);
    QSignalSpy messages(options, &CXTreeOptCtrl::ownerMessage);

    // Gloss is on: clicking it (select, then click again) leaves it on and tells nothing.
    HTREEITEM gloss = options->FindOption(20);
    QTest::mouseClick(options->viewport(), Qt::LeftButton, {}, onLabel(options, gloss));
    QTest::mouseClick(options->viewport(), Qt::LeftButton, {}, onLabel(options, gloss));
    QApplication::processEvents();
    EXPECT_TRUE(options->IsOptionChecked(20));
    EXPECT_EQ(messages.count(), 0);

    // Choosing Matte switches Gloss off and posts the radio message.
    QTest::mouseClick(options->viewport(), Qt::LeftButton, {}, onLabel(options, options->FindOption(21)));
    EXPECT_EQ(messages.count(), 0); // posted, not sent
    QApplication::processEvents();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.at(0).at(0).toInt(), MSG_RADIO_CHOSEN);
    EXPECT_EQ(messages.at(0).at(1).toLongLong(), 21);
    EXPECT_EQ(messages.at(0).at(2).value<qintptr>(), reinterpret_cast<qintptr>(options));
    EXPECT_TRUE(options->IsOptionChecked(21));
    EXPECT_FALSE(options->IsOptionChecked(20));

    // The arrow keys choose too; the program's own selecting does not.
    options->setFocus();
    QTest::keyClick(options, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_TRUE(options->IsOptionChecked(22));
    options->SelectAndShow(options->FindOption(20));
    EXPECT_TRUE(options->IsOptionChecked(22));
    options->SetRadioRange(20, 22, 20);
    EXPECT_TRUE(options->IsOptionChecked(20));
    EXPECT_FALSE(options->IsOptionChecked(22));
    EXPECT_EQ(options->GetCheckedBits(), 0u); // radio buttons never set bits
}

TEST_F(TreeTest, CheckBoxesToggleOnTheirIconOrBySpace)
{
    auto *options = makeTree<CXTreeOptCtrl>();
    options->LoadOptions(QString(), QStringLiteral("Fold,Drill,"), 0, 11, true, false);
    QSignalSpy messages(options, &CXTreeOptCtrl::ownerMessage);
    HTREEITEM fold = options->FindOption(1);

    // Selecting by a click on the label does not tick the box.
    QTest::mouseClick(options->viewport(), Qt::LeftButton, {}, onLabel(options, fold));
    QApplication::processEvents();
    EXPECT_FALSE(options->IsOptionChecked(1));
    // A click on the icon of the selected box ticks it and tells the owner.
    QTest::mouseClick(options->viewport(), Qt::LeftButton, {}, onIcon(options, fold));
    QApplication::processEvents();
    EXPECT_TRUE(options->IsOptionChecked(1));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.at(0).at(0).toInt(), MSG_OPTION_CHECKED);
    EXPECT_EQ(messages.at(0).at(1).toLongLong(), 1);
    EXPECT_EQ(messages.at(0).at(2).toLongLong(), 1);

    // A click on the icon of another box selects and ticks it at once.
    QTest::mouseClick(options->viewport(), Qt::LeftButton, {}, onIcon(options, options->FindOption(2)));
    QApplication::processEvents();
    EXPECT_TRUE(options->IsOptionChecked(2));

    options->setFocus();
    QTest::keyClick(options, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_FALSE(options->IsOptionChecked(2));
    EXPECT_EQ(messages.count(), 3);
    EXPECT_EQ(messages.last().at(2).toLongLong(), 0);

    // Nothing is told while the tree is being filled.
    options->setBusy(true);
    QTest::keyClick(options, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_EQ(messages.count(), 3);
}
