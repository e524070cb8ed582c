#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

// Hands one message to the mail system. With an outgoing server in the
// workstation's e-mail settings the message is shown in a compose window
// for the user to review and then sent by SMTP (STARTTLS when the server
// offers it, the mailbox logon when one is set, From the shop's address);
// without one it goes to the desktop's mail program (xdg-email). Every
// outgoing message of the program goes through here; nothing is kept.
class CMail
{
public:
    // True only when the server (or the desktop's mail program) took the
    // message. Cancel in the compose window is a silent false; a sending the
    // user stopped leaves the server no complete message, and says that
    // nothing was sent; every other failure has been said to the user (with
    // the offer to try again).
    bool Send(QString to, QString subject, QString text, QString attachment);

    // How long a found attachment is given to be finished by the program
    // still writing it (a PDF made just before); tests shorten it.
    static void setAttachmentWait(int milliseconds);

    // Reads an attachment once, through the descriptor its checks were made
    // on (an ordinary file of a mail's size, never another user's link to
    // this user's file): the mail is built from these bytes, and the name is
    // never opened again. False with the reason, to follow "Cannot attach
    // <file>: ", when it is refused or cannot be read.
    static bool ReadAttachment(const QString &path, QByteArray &bytes, QString &why);

    // One SMTP delivery, waited for behind the progress window: the server's
    // last reply comes back in `reply` when it refuses; a delivery the user
    // stopped there fails with an empty reply. `wholeMessageSent` tells
    // whether the whole message had gone out (its data ended with the final
    // dot, so the server may have delivered it without saying so) or not
    // (the server throws away the part it got). Used by Send after the
    // compose window. The attachment goes out as the bytes given (read by
    // ReadAttachment), under the file name of `attachment`.
    static bool SendSmtp(const QString &server, const QString &user, const QString &password, const QString &from,
                         const QString &to, const QString &subject, const QString &text, const QString &attachment,
                         const QByteArray &attachmentBytes, QString &reply, bool *wholeMessageSent = nullptr);

    // What the user is told of a delivery that did not end with the
    // server's acceptance: stopped (an empty reply) or failed with the
    // server's or library's words, before or after the whole message went
    // out. `offerAgain` says whether the text asks to send it again (Yes and
    // No); a message that may have been delivered is offered again only with
    // the warning that it may then arrive twice.
    static QString FailureText(const QString &reply, bool wholeMessageSent, bool &offerAgain);
};
