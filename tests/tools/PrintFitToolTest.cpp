// Every list and report the program prints, printed from one sample shop on
// the default page (Letter, portrait) and read back word by word with its
// position: no word leaves the page, no two words are printed over each
// other, and the values of the first rows print whole (a cut or clipped value
// reads back as a shorter word). Beside each PDF the print engine's record of
// what it cut must be empty: a word clipped by its cell reads back whole. The
// scheduler's lists are printed from a shop of 3,000 jobs with long names and
// descriptions, and every word of theirs lies within the bounds of its column.

#include "support/ShopTest.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "customers/CViewCustomers.h"
#include "platform/db/Recordset.h"
#include "printing/CPrintDlg.h"
#include "printing/CPrintForm.h"
#include "printing/PrintCutRecord.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>
#include <QtGui/QPageSize>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <map>
#include <memory>

namespace {

struct Word
{
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    QString text;
};

struct Page
{
    double width = 0, height = 0;
    std::vector<Word> words;
};

QString unescaped(QString text)
{
    return text.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// The words of every page with their boxes, as pdftotext -bbox reads them.
std::vector<Page> readWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression pageTag(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"));
    static const QRegularExpression wordTag(QStringLiteral(
        "<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">(.*)</word>"));
    std::vector<Page> pages;
    for (const QString &line : xml.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch page = pageTag.match(line);
        if (page.hasMatch()) {
            pages.push_back({page.captured(1).toDouble(), page.captured(2).toDouble(), {}});
            continue;
        }
        const QRegularExpressionMatch word = wordTag.match(line);
        if (word.hasMatch() && !pages.empty())
            pages.back().words.push_back({word.captured(1).toDouble(), word.captured(2).toDouble(),
                                          word.captured(3).toDouble(), word.captured(4).toDouble(),
                                          unescaped(word.captured(5))});
    }
    return pages;
}

// What is wrong with a printout's words: words off the page and words
// printed over others (their boxes share more than a sliver).
QStringList layoutFaults(const std::vector<Page> &pages)
{
    QStringList faults;
    for (size_t p = 0; p < pages.size(); ++p) {
        const Page &page = pages[p];
        std::vector<Word> words = page.words;
        for (const Word &w : words)
            if (w.x0 < -0.5 || w.y0 < -0.5 || w.x1 > page.width + 0.5 || w.y1 > page.height + 0.5)
                faults << QStringLiteral("page %1: \"%2\" leaves the page").arg(p + 1).arg(w.text);
        std::sort(words.begin(), words.end(), [](const Word &a, const Word &b) { return a.y0 < b.y0; });
        for (size_t i = 0; i < words.size(); ++i) {
            for (size_t j = i + 1; j < words.size() && words[j].y0 < words[i].y1; ++j) {
                const Word &a = words[i];
                const Word &b = words[j];
                const double across = std::min(a.x1, b.x1) - std::max(a.x0, b.x0);
                const double down = std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
                if (across > 0.5 && down > 0.3 * std::min(a.y1 - a.y0, b.y1 - b.y0))
                    faults << QStringLiteral("page %1: \"%2\" over \"%3\"").arg(p + 1).arg(a.text, b.text);
            }
        }
    }
    return faults;
}

// The words of a page whose last letter shows no ink when the page is
// rendered: a word clipped by its cell reads back whole from the PDF's text,
// but its picture ends early.
QStringList wordsEndingUnseen(const QString &pdf, const Page &page)
{
    const QString base = pdf + QStringLiteral("-page1");
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                         QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, base});
    p.waitForFinished(60000);
    const QImage image(base + QStringLiteral(".png"));
    if (image.isNull())
        return {QStringLiteral("page 1 was not rendered")};
    const double scale = image.width() / page.width;
    QStringList unseen;
    for (const Word &w : page.words) {
        const double last = (w.x1 - w.x0) / std::max<qsizetype>(1, w.text.size());
        bool ink = false;
        for (int y = int(w.y0 * scale); y <= int(w.y1 * scale) && y < image.height() && !ink; ++y)
            for (int x = std::max(0, int((w.x1 - last) * scale)); x <= int(w.x1 * scale) && x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 200) {
                    ink = true;
                    break;
                }
        if (!ink)
            unseen << w.text;
    }
    return unseen;
}

// The pixel columns of a page at which a rule runs down through the tax line
// ("State 6% $x,  City 8.25% $y", or its two taxes on a line each): dark from
// above the line's words to below them, which no letter is. Empty when the
// page has no tax line; "no tax line" then.
QStringList rulesThroughTaxLine(const QString &pdf, const std::vector<Page> &pages)
{
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<Word> &words = pages[p].words;
        std::vector<Word> line;
        for (size_t i = 0; i + 1 < words.size(); ++i) {
            const bool first = words[i].text == QLatin1String("State") && words[i + 1].text == QLatin1String("6%");
            const bool second = words[i].text == QLatin1String("City") && words[i + 1].text == QLatin1String("8.25%");
            if (!first && !second)
                continue;
            for (const Word &w : words)
                if (std::abs(w.y0 - words[i].y0) < 0.5 && w.x0 >= words[i].x0 - 0.5)
                    line.push_back(w);
        }
        if (line.empty())
            continue;
        const QString base = pdf + QStringLiteral("-tax");
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"), QStringLiteral("-f"),
                      QString::number(p + 1), QStringLiteral("-l"), QString::number(p + 1),
                      QStringLiteral("-singlefile"), pdf, base});
        render.waitForFinished(60000);
        const QImage image(base + QStringLiteral(".png"));
        if (image.isNull())
            return {QStringLiteral("page %1 was not rendered").arg(p + 1)};
        const double scale = image.width() / pages[p].width;
        QStringList rules;
        for (const Word &w : line) {
            // The line's span: this word to the last on its line.
            double right = w.x1;
            for (const Word &o : line)
                if (std::abs(o.y0 - w.y0) < 0.5)
                    right = std::max(right, o.x1);
            const int top = int((w.y0 - 1.5) * scale);
            const int bottom = int((w.y1 + 1.5) * scale);
            for (int x = int(w.x0 * scale); x <= int(right * scale) && x < image.width(); ++x) {
                bool dark = true;
                for (int y = std::max(0, top); y <= bottom && y < image.height() && dark; ++y)
                    dark = qGray(image.pixel(x, y)) < 160;
                if (dark)
                    rules << QStringLiteral("page %1 at %2 pt").arg(p + 1).arg(x / scale, 0, 'f', 1);
            }
        }
        rules.removeDuplicates();
        return rules;
    }
    return {QStringLiteral("no tax line")};
}

// One printout: the tool's arguments after the database, and the rows it
// says it printed, by PDF file.
struct Printout
{
    Printout(QString n, QStringList a, bool r = false, bool s = false)
        : name(std::move(n)), args(std::move(a)), report(r), schedule(s)
    {
    }
    QString name;
    QStringList args;
    bool report = false;
    bool schedule = false; // the scheduler's list on the screen, printed by the schedule subcommand
    // Words the printout must print whole and within the paper's edge.
    QStringList expect;
    std::unique_ptr<QProcess> process;
    int exitCode = -1;
    QString out;
    QString err;
};

constexpr int kRowsChecked = 6;

// Whether a value's word is printed: whole, or broken after one of its
// hyphens at the end of a line ("shrink-" over "wrapped").
bool printedWhole(const QSet<QString> &printed, const QString &token)
{
    if (printed.contains(token))
        return true;
    for (int i = token.indexOf(QLatin1Char('-')); i >= 0 && i + 1 < token.size();
         i = token.indexOf(QLatin1Char('-'), i + 1))
        if (printed.contains(token.left(i + 1)) && printedWhole(printed, token.mid(i + 1)))
            return true;
    return false;
}

// Words of the list's rows (between the body's top and the footer) that do
// not lie within one column: cut by their cell, or printed across the next.
QStringList cutWords(const std::vector<Page> &pages, double top, double bottom, const std::vector<double> &bounds)
{
    QStringList faults;
    for (size_t p = 0; p < pages.size(); ++p) {
        for (const Word &w : pages[p].words) {
            if (w.y0 < top || w.y1 > bottom || w.text == QLatin1String("continued..."))
                continue;
            bool inside = false;
            for (size_t c = 0; c + 1 < bounds.size() && !inside; ++c)
                inside = w.x0 >= bounds[c] - 0.5 && w.x1 <= bounds[c + 1] + 0.5;
            if (!inside)
                faults << QStringLiteral("page %1: \"%2\" at %3-%4").arg(p + 1).arg(w.text).arg(w.x0).arg(w.x1);
        }
    }
    return faults;
}

} // namespace

class PrintFitToolTest : public ::testing::Test
{
protected:
    static QString samplePath()
    {
        static QTemporaryDir dir;
        static const QString path = [] {
            const QString p = dir.filePath(QStringLiteral("Sample.mdb"));
            RunDbTool({QStringLiteral("sample"), p, QStringLiteral("--jobs"), QStringLiteral("300"),
                       QStringLiteral("--today"), QStringLiteral("6/15/2010")});
            return p;
        }();
        return path;
    }
    // A busier shop: 3,000 jobs, customers' names of 60 letters, titles of
    // 60 and items' descriptions of 200, in words.
    static QString bigSamplePath()
    {
        static QTemporaryDir dir;
        static const QString path = [] {
            const QString p = dir.filePath(QStringLiteral("Big.mdb"));
            QProcess sample;
            sample.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), p, QStringLiteral("--jobs"),
                                                         QStringLiteral("3000"), QStringLiteral("--today"),
                                                         QStringLiteral("6/15/2010")});
            sample.waitForFinished(300000);
            for (const char *sql :
                 {"UPDATE Customers SET Name = Left('Customer ' & CusNo & ' of the Northern Lakes Regional Printing "
                  "and Packaging Cooperative Group', 60)",
                  "UPDATE Jobs SET Title = Left(JobNo & ' Spring catalogue with fold-out map for the regional sales "
                  "office of the north', 60)",
                  "UPDATE Items SET Description = Left(ItemID & ' Perfect-bound commemorative yearbook: photographic "
                  "reproductions, typographical configurations, lamination, embossing, foil-stamping, "
                  "shrink-wrapping, individually numbered certificates, internationally distributed', 200) "
                  "WHERE SerNo = 0"})
                RunDbTool({QStringLiteral("sql"), p, QString::fromLatin1(sql)});
            return p;
        }();
        return path;
    }
};

