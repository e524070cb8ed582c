#include "jobs/MissingJobData.h"

#include "data/CJobSet.h"

namespace {

// Bits of the required-information option.
constexpr qint32 kBuyer = 2, kCsr = 4, kSalesRep = 8, kProof = 16, kDue = 32, kReorder = 64;

} // namespace

QList<MissingDataEntry> FindMissingJobData(const CJobSet &job, int itemCount, qint32 requiredBits,
                                           const QString &shipByName)
{
    QList<MissingDataEntry> entries;
    if (job.m_JobType != CJobSet::Order && job.m_JobType != CJobSet::Quote)
        return entries;
    const bool order = job.m_JobType == CJobSet::Order;

    if (itemCount == 0)
        entries.append({30361, QStringLiteral("Item Specs"), true, true});
    if (job.m_ShiptoNo == 0)
        entries.append({30408, QStringLiteral("Shipto Address"), job.m_CusNo == kWalkInCustomer, false});
    if (job.m_BuyerNo == 0) {
        const bool required = (requiredBits & kBuyer) != 0;
        entries.append({30411, QStringLiteral("Ordered by"), required, required});
    }

    // The header fields, completed in the job dates window.
    QString fields;
    if (job.m_Title.isEmpty() && itemCount > 0)
        fields += QStringLiteral("Title, ");
    if (order && job.m_PO == QLatin1String("?"))
        fields += QStringLiteral("PO, ");
    if (order && shipByName == QLatin1String("?"))
        fields += QStringLiteral("Ship Via, ");
    if ((requiredBits & kProof) && !job.m_DateProof.isValid())
        fields += QStringLiteral("Proof, ");
    if ((requiredBits & kDue) && !job.m_DateDue.isValid())
        fields += QStringLiteral("DueDate, ");
    if ((requiredBits & kReorder) && !job.m_DateReorder.isValid())
        fields += QStringLiteral("Reorder, ");
    if ((requiredBits & kCsr) && job.m_CSRNo == 0)
        fields += QStringLiteral("CSR, ");
    if (!fields.isEmpty())
        entries.append({30406, fields.left(fields.size() - 2), true, true});

    if ((requiredBits & kSalesRep) && job.m_SRepNo == 0)
        entries.append({30525, QStringLiteral("Sales Rep"), true, true});
    // Payments are stored negative: 0 or above means none was recorded.
    if (order && job.m_TermsNo == 0 && job.m_Paid.units() >= 0)
        entries.append({30415, QStringLiteral("Deposit"), true, false});
    return entries;
}
