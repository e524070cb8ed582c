#include "controls/CHtmlCtrl.h"

#include "app/base/TextUtil.h"
#include "controls/DlgItem.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"

#include <QtCore/QStandardPaths>

#include <QtGui/QDesktopServices>
#include <QtWidgets/QLayout>

namespace {

CHtmlCtrl::OpenHook &openHook()
{
    static CHtmlCtrl::OpenHook hook;
    return hook;
}

bool openOutside(const QUrl &url)
{
    if (const auto &hook = openHook())
        return hook(url);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without the desktop's opener there is no browser to hand the page to
    // (and asking would only print an error on the console).
    if (!url.isLocalFile() && QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
#endif
    return QDesktopServices::openUrl(url);
}

} // namespace

CHtmlCtrl::CHtmlCtrl(QWidget *parent) : QTextBrowser(parent)
{
    // Links are routed by the control itself, never followed by the browser.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    connect(this, &QTextBrowser::anchorClicked, this, &CHtmlCtrl::onAnchorClicked);
}

CHtmlCtrl::~CHtmlCtrl() = default;

void CHtmlCtrl::SetOpenHook(OpenHook hook)
{
    openHook() = std::move(hook);
}

bool CHtmlCtrl::CreateFromStatic(QWidget *parent, unsigned controlId, QWidget *placeholder, const QString &title)
{
    if (!parent)
        return false;
    QRect rect;
    QWidget *container = parent;
    if (placeholder) {
        rect = placeholder->geometry();
        container = placeholder->parentWidget() ? placeholder->parentWidget() : parent;
    } else {
        QWidget *item = GetDlgItem(parent, controlId);
        if (!item)
            return false;
        rect = item->geometry();
        container = item->parentWidget() ? item->parentWidget() : parent;
        if (container->layout())
            container->layout()->replaceWidget(item, this);
        SetDlgCtrlID(item, 0);
        item->hide();
        item->deleteLater();
    }
    setParent(container);
    setGeometry(rect);
    setWindowTitle(title);
    m_id = controlId;
    SetDlgCtrlID(this, controlId);
    show();
    return true;
}

int CHtmlCtrl::LoadHtml(const QString &html)
{
    showPage(html);
    return 0;
}

void CHtmlCtrl::showPage(const QString &html)
{
    if (m_hasCurrent)
        m_back.append(m_current);
    if (m_back.size() > 50) // a browser's depth; the oldest pages go
        m_back.removeFirst();
    m_forward.clear();
    m_current = html;
    m_hasCurrent = true;
    setHtml(html);
}

bool CHtmlCtrl::GoBack()
{
    return stepHistory(m_back, m_forward);
}

bool CHtmlCtrl::GoForward()
{
    return stepHistory(m_forward, m_back);
}

bool CHtmlCtrl::stepHistory(QStringList &from, QStringList &to)
{
    if (from.isEmpty())
        return false;
    to.append(m_current);
    m_current = from.takeLast();
    setHtml(m_current);
    return true;
}

void CHtmlCtrl::Navigate(const QString &address)
{
    if (OnBeforeNavigate(address))
        return;
    if (address.compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0) {
        showPage(QString());
        return;
    }
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        return;
    // The page shown gives way to a note about the page asked for.
    const QString shown = url.toString().toHtmlEscaped();
    if (openOutside(url)) {
        showPage(QStringLiteral("<p>&nbsp;</p><p>The page <a href=\"%1\">%1</a> is opened in your web browser.</p>")
                     .arg(shown));
        return;
    }
    showPage(QStringLiteral("<p>&nbsp;</p><p>The page <b>%1</b> could not be opened.</p>").arg(shown));
    platform::Prompt::messageBox(QStringLiteral("Tavrel cannot open the page\n%1\n\nNo web browser is set up on this "
                                                "computer.")
                                     .arg(url.toString()),
                                 QString(), platform::MB_ICONEXCLAMATION);
}

bool CHtmlCtrl::OnBeforeNavigate(const QString &address)
{
    m_strLink = address;
    if (address.startsWith(QStringLiteral("app:"))) {
        const QString rest = address.mid(4);
        const int command = ToInt(rest);
        if (command != 0) {
            postCommand(command);
        } else {
            m_strLink = rest;
            postCommand(kNamedLinkCommand);
        }
        return true;
    }
    if (address.contains(QStringLiteral(".xml")))
        postCommand(kXmlPageCommand);
    return false;
}

QVariant CHtmlCtrl::loadResource(int type, const QUrl &name)
{
    constexpr qint64 kMaxResource = 64 * 1024 * 1024;
    const QUrl base = document() ? document()->baseUrl() : QUrl();
    const QUrl url = name.isRelative() && base.isValid() ? base.resolved(name) : name;
    if (!url.isLocalFile())
        return QTextBrowser::loadResource(type, name);
    QByteArray bytes;
    QString refusal;
    if (!platform::PlacedFile::Read(url.toLocalFile(), kMaxResource, bytes, refusal))
        return QVariant();
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(bytes);
    return bytes;
}

void CHtmlCtrl::onAnchorClicked(const QUrl &url)
{
    // "app:30510" parses as scheme and path; the text as written is wanted,
    // with its escapes undone (a whole address cannot be given decoded).
    Navigate(QUrl::fromPercentEncoding(url.toEncoded()));
}

void CHtmlCtrl::postCommand(int id)
{
    QMetaObject::invokeMethod(this, [this, id] { emit commandTriggered(id); }, Qt::QueuedConnection);
}
