#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Forms: the definition of each printed document (its number, title,
// body text with tokens, footer, margins in inches, font, printer, option
// bits and colours).
class CFormsSet : public CXDaoSet
{
public:
    explicit CFormsSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;

    // The string-table list of options the form dialog offers for the
    // current form: below 40 list 45001 for numbers ending in 1 and 45002 for
    // the rest; 40-49 list 45041; from 50 list 45100, and 45099 for form 99.
    int GetOptionListId() const;

    // The empty form: texts empty, font "Arial" of size 0, top margin 0.9 and
    // left margin 0.25 inch, the others 0, no options, black on white.
    void ClearFields();

    // Adds the form when no row has its number; an existing form is never
    // changed. True when the form exists afterwards.
    bool AddFormIfMissing(quint8 no, const QString &title, const QString &desc, qint32 options, const QString &text,
                          const QString &fontName, qint32 fontSize);

    quint8 m_No = 0;
    QString m_Title;
    QString m_Text;
    QString m_Footer;
    float m_TopMargin = 0;
    float m_BotMargin = 0;
    float m_LeftMargin = 0;
    float m_RightMargin = 0;
    QString m_FontName;
    qint32 m_FontSize = 0;
    QString m_Printer;
    qint32 m_Options = 0;
    qint32 m_ColBack = 0; // RGB
    qint32 m_ColText = 0; // RGB
    QString m_Desc;
};
