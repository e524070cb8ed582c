#pragma once

#include <QtWidgets/QDialog>

class CXGridCtrl;
class CXGridProp;
class QLabel;
struct SetupGrid;

// The modal editor of one setup entry: a caption strip over one or two cell
// grids, with OK and Cancel. The settings view builds its grids from the
// entry's description, loads them, runs it and saves after OK.
class CSetupGridDlg : public QDialog
{
    Q_OBJECT

public:
    CSetupGridDlg(const QString &windowTitle, const QString &ribbonTitle, const QString &stripText, int hue,
                  QWidget *parent = nullptr);
    ~CSetupGridDlg() override;

    // Builds a grid from its description; the second grid stands below the first.
    CXGridCtrl *BuildGrid(int index, const SetupGrid &description);
    CXGridCtrl *grid(int index) const { return index == 0 ? m_first : m_second; }
    // The second grid stands right of the first, top-aligned, 10 pixels apart.
    void SetSecondBeside(bool beside);
    // Moves the first grid right by that many pixels.
    void SetFirstOffset(int pixels);
    // A property grid in place of the cell grids: the caller has added its
    // rows; it gets the label and value widths.
    void PlacePropertyGrid(CXGridProp *grid, int labelWidth, int valueWidth);
    CXGridProp *propertyGrid() const { return m_prop; }
    QString ribbonTitle() const { return m_ribbonTitle; }
    QString stripText() const;
    void setStripText(const QString &text);
    // A help text adds a "Help" button that shows it.
    void setHelpText(const QString &text);
    // Applies the description's fixed texts and values after the grid loaded
    // nothing over them.
    static void ApplyFixedCells(CXGridCtrl &grid, const SetupGrid &description);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void layoutGrids();
    void fitGridsToScreen(int top);

    QString m_ribbonTitle;
    int m_hue = 210;
    QLabel *m_title = nullptr;
    QLabel *m_strip = nullptr;
    CXGridCtrl *m_first = nullptr;
    CXGridCtrl *m_second = nullptr;
    CXGridProp *m_prop = nullptr;
    bool m_beside = false;
    int m_firstOffset = 0;
    QWidget *m_buttons = nullptr;
};
