#include "printing/CPrintPreview.h"

#include "printing/CPrint.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QLocale>
#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtCore/QEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtGui/QScreen>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Pages are found for this long at a time, between two looks at the window.
constexpr qint64 kFindSliceMs = 40;
// A zoomed page is drawn at most this wide: its picture is the only one held.
constexpr int kWidestPicture = 2600;

QPushButton *button(const QString &text, QWidget *parent, QLayout *layout)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(b);
    return b;
}

} // namespace

CPrintPreview::CPrintPreview(CPrint &engine, QWidget *parent) : QDialog(parent), m_engine(engine)
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    layout->addLayout(bar);
    m_print = button(QStringLiteral("&Print..."), this, bar);
    m_first = button(QStringLiteral("First"), this, bar);
    m_previous = button(QStringLiteral("Pre&v Page"), this, bar);
    m_next = button(QStringLiteral("&Next Page"), this, bar);
    m_last = button(QStringLiteral("Last"), this, bar);
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("PreviewPage"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setRange(1, 1);
    bar->addWidget(m_pageBox);
    m_zoomIn = button(QStringLiteral("Zoom &In"), this, bar);
    m_zoomOut = button(QStringLiteral("Zoom &Out"), this, bar);
    bar->addStretch(1);
    m_close = button(QStringLiteral("&Close"), this, bar);
    // The line that tells the pages found, with the Stop of their counting,
    // has a row of its own: the buttons keep their places on the smallest
    // screen however long the line grows.
    auto *counting = new QHBoxLayout;
    layout->addLayout(counting);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("PreviewStatus"));
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    counting->addWidget(m_status, 1);
    m_stop = button(QStringLiteral("Stop"), this, counting);

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new QLabel;
    m_view->setObjectName(QStringLiteral("PreviewPageView"));
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll, 1);

    connect(m_print, &QPushButton::clicked, this, [this] { done(kPrintAnswer); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_first, &QPushButton::clicked, this, [this] { ShowPage(1); });
    connect(m_previous, &QPushButton::clicked, this, [this] { ShowPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { ShowPage(m_page + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] { ShowPage(pagesFound()); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (page != m_page)
            ShowPage(page);
    });
    connect(m_stop, &QPushButton::clicked, this, &CPrintPreview::StopFinding);
    connect(m_zoomIn, &QPushButton::clicked, this, [this] { Zoom(1); });
    connect(m_zoomOut, &QPushButton::clicked, this, [this] { Zoom(-1); });

    // A page-shaped window of most of the screen's height, never wider or
    // taller than the screen's room.
    QSize size(900, 1000);
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        size = QSize(std::min(room.width() * 9 / 10, std::max(900, room.height() * 8 / 10)), room.height() * 9 / 10);
        size = size.expandedTo(minimumSizeHint()).boundedTo(room.size() * 9 / 10);
    }
    resize(size);

    // The pages after the first are found while the window waits.
    m_finder = new QTimer(this);
    m_finder->setInterval(0);
    connect(m_finder, &QTimer::timeout, this, &CPrintPreview::FindSome);
    m_finding = !m_engine.PreviewAllFound();
    if (m_finding)
        m_finder->start();
    // The first page is drawn once its room has its size, as it shows.
    updateControls();
}

CPrintPreview::~CPrintPreview() = default;

int CPrintPreview::pagesHeld() const
{
    return m_view->pixmap().isNull() ? 0 : 1;
}

int CPrintPreview::pagesFound() const
{
    // Once the counting was stopped the pages are those it had found and
    // those the user went on to (Next past them finds one more): drawing the
    // last of them finds where the next would start, which is no page found.
    const int found = m_engine.PreviewPagesFound();
    return m_stoppedAt > 0 ? std::min(found, m_stoppedAt) : found;
}

void CPrintPreview::ShowPage(int page)
{
    while (page > m_engine.PreviewPagesFound() && m_engine.FindNextPreviewPage()) {
    }
    page = std::clamp(page, 1, std::max(1, m_engine.PreviewPagesFound()));
    if (m_stoppedAt > 0)
        m_stoppedAt = std::max(m_stoppedAt, page);
    if (page == m_page && pagesHeld() > 0 && (m_drawnWithCount || !m_engine.PreviewAllFound())) {
        updateControls();
        return;
    }
    m_page = page;
    drawPage();
    updateControls();
}

void CPrintPreview::StopFinding()
{
    if (!m_finding)
        return;
    m_finder->stop();
    m_finding = false;
    m_stoppedAt = std::max(1, m_engine.PreviewPagesFound());
    updateControls();
}

void CPrintPreview::FindSome()
{
    if (!m_finding)
        return;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kFindSliceMs)
        if (!m_engine.FindNextPreviewPage())
            break;
    if (m_engine.PreviewAllFound()) {
        m_finder->stop();
        m_finding = false;
        // The page shown says now of how many.
        if (!m_drawnWithCount && pagesHeld() > 0)
            drawPage();
    }
    updateControls();
}

