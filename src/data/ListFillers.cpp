#include "data/ListFillers.h"

#include "data/CXDaoSet.h"
#include "app/base/DialogControls.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>

namespace {

// Selected image of the group nodes of a filled tree.
constexpr int kGroupSelectedImage = 36;

void addEntry(QComboBox *combo, QListWidget *list, const QString &text, qint32 code)
{
    if (combo) {
        combo->addItem(text, QVariant(code));
    } else if (list) {
        auto *item = new QListWidgetItem(text, list);
        item->setData(Qt::UserRole, QVariant(code));
    }
}

QString withoutTrailingBlanks(QString text)
{
    int end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    text.truncate(end);
    return text;
}

} // namespace

void FillFromQuery(QComboBox *combo, QListWidget *list, const QString &sql)
{
    if ((!combo && !list) || sql.isEmpty())
        return;
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql, CXDaoSet::dbForwardOnly);
    if (!set.IsOpen())
        return;
    // A combo selects its first entry by itself; the filler selects nothing.
    const bool keepUnselected = combo && combo->currentIndex() < 0;
    try {
        while (!set.IsEOF()) {
            const platform::Value text = set.GetFieldValue(1);
            addEntry(combo, list, withoutTrailingBlanks(text.isNull() ? QString() : text.toString()),
                     set.GetLong(0));
            set.MoveNext();
        }
    } catch (const platform::DbException &) {
        // a row that cannot be read ends the list
    }
    if (keepUnselected)
        combo->setCurrentIndex(-1);
    set.Close();
}

void FillListFromQuery(QWidget *dialog, int controlId, const QString &sql)
{
    QWidget *control = GetDlgItem(dialog, unsigned(controlId));
    if (IsListBoxControlId(controlId))
        FillFromQuery(nullptr, qobject_cast<QListWidget *>(control), sql);
    else
        FillFromQuery(qobject_cast<QComboBox *>(control), nullptr, sql);
}

void FillFieldList(QComboBox *combo, QListWidget *list, const QString &table)
{
    if (!combo && !list)
        return;
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM %1").arg(table), CXDaoSet::dbForwardOnly);
    if (set.IsEmptySet())
        return;
    const int count = set.GetFieldCount();
    for (int i = 0; i < count; ++i) {
        platform::FieldType type = set.GetFieldType(i);
        if (type == platform::FieldType::Memo)
            type = platform::FieldType::Text;
        addEntry(combo, list, table + QLatin1Char('.') + set.GetFieldName(i), qint32(type));
    }
    if (combo)
        combo->setCurrentIndex(0);
    else
        list->setCurrentRow(0);
}

int FillTreeFromQuery(TreeFillTarget *tree, const QString &sql, int groupImage, int unused, int itemImage,
                      int itemSelectedImage, bool sortItems, bool expandAll, bool oneGroup)
{
    Q_UNUSED(unused);
    if (!tree)
        return 0;
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql, CXDaoSet::dbForwardOnly);
    tree->clear();
    if (set.IsEmptySet())
        return 0;

    int added = 0;
    int group = -1;
    QString groupText;
    try {
        for (bool first = true; !set.IsEOF(); first = false) {
            QString rowGroup;
            set.GetFieldString(0, rowGroup);
            const platform::Value text = set.GetFieldValue(1);
            const qint32 code = set.GetLong(2);
            if (first || (!oneGroup && rowGroup != groupText)) {
                if (group >= 0 && sortItems)
                    tree->sortChildren(group);
                group = tree->addGroup(rowGroup, groupImage, kGroupSelectedImage);
                groupText = rowGroup;
            }
            tree->addItem(group, text.isNull() ? QString() : text.toString(), code, itemImage, itemSelectedImage);
            ++added;
            set.MoveNext();
        }
    } catch (const platform::DbException &) {
        // a row that cannot be read ends the tree
    }
    if (group >= 0 && sortItems)
        tree->sortChildren(group);
    if (expandAll)
        tree->expandAll();
    return added;
}
