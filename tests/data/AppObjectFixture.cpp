#include "AppObjectFixture.h"

#include "data/AppDataServices.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"

const QString AppObjectTest::kCancel = QStringLiteral("<cancel>");

void AppObjectTest::SetUp()
{
    TavrelTest::SetUp();
    // A Wednesday.
    platform::Clock::setFixed(QDateTime(QDate(2024, 6, 12), QTime(9, 30)));
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    holder.database().open(path);
    app = std::make_unique<CZqApp>();
    InstallAppQueryReader(*app);
    InstallCodeCacheLookups();
    app->setDataEntryDialog([this](QString &value, int kind, const QString &window, const QString &ribbon,
                                   const QString &strip) {
        asked << Shown{value, kind, window, ribbon, strip};
        if (typed.isEmpty())
            throw platform::UnansweredPrompt(QStringLiteral("entry dialog: ") + ribbon);
        const QString answer = typed.takeFirst();
        if (answer == kCancel)
            return int(platform::IDCANCEL);
        value = answer;
        return int(platform::IDOK);
    });
}

void AppObjectTest::TearDown()
{
    RemoveCodeCacheLookups();
    app.reset();
    if (holder.database().isOpen())
        holder.database().close();
    TavrelTest::TearDown();
}

void AppObjectTest::exec(const QString &jetSql)
{
    holder.database().execute(jetSql);
}

void AppObjectTest::insert(const QString &table, const QString &columns, const QString &values)
{
    exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, values));
}
