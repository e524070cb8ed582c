#include "exchange/weborders/CEmailRead.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "controls/DlgItem.h"
#include "customers/CContactDlg.h"
#include "customers/CContactList.h"
#include "customers/CShiptoDlg.h"
#include "customers/CShiptoList.h"
#include "data/CCusSet.h"
#include "data/CEmpSet.h"
#include "data/JobTypes.h"
#include "exchange/mail/CEmailSettings.h"
#include "exchange/weborders/DownloadLink.h"
#include "exchange/xml/CDlgXML.h"
#include "exchange/xml/XmlDocument.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobWhen.h"
#include "platform/NetworkWait.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "views/CDlgData.h"
#include "views/CDlgGrid.h"
#include "views/CDlgList.h"
#include "views/CNoteDlg.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
#include <QtCore/QRegularExpression>
#include <QtGui/QGuiApplication>
#include <QtGui/QShortcut>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>

namespace {

const QString kPasteMarker = QStringLiteral("\u00B7paste\u00B7");

// Commands of the window.
enum : unsigned {
    kReceive = 30230, kPaste = 30112, kView = 30331, kSaveOrder = 30213, kSaveQuote = 30442, kOpenJob = 30102,
    kDelete = 30113, kBillTo = 30407, kShipTo = 30408, kBuyer = 30411, kDates = 30406, kJobNote = 30263,
    kStatus = 30282, kSettings = 30540, kKeyFields = 57601
};

// The key-field editor: a grid of two columns, 23 rows in sight.
class KeyFieldGrid : public CDlgGrid
{
public:
    explicit KeyFieldGrid(QWidget *parent) : CDlgGrid(420, parent, 0, 214)
    {
        AddStandardLayout(QSize(530, 700), QRect(kMargin, 74, 500, 530));
    }
};

constexpr int kSavedImage = 216;
constexpr int kNewImage = 215;

QString SampleText(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

CEmailRead::CEmailRead(QWidget *parent) : CDlgRibbon(761, parent)
{
    m_strWindowTitle = QStringLiteral("Quorwin");
    m_strRibbonTitle = QStringLiteral("Quorwin");
    m_strWindowName = QStringLiteral("Quorwin");
    m_nColorScheme = 30;
    resize(1004, 728);
    AddPlaceholder(kRecordRibbon, QRect(0, 0, 1004, 36));
    AddPlaceholder(kSideRibbon, QRect(0, 36, 132, 692));
    AddPlaceholder(kRibbon4, QRect(132, 36, 872, 84));
    CreateRecordList(m_listMessages, kMessageList, QRect(132, 120, 872, 220));
    AddPlaceholder(kRibbon5, QRect(132, 340, 872, 60));
    CreateRecordList(m_listItems, kItemList, QRect(132, 400, 872, 328));
    AddSizeMarker(QPoint(1004, 728));
}

CEmailRead::~CEmailRead()
{
    if (m_socket.IsOpen())
        m_socket.Reset();
}

WebOrderSource CEmailRead::ChooseSource()
{
    const CZqApp::EmailSettings s = ZqApp() ? ZqApp()->emailSettings() : CZqApp::EmailSettings();
    if (s.LogonName.startsWith(QLatin1String("demo")))
        return WebOrderSource::Sample;
    // Incoming names a folder or an FTP location instead of a mail server.
    if (s.Incoming.contains(QLatin1Char('\\')) || s.Incoming.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)
        || (!s.Incoming.isEmpty() && QFileInfo(s.Incoming).isDir()))
        return WebOrderSource::XmlFiles;
    if (!s.LogonName.isEmpty())
        return WebOrderSource::Mailbox;
    return WebOrderSource::None;
}

QString CEmailRead::SampleMail(int n)
{
    if (n == 0)
        return SampleText({
            QStringLiteral("From: Web Shop <shop@brightline-print.example>"),
            QStringLiteral("Date: Mon, 7 Dec 2026 09:12:40 -0500"),
            QStringLiteral("To: orders@brightline-print.example"),
            QStringLiteral("Subject: Order Received"),
            QStringLiteral("Message-ID: <w10482@brightline-print.example>"),
            QString(),
            QStringLiteral("CUSTOMER INFORMATION"),
            QStringLiteral("Customer Name: Harbor Lane Bakery"),
            QStringLiteral("Contact Name: Nora Quill"),
            QStringLiteral("Contact Phone: 555-0142"),
            QStringLiteral("Shipto Name: Harbor Lane Bakery"),
            QStringLiteral("Shipto Address: 18 Harbor Lane"),
            QStringLiteral("Shipto City: Port Ellis, ME 04011"),
            QStringLiteral("Job PO: HLB-2231"),
            QStringLiteral("Job Due Days: 5"),
            QString(),
            QStringLiteral("ORDER INFORMATION"),
            QStringLiteral("Order Number: W-10482"),
            QStringLiteral("Job Note 1: Please call when ready for pick-up"),
            QString(),
            QStringLiteral("ITEMS ORDERED"),
            QStringLiteral("Item Description: Menu cards, 4 pages"),
            QStringLiteral("Item Quantity: 250"),
            QStringLiteral("Item Note 01: Heavy gloss cover"),
            QStringLiteral("Artwork: <http://files.brightline-print.example/w10482/menu.pdf>"),
            QString(),
            QStringLiteral("Item Description: Window poster"),
            QStringLiteral("Item Quantity: 2 x 10"),
            QStringLiteral("Item Note 01: Same art as last spring"),
        });
    return SampleText({
        QStringLiteral("From: Web Shop <shop@brightline-print.example>"),
        QStringLiteral("Date: Mon, 7 Dec 2026 10:47:03 -0500"),
        QStringLiteral("To: orders@brightline-print.example"),
        QStringLiteral("Subject: Order Received"),
        QStringLiteral("Message-ID: <w10483@brightline-print.example>"),
        QString(),
        QStringLiteral("CUSTOMER INFORMATION"),
        QStringLiteral("Customer Name: Tidewater Rowing Club"),
        QStringLiteral("Contact Name: Owen Marsh"),
        QStringLiteral("Contact Phone: 555-0187"),
        QStringLiteral("Contact Email: owen.marsh@tidewater-rowing.example"),
        QStringLiteral("Shipto Name: Tidewater Rowing Club"),
        QStringLiteral("Shipto Address: 4 Boathouse Road"),
        QStringLiteral("Shipto City: Kessling"),
        QStringLiteral("Shipto State: NH"),
        QStringLiteral("Shipto Zip: 03801"),
        QStringLiteral("Shipto Attention: Front desk"),
        QStringLiteral("Job PO: 7710"),
        QStringLiteral("Job Due Days: 10"),
        QString(),
        QStringLiteral("ORDER INFORMATION"),
        QStringLiteral("Order Number: W-10483"),
        QStringLiteral("Job Note 1: Regatta programme"),
        QString(),
        QStringLiteral("ITEMS ORDERED"),
        QStringLiteral("Item Template No: 999-1"),
        QStringLiteral("Item Description: Regatta programme, 12 pages"),
        QStringLiteral("Item Quantity: 400"),
        QStringLiteral("Item Originals: 12"),
        QStringLiteral("Item Price: 310.00"),
    });
}

bool CEmailRead::OnInitDialog()
{
    CDlgRibbon::OnInitDialog();
    CXRibbon &r = m_wndRecordRibbon;
    r.SetItemText(30281, QStringLiteral("Quorwin"));
    r.RemoveItem(30526);
    r.RemoveItem(8900);
    r.AddItem(kKeyFields, QStringLiteral("Key Fields"), struct_RIB_ITEM::Normal, 132, 81, 2, 2084, 0, 0, 110);
    r.AddItem(kSettings, QStringLiteral("Settings"), struct_RIB_ITEM::Normal, 132, 81, 2, 2084, 0, 0, 100);
    // A click on the status line shows the receive log.
    r.SetItemState(kStatus, struct_RIB_ITEM::Normal);
    r.RecalcLayout(30282);

    CXRibbon &c = m_wndSideRibbon;
    c.AddButton(kReceive, QStringLiteral("Receive"), 0, 132, 11);
    c.AddSpacer(10, 0);
    c.AddButton(kPaste, QStringLiteral("Paste Email"), 0, 132, 12);
    c.AddButton(kView, QStringLiteral("View Email"), 0, 132, 13);
    c.AddSpacer(10, 0);
    c.AddButton(kSaveOrder, QStringLiteral("Save as Order"), 0, 132, 42);
    c.AddButton(kSaveQuote, QStringLiteral("Save as Quote"), 0, 132, 42);
    c.AddSpacer(10, 0);
    c.AddButton(kOpenJob, QStringLiteral("Open Job"), 0, 132, 9);
    c.AddCloseButton();
    c.RecalcLayout(255);

    const std::uint8_t fill = Appearance::instance().fillStyle();
    if (m_wndPanel.Create(this, kRibbon4, m_nColorScheme, 4, 132, 5, 0, 4, 4, 0, 0)) {
        connect(&m_wndPanel, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndPanel.AddItem(kBillTo, QStringLiteral("Bill To..."), struct_RIB_ITEM::Normal, 0, 255, 3, 2084, fill, 1, 200);
        m_wndPanel.AddItem(kShipTo, QStringLiteral("Ship To..."), struct_RIB_ITEM::Normal, 0, 255, 3, 2084, fill, 1, 200);
        m_wndPanel.AddItem(kBuyer, QStringLiteral("Ordered by..."), struct_RIB_ITEM::Normal, 0, 255, 3, 2084, fill, 1, 150);
        m_wndPanel.AddItem(kDates, QStringLiteral("When"), struct_RIB_ITEM::Normal, 0, 255, 3, 2084, fill, 1, 150);
        m_wndPanel.RecalcLayout(251);
    }
    if (m_wndNotePanel.Create(this, kRibbon5, m_nColorScheme, 4, 132, 5, 0, 4, 4, 0, 0)) {
        connect(&m_wndNotePanel, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndNotePanel.AddItem(kJobNote, QStringLiteral("Job Note"), struct_RIB_ITEM::Normal, 0, 255, 3, 2084, fill, 1, 120);
        m_wndNotePanel.RecalcLayout(251);
    }

    m_listMessages.SetImageListAndStyle(131, 0, 0);
    m_listMessages.SetDrawStyle(2, 0xFFFFFF, 0, 0, 0);
    m_listMessages.AddColumn(QStringLiteral("From"), 140, 10);
    m_listMessages.AddColumn(QStringLiteral("Company"), 120, 10);
    m_listMessages.AddColumn(QStringLiteral("Ordered by"), 110, 10);
    m_listMessages.AddColumn(QStringLiteral("Subject"), 180, 10);
    m_listMessages.AddColumn(QStringLiteral("Received"), 100, 10);
    m_listMessages.AddColumn(QStringLiteral("Size"), 50, 4);
    m_listItems.SetImageListAndStyle(131, 0, 0);
    m_listItems.AddColumn(QStringLiteral("Item"), 40, 4);
    m_listItems.AddColumn(QStringLiteral("Description"), 80, 10);
    m_listItems.AddColumn(QStringLiteral("Quantity"), 70, 4);
    m_listItems.AddColumn(QStringLiteral("Origs"), 50, 4);
    m_listItems.AddColumn(QStringLiteral("Price"), 60, 10);
    m_listItems.AddColumn(QStringLiteral("Job-Item"), 70, 10);
    m_listItems.AddColumn(QStringLiteral("Download"), 120, 10);
    // Row n is message n (and item rows 2n, 2n + 1 are item n): a click on
    // a heading does not sort these lists.
    for (CXListCtrl *list : {&m_listMessages, &m_listItems})
        QObject::disconnect(list->header(), &QHeaderView::sectionClicked, list, nullptr);
    m_listMessages.SetAutoSizeMode(CXListCtrl::kFitSpread, true);
    m_listItems.SetAutoSizeMode(1, true);
    // A message is read once when it becomes the selected one, whether by
    // the mouse or the keys.
    connect(&m_listMessages, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.row() != m_nCurrent)
            SelectMessage(index.row());
    });
    connect(m_listMessages.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &) {
                if (current.isValid() && current.row() != m_nCurrent)
                    SelectMessage(current.row());
            });
    connect(&m_listMessages, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) {
        if (m_order.m_nLinkedJobId != 0)
            OnOpenJob();
        else
            ShowMailText(m_order.m_strMailText, 1);
    });
    // Delete deletes the selected mail on the server.
    auto *remove = new QShortcut(QKeySequence(Qt::Key_Delete), &m_listMessages);
    remove->setContext(Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { SendCommand(kDelete); });
    connect(&m_listItems, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { OnItemListDblClk(index.row(), index.column()); });

    m_nSource = int(ChooseSource());
    const bool xml = m_nSource == int(WebOrderSource::XmlFiles);
    m_order.m_keys = KeyFieldTable::Load(KeyFieldFilePath(xml), xml);
    m_order.pickCustomer = [this](qint32 &cusNo, const QString &filter) {
        CDlgList picker(QString(), QStringLiteral("Bill To"), QStringLiteral("Customers"), 0, 0, 0, m_nColorScheme,
                        this);
        picker.m_strFilter = filter;
        if (picker.DoModal() != 1 || picker.m_nChosenId == 0)
            return false;
        cusNo = qint32(picker.m_nChosenId);
        return true;
    };
    ClearOrder();
    EnableOrderCommands(false);
    const QString address = ZqApp() ? ZqApp()->emailSettings().Address : QString();
    setWindowTitle(QStringLiteral("Quorwin - ") + address);
    return true;
}

