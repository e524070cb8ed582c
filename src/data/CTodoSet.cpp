#include "data/CTodoSet.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/TextUtil.h"

namespace {

constexpr int kCustomersView = 30003;
constexpr int kReceivablesView = 30004;

} // namespace

CTodoSet::CTodoSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CTodoSet::GetDefaultSQL() const
{
    return QStringLiteral("[Todos]");
}

void CTodoSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[TodoID]"), m_TodoID);
    DFX_LongNoNull(pFX, QStringLiteral("[ViewID]"), m_ViewID);
    DFX_LongNoNull(pFX, QStringLiteral("[RefID]"), m_RefID);
    DFX_Byte(pFX, QStringLiteral("[TypeID]"), m_TypeID);
    DFX_Byte(pFX, QStringLiteral("[Who]"), m_Who);
    DFX_DateTime(pFX, QStringLiteral("[When]"), m_When);
    DFX_TextLimit(pFX, QStringLiteral("[Time]"), m_Time);
    DFX_Byte(pFX, QStringLiteral("[Opt1]"), m_Opt1);
    DFX_Byte(pFX, QStringLiteral("[Status]"), m_Status);
    DFX_Text(pFX, QStringLiteral("[Note]"), m_Note);
    m_nLastDfxOp = pFX->operation();
}

void CTodoSet::ResetFields()
{
    m_ViewID = 0;
    m_RefID = 0;
    m_TypeID = 0;
    m_Who = 0;
    m_When = DateTime(0.0);
    m_Time.clear();
    m_Opt1 = 0;
    m_Status = 0;
    m_Note.clear();
}

bool CTodoSet::FindById(qint32 todoId, bool edit)
{
    m_strFilter = QStringLiteral("TodoID = %1").arg(todoId);
    m_strSort.clear();
    if (todoId == 0)
        return false;
    return RequeryOrOpen(edit);
}

void CTodoSet::SetListFilter(qint32 viewId, qint32 refId, int listCommand, bool due)
{
    const QString joint = QStringLiteral(" and ");
    QString filter;
    if (viewId == 0)
        filter = QStringLiteral("ViewID > 0");
    else if (viewId == kCustomersView || viewId == kReceivablesView)
        filter = QStringLiteral("(ViewID = %1 or ViewID = %2)").arg(kCustomersView).arg(kReceivablesView);
    else
        filter = QStringLiteral("ViewID = %1").arg(viewId);

    if (refId != 0)
        AppendText(filter, QStringLiteral("RefID = %1").arg(refId), joint);

    // The "My" lists: the current operator's reminders and everyone's.
    const int operatorNo = ZqApp() ? ZqApp()->m_nDefaultCsr : 0;
    if (listCommand > 29829 && operatorNo != 0)
        AppendText(filter, QStringLiteral("(Who = %1 or Who = 0) ").arg(operatorNo), joint);

    if (due)
        AppendText(filter, QStringLiteral("[When] <= ") + GetTodayText(0, true), joint);

    if (listCommand == EveryonesDone || listCommand == MyDone)
        AppendText(filter, QStringLiteral("Status = 3"), joint);
    if (listCommand == EveryonesToDo || listCommand == MyToDo || due)
        AppendText(filter, QStringLiteral("Status < 3"), joint);

    m_strFilter = filter;
}

int CTodoSet::OpenList(qint32 viewId, qint32 refId, int listCommand, bool due)
{
    SetListFilter(viewId, refId, listCommand, due);
    if (!RequeryOrOpen(false))
        return 0;
    return CountRecords();
}
