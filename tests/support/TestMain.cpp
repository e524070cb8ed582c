#include <QtCore/QStandardPaths>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// A call by name to a method the receiver does not have is lost without a
// trace but this warning: it fails the test that made it.
void failOnLostCalls(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("No such method")))
        ADD_FAILURE() << "a call by name went nowhere: " << message.toStdString();
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

// Names the running test for the audit of questions asked while the file is
// held (TAVREL_AUDIT_HELD_FILE), which writes it beside each such question.
class NameForTheAudit : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &test) override
    {
        qputenv("TAVREL_AUDIT_TEST", QByteArray(test.test_suite_name()) + '.' + test.name());
    }
};

} // namespace

// Every test program runs with a (headless) application object, as the
// program's code expects one.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    QStandardPaths::setTestModeEnabled(true);
    g_previousHandler = qInstallMessageHandler(failOnLostCalls);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsEmpty("TAVREL_AUDIT_HELD_FILE"))
        ::testing::UnitTest::GetInstance()->listeners().Append(new NameForTheAudit);
    return RUN_ALL_TESTS();
}
