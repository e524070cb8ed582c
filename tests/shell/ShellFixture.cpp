#include "ShellFixture.h"

#include "data/DefaultRows.h"
#include "data/ShopDatabase.h"

#include <QtCore/QDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

void ShellTest::SetUp()
{
    TavrelTest::SetUp();
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(tempPath(QString()));
    QApplication::setQuitOnLastWindowClosed(false);
    newShell();
}

void ShellTest::TearDown()
{
    shell.reset();
    app.reset();
    QDir::setCurrent(m_oldCurrent);
    TavrelTest::TearDown();
}

void ShellTest::newShell()
{
    shell.reset();
    app.reset();
    app = std::make_unique<CZqApp>();
    shell = std::make_unique<AppShell>(*app);
    shell->setProcessStarter([this](const QString &program, const QStringList &arguments) {
        started << program << arguments;
        return true;
    });
}

void ShellTest::makeDatabase(const QString &shopName)
{
    ShopAddressTexts shop;
    shop.name = shopName;
    shop.city = QStringLiteral("Springfield");
    CreateShopDatabase(tempPath(QStringLiteral("TavrelData.mdb")), shop);
}

QString ShellTest::screenWarning()
{
    const QRect r = QGuiApplication::primaryScreen()->geometry();
    if (r.width() >= 1024 && r.height() >= 768)
        return QString();
    return QStringLiteral("Your screen resolution, %1 x %2, is too low to view some of the Tavrel windows. Minimum "
                          "1024 x 768 is needed. Please see Windows Help on how to increase it.")
        .arg(r.width())
        .arg(r.height());
}

void ShellTest::answerScreenWarning()
{
    if (!screenWarning().isEmpty())
        prompts().answer(platform::IDOK);
}
