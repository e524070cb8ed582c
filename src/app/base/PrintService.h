#pragma once

#include <QtCore/QString>

class CXChartCtrl;
class CXGridCtrl;
class CXListCtrl;
class QWidget;

// What the layers below printing ask of the one print engine. The printing
// subsystem implements it and the shell installs it on the application object
// (CZqApp::setPrintService); without it the callers say that printing is not
// available. Commands: 57607 with the printer dialog, 57608 on the form's
// printer without one, 57609 preview; 0 asks first where appropriate.
class PrintService
{
public:
    virtual ~PrintService() = default;

    // A record list on form 100: the three caption lines and "List Size: n".
    // A list without rows prints nothing.
    virtual void PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2,
                           const QString &caption3, int command) = 0;
    // A main view's list, or its chart's table when the chart is shown, with
    // the view's name, list caption and filter as headings.
    virtual void PrintViewList(int viewId, CXListCtrl *list, CXChartCtrl *chart, const QString &viewName,
                               const QString &listCaption, const QString &filterText, int command) = 0;
    // A grid dialog's table: its first grid and, below it, its second one.
    virtual void PrintGrid(QWidget *dialog, CXGridCtrl *grid, CXGridCtrl *secondGrid, const QString &title,
                           const QString &subtitle) = 0;
    // A window (or a part of it) as shown on screen.
    virtual void PrintScreen(QWidget *window, QWidget *part, const QString &title, const QString &partName,
                             int command) = 0;
};
