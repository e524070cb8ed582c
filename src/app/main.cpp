#include <QtWidgets/QApplication>
#include <QtWidgets/QMainWindow>

#include "platform/Prompt.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    platform::Prompt::setDefaultCaption(QStringLiteral("Tavrel"));

    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Tavrel"));
    frame.resize(1024, 768);
    frame.show();
    return app.exec();
}
