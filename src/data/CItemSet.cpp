#include "data/CItemSet.h"

#include "app/base/Codes.h"
#include "app/base/TextUtil.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"

namespace {

// The separators of the note parts: blank, middle dot, blank and blank,
// bullet, blank.
const QString &sizeSeparator()
{
    static const QString text = QStringLiteral(" \u00B7 ");
    return text;
}

const QString &inkSeparator()
{
    static const QString text = QStringLiteral(" \u2022 ");
    return text;
}

// The size and category of the service a set is positioned on; empty and 0
// when it has no current row.
void readService(const CXDaoSet &service, QString &size, qint32 &catNo)
{
    size.clear();
    catNo = 0;
    if (service.IsEmptySet())
        return;
    try {
        if (service.IsEOF())
            return;
        const platform::Value sizeValue = service.GetFieldValue(QStringLiteral("Size"));
        size = sizeValue.isNull() ? QString() : sizeValue.toString();
        catNo = service.GetFieldValue(QStringLiteral("CatNo")).toInt();
    } catch (const platform::DbException &) {
        size.clear();
        catNo = 0;
    }
}

// The clause and sorts of the row kinds of the openers.
QString kindClause(int kind)
{
    switch (kind) {
    case CItemSet::ItemRows: return QStringLiteral(" and SerNo = 0");
    case CItemSet::ServiceRows: return QStringLiteral(" and SerNo > 0");
    case CItemSet::UnfinishedServices: return QStringLiteral(" and SerNo > 0 and Status > 0");
    case CItemSet::FinishedServices: return QStringLiteral(" and SerNo > 0 and Status = 0");
    default: return QString();
    }
}

// The next number after the highest one a query gives, held within a byte.
quint8 nextByteNumber(const QString &sql, const QString &fullMessage)
{
    const qint32 next = CXDaoSet::GetNextNumber(sql);
    if (next > 255) {
        platform::Prompt::messageBox(fullMessage, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 0;
    }
    return quint8(next);
}

} // namespace

CItemSet::CItemSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nFields = kFieldCount;
    m_nDefaultType = dbOpenDynaset;
    ResetFields();
}

CItemSet::CItemSet(const CItemSet &other)
    : CXDaoSet(nullptr)
{
    CopyFields(other);
}

CItemSet::~CItemSet() = default;

CItemSet &CItemSet::operator=(const CItemSet &other)
{
    CopyFields(other);
    return *this;
}

void CItemSet::CopyFields(const CItemSet &other)
{
    if (this == &other)
        return;
    m_ItemID = other.m_ItemID;
    m_Description = other.m_Description;
    m_Note = other.m_Note;
    m_JobID = other.m_JobID;
    m_SerNo = other.m_SerNo;
    m_ItemNo = other.m_ItemNo;
    m_SubNo = other.m_SubNo;
    m_SortNo = other.m_SortNo;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    m_Sheets = other.m_Sheets;
    m_Pages = other.m_Pages;
    m_Out = other.m_Out;
    m_Up = other.m_Up;
    m_Data1 = other.m_Data1;
    m_Data2 = other.m_Data2;
    m_Side1 = other.m_Side1;
    m_Side2 = other.m_Side2;
    m_Covrg = other.m_Covrg;
    m_Regis = other.m_Regis;
    m_Bleed = other.m_Bleed;
    m_PrtAs = other.m_PrtAs;
    m_Vendor = other.m_Vendor;
    m_Opt1 = other.m_Opt1;
    m_Opt2 = other.m_Opt2;
    m_Opt3 = other.m_Opt3;
    m_Opt4 = other.m_Opt4;
    m_Wash = other.m_Wash;
    m_Mix = other.m_Mix;
    m_EmpNo = other.m_EmpNo;
    m_Status = other.m_Status;
    m_Days2 = other.m_Days2;
    m_Tag1 = other.m_Tag1;
    m_Tag2 = other.m_Tag2;
    m_ActualTime = other.m_ActualTime;
    m_ChargeTime = other.m_ChargeTime;
    m_ActualQty = other.m_ActualQty;
    m_ChargeQty = other.m_ChargeQty;
    m_TimeCost = other.m_TimeCost;
    m_MatCost = other.m_MatCost;
    m_Cost = other.m_Cost;
    m_Price = other.m_Price;

    m_nSerQty = other.m_nSerQty;
    m_nDivide = other.m_nDivide;
    m_nSetMinutes = other.m_nSetMinutes;
    m_nSetCost = other.m_nSetCost;
    m_nSetPrice = other.m_nSetPrice;
    m_nRunMinutes = other.m_nRunMinutes;
    m_nRunCost = other.m_nRunCost;
    m_nRunPrice = other.m_nRunPrice;
    m_nWorkFlags = other.m_nWorkFlags;
    m_dRunSpeed = other.m_dRunSpeed;
    m_strPaperSize = other.m_strPaperSize;
    m_strRunSize = other.m_strRunSize;
    m_strFinishSize = other.m_strFinishSize;
    m_strPlainNote = other.m_strPlainNote;
    m_strFrontInks = other.m_strFrontInks;
    m_strBackInks = other.m_strBackInks;
    m_strExplain = other.m_strExplain;
}

