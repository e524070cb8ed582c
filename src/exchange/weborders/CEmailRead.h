#pragma once

#include "exchange/mail/CEmailSocket.h"
#include "exchange/weborders/CWebOrder.h"
#include "views/CDlgRibbon.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

// The web-order reader, "Quorwin": receives web orders from the source the
// e-mail settings name (built-in samples, a POP3 mailbox or XML order
// files), lists them, reads the selected one into an unsaved order that the
// user checks and corrects, and saves it as an order or a quote.
class CEmailRead : public CDlgRibbon, public EmailSocketOwner
{
    Q_OBJECT

public:
    static constexpr unsigned kMessageList = 1401;
    static constexpr unsigned kItemList = 1402;

    explicit CEmailRead(QWidget *parent);
    ~CEmailRead() override;

    // The source the workstation's e-mail settings name now.
    static WebOrderSource ChooseSource();
    // The two orders built in for trying the reader out.
    static QString SampleMail(int n);

    void OnReceive();
    void FillMessageList();
    void SelectMessage(int row);
    void EnableOrderCommands(bool enable);
    void ClearOrder();
    void ShowOrder();
    void ShowJobDates();
    void ShowMailText(const QString &text, int flags);
    void SaveOrder(quint8 jobType);
    void OnOpenJob();
    void OnKeyFields();
    void OnBillTo();
    void OnShipTo();
    void OnOrderedBy();
    void OnEditJobDates();
    void OnJobNote();
    void OnItemListDblClk(int row, int column);
    void EditJobItemRef(int row);
    QString StatusText() const;
    // The box of a mailbox run that failed with a reason nobody has told
    // yet, with how many messages came before the failure.
    static QString MailboxFailureText(const QString &reason, int received);

    // EmailSocketOwner
    void Log(const QString &text, bool blankLineFirst) override;
    void ShowProgress(int step) override;
    // A received order leaves the mailbox only once it is saved as an order
    // or quote: until then it stays on the server, so that nothing received
    // is lost with this window (closed, a second Receive, a crash).
    bool MayDelete(int index) override;
    // What links message `index` to the job saved from it: its Message-ID,
    // or, for a mail sent without one, a digest of its text (the same at
    // every Receive), so that it too is shown as saved and leaves the server.
    QString MessageKey(int index);

    int m_nSource = 0;
    CWebOrder m_order;
    CXListCtrl &m_listMessages = m_wndList;
    CXListCtrl &m_listItems = m_wndList2;
    QString m_strLog;
    int m_nCurrent = -1; // the message being read
    CEmailSocket m_socket;
    QList<XmlOrderFile> m_xmlFiles;
    QTemporaryDir m_fetchedOrders; // XML orders fetched from an FTP site to be read
    CXRibbon m_wndPanel;     // 1741
    CXRibbon m_wndNotePanel; // 1742

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnSize(int type, int cx, int cy) override;

private:
    void SetStatus(const QString &text);
    void ReadXmlOrders();
    // Waits behind the progress window for the mailbox run just started and
    // says how it ended.
    void ReceiveMailbox(const QString &host);
    void ParseXmlOrder();
    void UpdateButtons();
    void FillItemList();
};
