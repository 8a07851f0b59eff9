#include "cli/text_mode.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "cli/output.h"
#include "cli/reports.h"
#include "cli/shown_entry.h"
#include "cli/terminal_progress.h"
#include "cli/window_report.h"
#include "ui/form1.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Drives one never-shown window through the request. Its message boxes become
// lines on standard error that name the entry, and in the JSON form also
// objects in their place on standard output.
class TextSession {
public:
    TextSession(Form1 &form, const TextRequest &request)
        : form_(form), request_(request), progress_([this] { return status(); })
    {
        form_.endProgram = [] {};
        form_.answerMessage = [this](const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons buttons) {
            return answer(text, buttons);
        };
    }

    // Reports on each number in turn, those given or those read from
    // standard input; stops early when standard output ends.
    void report();
    void generate();
    bool someRefused() const { return someRefused_; }

private:
    void reportOnInput();
    void reportOn(const QString &input, const QByteArray &asGiven);
    void print();
    QString status() const;
    QString listStatus() const;
    QMessageBox::StandardButton answer(const QString &text, QMessageBox::StandardButtons buttons);

    Form1 &form_;
    const TextRequest &request_;
    Output output_;
    TerminalProgress progress_;
    QString shownInput_;  // the entry as the messages name it
    bool listing_ = false;
    bool answered_ = false;  // a message came instead of a report
    bool someRefused_ = false;
};

void TextSession::report()
{
    if (request_.numbers.isEmpty())
        return reportOnInput();
    for (const QString &number : request_.numbers) {
        reportOn(number, number.toUtf8());
        if (standard_output::ended())
            return;
    }
}

// One number a line, each reported as soon as its line is read. Blanks
// around a number go, as in the entry box; a line of blanks holds no number.
void TextSession::reportOnInput()
{
    char *line = nullptr;
    std::size_t capacity = 0;
    ssize_t length = 0;
    while (!standard_output::ended() && (length = getline(&line, &capacity, stdin)) >= 0) {
        const QByteArray asGiven = QByteArray(line, length).trimmed();
        const QString number = QString::fromLocal8Bit(asGiven).trimmed();
        if (!number.isEmpty())
            reportOn(number, asGiven);
    }
    std::free(line);
}

// What the window shows after the command, unless the entry was refused.
// The report goes out once it is whole.
void TextSession::reportOn(const QString &input, const QByteArray &asGiven)
{
    shownInput_ = shownEntry(asGiven);
    answered_ = false;
    form_.Text1_OLEDragDrop(input);
    progress_.begin();
    request_.mode == TextRequest::Mode::Analyze ? form_.cmdAnalyze_Click() : form_.cmdTest_Click();
    progress_.erase();
    if (!answered_)
        print();
    output_.flush();
}

void TextSession::print()
{
    const WindowReport report(form_);
    const bool analyze = request_.mode == TextRequest::Mode::Analyze;
    if (!request_.json)
        reports::printText(output_, report, analyze);
    else if (analyze)
        reports::printAnalyzeJson(output_, report);
    else
        reports::printQuickJson(output_, report);
}

// A file-mode Generate, with the keys held that choose the list: Ctrl for the
// file, Shift for the primes above the entry, Z for no interval column.
void TextSession::generate()
{
    const QString input = request_.numbers.value(0);
    shownInput_ = shownEntry(input.toUtf8());
    form_.Text1_OLEDragDrop(input);
    form_.listToStandardOutput = Form1::StandardOutputList{request_.count,
                                                           request_.json ? reports::appendPrimeJson : nullptr};
    form_.Form_KeyDown(Qt::Key_Control);
    if (request_.above)
        form_.Form_KeyDown(Qt::Key_Shift);
    if (request_.noIntervals)
        form_.Form_KeyDown(Qt::Key_Z);
    // Lines streaming onto the terminal would break the status line up.
    listing_ = true;
    if (!isatty(STDOUT_FILENO))
        progress_.begin();
    form_.cmdList_Click();
    progress_.erase();
    output_.flush();
}

QString TextSession::status() const { return listing_ ? listStatus() : form_.Label4->text(); }

// A list to standard output leaves the status line as it was at the start;
// how far it has come is told by the latest prime written, which the run
// keeps in lcn.
QString TextSession::listStatus() const
{
    uint128 latest = 0;
    form_.lcn.toUInt128(latest);
    if (request_.above)
        return QStringLiteral("Generating primes... ") + QString::fromStdString(form_.lcn.trimmedText());
    uint128 limit = 0;
    DecimalNum::fromText(form_.Text1->text().toStdString()).toUInt128(limit);
    const auto percent = limit == 0 ? 0 : static_cast<unsigned>(latest * 100 / limit);
    return QStringLiteral("Generating: %1% complete.").arg(percent);
}

QMessageBox::StandardButton TextSession::answer(const QString &text, QMessageBox::StandardButtons buttons)
{
    someRefused_ = answered_ = true;
    progress_.erase();
    // The one question a text mode meets: Generate on the entry 2 offers the
    // open-ended list above it, which --above asks for. It is declined.
    const bool question = buttons.testFlag(QMessageBox::Cancel);
    const QString message = question ? text.section(kCrLf, 0, 0) + QStringLiteral(" Add --above to list them.")
                                     : QString(text).replace(kCrLf, QStringLiteral(" "));
    std::fprintf(stderr, "%s: '%s': %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(shownInput_),
                 qPrintable(message));
    if (request_.json) {
        reports::printRefusedJson(output_, shownInput_, message);
        output_.flush();
    }
    return question ? QMessageBox::Cancel : QMessageBox::Ok;
}

// Qt's notes about the platform it runs on (a missing runtime folder, the
// fonts of a window nobody sees) do not belong in a text tool's output;
// only its errors are passed on.
void passOnErrorsOnly(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

namespace text_mode {

int run(const TextRequest &request, char *programPath)
{
    // Set before the application object is made, which loads the platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    standard_output::takeOverSignals();
    qInstallMessageHandler(passOnErrorsOnly);
    int argc = 1;
    char *argv[] = {programPath, nullptr};
    QApplication app(argc, argv);
    Form1 form;
    TextSession session(form, request);
    if (request.mode == TextRequest::Mode::Generate)
        session.generate();
    else
        session.report();
    if (const std::string failure = standard_output::failure(); !failure.empty()) {
        std::fprintf(stderr, "%s: standard output: %s\n", qPrintable(QCoreApplication::applicationName()),
                     failure.c_str());
        return 1;
    }
    return session.someRefused() ? 1 : 0;
}

}  // namespace text_mode
