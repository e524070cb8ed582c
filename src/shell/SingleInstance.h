#pragma once

#include <QtCore/QObject>
#include <QtCore/QString>

#include <functional>

class QLocalServer;

// Finds a copy of the program that already runs for this user, and lets a
// later copy bring it to the front. Each copy listens on a local socket named
// after the main window's class, the user and the workstation settings the
// copy uses, so copies of two users (or two separate setups) never meet.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &className, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket name of the copies of this user and settings.
    static QString ServerName(const QString &className);
    QString serverName() const { return m_name; }

    // True when another copy answers within the time.
    bool IsOtherCopyRunning(int timeoutMs = 2000) const;
    // Asks the other copy to come to the front; true when the request was
    // delivered.
    bool ActivateOtherCopy(int timeoutMs = 2000) const;

    // Starts answering later copies (a socket left by a copy that ended
    // abnormally is replaced). False when the name cannot be taken; the copy
    // then runs on but cannot be found.
    bool Listen();
    bool isListening() const;

    // Called when a later copy asks this one to come to the front.
    void setActivationHandler(std::function<void()> handler) { m_onActivate = std::move(handler); }

private:
    void onNewConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_onActivate;
};
