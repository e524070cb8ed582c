#pragma once

#include "controls/CXRibbon.h"
#include "views/CDlg0.h"

class CXTreeOptCtrl;

// "Barcodes": the bar-code settings (font face and size, and which printed
// documents carry bar codes, kept in the settings row 241 as "%s,%d,%d,")
// and the bar-code sheets of commands, employees, weekdays, item locations
// and the time tracker. Ends with 2 (Close) or the print command after the
// print engine has been set up for the chosen sheet.
class CBarCodeDlg : public CDlg0
{
    Q_OBJECT

public:
    explicit CBarCodeDlg(QWidget *parent);

    int m_nGroup = 300;
    int m_nDocMask = 0;
    int m_nFontSize = 240;
    QString m_strFontFace = QStringLiteral("WASP 39 M");

    CXRibbon &ribbon() { return m_ribbon; }
    CXTreeOptCtrl *groupTree() const { return m_treeGroups; }
    CXTreeOptCtrl *optionTree() const { return m_treeOptions; }
    // Chooses a group as a click on it does.
    void ChooseGroup(int group) { OnGroupChosen(group); }
    // Ticks or clears a document as a click on its box does.
    void SetDocument(int option, bool on);
    // The documents that can carry bar codes, as (bit, title): the order
    // and quote forms below 20, each with the bit of its form number (forms
    // 1-7 bits 0-6, forms 11-18 bits 7-14), the bits the documents test.
    static QList<std::pair<int, QString>> DocumentForms();
    // The title of a sheet (301-305); empty for other kinds.
    static QString SheetTitle(int kind);
    // The text of the settings row: face, size, mask, each followed by a comma.
    static QString SettingText(const QString &face, int size, int mask);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

private:
    void LoadFontSetting();
    void UpdateCaption();
    void FillGroupTree();
    void OnGroupChosen(int group);
    void OnOptionToggled();
    bool SaveSetting();
    void OnFont();
    void OnPrintCommand(int command);

    CXRibbon m_ribbon;
    CXTreeOptCtrl *m_treeGroups = nullptr;
    CXTreeOptCtrl *m_treeOptions = nullptr;
    bool m_bFilling = false;
    // The settings row as read and as first shown: a save writes only what
    // was changed here, onto the row as it is by then.
    QString m_strReadSetting;
    QString m_strShownSetting;
};
