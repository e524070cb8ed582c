#include "data/DatabaseOpening.h"

#include "app/base/FileChoice.h"

#include "app/base/Paths.h"
#include "app/base/ProgramPaths.h"
#include "data/DaoError.h"
#include "data/DefaultRows.h"
#include "data/KeyCheck.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "data/DaoError.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/PageCheck.h"
#include "platform/db/DbException.h"

#include <QtCore/QFileInfo>

namespace {

// How long the look at the file's pages may hold the start: a small or
// middling file is checked whole, a large one as far as this time allows.
constexpr int kPageCheckMs = 1500;

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

} // namespace

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

    const auto offerRepair = [&] {
        if (repairStep())
            repairStep()(database, QStringLiteral("Do you want Tavrel to attempt to repair the database?"), path);
        return database->isOpen();
    };
    int failure = 0;
    OpenSharedOrForReading(database, path, failure);
    if (!database->isOpen()) {
        // A file that is in use elsewhere (3045), that this user may not
        // open (3051), or that could not be opened even for reading on a
        // full disk or as read-only is not damaged: compaction would fail
        // the same way.
        if (failure == 3045 || failure == 3051 || failure == platform::dberr::DiskFull || failure == platform::dberr::ReadOnly)
            return false;
        if (!offerRepair())
            return false;
    } else if (platform::CheckPages(*database, kPageCheckMs) == platform::PageCheck::Damaged) {
        // A damaged page opens like any other and fails only when a list
        // reads it: the user is told now, and offered the repair, as for a
        // file that does not open at all.
        database->close();
        ShowDaoError(platform::dberr::error(platform::dberr::NotADatabase, path),
                     QStringLiteral("Cannot open database:\n") + path);
        if (!offerRepair())
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
