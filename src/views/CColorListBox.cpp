#include "views/CColorListBox.h"

#include "app/base/Colours.h"

#include <QtGui/QPainter>
#include <QtWidgets/QStyledItemDelegate>

namespace {

// Draws the top-left edges in one colour and the bottom-right in another.
void frame3d(QPainter &p, const QRect &r, ColorRef topLeft, ColorRef bottomRight)
{
    p.setPen(ColorRefToQColor(topLeft));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(ColorRefToQColor(bottomRight));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

class SwatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), CColorListBox::kItemHeight);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int hue = index.data(Qt::UserRole).toInt();
        // Shades at normal intensity, then the workstation's own again.
        const std::uint8_t saved = GetColorIntensity();
        SetColorIntensity(120);
        const ColorRef shade3 = GetHueShade(hue, 3);
        const ColorRef shade4 = GetHueShade(hue, 4);
        const ColorRef shade5 = GetHueShade(hue, 5);
        SetColorIntensity(saved);

        painter->save();
        const QRect r = option.rect.adjusted(0, 0, -1, -1);
        painter->fillRect(option.rect, ColorRefToQColor(shade4));
        if (option.state & QStyle::State_Selected)
            frame3d(*painter, r, shade5, shade4);
        else
            frame3d(*painter, r, shade3, shade5);
        painter->restore();
    }
};

} // namespace

CColorListBox::CColorListBox(QWidget *parent) : QListWidget(parent)
{
    setSortingEnabled(false);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new SwatchDelegate(this));
}

void CColorListBox::AddHue(int hue)
{
    auto *item = new QListWidgetItem(QString::number(hue), this);
    item->setData(Qt::UserRole, hue);
    item->setSizeHint(QSize(0, kItemHeight));
}

int CColorListBox::FindHue(int hue) const
{
    for (int i = 0; i < count(); ++i)
        if (HueOf(item(i)) == hue)
            return i;
    return -1;
}

int CColorListBox::HueOf(const QListWidgetItem *item)
{
    return item ? item->data(Qt::UserRole).toInt() : 0;
}
