#include "app/base/CZqApp.h"
#include "app/base/Paths.h"
#include "platform/Settings.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>

class CZqAppSettings : public TavrelTest
{
protected:
    CZqApp app;

    QString iniText()
    {
        platform::Settings::sync();
        QFile f(platform::Settings::fileName());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(CZqAppSettings, RangesDefaultsAndDeletion)
{
    app.WriteSettingInt(QStringLiteral("NewItem-From"), 40);
    EXPECT_EQ(app.GetSettingIntInRange(QStringLiteral("NewItem-From"), 21, 31, 21), 31);
    app.WriteSettingInt(QStringLiteral("NewItem-From"), 3);
    EXPECT_EQ(app.GetSettingIntInRange(QStringLiteral("NewItem-From"), 21, 31, 21), 21);

    app.WriteSettingText(QStringLiteral("PriceBook-Quantity"), QStringLiteral("250"));
    app.WriteSettingText(QStringLiteral("PriceBook-Quantity"), QString());
    QString q;
    app.GetSettingText(q, QStringLiteral("PriceBook-Quantity"), QStringLiteral("500"));
    EXPECT_EQ(q, QStringLiteral("500"));
    EXPECT_FALSE(iniText().contains(QStringLiteral("PriceBook-Quantity")));
}

TEST_F(CZqAppSettings, FoldersGetOneTrailingSeparator)
{
    QString folder;
    app.WriteSettingText(QStringLiteral("ExportPath"), QStringLiteral("/shop/Exports"));
    EXPECT_EQ(app.GetSettingFolder(folder, QStringLiteral("ExportPath"), QString()),
              QStringLiteral("/shop/Exports") + FolderSeparator());
    app.WriteSettingText(QStringLiteral("ExportPath"), QStringLiteral("C:\\Tavrel\\"));
    EXPECT_EQ(app.GetSettingFolder(folder, QStringLiteral("ExportPath"), QString()), QStringLiteral("C:\\Tavrel\\"));
    QString empty;
    AddTrailingBackslash(empty);
    EXPECT_EQ(empty, QString(FolderSeparator()));
}

TEST_F(CZqAppSettings, FormPrintersKeepNameAndCopies)
{
    app.WriteFormPrinter(12, QStringLiteral("Counter Laser"), 3);
    QString name;
    int copies = 0;
    app.GetFormPrinter(12, name, copies);
    EXPECT_EQ(name, QStringLiteral("Counter Laser"));
    EXPECT_EQ(copies, 3);
    EXPECT_TRUE(iniText().contains(QStringLiteral("12=Counter Laser \u00B7 3")));

    app.WriteSettingText(QStringLiteral("100"), QStringLiteral("Back Office"), CZqApp::kPrinters);
    app.GetFormPrinter(0, name, copies); // form 0 reads the list form's printer
    EXPECT_EQ(name, QStringLiteral("Back Office"));
    EXPECT_EQ(copies, 1);
    app.WriteFormPrinter(7, QStringLiteral("Tags"), 0);
    app.GetFormPrinter(7, name, copies);
    EXPECT_EQ(copies, 1);
    EXPECT_FALSE(app.SelectFormPrinter(8)); // nothing stored: the default printer
}

TEST_F(CZqAppSettings, EmailBlockRoundTrips)
{
    app.LoadEmailSettings();
    EXPECT_EQ(app.emailSettings().DownloadTo, QStringLiteral("c:\\"));
    app.emailSettings().LogonName = QStringLiteral("counter");
    app.emailSettings().AutoReply = 1;
    app.SaveEmailSettings();
    CZqApp other;
    other.LoadEmailSettings();
    EXPECT_EQ(other.emailSettings().LogonName, QStringLiteral("counter"));
    EXPECT_EQ(other.emailSettings().AutoReply, 1);
    EXPECT_TRUE(iniText().contains(QStringLiteral("[Email%20Settings]")));
}

TEST_F(CZqAppSettings, WindowPlacementNeedsTenNumbersAndNeverReopensMinimised)
{
    QWidget w;
    w.setGeometry(40, 50, 800, 600);
    EXPECT_FALSE(app.SaveWindowPos(QStringLiteral("MainFrame"), &w)); // before the view settings are loaded
    EXPECT_FALSE(iniText().contains(QStringLiteral("MainFrame")));

    app.setPlacementSaving(true);
    EXPECT_TRUE(app.SaveWindowPos(QStringLiteral("MainFrame"), &w));
    CZqApp::WindowPlacement p;
    EXPECT_EQ(app.ReadWindowPlacement(QStringLiteral("MainFrame"), p), 1);
    EXPECT_EQ(p.right - p.left, 800);

    app.WriteSettingText(QStringLiteral("Job Window"), QStringLiteral("0,2,-1,-1,-1,-1,10,10,500,400"), CZqApp::kWindowPos);
    EXPECT_EQ(app.ReadWindowPlacement(QStringLiteral("Job Window"), p), 1);
    app.WriteSettingText(QStringLiteral("Job Window"), QStringLiteral("0,1,-1,-1,-1,-1,10,10,500"), CZqApp::kWindowPos);
    EXPECT_EQ(app.ReadWindowPlacement(QStringLiteral("Job Window"), p), 0);
}

// A placement stored on a monitor no longer attached, or larger than any
// screen, is restored onto the screens there are.
TEST_F(CZqAppSettings, StoredPlacementIsKeptOnTheScreens)
{
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    const struct
    {
        QRect wanted;
        QRect placed;
    } cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},       // on a screen: as stored
        {{-5000, -5000, 800, 600}, {0, 0, 800, 600}},       // off every screen: the fallback's corner
        {{0, 0, 32767, 32767}, {0, 0, 1920, 1080}},         // larger than any screen
        {{1800, 50, 800, 600}, {1920, 50, 800, 600}},       // mostly on the right screen
        {{1500, 50, 800, 600}, {1120, 50, 800, 600}},       // mostly on the left one: pulled back in
        {{3000, 900, 400, 300}, {2800, 724, 400, 300}},     // past the right screen's corner
        {{1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}},     // exactly the right screen
        {{1921, 1, 1280, 1024}, {1920, 0, 1280, 1024}},     // one past it each way
        {{10, 10, 0, 0}, {10, 10, 1, 1}},                   // no size at all
        {{900, 700, -800, -600}, {100, 100, 800, 600}},     // edges the wrong way round
    };
    for (const auto &c : cases)
        EXPECT_EQ(CZqApp::PlaceOnScreens(c.wanted, QMargins(), {left, right}, left), c.placed) << c.wanted.x();
    // The window's frame stays on the screen too.
    EXPECT_EQ(CZqApp::PlaceOnScreens({-5000, -5000, 800, 600}, QMargins(4, 30, 4, 4), {left}, left),
              QRect(4, 30, 800, 600));
    EXPECT_EQ(CZqApp::PlaceOnScreens({0, 0, 32767, 32767}, QMargins(4, 30, 4, 4), {left}, left),
              QRect(4, 30, 1912, 1046));
    // A frame wider than a tiny screen: the window alone is kept on it.
    EXPECT_EQ(CZqApp::PlaceOnScreens({50, 50, 300, 200}, QMargins(4, 30, 4, 4), {QRect(0, 0, 6, 20)},
                                     QRect(0, 0, 6, 20)),
              QRect(0, 0, 6, 20));
    // No screen known at all: as stored.
    EXPECT_EQ(CZqApp::PlaceOnScreens({-5000, -5000, 800, 600}, QMargins(), {}, QRect()), QRect(-5000, -5000, 800, 600));

