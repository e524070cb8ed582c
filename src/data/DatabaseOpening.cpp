#include "data/DatabaseOpening.h"

#include "app/base/FileChoice.h"

#include "app/base/Paths.h"
#include "app/base/ProgramPaths.h"
#include "data/DaoError.h"
#include "data/DefaultRows.h"
#include "data/KeyCheck.h"
#include "data/ShopDatabase.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "data/ShopSchema.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/BackgroundPageCheck.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/PageCheck.h"
#include "platform/db/DbException.h"

#include <QtCore/QFileInfo>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <memory>

namespace {

// A file of up to this many pages is looked at whole while the opening
// waits: measured at some 26 microseconds a page (1,000 pages, 4 MB of 4 KB
// pages, in about 25 ms; a new shop has some 120 pages, a shop of 100,000 jobs
// 40,000 pages, 1 to 1.3 s). A larger file is looked at once the program is
// up (LaterPageCheck).
constexpr qint64 kPagesCheckedAtOpening = 1000;
// The most the look at the opening may take all the same (a slow share).
constexpr int kPageCheckMs = 1500;
// A later look that gave way to a write begins again this much later, up to
// this many times in all.
constexpr int kLaterCheckPauseMs = 3000;
constexpr int kLaterCheckAttempts = 10;
// How often a finding waits for a moment when no dialog or transaction runs.
constexpr int kQuietMomentPollMs = 250;

RepairDatabaseStep &repairStep()
{
    static RepairDatabaseStep step;
    return step;
}

UpgradeDatabaseStep &upgradeStep()
{
    static UpgradeDatabaseStep step;
    return step;
}

// The folder part of a path, up to and including its last separator (either
// kind); empty when there is none.
QString folderPart(const QString &path)
{
    const int at = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return at < 0 ? QString() : path.left(at + 1);
}

// Opens the file shared for writing. A full disk or a file marked read-only
// is no damage: the file is then opened for reading alone and the user is
// told so, once. failure holds the error of the writable open, which has
// been shown unless the file could be opened for reading.
void OpenSharedOrForReading(platform::Database *database, const QString &path, int &failure)
{
    if (database->isOpen())
        database->close();
    failure = 0;
    try {
        database->open(path, false, false);
        return;
    } catch (const platform::DbException &e) {
        failure = e.number();
        if (failure == platform::dberr::DiskFull || failure == platform::dberr::ReadOnly) {
            try {
                database->open(path, false, true);
            } catch (const platform::DbException &) {
            }
        }
        if (!database->isOpen()) {
            ShowDaoError(e, QStringLiteral("Cannot open database:\n") + path);
            return;
        }
    }
    const QString why = failure == platform::dberr::DiskFull
        ? QStringLiteral("The disk that holds %1 is full.").arg(path)
        : QStringLiteral("%1 is marked read-only.").arg(path);
    platform::Prompt::messageBox(why + QStringLiteral("\n\nTavrel opens the database for reading only: "
                                                     "nothing can be saved until this is put right."),
                                 QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
}

// Offers the installed repair: of the file at repairPath (the database is
// closed), or with repairPath empty of the file the database has open, as the
// maintenance menu's repair does it. True when the database is open after.
bool OfferRepair(platform::Database *database, const QString &repairPath)
{
    if (repairStep())
        repairStep()(database, QStringLiteral("Do you want Tavrel to attempt to repair the database?"), repairPath);
    return database->isOpen();
}

// A damaged page opens like any other and fails only when a list reads it:
// the user is told, and offered the repair, as for a file that does not open
// at all.
bool ReportDamagedFile(platform::Database *database, const QString &path, const QString &repairPath)
{
    ShowDaoError(platform::dberr::error(platform::dberr::NotADatabase, path),
                 QStringLiteral("Cannot open database:\n") + path);
    return OfferRepair(database, repairPath);
}

// A moment the user can be asked something without harm: no dialog, menu or
// inner event loop is running and the database is in no transaction.
bool IsQuietMoment(const platform::Database &database)
{
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget()
        && QThread::currentThread()->loopLevel() <= 1 && database.transactionDepth() == 0;
}

// The look at the pages of a file too large to be looked at while the
// opening waits: made on a thread of its own once the program is up, and
// begun again (a few times) after it gave way to a write. A damaged page is
// reported on the program's own thread at a quiet moment; a file closed or
// reopened meanwhile (compaction, restore, another file) is not reported.
class LaterPageCheck : public QObject
{
public:
    LaterPageCheck(platform::Database *database, const QString &path)
        : m_database(database)
        , m_path(path)
        , m_check(*database, [this] { QMetaObject::invokeMethod(this, [this] { attemptEnded(); }, Qt::QueuedConnection); })
    {
    }

    bool underway() const { return !m_done; }

    void start()
    {
        if (m_done || m_check.outcome() == platform::BackgroundPageCheck::Outcome::Running)
            return;
        if (!m_check.follows(*m_database)) {
            m_done = true;
            return;
        }
        m_check.start();
    }

private:
    void attemptEnded()
    {
        using Outcome = platform::BackgroundPageCheck::Outcome;
        switch (m_check.outcome()) {
        case Outcome::NotStarted:
        case Outcome::Running:
            return;
        case Outcome::Sound:
            m_done = true;
            return;
        case Outcome::Damaged:
            // Reported from a timer of its own: the report may end with this
            // check replaced.
            QTimer::singleShot(0, this, [this] { report(); });
            return;
        case Outcome::GaveWay:
            if (++m_attempts >= kLaterCheckAttempts)
                m_done = true;
            else
                QTimer::singleShot(kLaterCheckPauseMs, this, [this] { start(); });
            return;
        }
    }

    void report()
    {
        if (m_done)
            return;
        if (!m_check.follows(*m_database)) {
            m_done = true;
            return;
        }
        if (!IsQuietMoment(*m_database)) {
            QTimer::singleShot(kQuietMomentPollMs, this, [this] { report(); });
            return;
        }
        m_done = true;
        // The repair may open the database again, which replaces this check:
        // nothing of it is used from here on.
        platform::Database *database = m_database;
        const QString path = m_path;
        ReportDamagedFile(database, path, QString());
    }

    platform::Database *m_database;
    QString m_path;
    int m_attempts = 0;
    bool m_done = false;
    platform::BackgroundPageCheck m_check;
};

bool g_laterChecksBegun = false;

std::unique_ptr<LaterPageCheck> &laterCheck()
{
    static std::unique_ptr<LaterPageCheck> check;
    return check;
}

} // namespace

void BeginLaterPageChecks()
{
    g_laterChecksBegun = true;
    if (laterCheck())
        laterCheck()->start();
}

void EndLaterPageChecks()
{
    g_laterChecksBegun = false;
    laterCheck().reset();
}

bool LaterPageCheckUnderway()
{
    return laterCheck() && laterCheck()->underway();
}

QString ClosingMessage()
{
    return QStringLiteral("Tavrel will end now. Please contact Halvane for a solution.");
}

void SetRepairDatabaseStep(RepairDatabaseStep step)
{
    repairStep() = std::move(step);
}

void SetUpgradeDatabaseStep(UpgradeDatabaseStep step)
{
    upgradeStep() = std::move(step);
}

bool OpenDatabase(platform::Database *database)
{
    using platform::Prompt;
    if (!database)
        return false;
    const QString section = QStringLiteral("Settings");
    const QString key = QString::fromLatin1(kDatabasePathKey);

    const QString storedPath = platform::Settings::readString(section, key, QString());
    QString path = NativePath(storedPath.isEmpty() ? DatabaseFileName() : storedPath);

    if (!QFileInfo(path).isFile()) {
        const QString question = Prompt::defaultCaption() + QStringLiteral("\ncannot find the database ") + path
            + QStringLiteral("\n\n") + QStringLiteral("\n\nWould you like to look for it?");
        if (Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            != platform::IDYES) {
            Prompt::messageBox(ClosingMessage(), QString(), platform::MB_OK | platform::MB_ICONERROR);
            return false;
        }
        QString folder = GetFolderPart(path);
        QString name = GetFileNamePart(path);
        if (!ChooseFile(true, folder, name, QStringLiteral(".mdb"),
                        QStringLiteral("Tavrel (%1)|*.mdb||").arg(DatabaseFileName()), QString(), OFN_FILEMUSTEXIST))
            return false;
        path = NativePath(folder + name);
    }

    // A check of the file opened before ends with it.
    laterCheck().reset();

    int failure = 0;
    OpenSharedOrForReading(database, path, failure);
    if (!database->isOpen()) {
        // A file that is in use elsewhere (3045), that this user may not
        // open (3051), or that could not be opened even for reading on a
        // full disk or as read-only is not damaged: compaction would fail
        // the same way.
        if (failure == 3045 || failure == 3051 || failure == platform::dberr::DiskFull || failure == platform::dberr::ReadOnly)
            return false;
        if (!OfferRepair(database, path))
            return false;
    } else if (platform::PageCount(*database) > kPagesCheckedAtOpening) {
        laterCheck() = std::make_unique<LaterPageCheck>(database, path);
        // Once the program is up, a file opened again is looked at as soon
        // as the opening (and its writes) is over.
        if (g_laterChecksBegun)
            QTimer::singleShot(0, laterCheck().get(), [check = laterCheck().get()] { check->start(); });
    } else if (platform::CheckPages(*database, kPageCheckMs) == platform::PageCheck::Damaged) {
        database->close();
        if (!ReportDamagedFile(database, path, path))
            return false;
    }

    QString name = database->name();
    if (QFileInfo(name).isRelative())
        name = QFileInfo(name).absoluteFilePath();
    QString folder = NativePath(folderPart(name));
    if (!folder.isEmpty())
        AddTrailingBackslash(folder);
    SetDataFolder(folder);

    if (upgradeStep() && !upgradeStep()(database))
        return false;

    // A current file has every table of the shop: one that lacks any cannot
    // be worked with, and is said so once rather than by every part that
    // reads it.
    const QStringList present = database->tableNames();
    QStringList missing;
    for (const QString &table : ShopSchema::tableNames()) {
        if (!present.contains(table, Qt::CaseInsensitive))
            missing << table;
    }
    if (!missing.isEmpty()) {
        database->close();
        Prompt::messageBox(QStringLiteral("The database %1 has no table %2: it is damaged or is not a shop database.\n"
                                          "Please open the last copy of it.\n\n%3")
                               .arg(path, missing.join(QStringLiteral(", ")), ClosingMessage()),
                           QString(), platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }

    // Nor can a file that lacks a field of its tables: it is said here, by
    // name, rather than by the first window that reads the field ("Item not
    // found in this collection").
    QStringList fields;
    QStringList foreign;
    try {
        fields = MissingShopFields(*database);
        foreign = database->foreignObjects();
    } catch (const platform::DbException &) {
    }
    if (!fields.isEmpty()) {
        database->close();
        Prompt::messageBox(QStringLiteral("The database %1 lacks the field%2 %3: it is damaged or is not a shop "
                                          "database.\nPlease open the last copy of it.\n\n%4")
                               .arg(path, fields.size() > 1 ? QStringLiteral("s") : QString(),
                                    fields.join(QStringLiteral(", ")), ClosingMessage()),
                           QString(), platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    // A trigger or a view someone added to the file is not the program's: a
    // trigger runs with every change the program makes. It is said at each
    // start until it is removed; the work goes on.
    if (!foreign.isEmpty())
        Prompt::messageBox(QStringLiteral("The database %1 holds a trigger or view the program does not know: "
                                          "%2.\nA trigger runs with every change the program makes; please have it "
                                          "removed unless you know what it does.")
                               .arg(path, foreign.join(QStringLiteral(", "))),
                           QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);

    // Only a file that opened and upgraded is remembered.
    if (path != storedPath)
        platform::Settings::writeString(section, key, path);

    // A plain index the program has come to list since the file was made is
    // made now: it asks nothing, and the lists rely on it for their speed. A
    // file busy elsewhere goes without it until the next opening.
    if (!database->isReadOnly()) {
        try {
            CreateMissingIndexes(*database, true);
        } catch (const platform::DbException &) {
        }
    }

    // A file that can only be read keeps the rows it has.
    return database->isReadOnly() || AddDefaultRows(database);
}
