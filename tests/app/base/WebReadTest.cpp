#include "app/base/WebRead.h"
#include "support/TestEnvironment.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

#include <future>

namespace {

// A small web server on 127.0.0.1 in a thread of its own (the reads under
// test block the test's thread): "/shop.bin" is a file, "/note.txt" a text
// with bytes above 127, "/cut.bin" promises more than it sends,
// "/endless.bin" never ends, anything else is a 404 page.
class LoopbackServer : public QThread
{
public:
    static QByteArray fileBody()
    {
        QByteArray body;
        for (int i = 0; i < 200000; ++i)
            body.append(char(i * 7 % 256));
        return body;
    }

    quint16 start()
    {
        QThread::start();
        return m_port.get_future().get();
    }
    ~LoopbackServer() override
    {
        quit();
        wait();
    }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_portNumber).arg(path); }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_portNumber = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, [&server] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, [socket] {
                    const QByteArray request = socket->readAll();
                    const QByteArray path = request.split(' ').value(1);
                    if (path == "/shop.bin")
                        reply(socket, "200 OK", fileBody());
                    else if (path == "/note.txt")
                        reply(socket, "200 OK", QByteArray("Caf\xe9 open"));
                    else if (path == "/endless.bin")
                        pourWithoutEnd(socket);
                    else if (path == "/cut.bin")
                        reply(socket, "200 OK", fileBody().left(5000), 200000);
                    else
                        reply(socket, "404 Not Found", QByteArray("<html>No such page</html>"));
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_port.set_value(m_portNumber);
        exec();
    }

private:
    // A body that never ends, as fast as the client takes it.
    static void pourWithoutEnd(QTcpSocket *socket)
    {
        socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        auto *pump = new QTimer(socket);
        QObject::connect(pump, &QTimer::timeout, socket, [socket] {
            if (socket->bytesToWrite() < 1024 * 1024)
                socket->write(QByteArray(64 * 1024, 'z'));
        });
        pump->start(0);
    }
    static void reply(QTcpSocket *socket, const char *status, const QByteArray &body, qint64 length = -1)
    {
        socket->write(QByteArray("HTTP/1.1 ") + status + "\r\nContent-Length: "
                      + QByteArray::number(length < 0 ? body.size() : length) + "\r\nConnection: close\r\n\r\n"
                      + body);
        socket->flush();
        socket->disconnectFromHost();
    }

    std::promise<quint16> m_port;
    quint16 m_portNumber = 0;
};

class WebReadTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        server.start();
        folder = tempPath(QStringLiteral("Downloads/"));
        QDir().mkpath(folder);
    }
    QStringList filesInFolder() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    LoopbackServer server;
    QString folder;
};

} // namespace

TEST_F(WebReadTest, TextReadsBytesAsCharactersAndAnErrorPageIsAFailure)
{
    QString text = QStringLiteral("> ");
    EXPECT_TRUE(HttpGetText(server.url(QStringLiteral("/note.txt")), text));
    EXPECT_EQ(text, QStringLiteral("> Caf\u00e9 open"));

    QString page = QStringLiteral("kept");
    EXPECT_FALSE(HttpGetText(server.url(QStringLiteral("/nothing.html")), page));
    EXPECT_EQ(page, QStringLiteral("kept"));
    EXPECT_FALSE(HttpGetText(server.url(QStringLiteral("/cut.bin")), page));
    EXPECT_EQ(page, QStringLiteral("kept"));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(WebReadTest, DownloadWritesTheWholeFileOrNothing)
{
    ASSERT_TRUE(DownloadFile(server.url(QStringLiteral("/shop.bin")), folder, false));
    QFile file(folder + QStringLiteral("shop.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), LoopbackServer::fileBody());
    file.close();
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("shop.bin")});

    // A missing page and a broken transfer leave no file, and an older file
    // of the same name as it was; each says which file and why.
    for (int i = 0; i < 3; ++i)
        prompts().answer(platform::IDOK);
    EXPECT_FALSE(DownloadFile(server.url(QStringLiteral("/missing.bin")), folder, false));
    EXPECT_FALSE(DownloadFile(server.url(QStringLiteral("/cut.bin")), folder, false));
    QFile older(folder + QStringLiteral("cut.bin"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("previous version");
    older.close();
    EXPECT_FALSE(DownloadFile(server.url(QStringLiteral("/cut.bin")), folder, false));
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), QByteArray("previous version"));
    EXPECT_EQ(filesInFolder(), (QStringList{QStringLiteral("cut.bin"), QStringLiteral("shop.bin")}));
    const QString host = server.url(QString()).section(QLatin1Char('/'), 2, 2);
    const QString cut = QStringLiteral("Cannot download: %1cut.bin\n\nThe server %2 broke off the transfer before "
                                       "the end.").arg(folder, host);
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Cannot download: %1missing.bin\n\nThe server answered 404 (Not Found) for "
                                          "%2.").arg(folder, server.url(QStringLiteral("/missing.bin"))),
                           cut, cut}));
}

