#include "RealProgramTest.h"

#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QStandardPaths>
#include <QtCore/QSet>
#include <QtCore/QThread>

#include <algorithm>
#include <climits>

#include <cstdio>
#include <functional>

// The real program on a virtual screen, driven by mouse clicks as a user
// would: every tab, every list-manager entry of the Home and Settings views
// and every ribbon menu, with a screenshot of each under build/tests/usable/.
// It runs only when TAVREL_XVFB_DISPLAY names a display (such as ":16"; CI
// starts one) and Xvfb, xdotool and import are installed; the test starts the
// virtual screen when none answers there, ends what it started and gives up
// after a few minutes.
namespace {

struct Spot
{
    QString kind; // window, item, tree, menu
    int id = 0;
    int state = 0;
    QRect rect;
    QString text;
};

class XvfbRun : public RealProgramTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import")}, 240000);
        if (IsSkipped())
            return;
        m_display = XvfbScreen::display();
        m_shots = QCoreApplication::applicationDirPath() + QStringLiteral("/usable");
        QDir().mkpath(m_shots);
    }
    bool run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        return p.waitForFinished(20000) && p.exitCode() == 0;
    }
    void pause(int ms) { QThread::msleep(ms); }
    // A long walk is bounded step by step: each step that is done gives the
    // next one the whole time again, so that only a program that freezes
    // (or a step that never ends) reaches the deadline, however busy the
    // machine is; the run as a whole is bounded by its ctest TIMEOUT.
    static constexpr int kStepMs = 120000;
    void stepDone() { m_deadline = QDeadlineTimer(kStepMs); }

    QList<Spot> layout()
    {
        QList<Spot> spots;
        QFile file(tempPath(QStringLiteral("layout.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return spots;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const QStringList f = line.split(QLatin1Char('\t'));
            Spot s;
            s.kind = f.value(0);
            if (s.kind == QLatin1String("window") && f.size() >= 7) {
                s.text = f[2];
                s.rect = QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt());
            } else if (s.kind == QLatin1String("item") && f.size() >= 8) {
                s.id = f[1].toInt();
                s.state = f[2].toInt();
                s.rect = QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt());
                s.text = f[7];
            } else if (s.kind == QLatin1String("tree") && f.size() >= 6) {
                s.rect = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
                s.text = f[5];
            } else if (s.kind == QLatin1String("menu") && f.size() >= 7) {
                s.id = f[1].toInt();
                s.rect = QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt());
                s.text = f[6];
            } else {
                continue;
            }
            spots << s;
        }
        return spots;
    }
    // Waits (at most a few seconds) until the layout shows what is wanted.
    bool waitFor(const std::function<bool(const QList<Spot> &)> &wanted, int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && !m_deadline.hasExpired()) {
            if (wanted(layout()))
                return true;
            pause(150);
        }
        return false;
    }
    static const Spot *find(const QList<Spot> &spots, const QString &kind, int id)
    {
        for (const Spot &s : spots)
            if (s.kind == kind && s.id == id)
                return &s;
        return nullptr;
    }
    static int windows(const QList<Spot> &spots)
    {
        int n = 0;
        for (const Spot &s : spots)
            n += s.kind == QLatin1String("window");
        return n;
    }
    void click(const QPoint &at)
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                        QStringLiteral("click"), QStringLiteral("1")});
        pause(400);
    }
    void key(const QString &name)
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), name});
        pause(300);
    }
    void shot(const QString &name)
    {
        pause(250);
        run(QStringLiteral("import"), {QStringLiteral("-display"), m_display, QStringLiteral("-window"),
                                       QStringLiteral("root"), m_shots + QLatin1Char('/') + name + QStringLiteral(".png")});
        m_taken << name;
    }
    // Closes whatever opened above the main window (dialogs, messages, menus).
    void closeAbove()
    {
        for (int i = 0; i < 4 && !m_deadline.hasExpired(); ++i) {
            const QList<Spot> spots = layout();
            bool menu = false;
            for (const Spot &s : spots)
                menu = menu || s.kind == QLatin1String("menu");
            if (windows(spots) <= 1 && !menu)
                return;
            key(QStringLiteral("Escape"));
        }
    }
    bool showView(int viewId)
    {
        const QList<Spot> spots = layout();
        const Spot *tab = find(spots, QStringLiteral("item"), viewId);
        if (!tab)
            return false;
        click(tab->rect.center());
        return waitFor([viewId](const QList<Spot> &s) {
            const Spot *t = find(s, QStringLiteral("item"), viewId);
            return t && t->state == 2;
        });
    }

    QString m_display;
    QString m_shots;
    QStringList m_taken;
};

} // namespace