QString CItemSet::GetDefaultSQL() const
{
    return QStringLiteral("Items");
}

void CItemSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("ItemID"), m_ItemID);
    DFX_Text(pFX, QStringLiteral("Description"), m_Description);
    DFX_Text(pFX, QStringLiteral("Note"), m_Note);
    DFX_LongNoNull(pFX, QStringLiteral("JobID"), m_JobID);
    DFX_LongNoNull(pFX, QStringLiteral("SerNo"), m_SerNo);
    DFX_Byte(pFX, QStringLiteral("ItemNo"), m_ItemNo);
    DFX_Byte(pFX, QStringLiteral("SubNo"), m_SubNo);
    DFX_Byte(pFX, QStringLiteral("SortNo"), m_SortNo);
    DFX_SingleNoNull(pFX, QStringLiteral("Width"), m_Width);
    DFX_SingleNoNull(pFX, QStringLiteral("Height"), m_Height);
    DFX_LongNoNull(pFX, QStringLiteral("Sheets"), m_Sheets);
    DFX_LongNoNull(pFX, QStringLiteral("Pages"), m_Pages);
    DFX_LongNoNull(pFX, QStringLiteral("Out"), m_Out);
    DFX_LongNoNull(pFX, QStringLiteral("Up"), m_Up);
    DFX_LongNoNull(pFX, QStringLiteral("Data1"), m_Data1);
    DFX_LongNoNull(pFX, QStringLiteral("Data2"), m_Data2);
    DFX_Byte(pFX, QStringLiteral("Side1"), m_Side1);
    DFX_Byte(pFX, QStringLiteral("Side2"), m_Side2);
    DFX_Byte(pFX, QStringLiteral("Covrg"), m_Covrg);
    DFX_Byte(pFX, QStringLiteral("Regis"), m_Regis);
    DFX_Byte(pFX, QStringLiteral("Bleed"), m_Bleed);
    DFX_Byte(pFX, QStringLiteral("PrtAs"), m_PrtAs);
    DFX_Byte(pFX, QStringLiteral("Vendor"), m_Vendor);
    DFX_Byte(pFX, QStringLiteral("Opt1"), m_Opt1);
    DFX_Byte(pFX, QStringLiteral("Opt2"), m_Opt2);
    DFX_Byte(pFX, QStringLiteral("Opt3"), m_Opt3);
    DFX_Byte(pFX, QStringLiteral("Opt4"), m_Opt4);
    DFX_Byte(pFX, QStringLiteral("Wash"), m_Wash);
    DFX_Byte(pFX, QStringLiteral("Mix"), m_Mix);
    DFX_Byte(pFX, QStringLiteral("EmpNo"), m_EmpNo);
    DFX_Byte(pFX, QStringLiteral("Status"), m_Status);
    DFX_Byte(pFX, QStringLiteral("Days2"), m_Days2);
    DFX_Byte(pFX, QStringLiteral("Tag1"), m_Tag1);
    DFX_Byte(pFX, QStringLiteral("Tag2"), m_Tag2);
    DFX_LongNoNull(pFX, QStringLiteral("ActualTime"), m_ActualTime);
    DFX_LongNoNull(pFX, QStringLiteral("ChargeTime"), m_ChargeTime);
    DFX_LongNoNull(pFX, QStringLiteral("ActualQty"), m_ActualQty);
    DFX_LongNoNull(pFX, QStringLiteral("ChargeQty"), m_ChargeQty);
    DFX_Currency(pFX, QStringLiteral("TimeCost"), m_TimeCost);
    DFX_Currency(pFX, QStringLiteral("MatCost"), m_MatCost);
    DFX_Currency(pFX, QStringLiteral("Cost"), m_Cost);
    DFX_Currency(pFX, QStringLiteral("Price"), m_Price);
    m_nLastDfxOp = pFX->operation();
}

