#include "shell/CMainFrame.h"

#include "data/DaoError.h"

#include "app/base/CZqApp.h"
#include "controls/CXRibbon.h"
#include "controls/DlgItem.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "views/CView0.h"
#include "views/ListChoice.h"

#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QStackedWidget>

namespace {
constexpr int kMinimumWidth = 1024;
constexpr int kMinimumHeight = 768;
constexpr int kFirstViewCommand = 30000;
constexpr int kLastViewCommand = 30009;
} // namespace

CMainFrame::CMainFrame(CZqApp &app, QWidget *parent)
    : QMainWindow(parent), m_app(app), m_factory(CreateMainView)
{
    setObjectName(QStringLiteral("MainFrame"));
    m_stack = new QStackedWidget(this);
    setCentralWidget(m_stack);
    setMinimumSize(800, 600);
    resize(kMinimumWidth, kMinimumHeight);
    // The application's own commands (the About box) come from keys pressed
    // anywhere in this window, before a view takes the key.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnCreate()
{
    QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect desktop = s->geometry();
    if (desktop.width() < kMinimumWidth || desktop.height() < kMinimumHeight) {
        platform::Prompt::messageBox(
            QStringLiteral("Your screen resolution, %1 x %2, is too low to view some of the Tavrel windows. Minimum "
                           "1024 x 768 is needed. Please see Windows Help on how to increase it.")
                .arg(desktop.width())
                .arg(desktop.height()),
            QString(), platform::MB_OK);
    }
}

QWidget *CMainFrame::SwitchView(int viewId)
{
    // Only the nine views exist; no rights are asked for any other id.
    if (!IsMainViewId(viewId))
        return nullptr;
    QWidget *old = m_active;
    QWidget *view = FindView(viewId);
    const int oldId = GetViewId(old);
    const int index = viewId - kHomeViewId;

    // The rights come first, also for a view that exists or is shown.
    if (m_rights && !m_rights(index + kViewRightsBase))
        return nullptr;

    if (!view) {
        // A view switched off for this workstation is never made.
        if (!IsViewOffered(m_offeredViews, viewId))
            return nullptr;
        view = m_factory ? m_factory(viewId) : nullptr;
        if (!view)
            return nullptr;
        SetDlgCtrlID(view, kFirstViewChildId + unsigned(index));
        m_stack->addWidget(view);
        AddView(viewId, view);
    }

    if (old && old != view) {
        old->hide();
        SetDlgCtrlID(old, unsigned(oldId));
    }
    m_stack->setCurrentWidget(view);
    view->show();
    SetDlgCtrlID(view, kShownViewChildId);
    m_active = view;
    // The keys reach the view shown without a click.
    FocusViewList(view);
    if (auto *listView = qobject_cast<CView0 *>(view))
        listView->PostCommand(kRibbonStatesCommand);
    else
        PostCommand(view, kRibbonStatesCommand);
    return view;
}

void CMainFrame::AddView(int viewId, QWidget *view)
{
    if (!view)
        return;
    if (m_stack->indexOf(view) < 0)
        m_stack->addWidget(view);
    m_views.append(qMakePair(view, viewId));
    // The view tabs and keys of a list view ask the frame for another view.
    // Commands a view does not answer itself (About, Exit ...) are the frame's.
    if (auto *listView = qobject_cast<CView0 *>(view)) {
        connect(listView, &CView0::switchViewRequested, this, [this](int id) { SwitchView(id); });
        connect(listView, &CView0::unhandledCommand, this, [this](int id) { OnCommand(id); });
    }
    if (!m_active) {
        m_active = view;
        m_stack->setCurrentWidget(view);
        SetDlgCtrlID(view, kShownViewChildId);
    }
}

QWidget *CMainFrame::FindView(int viewId) const
{
    for (const auto &pair : m_views)
        if (pair.second == viewId)
            return pair.first;
    return nullptr;
}

int CMainFrame::GetViewId(QWidget *view) const
{
    if (!view)
        view = m_active;
    for (const auto &pair : m_views)
        if (pair.first == view)
            return pair.second;
    return 0;
}

bool CMainFrame::OnCommand(int commandId)
{
    if (commandId >= kFirstViewCommand && commandId <= kLastViewCommand) {
        SwitchView(commandId);
        return true;
    }
    if (commandId == kExitCommand) {
        // During a long run the run is asked to stop first.
        if (!LongRun::AskToEnd())
            close();
        return true;
    }
    if (commandId == kPreviewCloseCommand) {
        emit previewCloseRequested();
        return true;
    }
    return m_application && m_application->OnCommand(commandId);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_previewMode) {
        // The first close only leaves the print preview.
        PostCommand(this, kPreviewCloseCommand);
        m_previewMode = false;
        event->ignore();
        return;
    }
    m_app.SaveWindowPos(QStringLiteral("MainFrame"), this);
    event->accept();
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    // Alt+F4 closes the window in front (a dialog, the print preview) as its
    // own close does, also where no window manager gives the key that
    // meaning; in the main window it ends the program (keyPressEvent).
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && IsEndRequest(watched, event)) {
        QWidget *window = static_cast<QWidget *>(watched)->window();
        if (window != this && window == QApplication::activeModalWidget() && qobject_cast<QDialog *>(window)) {
            event->accept();
            window->close();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int command = m_app.TranslateAppAccelerator(static_cast<QWidget *>(watched), *key);
        if (command == kAboutCommand && m_application && m_application->OnCommand(command))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::IsEndRequest(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        return key->key() == Qt::Key_F4 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const auto *ribbon = qobject_cast<const CXRibbon *>(watched);
    if (mouse->button() != Qt::LeftButton || !ribbon)
        return false;
    const unsigned id = ribbon->ItemIdAt(mouse->position().toPoint());
    return id == unsigned(kViewExitCommand) || id == unsigned(kExitCommand);
}

void CMainFrame::keyPressEvent(QKeyEvent *event)
{
    // Alt+F4 ends the program as the window's own close does, also where no
    // window manager gives it that meaning.
    if (IsEndRequest(this, event)) {
        event->accept();
        close();
        return;
    }
    const int command = m_app.TranslateAppAccelerator(focusWidget(), *event);
    if (command != 0) {
        // The shown view gets the first chance, then the frame.
        auto *view = dynamic_cast<CommandTarget *>(m_active);
        bool handled = true;
        RunCommandReportingDaoErrors(
            [&] { handled = (view && view->OnCommand(command)) || OnCommand(command); });
        if (handled) {
            event->accept();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}
