#include "data/CSerSet.h"

#include "data/CodeLookups.h"

CSerSet::CSerSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
    ResetFields(0);
}

QString CSerSet::GetDefaultSQL() const
{
    return QStringLiteral("Services");
}

void CSerSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_LongNoNull(pFX, QStringLiteral("[SerNo]"), m_SerNo);
    DFX_LongNoNull(pFX, QStringLiteral("[CatNo]"), m_CatNo);
    DFX_LongNoNull(pFX, QStringLiteral("[SortNo]"), m_SortNo);
    DFX_TextLimit(pFX, QStringLiteral("[Name]"), m_Name);
    DFX_TextLimit(pFX, QStringLiteral("[Name2]"), m_Name2);
    DFX_TextLimit(pFX, QStringLiteral("[SerRemind]"), m_SerRemind);
    DFX_TextLimit(pFX, QStringLiteral("[DefNote]"), m_DefNote);
    DFX_Text(pFX, QStringLiteral("[SerNote]"), m_SerNote);
    DFX_Byte(pFX, QStringLiteral("[SaleDept]"), m_SaleDept);
    DFX_Byte(pFX, QStringLiteral("[SerStatus]"), m_SerStatus);
    DFX_Byte(pFX, QStringLiteral("[Colors]"), m_Colors);
    DFX_TextLimit(pFX, QStringLiteral("[Size]"), m_Size);
    DFX_SingleNoNull(pFX, QStringLiteral("[Caliper]"), m_Caliper);
    DFX_LongNoNull(pFX, QStringLiteral("[DefPlate]"), m_DefPlate);
    DFX_LongNoNull(pFX, QStringLiteral("[AutoAdd]"), m_AutoAdd);
    DFX_Byte(pFX, QStringLiteral("[QtyBy]"), m_QtyBy);
    DFX_LongNoNull(pFX, QStringLiteral("[Divide]"), m_Divide);
    DFX_LongNoNull(pFX, QStringLiteral("[Multiply]"), m_Multiply);
    DFX_Byte(pFX, QStringLiteral("[LiftBy]"), m_LiftBy);
    DFX_TextLimit(pFX, QStringLiteral("[AskHowMany]"), m_AskHowMany);
    DFX_LongNoNull(pFX, QStringLiteral("[Round]"), m_Round);
    DFX_Byte(pFX, QStringLiteral("[WasteBy]"), m_WasteBy);
    DFX_Byte(pFX, QStringLiteral("[TimeBy]"), m_TimeBy);
    DFX_SingleNoNull(pFX, QStringLiteral("[SetTime]"), m_SetTime);
    DFX_SingleNoNull(pFX, QStringLiteral("[ImpHour]"), m_ImpHour);
    DFX_Byte(pFX, QStringLiteral("[CostBy]"), m_CostBy);
    DFX_Currency(pFX, QStringLiteral("[CostHr]"), m_CostHr);
    DFX_Currency(pFX, QStringLiteral("[WageHr]"), m_WageHr);
    DFX_SingleNoNull(pFX, QStringLiteral("[CostOH]"), m_CostOH);
    DFX_Byte(pFX, QStringLiteral("[PriceBy]"), m_PriceBy);
    DFX_LongNoNull(pFX, QStringLiteral("[Markup]"), m_Markup);
    DFX_LongNoNull(pFX, QStringLiteral("[Markup2]"), m_Markup2);
    DFX_LongNoNull(pFX, QStringLiteral("[Markup3]"), m_Markup3);
    DFX_Byte(pFX, QStringLiteral("[AdjustBy]"), m_AdjustBy);
    DFX_SingleNoNull(pFX, QStringLiteral("[Bid]"), m_Bid);
    DFX_SingleNoNull(pFX, QStringLiteral("[Rush]"), m_Rush);
    DFX_SingleNoNull(pFX, QStringLiteral("[Spcl]"), m_Spcl);
    DFX_Currency(pFX, QStringLiteral("[MinPrice]"), m_MinPrice);
    DFX_Byte(pFX, QStringLiteral("[ProdDepID]"), m_ProdDepID);
    DFX_Byte(pFX, QStringLiteral("[Operator]"), m_Operator);
    DFX_Byte(pFX, QStringLiteral("[Tag]"), m_Tag);
    DFX_Byte(pFX, QStringLiteral("[SchedBy]"), m_SchedBy);
    DFX_Byte(pFX, QStringLiteral("[VendorNo]"), m_VendorNo);
    DFX_LongNoNull(pFX, QStringLiteral("[MinLevel]"), m_MinLevel);
    DFX_LongNoNull(pFX, QStringLiteral("[ReOrder]"), m_ReOrder);
    DFX_LongNoNull(pFX, QStringLiteral("[InStock]"), m_InStock);
    DFX_LongNoNull(pFX, QStringLiteral("[OnOrder]"), m_OnOrder);
    DFX_TextLimit(pFX, QStringLiteral("[SKU]"), m_SKU);
    DFX_TextLimit(pFX, QStringLiteral("[UPC]"), m_UPC);
    DFX_TextLimit(pFX, QStringLiteral("[FSC]"), m_FSC);
    DFX_Byte(pFX, QStringLiteral("[OptTax]"), m_OptTax);
    DFX_Byte(pFX, QStringLiteral("[OptCom]"), m_OptCom);
    DFX_Byte(pFX, QStringLiteral("[OptWO]"), m_OptWO);
    DFX_Byte(pFX, QStringLiteral("[OptInv]"), m_OptInv);
    DFX_Byte(pFX, QStringLiteral("[Unit]"), m_Unit);
    DFX_Byte(pFX, QStringLiteral("[Step]"), m_Step);
    DFX_DateTime(pFX, QStringLiteral("[Modified]"), m_Modified);

    static const char *const kSetUp[] = {"SetFor", "SetTime", "SetCost", "SetPrice"};
    for (int level = 0; level < SetUpValues / 4; ++level) {
        for (int k = 0; k < 4; ++k)
            DFX_LongNoNull(pFX, QString::fromLatin1(kSetUp[k]) + QString::number(level + 1), m_SetUp[level * 4 + k]);
    }
    static const char *const kRun[] = {"QBreak", "UnitsHr", "RunCost", "RunPrice"};
    for (int brk = 0; brk < RunValues / 4; ++brk) {
        for (int k = 0; k < 4; ++k)
            DFX_LongNoNull(pFX, QString::fromLatin1(kRun[k]) + QString::number(brk + 1), m_Run[brk * 4 + k]);
    }

    if (pFX->operation() == FieldExchange::Fixup)
        computeDisplay();
    m_nLastDfxOp = pFX->operation();
}

