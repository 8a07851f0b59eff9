#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/form1.h"

namespace command_line {

namespace {

const QString kAnalyze = QStringLiteral("analyze");
const QString kQuick = QStringLiteral("quick");
const QString kGenerate = QStringLiteral("generate");
const QString kAbove = QStringLiteral("above");
const QString kCount = QStringLiteral("count");
const QString kNoIntervals = QStringLiteral("no-intervals");
const QString kJson = QStringLiteral("json");

void defineOptions(QCommandLineParser &parser)
{
    // Qt's own options are single-dash words (-platform, -reverse); read as
    // long options they cannot pass for a bundle of -h or -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Tests, factors and lists whole numbers of up to 28 digits.\n"
                       "\n"
                       "  zorvelan [number]                the window, the number in its entry box\n"
                       "  zorvelan --analyze [number ...]  what Analyze shows, for each number\n"
                       "  zorvelan --quick [number ...]    what Quick Test shows, for each number\n"
                       "  zorvelan --generate number [--above [--count K]] [--no-intervals]\n"
                       "                                   the primes up to the number, in the\n"
                       "                                   layout of Generate's list file\n"
                       "\n"
                       "The text modes print on standard output and need no display. --analyze and\n"
                       "--quick without numbers read them from standard input, one a line.\n"
                       "With --json each report is one JSON object on one line; whole numbers are\n"
                       "strings of their digits, counts are numbers:\n"
                       "  --analyze   {\"number\", \"verdict\", \"prime\", \"factors\": [[\"2\", 3], ...],\n"
                       "               \"divisors\": [\"1\", ...], \"total_divisors\", \"sum_of_factors\",\n"
                       "               \"perfect\", \"best_nonfactors\": [{\"divisor\", \"fraction\"}, ...]}\n"
                       "  --quick     {\"number\", \"verdict\", \"results\": [lines of the results list]}\n"
                       "  --generate  {\"prime\": \"11\", \"interval\": 4} for each prime\n"
                       "  refused     {\"number\": \"12x\", \"error\": \"Value cannot be evaluated.\"}\n"
                       "On a terminal, standard error shows the status line while a run takes long.\n"
                       "Exit status: 0 when all was done, 1 when an entry was refused, 2 for a\n"
                       "mistake in the options."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {kAnalyze, QStringLiteral("For each number print what Analyze shows: the result line, the results "
                                  "list, the caption of the divisor-ratio panel and its list, and an empty line.")},
        {kQuick, QStringLiteral("For each number print what Quick Test shows: the result line, the "
                                "results list and an empty line.")},
        {kGenerate, QStringLiteral("Print the primes up to the number, each with its interval, one a "
                                   "line, as Generate's list file lays them out.")},
        {kAbove, QStringLiteral("With --generate: the primes greater than the number, without end.")},
        {kCount, QStringLiteral("With --generate --above: stop after <K> primes."), QStringLiteral("K")},
        {kNoIntervals, QStringLiteral("With --generate: leave out the interval column.")},
        {kJson, QStringLiteral("With --analyze, --quick or --generate: one JSON object a line for each "
                               "report, prime or refused entry.")},
    });
    parser.addPositionalArgument(QStringLiteral("number"),
                                 QStringLiteral("Number to put into the entry box at start; "
                                                "the numbers for --analyze and --quick; the number for --generate."),
                                 QStringLiteral("[number ...]"));
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
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", name.constData(), qPrintable(problem),
                 name.constData());
    std::exit(kBadArguments);
}

TextRequest::Mode checkedMode(const QCommandLineParser &parser)
{
    const int modes = int(parser.isSet(kAnalyze)) + int(parser.isSet(kQuick)) + int(parser.isSet(kGenerate));
    if (modes > 1)
        refuseArguments(QStringLiteral("give one of --analyze, --quick and --generate."));
    if (!parser.isSet(kGenerate) && (parser.isSet(kAbove) || parser.isSet(kCount) || parser.isSet(kNoIntervals)))
        refuseArguments(QStringLiteral("--above, --count and --no-intervals go with --generate."));
    if (modes == 0)
        refuseArguments(QStringLiteral("--json goes with --analyze, --quick or --generate."));
    return parser.isSet(kAnalyze) ? TextRequest::Mode::Analyze
           : parser.isSet(kQuick) ? TextRequest::Mode::Quick
                                  : TextRequest::Mode::Generate;
}

TextRequest checkedRequest(const QCommandLineParser &parser)
{
    TextRequest request;
    request.mode = checkedMode(parser);
    request.numbers = parser.positionalArguments();
    request.above = parser.isSet(kAbove);
    request.noIntervals = parser.isSet(kNoIntervals);
    request.json = parser.isSet(kJson);
    if (request.mode != TextRequest::Mode::Generate)
        return request;
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
    bool textMode = false;
    for (const QString &option : {kAnalyze, kQuick, kGenerate, kAbove, kCount, kNoIntervals, kJson})
        textMode = textMode || parser.isSet(option);
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
        std::fprintf(stderr, "%s: give at most one number.\n", qPrintable(QCoreApplication::applicationName()));
        std::exit(EXIT_FAILURE);
    }
    return numbers.value(0);
}

bool displayNamed(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void endWithoutDisplay(const char *reason)
{
    const QByteArray name = QCoreApplication::applicationName().toLocal8Bit();
    std::fprintf(stderr,
                 "%s: no display for the window: %s.\n"
                 "Without a display, --analyze, --quick and --generate give text output; see '%s --help'.\n",
                 name.constData(), reason, name.constData());
    std::exit(EXIT_FAILURE);
}

void endIfDisplayFails(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg)
        endWithoutDisplay("the window system could not be reached");
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void enterStartNumber(Form1 &window, const QString &number)
{
    if (!number.isEmpty())
        window.Text1_OLEDragDrop(number);
}

}  // namespace command_line
