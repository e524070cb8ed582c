#include "shell/ScriptedLayout.h"

#include "platform/UserFile.h"

#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"

#include <QtCore/QTextStream>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTreeWidget>

#include <algorithm>

namespace {

QString oneLine(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString rectText(const QRect &r)
{
    return QStringLiteral("%1\t%2\t%3\t%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void addTree(QTextStream &out, QTreeWidget *tree, QTreeWidgetItem *item)
{
    const QRect r = tree->visualItemRect(item);
    if (r.isValid() && tree->viewport()->rect().contains(r.center()))
        out << "tree\t" << rectText(QRect(tree->viewport()->mapToGlobal(r.topLeft()), r.size())) << '\t'
            << oneLine(item->text(0)) << '\n';
    if (item->isExpanded())
        for (int i = 0; i < item->childCount(); ++i)
            addTree(out, tree, item->child(i));
}

} // namespace

ScriptedLayout::ScriptedLayout()
{
    m_path = qEnvironmentVariable("TAVREL_LAYOUT_FILE");
    if (m_path.isEmpty())
        return;
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &ScriptedLayout::write);
    m_timer->start(200);
}

void ScriptedLayout::write()
{
    QString text;
    QTextStream out(&text);
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops) {
        if (!top->isVisible())
            continue;
        if (auto *menu = qobject_cast<QMenu *>(top)) {
            for (QAction *action : menu->actions()) {
                if (action->isSeparator() || !action->isVisible())
                    continue;
                const QRect r = menu->actionGeometry(action);
                out << "menu\t" << action->data().toInt() << '\t'
                    << rectText(QRect(menu->mapToGlobal(r.topLeft()), r.size())) << '\t' << oneLine(action->text())
                    << '\n';
            }
            continue;
        }
        out << "window\t" << top->metaObject()->className() << '\t' << oneLine(top->windowTitle()) << '\t'
            << rectText(top->frameGeometry()) << '\n';
        if (auto *box = qobject_cast<QMessageBox *>(top))
            out << "message\t" << oneLine(box->text()) << '\n';
        const auto bars = top->findChildren<CXRibbon *>();
        for (CXRibbon *bar : bars) {
            if (!bar->isVisible() || bar->window() != top)
                continue;
            for (int i = 0; i < bar->GetItemCount(); ++i) {
                const struct_RIB_ITEM &item = bar->itemAt(i);
                if (item.id == 0 || item.state == struct_RIB_ITEM::Hidden)
                    continue;
                const QRect r = bar->itemRect(item.id);
                if (!r.isValid() || r.right() >= bar->width())
                    continue;
                out << "item\t" << item.id << '\t' << item.state << '\t'
                    << rectText(QRect(bar->mapToGlobal(r.topLeft()), r.size())) << '\t' << oneLine(item.caption)
                    << '\t' << oneLine(item.text2) << '\n';
            }
        }
        // The cells of the cell grids in view: where each is, its row and
        // column and its text.
        const auto grids = top->findChildren<CXGridCtrl *>();
        for (CXGridCtrl *grid : grids) {
            if (!grid->isVisible() || grid->window() != top)
                continue;
            const int last = std::min(grid->GetRowCount(), grid->firstVisibleRow() + grid->visibleRowCount());
            for (int row = grid->firstVisibleRow(); row < last; ++row) {
                int left = 0;
                const int y = grid->GetHeaderHeight() + (row - grid->firstVisibleRow()) * grid->rowHeight();
                for (int column = 0; column < grid->GetColumnCount(); ++column) {
                    const int width = int(grid->GetColumnWidth(column));
                    out << "cell\t" << rectText(QRect(grid->mapToGlobal(QPoint(left, y)), QSize(width, grid->rowHeight())))
                        << '\t' << row << '\t' << column << '\t' << oneLine(grid->GetCellText(row, column)) << '\n';
                    left += width;
                }
            }
        }
        const auto lists = top->findChildren<CXListCtrl *>();
        for (CXListCtrl *list : lists) {
            if (!list->isVisible() || list->window() != top)
                continue;
            const QRect view = list->viewport()->rect();
            const QModelIndex last = list->indexAt(QPoint(view.left() + 1, view.bottom() - 1));
            const QScrollBar *bar = list->verticalScrollBar();
            out << "list\t" << rectText(QRect(list->mapToGlobal(QPoint(0, 0)), list->size())) << '\t'
                << list->GetItemCount() << '\t' << list->GetCurrentRow() << '\t'
                << (last.isValid() ? last.row() : list->GetItemCount() - 1) << '\t'
                << rectText(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())) << '\t' << bar->value() << '\t'
                << bar->maximum() << '\n';
            // Where its first columns are, by their header sections.
            const QHeaderView *header = list->header();
            for (int column = 0; column < std::min(list->GetColumnCount(), 8); ++column)
                out << "column\t"
                    << rectText(QRect(header->mapToGlobal(QPoint(header->sectionViewportPosition(column), 0)),
                                      QSize(header->sectionSize(column), header->height())))
                    << '\t' << column << '\n';
            // The rows in view: where each is (the view's width), its place,
            // its item data and the texts of its first columns.
            const int first = list->indexAt(QPoint(view.left() + 1, view.top() + 1)).row();
            const int lastRow = std::min(last.isValid() ? last.row() : list->GetItemCount() - 1, first + 80);
            for (int row = std::max(first, 0); first >= 0 && row <= lastRow; ++row) {
                const QRect r = list->visualRect(list->model()->index(row, 0));
                out << "row\t" << rectText(QRect(list->viewport()->mapToGlobal(QPoint(0, r.top())),
                                                  QSize(view.width(), r.height())))
                    << '\t' << row << '\t' << list->GetItemData(row);
                for (int column = 0; column < std::min(list->GetColumnCount(), 8); ++column)
                    out << '\t' << oneLine(list->GetItemText(row, column));
                out << '\n';
            }
        }
        const auto buttons = top->findChildren<QPushButton *>();
        for (QPushButton *button : buttons)
            if (button->isVisible() && button->window() == top && !button->text().isEmpty())
                out << "button\t" << rectText(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())) << '\t'
                    << oneLine(button->text().remove(QLatin1Char('&'))) << '\n';
        // The text fields: their object names, where they are, what they hold.
        const auto fields = top->findChildren<QLineEdit *>();
        for (QLineEdit *field : fields)
            if (field->isVisible() && field->echoMode() == QLineEdit::Normal)
                out << "field\t" << field->objectName() << '\t'
                    << rectText(QRect(field->mapToGlobal(QPoint(0, 0)), field->size())) << '\t'
                    << oneLine(field->text()) << '\n';
        // The named lines of text (a window's status line): where, what.
        const auto labels = top->findChildren<QLabel *>();
        for (QLabel *label : labels)
            if (label->isVisible() && label->window() == top && !label->objectName().isEmpty())
                out << "label\t" << label->objectName() << '\t'
                    << rectText(QRect(label->mapToGlobal(QPoint(0, 0)), label->size())) << '\t'
                    << oneLine(label->text()) << '\n';
        const auto trees = top->findChildren<QTreeWidget *>();
        for (QTreeWidget *tree : trees) {
            if (!tree->isVisible() || tree->window() != top)
                continue;
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                addTree(out, tree, tree->topLevelItem(i));
        }
    }
    out.flush();
    // Put in place in one rename over the old file: a reader finds the old
    // layout or the new one, never no file (as between a remove and a
    // rename) nor half of one.
    platform::UserFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(text.toUtf8());
    file.commit();
}
