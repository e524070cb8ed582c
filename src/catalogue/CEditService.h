#pragma once

#include "controls/CXGridProp.h"
#include "controls/CXRibbon.h"
#include "views/CDlg0.h"

class CItemSet;
class CSerSet;
class QPlainTextEdit;

// "Service Specs": the quantities a service row of an item asks for (wash-ups
// and ink mixes of a press, plates of a plate service, the count a service's
// question asks for), its vendor and its note. It edits the row in memory and
// reports how many fields it changed; the item window saves and reprices.
// The vendor of a press or plate row is shown read-only: it is not stored.
class CEditService : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kGrid = 2111;
    static constexpr unsigned kNoteRibbon = 1721;
    static constexpr unsigned kNote = 1301;
    enum Row { RowName = 0, RowModified, RowReminder, RowQuestion, RowCount, RowSecond, RowVendor };

    CEditService(CItemSet &row, const CSerSet &service, int offset, QWidget *parent);

    int m_nStartRow = RowCount;
    // After IDOK: the number of fields stored into the row.
    int changeCount() const { return m_nChanges; }

    CXGridProp &grid() { return m_grid; }
    QPlainTextEdit *noteEdit() const { return m_note; }

    // The caption of the question row for a service's question text.
    static QString QuestionCaption(const QString &askHowMany);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    enum Kind { Press, Plates, Question, Other };
    void BuildRows();

    CItemSet &m_row;
    const CSerSet &m_service;
    int m_nOffset = 0;
    Kind m_kind = Other;
    qint32 m_nCount = 0;
    qint32 m_nSecond = 0;
    quint8 m_nVendor = 0;
    int m_nChanges = 0;
    CXGridProp m_grid;
    CXRibbon m_noteBar;
    QPlainTextEdit *m_note = nullptr;
};