TEST_F(WebReadTest, AskingDownloadChoosesThePlaceAndTellsWhereItWent)
{
    const QString chosen = tempPath(QStringLiteral("Elsewhere/copy.bin"));
    QDir().mkpath(tempPath(QStringLiteral("Elsewhere")));
    prompts().answerFile(chosen);
    prompts().answer(platform::IDOK);
    EXPECT_TRUE(DownloadFile(server.url(QStringLiteral("/shop.bin")), QString(), true));
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().shown()[0].caption, QStringLiteral("Download the file to:"));
    EXPECT_EQ(prompts().shown()[0].text, QStringLiteral("shop.bin"));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Downloaded ") + chosen);
    EXPECT_EQ(QFileInfo(chosen).size(), LoopbackServer::fileBody().size());

    // Cancelling the choice fetches nothing.
    prompts().answerFile(QString());
    EXPECT_FALSE(DownloadFile(server.url(QStringLiteral("/shop.bin")), folder, true));
    EXPECT_TRUE(filesInFolder().isEmpty());
}

TEST_F(WebReadTest, AnEndlessDownloadStopsAtTheLargestSizeAndSaysSo)
{
    const qint64 usual = LargestDownload();
    SetLargestDownload(2 * 1024 * 1024);
    const QString url = server.url(QStringLiteral("/endless.bin"));
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(DownloadFile(url, folder, false));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("The download from %1 was stopped: it is larger than 2 MB.").arg(url)});
    EXPECT_TRUE(filesInFolder().isEmpty());
    QString text = QStringLiteral("kept");
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(HttpGetText(url, text));
    EXPECT_EQ(text, QStringLiteral("kept"));
    EXPECT_EQ(prompts().shown().size(), 2);
    SetLargestDownload(usual);
    EXPECT_EQ(LargestDownload(), qint64(2) * 1024 * 1024 * 1024);
}

#include "platform/NetworkWait.h"
#include "support/LocalServers.h"

namespace {

// The wait window as the look-ups see it: it keeps its title and counts its
// steps; Stop at the step given.
class CountingWait final : public NetworkWait::Window
{
public:
    CountingWait(int &steps, int stopAt) : m_steps(steps), m_stopAt(stopAt) {}
    bool step(const QString &) override { return ++m_steps < m_stopAt; }

private:
    int &m_steps;
    int m_stopAt;
};

} // namespace

// A look-up on the web waits behind the wait window of the floor above: a
// server that answers is read through it as before; one that keeps silent
// is waited for only until Stop, and then nothing is said and nothing kept.
TEST_F(WebReadTest, ALookUpWaitsBehindTheWaitWindowAndEndsAtStop)
{
    QStringList titles;
    int steps = 0;
    NetworkWait::SetWindowMaker([&](const QString &title) -> std::unique_ptr<NetworkWait::Window> {
        titles << title;
        return std::make_unique<CountingWait>(steps, 5);
    });
    QString text;
    EXPECT_TRUE(HttpGetText(server.url(QStringLiteral("/note.txt")), text));
    EXPECT_EQ(text, QStringLiteral("Caf\u00e9 open"));
    EXPECT_EQ(titles, QStringList{QStringLiteral("Reading ") + server.url(QStringLiteral("/note.txt"))});

    testservers::SilentServer silent;
    ASSERT_TRUE(silent.started());
    const QString quiet = QStringLiteral("http://127.0.0.1:%1/shop.bin").arg(silent.port());
    titles.clear();
    steps = 0;
    text = QStringLiteral("kept");
    EXPECT_FALSE(HttpGetText(quiet, text));
    EXPECT_EQ(text, QStringLiteral("kept"));
    EXPECT_EQ(steps, 5) << "the wait went on after Stop";
    steps = 0;
    EXPECT_FALSE(DownloadFile(quiet, folder, false));
    EXPECT_EQ(steps, 5);
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_EQ(titles, QStringList(2, QStringLiteral("Reading ") + quiet));
    EXPECT_TRUE(prompts().shown().isEmpty());
    NetworkWait::SetWindowMaker(nullptr);
}
