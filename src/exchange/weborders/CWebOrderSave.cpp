// Items of a web order copied from template and history jobs, and saving the
// order as a job.
#include "exchange/weborders/CWebOrder.h"

#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "data/CItemSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "exchange/weborders/DownloadLink.h"
#include "platform/NetworkWait.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "resources/Strings.h"

using platform::Value;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The first row of a statement whose "?" marks take the values; empty when
// none (or the query failed, which has been shown).
QList<Value> FirstRow(platform::Database *db, const QString &sql, const QList<Value> &values)
{
    CXDaoSet set(db);
    set.m_filterValues = values;
    set.Open(CXDaoSet::dbOpenSnapshot, sql, CXDaoSet::dbForwardOnly);
    QList<Value> row;
    if (set.IsOpen() && !set.IsEmptySet()) {
        for (int i = 0; i < set.GetFieldCount(); ++i)
            row.append(set.GetFieldValue(i));
    }
    return row;
}

bool NonZero(Money m)
{
    return m > Money::fromUnits(1) || m < Money::fromUnits(-1);
}

} // namespace

JobItemRef CWebOrder::ParseJobItemRef(const QString &text, bool historyByDefault)
{
    JobItemRef ref;
    QString job = text;
    QString rest;
    const bool dash = job.contains(QLatin1Char('-'));
    SplitAtKey(job, rest, QStringLiteral("-"));
    ref.jobNo = ToInt(job.trimmed());
    const int item = dash ? ToInt(rest.trimmed()) : 1;
    ref.itemNo = quint8(item < 1 ? 1 : qMin(item, 255));
    if (rest.contains(QLatin1Char('H'), Qt::CaseInsensitive))
        ref.jobType = CJobSet::History;
    else if (rest.contains(QLatin1Char('T'), Qt::CaseInsensitive))
        ref.jobType = CJobSet::Template;
    else
        ref.jobType = historyByDefault ? CJobSet::History : CJobSet::Template;
    return ref;
}