TEST_F(XvfbRun, ClicksThroughTabsEntriesAndMenus)
{
    // A sample shop in the program's folder, a virtual screen, the program.
    const QString failed = startOnSampleShop(60);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    shot(QStringLiteral("xvfb-start"));

    // Every tab.
    const int tabs[] = {30000, 30001, 30007, 30008, 30002, 30003, 30004, 30005, 30006};
    stepDone();
    for (int id : tabs) {
        EXPECT_TRUE(showView(id)) << "tab " << id;
        shot(QStringLiteral("xvfb-tab-%1").arg(id));
        stepDone();
    }

    // Every list-manager entry of the Settings and Home views: each opens its
    // editor or page (or says that it cannot), which is closed again. The
    // groups are opened first; an entry is indented under its group.
    int entries = 0;
    for (int viewId : {30006, 30000}) {
        ASSERT_TRUE(showView(viewId));
        if (viewId == 30006) {
            const QList<Spot> now = layout();
            if (const Spot *expand = find(now, QStringLiteral("item"), 30532))
                click(expand->rect.center());
        }
        QSet<QString> done;
        int idle = 0;
        while (idle < 3 && !m_deadline.hasExpired()) {
            const QList<Spot> spots = layout();
            int left = INT_MAX;
            QRect treeBox;
            for (const Spot &s : spots)
                if (s.kind == QLatin1String("tree")) {
                    left = std::min(left, s.rect.left());
                    treeBox = treeBox.united(s.rect);
                }
            const Spot *next = nullptr;
            for (const Spot &s : spots)
                if (s.kind == QLatin1String("tree") && s.rect.left() > left && !done.contains(s.text)) {
                    next = &s;
                    break;
                }
            if (!next) {
                // The rest lie below: scroll the list manager down.
                ++idle;
                run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(treeBox.center().x()),
                                                QString::number(treeBox.center().y()), QStringLiteral("click"),
                                                QStringLiteral("--repeat"), QStringLiteral("6"), QStringLiteral("5")});
                pause(300);
                continue;
            }
            idle = 0;
            done.insert(next->text);
            click(next->rect.center());
            pause(500);
            ++entries;
            shot(QStringLiteral("xvfb-%1-%2").arg(viewId).arg(entries, 2, 10, QLatin1Char('0')));
            closeAbove();
            stepDone();
        }
    }
    EXPECT_GE(entries, 45); // 35 settings entries and 10 home entries

    // Every ribbon menu: main menu, help and the list menu, on the settings view.
    ASSERT_TRUE(showView(30006));
    for (int id : {30280, 30671, 30673}) {
        const QList<Spot> now = layout();
        const Spot *item = find(now, QStringLiteral("item"), id);
        ASSERT_NE(item, nullptr) << id;
        click(item->rect.center());
        EXPECT_TRUE(waitFor([](const QList<Spot> &s) {
            for (const Spot &x : s)
                if (x.kind == QLatin1String("menu"))
                    return true;
            return false;
        })) << "menu " << id;
        shot(QStringLiteral("xvfb-menu-%1").arg(id));
        closeAbove();
        stepDone();
    }
    EXPECT_FALSE(m_deadline.hasExpired()) << "a step of the run took too long: the program froze";
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the run";
    std::printf("screenshots: %lld in %s\n", qlonglong(m_taken.size()), qPrintable(m_shots));
}

namespace {

// A record list as the layout file gives it.
struct ListSpot
{
    QRect rect;
    int rows = -1;
    int current = -1;
    int lastInView = -1;
    QRect bar;
    int value = -1;
    int maximum = -1;
};

QList<ListSpot> listSpots(const QString &path)
{
    QList<ListSpot> lists;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lists;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) != QLatin1String("list") || f.size() < 14)
            continue;
        ListSpot s;
        s.rect = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        s.rows = f[5].toInt();
        s.current = f[6].toInt();
        s.lastInView = f[7].toInt();
        s.bar = QRect(f[8].toInt(), f[9].toInt(), f[10].toInt(), f[11].toInt());
        s.value = f[12].toInt();
        s.maximum = f[13].toInt();
        lists << s;
    }
    return lists;
}

} // namespace