TEST_F(PrintFitToolTest, EveryListAndReportFitsItsPageWithEveryValueWhole)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString shop = samplePath();
    ASSERT_TRUE(QFile::exists(shop));
    QTemporaryDir out;
    const auto first = [&](const QString &sql) {
        return RunDbTool({QStringLiteral("sql"), shop, sql}).out.trimmed().section(QLatin1Char('\n'), -1);
    };
    const QString order = first(QStringLiteral("SELECT TOP 1 JobID FROM Jobs WHERE JobType = 0 ORDER BY JobID"));
    const QString quote = first(QStringLiteral("SELECT TOP 1 JobID FROM Jobs WHERE JobType = 1 ORDER BY JobID"));
    const QString posting = first(QStringLiteral("SELECT Max(PostingNo) FROM PostingJournal"));
    ASSERT_FALSE(order.isEmpty());
    ASSERT_FALSE(quote.isEmpty());
    ASSERT_FALSE(posting.isEmpty());

    std::vector<Printout> printouts;
    int number = 0;
    const auto pdf = [&]() { return out.filePath(QStringLiteral("p%1.pdf").arg(++number)); };
    const QStringList today = {QStringLiteral("--today"), QStringLiteral("6/15/2010")};
    // Every Key Report of the report tree.
    const int codes[][2] = {{2001, 2009}, {2101, 2107}, {2201, 2212}, {2301, 2312}, {2401, 2405}, {2601, 2603}};
    for (const auto &range : codes)
        for (int code = range[0]; code <= range[1]; ++code)
            printouts.emplace_back(QStringLiteral("report %1").arg(code),
                                   QStringList{QStringLiteral("report"), shop, QString::number(code),
                                               QStringLiteral("--from"), QStringLiteral("01/01/2009"),
                                               QStringLiteral("--to"), QStringLiteral("12/31/2010"),
                                               QStringLiteral("--pdf"), pdf()} + today,
                                   true);
    const auto view = [&](const QString &name, int viewId, int branch, int item, int kind, const QString &key,
                          const QString &options, bool list) {
        QStringList args = {QStringLiteral("print"), shop, QStringLiteral("--view"), QString::number(viewId),
                            QStringLiteral("--branch"), QString::number(branch), QStringLiteral("--item"),
                            QString::number(item), QStringLiteral("--kind"), QString::number(kind),
                            QStringLiteral("--key"), key, QStringLiteral("--pdf"), pdf(), QStringLiteral("--rows"),
                            QString::number(kRowsChecked)};
        if (list)
            args << QStringLiteral("--list");
        if (!options.isEmpty())
            args << QStringLiteral("--options") << options;
        printouts.emplace_back(name, args + today);
    };
    // The lists of the reports view, as on the screen and with totals where
    // the view offers them (the Jobs Edited After Posting lists ask for a
    // date range first; the saved queries are the user's).
    const int items[] = {5, 5, 5, 5, 16, 4, 4, 6, 0, 4};
    for (int branch = 0; branch < 10; ++branch)
        for (int item = 1; item <= items[branch]; ++item)
            view(QStringLiteral("reports list %1/%2").arg(branch).arg(item), 30005, branch, item, 100,
                 QStringLiteral("0"), QString(), true);
    const int totals[][2] = {{4, 1}, {4, 12}, {4, 13}, {4, 14}, {9, 1}, {9, 3}, {7, 1}};
    for (const auto &t : totals)
        view(QStringLiteral("reports list %1/%2 with totals").arg(t[0]).arg(t[1]), 30005, t[0], t[1], 101,
             QStringLiteral("0"), QString(), true);
    // Every printed list of the jobs view (with costs and prices), the item
    // bar codes of its selected jobs among them.
    for (int kind = 100; kind <= 109; ++kind)
        view(QStringLiteral("jobs list %1").arg(kind), 30001, 0, 1, kind, order, QStringLiteral("1"), true);
    for (int kind = 100; kind <= 107; ++kind)
        view(QStringLiteral("quotes list %1").arg(kind), 30001, 1, 1, kind, quote, QStringLiteral("1"), true);
    for (int branch = 1; branch <= 2; ++branch)
        view(QStringLiteral("services list %1").arg(branch), 30002, branch, 1, 100, QStringLiteral("0"), QString(),
             true);
    for (int kind = 100; kind <= 102; ++kind)
        view(QStringLiteral("receivables list %1").arg(kind), 30004, 1, 1, kind, QStringLiteral("0"), QString(), true);
    for (int kind = 100; kind <= 101; ++kind)
        view(QStringLiteral("customers list %1").arg(kind), 30003, 0, 1, kind, QStringLiteral("0"), QString(), true);
    for (int kind = 101; kind <= 111; ++kind)
        view(QStringLiteral("schedule list %1").arg(kind), 30007, 0, 0, kind, QStringLiteral("0"), QString(), false);
    // Every printout of a posting, one file each.
    view(QStringLiteral("posting printouts"), 44231, 0, 0, 101, posting, QStringLiteral("0x7FFF"), false);
    // The sheets of the bar-code dialog.
    for (int kind = 301; kind <= 305; ++kind)
        printouts.emplace_back(QStringLiteral("sheet %1").arg(kind),
                               QStringList{QStringLiteral("print"), shop, QStringLiteral("--sheet"),
                                           QString::number(kind), QStringLiteral("--pdf"), pdf()});
    // A query of sixteen columns and one of four, with their statements.
    for (const char *sql :
         {"SELECT Jobs.JobNo, Jobs.Title, Jobs.DateIn, Jobs.DateDue, Jobs.DateShipped, Jobs.DatePaid, Jobs.Subtotal, "
          "Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.Paid, Jobs.Balance, Jobs.Cost, Jobs.CusNo, "
          "Jobs.Status FROM Jobs ORDER BY Jobs.JobNo",
          "SELECT Customers.Name, Customers.Address, Customers.City, Customers.CusNo FROM Customers ORDER BY "
          "Customers.Name"})
        printouts.emplace_back(QStringLiteral("query"),
                               QStringList{QStringLiteral("print"), shop, QStringLiteral("--sql"),
                                           QString::fromLatin1(sql), QStringLiteral("--pdf"), pdf(),
                                           QStringLiteral("--rows"), QString::number(kRowsChecked)});

    // The job documents of a copy of the shop whose first order has an item
    // of a 200-letter description for a customer of a 60-letter name, and
    // the receivables summary by age.
    const QString docs = out.filePath(QStringLiteral("Docs.mdb"));
    ASSERT_TRUE(QFile::copy(shop, docs));
    const QString description = QStringLiteral(
        "Full colour brochure on gloss stock folded twice with a die cut pocket on the inside back panel and "
        "a perforated reply card, shrink wrapped in bundles of fifty and boxed for delivery to three branches");
    const auto sqlOn = [&](const QString &db, const QString &sql) {
        return RunDbTool({QStringLiteral("sql"), db, sql}).out.trimmed().section(QLatin1Char('\n'), -1);
    };
    sqlOn(docs, QStringLiteral("UPDATE Items SET Description = '%1' WHERE JobID = %2 AND ItemNo = 1")
                    .arg(description, order));
    sqlOn(docs, QStringLiteral("UPDATE Customers SET Name = 'Northern Counties Regional Printing and Mailing Cooperative' "
                               "WHERE CusNo = (SELECT CusNo FROM Jobs WHERE JobID = %1)")
                    .arg(order));
    const QString history = sqlOn(docs, QStringLiteral("SELECT TOP 1 JobID FROM Jobs WHERE JobType = 3 ORDER BY JobID"));
    RunDbTool(QStringList{QStringLiteral("job"), docs, QStringLiteral("credit"), history} + today);
    const QString credit = sqlOn(docs, QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE Creator = 99"));
    const QString payer = sqlOn(docs, QStringLiteral("SELECT TOP 1 CusNo FROM Jobs WHERE JobType = 3 AND Balance > 0.0001 "
                                                     "ORDER BY JobID"));
    ASSERT_FALSE(credit.isEmpty());
    const struct
    {
        const char *name;
        QString option, key;
        int kind;
    } documents[] = {{"work order", QStringLiteral("--job"), order, 1}, {"invoice", QStringLiteral("--job"), order, 2},
                     {"quote", QStringLiteral("--job"), quote, 2},      {"credit invoice", QStringLiteral("--job"), credit, 2},
                     {"statement", QStringLiteral("--statement"), payer, 3}};
    for (const auto &d : documents)
        printouts.emplace_back(QString::fromLatin1(d.name),
                               QStringList{QStringLiteral("print"), docs, d.option, d.key, QStringLiteral("--kind"),
                                           QString::number(d.kind), QStringLiteral("--pdf"), pdf()} + today);
    // Every kind of document of a job whose first item is priced 5,555,734.65,
    // of one at 99,999,999.99 and of one at the largest amount the program
    // takes, each with 20.00 paid, on Letter and on A4: every amount printed
    // whole, within the paper's edge. The credit invoice's boxes add up: its
    // total and payment, and the balance of the invoice it cancels.
    {
        const int formOptions = sqlOn(docs, QStringLiteral("SELECT Options FROM Forms WHERE [No] = 2")).toInt();
        const struct
        {
            const char *price, *grouped, *balance;
        } amounts[] = {
            {"5555734.65", "5,555,734.65", "5,555,714.65"},
            {"99999999.99", "99,999,999.99", "99,999,979.99"},
            {"100000000000", "100,000,000,000.00", "99,999,999,980.00"},
        };
        int at = 0;
        for (const auto &a : amounts) {
            const QString db = out.filePath(QStringLiteral("Amounts%1.mdb").arg(++at));
            ASSERT_TRUE(QFile::copy(shop, db));
            const QString open = sqlOn(db, QStringLiteral("SELECT TOP 1 JobID FROM Jobs WHERE JobType = 3 AND "
                                                          "Balance > 0.0001 ORDER BY JobID"));
            const QString cancelled = sqlOn(db, QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE JobType = 3"));
            ASSERT_NE(open, cancelled);
            for (const QString &job : {order, quote, open, cancelled}) {
                sqlOn(db, QStringLiteral("UPDATE Items SET Price = %1 WHERE JobID = %2 AND SerNo = 0 AND ItemNo = 1")
                              .arg(QLatin1String(a.price), job));
                sqlOn(db, QStringLiteral("UPDATE Jobs SET Subtotal = %1, Discount = 0, Shipping = 0, Postage = 0, "
                                         "Tax = 0, Tax2 = 0, Latefee = 0, Writeoff = 0, Paid = IIf(JobType = 1, 0, -20), "
                                         "Balance = %1 + IIf(JobType = 1, 0, -20) WHERE JobID = %2")
                              .arg(QLatin1String(a.price), job));
            }
            RunDbTool(QStringList{QStringLiteral("job"), db, QStringLiteral("credit"), cancelled} + today);
            const QString creditOf = sqlOn(db, QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE Creator = 99"));
            const QString cancelledNo = sqlOn(db, QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = %1").arg(cancelled));
            const QString customer = sqlOn(db, QStringLiteral("SELECT CusNo FROM Jobs WHERE JobID = %1").arg(open));
            const QString grouped = QLatin1String(a.grouped);
            const QString balance = QLatin1String(a.balance);
            const struct
            {
                const char *name;
                QString option, key;
                int kind;
                int options; // -1: the form's
                QStringList expect;
            } kinds[] = {
                {"work order", QStringLiteral("--job"), order, 1, -1, {grouped, balance}},
                {"invoice", QStringLiteral("--job"), order, 2, -1, {grouped, balance}},
                {"classic invoice", QStringLiteral("--job"), order, 2, (formOptions & ~1) | 2, {grouped, balance}},
                {"letter invoice", QStringLiteral("--job"), order, 2, (formOptions & ~1) | 4, {grouped, balance}},
                {"order receipt", QStringLiteral("--job"), order, 3, -1, {}},
                {"delivery ticket", QStringLiteral("--job"), order, 4, -1, {}},
                {"quote", QStringLiteral("--job"), quote, 2, -1, {grouped}},
                {"credit invoice", QStringLiteral("--job"), creditOf, 2, -1,
                 {QLatin1Char('-') + grouped, QStringLiteral("Inv."), cancelledNo, balance}},
                // The statement groups its amounts as the other documents do.
                {"statement", QStringLiteral("--statement"), customer, 1, -1, {grouped, balance}},
            };
            for (const char *paper : {"Letter", "A4"}) {
                for (const auto &k : kinds) {
                    QStringList args = {QStringLiteral("print"), db, k.option, k.key, QStringLiteral("--kind"),
                                        QString::number(k.kind), QStringLiteral("--pdf"), pdf(),
                                        QStringLiteral("--paper"), QLatin1String(paper)};
                    if (k.options >= 0)
                        args << QStringLiteral("--options") << QString::number(k.options);
                    printouts.emplace_back(QStringLiteral("%1 at %2 on %3").arg(QLatin1String(k.name), grouped,
                                                                              QLatin1String(paper)),
                                           args + today);
                    printouts.back().expect = k.expect;
                }
            }
        }
    }
    // Every unpaid invoice of its own age: more buckets than the summary's
    // grid shows without scrolling.
    sqlOn(docs, QStringLiteral("UPDATE Jobs SET DateShipped = #6/10/2010# - JobID * 30 WHERE JobType = 3"));
    printouts.emplace_back(QStringLiteral("receivables summary"),
                           QStringList{QStringLiteral("print"), docs, QStringLiteral("--ar-summary"),
                                       QStringLiteral("--pdf"), pdf()} + today);

    // The scheduler's list on the screen, every entry of its Orders, Items,
    // Departments and Dates, and its printed lists, on the busier shop.
    const QString big = bigSamplePath();
    ASSERT_TRUE(QFile::exists(big));
    std::vector<int> scheduleCodes;
    for (int code = 31102; code <= 31113; ++code)
        scheduleCodes.push_back(code);
    const auto firstOfBig = [&](const QString &sql) {
        return RunDbTool({QStringLiteral("sql"), big, sql}).out.trimmed().section(QLatin1Char('\n'), -1);
    };
    const QString departments = firstOfBig(QStringLiteral("SELECT Max(DepNo) FROM ServiceDepartments"));
    ASSERT_GT(departments.toInt(), 0);
    // Worked apart from the list: the orders due before today and not yet
    // ready to post.
    const int lateOrders = firstOfBig(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 0 AND Creator < 98 "
                                                     "AND DateDue < #6/15/2010# AND Status < 3"))
                               .toInt();
    ASSERT_GT(lateOrders, 0);
    for (int code = 31201; code <= 31207 + departments.toInt(); ++code)
        scheduleCodes.push_back(code);
    scheduleCodes.push_back(31220);
    for (int code = 31301; code <= 31302 + departments.toInt(); ++code)
        scheduleCodes.push_back(code);
    scheduleCodes.push_back(31399);
    for (int code = 31501; code <= 31518; ++code)
        scheduleCodes.push_back(code);
    scheduleCodes.push_back(31599);
    for (int code : scheduleCodes)
        printouts.emplace_back(QStringLiteral("scheduler's list %1").arg(code),
                               QStringList{QStringLiteral("schedule"), big, QString::number(code),
                                           QStringLiteral("--pdf"), pdf()} + today,
                               false, true);
    for (int kind = 101; kind <= 111; ++kind)
        printouts.emplace_back(
            QStringLiteral("scheduler's printed list %1 of the busier shop").arg(kind),
            QStringList{QStringLiteral("print"), big, QStringLiteral("--view"), QStringLiteral("30007"),
                        QStringLiteral("--kind"), QString::number(kind), QStringLiteral("--key"), QStringLiteral("0"),
                        QStringLiteral("--pdf"), pdf(), QStringLiteral("--rows"), QStringLiteral("100000")}
                + today);

    // Four at a time.
    constexpr size_t kParallel = 4;
    for (size_t started = 0, done = 0; done < printouts.size();) {
        while (started < printouts.size() && started - done < kParallel) {
            Printout &p = printouts[started++];
            p.process = std::make_unique<QProcess>();
            p.process->start(QStringLiteral(TAVREL_DBTOOL), p.args);
        }
        Printout &p = printouts[done++];
        p.process->waitForFinished(120000);
        p.exitCode = p.process->exitStatus() == QProcess::NormalExit ? p.process->exitCode() : -1;
        p.out = QString::fromUtf8(p.process->readAllStandardOutput());
        p.err = QString::fromUtf8(p.process->readAllStandardError());
        p.process.reset();
    }

    // Every file printed, read back four at a time.
    std::map<QString, std::vector<Page>> read;
    {
        QStringList files;
        for (const Printout &p : printouts) {
            if (p.exitCode != 0)
                continue;
            files << p.args.value(p.args.indexOf(QStringLiteral("--pdf")) + 1);
            for (const QString &line : p.out.split(QLatin1Char('\n')))
                if (line.startsWith(QLatin1String("result ")) && !line.section(QLatin1Char(' '), 2, 2).isEmpty())
                    files << line.section(QLatin1Char(' '), 2, 2);
        }
        files.removeDuplicates();
        for (qsizetype i = 0; i < files.size(); i += kParallel) {
            std::vector<std::future<std::vector<Page>>> reading;
            for (qsizetype k = i; k < std::min(files.size(), i + qsizetype(kParallel)); ++k)
                reading.push_back(std::async(std::launch::async, readWords, files[k]));
            for (qsizetype k = i; k < std::min(files.size(), i + qsizetype(kParallel)); ++k)
                read[files[k]] = reading[size_t(k - i)].get();
        }
    }
    const auto wordsOf = [&](const QString &file) {
        const auto found = read.find(file);
        return found != read.end() ? found->second : readWords(file);
    };
    int checked = 0;
    int values = 0;
    int cuts = 0;
    int rendered = 0;
    const bool canRender = !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
    // The engine's own record beside each PDF: a word clipped by its cell
    // reads back whole by position, but the record knows it was cut. For a
    // few, the picture agrees: every word of the first page is drawn to its
    // last letter.
    const auto checkRecord = [&](const Printout &p, const QString &file, const std::vector<Page> &pages) {
        PrintCutRecord record;
        EXPECT_TRUE(record.read(PrintCutRecord::pathBeside(file)))
            << p.name.toStdString() << " (" << QFileInfo(file).fileName().toStdString() << ") has no cut record";
        EXPECT_GT(record.textsMeasured(), 0) << p.name.toStdString();
        EXPECT_TRUE(record.isEmpty()) << p.name.toStdString() << " (" << QFileInfo(file).fileName().toStdString()
                                      << "): " << record.cuts().size() << " texts cut, the first: "
                                      << record.describe(5).join(QStringLiteral("; ")).toStdString();
        cuts += int(record.cuts().size());
        if (canRender && !pages.empty()
            && (p.name == QLatin1String("receivables summary") || p.name == QLatin1String("invoice")
                || p.name == QLatin1String("work order") || p.name == QLatin1String("reports list 4/1")
                || p.name == QLatin1String("scheduler's list 31108"))) {
            const QStringList unseen = wordsEndingUnseen(file, pages[0]);
            EXPECT_TRUE(unseen.isEmpty()) << p.name.toStdString() << ": " << unseen.size()
                                          << " words end unseen, the first: "
                                          << unseen.mid(0, 8).join(QStringLiteral(" | ")).toStdString();
            ++rendered;
        }
    };
    // The scheduler's list on the screen: besides the checks of every
    // printout, every word of its rows within its column, every value of
    // every row printed, and its size as the screen counts it.
    const auto checkSchedule = [&](const Printout &p) {
        const QString file = p.args.value(p.args.indexOf(QStringLiteral("--pdf")) + 1);
        QString size;
        double top = 0;
        double bottom = 0;
        std::vector<double> bounds;
        QList<QStringList> rows;
        for (const QString &line : p.out.split(QLatin1Char('\n'))) {
            const QStringList cells = line.split(QLatin1Char('\t'));
            if (cells.first() == QLatin1String("size")) {
                size = cells.value(1);
            } else if (cells.first() == QLatin1String("body")) {
                top = cells.value(1).toDouble();
                bottom = cells.value(2).toDouble();
            } else if (cells.first() == QLatin1String("columns")) {
                for (int c = 1; c < cells.size(); ++c)
                    bounds.push_back(cells[c].toDouble());
            } else if (cells.first() == QLatin1String("row")) {
                rows << cells.mid(1);
            }
        }
        const std::vector<Page> pages = wordsOf(file);
        ASSERT_FALSE(pages.empty()) << p.name.toStdString();
        ASSERT_GT(bounds.size(), 2u) << p.name.toStdString();
        checkRecord(p, file, pages);
        const QStringList faults = layoutFaults(pages) + cutWords(pages, top, bottom, bounds);
        EXPECT_TRUE(faults.isEmpty()) << p.name.toStdString() << ": " << faults.size() << " faults, the first: "
                                      << faults.mid(0, 5).join(QStringLiteral("; ")).toStdString();
        QSet<QString> printed;
        for (const Page &page : pages)
            for (const Word &w : page.words)
                printed.insert(w.text);
        QStringList missing;
        for (const QStringList &row : rows) {
            for (const QString &cell : row) {
                for (const QString &token : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                    ++values;
                    if (!printedWhole(printed, token))
                        missing << token;
                }
            }
        }
        EXPECT_TRUE(missing.isEmpty()) << p.name.toStdString() << " does not print whole: " << missing.size()
                                       << " values, the first: "
                                       << missing.mid(0, 8).join(QStringLiteral(" | ")).toStdString();
        if (p.args.value(2) == QLatin1String("31108")) {
            // Late orders, grouped by their dates: the list has more rows
            // than orders, the printout names the orders.
            EXPECT_EQ(size, QStringLiteral("List Size: %1").arg(lateOrders));
            EXPECT_GT(rows.size(), lateOrders);
        }
    };
    for (const Printout &p : printouts) {
        // The files printed and the first rows of each.
        std::vector<std::pair<QString, QList<QStringList>>> files;
        const QStringList lines = p.out.split(QLatin1Char('\n'));
        // Nothing to print in the sample shop: a list without rows, a report
        // without data.
        if (p.exitCode != 0 && p.err.contains(QLatin1String("has no items to print!")))
            continue;
        if (p.report && p.exitCode != 0 && lines.size() <= 7 && lines.value(5).isEmpty())
            continue;
        EXPECT_EQ(p.exitCode, 0) << p.name.toStdString() << "\n" << p.err.toStdString();
        if (p.exitCode != 0)
            continue;
        if (p.schedule) {
            checkSchedule(p);
            ++checked;
            continue;
        }
        if (p.report) {
            QList<QStringList> rows;
            const QStringList titles = lines.value(4).split(QLatin1Char('\t'));
            for (int i = 5; i < lines.size() && rows.size() < kRowsChecked; ++i) {
                if (lines[i].isEmpty())
                    continue;
                QStringList cells = lines[i].split(QLatin1Char('\t'));
                // The flags, and the columns the report hides.
                QStringList shown;
                for (int c = 1; c < cells.size(); ++c)
                    if (!titles.value(c).contains(QLatin1String("HIDE")))
                        shown << cells[c];
                rows << shown;
            }
            files.push_back({p.args.value(p.args.indexOf(QStringLiteral("--pdf")) + 1), rows});
        } else {
            const QString sheetPdf = p.args.value(p.args.indexOf(QStringLiteral("--pdf")) + 1);
            for (const QString &line : lines) {
                if (line.startsWith(QLatin1String("result "))) {
                    const QString file = line.section(QLatin1Char(' '), 2, 2);
                    files.push_back({file.isEmpty() ? sheetPdf : file, {}});
                } else if (line.startsWith(QLatin1String("row\t")) && !files.empty()) {
                    files.back().second << line.mid(4).split(QLatin1Char('\t'));
                }
            }
        }
        ASSERT_FALSE(files.empty()) << p.name.toStdString();
        if (!p.expect.isEmpty())
            files.front().second << p.expect;
        for (const auto &[file, rows] : files) {
            const std::vector<Page> pages = wordsOf(file);
            ASSERT_FALSE(pages.empty()) << p.name.toStdString() << " " << file.toStdString();
            ++checked;
            checkRecord(p, file, pages);
            const QStringList faults = layoutFaults(pages);
            EXPECT_TRUE(faults.isEmpty()) << p.name.toStdString() << " (" << QFileInfo(file).fileName().toStdString()
                                          << "): " << faults.size() << " faults, the first: "
                                          << faults.mid(0, 5).join(QStringLiteral("; ")).toStdString();
            QSet<QString> printed;
            for (const Page &page : pages)
                for (const Word &w : page.words)
                    printed.insert(w.text);
            QStringList missing;
            for (const QStringList &row : rows) {
                for (const QString &cell : row) {
                    if (cell.contains(QLatin1String("\\n")))
                        continue;
                    for (const QString &token : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                        ++values;
                        if (!printedWhole(printed, token))
                            missing << token;
                    }
                }
            }
            EXPECT_TRUE(missing.isEmpty()) << p.name.toStdString() << " (" << QFileInfo(file).fileName().toStdString()
                                           << ") does not print whole: "
                                           << missing.mid(0, 8).join(QStringLiteral(" | ")).toStdString();
            // The amounts asked for are drawn to their last letter (a number
            // clipped by its box reads back whole from the text, not from
            // the picture), and stand a tenth of an inch inside the paper's
            // edge, where every printer prints.
            if (!p.expect.isEmpty() && canRender) {
                Page asked = pages[0];
                asked.words.clear();
                for (const Word &w : pages[0].words)
                    if (p.expect.contains(w.text))
                        asked.words.push_back(w);
                const QStringList unseen = wordsEndingUnseen(file, asked);
                EXPECT_TRUE(unseen.isEmpty()) << p.name.toStdString() << ": drawn short: "
                                              << unseen.join(QStringLiteral(" | ")).toStdString();
            }
            for (const Page &page : pages)
                for (const Word &w : page.words)
                    if (p.expect.contains(w.text))
                        EXPECT_TRUE(w.x0 >= 7.2 && w.y0 >= 7.2 && w.x1 <= page.width - 7.2
                                    && w.y1 <= page.height - 7.2)
                            << p.name.toStdString() << ": \"" << w.text.toStdString() << "\" at " << w.x0 << "-"
                            << w.x1 << " pt across " << page.width << ", " << w.y0 << "-" << w.y1 << " pt down";
        }
    }
    // The summary's balances add up to what is owed.
    for (const Printout &p : printouts) {
        if (p.name != QLatin1String("receivables summary"))
            continue;
        qint64 printed = 0;
        int buckets = 0;
        for (const QString &line : p.out.split(QLatin1Char('\n'))) {
            const QStringList cells = line.split(QLatin1Char('\t'));
            if (cells.size() != 3 || cells[0] != QLatin1String("row"))
                continue;
            ++buckets;
            const QString amount = QString(cells[2]).remove(QLatin1Char(','));
            printed += qRound64(amount.toDouble() * 100);
        }
        const QString owed = sqlOn(docs, QStringLiteral("SELECT Sum(Balance) FROM Jobs WHERE JobType = 3 AND Balance > 0.0001"));
        EXPECT_GT(buckets, 20);
        EXPECT_EQ(printed, qRound64(owed.toDouble() * 100)) << owed.toStdString();
    }
    RecordProperty("printouts", checked);
    RecordProperty("cuts", cuts);
    if (canRender) {
        EXPECT_EQ(rendered, 5);
    }
    RecordProperty("values", values);
    // The sample shop prints nearly all of them.
    EXPECT_GT(checked, 120);
    EXPECT_GT(values, 2000);
}

// A word of 200 letters without a blank in an item's description, printed in
// each kind of printed list (a saved query's list of 14 columns, the same
// statement as a report's table, the scheduler's lists): the page stays at
// the legible size and the word is broken between letters at hyphens, whole
// across its pieces. And a customer's memo of 150 lines and another's of
// three print every line, in a saved query's list and in a report table.
TEST_F(PrintFitToolTest, ALongWordBreaksAtTheLegibleSizeAndEveryLineOfACellPrints)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir out;
    const QString shop = out.filePath(QStringLiteral("Words.mdb"));
    ASSERT_TRUE(QFile::copy(samplePath(), shop));
    QString word;
    for (int k = 0; k < 200; ++k)
        word += QChar(u'a' + k % 26);
    QStringList memo;
    for (int k = 1; k <= 150; ++k)
        memo << QStringLiteral("memo line %1 of the customer").arg(k);
    // Another customer's memo of three lines, which a report table shows.
    const QStringList shortMemo = {QStringLiteral("Deliver to the back door"),
                                   QStringLiteral("Ask for Pat before noon"), QStringLiteral("Proofs by e-mail only")};
    const QStringList today = {QStringLiteral("--today"), QStringLiteral("6/15/2010")};
    for (const QString &sql :
         {QStringLiteral("UPDATE Items SET Description = '%1' WHERE SerNo = 0 AND ItemID Mod 7 = 0").arg(word),
          QStringLiteral("UPDATE Customers SET Memo = '%1' WHERE CusNo = (SELECT Min(CusNo) FROM Customers)")
              .arg(memo.join(QStringLiteral("\r\n"))),
          QStringLiteral("UPDATE Customers SET Memo = '%1' WHERE CusNo = (SELECT Max(CusNo) FROM Customers)")
              .arg(shortMemo.join(QStringLiteral("\r\n")))})
        ASSERT_EQ(RunDbTool({QStringLiteral("sql"), shop, sql}).exitCode, 0) << sql.left(60).toStdString();
    const QString items = QStringLiteral(
        "SELECT Items.ItemID, Items.JobID, Items.ItemNo, Items.Description, Items.ChargeQty, Items.Price, Items.Cost, "
        "Items.Width, Items.Height, Items.Status, Items.ActualQty, Items.SerNo, Items.SubNo, Items.ItemID AS Again "
        "FROM Items WHERE Items.SerNo = 0 ORDER BY Items.ItemID");
    ASSERT_EQ(RunDbTool({QStringLiteral("query"), shop, QStringLiteral("Items14"), items}).exitCode, 0);
    const QString memos = QStringLiteral("SELECT Customers.CusNo, Customers.Name, Customers.Memo FROM Customers "
                                         "ORDER BY Customers.CusNo");
    ASSERT_EQ(RunDbTool({QStringLiteral("query"), shop, QStringLiteral("Memos"), memos}).exitCode, 0);
    const auto savedQuery = [&](const QString &name, const QString &pdf) {
        return QStringList{QStringLiteral("print"), shop, QStringLiteral("--view"), QStringLiteral("30005"),
                           QStringLiteral("--branch"), QStringLiteral("10"), QStringLiteral("--item"),
                           QStringLiteral("1"), QStringLiteral("--list"), QStringLiteral("--query"), name,
                           QStringLiteral("--kind"), QStringLiteral("100"), QStringLiteral("--key"),
                           QStringLiteral("0"), QStringLiteral("--pdf"), pdf} + today;
    };
    const struct
    {
        const char *name;
        QStringList args;
    } printouts[] = {
        {"saved query of 14 columns", savedQuery(QStringLiteral("Items14"), out.filePath(QStringLiteral("q.pdf")))},
        {"report table", {QStringLiteral("print"), shop, QStringLiteral("--sql"), items, QStringLiteral("--pdf"),
                          out.filePath(QStringLiteral("t.pdf"))}},
        {"scheduler's Items", QStringList{QStringLiteral("schedule"), shop, QStringLiteral("31201"),
                                          QStringLiteral("--pdf"), out.filePath(QStringLiteral("s1.pdf"))} + today},
        {"scheduler's Departments", QStringList{QStringLiteral("schedule"), shop, QStringLiteral("31301"),
                                                QStringLiteral("--pdf"), out.filePath(QStringLiteral("s2.pdf"))} + today},
    };
    // Letters 1.117 of their size tall as read back (the font's ascent and
    // descent); the lists' body is 9 pt, its legible floor 0.7 of that, 6.3
    // pt (6.24 in whole pixels of 600 dpi).
    constexpr double kFloorPoints = 0.7 * 9;
    for (const auto &p : printouts) {
        const ToolRun run = RunDbTool(p.args);
        ASSERT_EQ(run.exitCode, 0) << p.name << ": " << run.err.toStdString();
        const QString pdf = p.args.value(p.args.indexOf(QStringLiteral("--pdf")) + 1);
        const std::vector<Page> pages = readWords(pdf);
        ASSERT_FALSE(pages.empty()) << p.name;
        PrintCutRecord record;
        ASSERT_TRUE(record.read(PrintCutRecord::pathBeside(pdf))) << p.name;
        EXPECT_TRUE(record.isEmpty()) << p.name << ": " << record.describe(5).join(QStringLiteral("; ")).toStdString();
        const QStringList faults = layoutFaults(pages);
        EXPECT_TRUE(faults.isEmpty()) << p.name << ": " << faults.mid(0, 5).join(QStringLiteral("; ")).toStdString();
        // The size the word's rows print at, on every page.
        std::vector<double> sizes;
        for (const Page &page : pages)
            for (const Word &w : page.words)
                if (w.text.startsWith(QLatin1String("abcdefghij")))
                    sizes.push_back((w.y1 - w.y0) / 1.117);
        EXPECT_FALSE(sizes.empty()) << p.name;
        if (!sizes.empty())
            EXPECT_GE(*std::min_element(sizes.begin(), sizes.end()), kFloorPoints - 0.1) << p.name;
        // The word's pieces on the first page it is on: each but the last
        // ends its line with a hyphen, and together they are the word.
        if (record.breaks().empty()) {
            ADD_FAILURE() << p.name << " breaks no word";
            continue;
        }
        const int page = record.breaks().front().page;
        QSet<QString> printed;
        for (const Word &w : pages[size_t(page - 1)].words)
            printed.insert(w.text);
        QString joined;
        // The first word broken: its pieces follow each other in the record.
        for (const PrintCutRecord::Break &b : record.breaks()) {
            if (b.page != page || !b.piece.endsWith(QLatin1Char('-')) || !word.startsWith(joined + b.piece.chopped(1)))
                break;
            EXPECT_TRUE(printed.contains(b.piece)) << p.name << ": " << b.piece.toStdString();
            joined += b.piece.chopped(1);
        }
        EXPECT_FALSE(joined.isEmpty()) << p.name << ": " << record.breaks().front().piece.toStdString();
        EXPECT_LT(joined.size(), word.size()) << p.name;
        EXPECT_TRUE(printed.contains(word.mid(joined.size())))
            << p.name << ": the word's last piece \"" << word.mid(joined.size()).toStdString() << "\" is not printed";
    }

    // The Contacts list with e-mail addresses of 40 to 46 letters: at the
    // legible size the page has room for them beside the other columns (the
    // rows are measured in the font they print in, not in bold), so none is
    // broken and every one prints whole.
    {
        const QStringList addresses = {QStringLiteral("accounts.payable@northern-counties.example.com"),
                                       QStringLiteral("bartholomew.vanderwesthuizen@example.com"),
                                       QStringLiteral("carla.kowalski-smith@example.com")};
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(RunDbTool({QStringLiteral("sql"), shop,
                                 QStringLiteral("UPDATE Contacts SET Email = '%1' WHERE ContactNo Mod 3 = %2")
                                     .arg(addresses[k])
                                     .arg(k)})
                          .exitCode,
                      0);
        const QString pdf = out.filePath(QStringLiteral("contacts.pdf"));
        const ToolRun run = RunDbTool({QStringLiteral("print"), shop, QStringLiteral("--view"), QStringLiteral("30003"),
                                       QStringLiteral("--branch"), QStringLiteral("5"), QStringLiteral("--item"),
                                       QStringLiteral("1"), QStringLiteral("--list"), QStringLiteral("--kind"),
                                       QStringLiteral("100"), QStringLiteral("--key"), QStringLiteral("0"),
                                       QStringLiteral("--pdf"), pdf});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<Page> pages = readWords(pdf);
        ASSERT_FALSE(pages.empty());
        PrintCutRecord record;
        ASSERT_TRUE(record.read(PrintCutRecord::pathBeside(pdf)));
        EXPECT_TRUE(record.isEmpty()) << record.describe(5).join(QStringLiteral("; ")).toStdString();
        for (const PrintCutRecord::Break &b : record.breaks())
            ADD_FAILURE() << "contacts: a word broken on page " << b.page << ": " << b.piece.toStdString();
        QMap<QString, int> printed;
        for (const Page &page : pages)
            for (const Word &w : page.words)
                ++printed[w.text];
        const QString counted = RunDbTool({QStringLiteral("sql"), shop, QStringLiteral("SELECT Count(*) FROM Contacts")})
                                    .out.trimmed()
                                    .section(QLatin1Char('\n'), -1);
        int whole = 0;
        for (const QString &address : addresses) {
            EXPECT_GT(printed.value(address), 0) << address.toStdString() << " is not printed whole";
            whole += printed.value(address);
        }
        EXPECT_EQ(whole, counted.toInt());
    }

    // The two-tax line of the job documents of an order and a quote of two
    // taxes: inside its own cell, no column rule through it.
    const QString twoTaxOrder = RunDbTool({QStringLiteral("sql"), shop,
                                           QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND TaxNo = 2")})
                                    .out.trimmed().section(QLatin1Char('\n'), -1);
    const QString twoTaxQuote = RunDbTool({QStringLiteral("sql"), shop,
                                           QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 1 AND TaxNo = 1")})
                                    .out.trimmed().section(QLatin1Char('\n'), -1);
    ASSERT_GT(twoTaxOrder.toInt(), 0);
    ASSERT_GT(twoTaxQuote.toInt(), 0);
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
        const struct
        {
            const char *name;
            QString job;
            int kind;
        } documents[] = {{"work order", twoTaxOrder, 1}, {"invoice", twoTaxOrder, 2}, {"quote", twoTaxQuote, 2}};
        for (const auto &d : documents) {
            const QString file = out.filePath(QStringLiteral("%1.pdf").arg(QString::fromLatin1(d.name).remove(QLatin1Char(' '))));
            const ToolRun printed = RunDbTool(QStringList{QStringLiteral("print"), shop, QStringLiteral("--job"), d.job,
                                                          QStringLiteral("--kind"), QString::number(d.kind),
                                                          QStringLiteral("--pdf"), file} + today);
            ASSERT_EQ(printed.exitCode, 0) << d.name << ": " << printed.err.toStdString();
            const QStringList rules = rulesThroughTaxLine(file, readWords(file));
            EXPECT_TRUE(rules.isEmpty()) << d.name << ": " << rules.join(QStringLiteral("; ")).toStdString();
        }
    }

    // Every line of both memos, in order, and nothing cut: in the saved
    // query's list and in a report table of the same query.
    const struct
    {
        const char *name;
        QStringList args;
    } memoPrintouts[] = {
        {"saved query's list", savedQuery(QStringLiteral("Memos"), out.filePath(QStringLiteral("m.pdf")))},
        {"report table", {QStringLiteral("print"), shop, QStringLiteral("--sql"), memos, QStringLiteral("--pdf"),
                          out.filePath(QStringLiteral("mt.pdf"))}},
    };
    for (const auto &p : memoPrintouts) {
        const QString pdf = p.args.value(p.args.indexOf(QStringLiteral("--pdf")) + 1);
        const ToolRun run = RunDbTool(p.args);
        ASSERT_EQ(run.exitCode, 0) << p.name << ": " << run.err.toStdString();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        text.waitForFinished(60000);
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QStringList printedLines;
        static const QRegularExpression memoLine(QStringLiteral("memo line \\d+ of the customer"));
        for (auto it = memoLine.globalMatch(printed); it.hasNext();)
            printedLines << it.next().captured(0);
        EXPECT_EQ(printedLines.size(), memo.size()) << p.name << ": memo lines printed";
        EXPECT_TRUE(printedLines == memo) << p.name << ": the memo's lines out of order";
        qsizetype at = 0;
        for (const QString &line : shortMemo) {
            const qsizetype found = printed.indexOf(line, at);
            EXPECT_GE(found, 0) << p.name << ": \"" << line.toStdString() << "\" not printed after the line before";
            at = std::max(at, found);
        }
        PrintCutRecord record;
        ASSERT_TRUE(record.read(PrintCutRecord::pathBeside(pdf))) << p.name;
        EXPECT_GT(record.textsMeasured(), 150) << p.name;
        EXPECT_TRUE(record.isEmpty()) << p.name << ": " << record.describe(5).join(QStringLiteral("; ")).toStdString();
    }
}

// The documents of a job with texts taller than a page: a memo to the
// customer, a note for the shop floor, an item's description and its note of
// 50 lines each, a word of 200 letters in another item's description, and a
// name of 60 letters without a blank for every customer and for the order's
// ship-to address; the order has more than 40 services. Every document (the
// work order with each of its options turned over, its service bar-code
// page among them) prints every item's own line with its price, every line
// of every text it shows once and nothing else of them, nothing outside the
// page or over another word, nothing below the legible size, and the print
// engine's record of cut texts is empty. The work order's vertical job
// number ends above the header boxes on every page.
TEST_F(PrintFitToolTest, EveryDocumentPrintsEveryItemAndEveryLineOfItsTallTexts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir out;
    const QString shop = out.filePath(QStringLiteral("Tall.mdb"));
    ASSERT_TRUE(QFile::copy(samplePath(), shop));
    const auto sql = [&](const QString &statement) {
        const ToolRun run = RunDbTool({QStringLiteral("sql"), shop, statement});
        EXPECT_EQ(run.exitCode, 0) << statement.left(80).toStdString() << ": " << run.err.toStdString();
        return run.out.trimmed().section(QLatin1Char('\n'), -1);
    };
    // 50 lines in the 255 letters of a memo field: "M1" to "M50".
    const auto lines = [](const QString &mark) {
        QStringList l;
        for (int k = 1; k <= 50; ++k)
            l << mark + QString::number(k);
        return l.join(QStringLiteral("\r\n"));
    };
    QString word;
    for (int k = 0; k < 200; ++k)
        word += QChar(u'a' + k % 26);
    const QString order = sql(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND JobID IN "
                                             "(SELECT JobID FROM Items WHERE ItemNo = 2)"));
    const QString quote = sql(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 1"));
    const QString history = sql(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 3 AND JobID IN "
                                               "(SELECT JobID FROM Items WHERE ItemNo = 2)"));
    ASSERT_GT(order.toInt(), 0);
    ASSERT_GT(quote.toInt(), 0);
    ASSERT_GT(history.toInt(), 0);
    const auto makeTall = [&](const QString &job) {
        sql(QStringLiteral("UPDATE Jobs SET InvoiceNote = '%1', WOrderNote = '%2' WHERE JobID = %3")
                .arg(lines(QStringLiteral("M")), lines(QStringLiteral("W")), job));
        sql(QStringLiteral("UPDATE Items SET Description = '%1', [Note] = '%2' WHERE JobID = %3 AND ItemNo = 1 AND "
                           "SerNo = 0")
                .arg(lines(QStringLiteral("D")), lines(QStringLiteral("N")), job));
        sql(QStringLiteral("UPDATE Items SET Description = '%1' WHERE JobID = %2 AND ItemNo = 2 AND SerNo = 0")
                .arg(word, job));
    };
    for (const QString &job : {order, quote, history})
        makeTall(job);
    // Every address block with a name of 60 letters and no blank.
    QString name;
    for (int k = 0; k < 60; ++k)
        name += QChar(u'A' + k % 26);
    sql(QStringLiteral("UPDATE Customers SET Name = '%1'").arg(name));
    sql(QStringLiteral("UPDATE Shipto SET Company = '%1'").arg(name));
    sql(QStringLiteral("UPDATE Jobs SET ShiptoNo = (SELECT Min(ShiptoNo) FROM Shipto) WHERE JobID = %1").arg(order));
    // The order's services doubled three times: more than 40 rows.
    {
        QProcess columns;
        columns.start(QStringLiteral("sqlite3"),
                      {shop, QStringLiteral("SELECT group_concat(name, ',') FROM pragma_table_info('Items') WHERE name <> "
                                            "'ItemID'")});
        columns.waitForFinished(30000);
        const QString list = QString::fromUtf8(columns.readAllStandardOutput()).trimmed();
        ASSERT_TRUE(list.contains(QLatin1String("SerNo"))) << "sqlite3 read no columns of Items";
        for (int k = 0; k < 3; ++k) {
            QProcess copy;
            copy.start(QStringLiteral("sqlite3"),
                       {shop, QStringLiteral("INSERT INTO Items (%1) SELECT %1 FROM Items WHERE JobID = %2 AND SerNo > 0")
                                  .arg(list, order)});
            copy.waitForFinished(30000);
            ASSERT_EQ(copy.exitCode(), 0) << copy.readAllStandardError().toStdString();
        }
    }
    ASSERT_GE(sql(QStringLiteral("SELECT Count(*) FROM Items WHERE SerNo > 0 AND JobID = %1").arg(order)).toInt(), 40);
    const QStringList today = {QStringLiteral("--today"), QStringLiteral("6/15/2010")};
    ASSERT_EQ(RunDbTool(QStringList{QStringLiteral("job"), shop, QStringLiteral("credit"), history} + today).exitCode, 0);
    const QString credit = sql(QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE Creator = 99"));
    makeTall(credit);
    const QString payer = sql(QStringLiteral("SELECT TOP 1 CusNo FROM Jobs WHERE JobType = 3 AND Balance > 0.0001 "
                                             "ORDER BY JobID"));
    const int invoiceOptions = sql(QStringLiteral("SELECT Options FROM Forms WHERE [No] = 2")).toInt();
    const int memoOption = 1 << 22;
    ASSERT_NE(invoiceOptions & memoOption, 0);
    struct Document
    {
        QString name;
        QString job;
        int kind;
        int options;          // -1: the form's
        const char *shown;    // the marks of the texts it prints
    };
    std::vector<Document> documents = {
        {"work order", order, 1, -1, "DNW"},
        {"invoice with its memo", order, 2, -1, "DNM"},
        {"invoice without its memo", order, 2, invoiceOptions & ~memoOption, "DN"},
        {"order receipt", order, 3, -1, "DNM"},
        {"delivery ticket", order, 4, -1, "DNM"},
        {"classic invoice", order, 2, (invoiceOptions & ~1) | 2, "DNM"},
        {"letter invoice", order, 2, (invoiceOptions & ~1) | 4, "DNM"},
        {"quote", quote, 2, -1, "DNM"},
        {"credit invoice", credit, 2, -1, "DNM"},
        {"statement", QString(), 3, -1, ""},
    };
    // The work order with each of its options turned over: the vertical job
    // number, the page break between items and the service bar-code page
    // among them.
    const int ticketOptions = sql(QStringLiteral("SELECT Options FROM Forms WHERE [No] = 1")).toInt();
    for (int bit = 0; bit <= 17; ++bit)
        documents.push_back({QStringLiteral("work order with option %1 %2").arg(bit).arg(ticketOptions & (1 << bit) ? "off" : "on"),
                             order, 1, ticketOptions ^ (1 << bit), "DNW"});
    constexpr int kBarcodePage = 1 << 15;
    constexpr int kVerticalNumber = 1 << 6;
    ASSERT_EQ(ticketOptions & (kBarcodePage | kVerticalNumber), 0);
    documents.push_back({QStringLiteral("work order with its number and bar-code page"), order, 1,
                         ticketOptions | kBarcodePage | kVerticalNumber, "DNW"});
    const QString orderNo = sql(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = %1").arg(order));
    // Letters 1.117 of their size tall as read back; the documents' body is
    // 9 pt, the smallest text 7 pt, the legible floor 0.7 of the body's.
    constexpr double kFloorPoints = 0.7 * 9;
    int shipToBlocks = 0;
    for (const auto &d : documents) {
        const std::string name = d.name.toStdString();
        const QString pdf = out.filePath(QStringLiteral("%1.pdf").arg(QString(d.name).replace(QLatin1Char(' '), QLatin1Char('-'))));
        QStringList args = {QStringLiteral("print"), shop};
        if (d.job.isEmpty())
            args << QStringLiteral("--statement") << payer;
        else
            args << QStringLiteral("--job") << d.job;
        args << QStringLiteral("--kind") << QString::number(d.kind) << QStringLiteral("--pdf") << pdf;
        if (d.options >= 0)
            args << QStringLiteral("--options") << QString::number(d.options);
        const ToolRun run = RunDbTool(args + today);
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err.toStdString();
        const std::vector<Page> pages = readWords(pdf);
        ASSERT_FALSE(pages.empty()) << name;
        PrintCutRecord record;
        ASSERT_TRUE(record.read(PrintCutRecord::pathBeside(pdf))) << name;
        EXPECT_TRUE(record.isEmpty()) << name << ": " << record.describe(5).join(QStringLiteral("; ")).toStdString();
        const QStringList faults = layoutFaults(pages);
        EXPECT_TRUE(faults.isEmpty()) << name << ": " << faults.mid(0, 5).join(QStringLiteral("; ")).toStdString();
        std::map<QString, int> printed;
        double smallest = 100;
        for (const Page &page : pages)
            for (const Word &w : page.words) {
                ++printed[w.text];
                smallest = std::min(smallest, (w.y1 - w.y0) / 1.117);
            }
        EXPECT_GE(smallest, kFloorPoints - 0.1) << name;
        // The header's two columns of a job document: no word of the left
        // one (the shop's block, the bill-to block with its name of 60
        // letters) enters the right one (title, date, ship-to block), which
        // begins where "SHIP" does; a share of a line is no excuse.
        if (d.kind != 1 && !d.job.isEmpty()) {
            const Page &page = pages[0];
            const Word *ship = nullptr;
            double headerEnd = page.height;
            for (const Word &w : page.words) {
                if (w.text == QLatin1String("SHIP") && !ship)
                    ship = &w;
                if (w.text == QLatin1String("Acct.No") || w.text == QLatin1String("Quantity"))
                    headerEnd = std::min(headerEnd, w.y0);
            }
            QStringList across;
            for (const Word &w : page.words)
                if (ship && w.y1 <= headerEnd && w.x0 < ship->x0 - 0.5 && w.x1 > ship->x0 + 0.5)
                    across << QStringLiteral("\"%1\" at %2-%3").arg(w.text).arg(w.x0).arg(w.x1);
            if (ship)
                ++shipToBlocks;
            EXPECT_TRUE(across.isEmpty()) << name << ": words of the left block enter the right one from "
                                          << (ship ? ship->x0 : 0) << " pt: " << across.join(QStringLiteral("; ")).toStdString();
        }
        // Every line of each text shown, once; of a text not shown, none.
        // The bar-code page shows an item's first lines again in its row.
        const bool barcodePage = d.kind == 1 && d.options >= 0 && (d.options & kBarcodePage);
        for (const char mark : {'D', 'N', 'M', 'W'}) {
            const bool shown = QByteArray(d.shown).contains(mark);
            const int most = shown && barcodePage && mark == 'D' ? 2 : 1;
            QStringList wrong;
            for (int k = 1; k <= 50; ++k) {
                const QString line = QString(QLatin1Char(mark)) + QString::number(k);
                const int count = printed.count(line) ? printed[line] : 0;
                if (shown ? count < 1 || count > most : count != 0)
                    wrong << QStringLiteral("%1 x%2").arg(line).arg(count);
            }
            EXPECT_TRUE(wrong.isEmpty()) << name << ": " << wrong.mid(0, 8).join(QStringLiteral(", ")).toStdString();
        }
        // The vertical job number (its word taller than wide) above the
        // "When" box's caption, on the first page and every page after.
        if (d.kind == 1 && d.options >= 0 && (d.options & kVerticalNumber)) {
            int numbered = 0;
            for (size_t p = 0; p < pages.size(); ++p) {
                const Word *number = nullptr;
                const Word *when = nullptr;
                for (const Word &w : pages[p].words) {
                    if (w.text == orderNo && w.y1 - w.y0 > w.x1 - w.x0)
                        number = &w;
                    if (w.text == QLatin1String("When"))
                        when = &w;
                }
                if (!when)
                    continue; // the bar-code page
                ++numbered;
                ASSERT_NE(number, nullptr) << name << ": page " << p + 1 << " has no vertical job number";
                EXPECT_LE(number->y1, when->y0) << name << ": page " << p + 1 << "'s vertical job number reaches "
                                                << number->y1 << " pt, the box's caption begins at " << when->y0;
                EXPECT_GE(number->y0, 0.0) << name << ": page " << p + 1;
            }
            EXPECT_GE(numbered, 2) << name;
        }
        // The service bar-code page: every service of the order on it, and
        // the item of a 200-letter word ended by "..." inside its row.
        if (barcodePage) {
            int marked = 0;
            for (const Page &page : pages)
                for (const Word &w : page.words)
                    if (w.text.endsWith(QLatin1String("...")) && w.text.startsWith(QLatin1String("abcdefghij")))
                        ++marked;
            EXPECT_EQ(marked, 1) << name << ": the 200-letter word is not ended by \"...\" on the bar-code page";
            // Each bar-code page that goes on: its last row's text ends above
            // "continued...", and both stand within the page's printable area
            // (a quarter inch from its edge).
            int continued = 0;
            for (size_t p = 0; p < pages.size(); ++p) {
                const Page &page = pages[p];
                const Word *more = nullptr;
                const Word *description = nullptr;
                bool ticket = false;
                for (const Word &w : page.words) {
                    if (w.text == QLatin1String("continued..."))
                        more = &w;
                    if (w.text == QLatin1String("Description") && !description)
                        description = &w;
                    ticket = ticket || w.text == QLatin1String("When");
                }
                if (ticket || !more || !description)
                    continue;
                ++continued;
                double lastRow = 0;
                for (const Word &w : page.words)
                    if (w.x0 >= description->x0 - 0.5 && w.y0 > description->y1 && &w != more)
                        lastRow = std::max(lastRow, w.y1);
                EXPECT_LE(more->y1, page.height - 18) << name << ": page " << p + 1 << "'s \"continued...\" at "
                                                      << more->y0 << "-" << more->y1 << " pt";
                EXPECT_LE(lastRow, more->y0 + 0.5) << name << ": page " << p + 1 << "'s last row ends at " << lastRow
                                                   << " pt, below \"continued...\" at " << more->y0;
                EXPECT_LE(lastRow, page.height - 18) << name << ": page " << p + 1;
            }
            EXPECT_GE(continued, 1) << name << ": no bar-code page goes on";
        }
        if (d.job.isEmpty())
            continue;
        // Every item's own line: its quantity and its price (a priced item).
        const QString rows = RunDbTool({QStringLiteral("sql"), shop,
                                        QStringLiteral("SELECT ItemNo, ChargeQty, Price FROM Items WHERE JobID = %1 AND "
                                                       "SerNo = 0 AND SubNo = 0 ORDER BY ItemNo")
                                            .arg(d.job)})
                                 .out;
        int items = 0;
        for (const QString &line : rows.split(QLatin1Char('\n'))) {
            const QStringList cells = line.trimmed().split(QLatin1Char('\t'));
            if (cells.size() != 3 || !cells[0].front().isDigit())
                continue;
            ++items;
            const QString quantity = QLocale(QLocale::English).toString(cells[1].toLongLong());
            const QString price = QLocale(QLocale::English).toString(cells[2].toDouble(), 'f', 2);
            EXPECT_TRUE(printed.count(quantity)) << name << ": item " << cells[0].toStdString() << "'s quantity "
                                                 << quantity.toStdString();
            if (d.kind != 1 && cells[2].toDouble() > 0.01) {
                EXPECT_TRUE(printed.count(price) || printed.count(QLatin1Char('-') + price))
                    << name << ": item " << cells[0].toStdString() << "'s price " << price.toStdString();
            }
        }
        EXPECT_GE(items, 2) << name;
    }
    EXPECT_GE(shipToBlocks, 6);
}

// Every document kind of a job and every statement, with every text field
// they print at its full length in the widest capitals ("W", "M"): the
// print engine's record of what it cut is empty, no word leaves the page
// or is printed over another, and the P.O. prints whole. A work order
// whose rows fill its last page keeps its totals row and footer on the
// paper: the last row starts a new page with them when they do not fit.
TEST_F(PrintFitToolTest, EveryDocumentKindPrintsEveryFieldAtItsFullLengthInWideCapitals)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        GTEST_SKIP() << "pdftotext or sqlite3 is not installed";
    QTemporaryDir out;
    const QString shop = out.filePath(QStringLiteral("Wide.mdb"));
    ASSERT_TRUE(QFile::copy(samplePath(), shop));
    const auto sqlite = [&](const QString &statement) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {shop, statement});
        p.waitForFinished(60000);
        EXPECT_EQ(p.exitCode(), 0) << statement.left(100).toStdString() << ": " << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    const QString order = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND JobID IN "
                                                "(SELECT JobID FROM Items WHERE ItemNo = 2)"));
    const QString quote = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 1"));
    const QString payer = sqlite(QStringLiteral("SELECT CusNo FROM Jobs WHERE JobType = 3 AND Balance > 0.0001 "
                                                "ORDER BY JobID LIMIT 1"));
    ASSERT_GT(order.toInt(), 0);
    ASSERT_GT(quote.toInt(), 0);
    ASSERT_GT(payer.toInt(), 0);
    // Every text field the documents print, at its column's length.
    const QString po(20, QLatin1Char('W'));
    const struct
    {
        const char *table;
        const char *column;
        int length;
        char letter;
    } fields[] = {
        {"Jobs", "Title", 100, 'W'},       {"Jobs", "PO", 20, 'W'},          {"Jobs", "TimeDue", 10, 'M'},
        {"Jobs", "InvoiceNote", 255, 'M'}, {"Jobs", "WOrderNote", 255, 'W'}, {"Customers", "Name", 60, 'W'},
        {"Customers", "Address", 60, 'M'}, {"Customers", "Address2", 60, 'W'}, {"Customers", "City", 30, 'M'},
        {"Customers", "State", 20, 'W'},   {"Customers", "Zip", 15, 'M'},    {"Customers", "Country", 30, 'W'},
        {"Contacts", "Title", 20, 'M'},    {"Contacts", "First", 30, 'W'},   {"Contacts", "Last", 30, 'M'},
        {"Contacts", "Phone", 20, 'W'},    {"Contacts", "Fax", 20, 'M'},     {"Shipto", "Attention", 60, 'W'},
        {"Shipto", "Company", 60, 'M'},    {"Shipto", "Address", 60, 'W'},   {"Shipto", "Address2", 60, 'M'},
        {"Shipto", "City", 30, 'W'},       {"Shipto", "State", 20, 'M'},     {"Shipto", "Zip", 15, 'W'},
        {"Shipto", "Country", 30, 'M'},    {"Shipto", "Phone", 20, 'W'},     {"Employees", "Name", 20, 'M'},
        {"ShipBy", "Name", 20, 'W'},       {"Terms", "Name", 20, 'M'},
    };
    for (const auto &f : fields)
        sqlite(QStringLiteral("UPDATE %1 SET %2 = '%3'")
                   .arg(QLatin1String(f.table), QLatin1String(f.column), QString(f.length, QLatin1Char(f.letter))));
    sqlite(QStringLiteral("UPDATE Items SET Description = '%1', [Note] = '%2' WHERE SerNo = 0 AND JobID IN (%3, %4)")
               .arg(QString(255, QLatin1Char('W')), QString(255, QLatin1Char('M')), order, quote));
    // Every job has a buyer, a ship-to, a CSR, a sales rep, a ship method
    // and terms to print.
    sqlite(QStringLiteral("UPDATE Jobs SET BuyerNo = (SELECT Min(ContactNo) FROM Contacts), ShiptoNo = (SELECT "
                          "Min(ShiptoNo) FROM Shipto), CSRNo = (SELECT Min(EmpNo) FROM Employees), SRepNo = (SELECT "
                          "Max(EmpNo) FROM Employees), ViaDue = (SELECT Min([No]) FROM ShipBy), TermsNo = (SELECT "
                          "Min([No]) FROM Terms)"));
    sqlite(QStringLiteral("UPDATE Customers SET PayerNo = (SELECT Min(ContactNo) FROM Contacts)"));
    const QStringList today = {QStringLiteral("--today"), QStringLiteral("6/15/2010")};

    // What is wrong with a printout: its cuts, its words off the page or
    // over others, and words within an eighth of an inch of the paper's edge.
    const auto faultsOf = [&](const QString &pdf, std::vector<Page> *read = nullptr) {
        QStringList faults;
        PrintCutRecord record;
        if (!record.read(PrintCutRecord::pathBeside(pdf)))
            return QStringList{QStringLiteral("no cut record")};
        faults << record.describe(5);
        const std::vector<Page> pages = readWords(pdf);
        if (pages.empty())
            return QStringList{QStringLiteral("no page")};
        faults << layoutFaults(pages).mid(0, 5);
        for (size_t p = 0; p < pages.size(); ++p)
            for (const Word &w : pages[p].words)
                if (w.y1 > pages[p].height - 9 + 0.5)
                    faults << QStringLiteral("page %1: \"%2\" ends %3 pt from the paper's bottom edge")
                                  .arg(p + 1)
                                  .arg(w.text)
                                  .arg(pages[p].height - w.y1, 0, 'f', 1);
        if (read)
            *read = pages;
        return faults;
    };
    const auto printJob = [&](const QString &job, int kind, const QString &pdf) {
        const ToolRun run = RunDbTool(QStringList{QStringLiteral("print"), shop, QStringLiteral("--job"), job,
                                                  QStringLiteral("--kind"), QString::number(kind),
                                                  QStringLiteral("--pdf"), pdf}
                                      + today);
        EXPECT_EQ(run.exitCode, 0) << pdf.toStdString() << ": " << run.err.toStdString();
    };

    struct Document
    {
        QString name;
        QString job;   // empty: the statement of kind
        int kind;
        bool po;       // prints the P.O. as one word
    };
    std::vector<Document> documents;
    const char *orderKinds[] = {"work order", "invoice", "order receipt", "delivery ticket", "invoice 5",
                                "invoice booklet", "invoice letter"};
    for (int kind = 1; kind <= 7; ++kind)
        documents.push_back({QString::fromLatin1(orderKinds[kind - 1]), order, kind, kind != 7});
    for (int kind = 1; kind <= 8; ++kind)
        documents.push_back({QStringLiteral("quote kind %1").arg(kind), quote, kind, false});
    for (int kind = 1; kind <= 4; ++kind)
        documents.push_back({QStringLiteral("statement kind %1").arg(kind), QString(), kind, false});
    for (const Document &d : documents) {
        const QString pdf = out.filePath(QString(d.name).replace(QLatin1Char(' '), QLatin1Char('-')) + QStringLiteral(".pdf"));
        if (d.job.isEmpty()) {
            const ToolRun run = RunDbTool(QStringList{QStringLiteral("print"), shop, QStringLiteral("--statement"),
                                                      payer, QStringLiteral("--kind"), QString::number(d.kind),
                                                      QStringLiteral("--pdf"), pdf}
                                          + today);
            ASSERT_EQ(run.exitCode, 0) << d.name.toStdString() << ": " << run.err.toStdString();
        } else {
            printJob(d.job, d.kind, pdf);
        }
        std::vector<Page> pages;
        const QStringList faults = faultsOf(pdf, &pages);
        EXPECT_TRUE(faults.isEmpty()) << d.name.toStdString() << ": " << faults.join(QStringLiteral("; ")).toStdString();
        if (d.po) {
            int whole = 0;
            for (const Page &page : pages)
                for (const Word &w : page.words)
                    whole += w.text == po;
            EXPECT_GE(whole, 1) << d.name.toStdString() << ": the P.O. is not printed whole";
        }
    }

    // The work order of one item and n services, each a line: the fewest
    // services that take it to a page more than one service takes, found by
    // halving, and the counts just below and above it (whose last page is
    // full) print everything on the paper. (The item's own lines of wide
    // capitals and a footer of three lines may take even one service to a
    // second page.)
    const QString service = sqlite(QStringLiteral("SELECT Min(ItemID) FROM Items WHERE JobID = %1 AND SerNo > 0 AND "
                                                  "ItemNo = 1 AND Status <> 2").arg(order));
    ASSERT_GT(service.toInt(), 0);
    const QString columns = sqlite(QStringLiteral("SELECT group_concat(name, ',') FROM pragma_table_info('Items') "
                                                  "WHERE name <> 'ItemID'"));
    sqlite(QStringLiteral("INSERT INTO Items (%1) SELECT %1 FROM Items WHERE ItemID = %2").arg(columns, service));
    const QString model = sqlite(QStringLiteral("SELECT Max(ItemID) FROM Items"));
    sqlite(QStringLiteral("UPDATE Items SET JobID = -1, [Note] = '' WHERE ItemID = %1").arg(model));
    sqlite(QStringLiteral("UPDATE Jobs SET WOrderNote = '' WHERE JobID = %1").arg(order));
    std::map<int, int> pagesOf;
    const auto workOrder = [&](int services, QStringList *faults) {
        sqlite(QStringLiteral("DELETE FROM Items WHERE JobID = %1 AND (ItemNo > 1 OR SerNo > 0)").arg(order));
        sqlite(QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < %1) "
                              "INSERT INTO Items (%2) SELECT %3 FROM Items, n WHERE ItemID = %4")
                   .arg(services)
                   .arg(columns, QString(columns).replace(QLatin1String("JobID"), order)
                                     .replace(QLatin1String("SortNo"), QStringLiteral("k")), model));
        const QString pdf = out.filePath(QStringLiteral("work-order-%1.pdf").arg(services));
        printJob(order, 1, pdf);
        std::vector<Page> pages;
        const QStringList found = faultsOf(pdf, &pages);
        if (faults)
            *faults = found;
        return pagesOf[services] = int(pages.size());
    };
    int low = 1;
    int high = 160;
    const int least = workOrder(low, nullptr);
    ASSERT_GE(least, 1);
    ASSERT_GT(workOrder(high, nullptr), least);
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (workOrder(middle, nullptr) > least ? high : low) = middle;
    }
    for (int services = std::max(1, low - 4); services <= high + 1; ++services) {
        QStringList faults;
        const int pages = workOrder(services, &faults);
        EXPECT_TRUE(faults.isEmpty()) << services << " services, " << pages << " pages: "
                                      << faults.join(QStringLiteral("; ")).toStdString();
    }
}

