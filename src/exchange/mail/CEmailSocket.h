#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QTimer>
#include <QtNetwork/QTcpSocket>

// What the mailbox client reports to the window that runs it: log lines and
// the progress steps of a run (1 LIST sent, 2 first RETR sent, 3 next RETR
// sent, 4 DELE sent, 5 finished normally, 6 finished after an error).
class EmailSocketOwner
{
public:
    virtual ~EmailSocketOwner() = default;
    virtual void Log(const QString &text, bool blankLineFirst) = 0;
    virtual void ShowProgress(int step) = 0;
    // Message `index` (from 0) has come whole. The owner keeps it wherever it
    // is to be kept (a file, a list) before the server is asked to delete
    // it; false when it could not be kept (the owner has said why): the run
    // then ends in step 6, and that message and the ones after it stay on
    // the server. The messages themselves stay in the client until the next
    // run, which is all most owners need.
    virtual bool KeepMessage(int index)
    {
        Q_UNUSED(index);
        return true;
    }
    // Whether message `index`, kept, may go from the server now, in a run
    // that deletes: an owner that keeps a message only in memory until it is
    // saved elsewhere says no until then, and the message stays on the
    // server for the next run. Most owners delete what they keep.
    virtual bool MayDelete(int index)
    {
        Q_UNUSED(index);
        return true;
    }
};

// The text a progress step shows and logs ("" for steps without one).
QString EmailProgressText(int step, int current, int count);

// A POP3 mailbox client. One run: greeting, USER, PASS, LIST, then RETR for
// each listed message (DELE after each complete one when asked, once its
// owner has kept it and lets it go) and QUIT.
// Replies are read line by line: a multi-line reply (LIST, RETR) ends at its
// "." line, and the next command goes out only after the reply to the last
// one is complete, so mails never run together and only complete ones are
// deleted. A message is kept without its status line and with the dot
// stuffing undone: its bytes as the sender wrote them (each byte one
// character). The messages stay until the next run.
class CEmailSocket : public QObject
{
    Q_OBJECT

public:
    // Dialogue states.
    enum State { Greeting = 1, UserSent = 2, PassSent = 3, ListSent = 4, RetrSent = 5, Finished = 6, DeleSent = 7 };

    struct Message
    {
        qint32 size = 0; // as the LIST reply gave it
        QString text;
        bool received = false; // its whole reply has come
    };

    CEmailSocket();
    ~CEmailSocket() override;

    // Starts a run; true when the connection is under way.
    bool ConnectTo(EmailSocketOwner *owner, const QString &host, const QString &user, const QString &password,
                   bool deleteAfterReceiving, int port);
    // Sends one command line; false (and a log line) when it cannot be sent.
    bool SendCommand(const QString &command, int newState, int progressStep, const QString &failureContext);
    // Deletes message `index` (from 0) while the mailbox is still open; says
    // so and returns false once the run has ended.
    bool DeleteMessage(int index);
    void Reset();
    // A message that did not come through the mailbox (sample mails, XML order
    // files), its size the text's length.
    void AddMessage(const QString &text);

    QString GetPlainText(int index) const;
    QString GetHeaderField(int index, const QString &label, int start, int limit, const QString &strip) const;
    QString GetMessageId(int index);
    QString DescribeConnection() const;

    // The run has ended (finished, failed or stopped).
    bool IsEnded() const { return m_bEnded; }
    // The run ended without completing: a failed connection, an error reply,
    // a socket error, a silent or too slow server.
    bool HasFailed() const { return m_bFailed; }
    // Why a failed run ended when nothing has told the user yet (a silent or
    // too slow server, a reply beyond the limits); empty otherwise.
    QString FailureReason() const { return m_strFailure; }
    // Ends the run now (the user's Stop): the connection is dropped, no
    // command more goes out, and the messages received so far stay.
    void Stop();

    bool IsOpen() const { return m_socket.state() != QAbstractSocket::UnconnectedState; }
    bool IsConnected() const { return m_bConnected; }
    // The messages the mailbox said it holds (its LIST reply).
    int GetCount() const { return int(m_messages.size()); }
    // The messages received whole, the first ones of the mailbox: a run that
    // failed or was stopped has only these, and lists nothing more.
    int GetReceivedCount() const;
    int GetCurrent() const { return m_nCurrent; }
    int GetState() const { return m_nState; }
    QString GetMessageText(int index) const;
    int GetMessageLength(int index) const;

    // Seconds without a byte from the server before the run ends in step 6.
    // A reply that trickles in must also bring kMinOctetsPerTimeout in each
    // such period (a large message on a slow line does), or the run ends in
    // step 6 too.
    void setTimeout(int seconds);
    // The most a server may send, far beyond any real mailbox: a reply's
    // first line, a whole LIST reply and one message (RETR reply). Beyond,
    // the run ends in step 6 and says why.
    static constexpr qsizetype kMaxStatusLineOctets = 4096;
    static constexpr qsizetype kMaxListOctets = 4 * 1024 * 1024;
    static constexpr qsizetype kMaxMessageOctets = 64 * 1024 * 1024;
    static constexpr qsizetype kMinOctetsPerTimeout = 64 * 1024;
    // The longest command line a server must accept (CR LF included).
    static constexpr int kMaxCommandOctets = 255;

signals:
    // The run is over: QUIT sent, the server closed, an error or the time-out.
    void finished();

private:
    void onConnected();
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onTimeout();
    void onDeadline();
    // The reply being awaited has one more timeout period to bring its next
    // kMinOctetsPerTimeout.
    void startDeadline();
    // Ends the run in step 6 with the reason logged.
    void stopReceiving(const QString &reason);
    // A complete reply is in m_response; moves the dialogue on.
    void ProcessResponse();
    void finish(int step);
    void log(const QString &text, bool blankLineFirst = false);
    void progress(int step);

    QTcpSocket m_socket;
    QTimer m_timeout;
    QTimer m_deadline;
    EmailSocketOwner *m_pOwner = nullptr;
    QString m_strHost;
    QString m_strUser;
    QString m_strPassword;
    int m_nPort = 110;
    int m_nState = Greeting;
    int m_nCurrent = 0;
    bool m_bDelete = false;
    bool m_bConnected = false;
    bool m_bEnded = false;
    bool m_bFailed = false;
    QString m_strFailure;
    QByteArray m_buffer;   // received, not yet a complete reply
    qsizetype m_scanned = 0; // where the search for a multi-line reply's end goes on
    QByteArray m_response; // the complete reply being processed
    qsizetype m_sinceDeadline = 0; // octets received since the deadline was set
    QList<Message> m_messages;
};
