#include "data/SchemaUpgrade.h"

#include "data/KeyCheck.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "data/DaoError.h"
#include "data/DatabaseFiles.h"
#include "data/DatabaseHelpers.h"
#include "data/DatabaseOpening.h"
#include "data/RunProgress.h"
#include "data/SchemaOperations.h"
#include "data/SchemaStepsCustomers.h"
#include "data/SchemaStepsJobs.h"
#include "data/SchemaStepsProduction.h"
#include "data/SchemaStepsServices.h"
#include "data/ShopDatabase.h"
#include "data/ShopSchema.h"
#include "data/TableRows.h"
#include "data/UpgradeContext.h"
#include "app/base/WaitCursor.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Prompt.h"
#include "platform/UserFile.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <utility>

namespace {

using platform::Prompt;

struct HandOver
{
    int databaseUpgraded = 0;
    QString upgradeNotes;
};

HandOver &handOver()
{
    static HandOver h;
    return h;
}

QString s(const char *text) { return QString::fromUtf8(text); }


// The version row: CustomerAlerts with CusNo 0 and the version's alert type,
// added with an empty text when the file has none (a file older than the
// row). False when it can be neither read nor added (shown).
bool readStoredVersion(platform::Database &db, QString &stored)
{
    const QString select = QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = %1")
                               .arg(ShopSchema::kVersionAlertType);
    try {
        {
            platform::Recordset set(db);
            set.open(platform::Recordset::Type::Snapshot, select);
            if (!set.isEOF()) {
                stored = set.value(0).isNull() ? QString() : set.value(0).toString();
                return true;
            }
        }
        InsertTableRow(db, s("CustomerAlerts"), {s("CusNo"), s("AlertType"), s("AlertText")},
                       {platform::Value(0), platform::Value(ShopSchema::kVersionAlertType), platform::Value(QString())});
        stored.clear();
        return true;
    } catch (const platform::DbException &e) {
        ShowDaoError(e, s("Could not open CustomerAlerts"));
        return false;
    }
}

// The question's estimate of the time an upgrade takes, from the file's size.
void sizeTexts(const QString &path, QString &minutesText, QString &kbText)
{
    const qint64 bytes = QFileInfo(path).size();
    const int kb = int(double(bytes) / 1024.0 + 0.99);
    kbText = FormatInt(kb, true, false);
    const int minutes = int(double(kb) / 50000.0 + 0.99);
    if (minutes < 3)
        minutesText = s("a few");
    else if (minutes < 6)
        minutesText = s("about 5");
    else if (minutes < 11)
        minutesText = s("about 10");
    else
        minutesText = s("about ") + QString::number(minutes);
}

// The steps, in the order the file's history requires.
bool runSteps(UpgradeContext &u)
{
    using Step = std::function<bool(UpgradeContext &)>;
    const auto create = [](const char *table, const char *text = "Create") {
        return Step([table, text](UpgradeContext &c) { return UpgradeCreateTable(c, table, text); });
    };
    const Step steps[] = {
        create("Samples"),
        create("PaperLink"),
        UpgradeContactsLogon,
        UpgradeJobsCreator,
        UpgradePellPasswordRows,
        create("Credits"),
        create("PayApplied"),
        create("Properties"),
        create("ContactDepts"),
        UpgradePriceGridRows,
        create("EmailLink"),
        UpgradeAuditTrail,
        UpgradeForms,
        UpgradeJobsPrintFields,
        UpgradeItemsPropFields,
        UpgradeCustomersParent,
        UpgradeHistoryPasswordName,
        UpgradeCompareSalesQuery,
        UpgradePostingJournal,
        UpgradeProductionDepts,
        UpgradeProductionTags,
        create("Times", "Version 2008"),
        create("TimeDepartments", "Version 2008"),
        UpgradePasswordRows,
        UpgradeOptionRows,
        UpgradeJobsTaxFields,
        UpgradeItemsTimeFields,
        UpgradeCustomersAddress,
        UpgradeShiptoAddress,
        UpgradeContactsPhones,
        UpgradeContactsDetails,
        UpgradeProductTypes,
        UpgradeCodeTables,
        UpgradeVendors,
        UpgradeTaxes,
        UpgradeQuickSales,
        UpgradeQuickNotes,
        UpgradeServiceDepartments,
        UpgradeServiceCategories,
        create("ServiceDiffTables"),
        create("ServicePriceTables"),
        UpgradeServicesStatus,
        UpgradeServicesProduction,
        UpgradeServicesPricing,
        UpgradeWasteTable,
        FinishServiceCategories,
        DeleteUnusedPriceTables,
        create("TodoTypes"),
        create("TableNotes"),
        UpgradeTodos,
        create("ShippedItems"),
    };
    for (const Step &step : steps) {
        if (!step(u))
            return false;
    }
    DeleteRetiredQueries(u);
    return true;
}

} // namespace

