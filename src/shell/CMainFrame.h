#pragma once

#include "app/base/CommandTarget.h"
#include "shell/MainViews.h"

#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtWidgets/QMainWindow>

#include <functional>

class CZqApp;
class QStackedWidget;

// The main window: no menu, tool bar or status bar, one full-size view at a
// time. A view is created the first time it is shown and kept for the rest of
// the run; a switch hides one view and shows another. The view commands
// 30000-30009 switch views; commands the frame does not handle go on to the
// application.
class CMainFrame : public QMainWindow, public CommandTarget
{
    Q_OBJECT

public:
    // Child ids: the shown view's, and the first created view's (+ index).
    static constexpr unsigned kShownViewChildId = 59648;
    static constexpr unsigned kFirstViewChildId = 59649;
    static constexpr int kExitCommand = 57665;
    static constexpr int kPreviewCloseCommand = 58112;
    static constexpr int kRibbonStatesCommand = 30050;
    static constexpr int kAboutCommand = 57664;
    // Exit on the views' status bar and in the main menu.
    static constexpr int kViewExitCommand = 30529;

    explicit CMainFrame(CZqApp &app, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // What the start-up decides for the run: the views offered ("ShowTabs"),
    // how a view is made, and the rights asked before a switch (none asked
    // until a check is set).
    void setOfferedViews(int mask) { m_offeredViews = mask; }
    int offeredViews() const { return m_offeredViews; }
    void setViewFactory(std::function<QWidget *(int viewId)> factory) { m_factory = std::move(factory); }
    void setRightsCheck(ViewRightsCheck check) { m_rights = std::move(check); }
    // Where commands that the frame does not handle go.
    void setApplicationTarget(CommandTarget *target) { m_application = target; }

    // Warns once when the screen is smaller than 1024 x 768.
    void OnCreate();

    // Shows the view of the command id, creating it on first use. Null (and
    // the current view stays) when the rights are refused, the view is not
    // offered on this workstation, the id is not a main view or the view
    // cannot be made.
    QWidget *SwitchView(int viewId);
    void AddView(int viewId, QWidget *view);
    QWidget *FindView(int viewId) const;
    // The registered id of the view (the active one for null); 0 when unknown.
    int GetViewId(QWidget *view = nullptr) const;
    QWidget *activeView() const { return m_active; }
    int viewCount() const { return int(m_views.size()); }

    // Print preview shown in the frame: the first close only leaves it.
    void OnSetPreviewMode(bool on) { m_previewMode = on; }
    bool isPreviewMode() const { return m_previewMode; }

    bool OnCommand(int commandId) override;

    // Whether input held back during a long run asks the program to end: a
    // click on an Exit item of a ribbon (the views' status bar), or Alt+F4.
    static bool IsEndRequest(QObject *watched, QEvent *event);

signals:
    // The frame asks the print preview to close (command 58112).
    void previewCloseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    CZqApp &m_app;
    QStackedWidget *m_stack = nullptr;
    QList<QPair<QWidget *, int>> m_views;
    QWidget *m_active = nullptr;
    int m_offeredViews = kAllViewsMask;
    bool m_previewMode = false;
    std::function<QWidget *(int)> m_factory;
    ViewRightsCheck m_rights;
    CommandTarget *m_application = nullptr;
};