qint32 CWebOrder::CopyTemplateItem(quint8 newItemNo, const QString &description, int quantity, int originals,
                                   const QString &noteText, JobItemRef ref, bool &allPriced, bool &changed)
{
    const CZqApp::EmailSettings settings = ZqApp() ? ZqApp()->emailSettings() : CZqApp::EmailSettings();
    qint32 sourceJob = 0;
    quint8 itemNo = ref.itemNo;
    if (ref.jobNo != 0 && ref.jobNo != 999 && itemNo != 0) {
        const QList<Value> row = FirstRow(
            m_pDatabase,
            QStringLiteral("SELECT Jobs.JobID FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID WHERE "
                           "Jobs.JobType = ? and Jobs.JobNo = ? and Items.ItemNo = ?"),
            {Value(int(ref.jobType)), Value(ref.jobNo), Value(int(itemNo))});
        if (!row.isEmpty())
            sourceJob = CXDaoSet::ValueToLong(row.at(0));
    }
    if (sourceJob == 0 && settings.Other1) {
        const QList<Value> row = FirstRow(
            m_pDatabase,
            QStringLiteral("SELECT Jobs.JobID, Jobs.JobNo, Items.ItemNo FROM Jobs INNER JOIN Items ON Jobs.JobID = "
                           "Items.JobID WHERE Jobs.JobType = ? and Jobs.CusNo = ? and Items.Description = ?"),
            {Value(int(ref.jobType)), Value(m_jobSet.m_CusNo), Value(description)});
        if (!row.isEmpty()) {
            sourceJob = CXDaoSet::ValueToLong(row.at(0));
            itemNo = quint8(CXDaoSet::ValueToLong(row.at(2)));
        }
    }
    if (sourceJob == 0) {
        // The shop's catch-all template: its item 1, whatever item number
        // the reference asked for.
        const QList<Value> row = FirstRow(
            m_pDatabase,
            QStringLiteral("SELECT Jobs.JobID, Jobs.JobNo, Items.ItemNo FROM Jobs INNER JOIN Items ON Jobs.JobID = "
                           "Items.JobID WHERE Jobs.JobType = 2 and Jobs.JobNo = 999 and Items.ItemNo = 1"),
            {});
        if (!row.isEmpty()) {
            sourceJob = CXDaoSet::ValueToLong(row.at(0));
            itemNo = 1;
        }
    }
    if (sourceJob == 0)
        return 0;

    CItemSet source(m_pDatabase);
    source.m_strFilter = QStringLiteral("JobID = ? and ItemNo = ?");
    source.m_filterValues = {Value(sourceJob), Value(int(itemNo))};
    source.m_strSort = QStringLiteral("ItemNo, SubNo, SerNo");
    source.Open(CXDaoSet::dbOpenSnapshot);
    if (!source.IsOpen()) {
        m_bSaveFailed = true;
        return 0;
    }
    CItemSet target(m_pDatabase);
    target.m_strFilter = QStringLiteral("ItemID = 0");
    target.Open();

    qint32 result = 0;
    for (; !source.IsEOF(); source.MoveNext()) {
        if (!target.SafeAddNew()) {
            m_bSaveFailed = true;
            return result;
        }
        const qint32 newId = target.m_ItemID;
        target.CopyFields(source);
        target.m_ItemID = newId;
        target.m_JobID = m_jobSet.m_JobID;
        target.m_ItemNo = newItemNo;
        if (source.m_SerNo == 0) {
            target.m_Up = -source.m_ItemID;
            target.m_Status = 0;
            if (source.m_SubNo < 2) {
                target.m_Description = description;
                QString change;
                if (quantity > 0 && quantity != source.m_ChargeQty) {
                    change += QStringLiteral("--> Quantity changed from %1 to %2%3")
                                  .arg(source.m_ChargeQty)
                                  .arg(quantity)
                                  .arg(kCrLf);
                    target.m_ChargeQty = quantity;
                    changed = true;
                }
                if (originals > 0 && originals != source.m_Sheets) {
                    change += QStringLiteral("--> Originals changed from %1 to %2%3")
                                  .arg(source.m_Sheets)
                                  .arg(originals)
                                  .arg(kCrLf);
                    target.m_Sheets = originals;
                    changed = true;
                }
                QString note = noteText;
                if (!note.endsWith(kCrLf))
                    note += kCrLf;
                target.m_Note = change + note + source.m_Note;
            }
        } else {
            target.SetDefaults();
            if (source.m_SubNo < 2 && originals > 0 && originals != source.m_Sheets) {
                const QList<Value> cat =
                    FirstRow(m_pDatabase, QStringLiteral("SELECT CatNo FROM Services WHERE SerNo = ?"),
                             {Value(source.m_SerNo)});
                if (!cat.isEmpty() && IsPaperCategory(CXDaoSet::ValueToLong(cat.at(0)))) {
                    target.m_Sheets = originals;
                    target.m_Pages = GetSidesPrinted(source.m_Side1, source.m_Side2);
                    changed = true;
                }
            }
            if (NonZero(source.m_Cost))
                m_jobSet.m_Cost += source.m_Cost;
            if (source.m_Price == Money())
                allPriced = false;
            else if (NonZero(source.m_Price))
                m_jobSet.m_Subtotal += source.m_Price;
        }
        if (!target.SaveRecord(0)) {
            m_bSaveFailed = true;
            return result;
        }
        // The copy is known by its item row, which its files are linked to.
        if (source.m_SubNo < 2 && source.m_SerNo == 0)
            result = target.m_ItemID;
    }
    return result;
}

qint32 CWebOrder::AddItemFromScratch(quint8 newItemNo, const QString &description, int quantity, int originals,
                                     const QString &noteText, quint8 flag)
{
    CItemSet item(m_pDatabase);
    item.m_strFilter = QStringLiteral("ItemID = 0");
    item.Open();
    if (!item.SafeAddNew()) {
        m_bSaveFailed = true;
        return 0;
    }
    item.m_JobID = m_jobSet.m_JobID;
    item.m_ItemNo = newItemNo;
    item.m_Description = description;
    item.m_ChargeQty = quantity < 1 ? 1 : quantity;
    item.m_Sheets = originals < 1 ? 1 : originals;
    item.m_Note = noteText;
    item.m_Wash = flag;
    if (!item.SaveRecord(0)) {
        m_bSaveFailed = true;
        return 0;
    }
    return item.m_ItemID;
}

