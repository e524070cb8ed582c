#include "support/TestEnvironment.h"

#include "platform/Clock.h"
#include "platform/Settings.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>

void TavrelTest::SetUp()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    platform::Settings::useFolder(m_dir->filePath(QStringLiteral("settings")));
    m_prompts = std::make_unique<platform::TestResponder>();
}

void TavrelTest::TearDown()
{
    m_prompts.reset();
    platform::Settings::useFolder(QString());
    platform::Clock::reset();
    m_dir.reset();
}

QString TavrelTest::tempPath(const QString &name) const
{
    return QDir(m_dir->path()).filePath(name);
}

void TavrelTest::SaveSnapshot(QWidget &widget, const QString &folder, const QString &name)
{
    QApplication::processEvents();
    const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + folder;
    QDir().mkpath(path);
    EXPECT_TRUE(widget.grab().save(path + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG"));
}