// The scheduler's item lists of the item-status branch (27 columns): a word
// of 200 letters in their descriptions does not take them below 0.7 of the
// size they print at without it (it is broken instead), and no title is
// cut. The summaries of services to do and done print no totals row the
// screen does not show (a row of zeros under their counts and hours).
TEST_F(PrintFitToolTest, TheSchedulersItemListsKeepTheirSizeWithALongWordAndSummariesPrintNoEmptyTotals)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir out;
    const QString plain = samplePath();
    const QString words = out.filePath(QStringLiteral("Words.mdb"));
    ASSERT_TRUE(QFile::copy(plain, words));
    QString word;
    for (int k = 0; k < 200; ++k)
        word += QChar(u'a' + k % 26);
    ASSERT_EQ(RunDbTool({QStringLiteral("sql"), words,
                         QStringLiteral("UPDATE Items SET Description = '%1' WHERE SerNo = 0 AND ItemID Mod 7 = 0")
                             .arg(word)})
                  .exitCode,
              0);
    const QStringList today = {QStringLiteral("--today"), QStringLiteral("6/15/2010")};
    // The smallest size of a printout's words (letters 1.117 of their size
    // tall as read back).
    const auto smallest = [](const std::vector<Page> &pages) {
        double size = 100;
        for (const Page &page : pages)
            for (const Word &w : page.words)
                size = std::min(size, (w.y1 - w.y0) / 1.117);
        return size;
    };
    for (const char *code : {"32101", "32103"}) {
        double sizes[2] = {0, 0};
        int at = 0;
        for (const QString &shop : {plain, words}) {
            const QString pdf = out.filePath(QStringLiteral("%1-%2.pdf").arg(QLatin1String(code)).arg(at));
            const ToolRun run = RunDbTool(QStringList{QStringLiteral("schedule"), shop, QString::fromLatin1(code),
                                                      QStringLiteral("--pdf"), pdf} + today);
            ASSERT_EQ(run.exitCode, 0) << code << ": " << run.err.toStdString();
            const std::vector<Page> pages = readWords(pdf);
            ASSERT_FALSE(pages.empty()) << code;
            PrintCutRecord record;
            ASSERT_TRUE(record.read(PrintCutRecord::pathBeside(pdf))) << code;
            EXPECT_TRUE(record.isEmpty()) << code << ": " << record.describe(5).join(QStringLiteral("; ")).toStdString();
            const QStringList faults = layoutFaults(pages);
            EXPECT_TRUE(faults.isEmpty()) << code << ": " << faults.mid(0, 5).join(QStringLiteral("; ")).toStdString();
            sizes[at++] = smallest(pages);
        }
        EXPECT_GE(sizes[1], 0.7 * sizes[0]) << code << ": " << sizes[1] << " pt with the word, " << sizes[0]
                                            << " pt without";
    }
    // Summary-To-Do and Summary-Done by operator, category, center and service.
    for (int base : {31900, 32000}) {
        for (int code = base + 1; code <= base + 7; ++code) {
            const QString pdf = out.filePath(QStringLiteral("summary-%1.pdf").arg(code));
            const ToolRun run = RunDbTool(QStringList{QStringLiteral("schedule"), plain, QString::number(code),
                                                      QStringLiteral("--pdf"), pdf} + today);
            ASSERT_EQ(run.exitCode, 0) << code << ": " << run.err.toStdString();
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
            text.waitForFinished(60000);
            const QString printed = QString::fromUtf8(text.readAllStandardOutput());
            static const QRegularExpression zeros(QStringLiteral("^\\s*0(\\s+0)*\\s*$"));
            for (const QString &line : printed.split(QLatin1Char('\n')))
                EXPECT_FALSE(zeros.match(line).hasMatch()) << code << ": a row of zeros \"" << line.toStdString() << "\"";
        }
    }
}