bool CEmailRead::OnCommand(int id)
{
    switch (unsigned(id)) {
    case kReceive: OnReceive(); return true;
    case kPaste: ShowMailText(kPasteMarker, 1); return true;
    case kView:
        if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier && m_nCurrent >= 0
            && m_nCurrent < m_socket.GetCount())
            m_order.m_strMailText = m_socket.GetMessageText(m_nCurrent);
        if (m_nSource == int(WebOrderSource::XmlFiles) && !(QGuiApplication::keyboardModifiers() & Qt::ControlModifier)) {
            if (m_nCurrent >= 0) {
                CDlgXML viewer(m_listMessages.GetItemText(m_nCurrent, 3), this);
                viewer.DoModal();
            }
        } else {
            ShowMailText(m_order.m_strMailText, 1);
        }
        return true;
    case kSaveOrder: SaveOrder(0); return true;
    case kSaveQuote: SaveOrder(1); return true;
    case kOpenJob: OnOpenJob(); return true;
    case kDelete:
        if (m_nCurrent >= 0)
            m_socket.DeleteMessage(m_nCurrent);
        return true;
    case kBillTo: OnBillTo(); return true;
    case kShipTo: OnShipTo(); return true;
    case kBuyer: OnOrderedBy(); return true;
    case kDates: OnEditJobDates(); return true;
    case kJobNote: OnJobNote(); return true;
    case kStatus: {
        CNoteDlg log(QStringLiteral("Traced"), QString(), m_strLog, CNoteDlg::ShowText, this);
        log.DoModal();
        return true;
    }
    case kSettings: {
        CEmailSettings settings(this);
        if (settings.DoModal() == 1)
            setWindowTitle(QStringLiteral("Quorwin - ") + ZqApp()->emailSettings().Address);
        return true;
    }
    case kKeyFields: OnKeyFields(); return true;
    default: break;
    }
    return CDlgRibbon::OnCommand(id);
}