bool CWebOrder::SaveOrder(quint8 jobType, bool savedBefore)
{
    m_strStatus.clear();
    const QString typeName = GetResourceListItem(IDS_JOB_TYPES, jobType);
    if (savedBefore
        && platform::Prompt::messageBox(QStringLiteral("This email was saved before.\nDo you want to save it as a new ")
                                            + typeName + QStringLiteral("?"),
                                        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            != platform::IDYES)
        return false;
    if (m_bSaved)
        return false;
    // A number of the order that could not be read is put right first; an
    // order in which no item could be read (a mail whose order text was not
    // found) is never saved as an empty job.
    QString refusal = m_refusals.value(0);
    if (refusal.isEmpty() && m_items.isEmpty())
        refusal = QStringLiteral("This order cannot be saved: no item was found in it (an item begins with \"%1\")."
                                 "\n\nCheck the order's text, or enter the order as a new job.")
                      .arg(m_keys.ItemStartLabel());
    for (int n = 0; refusal.isEmpty() && n < m_items.size(); ++n) {
        const WebOrderItem &item = m_items.at(n);
        if (!item.badQuantity.isEmpty())
            refusal = QStringLiteral("Item %1 cannot be saved: \"%2\" is not a number of %3 from %4 to "
                                     "%5.\n\nCorrect the quantity in the order before saving it.")
                          .arg(n + 1)
                          .arg(item.badQuantity, item.badOriginals ? QStringLiteral("originals") : QStringLiteral("copies"),
                               item.badOriginals ? QStringLiteral("0") : QStringLiteral("1"),
                               FormatFixedPoint(kLargestCount, 0, true));
    }
    if (!refusal.isEmpty()) {
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }

    const CZqApp::EmailSettings settings = ZqApp() ? ZqApp()->emailSettings() : CZqApp::EmailSettings();
    // The order as it stands, to be put back when the save fails.
    CJobSet before(m_pDatabase);
    before = m_jobSet;
    m_bSaveFailed = false;

    int added = 0;
    bool allPriced = true;
    bool changed = false;
    QList<QPair<qint32, QString>> downloads; // ItemID, link
    bool saved = false;
    // A figure of the job past the largest amount the program takes.
    QString pastLargest;
    {
        // Failures are shown after the rollback, never while the database
        // is held.
        DeferredDaoErrors deferred;
        platform::Transaction transaction(db());
        // The new row, its number and the job number are taken inside the
        // transaction, so a failure gives every one of them back.
        if (!m_jobSet.IsOpen()) {
            m_jobSet.m_strFilter = QStringLiteral("JobID = 0");
            m_jobSet.Open();
        }
        bool ok = m_jobSet.IsOpen() && m_jobSet.SafeAddNew();
        if (ok) {
            const qint32 newId = m_jobSet.m_JobID;
            m_jobSet = before;
            m_jobSet.m_JobID = newId;
            m_jobSet.m_JobType = jobType;
            ok = m_jobSet.SaveNew(0);
        }
        for (int n = 0; ok && n < m_items.size(); ++n) {
            const WebOrderItem &item = m_items.at(n);
            QString note = item.note;
            if (!item.price.isEmpty())
                note = QStringLiteral("PRICE = ") + item.price + kCrLf + note;
            const JobItemRef ref = ParseJobItemRef(item.jobItem, settings.Other2 != 0);
            qint32 itemId = CopyTemplateItem(quint8(n + 1), item.description, item.quantity, item.originals, note, ref,
                                             allPriced, changed);
            if (itemId == 0 && !m_bSaveFailed)
                itemId = AddItemFromScratch(quint8(n + 1), item.description, item.quantity, item.originals, note, 0);
            if (m_bSaveFailed || itemId == 0) {
                ok = false;
                break;
            }
            // What the quantity makes of the item's services (sheets, times,
            // costs) stays within what the program holds, or nothing is saved.
            if (CItemSet written(m_pDatabase); item.quantity > 0 && written.OpenByItemID(itemId)) {
                CItemPrice check(&written, true);
                if (check.IsLoaded())
                    check.PriceItem(0);
                if (!check.PastLargestFigure().isEmpty()) {
                    pastLargest = QStringLiteral("Item %1, Quantity: at %2, ")
                                      .arg(n + 1)
                                      .arg(FormatFixedPoint(item.quantity, 0, true))
                                  + check.PastLargestFigure();
                    ok = false;
                    break;
                }
            }
            ++added;
            if (m_jobSet.m_Title.isEmpty())
                m_jobSet.m_Title = item.description;
            if (settings.AutoDownload && !item.link.isEmpty())
                downloads.append({itemId, item.link});
        }
        if (ok) {
            if (!allPriced)
                m_jobSet.m_Subtotal = Money();
            m_jobSet.CalcDiscount();
            m_jobSet.CalcCommission();
            m_jobSet.CalcSubtotal();
            m_jobSet.RecalcTotals(true);
            pastLargest = m_jobSet.AmountPastLargest();
            ok = pastLargest.isEmpty() && m_jobSet.SaveRecord(64);
        }
        if (ok && !m_strMessageId.isEmpty()) {
            CEmailLinkSet link(m_pDatabase);
            link.m_strFilter = QStringLiteral("MessageID = ?");
            link.m_filterValues = {Value(CEmailLinkSet::StoredMessageId(m_strMessageId))};
            link.Open();
            ok = link.AddLink(m_strMessageId, m_jobSet.m_JobID);
        }
        if (ok) {
            try {
                transaction.commit();
            } catch (const platform::DbException &) {
                ok = false;
            }
        }
        if (!ok && m_jobSet.GetEditMode() != CXDaoSet::dbEditNone) {
            // The transaction rolls back the job, its number, its items and
            // the link as it ends here.
            try {
                m_jobSet.CancelUpdate();
            } catch (const platform::DbException &) {
            }
        }
        saved = ok;
    }
    if (!saved) {
        // Back to the unsaved order, as it was before the save.
        m_jobSet.Close();
        m_jobSet = before;
        const QString why = pastLargest.isEmpty() ? QString() : pastLargest + QStringLiteral("\n\n");
        platform::Prompt::messageBox(QStringLiteral("%2The email could not be saved as %1. Nothing of it was written; "
                                                    "the order is still here to be saved again.")
                                         .arg(typeName, why),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }

    m_bSaved = true;
    m_nLinkedJobId = m_jobSet.m_JobID;
    if (!m_strSavedJobs.isEmpty())
        m_strSavedJobs += QStringLiteral(" or ");
    m_strSavedJobs += QStringLiteral("JobID = %1").arg(m_jobSet.m_JobID);

    // Linked files are fetched after the job is in: a slow download never
    // holds the database.
    // A Stop in the wait for one file ends the whole batch; the files not
    // fetched are named afterwards.
    int fetched = 0;
    bool stopped = false;
    QStringList notFetched;
    for (const auto &d : std::as_const(downloads)) {
        if (stopped) {
            notFetched.append(d.second.section(QLatin1Char(' '), 0, 0));
            continue;
        }
        const int stops = NetworkWait::StopCount();
        const QString path = DownloadLink(d.second, false, m_jobSet.m_CusNo);
        stopped = NetworkWait::StopCount() != stops;
        if (path.isEmpty()) {
            notFetched.append(d.second.section(QLatin1Char(' '), 0, 0));
            continue;
        }
        ++fetched;
        CXDaoSet samples(m_pDatabase);
        samples.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT ItemID, Path FROM Samples WHERE ItemID = 0"));
        if (samples.IsOpen() && samples.SafeAddNew()) {
            try {
                samples.SetFieldValue(0, Value(d.first));
                samples.SetFieldValue(1, Value(path, platform::FieldType::Memo));
                samples.Update();
            } catch (const platform::DbException &) {
                try {
                    samples.CancelUpdate();
                } catch (const platform::DbException &) {
                }
            }
        }
    }

    if (!notFetched.isEmpty())
        platform::Prompt::messageBox(
            (stopped ? QStringLiteral("Downloading the linked files was stopped.\n\n") : QString()) +
                QStringLiteral("The %1 is saved without these linked files:\n\n")
                    .arg(jobType == 1 ? QStringLiteral("quote") : QStringLiteral("order")) +
                notFetched.join(QLatin1Char('\n')),
            QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);

    const QString label =
        QStringLiteral("%1 %2").arg(jobType == 1 ? QStringLiteral("Quote") : QStringLiteral("Order")).arg(m_jobSet.m_JobNo);
    m_strLabel = label;
    m_strStatus = QStringLiteral("Saved the email as %1. Added %2 Item(s). ").arg(label).arg(added);
    if (fetched > 0)
        m_strStatus += QStringLiteral("Downloaded ") + QString::number(fetched) + QStringLiteral(" file(s). ");
    if (changed)
        m_strStatus += QStringLiteral("IMPORTANT: Item Quantity and/or #Originals changed! ");
    if (settings.AutoReply && !m_contactSet.m_Email.isEmpty()) {
        if (CZqApp *app = ZqApp())
            app->SendMail(m_contactSet.m_Email, QStringLiteral("New Email ") + label,
                          QStringLiteral("Thank you.\n") + m_jobSet.m_Title, QString());
    }
    return true;
}