// The program's own print of a list, not the tool's: the Contacts list of the
// customers view printed by its Print button through the print box's "Print
// To" onto A4 and onto Letter, within the printer's margins and with the
// view's pictures in its first column. Its columns are fitted from what they
// hold as the tool's are: an empty column (Phone2, Cell) takes its heading's
// room, never an address's, and every address prints whole, the sample's and
// a few of 26 and 27 letters among them.
class PrintFitViewTest : public ShopTest
{
protected:
    void makeShopFile(const QString &path) override
    {
        static QTemporaryDir dir;
        static const QString sample = [] {
            const QString p = dir.filePath(QStringLiteral("Sample.mdb"));
            RunDbTool({QStringLiteral("sample"), p, QStringLiteral("--jobs"), QStringLiteral("300"),
                       QStringLiteral("--today"), QStringLiteral("6/15/2010")});
            return p;
        }();
        ASSERT_TRUE(QFile::copy(sample, path));
    }
};

TEST_F(PrintFitViewTest, TheContactsListPrintedFromTheViewPrintsEveryAddressWholeOnA4AndLetter)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    exec(QStringLiteral("UPDATE Contacts SET Email = 'ap.desk@fairview-print.com' WHERE ContactNo Mod 7 = 1"));
    exec(QStringLiteral("UPDATE Contacts SET Email = 'bart.vanderwest@example.com' WHERE ContactNo Mod 7 = 4"));
    // Every address, as often as the list holds it.
    QMap<QString, int> addresses;
    int contacts = 0;
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Email FROM Contacts"));
        for (; !rs.isEOF(); rs.moveNext()) {
            ++contacts;
            const QString address = rs.value(0).toString();
            if (!address.isEmpty())
                ++addresses[address];
        }
    }
    ASSERT_GT(contacts, 20);
    ASSERT_GT(addresses.size(), 20);
    InstallPrinting(*app);
    CViewCustomers view;
    view.resize(1280, 800);
    view.OnInitialUpdate();
    view.show();
    view.SelectTreeCode(501);
    QApplication::processEvents();
    ASSERT_EQ(view.list()->GetItemCount(), contacts);

    const struct
    {
        const char *name;
        QPageSize::PageSizeId size;
    } papers[] = {{"A4", QPageSize::A4}, {"Letter", QPageSize::Letter}};
    for (const auto &paper : papers) {
        const QString pdf = tempPath(QStringLiteral("Contacts-%1.pdf").arg(QLatin1String(paper.name)));
        onDialog<CPrintDlg>([](CPrintDlg &d) {
            EXPECT_TRUE(d.documentTree()->FindOption(100u));
            d.SelectDocument(100);
            d.SendCommand(CPrint::kPrintDialog);
            return d.result();
        });
        prompts().onDialog([&](QDialog &d) {
            auto *dialog = dynamic_cast<QPrintDialog *>(&d);
            EXPECT_NE(dialog, nullptr) << d.metaObject()->className();
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(pdf);
            dialog->printer()->setPageSize(QPageSize(paper.size));
            return int(QDialog::Accepted);
        });
        view.RunCommand(30330);
        QApplication::processEvents();
        ASSERT_TRUE(QFile::exists(pdf)) << paper.name;
        const std::vector<Page> pages = readWords(pdf);
        ASSERT_FALSE(pages.empty()) << paper.name;
        EXPECT_NEAR(pages[0].width, paper.size == QPageSize::A4 ? 595 : 612, 1) << paper.name;
        const QStringList faults = layoutFaults(pages);
        EXPECT_TRUE(faults.isEmpty()) << paper.name << ": " << faults.mid(0, 5).join(QStringLiteral("; ")).toStdString();
        // The words with an "@": every address, each one whole.
        QMap<QString, int> printed;
        for (const Page &page : pages)
            for (const Word &w : page.words)
                if (w.text.contains(QLatin1Char('@')))
                    ++printed[w.text];
        QStringList wrong;
        for (auto it = printed.cbegin(); it != printed.cend(); ++it)
            if (addresses.value(it.key()) != it.value())
                wrong << QStringLiteral("%1 x%2").arg(it.key()).arg(it.value());
        for (auto it = addresses.cbegin(); it != addresses.cend(); ++it)
            if (!printed.contains(it.key()))
                wrong << QStringLiteral("%1 not whole").arg(it.key());
        EXPECT_TRUE(wrong.isEmpty()) << paper.name << ": " << wrong.mid(0, 6).join(QStringLiteral(" | ")).toStdString();
    }
}