void CEmailRead::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    GrowItemBy(kRecordRibbon, m_nDeltaX, 0);
    GrowItemBy(kSideRibbon, 0, m_nDeltaY);
    GrowItemBy(kRibbon4, m_nDeltaX, 0);
    GrowItemBy(kMessageList, m_nDeltaX, 0);
    GrowItemBy(kRibbon5, m_nDeltaX, 0);
    GrowItemBy(kItemList, m_nDeltaX, m_nDeltaY);
    m_listMessages.AutoSizeColumns();
    m_listItems.AutoSizeColumns();
}

void CEmailRead::SetStatus(const QString &text)
{
    m_wndRecordRibbon.SetItemText(kStatus, text);
}

QString CEmailRead::StatusText() const
{
    return const_cast<CXRibbon &>(m_wndRecordRibbon).GetItemText(kStatus);
}

void CEmailRead::Log(const QString &text, bool blankLineFirst)
{
    if (blankLineFirst)
        m_strLog += QStringLiteral("\r\n");
    m_strLog += text + QStringLiteral("\r\n");
}

void CEmailRead::ShowProgress(int step)
{
    const QString text = EmailProgressText(step, m_socket.GetCurrent(), m_socket.GetCount());
    if (!text.isEmpty())
        SetStatus(text);
}

