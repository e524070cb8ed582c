#include "ControlsFixture.h"

#include "app/base/ImageList.h"
#include "controls/CXEdit.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "controls/CXRibbon.h"
#include "controls/CXStatic.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/CXWnd.h"
#include "controls/DrawTextFormat.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtGui/QPainter>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

#include <iostream>

// Renders every control in its styles into PNG files of the build folder, for
// looking at them; each picture must hold more than one colour.
class GalleryTest : public ControlsTest
{
protected:
    QString save(const QPixmap &picture, const QString &name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/gallery");
        QDir().mkpath(folder);
        const QString path = folder + QLatin1Char('/') + name;
        EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
        std::cout << "gallery: " << path.toStdString() << std::endl;
        const QImage image = picture.toImage();
        bool varied = false;
        const QRgb first = image.pixel(0, 0);
        for (int y = 0; y < image.height() && !varied; y += 3)
            for (int x = 0; x < image.width() && !varied; x += 3)
                varied = image.pixel(x, y) != first;
        EXPECT_TRUE(varied) << name.toStdString();
        return path;
    }

    void resizeHost(int w, int h)
    {
        host->resize(w, h);
        host->setAutoFillBackground(true);
        QPalette pal = host->palette();
        pal.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
        host->setPalette(pal);
    }
};

TEST_F(GalleryTest, PanelsInEveryBackgroundAndBorderStyle)
{
    resizeHost(760, 420);
    std::vector<std::unique_ptr<CXWnd>> panels;
    for (int style = 1; style <= 25; ++style) {
        const int i = style - 1;
        const unsigned id = 100 + unsigned(style);
        placeholder(id, QRect(10 + (i % 5) * 148, 10 + (i / 5) * 52, 140, 44));
        auto panel = std::make_unique<CXWnd>();
        panel->CreateFromItem(host.get(), id, 210, std::uint8_t(style), 2, 2, 2085,
                              QStringLiteral("Style %1").arg(style));
        panels.push_back(std::move(panel));
    }
    const int borders[] = {1, 2, 3, 4, 6, 7, 8, 9, 10, 16, 16 | 32 | 64 | 128};
    int i = 0;
    for (int border : borders) {
        const unsigned id = 200 + unsigned(i);
        placeholder(id, QRect(10 + (i % 6) * 123, 280 + (i / 6) * 40, 115, 32));
        auto panel = std::make_unique<CXWnd>();
        panel->CreateFromItem(host.get(), id, 30, 6, std::uint8_t(border), 2, 2085,
                              QStringLiteral("Border %1").arg(border));
        panels.push_back(std::move(panel));
        ++i;
    }
    placeholder(300, QRect(10, 360, 300, 52));
    auto twoLine = std::make_unique<CXWnd>();
    twoLine->CreateFromItem(host.get(), 300, 120, 2, 1, 3, 2084, QStringLiteral("Two-line panel"));
    twoLine->SetTexts(QStringLiteral("Two-line panel"), QStringLiteral("The second text wraps below the caption band."));
    twoLine->SetImage(6, 131);
    placeholder(301, QRect(320, 360, 200, 52));
    auto embossed = std::make_unique<CXWnd>();
    embossed->CreateFromItem(host.get(), 301, 210, 4, 1, 7, 2085, QStringLiteral("Embossed"));
    panels.push_back(std::move(twoLine));
    panels.push_back(std::move(embossed));
    save(host->grab(), QStringLiteral("panels.png"));
}

