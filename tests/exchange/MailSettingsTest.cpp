// The e-mail account settings dialog: what OK and Cancel write.

#include "controls/DlgItem.h"
#include "exchange/mail/CEmailSettings.h"
#include "platform/SecretSettings.h"
#include "platform/Settings.h"
#include "support/ShopTest.h"

#include <QtCore/QFile>

#include <sys/stat.h>
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
        // The example outgoing server is a hint, not a value: nobody typed it.
        auto *outgoing = qobject_cast<QLineEdit *>(GetDlgItem(&d, 1305));
        EXPECT_EQ(outgoing->text(), QString());
        EXPECT_EQ(outgoing->placeholderText(), QStringLiteral("smtp.example.com"));
        d.SetItemText(1305, QStringLiteral("smtp.print.test"));
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
    for (const char *key : {"Address", "LogonName", "Incoming", "Outgoing", "DownloadTo", "AutoDownload",
                            "AutoByCus", "AutoOpen", "AutoReply", "AutoDelete", "Other1", "Other2", "Other3"})
        EXPECT_TRUE(platform::Settings::contains(QStringLiteral("Email Settings"), QString::fromLatin1(key))) << key;
    EXPECT_EQ(stored("LogonName"), QStringLiteral("orders"));
    EXPECT_EQ(stored("Outgoing"), QStringLiteral("smtp.print.test"));
    // The password is not in the settings file but in one only the user can read.
    EXPECT_FALSE(platform::Settings::contains(QStringLiteral("Email Settings"), QStringLiteral("LogonPass")));
    EXPECT_EQ(platform::SecretSettings::read(QStringLiteral("Email Settings"), QStringLiteral("LogonPass")),
              QStringLiteral("pa ss'word"));
    platform::Settings::sync();
    QFile settingsFile(platform::Settings::fileName());
    ASSERT_TRUE(settingsFile.open(QIODevice::ReadOnly));
    EXPECT_FALSE(settingsFile.readAll().contains("word"));
    EXPECT_EQ(QFile::permissions(platform::SecretSettings::fileName()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOwner),
              QFile::Permissions());
    EXPECT_EQ(stored("AutoDelete"), QStringLiteral("1"));
    EXPECT_EQ(stored("Other3"), QStringLiteral("1"));
    EXPECT_EQ(stored("AutoOpen"), QStringLiteral("0"));
    EXPECT_EQ(QFile::permissions(platform::Settings::fileName()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
}

TEST_F(MailSettingsTest, APasswordStoredInClearMovesWhereOnlyTheUserCanRead)
{
    platform::Settings::writeString(QStringLiteral("Email Settings"), QStringLiteral("LogonPass"), QStringLiteral("old=clear%"));
    platform::Settings::sync();
    const mode_t umaskBefore = ::umask(0022); // as a user's session usually has it
    app->LoadEmailSettings();
    EXPECT_EQ(app->emailSettings().LogonPass, QStringLiteral("old=clear%"));
    EXPECT_FALSE(platform::Settings::contains(QStringLiteral("Email Settings"), QStringLiteral("LogonPass")));
    EXPECT_EQ(QFile::permissions(platform::SecretSettings::fileName()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
    // Saved again (without the dialog) and read back.
    app->emailSettings().LogonPass = QStringLiteral("new one");
    app->SaveEmailSettings();
    app->emailSettings().LogonPass.clear();
    app->LoadEmailSettings();
    EXPECT_EQ(app->emailSettings().LogonPass, QStringLiteral("new one"));
    EXPECT_EQ(QFile::permissions(platform::SecretSettings::fileName()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
    ::umask(umaskBefore);
}