void CPrintPreview::Zoom(int steps)
{
    const int zoom = std::clamp(m_zoom + steps, 0, 8);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    drawPage();
    updateControls();
}

double CPrintPreview::scaleOfPage() const
{
    const QSize page = m_engine.PreviewPageSize();
    if (page.width() < 1 || page.height() < 1)
        return 1.0;
    const QSize room = m_scroll->viewport()->size() - QSize(12, 12);
    const double fit = std::max(0.01, std::min(double(room.width()) / page.width(), double(room.height()) / page.height()));
    const double scale = fit * std::pow(1.25, m_zoom);
    return std::min(scale, double(kWidestPicture) / page.width());
}

void CPrintPreview::drawPage()
{
    if (m_engine.PreviewPagesFound() < 1) {
        m_view->setPixmap(QPixmap());
        m_view->setText(QStringLiteral("There is nothing to print."));
        m_view->adjustSize();
        return;
    }
    const QSize page = m_engine.PreviewPageSize();
    const QSize dpi = m_engine.PreviewPageDpi();
    const double scale = scaleOfPage();
    const QSize size(std::max(1, int(std::lround(page.width() * scale))), std::max(1, int(std::lround(page.height() * scale))));
    // The old picture goes before the new one is drawn.
    m_view->setPixmap(QPixmap());
    QImage picture(size, QImage::Format_RGB32);
    // At the output's resolution, so that the page measures as it prints.
    picture.setDotsPerMeterX(int(std::lround(dpi.width() / 0.0254)));
    picture.setDotsPerMeterY(int(std::lround(dpi.height() / 0.0254)));
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(scale, scale);
        m_engine.DrawPreviewPage(painter, m_page);
    }
    ++m_drawn;
    m_drawnScale = scale;
    m_drawnWithCount = m_engine.PreviewAllFound();
    m_view->setPixmap(QPixmap::fromImage(std::move(picture)));
    m_view->resize(size);
}

QString CPrintPreview::statusText() const
{
    const QLocale locale;
    const int found = pagesFound();
    if (found < 1)
        return QString();
    if (m_engine.PreviewAllFound())
        return QStringLiteral("Page %1 of %2").arg(locale.toString(m_page), locale.toString(found));
    if (m_finding)
        return QStringLiteral("Page %1 (counting the pages: %2 so far)").arg(locale.toString(m_page), locale.toString(found));
    return QStringLiteral("Page %1 (counting stopped at %2 pages)").arg(locale.toString(m_page), locale.toString(found));
}

void CPrintPreview::updateControls()
{
    const int found = pagesFound();
    const bool more = !m_engine.PreviewAllFound();
    m_first->setEnabled(m_page > 1);
    m_previous->setEnabled(m_page > 1);
    m_next->setEnabled(m_page < found || more);
    m_last->setEnabled(m_page < found);
    m_stop->setVisible(m_finding);
    m_zoomIn->setEnabled(m_zoom < 8 && found > 0);
    m_zoomOut->setEnabled(m_zoom > 0);
    m_print->setEnabled(found > 0);
    {
        const QSignalBlocker quiet(m_pageBox);
        m_pageBox->setRange(1, std::max(1, found));
        m_pageBox->setValue(m_page);
    }
    m_status->setText(statusText());
}

void CPrintPreview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageDown:
        ShowPage(m_page + 1);
        return;
    case Qt::Key_PageUp:
        ShowPage(m_page - 1);
        return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) {
            ShowPage(1);
            return;
        }
        break;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) {
            ShowPage(pagesFound());
            return;
        }
        break;
    case Qt::Key_Plus:
        Zoom(1);
        return;
    case Qt::Key_Minus:
        Zoom(-1);
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

bool CPrintPreview::eventFilter(QObject *watched, QEvent *event)
{
    // The page is drawn to fit its room as it shows, and drawn again when
    // the room grows or shrinks.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize
        && (pagesHeld() == 0 || std::abs(scaleOfPage() - m_drawnScale) > m_drawnScale * 0.02))
        drawPage();
    return QDialog::eventFilter(watched, event);
}
