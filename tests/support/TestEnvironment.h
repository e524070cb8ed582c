#pragma once

#include "platform/Prompt.h"

#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Each test gets its own temporary folder, settings file and prompt responder;
// nothing touches the user's own settings or files.
class TavrelTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString tempPath(const QString &name) const;
    platform::TestResponder &prompts() { return *m_prompts; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::TestResponder> m_prompts;
};
