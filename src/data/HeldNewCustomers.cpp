#include "data/HeldNewCustomers.h"

#include "data/CCusSet.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#endif

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("NewCustomers");

// One note a line: the holding copy's process number, the customer number
// and the database file.
struct Note
{
    qint64 pid = 0;
    qint32 cusNo = 0;
    QString database;
    QString line() const { return QStringLiteral("%1 %2 %3").arg(pid).arg(cusNo).arg(database); }
};

QList<Note> readNotes()
{
    QList<Note> notes;
    const QStringList lines = platform::Settings::readString(kSection, kKey).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        Note note;
        bool pidOk = false;
        bool noOk = false;
        note.pid = line.section(QLatin1Char(' '), 0, 0).toLongLong(&pidOk);
        note.cusNo = line.section(QLatin1Char(' '), 1, 1).toInt(&noOk);
        note.database = line.section(QLatin1Char(' '), 2);
        if (pidOk && noOk)
            notes.append(note);
    }
    return notes;
}

void writeNotes(const QList<Note> &notes)
{
    QStringList lines;
    for (const Note &note : notes)
        lines.append(note.line());
    platform::Settings::writeString(kSection, kKey, lines.join(QLatin1Char('\n')));
    platform::Settings::sync();
}

bool isRunning(qint64 pid)
{
    if (pid == QCoreApplication::applicationPid())
        return true;
#ifdef Q_OS_UNIX
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
#else
    // No look at other processes here: a note is taken as its copy's, still
    // running, and its row stays.
    return true;
#endif
}

} // namespace

void HeldNewCustomers::Hold(qint32 cusNo)
{
    const platform::Database &db = SharedDatabase();
    if (cusNo <= 0)
        return;
    QList<Note> notes = readNotes();
    notes.append({QCoreApplication::applicationPid(), cusNo, db.name()});
    writeNotes(notes);
}

void HeldNewCustomers::Release(qint32 cusNo)
{
    const platform::Database &db = SharedDatabase();
    QList<Note> notes = readNotes();
    const qsizetype before = notes.size();
    notes.removeIf([&](const Note &n) {
        return n.pid == QCoreApplication::applicationPid() && n.cusNo == cusNo && n.database == db.name();
    });
    if (notes.size() != before)
        writeNotes(notes);
}

int HeldNewCustomers::RemoveAbandoned()
{
    platform::Database &db = SharedDatabase();
    if (!db.isOpen() || db.isReadOnly())
        return 0;
    QList<Note> notes = readNotes();
    int removed = 0;
    const qsizetype before = notes.size();
    notes.removeIf([&](const Note &n) {
        if (n.database != db.name() || isRunning(n.pid))
            return false;
        // Only a row still as it was made: a customer saved under a name
        // of its own is never removed.
        bool placeholder = false;
        try {
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT Name FROM Customers WHERE CusNo = ?"), {platform::Value(n.cusNo)});
            placeholder = !rs.isEOF() && rs.value(0).toString() == QLatin1String("< new >");
        } catch (const platform::DbException &) {
            return false; // looked at again at the next start
        }
        if (!placeholder)
            return true;
        if (!CCusSet().DeleteCustomer(n.cusNo))
            return false; // said; tried again at the next start
        ++removed;
        return true;
    });
    if (notes.size() != before)
        writeNotes(notes);
    return removed;
}