TEST_F(GalleryTest, RibbonsInEveryBarStyle)
{
    resizeHost(820, 560);
    placeholder(1901, QRect(0, 0, 700, 40));
    CXRibbon top;
    ASSERT_TRUE(top.Create(host.get(), 1901, 210, 1, 131, 8, 32, 0, 0, 0, 30));
    top.AddItem(30281, QStringLiteral("Customers"), 4, 132, 149, 4, 2084, 0, 0, 150);
    top.AddButton(30100, QStringLiteral("New"), 0, 131, 187);
    top.AddButton(30102, QStringLiteral("Edit"), 3, 131, 169);
    top.AddButton(30113, QStringLiteral("Delete"), 0, 131, 200);
    top.AddSpacer(20, 5);
    top.AddItem(30540, QStringLiteral("Sort"), 0, 131, 178, 2, 2084, 0, 0, 80, 31000, 0, QStringLiteral("A,B,"));
    top.AddItem(30330, QString(), 0, 131, 190, 2, 2085, 0, 0, 30, 0, 0, QStringLiteral("Print this window as shown"));
    top.AddItem(30418, QString(), 0, 131, 219, 2, 2085, 0, 0, 40, 0, 0, QStringLiteral("Brief Help"));
    top.AddCloseButton();
    hover(&top, top.itemRect(30113).center());

    placeholder(1902, QRect(0, 50, 700, 70));
    CXRibbon tabs;
    ASSERT_TRUE(tabs.Create(host.get(), 1902, 120, 1, 131, 6, 0, 2, 0, 0, 30));
    tabs.AddLabel(30000, QStringLiteral("Home"), 0, 70);
    tabs.AddLabel(30001, QStringLiteral("Jobs"), 2, 70);
    tabs.AddLabel(30002, QStringLiteral("Services"), 0, 70);
    tabs.AddLabel(30671, QStringLiteral("Help"), 0, 24);
    tabs.SetItemLayout(30671, 31100, 1);
    tabs.AddButton(1, QStringLiteral("Orders"), 2, 131, 24);
    tabs.AddButton(2, QStringLiteral("Quotes"), 0, 131, 25);
    tabs.AddButton(3, QStringLiteral("Templates"), 0, 131, 26);

    placeholder(1903, QRect(0, 130, 700, 34));
    CXRibbon nav;
    ASSERT_TRUE(nav.Create(host.get(), 1903, 30, 1, 131, 7, 16, 3, 0, 3, 26));
    nav.AddNavigationGroup();
    nav.AddSpacer(12, 0);
    nav.AddChartTypeGroup();
    nav.EnableItem(3000, true);
    nav.EnableItem(3002, true);
    nav.CheckRadioItem(3000, 3004, 3002, 2, true);

    placeholder(1904, QRect(0, 174, 700, 76));
    CXRibbon big;
    ASSERT_TRUE(big.Create(host.get(), 1904, 270, 0, 132, 11, 0, 4, 0, 1, 0));
    big.AddButton(1, QStringLiteral("Print"), 0, 132, 3);
    big.AddButton(2, QStringLiteral("Reminders"), 2, 132, 83);
    big.AddButton(3, QStringLiteral("Locked"), 3, 132, 44);
    big.AddButton(4, QStringLiteral("Close"), 0, 132, 6);

    placeholder(1905, QRect(0, 260, 700, 56));
    CXRibbon panels;
    ASSERT_TRUE(panels.Create(host.get(), 1905, 190, 4, 132, 5, 0, 4, 4, 0, 0));
    panels.AddItem(10, QStringLiteral("Balance"), 0, 0, 255, 3, 2085, 0, 1, 200, 0, 0,
                   QStringLiteral("Open \u00B7 1,234.50"));
    panels.AddItem(11, QString(), 4, 0, 255, 2, 2086, 0, 1, 200, 0, 0, QStringLiteral("Right-aligned panel text"));
    panels.AddItem(8900, QString(), 0, 132, 84, 2, 2084, 0, 1, 220);
    panels.SetReminderCounts(2, 5, false);
    panels.BlinkItem(8900, false);

    placeholder(1906, QRect(710, 0, 100, 540));
    CXRibbon side;
    ASSERT_TRUE(side.Create(host.get(), 1906, 90, 1, 131, 10, 0, 2, 4, 0, 0));
    side.AddItem(101, QStringLiteral("Open"), 0, 131, 169, 2, 2084, 0, 2, 30);
    side.AddItem(102, QStringLiteral("More"), 0, 131, 178, 2, 2084, 0, 2, 30, 31200, 0, QStringLiteral("X,Y,"));
    side.AddSpacer(10, 1);
    side.AddItem(1, QStringLiteral("OK"), 0, 131, 223, 2, 2084, 0, 2, 30);
    side.AddItem(2, QStringLiteral("Close"), 0, 131, 224, 2, 2084, 0, 2, 30);

    placeholder(1907, QRect(0, 330, 700, 30), QStringLiteral("Job 1043 - Business cards"));
    CXRibbon title;
    ASSERT_TRUE(title.CreateWithText(host.get(), 1907, 210, 131, 14, 0, 0, 0, 0, 24));
    title.SetItemColor(1907, 14);
    title.SetItemStyle(1907, 4);

    placeholder(1908, QRect(0, 370, 700, 40));
    CXRibbon styleTwo;
    ASSERT_TRUE(styleTwo.Create(host.get(), 1908, 150, 2, 131, 6, 32, 2, 0, 4, 36));
    styleTwo.AddButton(1, QStringLiteral("Day"), 0, 131, 128);
    styleTwo.AddButton(2, QStringLiteral("Week"), 0, 131, 129);
    styleTwo.AddButton(3, QStringLiteral("Month"), 2, 131, 140);
    styleTwo.SetBarStyle(2);
    styleTwo.AddItem(4, QStringLiteral("Blinking"), 0, 131, 233, 2, 2084, 25, 2, 100);

    save(host->grab(), QStringLiteral("ribbons.png"));
}

