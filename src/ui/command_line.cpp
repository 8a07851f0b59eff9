#include "ui/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/form1.h"

namespace command_line {

namespace {
void defineOptions(QCommandLineParser &parser)
{
    // Qt's own options are single-dash words (-platform, -reverse); read as
    // long options they cannot pass for a bundle of -h or -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Tests, factors and lists whole numbers of up to 28 digits."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("number"),
                                 QStringLiteral("Number to put into the entry box at start."),
                                 QStringLiteral("[number]"));
}
}  // namespace

void describeApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorvelan"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORVELAN_VERSION));
}

bool asksForHelpOrVersion(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    defineOptions(parser);
    // Options unknown here may be the window system's; only these three count.
    parser.parse(arguments);
    return parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
           parser.isSet(QStringLiteral("version"));
}

QString numberArgument(const QStringList &arguments)
{
    QCommandLineParser parser;
    defineOptions(parser);
    parser.process(arguments);
    const QStringList numbers = parser.positionalArguments();
    if (numbers.size() > 1) {
        std::fprintf(stderr, "%s: give at most one number.\n",
                     qPrintable(QCoreApplication::applicationName()));
        std::exit(EXIT_FAILURE);
    }
    return numbers.value(0);
}

void enterStartNumber(Form1 &window, const QString &number)
{
    if (!number.isEmpty())
        window.Text1_OLEDragDrop(number);
}

}  // namespace command_line
