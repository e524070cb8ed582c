#pragma once

#include <QtCore/QString>

#include <functional>
#include <map>
#include <optional>

namespace platform {
class Database;
}

// No question is put to the user while a save holds the shop file's write
// lock: every other workstation would wait on it (and be refused after a
// minute) for as long as the box is open. A save that may meet a question
// inside its transaction (a field another user changed too, what its pricing
// asks) installs one of these around its attempts. A question met inside the
// transaction is not asked there: the answer the user already gave to exactly
// that question is taken, otherwise the question is thrown out as a Pending.
// The save catches it once its transaction has rolled back, puts its own state
// back, has the question asked (Settle) and makes its attempt again, which
// meets the same questions in the same order and takes the answers. The other
// user saving again in between makes another question, which is asked anew.
class AnswersOutsideLock
{
public:
    // What the user answered: the button, and for an entry what was typed.
    struct Given
    {
        int code = 0;
        QString text;
    };

    // A question not asked inside a transaction. Deliberately no database
    // failure (nor a std::exception): no handler of those takes it for one.
    class Pending
    {
    public:
        Pending(QString key, std::function<Given()> ask) : m_key(std::move(key)), m_ask(std::move(ask)) {}
        const QString &key() const { return m_key; }
        Given ask() const { return m_ask(); }

    private:
        QString m_key;                // the question exactly: where it is asked, its texts, its turn
        std::function<Given()> m_ask; // shows it, as it would have been shown inside
    };

    // How many attempts a save makes (each question met costs one); the last
    // asks inside its transaction as any save without one of these does, so
    // that a shop where another user saves the same row again and again still
    // gets to save.
    static constexpr int kAttempts = 16;

    AnswersOutsideLock();
    ~AnswersOutsideLock();
    AnswersOutsideLock(const AnswersOutsideLock &) = delete;
    AnswersOutsideLock &operator=(const AnswersOutsideLock &) = delete;

    static AnswersOutsideLock *active();

    // The answer to the question `key` as the user gives it: asked at once
    // when no save installed one of these, when db holds no transaction, or
    // on a save's last attempt; else the answer given to it before, if any;
    // else Pending is thrown. A question met twice in one attempt is two.
    static Given AnswerWithText(platform::Database &db, const QString &key, const std::function<Given()> &ask);
    static int Answer(platform::Database &db, const QString &key, const std::function<int()> &ask);
    // A message box of the shared database's saves, so answered.
    static int MessageBox(const QString &text, const QString &caption, unsigned style);

    // For the save, once its transaction has rolled back: asks the pending
    // question and keeps the answer for the attempts to come. False (nothing
    // asked) while db still holds a transaction, an outer save's: the caller
    // lets the Pending go on to that save.
    bool Settle(platform::Database &db, const Pending &pending);

    // The save's attempt number `attempt` (from 1) starts.
    void Attempt(int attempt);

    // A save's attempts until one meets no question: `attempt` makes one, its
    // transaction over (committed or rolled back) when it returns, and gives
    // back the question it met inside, if any. Then `putBack` puts the save's
    // own state back, the question is asked with the file free and the
    // attempt made again with the answer. A question met inside an outer
    // save's transaction goes on to that save.
    void Run(platform::Database &db, const std::function<std::optional<Pending>()> &attempt,
             const std::function<void()> &putBack);

private:
    const Given *find(const QString &key) const;

    std::map<QString, Given> m_answers;
    std::map<QString, int> m_met; // questions met in this attempt, by how often
    bool m_askInside = false;
    AnswersOutsideLock *m_previous = nullptr;
};
