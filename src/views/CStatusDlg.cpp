#include "views/CStatusDlg.h"

#include "app/base/MoneyText.h"
#include "controls/DlgItem.h"
#include "platform/LongRun.h"
#include "platform/NetworkWait.h"
#include "platform/Prompt.h"

#include <QtGui/QCloseEvent>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kUpdatesPerRun = 200;

// A wait for a server, in front of the window that waits: no bar (nobody
// knows how long the server takes), the title, what has arrived, and Stop.
class NetworkWaitWindow final : public NetworkWait::Window
{
public:
    explicit NetworkWaitWindow(const QString &title) : m_window(QApplication::activeWindow())
    {
        m_window.Start(0, title, false, true);
    }
    bool step(const QString &text) override { return m_window.Step(text); }

private:
    CStatusDlg m_window;
};

} // namespace

void CStatusDlg::ServeNetworkWaits(bool on)
{
    if (!on) {
        NetworkWait::SetWindowMaker(nullptr);
        return;
    }
    NetworkWait::SetWindowMaker([](const QString &title) -> std::unique_ptr<NetworkWait::Window> {
        // A program without windows waits without one.
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return nullptr;
        return std::make_unique<NetworkWaitWindow>(title);
    });
}

CStatusDlg::CStatusDlg(QWidget *owner)
    : QDialog(nullptr), m_owner(owner)
{
    // Owned by the caller, not by a parent window: the owner only keeps the
    // window in front of it.
    setObjectName(QStringLiteral("CStatusDlg"));
}

CStatusDlg::~CStatusDlg()
{
    // The run ends while the window is whole: what its end takes in (a Stop
    // given after the last step) finds nothing more to stop.
    m_running = false;
    if (m_run) {
        hide();
        m_run.reset();
    }
}

void CStatusDlg::create()
{
    setWindowTitle(platform::Prompt::defaultCaption());
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_message = new QLabel(QStringLiteral("Please wait..."), this);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_count = new QLabel(QStringLiteral("1 of "), this);
    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    SetDlgCtrlID(m_title, IDC_TITLE);
    SetDlgCtrlID(m_message, IDC_MESSAGE);
    SetDlgCtrlID(m_bar, IDC_PROGRESS);
    SetDlgCtrlID(m_count, IDC_COUNT);
    SetDlgCtrlID(m_stop, IDC_STOP);
    layout->addWidget(m_title);
    layout->addWidget(m_message);
    layout->addWidget(m_bar);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_stop);
    layout->addLayout(bottom);
    setMinimumWidth(360);
    connect(m_stop, &QPushButton::clicked, this, &CStatusDlg::OnCancel);
    m_created = true;
}

void CStatusDlg::Start(int total, const QString &title, bool showBar, bool cancellable, const QString &line)
{
    if (!m_created)
        create();
    if (!m_run)
        m_run = std::make_unique<LongRun>(this, [this] { return endAsked(); });
    m_running = true;
    m_total = total;
    m_position = 0;
    // A long run shows its progress about kUpdatesPerRun times: redrawing the
    // window (and handling events) on every one of 40,000 rows would take
    // longer than reading them.
    m_shownEvery = std::max(1, total / kUpdatesPerRun);
    m_showBar = showBar;
    m_cancellable = cancellable;
    QString caption = title;
    caption.replace(QStringLiteral("%s"), FormatInt(total, true, false));
    m_title->setText(caption);
    m_count->setText(line);
    m_bar->setRange(0, std::max(total, 0));
    m_bar->setValue(0);
    m_bar->setVisible(showBar);
    m_stop->setVisible(cancellable);

    if (!isVisible()) {
        adjustSize();
        QWidget *front = m_owner ? m_owner : QApplication::activeWindow();
        const QRect area = front ? front->frameGeometry()
                                 : (screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768));
        move(area.center() - rect().center());
        show();
        if (front && front->windowHandle() && windowHandle())
            windowHandle()->setTransientParent(front->windowHandle());
    }
    bringToTop();
}

bool CStatusDlg::Step(const QString &text)
{
    if (!m_running)
        return false;
    ++m_position;
    if (text.isEmpty() && m_position % m_shownEvery != 0 && m_position < m_total)
        return m_running;
    m_bar->setValue(std::clamp(m_position, m_bar->minimum(), m_bar->maximum()));
    m_count->setText(text.isEmpty() ? QString::asprintf("%d of %d ", m_position, m_total) : text);
    return Look();
}

bool CStatusDlg::Look()
{
    if (!m_running)
        return false;
    if (m_cancellable) {
        // Handles what waits for this window (repaints, the Stop button),
        // then the window comes back to the top in case another came up.
        LongRun::Pump();
        if (isVisible())
            raise();
    } else if (isVisible()) {
        // Nothing else may run in the middle of this loop: only this window
        // is painted.
        repaint();
    }
    return m_running;
}

void CStatusDlg::SetMessage(const QString &text, bool step)
{
    if (!m_running)
        return;
    m_message->setText(text);
    m_count->setText(QString());
    if (step)
        Step(QString());
}

void CStatusDlg::SetRange(int position, int total)
{
    if (!m_running)
        return;
    m_position = position;
    m_total = total;
    const int value = m_bar->value();
    m_bar->setRange(position, std::max(position, total));
    if (value >= m_bar->minimum() && value <= m_bar->maximum())
        m_bar->setValue(value);
}

void CStatusDlg::OnCancel()
{
    if (!m_running)
        return;
    if (m_cancellable) {
        // What runs beside the window holds still while the user decides.
        const std::function<void(bool)> hook = m_questionHook;
        if (hook)
            hook(true);
        if (platform::Prompt::messageBox(QStringLiteral("Do you want to stop now?"), QString(),
                                         platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES)
            m_running = false;
        if (hook)
            hook(false);
    }
    show();
    bringToTop();
}

bool CStatusDlg::endAsked()
{
    if (!m_running)
        return true;
    // A loop that cannot be stopped ends first, then the program.
    if (!m_cancellable)
        return true;
    OnCancel();
    return !m_running;
}

void CStatusDlg::bringToTop()
{
    raise();
}

void CStatusDlg::reject()
{
    // Esc never closes the window; the loop ends at its next step.
    OnCancel();
}

void CStatusDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
    OnCancel();
}
