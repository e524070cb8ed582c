// The job window's item tools: the new-item command (the new-item dialog chooses between a
// new item of a product type, booklet items, and copies of existing items)
// and its price list.
#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/CXDaoSet.h"
#include "data/JobTypes.h"
#include "data/OneValueOverNow.h"
#include "data/SharedDatabase.h"
#include "estimating/CBooklet.h"
#include "estimating/CHtmlDlg.h"
#include "estimating/CItemNew.h"
#include "estimating/CItemSpecs.h"
#include "estimating/CPriceBook.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

namespace {

// The number of books the booklet dialog opens with: the last one typed in
// this session.
int &keptBooks()
{
    static int books = 0;
    return books;
}

} // namespace

void CJobDlg::OnNewItem()
{
    if (!ItemsChangeable())
        return;
    CZqApp *app = ZqApp();
    CItemNew dialog(m_pJob->m_CusNo, this);
    dialog.m_nColorScheme = GetJobTypeHue(m_pJob->m_JobType);
    dialog.m_nProductType = app ? app->GetSettingIntInRange(QStringLiteral("NewItem-Product"), 0, 64, 0) : 0;
    if (dialog.DoModal() != IDOK_RESULT)
        return;
    if (!dialog.m_chosenItems.empty()) {
        // Each chosen item is added as a scanned one is: the paste rules,
        // the price level, repricing and, from a template, its specs.
        for (qint32 itemId : dialog.m_chosenItems) {
            CItemSet item(m_pJob->m_pDatabase);
            try {
                if (!item.OpenByItemID(itemId) || item.IsEmptySet())
                    continue;
            } catch (const platform::DbException &) {
                continue;
            }
            AddItemFromJob(item.m_JobID, item.m_ItemNo, item.m_SubNo);
        }
    } else if (dialog.m_nSource == CItemNew::BookletItems) {
        AddBookletItems(dialog.m_nProductType);
    } else {
        AddNewItem(dialog.m_nProductType);
    }
}

