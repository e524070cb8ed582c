#include "data/CItemSetX.h"

#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint8 kHiddenService = 2; // SerStatus of a discontinued service
constexpr int kItemRowColor = 23;

// The look-ups made for every row bind their numbers instead of writing them
// into the text, so each reuses one translated and prepared statement.

// The name of a service category; "?" for a category that does not exist.
QString categoryName(qint32 catNo)
{
    CXDaoSet set;
    set.m_filterValues = {platform::Value(catNo)};
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT CatName FROM ServiceCategories WHERE CatNo = ?"));
    if (set.IsEmptySet())
        return QStringLiteral("?");
    const platform::Value name = set.GetFieldValue(0);
    return name.isNull() ? QString() : name.toString();
}

// The colour of a service's rows: the image of the department its category
// belongs to (the department's icon + 48), 0 without a category, 255 for a
// service that does not exist.
int serviceColor(qint32 serNo)
{
    CXDaoSet set;
    set.m_filterValues = {platform::Value(serNo)};
    set.Open(CXDaoSet::dbOpenSnapshot,
             QStringLiteral("SELECT Services.CatNo, ServiceDepartments.IconNo FROM (Services LEFT JOIN "
                            "ServiceCategories ON Services.CatNo = ServiceCategories.CatNo) LEFT JOIN "
                            "ServiceDepartments ON ServiceCategories.DepNo = ServiceDepartments.DepNo "
                            "WHERE Services.SerNo = ?"));
    if (set.IsEmptySet())
        return 255;
    if (set.GetFieldValue(0).toInt() == 0)
        return 0;
    return set.GetFieldValue(1).toInt() + 48;
}

// Changes written through the connection so far.
qint64 ConnectionChanges(platform::Database *database)
{
    platform::Database &db = database ? *database : SharedDatabase();
    return db.isOpen() ? qint64(sqlite3_total_changes64(db.handle())) : -1;
}

} // namespace

CItemSetX::CItemSetX(platform::Database *database)
    : CItemSet(database)
    , m_Service(database)
{
    m_nDefaultType = dbOpenSnapshot;
}

CItemSetX::~CItemSetX() = default;

QString CItemSetX::GetDefaultSQL() const
{
    return QStringLiteral("SELECT Items.* FROM ServiceCategories INNER JOIN (Items INNER JOIN Services ON "
                          "Items.SerNo = Services.SerNo) ON ServiceCategories.CatNo = Services.CatNo");
}

// ---------------------------------------------------------------------------
// Openers

bool CItemSetX::OpenJobItemsAndServices(qint32 jobId)
{
    startWalk(jobId);
    m_strFilter = QStringLiteral("Items.JobID = %1").arg(jobId);
    m_strSort = QStringLiteral("Items.ItemNo, Items.SubNo, Items.SortNo, ServiceCategories.SortNo, Services.SortNo, "
                               "Services.Name");
    return RequeryOrOpen(false);
}

bool CItemSetX::OpenJobItems(qint32 jobId)
{
    startWalk(jobId);
    m_strFilter = QStringLiteral("Items.JobID = %1 and Items.SerNo = 0").arg(jobId);
    m_strSort = QStringLiteral("Items.ItemNo, Items.SubNo");
    return RequeryOrOpen(false);
}

bool CItemSetX::OpenItemServices(qint32 jobId, int itemNo, int subNo, bool servicesOnly)
{
    startWalk(jobId);
    m_strFilter = QStringLiteral("Items.JobID = %1 and Items.ItemNo = %2 and Items.SubNo = %3")
                      .arg(jobId)
                      .arg(itemNo)
                      .arg(subNo);
    if (servicesOnly)
        m_strFilter += QStringLiteral(" and Items.SerNo > 0");
    m_strSort = QStringLiteral("Items.SortNo, ServiceCategories.SortNo, Services.SortNo, Services.Name");
    return RequeryOrOpen(false);
}