void CItemSet::ResetFields()
{
    m_Description.clear();
    m_Note.clear();
    m_JobID = 0;
    m_SerNo = 0;
    m_ItemNo = 0;
    m_SubNo = 0;
    m_SortNo = 0;
    m_Width = 0;
    m_Height = 0;
    m_Sheets = 1;
    m_Pages = 0;
    m_Out = 0;
    m_Up = 0;
    m_Data1 = 0;
    m_Data2 = 0;
    m_Side1 = 0;
    m_Side2 = 0;
    m_Covrg = 0;
    m_Regis = 0;
    m_Bleed = 0;
    m_PrtAs = 0;
    m_Vendor = 0;
    m_Opt1 = 0;
    m_Opt2 = 0;
    m_Opt3 = 0;
    m_Opt4 = 0;
    m_Wash = 0;
    m_Mix = 0;
    m_EmpNo = 0;
    m_Status = 1;
    m_Days2 = 0;
    m_Tag1 = 0;
    m_Tag2 = 0;
    m_ActualTime = 0;
    m_ChargeTime = 0;
    m_ActualQty = 0;
    m_ChargeQty = 0;
    m_TimeCost = Money();
    m_MatCost = Money();
    m_Cost = Money();
    m_Price = Money();
    ClearWorkingMembers();
}

void CItemSet::ClearWorkingMembers()
{
    m_nSerQty = 0;
    m_nDivide = 0;
    m_nSetMinutes = 0;
    m_nSetCost = 0;
    m_nSetPrice = 0;
    m_nRunMinutes = 0;
    m_nRunCost = 0;
    m_nRunPrice = 0;
    m_nWorkFlags = 0;
    m_dRunSpeed = 0;
    m_strPaperSize.clear();
    m_strRunSize.clear();
    m_strFinishSize.clear();
    m_strPlainNote.clear();
    m_strFrontInks.clear();
    m_strBackInks.clear();
    m_strExplain.clear();
}

platform::Database &CItemSet::database()
{
    return m_pDatabase ? *m_pDatabase : SharedDatabase();
}

// ---------------------------------------------------------------------------
// Openers

bool CItemSet::OpenByItemID(qint32 itemId, bool edit)
{
    m_strFilter = QStringLiteral("Items.ItemID = %1").arg(itemId);
    m_strSort.clear();
    if (itemId == 0)
        return false;
    return RequeryOrOpen(edit);
}

bool CItemSet::OpenJobRows(qint32 jobId, int kind)
{
    m_strFilter = QStringLiteral("JobID = %1").arg(jobId) + kindClause(kind);
    m_strSort = kind == AllRows ? QStringLiteral("ItemNo, SubNo, SerNo, SortNo") : QStringLiteral("ItemNo, SubNo");
    return RequeryOrOpen(false);
}

bool CItemSet::OpenItemRows(qint32 jobId, int itemNo, int subNo, int kind)
{
    m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = %3").arg(jobId).arg(itemNo).arg(subNo)
        + kindClause(kind);
    m_strSort = kind == AllRows ? QStringLiteral("SerNo, SortNo") : QStringLiteral("SortNo");
    return RequeryOrOpen(false);
}

bool CItemSet::OpenOwnServices(int kind)
{
    return OpenItemRows(m_JobID, m_ItemNo, m_SubNo, kind);
}

bool CItemSet::OpenServicesOfItem(const CItemSet &item, int kind)
{
    return OpenItemRows(item.m_JobID, item.m_ItemNo, item.m_SubNo, kind);
}

// ---------------------------------------------------------------------------
// Numbering

