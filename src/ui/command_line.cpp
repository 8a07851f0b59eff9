#include "ui/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/form1.h"

namespace command_line {

namespace {

const QString kGenerate = QStringLiteral("generate");
const QString kAbove = QStringLiteral("above");
const QString kCount = QStringLiteral("count");
const QString kNoIntervals = QStringLiteral("no-intervals");

void defineOptions(QCommandLineParser &parser)
{
    // Qt's own options are single-dash words (-platform, -reverse); read as
    // long options they cannot pass for a bundle of -h or -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Tests, factors and lists whole numbers of up to 28 digits.\n"
        "Without options it opens the window. --generate prints on standard output, "
        "with no display needed."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {kGenerate, QStringLiteral("Print the list file of Generate for the number: the primes up to it, "
                                   "each with its interval, one a line.")},
        {kAbove, QStringLiteral("With --generate: the primes greater than the number, without end.")},
        {kCount, QStringLiteral("With --generate --above: stop after <K> primes."), QStringLiteral("K")},
        {kNoIntervals, QStringLiteral("With --generate: leave out the interval column.")},
    });
    parser.addPositionalArgument(QStringLiteral("number"),
                                 QStringLiteral("Number to put into the entry box at start, "
                                                "or the number for --generate."),
                                 QStringLiteral("[number]"));
}

QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

[[noreturn]] void refuseArguments(const QString &problem)
{
    const QByteArray name = QCoreApplication::applicationName().toLocal8Bit();
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", name.constData(),
                 qPrintable(problem), name.constData());
    std::exit(kBadArguments);
}

TextRequest checkedRequest(const QCommandLineParser &parser)
{
    TextRequest request;
    request.numbers = parser.positionalArguments();
    request.above = parser.isSet(kAbove);
    request.noIntervals = parser.isSet(kNoIntervals);
    if (!parser.isSet(kGenerate))
        refuseArguments(QStringLiteral("--above, --count and --no-intervals go with --generate."));
    if (request.numbers.size() != 1)
        refuseArguments(QStringLiteral("--generate takes one number."));
    if (parser.isSet(kCount)) {
        if (!request.above)
            refuseArguments(QStringLiteral("--count goes with --above: a list up to the number ends by itself."));
        bool whole = false;
        request.count = parser.value(kCount).toULongLong(&whole);
        if (!whole || request.count == 0)
            refuseArguments(QStringLiteral("--count takes a whole number of primes, at least 1."));
    }
    return request;
}

}  // namespace

void describeApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorvelan"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORVELAN_VERSION));
}

bool asksForHelpOrVersion(int argc, char **argv)
{
    QCommandLineParser parser;
    defineOptions(parser);
    // Options unknown here may be the window system's; only these three count.
    parser.parse(argumentList(argc, argv));
    return parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
           parser.isSet(QStringLiteral("version"));
}

std::optional<TextRequest> textRequest(int argc, char **argv)
{
    QCommandLineParser parser;
    defineOptions(parser);
    const bool parsed = parser.parse(argumentList(argc, argv));
    const bool textMode = parser.isSet(kGenerate) || parser.isSet(kAbove) || parser.isSet(kCount) ||
                          parser.isSet(kNoIntervals);
    if (!textMode)
        return std::nullopt;
    // The text modes take no window-system options: anything unknown is a mistake.
    if (!parsed)
        refuseArguments(parser.errorText());
    return checkedRequest(parser);
}

QString numberArgument(const QStringList &arguments)
{
    QCommandLineParser parser;
    defineOptions(parser);
    if (!parser.parse(arguments))
        refuseArguments(parser.errorText());
    parser.process(arguments);  // prints the help or the version, if asked, and ends the program
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