void CItemSetX::startWalk(qint32 jobId)
{
    m_walkJobId = jobId;
    m_lookupsJobId = -1;
    m_services.clear();
    m_vendorNames.clear();
    m_servicePlaces.clear();
    m_serviceTexts.clear();
    m_servicesChanges = -1;
    m_servicePlace = -1;
}

bool CItemSetX::lookupsCurrent(qint32 jobId) const
{
    return jobId == m_lookupsJobId && m_lookupsChanges == ConnectionChanges(m_pDatabase);
}

const CItemSetX::ServiceLooks &CItemSetX::serviceLooks(qint32 serNo)
{
    auto found = m_services.find(serNo);
    if (found == m_services.end()) {
        found = m_services.insert(serNo, {categoryName(ServiceText("CatNo").toInt()), serviceColor(serNo)});
    }
    return *found;
}

const CItemSetX::ServiceTexts &CItemSetX::serviceTexts(qint32 serNo)
{
    auto found = m_serviceTexts.find(serNo);
    if (found == m_serviceTexts.end()) {
        ServiceTexts texts;
        texts.name = ServiceText("Name");
        texts.catNo = ServiceText("CatNo").toInt();
        texts.size = ServiceText("Size");
        TrimText(texts.size);
        texts.unit = ServiceText("Unit").toInt();
        texts.status = ServiceText("SerStatus").toInt();
        texts.costBy = ServiceText("CostBy").toInt();
        found = m_serviceTexts.insert(serNo, texts);
    }
    return *found;
}

void CItemSetX::positionService(qint32 serNo)
{
    const qint64 changes = ConnectionChanges(m_pDatabase);
    if (m_walkJobId > 0 && (m_servicePlace < 0 || changes != m_servicesChanges)) {
        // The services of the walk's job, read once; each row's service is
        // then found by its place among them.
        m_servicePlaces.clear();
        m_servicePlace = -1;
        m_serviceColumns.clear();
        m_serviceTexts.clear();
        m_Service.m_filterValues = {platform::Value(m_walkJobId)};
        m_Service.Open(dbOpenSnapshot,
                       QStringLiteral("SELECT * FROM Services WHERE SerNo IN (SELECT SerNo FROM Items WHERE "
                                      "JobID = ?) ORDER BY SerNo"));
        if (m_Service.IsOpen() && !m_Service.IsEmptySet()) {
            const int serNoField = m_Service.GetFieldIndex(QStringLiteral("SerNo"));
            int place = 0;
            for (; !m_Service.IsEOF(); m_Service.MoveNext())
                m_servicePlaces.insert(m_Service.GetFieldValue(serNoField).toInt(), place++);
            m_Service.MoveFirst();
            m_servicePlace = 0;
        }
        m_servicesChanges = changes;
    }
    const auto found = m_servicePlaces.constFind(serNo);
    if (m_servicePlace >= 0 && found != m_servicePlaces.constEnd()) {
        for (; m_servicePlace < *found; ++m_servicePlace)
            m_Service.MoveNext();
        for (; m_servicePlace > *found; --m_servicePlace)
            m_Service.MovePrev();
        return;
    }
    // A service outside the job's (or a walk without a job): its own row.
    m_servicePlace = -1;
    m_serviceColumns.clear();
    m_serviceTexts.clear();
    m_Service.m_filterValues = {platform::Value(serNo)};
    m_Service.Open(dbOpenSnapshot, QStringLiteral("SELECT * FROM Services WHERE SerNo = ?"));
}

