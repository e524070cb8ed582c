#pragma once

#include "data/SchemaOperations.h"

#include <QtCore/QStringList>

#include <memory>

// A progress window for tests: records what it was shown and, when told,
// plays the user who stops the run as soon as a message holding a given
// text appears, or at a given step.
class ScriptedProgress : public SchemaProgress
{
public:
    struct Record
    {
        QStringList titles;
        QStringList messages;
        int steps = 0;
        QString stopAt;      // stop when a message holds this text
        int stopAfterSteps = -1; // stop at this step (counted from 1)
        bool stopped = false;
    };

    explicit ScriptedProgress(std::shared_ptr<Record> record) : m_record(std::move(record)) {}

    void start(int, const QString &title, bool, bool, const QString &) override { m_record->titles << title; }
    bool isRunning() const override { return !m_record->stopped; }
    bool step(const QString &) override
    {
        ++m_record->steps;
        if (m_record->stopAfterSteps >= 0 && m_record->steps >= m_record->stopAfterSteps)
            m_record->stopped = true;
        return !m_record->stopped;
    }
    void setMessage(const QString &text) override
    {
        m_record->messages << text;
        if (!m_record->stopAt.isEmpty() && text.contains(m_record->stopAt))
            m_record->stopped = true;
    }

private:
    std::shared_ptr<Record> m_record;
};
