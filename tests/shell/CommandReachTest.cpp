// Every command a window answers can be given by a user. The program's
// command tables are its code: ribbon items, menu entries, accelerators,
// scan-code lists and the commands windows send each other all name the
// command by its number. A number that a window's OnCommand answers and that
// appears nowhere else (outside case labels, enabling rules and the calls
// that only show or enable an item) is a command nothing can send.
#include <gtest/gtest.h>

#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>
#include <QtCore/QStringList>

namespace {

// The commands that are answered without a table naming them, and why.
struct Unsent
{
    int first;
    int last;
    const char *reason;
};
const Unsent kExceptions[] = {
    // The jobs view's bar-code commands come as scanned command codes: the
    // status and date stamps, the document prints, the new jobs for a
    // scanned customer and the job lists of a scanned customer or CSR.
    {30131, 30136, "a scanned status stamp"},
    {30141, 30144, "a scanned date stamp"},
    {30321, 30326, "a scanned document print"},
    {30599, 30602, "a scanned new job"},
    {30610, 30613, "a scanned job list"},
    {29132, 29132, "answered inside the workday range 29131-29133; the tree offers 29131 and 29133"},
    {30232, 30232, "the task window's Finish button calls its handler itself"},
    {30631, 30631, "the job window answers it as 30113, which its Item menu sends"},
    {30575, 30575, "the companion data-tools program does not exist on this platform"},
    {30577, 30577, "Compact with Ctrl held runs it"},
    {30720, 30724, "the scheduler's list commands come with the scheduler's own menus"},
};

QString withoutComment(const QString &line)
{
    for (int at = line.indexOf(QLatin1String("//")); at >= 0; at = line.indexOf(QLatin1String("//"), at + 2))
        if (line.left(at).count(QLatin1Char('"')) % 2 == 0)
            return line.left(at);
    return line;
}

} // namespace

TEST(CommandReach, EveryAnsweredCommandIsSentBySomething)
{
    static const QRegularExpression function(QStringLiteral("^\\S.*::(\\w+)\\("));
    static const QRegularExpression caseLabel(QStringLiteral("case\\s+(\\d{5})\\s*:"));
    static const QRegularExpression showOnly(QStringLiteral(
        "\\b(EnableItem|SetItemText|SetItemState|ShowItem|RemoveItem|SetItemImage|isBlinking|itemRect|GetItemText|"
        "CheckItem|IsItemEnabled)\\s*\\(\\s*\\d{5}"));
    static const QRegularExpression number(QStringLiteral("(?<![\\d.])(\\d{5})(?![\\d.])"));

    QMap<int, QString> answered; // command, the file that answers it
    QSet<int> sent;
    int files = 0;
    QDirIterator it(QStringLiteral(TAVREL_TEST_DATA "/../../src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << qPrintable(file.fileName());
        ++files;
        QString inFunction;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString &raw : lines) {
            if (const QRegularExpressionMatch m = function.match(raw); m.hasMatch())
                inFunction = m.captured(1);
            else if (raw.startsWith(QLatin1Char('}')))
                inFunction.clear();
            QString line = withoutComment(raw);
            if (inFunction == QLatin1String("OnCommand"))
                for (auto m = caseLabel.globalMatch(line); m.hasNext();)
                    answered.insert(m.next().captured(1).toInt(), file.fileName().section(QLatin1Char('/'), -2));
            if (inFunction == QLatin1String("IsCommandEnabled"))
                continue;
            line.remove(caseLabel);
            line.remove(showOnly);
            for (auto m = number.globalMatch(line); m.hasNext();)
                sent.insert(m.next().captured(1).toInt());
        }
    }
    ASSERT_GT(files, 300);
    ASSERT_GT(answered.size(), 150);

    QStringList unsent;
    for (auto a = answered.cbegin(); a != answered.cend(); ++a) {
        if (sent.contains(a.key()))
            continue;
        bool excused = false;
        for (const Unsent &e : kExceptions)
            excused = excused || (a.key() >= e.first && a.key() <= e.last);
        if (!excused)
            unsent << QStringLiteral("%1 (%2)").arg(a.key()).arg(a.value());
    }
    EXPECT_TRUE(unsent.isEmpty()) << "answered, but no ribbon, menu, key or scan code sends: "
                                  << qPrintable(unsent.join(QStringLiteral(", ")));
}
