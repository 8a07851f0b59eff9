#include <QCoreApplication>
#include <QIcon>

#include "cli/command_line.h"
#include "cli/text_mode.h"
#include "ui/application.h"
#include "ui/form1.h"

int main(int argc, char *argv[])
{
    command_line::describeApplication();
    if (command_line::asksForHelpOrVersion(argc, argv)) {
        QCoreApplication app(argc, argv);
        command_line::numberArgument(app.arguments());  // prints, then ends the program
        return EXIT_SUCCESS;
    }
    if (const auto request = command_line::textRequest(argc, argv))
        return text_mode::run(*request, argv[0]);
    if (!command_line::displayNamed(argc, argv))
        command_line::endWithoutDisplay("DISPLAY and WAYLAND_DISPLAY are not set");
    const QtMessageHandler previousHandler = qInstallMessageHandler(command_line::endIfDisplayFails);
    ZorvelanApplication app(argc, argv);
    qInstallMessageHandler(previousHandler);
    const QString number = command_line::numberArgument(app.arguments());
    QGuiApplication::setDesktopFileName(QStringLiteral(ZORVELAN_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zorvelan.svg")));
    Form1 window;
    command_line::enterStartNumber(window, number);
    window.show();
    return app.exec();
}
