#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

class CXListCtrl;
class QWidget;

// Services of later areas that the customer windows use. The shell installs
// them; until then each command says plainly that it is not available.
struct CustomerHooks
{
    // The customer credit dialog on a saved customer. It writes the Credits
    // row and moves the customer's CreditDue by the same amount in one
    // transaction (CCreditSet::PostCredit); true when it posted a change.
    std::function<bool(qint32 cusNo, QWidget *parent)> creditDialog;
    // Address labels of the list's selected rows: mode 0 customers, 1 contacts
    // (merge data "Address.txt", then the labels are opened).
    std::function<void(CXListCtrl &list, int mode, QWidget *parent)> addressLabels;
    // One outgoing message to an address, with its subject and text.
    std::function<void(const QString &to, const QString &subject, const QString &text)> sendMail;
};

CustomerHooks &customerHooks();
