#pragma once

#include "views/CDlg0.h"

class CColorListBox;

// Lets the user choose the hue of one view's window from 36 swatches. It
// keeps nothing itself: every choice goes at once to the owning view as the
// appearance message (setting 0, the hue; 0 for the view's default colour),
// which applies, redraws and keeps it.
class CViewColor : public CDlg0
{
    Q_OBJECT

public:
    // The message the appearance dialogs send their owner: (setting, value).
    static constexpr int kAppearanceMessage = 30249;
    static constexpr unsigned kList = 1401;
    static constexpr unsigned kDefaultButton = 1001;

    // The current hue is the dialog's colour value (m_nColorScheme).
    CViewColor(unsigned viewId, int hue, QWidget *parent);

    unsigned m_nViewId = 0;

    CColorListBox *list() const { return m_list; }

signals:
    void viewMessage(int message, qintptr wParam, qintptr lParam);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

private:
    void OnSelectionChanged();

    CColorListBox *m_list = nullptr;
    bool m_bFilling = false;
};
