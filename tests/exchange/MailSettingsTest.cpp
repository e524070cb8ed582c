// The e-mail account settings dialog: what OK and Cancel write.

#include "exchange/mail/CEmailSettings.h"
#include "platform/Settings.h"
#include "support/ShopTest.h"

#include <QtCore/QFile>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>

class MailSettingsTest : public ShopTest
{
protected:
    static QString stored(const char *key)
    {
        return platform::Settings::readString(QStringLiteral("Email Settings"), QString::fromLatin1(key));
    }
};

TEST_F(MailSettingsTest, BrowseThenCancelLeavesTheStoredFolder)
{
    platform::Settings::writeString(QStringLiteral("Email Settings"), QStringLiteral("DownloadTo"),
                                    QStringLiteral("/srv/orders/"));
    app->LoadEmailSettings();
    const QString chosen = tempPath(QStringLiteral("art"));
    prompts().answerFile(chosen);
    onDialog<CEmailSettings>([&](CEmailSettings &d) {
        d.SendCommand(30101);
        EXPECT_EQ(prompts().shown().last().caption, QStringLiteral("Please select a downlaod folder"));
        EXPECT_EQ(d.GetItemText(1306), chosen + QLatin1Char('/'));
        d.SendCommand(2);
        return 2;
    });
    CEmailSettings dialog(nullptr);
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_EQ(stored("DownloadTo"), QStringLiteral("/srv/orders/"));
    EXPECT_EQ(app->emailSettings().DownloadTo, QStringLiteral("/srv/orders/"));
}

TEST_F(MailSettingsTest, OkWritesAllFourteenValuesAndKeepsTheFilePrivate)
{
    app->LoadEmailSettings();
    onDialog<CEmailSettings>([&](CEmailSettings &d) {
        d.SetItemText(1302, QStringLiteral("orders"));
        d.SetItemText(1303, QStringLiteral("pa ss'word"));
        d.SetItemCheck(1105, 1);
        d.SetItemCheck(1108, 1);
        TavrelTest::SaveSnapshot(d, QStringLiteral("exchange"), QStringLiteral("mail-settings"));
        d.SendCommand(1);
        return 1;
    });
    CEmailSettings dialog(nullptr);
    EXPECT_EQ(dialog.DoModal(), 1);
    for (const char *key : {"Address", "LogonName", "LogonPass", "Incoming", "Outgoing", "DownloadTo", "AutoDownload",
                            "AutoByCus", "AutoOpen", "AutoReply", "AutoDelete", "Other1", "Other2", "Other3"})
        EXPECT_TRUE(platform::Settings::contains(QStringLiteral("Email Settings"), QString::fromLatin1(key))) << key;
    EXPECT_EQ(stored("LogonName"), QStringLiteral("orders"));
    EXPECT_EQ(stored("LogonPass"), QStringLiteral("pa ss'word"));
    EXPECT_EQ(stored("AutoDelete"), QStringLiteral("1"));
    EXPECT_EQ(stored("Other3"), QStringLiteral("1"));
    EXPECT_EQ(stored("AutoOpen"), QStringLiteral("0"));
    EXPECT_EQ(QFile::permissions(platform::Settings::fileName()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
}