quint8 CItemSet::GetNextItemNo(qint32 jobId)
{
    return nextByteNumber(QStringLiteral("SELECT Max(ItemNo) FROM Items WHERE JobID = %1").arg(jobId),
                          QStringLiteral("This job already has item number 255.\n"
                                         "No more items can be added to it."));
}

quint8 CItemSet::GetNextSubNo(qint32 jobId, int itemNo)
{
    return nextByteNumber(
        QStringLiteral("SELECT Max(SubNo) FROM Items WHERE JobID = %1 and ItemNo = %2").arg(jobId).arg(itemNo),
        QStringLiteral("Item %1 already has sub-item number 255.\nNo more sub-items can be added to it.")
            .arg(itemNo));
}

DateTime CItemSet::GetJobDateIn() const
{
    platform::Value dateIn;
    LookupFirstValue(dateIn, QStringLiteral("SELECT DateIn FROM Jobs WHERE JobID = ") + QString::number(m_JobID));
    const DateTime date = dateIn.isNull() ? DateTime::null() : dateIn.toDateTime();
    if (!date.isValid())
        return DateTime(0.0);
    return date.addDays(double(m_Days2) - 1.0);
}

// ---------------------------------------------------------------------------
// Note parts

void CItemSet::JoinNoteParts(const CXDaoSet &service)
{
    QString serviceSize;
    qint32 catNo = 0;
    readService(service, serviceSize, catNo);

    m_Note = m_strPlainNote;
    // The sizes are left out only when they say nothing the service's own
    // size does not.
    const bool sizesAreThePaper =
        !serviceSize.isEmpty() && m_strRunSize == m_strPaperSize && m_strFinishSize == m_strPaperSize;
    if (!sizesAreThePaper)
        m_Note += sizeSeparator() + m_strRunSize + sizeSeparator() + m_strFinishSize;
    if (!m_strFrontInks.isEmpty() || !m_strBackInks.isEmpty())
        m_Note += inkSeparator() + m_strFrontInks + inkSeparator() + m_strBackInks;
}

void CItemSet::SplitNoteParts(const CXDaoSet &service)
{
    QString serviceSize;
    qint32 catNo = 0;
    readService(service, serviceSize, catNo);

    m_strPlainNote = m_Note;
    SplitAtKey(m_strPlainNote, m_strFrontInks, inkSeparator());
    SplitAtKey(m_strPlainNote, m_strRunSize, sizeSeparator());
    SplitAtKey(m_strRunSize, m_strFinishSize, sizeSeparator());
    SplitAtKey(m_strFrontInks, m_strBackInks, inkSeparator());

    m_strPaperSize = serviceSize;
    TrimText(m_strPaperSize);
    TrimText(m_strRunSize);
    TrimText(m_strFinishSize);
    if (m_strPaperSize.isEmpty())
        m_strPaperSize = m_strRunSize;
    if (IsCategory113To116(catNo)) {
        // Envelopes are run and finished at the size they are bought.
        m_strRunSize = m_strPaperSize;
        m_strFinishSize = m_strPaperSize;
    } else {
        if (m_strRunSize.isEmpty())
            m_strRunSize = m_strPaperSize;
        if (m_strFinishSize.isEmpty())
            m_strFinishSize = m_strRunSize;
    }
}

void CItemSet::CopySample(platform::Database &db, qint32 fromItemId, qint32 toItemId)
{
    platform::Recordset samples(db);
    samples.open(platform::Recordset::Type::Snapshot,
                 QStringLiteral("SELECT ItemID, Path FROM Samples WHERE ItemID = %1").arg(fromItemId));
    for (; !samples.isEOF(); samples.moveNext()) {
        const QString path = samples.value(1).isNull() ? QString() : samples.value(1).toString();
        if (!path.isEmpty()) {
            db.execute(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (?, ?)"),
                       {platform::Value(toItemId), platform::Value(path)});
            return;
        }
    }
}

void CItemSet::StripBracedText()
{
    const int open = m_Description.indexOf(QLatin1Char('{'));
    const int close = m_Description.indexOf(QLatin1Char('}'));
    if (open < 0 || close < 0 || close < open)
        return;
    m_Description.remove(open, close - open + 1);
    int blanks = 0;
    while (blanks < m_Description.size() && m_Description.at(blanks) == QLatin1Char(' '))
        ++blanks;
    m_Description.remove(0, blanks);
}