void CJobDlg::AddBookletItems(int productType)
{
    platform::Database &db = m_pJob->m_pDatabase ? *m_pJob->m_pDatabase : SharedDatabase();
    QString product;
    {
        platform::Recordset name(db);
        name.open(platform::Recordset::Type::Snapshot,
                  QStringLiteral("SELECT Name FROM ProductTypes WHERE [No] = %1").arg(productType));
        if (!name.isEOF())
            product = name.value(0).toString().trimmed();
    }
    CBooklet booklet(this);
    booklet.m_strTitle = product;
    booklet.m_nBooks = keptBooks();
    booklet.m_nColorScheme = m_nHue;
    if (booklet.DoModal() != IDOK_RESULT) {
        QMetaObject::invokeMethod(this, [this] { SendCommand(30361); }, Qt::QueuedConnection);
        return;
    }
    keptBooks() = booklet.m_nBooks;
    const int count = booklet.m_nItemCount;
    qint32 sheetsSoFar = 0;
    int made = 0;
    for (int i = 1; i <= count; ++i) {
        QString part;
        qint32 sheets = 0; // 0: the item's default
        if (count == 1) {
            part = QStringLiteral(" Total Pages: %1").arg(booklet.m_nPages);
            sheets = booklet.m_nSheets;
        } else if (i == 1) {
            part = QStringLiteral(" | Cover ");
        } else if (i == 2) {
            part = QStringLiteral(" | Inside Pages: %1").arg(booklet.m_nPages);
            sheets = booklet.m_nSheets;
        } else if (i == 3 && count == 3) {
            part = QStringLiteral(" | Bindery ");
            sheets = sheetsSoFar;
        } else if (i >= 4) {
            part = QStringLiteral(" | ");
        }
        qint32 used = 1;
        const int answer = CItemSpecs::NewItem(m_pJob->m_JobID, this, [&](CItemSpecsData &data) {
            data.m_strDescription = product + part;
            data.m_nQuantity = booklet.m_nBooks;
            data.m_nProductType = quint8(productType);
            data.m_nPriceLevel = m_nPriceLevel;
            data.m_nUnit = 5;       // Sheets/Set
            data.m_nUnitFormat = 1;
            data.m_strSize = booklet.m_strPageSize;
            data.m_strFlatSize = booklet.m_strFlatSize;
            if (sheets > 0)
                data.m_nSheets = sheets;
            used = data.m_nSheets;
        }, ItemSaveAlongside());
        if (answer == IDOK_RESULT)
            ++made;
        sheetsSoFar += used;
    }
    RefillItems(false);
    if (m_pJob->m_Title.isEmpty())
        m_pJob->m_Title = product;
    UpdateTitleItems(QString());
    CheckAndSave(1);
    if (made > 1
        && platform::Prompt::messageBox(QStringLiteral("Added %1 Items to %2.\n\nDo you want to set its Sub-Items?")
                                            .arg(made)
                                            .arg(product),
                                        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        QMetaObject::invokeMethod(this, [this] { SendCommand(30159); }, Qt::QueuedConnection);
}

void CJobDlg::OnPriceList()
{
    if (m_nItems == 0 || !SelectCurrentItem(false))
        return;
    CPriceBook book(&itemRecord(), this);
    book.m_nColorScheme = m_nHue;
    book.DoModal();
}

void CJobDlg::OnItemDocuments()
{
    if (m_nItems == 0 || !SelectCurrentItem(false))
        return;
    const qint32 itemId = itemRecord().m_ItemID;
    platform::Database &db = m_pJob->m_pDatabase ? *m_pJob->m_pDatabase : SharedDatabase();
    QString stored;
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Path FROM Samples WHERE ItemID = %1").arg(itemId));
        if (!rs.isEOF())
            stored = rs.value(0).toString();
    }
    // The attachment is replaced only over the one stored now; another
    // user's change to it while the window was open, to another document,
    // is put to the user, named as the window names it. Cancel shows the
    // window again with the document chosen.
    const OneValueOverNow settle(QStringLiteral("Item Documents"), [&](const std::function<void()> &body) {
        try {
            platform::Transaction transaction(db);
            body();
            transaction.commit();
            return true;
        } catch (const platform::DbException &e) {
            platform::Prompt::messageBox(QStringLiteral("The attached file could not be saved.\n\n") +
                                             e.description(),
                                         QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return false;
        }
    });
    QString offered = stored;
    for (bool cancelled = true; cancelled;) {
        CHtmlDlg documents(this);
        documents.m_nMode = CHtmlDlg::kItemDocuments;
        documents.m_nColorScheme = m_nHue;
        if (!offered.isEmpty())
            documents.m_strDocument = offered;
        documents.DoModal();
        const bool none = documents.m_strDocument.compare(QStringLiteral("about:Blank"), Qt::CaseInsensitive) == 0;
        const QString chosen = none ? QString() : documents.m_strDocument;
        if (chosen == stored || isPreview())
            return;
        offered = chosen;
        settle.Save<QString>(
            stored, chosen,
            [&]() -> std::optional<QString> {
                platform::Recordset rs(db);
                rs.open(platform::Recordset::Type::Snapshot,
                        QStringLiteral("SELECT Path FROM Samples WHERE ItemID = %1").arg(itemId));
                return rs.isEOF() ? QString() : rs.value(0).toString();
            },
            [&] {
                // The item's one attachment is replaced as one change.
                db.execute(QStringLiteral("DELETE FROM Samples WHERE ItemID = %1").arg(itemId));
                if (!chosen.isEmpty())
                    db.execute(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (%1, ?)").arg(itemId),
                               {platform::Value(chosen)});
            },
            [](const QString &path) { return path.isEmpty() ? QStringLiteral("None found") : path; }, &cancelled);
    }
    RefillItems(false);
}