void CItemSetX::readLookups(qint32 jobId)
{
    // Every item of the job at once, as the rows of a job are described one
    // after the other.
    if (!lookupsCurrent(jobId)) {
        m_itemKinds.clear();
        // "How to display/print Service Unit Prices" of the Job Options row.
        m_unitPriceMode = ToInt(GetGlobalAlertText(251, 2, QStringLiteral("0")));
        // Only the rows of a digital (301-399) or paper (101-199) category
        // are read; an item without any has no kind.
        CXDaoSet set(m_pDatabase);
        set.m_filterValues = {platform::Value(jobId)};
        set.Open(dbOpenSnapshot,
                 QStringLiteral("SELECT Items.ItemNo, Items.SubNo, Services.CatNo FROM Services INNER JOIN Items ON "
                                "Services.SerNo = Items.SerNo WHERE Items.JobID = ? AND (Services.CatNo Between 301 "
                                "And 399 OR Services.CatNo Between 101 And 199)"));
        for (; set.IsOpen() && !set.IsEOF(); set.MoveNext()) {
            const int category = set.GetFieldValue(2).toInt();
            const int kind = category >= 301 && category <= 399 ? 1 : 2;
            m_itemKinds[set.GetFieldValue(0).toInt() * 256 + set.GetFieldValue(1).toInt()] |= kind;
        }
        m_lookupsJobId = jobId;
        m_lookupsChanges = ConnectionChanges(m_pDatabase);
    }
}

void CItemSetX::DetectItemKinds(qint32 jobId, int itemNo, int subNo)
{
    readLookups(jobId);
    const int kinds = m_itemKinds.value(itemNo * 256 + subNo, 0);
    m_bHasDigital = (kinds & 1) != 0;
    m_bHasPaper = (kinds & 2) != 0;
}

// ---------------------------------------------------------------------------
// Display texts

int CItemSetX::GetRegisImage() const
{
    switch (m_Regis) {
    case 10: return 234; // To-Order
    case 11: return 235; // On-Order
    case 12: return 236; // In-Stock
    default: return 233;
    }
}

platform::Value CItemSetX::ServiceValue(const char *column) const
{
    if (m_Service.IsEmptySet())
        return platform::Value();
    try {
        if (m_Service.IsEOF())
            return platform::Value();
        // Each column's place is looked up once per opening of m_Service.
        int index = -1;
        const auto known = std::find_if(m_serviceColumns.cbegin(), m_serviceColumns.cend(),
                                        [column](const auto &c) { return std::strcmp(c.first, column) == 0; });
        if (known != m_serviceColumns.cend()) {
            index = known->second;
        } else {
            index = m_Service.GetFieldIndex(QString::fromLatin1(column));
            m_serviceColumns.emplace_back(column, index);
        }
        if (index < 0)
            return platform::Value();
        return m_Service.GetFieldValue(index);
    } catch (const platform::DbException &) {
        return platform::Value();
    }
}

QString CItemSetX::ServiceText(const char *column) const
{
    const platform::Value value = ServiceValue(column);
    return value.isNull() ? QString() : value.toString();
}

QString CItemSetX::InkNames(quint8 side) const
{
    // Digital items name their inks with the short names.
    return GetInkColorsText(side, m_bHasDigital);
}

void CItemSetX::GetInkText(bool withUnitWord)
{
    const QString name2 = ServiceText("Name2");
    const QString heading = !name2.isEmpty() && name2 != QLatin1String("~")
        ? name2
        : m_strHeading + QStringLiteral(": ") + ServiceText("Name");

    if (!IsPaperCategory(m_nCatNo)) {
        const QString askHowMany = ServiceText("AskHowMany");
        if (!askHowMany.isEmpty() && !askHowMany.contains(QLatin1Char('~')))
            m_strDescription = QStringLiteral("%1 (%2 %3)").arg(heading).arg(m_Out).arg(askHowMany);
        else
            m_strDescription = heading;
        return;
    }

    const QString extraLine = withUnitWord ? QStringLiteral("   (%1)").arg(m_strUnitWord) : QString();
    const QString frontLine =
        m_Side1 != 0 ? QStringLiteral("\n   Front: %1   %2").arg(InkNames(m_Side1), m_strFrontInks) : QString();
    const QString backLine =
        m_Side2 != 0 ? QStringLiteral("\n   Back:  %1   %2").arg(InkNames(m_Side2), m_strBackInks) : QString();
    m_strDescription = heading + QLatin1Char(' ') + m_strFinishSize + QLatin1Char(' ') + m_strPlainNote
        + QLatin1Char(' ') + extraLine + frontLine + backLine;
}

