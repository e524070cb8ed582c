#pragma once

#include "views/CDlg0.h"

class CXTreeOptCtrl;

// "Customize Appearance (for this computer only)": the button style, the
// backgrounds of the other buttons and of the list manager, the colour
// intensity and the font size as radio groups, a font choice, a reset to the
// defaults and the window colour. Every choice goes at once to the owning
// view as the appearance message (setting, value); the view applies, redraws
// and keeps it. Only the font's face is kept here, with the appearance.
class CViewOptions : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kTree = 2201;
    static constexpr unsigned kDefaultsButton = 1001;
    static constexpr unsigned kColorButton = 1002;
    static constexpr unsigned kFontCommand = 30510;

    CViewOptions(unsigned viewId, QWidget *parent);

    unsigned m_nViewId = 0;

    CXTreeOptCtrl *tree() const { return m_tree; }
    // Checks in each group the item of the workstation's current setting.
    void CheckCurrentSettings();

signals:
    void viewMessage(int message, qintptr wParam, qintptr lParam);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

private:
    void OnTreeMessage(int message, qintptr wParam, qintptr lParam);
    void UseDefaults();
    void ChooseFont();
    void ChangeWindowColor();
    void send(int setting, int value);

    CXTreeOptCtrl *m_tree = nullptr;
};