TEST_F(GalleryTest, TreesWithFoldersAndOptions)
{
    resizeHost(560, 360);
    auto *tree = new CXTreeCtrl(host.get());
    tree->setGeometry(10, 10, 260, 340);
    tree->SetImageListAndFont(131, 2);
    HTREEITEM jobs = tree->AddBranch(QStringLiteral("Jobs,Orders,Quotes,__Other,Templates,History,"), 100, 1, -1);
    tree->AddBranch(QStringLiteral("Customers,Active,On Hold,Hidden,"), 200, 6, -1);
    HTREEITEM reports = tree->AddRootItem(QStringLiteral("Reports"), 2);
    tree->AddTextItem(reports, QStringLiteral("More Reports"), 252);
    tree->AddItem(reports, QStringLiteral("Sales"), 301, 9, -1);
    tree->SetDrawStyle(2, 0, 255, 255);
    tree->ExpandItem(jobs, TVE_EXPAND);
    tree->ExpandItem(tree->FindItemByData(200), TVE_EXPAND);
    tree->SelectAndShow(tree->FindItemByData(101));
    tree->show();

    auto *options = new CXTreeOptCtrl(host.get());
    options->setGeometry(280, 10, 270, 340);
    options->SetImageListAndFont(131, 2);
    options->SetClickToExpand(true);
    options->LoadOptions(QString(), QStringLiteral("Front,Back,__Finishing,Fold,Drill,Pad,"), 5, 158, true, false);
    HTREEITEM paper = options->AddRootGroup(QStringLiteral("Paper"), 6);
    options->AddRadio(20, QStringLiteral("Gloss"), paper, true);
    options->AddRadio(21, QStringLiteral("Matte"), paper, false);
    options->AddRadio(22, QStringLiteral("Uncoated"), paper, false);
    options->ExpandItem(paper, TVE_EXPAND);
    options->SetDrawStyle(2, 0, 255, 255);
    options->show();
    save(host->grab(), QStringLiteral("trees.png"));
}

TEST_F(GalleryTest, PropertyGridWithEveryRowKind)
{
    resizeHost(380, 470);
    placeholder(1500, QRect(10, 10, 350, 400));
    CXGridProp grid;
    grid.AddCaption(QStringLiteral("Customer"), 0, 149);
    grid.AddRow(1, QStringLiteral("Name"));
    grid.AddTextRow(QStringLiteral("Number"), QStringLiteral("1043"));
    const int terms = grid.AddListRow(2, QStringLiteral("Terms"), QStringLiteral("Net 10,Net 30,~Old Terms,"));
    const int taxable = grid.AddListRow(2, QStringLiteral("Taxable"), QString());
    const int shipVia = grid.AddListRow(3, QStringLiteral("Ship Via"), QStringLiteral("UPS,Courier,Pickup,"));
    grid.AddSection(QStringLiteral("Amounts"), 30400, 237);
    const int limit = grid.AddRow(8, QStringLiteral("Credit Limit"), QStringLiteral("$"));
    const int rate = grid.AddRow(7, QStringLiteral("Discount %"), QStringLiteral("%3"));
    const int time = grid.AddRow(5, QStringLiteral("Setup Time"), QStringLiteral(":"));
    grid.AddRow(1, QStringLiteral("Note"), QString(), 1, 0, 197, 8);
    grid.AddRow(1, QStringLiteral("Open Web Page"), QString(), 1, 30500, 255);
    grid.AddCaption(QStringLiteral("Dark caption"), 0, 255, 3, 14, 2);
    ASSERT_TRUE(grid.CreateInDlgItem(host.get(), 1500, 210, 120));
    grid.SetSaveMode(0);
    QString name = QStringLiteral("Halvane Print Works");
    grid.ExchangeText(1, name);
    qint32 value = 1;
    grid.ExchangeLong(terms, value);
    value = 1;
    grid.ExchangeLong(taxable, value);
    QString ship = QStringLiteral("Courier");
    grid.ExchangeText(shipVia, ship);
    value = 250000;
    grid.ExchangeLong(limit, value);
    value = -15;
    grid.ExchangeLong(rate, value);
    value = 95;
    grid.ExchangeLong(time, value);
    grid.EditRow(limit);
    save(host->grab(), QStringLiteral("gridprop.png"));
}

