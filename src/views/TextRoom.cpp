#include "views/TextRoom.h"

#include "app/base/Appearance.h"
#include "controls/CXRibbon.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QScreen>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <functional>

namespace {
constexpr unsigned kTitleItem = 30281;
constexpr int kTextIndent = 3;    // the ribbon draws a caption this far in
constexpr int kFrameAllowance = 40; // a window's title bar and borders
constexpr int kFrameWidth = 16;     // a window's borders beside it
} // namespace

QSize WindowRoom(const QWidget *window)
{
    const QScreen *screen = window ? window->screen() : nullptr;
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    return QSize(area.width() - kFrameWidth, area.height() - kFrameAllowance);
}

int TitleShortfall(const CXRibbon &ribbon, const QString &title, int font, const QWidget *dialog)
{
    const QRect item = ribbon.itemRect(kTitleItem);
    if (item.isNull() || title.isEmpty())
        return 0;
    const int needed = QFontMetrics(Appearance::instance().GetFont(font)).horizontalAdvance(title) + 2 * kTextIndent;
    int shortfall = std::max(0, needed - item.width());
    if (const QScreen *screen = dialog ? dialog->screen() : nullptr)
        shortfall = std::min(shortfall,
                             std::max(0, screen->availableGeometry().width() - kFrameAllowance - dialog->width()));
    return shortfall;
}

int TreeTextShortfall(const QTreeWidget &tree)
{
    const QAbstractItemModel *model = tree.model();
    int widest = 0;
    std::function<void(const QModelIndex &, int)> measure = [&](const QModelIndex &parent, int depth) {
        const int indent = tree.indentation() * (depth + (tree.rootIsDecorated() ? 1 : 0));
        for (int r = 0; r < model->rowCount(parent); ++r) {
            if (tree.isRowHidden(r, parent))
                continue;
            const QModelIndex index = model->index(r, 0, parent);
            widest = std::max(widest, indent + tree.sizeHintForIndex(index).width());
            measure(index, depth + 1); // collapsed entries may be opened
        }
    };
    measure(QModelIndex(), 0);
    // Measured on the tree's own width, which is set before the window first
    // shows (its viewport is laid out only then), leaving room for a
    // vertical scroll bar.
    const int room = tree.width() - 2 * tree.frameWidth() - tree.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max(0, widest - room);
}
