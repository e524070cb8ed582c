#pragma once

#include "controls/CListItem.h"
#include "views/CDlg0.h"

#include <QtCore/QList>
#include <QtCore/QMap>

class CXTreeOptCtrl;

// The general question dialog: a tree of check boxes and radio groups under
// headings, with OK, Cancel and an optional third button (1001). Callers add
// groups and entries, run it and read the answers; option groups of the
// string table are read from and saved to table Options (one row per group:
// the group's resource id, then the 1-based position of the chosen radio or
// the bit mask of the checked boxes).
//
// An entry is a CListItem: code (0 for a group header), text, number 1 = its
// checked state (for a header: 1 radio group, 0 check group), number 2 = a
// header's image (253 for a plain heading line).
class CDlgOptions : public CDlg0
{
    Q_OBJECT

public:
    static constexpr int kHeadingImage = 253;

    CDlgOptions(const QString &ribbonTitle, const QString &stripText, int headerImage, QWidget *parent);

    void AddCheckGroup(const QString &title, int image);
    void AddRadioGroup(const QString &title, int image);
    void AddGroupHeader(const QString &title);
    void AddEntry(long code, const QString &text, int n1 = 0, int n2 = 0, int n3 = 0, int n4 = 0, int n5 = 0,
                  int n6 = 0, int n7 = 0, int n8 = 0);
    void AddListEntries(long firstCode, const QString &list);
    void AddCodedListEntries(const QString &list);
    void AddOptionGroups(int firstResource, int lastResource, bool radio, long value);
    // Stores the groups' choices; false, after the one box, when the shop's
    // database is open for reading only (nothing is stored then).
    bool SaveOptionGroups();

    bool IsEntryChecked(long code) const;
    long GetCheckedInRange(long low, long high) const;
    QString GetEntryText(long code) const;
    int GetEntryCount() const { return int(m_entries.size()); }
    const CListItem &entry(int index) const { return m_entries[index]; }
    void SetEntryText(int index, const QString &text);
    void SetCheckMask(int mask);

    // Selected when the tree opens, in the order third, second, first.
    std::array<long, 3> m_nSelect{1, 0, 0};
    int m_nHeaderImage = 0;
    int m_nCheckMask = 0;
    int m_bDoubleClickIsOK = 1;
    QString m_strConfirm;
    QString m_strOKCaption;
    QString m_strCancelCaption;
    QString m_strExtraCaption;

    CXTreeOptCtrl *tree() const { return m_tree; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void BuildTree();
    void CollectStates();
    void OnTreeMessage(int message, qintptr wParam, qintptr lParam);
    void SaveOption(long optionId, long value);
    void GrowToFit();

    CXTreeOptCtrl *m_tree = nullptr;
    QList<CListItem> m_entries;
    // The value each group read from the file showed, by OptionID.
    QMap<long, long> m_readOptions;
};
