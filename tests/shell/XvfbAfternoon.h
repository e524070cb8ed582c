#pragma once

#include "RealProgramTest.h"

#include <algorithm>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
#include <QtCore/QPair>
#include <QtCore/QRect>
#include <QtCore/QStringList>
#include <QtCore/QThread>

#include <cstdio>
#include <functional>
#include <optional>

// The afternoon of a shop's day on the real program, by mouse and keys only
// and without a restart, for an invoiced order ready to post: a deposit taken
// in the job window, the posting and its reports printed to PDF, the job and
// its customer opened again, a payment of 100.00 in the payment dialog, the
// customer's daily register and the aging report printed, the accounting
// exported, the database backed up and compacted, and a service and the job
// opened once more. After each step the sqlite3 program reads what the step
// stored; screenshots and PDFs are kept under build/tests/usable/. The order
// needs a balance above 125.00 (the deposit and the payment leave it unpaid).
class XvfbAfternoon : public RealProgramTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"), QStringLiteral("sqlite3"),
                    QStringLiteral("pdftotext")},
                   240000);
    }
    // A row of a record list in view.
    struct Row
    {
        QRect rect;
        int row = -1;
        qint64 data = 0;
        QStringList texts;
    };

    QList<Row> rows()
    {
        QList<Row> found;
        for (const QStringList &f : layoutLines(QStringLiteral("row"))) {
            if (f.size() < 7)
                continue;
            Row r;
            r.rect = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
            r.row = f[5].toInt();
            r.data = f[6].toLongLong();
            r.texts = f.mid(7);
            found << r;
        }
        return found;
    }
    // The row in view whose item data is the key.
    std::optional<Row> rowOf(qint64 key)
    {
        for (const Row &r : rows())
            if (r.data == key)
                return r;
        return std::nullopt;
    }
    // Clicks the row of that key, scrolling down with Page Down while it is
    // not in view.
    bool clickRowOf(qint64 key, int x = 30)
    {
        for (int i = 0; i < 40 && !m_deadline.hasExpired(); ++i) {
            if (std::optional<Row> r = rowOf(key)) {
                click(QPoint(r->rect.left() + x, r->rect.center().y()));
                return true;
            }
            if (i == 0 && !rows().isEmpty()) {
                click(rows().first().rect.center());
                pressKey(QStringLiteral("Home"));
            } else {
                pressKey(QStringLiteral("Next"));
            }
            QThread::msleep(300);
        }
        return false;
    }
    // The text field of that object name: where it is and what it holds.
    std::optional<QPair<QRect, QString>> field(const QString &name)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("field")))
            if (f.size() >= 6 && f[1] == name)
                return qMakePair(QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()), f.value(6));
        return std::nullopt;
    }
    // The text fields of the first window of that class: where each is and
    // what it holds.
    QList<QPair<QRect, QString>> fieldTextsOf(const QString &className)
    {
        QList<QPair<QRect, QString>> found;
        bool inside = false;
        for (const QStringList &f : layoutLines(QString())) {
            if (f.value(0) == QLatin1String("window")) {
                if (inside)
                    break;
                inside = f.value(1) == className;
            } else if (inside && f.value(0) == QLatin1String("field") && f.size() >= 6) {
                found << qMakePair(QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()), f.value(6));
            }
        }
        return found;
    }
    QList<QRect> fieldsOf(const QString &className)
    {
        QList<QRect> found;
        for (const auto &field : fieldTextsOf(className))
            found << field.first;
        return found;
    }
    // The caption and the second text (tooltip, a panel's text) of a
    // ribbon item in view; empty when it is not.
    QString itemCaption(int id)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("item")))
            if (f.size() >= 8 && f[1] == QString::number(id))
                return f[7] + QLatin1Char('\t') + f.value(8);
        return QString();
    }
    // The job window's balance panel: total, paid and balance as shown.
    QStringList balancePanel()
    {
        const QString text = itemCaption(30415);
        return text.mid(text.indexOf(QChar(0x00B7)) + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(0, 3);
    }
    // Closes the record window of that class with Escape.
    void escapeFrom(const QString &className, const QString &step)
    {
        pressKey(QStringLiteral("Escape"));
        if (classGone(className, 10000))
            return;
        ADD_FAILURE() << step.toStdString() << ": Escape left the window open; message: " << message().toStdString();
        afternoonShot(QStringLiteral("stuck-") + className);
        for (const QStringList &f : layoutLines(QStringLiteral("window")))
            std::printf("window %s %s\n", qPrintable(f.value(1)), qPrintable(f.value(2)));
        closeWindows();
    }
    // Lists an entry of the list manager: the branch is opened when its
    // entries are not in view; the entry is the first of that text below it.
    bool listEntry(const QString &branch, const QString &entry)
    {
        auto find = [&]() -> std::optional<QPoint> {
            bool inBranch = false;
            int branchLeft = 0;
            for (const QStringList &f : layoutLines(QStringLiteral("tree"))) {
                if (f.size() < 6)
                    continue;
                const QRect r(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
                if (!inBranch && f[5] == branch) {
                    inBranch = true;
                    branchLeft = r.left();
                    continue;
                }
                if (inBranch && r.left() <= branchLeft)
                    return std::nullopt;
                if (inBranch && f[5] == entry)
                    return r.center();
            }
            return std::nullopt;
        };
        if (!find()) {
            if (!clickSpot(QStringLiteral("tree"), branch))
                return false;
            if (!waitFor([&] { return find().has_value(); }, 10000)) {
                // A branch opens on a double click where a click only selects it.
                const std::optional<QPoint> at = spot(QStringLiteral("tree"), branch);
                if (!at)
                    return false;
                runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at->x()),
                                                    QString::number(at->y()), QStringLiteral("click"),
                                                    QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
                if (!waitFor([&] { return find().has_value(); }, 10000))
                    return false;
            }
        }
        click(*find());
        QThread::msleep(600);
        return true;
    }
    int treeWidth(const QString &text)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("tree")))
            if (f.value(5) == text)
                return f[3].toInt();
        return 0;
    }
    // The window is gone, or was never there.
    bool windowGone(const QString &start, int ms = 10000)
    {
        return waitFor([&] { return windowTitled(start).isEmpty(); }, ms);
    }
    bool windowUp(const QString &start, int ms = 10000)
    {
        return waitFor([&] { return !windowTitled(start).isEmpty(); }, ms);
    }
    // Types a file's path into the file field of that object name of the
    // dialog that is up (its text replaced) and takes it with Return.
    bool typeFileName(const QString &fieldName, const QString &path)
    {
        if (!waitFor([&] { return field(fieldName).has_value(); }))
            return false;
        click(field(fieldName)->first.center());
        pressKey(QStringLiteral("End"));
        pressKey(QStringLiteral("shift+Home"));
        typeText(path, 5);
        if (!waitFor([&] { return field(fieldName).value_or(qMakePair(QRect(), QString())).second == path; }, 10000))
            return false;
        pressKey(QStringLiteral("Return"));
        return true;
    }
    // From the program's print dialog that is up: "Print To", the printer
    // dialog's PDF file named so, printed. The PDF files the run made (a run
    // of several documents numbers the further ones "-2", "-3", ...).
    QStringList printToPdf(const QString &path)
    {
        QFile::remove(path);
        if (!clickSpot(QStringLiteral("item"), QStringLiteral("57607")))
            return {};
        if (!typeFileName(QStringLiteral("filename"), path))
            return {};
        waitFor([&] { return !field(QStringLiteral("filename")).has_value(); });
        QStringList made;
        waitFor([&] { return QFileInfo::exists(path); }, 20000);
        QThread::msleep(1500);
        const QFileInfo file(path);
        for (int n = 1; n < 30; ++n) {
            const QString name = n == 1 ? path
                                        : file.path() + QLatin1Char('/') + file.completeBaseName()
                                              + QStringLiteral("-%1.").arg(n) + file.suffix();
            if (!QFileInfo::exists(name))
                break;
            made << name;
        }
        return made;
    }
    // The PDF's text; the PDF itself is kept beside the screenshots.
    QString pdfText(const QString &path)
    {
        const QString kept = QCoreApplication::applicationDirPath() + QStringLiteral("/usable/xvfb-afternoon-")
                             + QFileInfo(path).fileName();
        QFile::remove(kept);
        QFile::copy(path, kept);
        return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    }
    // Money as the reports print it: grouped, two decimals.
    static QString moneyText(const QString &sqlValue)
    {
        return QLocale(QLocale::English).toString(sqlValue.toDouble(), 'f', 2);
    }
    void afternoonShot(const QString &name)
    {
        screenshot(QStringLiteral("xvfb-afternoon-") + name);
    }
    // Closes what is up above the main window.
    void closeWindows()
    {
        for (int i = 0; i < 5 && layoutLines(QStringLiteral("window")).size() > 1; ++i) {
            pressKey(QStringLiteral("Escape"));
            QThread::msleep(300);
        }
    }
    // The title of the first window of that class; empty when none is up.
    QString windowOfClass(const QString &className)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("window")))
            if (f.value(1) == className)
                return f.value(2);
        return QString();
    }
    // Whether a window of the class is up, titled or not.
    bool classShown(const QString &className)
    {
        const QList<QStringList> windows = layoutLines(QStringLiteral("window"));
        return std::any_of(windows.begin(), windows.end(), [&](const QStringList &f) { return f.value(1) == className; });
    }
    bool classUp(const QString &className, int ms = 10000)
    {
        return waitFor([&] { return classShown(className); }, ms);
    }
    bool classGone(const QString &className, int ms = 10000)
    {
        return waitFor([&] { return !classShown(className); }, ms);
    }
    // Lists an entry of a view's list manager and opens the row of that key
    // with F6.
    bool openRow(int viewId, const QString &branch, const QString &entry, qint64 key)
    {
        if (!showView(viewId) || !listEntry(branch, entry))
            return false;
        if (!waitFor([&] { return !rows().isEmpty(); }))
            return false;
        if (!clickRowOf(key))
            return false;
        pressKey(QStringLiteral("F6"));
        return true;
    }
    // Prints the list or report shown with F7 to a PDF; its text.
    QString printViewToPdf(const QString &path)
    {
        pressKey(QStringLiteral("F7"));
        if (!windowUp(QStringLiteral("Print")))
            return QString();
        const QStringList made = printToPdf(path);
        windowGone(QStringLiteral("Print"));
        QString text;
        for (const QString &pdf : made)
            text += pdfText(pdf);
        return text;
    }
    QString jobField(int jobNo, const QString &column)
    {
        return sqlite(QStringLiteral("SELECT %1 FROM Jobs WHERE JobNo = %2").arg(column).arg(jobNo));
    }

    // A job window whose order lacks data it asks for comes up with its
    // walk-through ("What would you like to do next?"): skipped with Escape.
    void skipWalkThrough()
    {
        if (classUp(QStringLiteral("CDlgOptions"), 3000)) {
            pressKey(QStringLiteral("Escape"));
            classGone(QStringLiteral("CDlgOptions"), 3000);
        }
    }

    void runAfternoon(int jobNo, int cusNo);
    // After a posting or a compaction reopened the database under the
    // running program, the work of the day goes on (when set; the day test
    // sets it): called with what reopened it.
    std::function<void(const QString &after)> m_walkOn;
    // The commands that start new records, each once: a new customer, Jobs >
    // New (an order for it), Copy and Paste of that as an order, a new
    // service and a payment of 1.00 on an unpaid invoice of a customer other
    // than the day's; no error box at any of them.
    void walkOn(const QString &after, int cusNo);
    int m_walkPayments = 0; // the payments walkOn made
};

