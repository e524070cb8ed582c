#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

class QComboBox;
class QListWidget;
class QWidget;

// Fill list boxes, combo boxes and trees from queries. Every entry keeps its
// code as item data (Qt::UserRole). The fillers append: they never empty the
// control first and select nothing, unless told otherwise.

// Rows of (code, text): code = field 0 as a long, text = field 1 without
// trailing blanks; into the combo when given, else into the list.
void FillFromQuery(QComboBox *combo, QListWidget *list, const QString &sql);
// The dialog's control of that id: ids 1401 to 1409 are list boxes, any other
// a combo box.
void FillListFromQuery(QWidget *dialog, int controlId, const QString &sql);
// "table.field" for every field of the table, with the field's type as item
// data (a memo counts as text); the first entry is selected. A table without
// rows adds nothing.
void FillFieldList(QComboBox *combo, QListWidget *list, const QString &table);

// A tree that FillTreeFromQuery fills: the program's tree control provides it.
class TreeFillTarget
{
public:
    virtual ~TreeFillTarget() = default;
    virtual void clear() = 0;
    // A node under the root, at the end, without a code; returns its handle.
    virtual int addGroup(const QString &text, int image, int selectedImage) = 0;
    virtual void addItem(int group, const QString &text, qint32 code, int image, int selectedImage) = 0;
    // Sorts the direct children of the node by their text.
    virtual void sortChildren(int group) = 0;
    virtual void expandAll() = 0;
};

// Rows of (group text, item text, item code), ordered by group: a group node
// for each new group text (only one in the one-group mode) and one item per
// row under it. Returns the number of items added.
int FillTreeFromQuery(TreeFillTarget *tree, const QString &sql, int groupImage, int unused, int itemImage,
                      int itemSelectedImage, bool sortItems, bool expandAll, bool oneGroup);