    // Restored for real on the screen there is.
    app.setPlacementSaving(true);
    QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    for (const char *stored : {"0,1,-1,-1,-1,-1,-5000,-5000,-4200,-4400", "0,1,-1,-1,-1,-1,0,0,32767,32767",
                               "0,1,-1,-1,-1,-1,-2147483000,0,2147483000,600"}) {
        app.WriteSettingText(QStringLiteral("MainFrame"), QString::fromLatin1(stored), CZqApp::kWindowPos);
        QWidget w;
        ASSERT_TRUE(app.RestoreWindowPlacement(QStringLiteral("MainFrame"), &w));
        EXPECT_TRUE(area.contains(w.geometry())) << stored;
        EXPECT_GT(w.width(), 0);
    }
}

#include <QtGui/QKeyEvent>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>

TEST_F(CZqAppSettings, AcceleratorsFollowTheTableAndDeleteOnlyInLists)
{
    EXPECT_EQ(CZqApp::AcceleratorTable().size(), 65u);
    QLineEdit edit;
    QListView list;
    const QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, del), 0);
    EXPECT_EQ(app.TranslateAppAccelerator(&list, del), 30113);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, QKeyEvent(QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier)), 30213);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, QKeyEvent(QEvent::KeyPress, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier)), 30001);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier)), 30239);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier)), 0);
    // Ctrl+A selects a field's text, Ctrl+End moves in it; in a list they are commands.
    const QKeyEvent all(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    const QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, all), 0);
    EXPECT_EQ(app.TranslateAppAccelerator(&edit, end), 0);
    EXPECT_EQ(app.TranslateAppAccelerator(&list, all), 30115);
    EXPECT_EQ(app.TranslateAppAccelerator(&list, end), 59649);
    app.setAcceleratorsLoaded(false);
    EXPECT_EQ(app.TranslateAppAccelerator(&list, del), 0);
}

