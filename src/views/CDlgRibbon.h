#pragma once

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "views/CDlg0.h"

// The resizable base of the record dialogs (job, customer, service, payment,
// web-order mail): a record ribbon (1731) with the record's title, a strip
// that takes the spare width and the status button; an optional navigation
// ribbon (1734) that moves through the list of the view that opened the
// dialog; an optional side ribbon (1732); three further ribbons (1733, 1741,
// 1742) and two record lists for derived dialogs; and a window placement kept
// in the workstation settings under the window name followed by " Window".
//
// Derived dialogs lay out their placeholders and the size marker (1999) in
// their constructors, set the window name and the placement flag, and the
// opening view attaches its list before DoModal.
class CDlgRibbon : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kRecordRibbon = 1731;
    static constexpr unsigned kSideRibbon = 1732;
    static constexpr unsigned kRibbon3 = 1733;
    static constexpr unsigned kNavRibbon = 1734;
    static constexpr unsigned kRibbon4 = 1741;
    static constexpr unsigned kRibbon5 = 1742;
    static constexpr unsigned kRecordList = 1401;
    static constexpr int kMinTrackWidth = 800;
    static constexpr int kMinTrackHeight = 600;

    CDlgRibbon(unsigned templateId, QWidget *parent);

    // Moves the attached list's selection for 59648-59651 (first, last, next,
    // previous) and gives the new row's key; 0 without a list, for any other
    // command or when there is nowhere to move.
    long NavigateRecord(unsigned cmd);
    // Enables the navigation ribbon's Find and the four moves that have a
    // target row (the target's first-column text as tip); the others are
    // disabled with empty tips.
    void UpdateNavButtons(bool enable);
    // Caption and image of the record ribbon's status button.
    void SetStatusButton(const QString &text, int imageFlag);
    // Restores the stored placement when placement saving is on and one is
    // stored; otherwise grows the window to the minimum size and centres it.
    void RestorePlacement(int minWidth, int minHeight);
    // The record ribbon's reminders item (8900), added when the ribbon lacks
    // it, showing the counts of the record's reminders.
    void AddRemindersItem(qint32 viewId, qint32 refId);
    // The reminders list of the record (its area's view id and its key),
    // titled with the window's title; the item's counts follow a change.
    void ShowReminders(qint32 viewId, qint32 refId);
    // The settings name of the placement: the window name and " Window".
    QString placementName() const { return m_strWindowName + QStringLiteral(" Window"); }

    CXRibbon m_wndRecordRibbon;
    CXRibbon m_wndSideRibbon;
    CXRibbon m_wndRibbon3;
    CXRibbon m_wndRibbon4;
    CXRibbon m_wndRibbon5;
    CXRibbon m_wndNavRibbon;
    CXListCtrl m_wndList;
    CXListCtrl m_wndList2;
    CXListCtrl *m_pAttachedList = nullptr;
    QString m_strWindowName;
    int m_bSavePlacement = 0;

protected:
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnSize(int type, int cx, int cy) override;

    // Puts a record list in the dialog as a control with that id (1401 for
    // the one the base resizes).
    void CreateRecordList(CXListCtrl &list, unsigned id, const QRect &rect);
};
