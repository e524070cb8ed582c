#include "data/DatabaseOpening.h"

#include "app/base/FileChoice.h"

#include "app/base/Paths.h"
#include "app/base/ProgramPaths.h"
#include "data/DaoError.h"
#include "data/DefaultRows.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/PageCheck.h"

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
    if (!OpenDatabaseFile(database, path, false, &failure) || !database->isOpen()) {
        // A file that is in use elsewhere (3045) or that this user may not
        // open (3051) is not damaged: compaction would fail the same way.
        if (failure == 3045 || failure == 3051)
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

    return AddDefaultRows(database);
}