TEST_F(CZqAppSettings, TrackOptionsWorkdaysAndSmallOptionServices)
{
    app.SetTrackOptionsText(QStringLiteral("0,8:00,17:00, 0,1,1,0,"));
    EXPECT_EQ(app.trackStart(), 480);
    EXPECT_EQ(app.trackEnd(), 1020);
    EXPECT_EQ(app.GetTrackOptionInt(3), 0);
    EXPECT_EQ(app.GetTrackOptionInt(1), 8);
    QString t;
    EXPECT_EQ(app.GetTrackOptionText(t, 20), QString());
    app.SetTrackOptionsText(QStringLiteral("0,17:00,8:00,"));
    EXPECT_EQ(app.trackStart(), 0);
    EXPECT_EQ(app.trackEnd(), 0);

    app.SetShopOptionsText(QStringLiteral("3,0,0,"));
    EXPECT_TRUE(app.printingMethodFlag());
    QDate saturday(2011, 3, 19);
    EXPECT_EQ(app.SkipClosedDay(&saturday, true), 2);
    EXPECT_EQ(saturday, QDate(2011, 3, 21));
    app.SetShopOptionsText(QStringLiteral("0,0,1,"));
    QDate sat2(2011, 3, 19);
    EXPECT_EQ(app.SkipClosedDay(&sat2, false), 1);
    QDate wednesday(2011, 3, 16);
    EXPECT_EQ(app.SkipClosedDay(&wednesday, true), 0);

    app.m_nSecurityLevel = 3;
    EXPECT_EQ(app.GetSecurityGlyph(), QLatin1Char(']'));
    app.m_nSecurityLevel = -1;
    EXPECT_EQ(app.GetSecurityGlyph(), QLatin1Char(','));
    EXPECT_EQ(CZqApp::GetConvertOptionId(2, 2), 0);
    EXPECT_EQ(CZqApp::GetConvertOptionId(5, 0), 44325);
    EXPECT_EQ(CZqApp::GetConvertOptionId(3, 1), 44322);

    EXPECT_TRUE(app.IsTabShown(30008));
    app.SetShownTabs(1 | 2 | 16);
    EXPECT_TRUE(app.IsTabShown(30002));
    EXPECT_FALSE(app.IsTabShown(30003));
    EXPECT_FALSE(app.IsTabShown(30009));
}