bool UpgradeDatabase(platform::Database *database)
{
    const QString program = ShopSchema::versionText();
    QString stored;
    if (!database->isOpen() || !readStoredVersion(*database, stored))
        return false;
    const VersionOrder order = CompareVersions(stored, program);
    if (stored == program || order == VersionOrder::Same)
        return true;

    const QString path = database->name();
    const QString backup = BackupFilePath(path, GetToday().date());

    if (order == VersionOrder::Later) {
        Prompt::messageBox(QStringLiteral("Your database was upgraded to a later version %1.\nIt can not be downgraded "
                                          "to this version %2.\n\n%3")
                               .arg(stored, program, ClosingMessage()),
                           QString(), platform::MB_OK | platform::MB_ICONSTOP);
        return false;
    }

    QString minutes;
    QString kb;
    sizeTexts(path, minutes, kb);
    const QString question = QStringLiteral("Your database must be upgraded from version %1 to %2.\nIt may take %3 "
                                            "minutes to upgrade your database %4 KB.\n\nDo you want to upgrade your "
                                            "database now?\n")
                                 .arg(stored, program, minutes, kb);
    if (Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES) {
        Prompt::messageBox(ClosingMessage(), QString(), platform::MB_OK | platform::MB_ICONSTOP);
        return false;
    }

    // One copy a day: a second attempt on the same day keeps the first copy,
    // which holds the file as it was before any upgrade step. Only a file
    // (or the user's own link to his own file) is that copy: a link another
    // user put at its name in the shop's folder neither stands for it nor
    // receives it.
    QString copyAt;
    QString refusal;
    const bool copied = platform::UserFile::Destination(backup, copyAt, refusal)
        && QFileInfo(copyAt).isFile() && !QFileInfo(copyAt).isSymLink();
    if (!copied) {
        const WaitCursor wait;
        const QString copying = s("Copying your database to:\n") + backup;
        std::unique_ptr<SchemaProgress> progress = OpenRunProgress();
        progress->start(0, copying, true, false, QString());
        SystemError error;
        if (!CopyOpenDatabase(*database, backup, error, progress.get())) {
            progress.reset();
            ShowError(error, copying + s("\n\nBackup failed."), platform::MB_OK | platform::MB_ICONERROR);
            return false;
        }
    }

    if (!OpenDatabaseFile(database, path, true))
        return false;
    if (!HasDatabaseFileHeader(*database)) {
        Prompt::messageBox(s("Can not verify the File Format of database."), QString(), platform::MB_OK);
        return false;
    }

    bool completed = false;
    DateTime start = DateTime::fromDateTime(platform::Clock::now());
    {
        const WaitCursor wait;
        std::unique_ptr<SchemaProgress> progress = OpenRunProgress();
        progress->start(0, s("Upgrading your database."), false, true, QString());
        ClearRunLog();
        UpgradeContext u(*database, progress.get(), stored);
        // The steps are written to the file together at the end (each one
        // still succeeds or fails on its own): a run broken off by a crash
        // leaves the file as it was, and the next run starts again.
        platform::Transaction whole(*database);
        completed = runSteps(u);
        // An old file ends with the indexes the key check expects, as a new
        // one starts with them.
        if (completed) {
            try {
                CreateMissingIndexes(*database);
            } catch (const platform::DbException &e) {
                LogDaoError(e, s("Creating indexes"));
            }
        }
        try {
            whole.commit();
        } catch (const platform::DbException &e) {
            LogDaoError(e, s("Upgrading your database."));
            completed = true;
        }
    }
    // Stopped by the user: no report, and the version stays as it was.
    if (!completed)
        return false;

    if (HasRunLogText()) {
        Prompt::messageBox(s("Error(s) occured during the update:\n\n") + GetRunLog()
                               + s("\n\nThe last copied database:\n") + backup,
                           QString(), platform::MB_OK);
        ClearRunLog();
        return false;
    }

    try {
        WriteVersionRow(*database);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, s("Cannot save CustomerAlerts"));
        return false;
    }
    if (!OpenDatabaseFile(database, path, false))
        return false;
    QString elapsed;
    FormatElapsedTime(elapsed, start);
    handOver().databaseUpgraded = 1;
    handOver().upgradeNotes = QStringLiteral("It took %1 to upgrade.").arg(elapsed);
    if (CZqApp *app = ZqApp())
        app->m_strUpgradeNotes = handOver().upgradeNotes;
    return true;
}

int DatabaseUpgraded()
{
    return handOver().databaseUpgraded;
}

QString UpgradeNotes()
{
    return handOver().upgradeNotes;
}

void ClearUpgradeHandOver()
{
    handOver() = HandOver();
    if (CZqApp *app = ZqApp())
        app->m_strUpgradeNotes.clear();
}

VersionOrder CompareVersions(const QString &stored, const QString &program)
{
    if (stored.trimmed().isEmpty())
        return VersionOrder::Older;
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,18})(?:\\.(\\d{1,18}))?\\s*$"));
    const QRegularExpressionMatch a = form.match(stored);
    const QRegularExpressionMatch b = form.match(program);
    if (!a.hasMatch() || !b.hasMatch())
        return VersionOrder::Later;
    const auto parts = [](const QRegularExpressionMatch &m) {
        return std::pair<qulonglong, qulonglong>(m.captured(1).toULongLong(), m.captured(2).toULongLong());
    };
    const auto x = parts(a);
    const auto y = parts(b);
    return x < y ? VersionOrder::Older : x == y ? VersionOrder::Same : VersionOrder::Later;
}
