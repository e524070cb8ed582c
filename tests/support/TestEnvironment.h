#pragma once

#include "platform/Prompt.h"

#include <QtCore/QString>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QDialog>

#include <gtest/gtest.h>

#include <functional>
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

    // Queues a handler for the next dialog shown; it gets the dialog as its
    // class (a dialog of another class fails the test and is cancelled).
    template <class D>
    void onDialog(std::function<int(D &)> handler)
    {
        prompts().onDialog([handler](QDialog &d) -> int {
            auto *dialog = dynamic_cast<D *>(&d);
            EXPECT_NE(dialog, nullptr) << d.metaObject()->className();
            return dialog ? handler(*dialog) : 2;
        });
    }
    // Saves the widget as shown into build/tests/<folder>/<name>.png.
    static void SaveSnapshot(QWidget &widget, const QString &folder, const QString &name);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::TestResponder> m_prompts;
};