// A shop of 30,000 jobs: its thirteen thousand-odd orders are walked to their
// end at once, by End and by dragging the scroll bar to the bottom; the
// status bar's place reaches the last row, which is the count listed.
TEST_F(XvfbRun, LongListsReachTheirLastRowAtOnce)
{
    const QString failed = startOnSampleShop(30000);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30001));

    // "All Orders (n listed)" names the count. Every wait below is for what
    // the program shows, bounded generously: a loaded machine is slow, never
    // wrong.
    constexpr int kShown = 30000;
    int listed = 0;
    ASSERT_TRUE(waitFor([&listed](const QList<Spot> &s) {
        const Spot *caption = find(s, QStringLiteral("item"), 30673);
        const int open = caption ? caption->text.lastIndexOf(QLatin1Char('(')) : -1;
        if (open < 0 || !caption->text.endsWith(QLatin1String(" listed)")))
            return false;
        listed = caption->text.mid(open + 1).section(QLatin1Char(' '), 0, 0).toInt();
        return listed > 0;
    }, kShown));
    EXPECT_GT(listed, 10000);
    const QString layoutPath = tempPath(QStringLiteral("layout.txt"));
    auto ordersList = [&]() -> ListSpot {
        for (const ListSpot &l : listSpots(layoutPath))
            if (l.rows == listed)
                return l;
        return ListSpot();
    };
    // The orders list once it shows what is wanted, or as it was last shown.
    auto ordersListWhen = [&](const std::function<bool(const ListSpot &)> &wanted) {
        QElapsedTimer t;
        t.start();
        ListSpot l = ordersList();
        while (!wanted(l) && t.elapsed() < kShown && !m_deadline.hasExpired()) {
            pause(150);
            l = ordersList();
        }
        return l;
    };
    const ListSpot before = ordersListWhen([](const ListSpot &l) { return l.maximum > 0; });
    ASSERT_EQ(before.rows, listed) << "every order is counted from the start";
    ASSERT_GT(before.maximum, 0);

    // End: the last row, its place in the status bar.
    click(QPoint(before.rect.left() + 60, before.rect.top() + 40));
    key(QStringLiteral("End"));
    const QString last = QStringLiteral("%1 of %1").arg(listed);
    EXPECT_TRUE(waitFor([&last](const QList<Spot> &s) {
        const Spot *place = find(s, QStringLiteral("item"), 30262);
        return place && place->text == last;
    }, kShown)) << "the status bar does not show " << last.toStdString();
    ListSpot atEnd = ordersListWhen([&](const ListSpot &l) {
        return l.current == listed - 1 && l.lastInView == listed - 1 && l.value == l.maximum;
    });
    EXPECT_EQ(atEnd.current, listed - 1);
    EXPECT_EQ(atEnd.lastInView, listed - 1);
    EXPECT_EQ(atEnd.maximum, before.maximum);
    EXPECT_EQ(atEnd.value, atEnd.maximum);
    shot(QStringLiteral("xvfb-long-list-end"));

    // Home, then the scroll bar's handle dragged to the bottom.
    key(QStringLiteral("Home"));
    const ListSpot top = ordersListWhen([](const ListSpot &l) { return l.value == 0; });
    EXPECT_EQ(top.value, 0);
    const int x = top.bar.center().x();
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(top.bar.top() + 22),
                                    QStringLiteral("mousedown"), QStringLiteral("1")});
    pause(200);
    for (int y = top.bar.top() + 60; y < top.bar.bottom() + 60; y += 80) {
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y)});
        pause(60);
    }
    // The handle is let go below the bar: wherever the moves left it, it
    // ends at the bottom.
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x),
                                    QString::number(top.bar.bottom() + 60)});
    pause(200);
    run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
    const ListSpot dragged = ordersListWhen([&](const ListSpot &l) {
        return l.value == l.maximum && l.lastInView == listed - 1;
    });
    EXPECT_EQ(dragged.value, dragged.maximum);
    EXPECT_EQ(dragged.maximum, before.maximum);
    EXPECT_EQ(dragged.lastInView, listed - 1);
    shot(QStringLiteral("xvfb-long-list-dragged"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}