void CItemSetX::GetRunText(QString &out, bool withHeading, bool withNote, bool withExtra, bool withInks)
{
    const QString main = withHeading ? m_strHeading + QStringLiteral(": ") + m_strDescription : m_strDescription;
    const QString twoBlanks = QStringLiteral("  ");
    const QString dotSeparator = QStringLiteral(" \u00B7 ");

    QString specText;
    QString quantity;
    const bool paper = IsPaperCategory(m_nCatNo);
    if (paper) {
        quantity = QStringLiteral("%1: %2").arg(m_strUnitWord).arg(m_Sheets);
        if (m_strPaperSize == m_strRunSize && m_strRunSize == m_strFinishSize && m_Up == 1)
            specText = m_strPaperSize;
        else
            specText = QStringLiteral("%1 (%2 out  %3 up)").arg(m_strPaperSize).arg(m_Out).arg(m_Up);
        AppendText(specText, m_strPlainNote, twoBlanks);
        if (withInks) {
            const QString inks = QStringLiteral("%1 %2/ %3 %4")
                                     .arg(InkNames(m_Side1), m_strFrontInks, InkNames(m_Side2), m_strBackInks);
            AppendText(specText, inks, dotSeparator);
        }
        AppendText(specText, GetPressSpecText(twoBlanks), twoBlanks);
    } else if (IsPressCategory(m_nCatNo)) {
        specText = GetWashMixText(twoBlanks);
    } else if (!IsDigitalCategory(m_nCatNo)) {
        const QString askHowMany = ServiceText("AskHowMany");
        if (m_Out != 0 && !askHowMany.isEmpty())
            quantity = QStringLiteral("%1 %2").arg(m_Out).arg(askHowMany);
        else if (m_Out != 0 && m_Out != m_ChargeQty)
            quantity = QString::number(m_Out);
    }

    out = main;
    AppendText(out, specText, dotSeparator);
    if (withExtra)
        AppendText(out, m_strExtra, dotSeparator);
    // A paper service never adds its Note: its parts are in the paper description.
    if (withNote && !paper)
        AppendText(out, m_Note, dotSeparator);
    AppendText(out, quantity, QString(9, QLatin1Char(' ')));
}

