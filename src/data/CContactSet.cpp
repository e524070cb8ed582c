#include "data/CContactSet.h"

#include "app/base/DateRanges.h"
#include "app/base/TextUtil.h"

CContactSet::CContactSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CContactSet::GetDefaultSQL() const
{
    return QStringLiteral("[Contacts]");
}

void CContactSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[ContactNo]"), m_ContactNo);
    DFX_LongNoNull(pFX, QStringLiteral("[CusNo]"), m_CusNo);
    DFX_TextLimit(pFX, QStringLiteral("[Title]"), m_Title);
    DFX_TextLimit(pFX, QStringLiteral("[Postion]"), m_Postion);
    DFX_TextLimit(pFX, QStringLiteral("[First]"), m_First);
    DFX_TextLimit(pFX, QStringLiteral("[Last]"), m_Last);
    DFX_TextLimit(pFX, QStringLiteral("[Phone]"), m_Phone);
    DFX_TextLimit(pFX, QStringLiteral("[Email]"), m_Email);
    DFX_TextLimit(pFX, QStringLiteral("[Fax]"), m_Fax);
    DFX_TextLimit(pFX, QStringLiteral("[Phone2]"), m_Phone2);
    DFX_TextLimit(pFX, QStringLiteral("[Cell]"), m_Cell);
    DFX_TextLimit(pFX, QStringLiteral("[ContactNote]"), m_ContactNote);
    DFX_Byte(pFX, QStringLiteral("[Type]"), m_Type);
    DFX_Byte(pFX, QStringLiteral("[Dept]"), m_Dept);
    DFX_Byte(pFX, QStringLiteral("[PropID]"), m_PropID);
    DFX_Byte(pFX, QStringLiteral("[SendEmail]"), m_SendEmail);
    DFX_Byte(pFX, QStringLiteral("[SendSurvey]"), m_SendSurvey);
    DFX_Byte(pFX, QStringLiteral("[KeyContact]"), m_KeyContact);
    DFX_Byte(pFX, QStringLiteral("[WebOption]"), m_WebOption);
    DFX_DateTime(pFX, QStringLiteral("[Created]"), m_Created);
    DFX_DateTime(pFX, QStringLiteral("[Modified]"), m_Modified);
    DFX_DateTime(pFX, QStringLiteral("[OtherDate]"), m_OtherDate);
    DFX_DateTime(pFX, QStringLiteral("[LastEmail]"), m_LastEmail);
    DFX_DateTime(pFX, QStringLiteral("[LastSurvey]"), m_LastSurvey);
    m_nLastDfxOp = pFX->operation();
}

void CContactSet::ResetFields()
{
    m_CusNo = 0;
    m_Title.clear();
    m_Postion.clear();
    m_First.clear();
    m_Last.clear();
    m_Phone.clear();
    m_Email.clear();
    m_Fax.clear();
    m_Phone2.clear();
    m_Cell.clear();
    m_ContactNote.clear();
    m_Type = 0;
    m_Dept = 0;
    m_PropID = 0;
    m_SendEmail = 1;
    m_SendSurvey = 1;
    m_KeyContact = 1;
    m_WebOption = 1;
    m_Created = GetToday();
    m_Modified = GetToday();
    m_OtherDate = DateTime();
    m_LastEmail = DateTime();
    m_LastSurvey = DateTime();
}

CContactSet &CContactSet::operator=(const CContactSet &other)
{
    if (this == &other)
        return *this;
    m_CusNo = other.m_CusNo;
    m_Title = other.m_Title;
    m_Postion = other.m_Postion;
    m_First = other.m_First;
    m_Last = other.m_Last;
    m_Phone = other.m_Phone;
    m_Email = other.m_Email;
    m_Fax = other.m_Fax;
    m_Phone2 = other.m_Phone2;
    m_Cell = other.m_Cell;
    m_ContactNote = other.m_ContactNote;
    m_Type = other.m_Type;
    m_Dept = other.m_Dept;
    m_PropID = other.m_PropID;
    m_SendEmail = other.m_SendEmail;
    m_SendSurvey = other.m_SendSurvey;
    m_KeyContact = other.m_KeyContact;
    m_WebOption = other.m_WebOption;
    m_Created = other.m_Created;
    m_Modified = other.m_Modified;
    m_OtherDate = other.m_OtherDate;
    m_LastEmail = other.m_LastEmail;
    m_LastSurvey = other.m_LastSurvey;
    return *this;
}

bool CContactSet::FindContact(qint32 contactNo, bool edit)
{
    m_strFilter = QStringLiteral("ContactNo = %1").arg(contactNo);
    m_strSort.clear();
    if (contactNo == 0)
        return false;
    return RequeryOrOpen(edit);
}

QString &CContactSet::FormatName(QString &out, int layout) const
{
    switch (layout) {
    case 1:
        out = m_First + QLatin1Char(' ') + m_Last;
        break;
    case 2:
        out = m_Last + QStringLiteral(", ") + m_First;
        break;
    case 3:
        out = m_Title + QLatin1Char(' ') + m_Last + QLatin1Char(':');
        break;
    case 4:
        out = m_Title + QLatin1Char(' ') + m_First + QLatin1Char(' ') + m_Last;
        break;
    case 5:
    case 6:
        out = QStringLiteral("%1 %2\n%3\nPh1: %4\nPh2: %5\nCell: %6\nFax: %7")
                  .arg(m_First, m_Last, m_Email, m_Phone, m_Phone2, m_Cell, m_Fax);
        break;
    case 7:
        out = QStringLiteral("Name\t%1 %2\nPhone\t%3\nFax\t%4").arg(m_First, m_Last, m_Phone, m_Fax);
        break;
    default:
        out.clear();
        break;
    }
    TrimText(out);
    return out;
}

QString CContactSet::GetNameText(int layout) const
{
    QString text;
    return FormatName(text, layout);
}

QString CContactSet::GetContactCard(qint32 contactNo, int layout)
{
    if (FindContact(contactNo))
        return GetNameText(layout);
    if (contactNo != 0 && layout != 0)
        return QStringLiteral("< not found >");
    if (layout == 6 || layout == 7)
        return QStringLiteral("Name:\nPhone:\nFax:");
    return QString();
}