bool CEmailRead::MayDelete(int index)
{
    // Saved means in the shop file: the message is linked to a job that is
    // still there.
    const QString id = MessageKey(index);
    bool saved = false;
    if (!id.isEmpty()) {
        try {
            CEmailLinkSet links(m_order.m_pDatabase);
            if (const qint32 jobId = links.GetJobIdOfMessage(id); jobId > 0) {
                CXDaoSet job(m_order.m_pDatabase);
                job.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT JobID FROM Jobs WHERE JobID = %1").arg(jobId),
                         CXDaoSet::dbForwardOnly);
                saved = job.IsOpen() && !job.IsEmptySet();
            }
        } catch (const platform::DbException &) {
            saved = false;
        }
    }
    if (!saved)
        Log(QStringLiteral("Email %1 is not saved as an order or quote yet: it stays on the server.").arg(index + 1),
            false);
    return saved;
}

QString CEmailRead::MessageKey(int index)
{
    const QString id = m_socket.GetMessageId(index);
    if (!id.isEmpty() || index < 0 || index >= m_socket.GetCount())
        return id;
    const QString text = m_socket.GetMessageText(index);
    if (text.isEmpty())
        return QString();
    return QStringLiteral("no-id-") +
           QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
}

void CEmailRead::OnReceive()
{
    m_strLog.clear();
    Log(QStringLiteral("Receive button clicked."), false);
    m_wndSideRibbon.EnableItem(kReceive, false);
    SetStatus(QStringLiteral("..."));
    m_listMessages.SetColumnText(0, QStringLiteral("From"));
    m_listMessages.SetColumnText(3, QStringLiteral("Subject"));
    m_listMessages.ClearList();
    m_order.m_strMailText.clear();
    m_order.m_nLinkedJobId = 0;
    m_nCurrent = -1;
    ClearOrder();
    m_socket.Reset();
    m_nSource = int(ChooseSource());
    const CZqApp::EmailSettings s = ZqApp() ? ZqApp()->emailSettings() : CZqApp::EmailSettings();
    switch (WebOrderSource(m_nSource)) {
    case WebOrderSource::Sample:
        m_socket.AddMessage(SampleMail(0));
        m_socket.AddMessage(SampleMail(1));
        FillMessageList();
        break;
    case WebOrderSource::Mailbox: {
        // "host" or "host:port" (a mailbox on another port than 110).
        QString host = s.Incoming;
        int port = 110;
        if (const int colon = int(host.lastIndexOf(QLatin1Char(':'))); colon > 0) {
            port = host.mid(colon + 1).toInt();
            host.truncate(colon);
        }
        Log(QStringLiteral("Created the socket."), false);
        if (m_socket.ConnectTo(this, host, s.LogonName, s.LogonPass, s.AutoDelete != 0, port))
            ReceiveMailbox(host);
        break;
    }
    case WebOrderSource::XmlFiles: ReadXmlOrders(); break;
    case WebOrderSource::None: break;
    }
    m_wndSideRibbon.EnableItem(kReceive, true);
}