TEST_F(GalleryTest, CellGridWithHeaderEditorsAndColours)
{
    resizeHost(600, 260);
    CXGridCtrl grid;
    grid.AddColumn(QStringLiteral("#"), 30, 6, QStringLiteral("%3"), 0, DT_RIGHT);
    grid.AddColumn(QStringLiteral("Description"), 190, 1, QStringLiteral("&40"));
    grid.AddColumn(QStringLiteral("Unit"), 80, 2);
    grid.AddColumn(QStringLiteral("Unit\nPrice"), 80, 8, QStringLiteral("2"), 1, DT_RIGHT);
    grid.AddColumn(QStringLiteral("Hidden"), 5, 1);
    grid.AddColumn(QStringLiteral("Total"), 90, 8, QStringLiteral("2"), 0, DT_RIGHT);
    grid.AddPickItems(2, 0, QStringLiteral("Each,Box,Sheet,"));
    grid.SetRows(9, 7);
    grid.NumberRows();
    const char *items[] = {"Business cards", "Letterhead", "Envelopes #10", "", "Brochure, tri-fold",
                           "Postcards", "Labels", "Folders", ""};
    for (int r = 0; r < 9; ++r) {
        grid.SetCellText(r, 1, QString::fromLatin1(items[r]));
        grid.SetCellValue(r, 2, r % 3);
        grid.SetCellValue(r, 3, 1250 * (r + 1));
        grid.SetCellValue(r, 5, 1250 * (r + 1) * 10);
    }
    grid.SetCaptionRow(3, true);
    grid.SetCellText(3, 0, QStringLiteral("Second group"));
    grid.SetCellImage(1, 1, 186);
    grid.SetCellColor(4, 5, 21);
    grid.SetRowColors(true, 14);
    grid.SetHeaderHeight(34);
    ASSERT_TRUE(grid.Create(host.get(), 1600, 10, 10));
    grid.SetColorScheme(30);
    grid.EditCell(2, 3);
    save(host->grab(), QStringLiteral("gridctrl.png"));
}

TEST_F(GalleryTest, EveryPictureOfTheImageLists)
{
    for (unsigned id : {131u, 132u, 133u}) {
        const ImageList *list = Appearance::instance().GetImageList(id);
        ASSERT_NE(list, nullptr);
        const int size = list->iconSize().width();
        const int cell = size + 26;
        const int perRow = id == 133 ? 10 : 20;
        const int rows = (list->imageCount() + perRow - 1) / perRow;
        QPixmap sheet(perRow * cell, rows * (cell + 4));
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(9);
        painter.setFont(font);
        for (int i = 0; i < list->imageCount(); ++i) {
            const int x = (i % perRow) * cell;
            const int y = (i / perRow) * (cell + 4);
            painter.setPen(QColor(0xDD, 0xDD, 0xDD));
            painter.drawRect(x, y, cell - 1, cell + 3);
            list->draw(painter, i, QPoint(x + 13, y + 2), false);
            painter.setPen(Qt::black);
            painter.drawText(QRect(x, y + size + 4, cell, 14), Qt::AlignCenter, QString::number(i));
        }
        painter.end();
        save(sheet, QStringLiteral("icons%1.png").arg(id));
    }
}

TEST_F(GalleryTest, TypedEditsAndColouredStatic)
{
    resizeHost(420, 120);
    auto *money = new CXEdit(host.get());
    money->setGeometry(10, 10, 120, 24);
    money->SetType(QStringLiteral("$"), 8);
    money->SetValue(123456);
    auto *minutes = new CXEdit(host.get());
    minutes->setGeometry(140, 10, 80, 24);
    minutes->SetType(QStringLiteral(":"), 5);
    minutes->SetValue(95);
    auto *stat = new CXStatic(host.get());
    stat->setGeometry(10, 50, 300, 30);
    stat->setText(QStringLiteral("  Coloured static text"));
    stat->SetColors(GetHueShade(120, 2), GetHueShade(120, 5), true);
    for (QWidget *w : host->findChildren<QWidget *>())
        w->show();
    save(host->grab(), QStringLiteral("edits.png"));
}