void CItemSetX::GetDescription(const QString &zeroText, bool withSheets)
{
    // The columns hold the current row as the walk read it; without a row
    // they describe an empty one.
    bool onRow = false;
    try {
        onRow = !IsEmptySet() && !IsEOF() && !IsBOF();
    } catch (const platform::DbException &) {
    }
    if (onRow) {
        ClearWorkingMembers();
    } else {
        ResetFields();
        m_ItemID = 0;
    }
    m_strHeading.clear();
    m_strDescription.clear();
    m_strSpare.clear();
    m_strExtra.clear();
    m_strActualTime.clear();
    m_strChargeTime.clear();
    m_strActualQty.clear();
    m_strChargeQty.clear();
    m_strUnitPrice.clear();
    m_strCost.clear();
    m_strPrice.clear();
    m_nCatNo = 0;
    m_nDecimals = 0;
    m_nRowColor = 255;
    m_nRegisImage = 255;

    readLookups(m_JobID);
    const int unitPriceMode = m_unitPriceMode;

    if (m_SerNo == 0) {
        m_strHeading = m_SubNo != 0 ? QStringLiteral("%1.%2").arg(m_ItemNo).arg(m_SubNo) : QString::number(m_ItemNo);
        m_nRowColor = kItemRowColor;
        m_nQuantity = m_ChargeQty;
        m_nSheets = m_Sheets;
        m_nUnit = m_Opt1;
        m_nDecimals = m_Opt3;
        m_nRegisImage = GetRegisImage();
        m_strUnitWord = GetQuantityUnitName(m_Opt1);
        DetectItemKinds(m_JobID, m_ItemNo, m_SubNo);

        m_strChargeQty = FormatInt(m_ChargeQty, true, false);
        FormatUnitPrice(m_strUnitPrice, m_Price, m_ChargeQty, 0);
        m_strCost = FormatPrice(m_Cost);
        m_strPrice = FormatPrice(m_Price);
        m_strPaperSize = FormatSize(m_Width, m_Height);

        if (m_Pages == 0 || !m_bHasPaper || !withSheets || m_Opt1 == 7) {
            m_strDescription = withSheets
                ? QStringLiteral("%1   (%2)").arg(m_Description, GetSheetsText(m_strUnitWord))
                : m_Description;
        } else {
            const qint32 blanks = m_Sheets * 2 - m_Pages;
            const QString blanksText =
                m_Pages > 1 && blanks != 0 ? QStringLiteral(" + %1 blank").arg(blanks) : QString();
            m_strDescription = QStringLiteral("%1   %2  (%3%4)")
                                   .arg(m_Description,
                                        FormatCountWithUnit(m_Pages, QStringLiteral("side"), QStringLiteral("sides")),
                                        GetSheetsText(m_strUnitWord), blanksText);
        }
        return;
    }

    // A service row: the service's name under its category's name.
    positionService(m_SerNo);
    const ServiceTexts &texts = serviceTexts(m_SerNo);
    m_strDescription = texts.name;
    m_nCatNo = texts.catNo;
    const ServiceLooks &looks = serviceLooks(m_SerNo);
    m_strHeading = looks.categoryName;
    m_strPaperSize = texts.size;
    m_nRowColor = looks.color;

    const int serviceUnit = texts.unit;
    m_nDecimals = unitPriceMode == 2 || (unitPriceMode == 0 && serviceUnit == 2) ? 2 : 1;
    if (IsDigitalCategory(m_nCatNo)) {
        m_bHasDigital = true;
        m_nDecimals = 1;
    }

    m_strActualTime = FormatNumberOrMinutes(m_ActualTime, false, zeroText);
    m_strChargeTime = FormatNumberOrMinutes(m_ChargeTime, false, zeroText);
    m_strActualQty = FormatNumberOrMinutes(m_ActualQty, m_nDecimals != 0, zeroText);
    // A line costed by its time alone keeps the quantity it was added with
    // (the price table goes on reading that one); what it counts is the
    // item's quantity, and that is what the line shows and prints. A paper
    // row counts its own sheets.
    const bool timeOnly = texts.costBy == 1 && !IsPaperCategory(m_nCatNo);
    const qint32 shownQty = timeOnly && m_nQuantity > 0 ? m_nQuantity : m_ChargeQty;
    m_strChargeQty = FormatNumberOrMinutes(shownQty, m_nDecimals != 0, zeroText);
    m_strCost = FormatPrice(m_Cost);
    m_strPrice = FormatPrice(m_Price);
    // Per thousand with two decimals, or per each with four.
    m_strUnitPrice = m_nDecimals == 2 ? FormatRate(m_Price, shownQty, 2, 2, true)
                                      : FormatRate(m_Price, shownQty, 1, 4, true);

    if (texts.status == kHiddenService)
        m_strDescription += QStringLiteral(" (HIDDEN)");
    if (IsPaperCategory(m_nCatNo))
        SplitNoteParts(m_Service);
    if (m_Vendor != 0) {
        auto vendor = m_vendorNames.find(m_Vendor);
        if (vendor == m_vendorNames.end()) {
            QString name;
            LookupFirstText(name, QStringLiteral("SELECT Vendors.Name FROM Vendors WHERE Vendors.[No] = ")
                                      + QString::number(m_Vendor));
            vendor = m_vendorNames.insert(m_Vendor, name);
        }
        m_strExtra = *vendor;
    }
}