CSerSet &CSerSet::operator=(const CSerSet &other)
{
    if (this == &other)
        return *this;
    m_SerNo = other.m_SerNo;
    m_CatNo = other.m_CatNo;
    m_SortNo = other.m_SortNo;
    m_Name = other.m_Name;
    m_Name2 = other.m_Name2;
    m_SerRemind = other.m_SerRemind;
    m_DefNote = other.m_DefNote;
    m_SerNote = other.m_SerNote;
    m_SaleDept = other.m_SaleDept;
    m_SerStatus = other.m_SerStatus;
    m_Colors = other.m_Colors;
    m_Size = other.m_Size;
    m_Caliper = other.m_Caliper;
    m_DefPlate = other.m_DefPlate;
    m_AutoAdd = other.m_AutoAdd;
    m_QtyBy = other.m_QtyBy;
    m_Divide = other.m_Divide;
    m_Multiply = other.m_Multiply;
    m_LiftBy = other.m_LiftBy;
    m_AskHowMany = other.m_AskHowMany;
    m_Round = other.m_Round;
    m_WasteBy = other.m_WasteBy;
    m_TimeBy = other.m_TimeBy;
    m_SetTime = other.m_SetTime;
    m_ImpHour = other.m_ImpHour;
    m_CostBy = other.m_CostBy;
    m_CostHr = other.m_CostHr;
    m_WageHr = other.m_WageHr;
    m_CostOH = other.m_CostOH;
    m_PriceBy = other.m_PriceBy;
    m_Markup = other.m_Markup;
    m_Markup2 = other.m_Markup2;
    m_Markup3 = other.m_Markup3;
    m_AdjustBy = other.m_AdjustBy;
    m_Bid = other.m_Bid;
    m_Rush = other.m_Rush;
    m_Spcl = other.m_Spcl;
    m_MinPrice = other.m_MinPrice;
    m_ProdDepID = other.m_ProdDepID;
    m_Operator = other.m_Operator;
    m_Tag = other.m_Tag;
    m_SchedBy = other.m_SchedBy;
    m_VendorNo = other.m_VendorNo;
    m_MinLevel = other.m_MinLevel;
    m_ReOrder = other.m_ReOrder;
    m_InStock = other.m_InStock;
    m_OnOrder = other.m_OnOrder;
    m_SKU = other.m_SKU;
    m_UPC = other.m_UPC;
    m_FSC = other.m_FSC;
    m_OptTax = other.m_OptTax;
    m_OptCom = other.m_OptCom;
    m_OptWO = other.m_OptWO;
    m_OptInv = other.m_OptInv;
    m_Unit = other.m_Unit;
    m_Step = other.m_Step;
    m_Modified = other.m_Modified;
    for (int i = 0; i < SetUpValues; ++i)
        m_SetUp[i] = other.m_SetUp[i];
    for (int i = 0; i < RunValues; ++i)
        m_Run[i] = other.m_Run[i];
    m_DepName = other.m_DepName;
    m_Label = other.m_Label;
    m_DepNo = other.m_DepNo;
    m_Image = other.m_Image;
    return *this;
}

