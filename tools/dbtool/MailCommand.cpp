#include "MailCommand.h"
#include "ToolArgs.h"

#include "app/base/CZqApp.h"
#include "exchange/mail/CEmailSocket.h"
#include "exchange/mail/CMail.h"
#include "exchange/weborders/DownloadLink.h"
#include "platform/UserFile.h"
#include "platform/Prompt.h"

#include <QtCore/QDir>
#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

const char kUsage[] =
    "usage: tavrel-dbtool mail receive HOST:PORT USER PASS [--delete] [--save DIR] [--timeout S]\n"
    "       tavrel-dbtool mail send SMTPURL --to A --subject S --text T [--from F] [--attach FILE]\n"
    "       tavrel-dbtool mail link URL FOLDER [--cusno N]\n"
    "       tavrel-dbtool transfer DB send|get [NAME] --site ftp://HOST:PORT [--to DIR]\n";

// The run's log as the reader window keeps it, printed as it grows; each
// message is saved (when asked) and listed as it comes, before the server
// is asked to delete it.
class PrintingOwner : public EmailSocketOwner
{
public:
    PrintingOwner(CEmailSocket &socket, QTextStream &out, QTextStream &err, const QString &saveTo)
        : m_socket(socket), m_out(out), m_err(err), m_saveTo(saveTo)
    {
    }
    void Log(const QString &text, bool blankLineFirst) override
    {
        if (blankLineFirst)
            m_out << '\n';
        m_out << text << '\n';
        m_out.flush();
    }
    void ShowProgress(int step) override
    {
        if (step == 5)
            Log(QStringLiteral("Completed receiving messages."), false);
        const QString text = EmailProgressText(step, m_socket.GetCurrent(), m_socket.GetCount());
        if (!text.isEmpty())
            Log(text, false);
        if (step == 6)
            failed = true;
    }
    bool KeepMessage(int index) override
    {
        // Saved before the Message-ID is read: reading it normalises the
        // label's spelling in the stored text.
        if (!m_saveTo.isEmpty()) {
            QString error;
            const QString file = QDir(m_saveTo).filePath(QStringLiteral("%1.eml").arg(index + 1));
            bool saved = QDir().mkpath(m_saveTo);
            if (!saved) {
                error = QStringLiteral("The folder cannot be made.");
            } else if (const QFileInfo at(file); (at.exists() && !at.isDir()) || at.isSymLink()) {
                // A message an earlier run saved there may be gone from the
                // server: it is never written over.
                saved = false;
                error = QStringLiteral("A file of that name is there already; it is left as it was.");
            } else {
                saved = platform::UserFile::Write(file, m_socket.GetMessageText(index).toLatin1(), error);
            }
            if (!saved) {
                m_err << "Cannot write: " << file << ": " << error << '\n';
                m_err.flush();
                return false;
            }
        }
        m_listed << QStringLiteral("%1\t%2\t%3\n")
                        .arg(index + 1)
                        .arg(m_socket.GetMessageLength(index))
                        .arg(m_socket.GetMessageId(index));
        return true;
    }
    // One line per message kept: number, length and Message-ID.
    QString listed() const { return m_listed.join(QString()); }
    bool failed = false;

private:
    CEmailSocket &m_socket;
    QTextStream &m_out;
    QTextStream &m_err;
    QString m_saveTo;
    QStringList m_listed;
};

} // namespace

int runMailSend(QStringList args, QTextStream &out, QTextStream &err)
{
    const QString to = TakeOption(args, QStringLiteral("--to"));
    const QString subject = TakeOption(args, QStringLiteral("--subject"));
    const QString text = TakeOption(args, QStringLiteral("--text"));
    const QString attach = TakeOption(args, QStringLiteral("--attach"));
    QString from = TakeOption(args, QStringLiteral("--from"));
    if (from.isEmpty())
        from = QStringLiteral("orders@example.com");
    if (args.size() != 2 || to.isEmpty()) {
        err << kUsage;
        return 2;
    }
    // The attachment is checked and read once, as the program's mail does.
    QByteArray attached;
    QString why;
    if (!attach.isEmpty() && !CMail::ReadAttachment(attach, attached, why)) {
        err << "PROMPT: Cannot attach " << attach << ": " << why << ".\\n\\nNothing was sent.\n";
        return 1;
    }
    QString reply;
    bool whole = false;
    if (!CMail::SendSmtp(args[1], QString(), QString(), from, to, subject, QString(text).replace(QLatin1String("\\n"), QLatin1String("\r\n")),
                         attach, attached, reply, &whole)) {
        bool offerAgain = false;
        err << "PROMPT: " << QString(CMail::FailureText(reply, whole, offerAgain)).replace(QLatin1Char('\n'), QLatin1String("\\n"))
            << '\n';
        return 1;
    }
    out << "Sent to " << to << '\n';
    return 0;
}

int runMailLink(QStringList args, QTextStream &out, QTextStream &err)
{
    const QString cusNo = TakeOption(args, QStringLiteral("--cusno"));
    if (args.size() != 3) {
        err << kUsage;
        return 2;
    }
    CZqApp app;
    app.emailSettings().DownloadTo = args[2];
    app.emailSettings().AutoByCus = cusNo.isEmpty() ? 0 : 1;
    platform::TestResponder responder;
    for (int i = 0; i < 4; ++i)
        responder.answer(platform::IDNO);
    const QString path = DownloadLink(args[1], false, cusNo.toInt());
    PrintPrompts(responder, err);
    if (path.isEmpty()) {
        err << "Nothing was saved.\n";
        return 1;
    }
    out << path << '\n';
    return 0;
}

int runMailCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    if (!args.isEmpty() && args[0] == QLatin1String("send"))
        return runMailSend(args, out, err);
    if (!args.isEmpty() && args[0] == QLatin1String("link"))
        return runMailLink(args, out, err);
    const bool remove = args.removeAll(QStringLiteral("--delete")) > 0;
    const QString saveTo = TakeOption(args, QStringLiteral("--save"));
    const QString timeout = TakeOption(args, QStringLiteral("--timeout"));
    if (args.size() != 4 || args[0] != QLatin1String("receive") || !args[1].contains(QLatin1Char(':'))) {
        err << kUsage;
        return 2;
    }
    const QString host = args[1].section(QLatin1Char(':'), 0, -2);
    const int port = args[1].section(QLatin1Char(':'), -1).toInt();
    platform::TestResponder responder;
    for (int i = 0; i < 8; ++i)
        responder.answer(platform::IDOK);

    CEmailSocket socket;
    if (!timeout.isEmpty())
        socket.setTimeout(timeout.toInt());
    PrintingOwner owner(socket, out, err, saveTo);
    QEventLoop loop;
    QObject::connect(&socket, &CEmailSocket::finished, &loop, &QEventLoop::quit);
    socket.Reset();
    if (socket.ConnectTo(&owner, host, args[2], args[3], remove, port))
        loop.exec();
    PrintPrompts(responder, err);
    out << owner.listed();
    if (!socket.FailureReason().isEmpty())
        err << socket.FailureReason() << '\n';
    return owner.failed || socket.HasFailed() || socket.GetCurrent() < socket.GetCount() ? 1 : 0;
}
