#include "data/AnswersOutsideLock.h"

#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"

namespace {

AnswersOutsideLock *g_active = nullptr;

} // namespace

AnswersOutsideLock::AnswersOutsideLock() : m_previous(g_active)
{
    g_active = this;
}

AnswersOutsideLock::~AnswersOutsideLock()
{
    g_active = m_previous;
}

AnswersOutsideLock *AnswersOutsideLock::active()
{
    return g_active;
}

void AnswersOutsideLock::Attempt(int attempt)
{
    m_askInside = attempt >= kAttempts;
    m_met.clear();
}

const AnswersOutsideLock::Given *AnswersOutsideLock::find(const QString &key) const
{
    // A save inside another (an item's inside its job's) takes the answers
    // the outer one was given.
    for (const AnswersOutsideLock *scope = this; scope; scope = scope->m_previous)
        if (const auto it = scope->m_answers.find(key); it != scope->m_answers.end())
            return &it->second;
    return nullptr;
}

AnswersOutsideLock::Given AnswersOutsideLock::AnswerWithText(platform::Database &db, const QString &key,
                                                             const std::function<Given()> &ask)
{
    AnswersOutsideLock *scope = g_active;
    if (!scope || !db.isOpen() || db.transactionDepth() == 0)
        return ask();
    // The same question asked again in one attempt (two rows of one service)
    // is another question: each takes its own answer.
    const QString turn = key + QStringLiteral("\n#") + QString::number(++scope->m_met[key]);
    if (const Given *given = scope->find(turn))
        return *given;
    for (const AnswersOutsideLock *s = scope; s; s = s->m_previous)
        if (s->m_askInside)
            return ask();
    throw Pending(turn, ask);
}

int AnswersOutsideLock::Answer(platform::Database &db, const QString &key, const std::function<int()> &ask)
{
    return AnswerWithText(db, key, [ask] { return Given{ask(), QString()}; }).code;
}

int AnswersOutsideLock::MessageBox(const QString &text, const QString &caption, unsigned style)
{
    return Answer(SharedDatabase(), QStringLiteral("box\n%1\n%2\n%3").arg(caption).arg(style).arg(text),
                  [text, caption, style] { return platform::Prompt::messageBox(text, caption, style); });
}

bool AnswersOutsideLock::Settle(platform::Database &db, const Pending &pending)
{
    if (db.isOpen() && db.transactionDepth() > 0)
        return false;
    m_answers[pending.key()] = pending.ask();
    return true;
}

void AnswersOutsideLock::Run(platform::Database &db, const std::function<std::optional<Pending>()> &attempt,
                             const std::function<void()> &putBack)
{
    for (int n = 1;; ++n) {
        Attempt(n);
        const std::optional<Pending> question = attempt();
        if (!question)
            return;
        putBack();
        if (!Settle(db, *question))
            throw *question;
    }
}