void CEmailRead::ReceiveMailbox(const QString &host)
{
    // The dialogue runs on the window's own events; meanwhile the progress
    // window shows how far it is and its Stop ends it.
    const bool stopped = NetworkWait::WaitFor(
        QStringLiteral("Receiving orders from ") + host, [this] { return m_socket.IsEnded(); },
        [this] {
            const QString text = StatusText();
            return text == QLatin1String("...") ? QStringLiteral("Waiting for the server...") : text;
        });
    if (stopped)
        m_socket.Stop();
    FillMessageList();
    if (stopped) {
        const int received = m_listMessages.GetItemCount();
        SetStatus(received == 0 ? QStringLiteral("Receiving was stopped.")
                                : QStringLiteral("Receiving was stopped after ") +
                                      FormatCountWithUnit(received, QStringLiteral("email"), QStringLiteral("emails")) +
                                      QLatin1Char('.'));
        return;
    }
    if (!m_socket.HasFailed())
        return;
    // A failure is said as one, never as an empty mailbox.
    const QString failed = EmailProgressText(6, 0, 0);
    SetStatus(failed);
    if (!m_socket.FailureReason().isEmpty())
        platform::Prompt::messageBox(MailboxFailureText(m_socket.FailureReason(), m_listMessages.GetItemCount()),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

QString CEmailRead::MailboxFailureText(const QString &reason, int received)
{
    QString text = EmailProgressText(6, 0, 0) + QStringLiteral("\n\n") + reason;
    if (received > 0)
        text += QStringLiteral("\n\nThe ") +
                FormatCountWithUnit(received, QStringLiteral("email"), QStringLiteral("emails")) +
                QStringLiteral(" received before it are listed.");
    return text;
}

void CEmailRead::ReadXmlOrders()
{
    const CZqApp::EmailSettings s = ZqApp()->emailSettings();
    m_listMessages.SetColumnText(0, QStringLiteral("File Name"));
    m_listMessages.SetColumnText(3, QStringLiteral("Full Path"));
    QString log, error;
    m_xmlFiles.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = ListXmlOrderFiles(s.Incoming, s.LogonName, s.LogonPass, m_xmlFiles, log, error);
    QApplication::restoreOverrideCursor();
    m_strLog += log;
    if (!ok) {
        // A wait the user stopped has nothing to say.
        if (error.isEmpty())
            SetStatus(QStringLiteral("Transfer cancelled!"));
        else
            platform::Prompt::messageBox(error);
        return;
    }
    for (const XmlOrderFile &f : std::as_const(m_xmlFiles)) {
        m_socket.AddMessage(f.fullPath);
        const int row = m_listMessages.InsertRow(m_listMessages.GetItemCount(), f.name, -1 - m_listMessages.GetItemCount(), 195);
        m_listMessages.SetItemText(row, 3, f.fullPath);
        m_listMessages.SetItemText(row, 4, f.date);
        m_listMessages.SetItemText(row, 5, QString::number(f.size));
    }
    SetStatus(QStringLiteral("Received ") + FormatCountWithUnit(m_listMessages.GetItemCount(), QStringLiteral("email"),
                                                                QStringLiteral("emails")));
}

void CEmailRead::FillMessageList()
{
    const KeyFieldTable &keys = m_order.m_keys;
    for (int i = m_listMessages.GetItemCount(); i < m_socket.GetReceivedCount(); ++i) {
        const qint32 jobId = m_order.m_linkSet.GetJobIdOfMessage(MessageKey(i));
        QString from = m_socket.GetHeaderField(i, QStringLiteral("From: "), 0, 0, QStringLiteral("<>"));
        const int row = m_listMessages.InsertRow(i, from, jobId > 0 ? jobId : -1 - i, jobId > 0 ? kSavedImage : kNewImage);
        // The order's own fields come from its body, decoded as when the
        // order is read.
        const QString body = m_socket.GetPlainText(i);
        QString company;
        QString buyer;
        CZqApp::ExtractMailField(body, keys[keyfield::CustomerName], company, 0, 0, QString());
        CZqApp::ExtractMailField(body, keys[keyfield::ContactName], buyer, 0, 0, QString());
        m_listMessages.SetItemText(row, 1, company);
        m_listMessages.SetItemText(row, 2, buyer);
        m_listMessages.SetItemText(row, 3, m_socket.GetHeaderField(i, QStringLiteral("Subject: "), 0, 0, QString()));
        m_listMessages.SetItemText(row, 4, m_socket.GetHeaderField(i, QStringLiteral("Date: "), 0, 0, QString()));
        m_listMessages.SetItemText(row, 5, QString::number(m_socket.GetMessageLength(i)));
    }
    SetStatus(QStringLiteral("Received ") + FormatCountWithUnit(m_listMessages.GetItemCount(), QStringLiteral("email"),
                                                                QStringLiteral("emails")));
}

void CEmailRead::SelectMessage(int row)
{
    if (row < 0 || row >= m_listMessages.GetItemCount())
        return;
    m_nCurrent = row;
    const std::int64_t data = m_listMessages.GetItemData(row);
    m_order.m_nLinkedJobId = data > 0 ? qint32(data) : 0;
    m_order.m_strMessageId = row < m_socket.GetCount() ? MessageKey(row) : QString();
    if (m_nSource == int(WebOrderSource::XmlFiles)) {
        ParseXmlOrder();
    } else {
        m_order.m_strMailText = m_socket.GetPlainText(row);
        m_order.ParseTextOrder();
        ShowOrder();
    }
}

void CEmailRead::ParseXmlOrder()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_order.ClearOrder();
    XmlDocument doc;
    QString local, error;
    const CZqApp::EmailSettings s = ZqApp()->emailSettings();
    const QString path = m_listMessages.GetItemText(m_nCurrent, 3);
    local = m_fetchedOrders.filePath(m_listMessages.GetItemText(m_nCurrent, 0));
    if (!FetchXmlOrderFile(path, s.LogonName, s.LogonPass, local, error) || !doc.Load(local)) {
        QApplication::restoreOverrideCursor();
        if (!error.isEmpty())
            platform::Prompt::messageBox(error);
        m_order.m_strMailText.clear();
        ShowOrder();
        return;
    }
    m_order.ParseXmlOrder(doc);
    QApplication::restoreOverrideCursor();
    ShowOrder();
}

void CEmailRead::ClearOrder()
{
    m_order.ClearOrder();
    ShowOrder();
}

void CEmailRead::FillItemList()
{
    m_listItems.ClearList();
    for (int n = 0; n < m_order.m_items.size(); ++n) {
        const WebOrderItem &item = m_order.m_items.at(n);
        const int row = m_listItems.InsertRow(2 * n, QString::number(n + 1), n, 19);
        m_listItems.SetItemText(row, 1, item.description);
        m_listItems.SetItemText(row, 2, item.quantity ? QString::number(item.quantity) : QString());
        m_listItems.SetItemText(row, 3, item.originals ? QString::number(item.originals) : QString());
        m_listItems.SetItemText(row, 4, item.price);
        m_listItems.SetItemText(row, 5, item.jobItem.left(14));
        m_listItems.SetItemText(row, 6, item.link);
        const int note = m_listItems.InsertRow(2 * n + 1, QString(), -1, 255);
        m_listItems.SetItemText(note, 1, item.note);
    }
    m_listItems.AutoSizeColumns();
}

void CEmailRead::UpdateButtons()
{
    CJobSet &job = m_order.m_jobSet;
    CCusSet customer;
    const QString address = job.m_CusNo ? customer.FormatCustomer(job.m_CusNo, 0) : QString();
    m_wndPanel.SetItemText(kBillTo, job.m_CusNo ? QStringLiteral("Bill to Customer No: %1...").arg(job.m_CusNo)
                                                : QStringLiteral("Bill To..."));
    m_wndPanel.SetItemTip(kBillTo, address);
    const bool shipLinked = m_order.m_shiptoSet.m_ShiptoNo != 0;
    const bool buyerLinked = m_order.m_contactSet.m_ContactNo != 0;
    const bool started = job.m_CusNo != 0;
    m_wndPanel.SetItemText(kShipTo, !started || shipLinked ? QStringLiteral("Ship To...")
                                                           : QStringLiteral("New Ship To (click to add)..."));
    m_wndPanel.SetItemColor(kShipTo, !started || shipLinked ? Appearance::instance().fillStyle() : 25);
    const CShiptoSet &sh = m_order.m_shiptoSet;
    m_wndPanel.SetItemTip(kShipTo, QStringList({sh.m_Company, sh.m_Attention, sh.m_Address, sh.m_Address2,
                                                (sh.m_City + QLatin1Char(' ') + sh.m_State + QLatin1Char(' ') + sh.m_Zip).trimmed()})
                                       .filter(QRegularExpression(QStringLiteral("\\S")))
                                       .join(QLatin1Char('\n')));
    m_wndPanel.SetItemText(kBuyer, !started || buyerLinked ? QStringLiteral("Ordered by...")
                                                           : QStringLiteral("New Buyer (click to add)..."));
    m_wndPanel.SetItemColor(kBuyer, !started || buyerLinked ? Appearance::instance().fillStyle() : 25);
    m_wndPanel.SetItemTip(kBuyer, (m_order.m_contactSet.m_First + QLatin1Char(' ') + m_order.m_contactSet.m_Last).trimmed());
    m_wndPanel.SetItemText(kDates, QStringLiteral("When"));
    ShowJobDates();
    m_wndNotePanel.SetItemTip(kJobNote, job.m_WOrderNote);
}

void CEmailRead::ShowOrder()
{
    UpdateButtons();
    FillItemList();
    EnableOrderCommands(m_order.HasCustomer());
}

void CEmailRead::ShowJobDates()
{
    const CJobSet &job = m_order.m_jobSet;
    const QLocale locale;
    // A date never set (day 0) shows as nothing.
    auto date = [&](const DateTime &d) {
        return d.isNull() || !d.date().isValid() || d.date() == QDate(1899, 12, 30)
            ? QString()
            : locale.toString(d.date(), QLocale::ShortFormat);
    };
    QString csr;
    if (job.m_CSRNo != 0) {
        CEmpSet emp;
        csr = emp.GetEmployeeName(job.m_CSRNo);
    }
    m_wndPanel.SetItemTip(kDates, QStringLiteral("In\t%1\nDue\t%2   %3\n\nP.O.\t%4\nCSR\t%5")
                                      .arg(date(job.m_DateIn), date(job.m_DateDue), job.m_TimeDue, job.m_PO, csr));
}

void CEmailRead::EnableOrderCommands(bool enable)
{
    m_wndSideRibbon.EnableItem(kView, !m_order.m_strMailText.isEmpty());
    for (unsigned id : {kBillTo, kShipTo, kBuyer, kDates})
        m_wndPanel.EnableItem(id, enable);
    m_wndNotePanel.EnableItem(kJobNote, enable);
    m_wndSideRibbon.EnableItem(kSaveOrder, enable);
    m_wndSideRibbon.EnableItem(kSaveQuote, enable);
    m_wndSideRibbon.EnableItem(kOpenJob, m_order.m_nLinkedJobId != 0);
}

void CEmailRead::ShowMailText(const QString &text, int flags)
{
    const bool pasted = text == kPasteMarker;
    CNoteDlg editor(QStringLiteral("View"), pasted ? QStringLiteral("Email (pasted from clipboard)") : QStringLiteral("Email"),
                    text, flags, this);
    if (editor.DoModal() != 1)
        return;
    if (m_nSource == int(WebOrderSource::XmlFiles))
        return;
    m_order.m_strMailText = editor.m_strNote;
    if (pasted)
        m_order.m_strMessageId.clear();
    m_order.ParseTextOrder();
    ShowOrder();
}

void CEmailRead::SaveOrder(quint8 jobType)
{
    const bool savedBefore = m_nCurrent >= 0 && m_listMessages.GetItemImage(m_nCurrent) == kSavedImage;
    if (!m_order.SaveOrder(jobType, savedBefore)) {
        ShowOrder();
        return;
    }
    if (m_nCurrent >= 0 && !m_order.m_strMessageId.isEmpty()) {
        m_listMessages.SetSubItemImage(m_nCurrent, 0, kSavedImage);
        m_listMessages.SetItemData(m_nCurrent, m_order.m_nLinkedJobId);
    }
    SetStatus(m_order.m_strStatus);
    if (ZqApp() && ZqApp()->emailSettings().AutoOpen)
        OnOpenJob();
    EnableOrderCommands(false);
}

void CEmailRead::OnOpenJob()
{
    if (m_order.m_nLinkedJobId == 0)
        return;
    CJobSet job;
    job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(m_order.m_nLinkedJobId);
    if (!job.RequeryOrOpen(true) || job.IsEmptySet())
        return;
    // The job is taken for this workstation as the jobs view takes it; when
    // another one keeps it, the job is only shown.
    if (job.Lock(true)) {
        {
            CJobDlg window(&job, false, nullptr, this);
            window.DoModal();
        }
        job.Lock(false);
    } else {
        CJobDlg window(&job, true, nullptr, this);
        window.DoModal();
    }
}

void CEmailRead::OnKeyFields()
{
    const bool xml = m_nSource == int(WebOrderSource::XmlFiles);
    KeyFieldTable &table = m_order.m_keys;
    KeyFieldGrid grid(this);
    grid.m_strWindowTitle = QStringLiteral("Key Fields");
    grid.m_strRibbonTitle = QStringLiteral("Link Key Fields");
    grid.m_wndGrid.AddColumn(QStringLiteral("Tavrel Key Fields"), 180, 1, QString(), 0);
    // A key is kept to 250 characters: typing stops there.
    grid.m_wndGrid.AddColumn(QStringLiteral("Your Email Key Fields"), 300, 1, QStringLiteral("&250"), 1);
    grid.m_wndGrid.SetRows(keyfield::kCount, 23, false);
    for (int n = 0; n < keyfield::kCount; ++n) {
        grid.m_wndGrid.SetCellText(n, 0, table.defaults[n]);
        grid.m_wndGrid.SetCellText(n, 1, table.keys[n] != table.defaults[n] ? table.keys[n] : QString());
    }
    if (grid.DoModal() != 1)
        return;
    KeyFieldTable edited = table;
    for (int n = 0; n < keyfield::kCount; ++n) {
        const QString cell = grid.m_wndGrid.GetCellText(n, 1).trimmed().left(250);
        edited.keys[n] = cell.isEmpty() ? table.defaults[n] : cell;
    }
    // A file that cannot be written leaves the labels as they were, and says so.
    const QString path = KeyFieldFilePath(xml);
    QString error;
    if (edited.Save(path, &error))
        table = edited;
    else
        platform::Prompt::messageBox(QStringLiteral("Cannot write: ") + path + QStringLiteral("\n\n") + error, QString(),
                                     platform::MB_OK | platform::MB_ICONHAND);
}

void CEmailRead::OnBillTo()
{
    CDlgList picker(QString(), QStringLiteral("Bill To"), QStringLiteral("Customers"), 0, m_order.m_jobSet.m_CusNo, 0,
                    m_nColorScheme, this);
    if (picker.DoModal() != 1 || picker.m_nChosenId == 0)
        return;
    m_order.ChangeCustomer(qint32(picker.m_nChosenId));
    ShowOrder();
}

void CEmailRead::OnShipTo()
{
    CShiptoSet &ship = m_order.m_shiptoSet;
    const qint32 cusNo = m_order.m_jobSet.m_CusNo;
    auto load = [&](qint32 shiptoNo) {
        CShiptoSet found;
        if (shiptoNo != 0 && found.FindByNo(shiptoNo)) {
            ship.ResetFields();
            ship.m_ShiptoNo = found.m_ShiptoNo;
            ship.m_CusNo = found.m_CusNo;
            ship.m_Company = found.m_Company;
            ship.m_Attention = found.m_Attention;
            ship.m_Address = found.m_Address;
            ship.m_Address2 = found.m_Address2;
            ship.m_City = found.m_City;
            ship.m_State = found.m_State;
            ship.m_Zip = found.m_Zip;
            ship.m_Country = found.m_Country;
            ship.m_Phone = found.m_Phone;
        } else {
            ship.ResetFields();
            ship.m_ShiptoNo = 0;
            ship.m_CusNo = cusNo;
        }
    };
    if (ship.m_ShiptoNo == 0) {
        CShiptoDlg dialog(cusNo, 0, m_nColorScheme, QStringLiteral("Ship To"), nullptr);
        if (dialog.DoModal() == 1)
            load(dialog.m_nShiptoNo);
    }
    CShiptoList list(cusNo, ship.m_ShiptoNo, m_nColorScheme, QStringLiteral("Ship To"), this);
    if (list.DoModal() == 1)
        load(list.m_nShiptoNo);
    m_order.UpdateShipTo();
    UpdateButtons();
}

void CEmailRead::OnOrderedBy()
{
    CContactSet &buyer = m_order.m_contactSet;
    const qint32 cusNo = m_order.m_jobSet.m_CusNo;
    auto load = [&](qint32 contactNo) {
        CContactSet found;
        if (contactNo != 0 && found.FindContact(contactNo)) {
            buyer.ResetFields();
            buyer.m_ContactNo = found.m_ContactNo;
            buyer.m_CusNo = found.m_CusNo;
            buyer.m_First = found.m_First;
            buyer.m_Last = found.m_Last;
            buyer.m_Email = found.m_Email;
            buyer.m_Phone = found.m_Phone;
        } else {
            buyer.ResetFields();
            buyer.m_ContactNo = 0;
            buyer.m_CusNo = cusNo;
        }
    };
    if (buyer.m_ContactNo == 0) {
        CContactDlg dialog(cusNo, 0, m_nColorScheme, QString(), nullptr);
        if (dialog.DoModal() == 1)
            load(dialog.m_nContactNo);
    }
    CContactList list(cusNo, buyer.m_ContactNo, m_nColorScheme, QStringLiteral("Ordered By"), this);
    if (list.DoModal() == 1)
        load(list.m_nContactNo);
    m_order.UpdateBuyer();
    UpdateButtons();
}

void CEmailRead::OnEditJobDates()
{
    CJobWhen dialog(&m_order.m_jobSet, this);
    if (dialog.DoModal() == 1)
        ShowJobDates();
}

void CEmailRead::OnJobNote()
{
    CNoteDlg note(QStringLiteral("Note"), QString(), m_wndNotePanel.GetItemTip(kJobNote), CNoteDlg::EditNote, this);
    note.HoldNoteTo(QStringLiteral("Jobs"), QStringLiteral("WOrderNote"));
    if (note.DoModal() != 1)
        return;
    m_order.m_jobSet.m_WOrderNote = note.m_strNote;
    m_wndNotePanel.SetItemTip(kJobNote, note.m_strNote);
}

void CEmailRead::OnItemListDblClk(int row, int column)
{
    if (row < 0 || row % 2 != 0 || m_listItems.GetItemText(row, 0).isEmpty())
        return;
    const int n = row / 2;
    if (n >= m_order.m_items.size())
        return;
    if (column == 5)
        EditJobItemRef(row);
    else if (column == 6 && !m_order.m_items[n].link.isEmpty())
        DownloadLink(m_order.m_items[n].link, true, m_order.m_jobSet.m_CusNo);
}

void CEmailRead::EditJobItemRef(int row)
{
    const int n = row / 2;
    CDlgData entry(m_order.m_items[n].jobItem, 14, QStringLiteral("How to Create Item"),
                   QStringLiteral("Copy and Paste Item from 'Job-Item' number:"),
                   QStringLiteral("Examples:\nType '100-1H' to copy from History Job# 100 Item# 1.\nType '100-1T' from "
                                  "Template. To set Default option, click Settings.\n\n-> Leave it blank to create from "
                                  "scratch."),
                   this);
    entry.m_strExtraCaption = QStringLiteral("Preview Job-Item");
    const int result = entry.DoModal();
    if (result != 1 && result != 1001)
        return;
    m_order.m_items[n].jobItem = entry.m_strValue.trimmed();
    m_listItems.SetItemText(row, 5, m_order.m_items[n].jobItem);
    if (result != 1001)
        return;
    const bool history = ZqApp() && ZqApp()->emailSettings().Other2 != 0;
    const JobItemRef ref = CWebOrder::ParseJobItemRef(m_order.m_items[n].jobItem, history);
    CJobSet job;
    job.m_strFilter = QStringLiteral("JobType = %1 and JobNo = %2").arg(ref.jobType).arg(ref.jobNo);
    if (job.RequeryOrOpen() && !job.IsEmptySet() && ZqApp()) {
        ZqApp()->OpenJob(job.m_JobID);
    } else {
        QString name;
        GetJobTypeName(name, ref.jobType);
        platform::Prompt::messageBox(QStringLiteral("Cannot find ") + name + QLatin1Char(' ') + QString::number(ref.jobNo));
    }
}