inline void XvfbAfternoon::walkOn(const QString &after, int cusNo)
{
    const QString step = QStringLiteral("after ") + after + QStringLiteral(": ");
    // Named to come first in the lists of customers, by name.
    const QString name = QStringLiteral("AAA Walk On ") + after;
    const int invoiceNo = sqlite(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobType = 3 AND Balance > 2 AND CusNo <> %1 "
                                                "ORDER BY JobNo LIMIT 1")
                                     .arg(cusNo))
                              .toInt();
    ASSERT_GT(invoiceNo, 0) << "no other unpaid invoice";
    const QString count = QStringLiteral("SELECT Count(*) FROM %1");
    const QString tag = after.section(QLatin1Char(' '), 0, 0).toLower();
    // A new job's window closed with Escape asks whether to save what it
    // filled in: Yes.
    const auto closeJob = [&](const QString &what) {
        pressKey(QStringLiteral("Escape"));
        waitFor([&] { return !classShown(QStringLiteral("CJobDlg")) || !message().isEmpty(); }, 4000);
        if (message().startsWith(QStringLiteral("Do you want to save the changes?")))
            answerMessage();
        EXPECT_TRUE(classGone(QStringLiteral("CJobDlg"))) << step.toStdString() << what.toStdString()
                                                          << " stayed open: " << message().toStdString();
        closeWindows();
        expectNoMessage(step + what);
    };

    // A new customer: F2, a name, "Save & Close".
    const QString customers = sqlite(count.arg(QStringLiteral("Customers")));
    ASSERT_TRUE(showView(30003));
    pressKey(QStringLiteral("F2"));
    ASSERT_TRUE(windowUp(QStringLiteral("Customer No:"))) << step.toStdString() << "no customer window: "
                                                          << message().toStdString();
    typeText(name);
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    EXPECT_TRUE(windowGone(QStringLiteral("Customer No:"))) << step.toStdString() << message().toStdString();
    expectNoMessage(step + QStringLiteral("new customer"));
    EXPECT_EQ(sqlite(count.arg(QStringLiteral("Customers"))).toInt(), customers.toInt() + 1) << step.toStdString();

    // Jobs > New: an order for the new customer (nothing to warn of), its
    // window closed.
    const QString newest = QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE JobType = 0 AND CusNo = (SELECT Max(CusNo) "
                                          "FROM Customers WHERE Name || '' = '%1')")
                               .arg(name);
    const QString before = sqlite(newest);
    ASSERT_TRUE(showView(30001));
    pressKey(QStringLiteral("F2"));
    ASSERT_TRUE(classUp(QStringLiteral("CJobNew"))) << step.toStdString() << "no new job window: " << message().toStdString();
    ASSERT_TRUE(clickSpot(QStringLiteral("tree"), QStringLiteral("Order")));
    ASSERT_TRUE(clickSpot(QStringLiteral("tree"), QStringLiteral("Regular Customer")));
    std::optional<Row> customer;
    ASSERT_TRUE(waitFor([&] {
        for (const Row &r : rows())
            if (r.texts.value(0) == name)
                customer = r;
        return customer.has_value();
    })) << step.toStdString() << "the customer is not listed";
    click(customer->rect.center());
    std::optional<QPoint> ok;
    ASSERT_TRUE(waitFor([&] {
        for (const QStringList &f : layoutLines(QStringLiteral("button")))
            if (f.size() >= 6 && f[5] == QLatin1String("OK"))
                ok = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()).center();
        return ok.has_value();
    })) << step.toStdString() << "no OK button";
    click(*ok);
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << step.toStdString() << "no job window: " << message().toStdString();
    skipWalkThrough();
    const QString made = sqlite(newest);
    EXPECT_NE(made, before) << step.toStdString() << "no new order";
    afternoonShot(tag + QStringLiteral("-new-order"));
    closeJob(QStringLiteral("Jobs > New"));

    // Copy and Paste of the new order (selected in the list) as an order.
    const QString pasted = QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 0 AND FromJobNo = (SELECT JobNo FROM "
                                          "Jobs WHERE JobID = %1)").arg(made);
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30111")));
    ASSERT_TRUE(classUp(QStringLiteral("CDlgOptions"))) << step.toStdString() << "no copy dialog: " << message().toStdString();
    ASSERT_TRUE(clickSpot(QStringLiteral("tree"), QStringLiteral("Order")));
    pressKey(QStringLiteral("Return"));
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << step.toStdString() << "no pasted order: " << message().toStdString();
    skipWalkThrough();
    EXPECT_EQ(sqlite(pasted), QStringLiteral("1")) << step.toStdString() << "not pasted";
    afternoonShot(tag + QStringLiteral("-pasted-order"));
    closeJob(QStringLiteral("Copy and Paste"));

    // A new service in the first category of the list: F2, a name, "Save & Close".
    const QStringList category =
        sqlite(QStringLiteral("SELECT d.DepName || '|' || c.CatName FROM ServiceCategories c JOIN ServiceDepartments d ON "
                              "c.DepNo = d.DepNo WHERE c.CatNo > 0 ORDER BY c.CatNo LIMIT 1"))
            .split(QLatin1Char('|'));
    ASSERT_EQ(category.size(), 2);
    const QString services = sqlite(count.arg(QStringLiteral("Services")));
    ASSERT_TRUE(showView(30002));
    ASSERT_TRUE(listEntry(category[0], category[1])) << step.toStdString() << "no service category";
    pressKey(QStringLiteral("F2"));
    ASSERT_TRUE(classUp(QStringLiteral("CSerDlg"))) << step.toStdString() << "no service window: "
                                                    << message().toStdString();
    const QList<QRect> serviceFields = fieldsOf(QStringLiteral("CSerDlg"));
    if (!serviceFields.isEmpty())
        click(serviceFields.first().center());
    typeText(QStringLiteral("Walk On ") + after);
    afternoonShot(tag + QStringLiteral("-new-service"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    EXPECT_TRUE(classGone(QStringLiteral("CSerDlg"))) << step.toStdString() << message().toStdString();
    expectNoMessage(step + QStringLiteral("new service"));
    EXPECT_EQ(sqlite(count.arg(QStringLiteral("Services"))).toInt(), services.toInt() + 1) << step.toStdString();

    // A payment of 1.00 on the invoice.
    const QString payments = sqlite(count.arg(QStringLiteral("Payments")));
    const qint64 invoiceId = jobField(invoiceNo, QStringLiteral("JobID")).toLongLong();
    ASSERT_TRUE(openRow(30004, QStringLiteral("Invoices Unpaid"), QStringLiteral("By Invoice No"), invoiceId))
        << step.toStdString() << "the invoice is not listed unpaid";
    ASSERT_TRUE(classUp(QStringLiteral("CArPayment"))) << step.toStdString() << "no payment window: "
                                                       << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), QString::number(invoiceNo)).has_value(); }));
    pressKey(QStringLiteral("alt+a"));
    typeText(QStringLiteral("1.00"));
    pressKey(QStringLiteral("Tab"));
    click(*spot(QStringLiteral("tree"), QString::number(invoiceNo))
          - QPoint(treeWidth(QString::number(invoiceNo)) / 2 - 15, 0));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    ASSERT_TRUE(classGone(QStringLiteral("CArPayment"))) << step.toStdString() << message().toStdString();
    expectNoMessage(step + QStringLiteral("payment"));
    EXPECT_EQ(sqlite(count.arg(QStringLiteral("Payments"))).toInt(), payments.toInt() + 1) << step.toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo || '/' || printf('%.2f', Amount) FROM PayApplied WHERE PayNo = (SELECT "
                                    "Max(PayNo) FROM Payments)")),
              QStringLiteral("%1/1.00").arg(invoiceNo))
        << step.toStdString();
    ++m_walkPayments;
}

