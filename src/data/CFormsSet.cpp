#include "data/CFormsSet.h"


CFormsSet::CFormsSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
    ClearFields();
}

QString CFormsSet::GetDefaultSQL() const
{
    return QStringLiteral("[Forms]");
}

void CFormsSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Byte(pFX, QStringLiteral("[No]"), m_No);
    DFX_TextLimit(pFX, QStringLiteral("[Title]"), m_Title);
    DFX_Text(pFX, QStringLiteral("[Text]"), m_Text);
    DFX_Text(pFX, QStringLiteral("[Footer]"), m_Footer);
    DFX_SingleNoNull(pFX, QStringLiteral("[TopMargin]"), m_TopMargin);
    DFX_SingleNoNull(pFX, QStringLiteral("[BotMargin]"), m_BotMargin);
    DFX_SingleNoNull(pFX, QStringLiteral("[LeftMargin]"), m_LeftMargin);
    DFX_SingleNoNull(pFX, QStringLiteral("[RightMargin]"), m_RightMargin);
    DFX_TextLimit(pFX, QStringLiteral("[FontName]"), m_FontName);
    DFX_LongNoNull(pFX, QStringLiteral("[FontSize]"), m_FontSize);
    DFX_TextLimit(pFX, QStringLiteral("[Printer]"), m_Printer);
    DFX_LongNoNull(pFX, QStringLiteral("[Options]"), m_Options);
    DFX_LongNoNull(pFX, QStringLiteral("[ColBack]"), m_ColBack);
    DFX_LongNoNull(pFX, QStringLiteral("[ColText]"), m_ColText);
    DFX_TextLimit(pFX, QStringLiteral("[Desc]"), m_Desc);
    m_nLastDfxOp = pFX->operation();
}

int CFormsSet::GetOptionListId() const
{
    if (m_No < 40)
        return m_No % 10 == 1 ? 45001 : 45002;
    if (m_No < 50)
        return 45041;
    return m_No == 99 ? 45099 : 45100;
}

void CFormsSet::ClearFields()
{
    m_No = 0;
    m_Title.clear();
    m_Text.clear();
    m_Footer.clear();
    m_TopMargin = 0.9f;
    m_BotMargin = 0;
    m_LeftMargin = 0.25f;
    m_RightMargin = 0;
    // The font a form is printed in; the printer stays unset until the user
    // chooses one for the form.
    m_FontName = QStringLiteral("Arial");
    m_FontSize = 0;
    m_Printer.clear();
    m_Options = 0;
    m_ColBack = 0xFFFFFF;
    m_ColText = 0;
    m_Desc.clear();
}

bool CFormsSet::AddFormIfMissing(quint8 no, const QString &title, const QString &desc, qint32 options,
                                 const QString &text, const QString &fontName, qint32 fontSize)
{
    m_strFilter = QStringLiteral("[No] = %1").arg(no);
    m_strSort.clear();
    if (RequeryOrOpen(false))
        return true;
    if (!SafeAddNew())
        return false;
    ClearFields();
    m_No = no;
    m_Title = title;
    m_Desc = desc;
    m_Options = options;
    m_Text = text;
    m_FontName = fontName;
    m_FontSize = fontSize;
    return SafeUpdate(GetDefaultSQL());
}
