#include "estimating/CHtmlDlg.h"

#include "data/TableReport.h"

#include "app/base/CZqApp.h"
#include "controls/CHtmlCtrl.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QResizeEvent>
#include <QtPdf/QPdfDocument>
#include <QtPdfWidgets/QPdfView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr unsigned kView = 1901;
constexpr int kAdd = 30101;
constexpr int kRemove = 30405;
const QString kBlank = QStringLiteral("about:Blank");
// The most a page or text shown here may hold, and the most any other
// document may be: a help page or an item's document is put in its folder
// by whoever shares it.
constexpr qint64 kMaxPage = 16 * 1024 * 1024;
constexpr qint64 kMaxDocument = 512 * 1024 * 1024;

bool isBlank(const QString &path)
{
    return path.isEmpty() || path.compare(kBlank, Qt::CaseInsensitive) == 0;
}

bool isWebAddress(const QString &target)
{
    for (const char *scheme : {"http://", "https://", "ftp://"})
        if (target.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

CHtmlDlg::CHtmlDlg(QWidget *parent) : CDlg0(426, parent)
{
    m_strWindowTitle = QStringLiteral("HTML");
    resize(820, 640);
    AddPlaceholder(kView, QRect(8, 8, 804, 570));
    m_add = AddButton(kAdd, QStringLiteral("Add..."), QRect(8, 596, 110, 32));
    m_remove = AddButton(kRemove, QStringLiteral("Remove..."), QRect(126, 596, 110, 32));
    m_close = AddButton(2, QStringLiteral("Close"), QRect(355, 596, 110, 32));
    m_pdf = new QPdfDocument(this);
    {
#if defined(__SANITIZE_ADDRESS__)
        // The PDF view of this Qt version never frees its own scroller and
        // render thread; the leak checker of a sanitized build is told so
        // here, where nothing of ours is allocated.
        __lsan::ScopedDisabler qtPdfViewLeaks;
#endif
        m_pdfView = new QPdfView(this);
    }
    m_pdfView->setDocument(m_pdf);
    m_pdfView->setPageMode(QPdfView::PageMode::MultiPage);
    m_pdfView->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_pdfView->hide();
    m_bEnterAsTab = 0;
}

CHtmlDlg::~CHtmlDlg() = default;

bool CHtmlDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    m_view = new CHtmlCtrl(this);
    m_view->CreateFromStatic(this, kView);
    m_pdfView->setGeometry(m_view->geometry());
    connect(m_view, &CHtmlCtrl::commandTriggered, this, [this](int id) {
        if (id == CHtmlCtrl::kNamedLinkCommand) {
            const QString target = m_view->linkText();
            // A web page (the support pages) goes to the web browser; any
            // other target names a document.
            if (isWebAddress(target))
                m_view->Navigate(target);
            else if (!target.isEmpty())
                ShowDocument(target);
        }
    });
    if (m_nMode == kItemDocuments) {
        ShowDocument(m_strDocument);
        return true;
    }
    m_add->hide();
    m_remove->hide();
    if (!m_strHtml.isEmpty()) {
        QString html = m_strHtml;
        html.replace(QStringLiteral("\n"), QStringLiteral("<br>"));
        m_view->Navigate(kBlank);
        m_view->LoadHtml(html);
    } else {
        ShowDocument(m_strDocument);
    }
    return true;
}

bool CHtmlDlg::showingPdf() const
{
    return m_pdfView->isVisibleTo(const_cast<CHtmlDlg *>(this));
}

int CHtmlDlg::pdfPageCount() const
{
    return m_pdf->pageCount();
}

void CHtmlDlg::ShowDocument(const QString &path)
{
    if (m_nMode == kItemDocuments)
        setWindowTitle(QStringLiteral("Item Documents: ") + (isBlank(path) ? QStringLiteral("None found") : path));
    else
        setWindowTitle(path);
    if (!m_view)
        return;
    m_pdfView->hide();
    m_view->show();
    if (isBlank(path)) {
        m_view->Navigate(kBlank);
        return;
    }
    const QFileInfo file(path);
    const QString suffix = file.suffix().toLower();
    // A pipe, a device or a folder put under a document's name is refused at
    // once: showing it would wait for ever.
    QString refusal;
    if (!platform::PlacedFile::Check(path, refusal, kMaxDocument)) {
        m_view->LoadHtml(QStringLiteral("<p>&nbsp;</p><p>Cannot use <b>%1</b>: %2.</p>")
                             .arg(path.toHtmlEscaped(), refusal.toHtmlEscaped()));
        return;
    }
    if (suffix == QLatin1String("pdf")) {
        if (m_pdf->load(path) == QPdfDocument::Error::None) {
            m_view->hide();
            m_pdfView->show();
        } else {
            m_view->LoadHtml(QStringLiteral("<p>&nbsp;</p><p>The document <b>%1</b> could not be read.</p>")
                                 .arg(path.toHtmlEscaped()));
        }
        return;
    }
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    const bool html = suffix == QLatin1String("htm") || suffix == QLatin1String("html");
    if (html || suffix == QLatin1String("txt")) {
        QByteArray bytes;
        bool checked = false;
        if (platform::PlacedFile::Read(path, kMaxPage, bytes, refusal, false, &checked)) {
            if (html) {
                m_view->document()->setBaseUrl(url);
                m_view->LoadHtml(QString::fromUtf8(bytes));
            } else {
                m_view->setPlainText(QString::fromUtf8(bytes));
            }
            return;
        }
        if (checked) {
            m_view->LoadHtml(QStringLiteral("<p>&nbsp;</p><p>Cannot use <b>%1</b>: %2.</p>")
                                 .arg(path.toHtmlEscaped(), refusal.toHtmlEscaped()));
            return;
        }
    } else if (suffix == QLatin1String("gif") || suffix == QLatin1String("bmp") || suffix == QLatin1String("jpg")
               || suffix == QLatin1String("jpeg") || suffix == QLatin1String("png")) {
        m_view->LoadHtml(QStringLiteral("<img src=\"%1\">").arg(url.toString().toHtmlEscaped()));
        return;
    }
    if (!file.exists()) {
        m_view->LoadHtml(QStringLiteral("<p>&nbsp;</p><p>The document <b>%1</b> is not found.</p>")
                             .arg(path.toHtmlEscaped()));
        return;
    }
    // Documents the window cannot show open in their own program.
    m_view->Navigate(url.toString());
    if (!m_view->toPlainText().contains(QLatin1String("could not")))
        m_view->LoadHtml(QStringLiteral("<p>&nbsp;</p><p>The document <b>%1</b> is opened in its own program.</p>")
                             .arg(file.fileName().toHtmlEscaped()));
}

void CHtmlDlg::OnAdd()
{
    QString folder;
    if (!isBlank(m_strDocument))
        folder = QFileInfo(m_strDocument).absoluteFilePath();
    const QString chosen = platform::Prompt::openFileName(
        QStringLiteral("Attach a file to an Item"), folder,
        QStringLiteral("Image Files (*.gif *.bmp *.jpg *.jpeg *.pdf *.htm *.html *.rtf *.doc *.xls *.ppt);;All Files (*)"),
        this);
    if (chosen.isEmpty())
        return;
    m_strDocument = chosen;
    ShowDocument(m_strDocument);
}

bool CHtmlDlg::OnCommand(int id)
{
    switch (id) {
    case kAdd:
        OnAdd();
        return true;
    case kRemove:
        m_strDocument = kBlank;
        ShowDocument(m_strDocument);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CHtmlDlg::resizeEvent(QResizeEvent *event)
{
    CDlg0::resizeEvent(event);
    const int w = width();
    const int h = height();
    const QRect pane(8, 8, w - 16, h - 70);
    if (m_view)
        m_view->setGeometry(pane);
    m_pdfView->setGeometry(pane);
    m_add->move(8, h - 44);
    m_remove->move(126, h - 44);
    m_close->move((w - m_close->width()) / 2, h - 44);
}

void InstallHtmlDialog(CZqApp &app)
{
    app.setHtmlDialog([](const QString &html) {
        CHtmlDlg dialog(nullptr);
        dialog.m_strHtml = html;
        dialog.DoModal();
    });
    // The table and index report of the database shows in the same window.
    SetHtmlPageViewer([&app](const QString &page) { app.ShowHtmlDialog(page); });
}
