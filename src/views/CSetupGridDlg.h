#pragma once

#include <QtWidgets/QDialog>

class CXGridCtrl;
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
    QString ribbonTitle() const { return m_ribbonTitle; }
    QString stripText() const;
    void setStripText(const QString &text);
    // Applies the description's fixed texts and values after the grid loaded
    // nothing over them.
    static void ApplyFixedCells(CXGridCtrl &grid, const SetupGrid &description);

private:
    void layoutGrids();

    QString m_ribbonTitle;
    int m_hue = 210;
    QLabel *m_title = nullptr;
    QLabel *m_strip = nullptr;
    CXGridCtrl *m_first = nullptr;
    CXGridCtrl *m_second = nullptr;
    QWidget *m_buttons = nullptr;
};