bool CSerSet::FindBySerNo(qint32 serNo)
{
    m_strFilter = QStringLiteral("SerNo = %1").arg(serNo);
    m_strSort.clear();
    if (serNo == 0)
        return false;
    return RequeryOrOpen(false);
}

void CSerSet::ResetFields(qint32 catNo)
{
    m_SerNo = 0;
    m_CatNo = catNo;
    m_SortNo = 0;
    m_Name.clear();
    m_Name2.clear();
    m_SerRemind.clear();
    m_DefNote.clear();
    m_SerNote.clear();
    m_SaleDept = 0;
    m_SerStatus = 0;
    m_Colors = 0;
    m_Size.clear();
    m_Caliper = 0;
    m_DefPlate = 0;
    m_AutoAdd = 0;
    m_QtyBy = 0;
    m_Divide = 0;
    m_Multiply = 0;
    m_LiftBy = 0;
    m_AskHowMany.clear();
    m_Round = 0;
    m_WasteBy = 0;
    m_TimeBy = 0;
    m_SetTime = 0;
    m_ImpHour = 0;
    m_CostBy = 0;
    m_CostHr = Money::zero();
    m_WageHr = Money::zero();
    m_CostOH = 0;
    m_PriceBy = 0;
    m_Markup = 0;
    m_Markup2 = 0;
    m_Markup3 = 0;
    m_AdjustBy = 0;
    m_Bid = 0;
    m_Rush = 0;
    m_Spcl = 0;
    m_MinPrice = Money::zero();
    m_ProdDepID = 0;
    m_Operator = 0;
    m_Tag = 0;
    m_SchedBy = 0;
    m_VendorNo = 0;
    m_MinLevel = 0;
    m_ReOrder = 0;
    m_InStock = 0;
    m_OnOrder = 0;
    m_SKU.clear();
    m_UPC.clear();
    m_FSC.clear();
    m_OptTax = 1;
    m_OptCom = 1;
    m_OptWO = 1;
    m_OptInv = 0;
    m_Unit = 0;
    m_Step = 0;
    m_Modified = DateTime(0.0);
    for (qint32 &value : m_SetUp)
        value = 0;
    for (qint32 &value : m_Run)
        value = 0;
    computeDisplay();
}

void CSerSet::GetNextSerNo()
{
    if (!IsOpen() || GetEditMode() != dbEditAdd)
        return;
    m_SerNo = GetNextNumber(QStringLiteral("SELECT SerNo FROM Services ORDER BY SerNo DESC"));
}

bool CSerSet::SaveNew(unsigned beepType)
{
    return SaveNewRecord(m_SerNo, [this] {
        return GetNextNumber(QStringLiteral("SELECT SerNo FROM Services ORDER BY SerNo DESC"), m_pDatabase);
    }, beepType);
}

// The department of the service's category and its picture; a category or
// department that is not known counts as an empty entry.
void CSerSet::computeDisplay()
{
    if (m_CatNo == 0) {
        m_DepNo = 0;
        m_Image = 0;
        m_DepName.clear();
        m_Label.clear();
        return;
    }
    CachedCode category;
    CachedCode department;
    if (!LookupCode(CodeTable::ServiceCategories, m_CatNo, category))
        category = CachedCode(); // an unknown category has no department either
    else if (!LookupCode(CodeTable::ServiceDepartments, category.number1, department))
        department = CachedCode();
    m_DepNo = department.code;
    m_DepName = department.text;
    m_Label = category.text + QStringLiteral(": ") + m_Name;
    m_Image = department.number2 + 48;
}