inline void XvfbAfternoon::runAfternoon(int jobNo, int cusNo)
{
    const QString out = tempPath(QStringLiteral("afternoon"));
    QDir().mkpath(out);
    const qint64 jobId = jobField(jobNo, QStringLiteral("JobID")).toLongLong();
    ASSERT_GT(jobId, 0) << "no job " << jobNo;
    ASSERT_EQ(jobField(jobNo, QStringLiteral("JobType || '/' || Status")), QStringLiteral("0/3"))
        << "the job is not an order ready to post";
    const QString balanceBefore = jobField(jobNo, QStringLiteral("printf('%.2f', Balance)"));
    const QString paidBefore = jobField(jobNo, QStringLiteral("printf('%.2f', Paid)"));
    const int paymentsBefore = sqlite(QStringLiteral("SELECT Count(*) FROM Payments")).toInt();
    const int postingsBefore = sqlite(QStringLiteral("SELECT Count(*) FROM PostingJournal")).toInt();

    // 1. The order in the receivables view's ready-to-post list, opened
    // with F6; its balance panel takes a deposit of 25.00.
    ASSERT_TRUE(showView(30004));
    ASSERT_TRUE(listEntry(QStringLiteral("Invoices Ready-to-Post"), QStringLiteral("List")));
    ASSERT_TRUE(waitFor([&] { return rowOf(jobId).has_value(); })) << "the order is not listed ready to post";
    afternoonShot(QStringLiteral("01-ready-to-post"));
    ASSERT_TRUE(clickRowOf(jobId));
    pressKey(QStringLiteral("F6"));
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << "no job window: " << message().toStdString();
    skipWalkThrough();
    afternoonShot(QStringLiteral("02-job"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30415")));
    ASSERT_TRUE(windowUp(QStringLiteral("Deposit for Order"))) << "no deposit window: " << message().toStdString();
    typeText(QStringLiteral("25.00"));
    afternoonShot(QStringLiteral("03-deposit"));
    pressKey(QStringLiteral("alt+s")); // "Save without Printing"
    ASSERT_TRUE(windowGone(QStringLiteral("Deposit for Order"))) << message().toStdString();
    expectNoMessage(QStringLiteral("deposit"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.2f', Amount) || '/' || PayGroup || '/' || PostingNo || '/' || CusNo "
                                    "FROM Payments ORDER BY PayNo DESC LIMIT 1")),
              QStringLiteral("25.00/1/0/%1").arg(cusNo));
    const QString depositNo = sqlite(QStringLiteral("SELECT Max(PayNo) FROM Payments"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo || '/' || printf('%.2f', Amount) FROM PayApplied WHERE PayNo = ") + depositNo),
              QStringLiteral("%1/25.00").arg(jobNo));
    EXPECT_EQ(jobField(jobNo, QStringLiteral("printf('%.2f', Paid)")),
              QString::number(paidBefore.toDouble() - 25.0, 'f', 2));
    const QString balanceAfterDeposit = QString::number(balanceBefore.toDouble() - 25.0, 'f', 2);
    EXPECT_EQ(jobField(jobNo, QStringLiteral("printf('%.2f', Balance)")), balanceAfterDeposit);
    afternoonShot(QStringLiteral("04-job-after-deposit"));
    pressKey(QStringLiteral("Escape"));
    if (!message().isEmpty() || waitFor([&] { return !message().isEmpty(); }, 4000))
        answerMessage();
    ASSERT_TRUE(classGone(QStringLiteral("CJobDlg"))) << "the job window stayed open";
    expectNoMessage(QStringLiteral("job window closed"));

    // 2. Post Now on the ready-to-post list: the questions answered, the
    // posting reports printed to PDF with "Print To".
    ASSERT_TRUE(listEntry(QStringLiteral("Invoices Ready-to-Post"), QStringLiteral("List")));
    ASSERT_TRUE(waitFor([&] { return rowOf(jobId).has_value(); }));
    ASSERT_TRUE(clickRowOf(jobId));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30211"))) << "no Post Now button";
    // With more orders listed than highlighted, posting asks which: all
    // listed ones are its first answer.
    if (waitFor([&] { return classShown(QStringLiteral("CDlgOptions")) || !message().isEmpty(); })
        && classShown(QStringLiteral("CDlgOptions"))) {
        afternoonShot(QStringLiteral("05-which-orders"));
        pressKey(QStringLiteral("Return"));
        ASSERT_TRUE(classGone(QStringLiteral("CDlgOptions"))) << "Return did not answer which orders";
    }
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("Do you want to start posting?")));
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("Are you sure you want to start posting?")));
    const QString posted = answerMessage(60000);
    EXPECT_TRUE(posted.startsWith(QStringLiteral("Successfully posted:"))) << posted.toStdString();
    afternoonShot(QStringLiteral("06-posted"));
    ASSERT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM PostingJournal")).toInt(), postingsBefore + 1);
    const QString postingNo = sqlite(QStringLiteral("SELECT Max(PostingNo) FROM PostingJournal"));
    EXPECT_EQ(jobField(jobNo, QStringLiteral("JobType || '/' || Status || '/' || PostingNo")),
              QStringLiteral("3/0/") + postingNo);
    EXPECT_EQ(jobField(jobNo, QStringLiteral("printf('%.2f', Balance)")), balanceAfterDeposit);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PostingNo FROM Payments WHERE PayNo = ") + depositNo), postingNo);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Payments WHERE PostingNo = 0")), QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM AuditTrail WHERE JobNo = %1 AND printf('%.2f', Balance) = '%2'")
                         .arg(jobNo)
                         .arg(balanceAfterDeposit)),
              QStringLiteral("1"));
    // The journal's sums are those of the jobs and payments stamped with its number.
    const QStringList journal =
        sqlite(QStringLiteral("SELECT Invoices, printf('%.2f', Subtotal), printf('%.2f', Balance), printf('%.2f', AllPayments) "
                              "FROM PostingJournal WHERE PostingNo = ") + postingNo)
            .split(QLatin1Char('|'));
    ASSERT_EQ(journal.size(), 4);
    EXPECT_EQ(journal,
              sqlite(QStringLiteral("SELECT (SELECT Count(*) FROM Jobs WHERE PostingNo = %1), (SELECT printf('%.2f', "
                                    "Sum(Subtotal)) FROM Jobs WHERE PostingNo = %1), (SELECT printf('%.2f', Sum(Balance)) "
                                    "FROM Jobs WHERE PostingNo = %1), (SELECT printf('%.2f', Sum(Amount)) FROM Payments "
                                    "WHERE PostingNo = %1)")
                         .arg(postingNo))
                  .split(QLatin1Char('|')));
    ASSERT_TRUE(windowUp(QStringLiteral("Print"))) << "no posting reports: " << message().toStdString();
    // The shop's favourites are ticked when the dialog opens; these two are
    // ticked by their boxes when they are not.
    for (const QString &report : {QStringLiteral("Posted Invoices"), QStringLiteral("Payments")}) {
        ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), report).has_value(); })) << report.toStdString();
        click(*spot(QStringLiteral("tree"), report) - QPoint(treeWidth(report) / 2 - 8, 0));
    }
    afternoonShot(QStringLiteral("07-posting-reports"));
    const QStringList reports = printToPdf(out + QStringLiteral("/posting.pdf"));
    ASSERT_FALSE(reports.isEmpty()) << "no posting report was printed";
    expectNoMessage(QStringLiteral("posting reports"));
    QString reportText;
    for (const QString &pdf : reports)
        reportText += pdfText(pdf);
    EXPECT_TRUE(reportText.contains(QStringLiteral("Posting No ") + postingNo)) << reportText.toStdString();
    EXPECT_TRUE(reportText.contains(moneyText(journal[1]))) << "no subtotal " << journal[1].toStdString();
    EXPECT_TRUE(reportText.contains(QString::number(jobNo))) << "the posted invoice is not listed";
    EXPECT_TRUE(reportText.contains(moneyText(balanceAfterDeposit))) << "no balance " << balanceAfterDeposit.toStdString();
    EXPECT_TRUE(reportText.contains(moneyText(journal[3]))) << "no payments " << journal[3].toStdString();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(pdfText(reports[0]).contains(QStringLiteral("List Size: ") + journal[0]));
    EXPECT_TRUE(pdfText(reports[1]).contains(
        QStringLiteral("List Size: ") + sqlite(QStringLiteral("SELECT Count(*) FROM Payments WHERE PostingNo = ") + postingNo)));
    afternoonShot(QStringLiteral("07b-after-reports"));
    windowGone(QStringLiteral("Print"));
    EXPECT_FALSE(rowOf(jobId).has_value()) << "the posted order is still listed ready to post";
    if (m_walkOn) {
        m_walkOn(QStringLiteral("posting"));
        if (HasFatalFailure())
            return;
    }

    // 3. The same job and customer opened again after the posting: the job
    // from History > All, the customer from Customers > All.
    ASSERT_TRUE(openRow(30001, QStringLiteral("History"), QStringLiteral("All"), jobId)) << "the posted job is not in History";
    expectNoMessage(QStringLiteral("history list after posting"));
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << "no job window: " << message().toStdString();
    skipWalkThrough();
    EXPECT_EQ(balancePanel().value(2), moneyText(balanceAfterDeposit)) << itemCaption(30415).toStdString();
    EXPECT_EQ(balancePanel().value(1), moneyText(QString::number(paidBefore.toDouble() - 25.0, 'f', 2)));
    afternoonShot(QStringLiteral("08-history-job"));
    escapeFrom(QStringLiteral("CJobDlg"), QStringLiteral("history job"));
    ASSERT_TRUE(classGone(QStringLiteral("CJobDlg"))) << message().toStdString();
    expectNoMessage(QStringLiteral("history job closed"));
    ASSERT_TRUE(openRow(30003, QStringLiteral("Customers"), QStringLiteral("All (any status)"), cusNo));
    ASSERT_TRUE(windowUp(QStringLiteral("Customer No:"))) << "no customer window: " << message().toStdString();
    EXPECT_EQ(windowTitled(QStringLiteral("Customer No:")), QStringLiteral("Customer No: %1").arg(cusNo));
    expectNoMessage(QStringLiteral("customer after posting"));
    afternoonShot(QStringLiteral("09-customer"));
    pressKey(QStringLiteral("Escape"));
    ASSERT_TRUE(windowGone(QStringLiteral("Customer No:"))) << message().toStdString();

    // 4. A payment of 100.00 in the payment dialog: Invoices Unpaid > By
    // Invoice No, F6 on the invoice, the amount typed, a click on the
    // invoice's number applies it there, "Save & Close".
    ASSERT_TRUE(openRow(30004, QStringLiteral("Invoices Unpaid"), QStringLiteral("By Invoice No"), jobId))
        << "the posted invoice is not listed unpaid";
    ASSERT_TRUE(classUp(QStringLiteral("CArPayment"))) << "no payment window: " << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), QString::number(jobNo)).has_value(); }))
        << "the invoice is not in the payment window";
    pressKey(QStringLiteral("alt+a"));
    typeText(QStringLiteral("100.00"));
    pressKey(QStringLiteral("Tab"));
    click(*spot(QStringLiteral("tree"), QString::number(jobNo)) - QPoint(treeWidth(QString::number(jobNo)) / 2 - 15, 0));
    afternoonShot(QStringLiteral("10-payment"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    ASSERT_TRUE(classGone(QStringLiteral("CArPayment"))) << message().toStdString();
    expectNoMessage(QStringLiteral("payment saved"));
    const QString paymentNo = sqlite(QStringLiteral("SELECT Max(PayNo) FROM Payments"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.2f', Amount) || '/' || PayGroup || '/' || PostingNo || '/' || CusNo "
                                    "FROM Payments WHERE PayNo = ") + paymentNo),
              QStringLiteral("100.00/2/0/%1").arg(cusNo));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo || '/' || printf('%.2f', Amount) FROM PayApplied WHERE PayNo = ") + paymentNo),
              QStringLiteral("%1/100.00").arg(jobNo));
    const QString balanceAfterPayment = QString::number(balanceBefore.toDouble() - 125.0, 'f', 2);
    EXPECT_EQ(jobField(jobNo, QStringLiteral("printf('%.2f', Balance) || '/' || printf('%.2f', Paid)")),
              balanceAfterPayment + QLatin1Char('/') + QString::number(paidBefore.toDouble() - 125.0, 'f', 2));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Payments")).toInt(), paymentsBefore + 2 + m_walkPayments);
    afternoonShot(QStringLiteral("11-paid"));

    // 5. The daily register (today) and the aging report, printed to PDF.
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Special Reports"), QStringLiteral("Daily Register...")));
    // The register is one customer's: the find window's first choice,
    // "Customer's Name" "starts with", and the name typed.
    ASSERT_TRUE(waitFor([&] { return !fieldsOf(QStringLiteral("CFindDlg")).isEmpty(); })) << "no customer to choose";
    click(fieldsOf(QStringLiteral("CFindDlg")).first().center());
    typeText(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = %1").arg(cusNo)));
    afternoonShot(QStringLiteral("12-register-customer"));
    pressKey(QStringLiteral("alt+n")); // "Find Now"
    ASSERT_TRUE(classGone(QStringLiteral("CFindDlg"))) << message().toStdString();
    expectNoMessage(QStringLiteral("daily register"));
    afternoonShot(QStringLiteral("12-daily-register"));
    const QString register_ = printViewToPdf(out + QStringLiteral("/register.pdf"));
    // Today's deposit and payment, and the invoice still open.
    EXPECT_TRUE(register_.contains(QStringLiteral("25.00"))) << register_.toStdString();
    EXPECT_TRUE(register_.contains(QStringLiteral("100.00"))) << register_.toStdString();
    EXPECT_TRUE(register_.contains(moneyText(balanceAfterPayment))) << register_.toStdString();
    ASSERT_TRUE(listEntry(QStringLiteral("A/R"), QStringLiteral("Aging by Date Shipped")));
    expectNoMessage(QStringLiteral("aging"));
    afternoonShot(QStringLiteral("13-aging"));
    const QString aging = printViewToPdf(out + QStringLiteral("/aging.pdf"));
    const QString unpaid =
        sqlite(QStringLiteral("SELECT printf('%.2f', Sum(Balance)) FROM Jobs WHERE JobType = 3 AND Balance > 0.0001"));
    EXPECT_TRUE(aging.contains(moneyText(unpaid))) << "no total " << unpaid.toStdString() << " in " << aging.toStdString();

    // 6. The posting's accounting exported to a file.
    ASSERT_TRUE(listEntry(QStringLiteral("Posting"), QStringLiteral("Accounting")));
    expectNoMessage(QStringLiteral("accounting"));
    afternoonShot(QStringLiteral("14-accounting"));
    pressKey(QStringLiteral("F9"));
    if (windowUp(QStringLiteral("Export"), 3000) && !field(QStringLiteral("fileNameEdit")))
        pressKey(QStringLiteral("Return")); // which rows: all
    // The report's table goes out as comma-delimited text: the dialog opens
    // on that type, so the file takes its extension.
    const QString exported = out + QStringLiteral("/accounting.csv");
    ASSERT_TRUE(typeFileName(QStringLiteral("fileNameEdit"), exported)) << "no export file dialog";
    EXPECT_EQ(answerMessage(), QStringLiteral("Your data has been successfully exported to: ") + exported);
    {
        // The year's postings (the report's period): the balance as posted
        // is the sum of the journals' balances.
        QFile file(exported);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no export file";
        const QString text = QString::fromUtf8(file.readAll());
        const QString posted = sqlite(QStringLiteral("SELECT printf('%.2f', Sum(Balance)) FROM PostingJournal WHERE "
                                                     "PostingDate >= julianday(strftime('%Y-01-01', 'now')) - 2415018.5"));
        QString asPosted;
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (line.contains(QLatin1String("From BALANCE row, As Posted column")))
            {
                // The last field, quoted when it holds a comma ("1,115.98").
                const QString l = line.trimmed();
                asPosted = l.endsWith(QLatin1Char('"')) ? l.section(QLatin1Char('"'), -2, -2) : l.section(QLatin1Char(','), -1);
            }
        EXPECT_EQ(asPosted, moneyText(posted)) << text.toStdString();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Type,Account,Amount"))) << text.toStdString();
    }
    afternoonShot(QStringLiteral("14b-exported"));

    // 7. A backup from the main menu: the file is a database sqlite3 reads.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30280")));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30572"))) << "no Backup Database entry";
    const QString backup = out + QStringLiteral("/backup.mdb");
    ASSERT_TRUE(typeFileName(QStringLiteral("fileNameEdit"), backup)) << "no backup file dialog";
    EXPECT_TRUE(answerMessage(60000).startsWith(QStringLiteral("Successfully copied the database")));
    afternoonShot(QStringLiteral("15-backup"));
    EXPECT_EQ(runTool(QStringLiteral("sqlite3"), {backup, QStringLiteral("PRAGMA integrity_check")}), QStringLiteral("ok"));
    EXPECT_EQ(runTool(QStringLiteral("sqlite3"), {backup, QStringLiteral("SELECT printf('%.2f', Balance) || '/' || PostingNo "
                                                                        "FROM Jobs WHERE JobNo = %1").arg(jobNo)}),
              balanceAfterPayment + QLatin1Char('/') + postingNo);

    // 8. Compact Database from the main menu.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30280")));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30573"))) << "no Compact Database entry";
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("This process will compact and reindex")));
    EXPECT_TRUE(answerMessage(60000).startsWith(QStringLiteral("Successfully compacted")));
    afternoonShot(QStringLiteral("16-compacted"));
    EXPECT_EQ(sqlite(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    EXPECT_EQ(jobField(jobNo, QStringLiteral("printf('%.2f', Balance) || '/' || PostingNo")),
              balanceAfterPayment + QLatin1Char('/') + postingNo);
    if (m_walkOn) {
        m_walkOn(QStringLiteral("compaction"));
        if (HasFatalFailure())
            return;
    }

    // 9. A service and the job opened once more.
    ASSERT_TRUE(showView(30002));
    expectNoMessage(QStringLiteral("services after compacting"));
    const QStringList service =
        sqlite(QStringLiteral("SELECT d.DepName || '|' || c.CatName || '|' || s.SerNo FROM Services s JOIN ServiceCategories c "
                              "ON s.CatNo = c.CatNo JOIN ServiceDepartments d ON c.DepNo = d.DepNo WHERE c.CatNo > 0 "
                              "ORDER BY s.SerNo LIMIT 1"))
            .split(QLatin1Char('|'));
    ASSERT_EQ(service.size(), 3);
    ASSERT_TRUE(openRow(30002, service[0], service[1], service[2].toLongLong())) << "the service is not listed";
    EXPECT_TRUE(windowUp(QStringLiteral("Service No:"))) << "no service window: " << message().toStdString();
    afternoonShot(QStringLiteral("17-service"));
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(windowGone(QStringLiteral("Service No:")));
    expectNoMessage(QStringLiteral("service closed"));
    ASSERT_TRUE(openRow(30001, QStringLiteral("History"), QStringLiteral("All"), jobId));
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << "no job window: " << message().toStdString();
    skipWalkThrough();
    EXPECT_EQ(balancePanel().value(2), moneyText(balanceAfterPayment)) << itemCaption(30415).toStdString();
    afternoonShot(QStringLiteral("18-job-again"));
    escapeFrom(QStringLiteral("CJobDlg"), QStringLiteral("the job at the end"));
    expectNoMessage(QStringLiteral("the job at the end"));
}
