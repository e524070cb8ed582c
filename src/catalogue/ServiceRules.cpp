#include "catalogue/ServiceRules.h"

#include "app/base/Codes.h"
#include "data/CSerSet.h"
#include "data/FieldExchange.h"

#include <limits>

void ApplyNewServiceDefaults(CSerSet &service)
{
    if (service.m_SerNo != 0)
        return;
    service.m_Name = QStringLiteral("< new >");
    service.m_CostBy = 2;
    service.m_PriceBy = 2;
    service.m_Unit = 1;
    const qint32 cat = service.m_CatNo;
    if (IsPaperCategory(cat)) {
        service.m_QtyBy = 4;
        service.m_WasteBy = 1;
        service.m_Unit = 2;
    } else if (IsPrintingCategory(cat)) {
        service.m_QtyBy = 8;
        service.m_CostBy = 3;
    } else if (IsCategory6(cat)) {
        service.m_QtyBy = 9;
    } else {
        service.m_QtyBy = 1;
    }
}

QString CategoryTypeName(qint32 catNo)
{
    if (IsCategory113To116(catNo))
        return QStringLiteral("Envelope");
    if (IsCategory105(catNo))
        return QStringLiteral("Carbonless");
    if (IsPaperCategory(catNo))
        return QStringLiteral("Paper");
    if (IsPressCategory(catNo))
        return QStringLiteral("Offset Press");
    if (IsDigitalCategory(catNo))
        return QStringLiteral("Digital Printer/Copier");
    if (IsCategory7(catNo))
        return QStringLiteral("Proof");
    if (IsCategory6(catNo))
        return QStringLiteral("Plate");
    if (IsCategory999(catNo))
        return QStringLiteral("Quick Sale");
    return QStringLiteral("Other");
}

void CoupleMethods(quint8 &costBy, quint8 &priceBy, bool changedCost)
{
    if (changedCost && costBy == 0 && priceBy != 0)
        priceBy = 0;
    else if (!changedCost && priceBy != 0 && costBy == 0)
        costBy = 2;
}

bool LiftExceptionHolds(quint8 qtyBy, qint32 divide, const QString &askHowMany)
{
    return qtyBy == 1 && divide > 1 && !askHowMany.startsWith(QLatin1Char('\\'))
           && !askHowMany.startsWith(QLatin1Char('/'));
}

bool RaisedRunCost(qint32 oldCost, qint64 percentTenThousandths, int step, qint32 &raised)
{
    constexpr qint64 kScale = 1000000; // 100 % in ten-thousandths of a percent
    const qint64 product = qint64(oldCost) * (kScale + percentTenThousandths);
    qint64 cost = product / kScale; // C++ division cuts toward zero
    if (step > 1) {
        const qint64 rest = cost % step;
        if (rest > 0)
            cost += step - rest;
        else if (rest < 0)
            cost -= rest; // toward zero is up for a negative amount
    }
    if (cost > std::numeric_limits<qint32>::max() || cost < std::numeric_limits<qint32>::min())
        return false;
    raised = qint32(cost);
    return true;
}

QString DuplicateServiceName(const QString &name)
{
    return name.left(40) + QStringLiteral(" - Copy");
}

bool IsSpecialService(qint32 serNo)
{
    return serNo == 174 || serNo == 175 || serNo == 193;
}

QString SpecialServiceMessage(qint32 serNo)
{
    QString when;
    switch (serNo) {
    case 174:
        when = QStringLiteral("the Run Size is smaller than the Parent Size");
        break;
    case 175:
        when = QStringLiteral("the Finish Size is smaller than the Run Size");
        break;
    case 193:
        when = QStringLiteral("Carbonless paper is used in the job");
        break;
    default:
        return QString();
    }
    return QStringLiteral("About this Special Service:")
           + QStringLiteral("\n\nTavrel automatically adds this service to a job when ") + when
           + QStringLiteral(". This insures that the cost of this service is included in the price of the job.")
           + QStringLiteral("\n\nTavrel recognizes this service from its service number. You may change the values "
                            "in all the fields of this service but we recommend that you do not change the name of "
                            "this service. If you do change the name, the new name should reflect the nature of "
                            "this service.")
           + QStringLiteral("\n\nBe careful when you make changes to this service.");
}

void ClearNullPatterns(CSerSet &service)
{
    auto clearLong = [](qint32 &v) {
        if (v == FieldExchange::kLongNull)
            v = 0;
    };
    auto clearByte = [](quint8 &v) {
        if (v == FieldExchange::kByteNull)
            v = 0;
    };
    auto clearSingle = [](float &v) {
        if (v == FieldExchange::kSingleNull)
            v = 0;
    };
    auto clearMoney = [](Money &v) {
        if (!v.isValid())
            v = Money::zero();
    };
    CSerSet &s = service;
    for (qint32 *v : {&s.m_SerNo, &s.m_CatNo, &s.m_SortNo, &s.m_DefPlate, &s.m_AutoAdd, &s.m_Divide, &s.m_Multiply,
                      &s.m_Round, &s.m_Markup, &s.m_Markup2, &s.m_Markup3, &s.m_MinLevel, &s.m_ReOrder, &s.m_InStock,
                      &s.m_OnOrder})
        clearLong(*v);
    for (quint8 *v : {&s.m_SaleDept, &s.m_SerStatus, &s.m_Colors, &s.m_QtyBy, &s.m_LiftBy, &s.m_WasteBy, &s.m_TimeBy,
                      &s.m_CostBy, &s.m_PriceBy, &s.m_AdjustBy, &s.m_ProdDepID, &s.m_Operator, &s.m_Tag,
                      &s.m_SchedBy, &s.m_VendorNo, &s.m_OptTax, &s.m_OptCom, &s.m_OptWO, &s.m_OptInv, &s.m_Unit,
                      &s.m_Step})
        clearByte(*v);
    for (float *v : {&s.m_Caliper, &s.m_SetTime, &s.m_ImpHour, &s.m_CostOH, &s.m_Bid, &s.m_Rush, &s.m_Spcl})
        clearSingle(*v);
    for (Money *v : {&s.m_CostHr, &s.m_WageHr, &s.m_MinPrice})
        clearMoney(*v);
    for (qint32 &v : s.m_SetUp)
        clearLong(v);
    for (qint32 &v : s.m_Run)
        clearLong(v);
}
