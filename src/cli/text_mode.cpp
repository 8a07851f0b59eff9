#include "cli/text_mode.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

#include "generator/standard_output.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Drives one never-shown window through the request. Its message boxes become
// lines on standard error that name the entry.
class TextSession {
public:
    explicit TextSession(Form1 &form) : form_(form)
    {
        form_.endProgram = [] {};
        form_.answerMessage = [this](const QString &text, QMessageBox::Icon, QMessageBox::StandardButtons buttons) {
            return answer(text, buttons);
        };
    }

    // Reports on each number in turn, those given or those read from
    // standard input; stops early when standard output ends.
    void report(const TextRequest &request);
    void generate(const TextRequest &request);
    bool someRefused() const { return someRefused_; }

private:
    void reportOnInput(TextRequest::Mode mode);
    void reportOn(const QString &input, TextRequest::Mode mode);
    void print(const QString &text) { print(text.toUtf8()); }
    void print(const QByteArray &text) { output_.append({text.constData(), static_cast<std::size_t>(text.size())}); }
    void printLines(LineListView *list);
    QMessageBox::StandardButton answer(const QString &text, QMessageBox::StandardButtons buttons);

    Form1 &form_;
    LineBuffer output_;
    QString input_;
    bool answered_ = false;  // a message came instead of a report
    bool someRefused_ = false;
};

void TextSession::report(const TextRequest &request)
{
    if (request.numbers.isEmpty())
        return reportOnInput(request.mode);
    for (const QString &number : request.numbers) {
        reportOn(number, request.mode);
        if (standard_output::ended())
            return;
    }
}

// One number a line, each reported as soon as its line is read. Blanks
// around a number go, as in the entry box; a line of blanks holds no number.
void TextSession::reportOnInput(TextRequest::Mode mode)
{
    char *line = nullptr;
    std::size_t capacity = 0;
    ssize_t length = 0;
    while (!standard_output::ended() && (length = getline(&line, &capacity, stdin)) >= 0) {
        const QString number = QString::fromLocal8Bit(line, length).trimmed();
        if (!number.isEmpty())
            reportOn(number, mode);
    }
    std::free(line);
}

// What the window shows after the command, top to bottom and left to right,
// unless the entry was refused. The lines go out once the report is whole.
void TextSession::reportOn(const QString &input, TextRequest::Mode mode)
{
    input_ = input;
    answered_ = false;
    form_.Text1_OLEDragDrop(input);
    const bool analyze = mode == TextRequest::Mode::Analyze;
    analyze ? form_.cmdAnalyze_Click() : form_.cmdTest_Click();
    if (answered_)
        return;
    print(form_.Label1->text());
    printLines(form_.List1);
    if (analyze) {
        print(form_.Label12->text());
        printLines(form_.lsLMO);
    }
    print(QByteArray());
    output_.flush();
}

// Stops early when the reader has gone: the rest of a long report would
// only be thrown away.
void TextSession::printLines(LineListView *list)
{
    const int count = list->count();
    for (int row = 0; row < count && !standard_output::ended(); ++row)
        print(list->lineAt(row));
}

// A file-mode Generate, with the keys held that choose the list: Ctrl for the
// file, Shift for the primes above the entry, Z for no interval column.
void TextSession::generate(const TextRequest &request)
{
    input_ = request.numbers.value(0);
    form_.Text1_OLEDragDrop(input_);
    form_.listToStandardOutput = Form1::StandardOutputList{request.count};
    form_.Form_KeyDown(Qt::Key_Control);
    if (request.above)
        form_.Form_KeyDown(Qt::Key_Shift);
    if (request.noIntervals)
        form_.Form_KeyDown(Qt::Key_Z);
    form_.cmdList_Click();
}

QMessageBox::StandardButton TextSession::answer(const QString &text, QMessageBox::StandardButtons buttons)
{
    someRefused_ = answered_ = true;
    // The one question a text mode meets: Generate on the entry 2 offers the
    // open-ended list above it, which --above asks for. It is declined.
    const bool question = buttons.testFlag(QMessageBox::Cancel);
    const QString message = question ? text.section(kCrLf, 0, 0) + QStringLiteral(" Add --above to list them.")
                                     : QString(text).replace(kCrLf, QStringLiteral(" "));
    std::fprintf(stderr, "%s: '%s': %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(input_),
                 qPrintable(message));
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
    TextSession session(form);
    if (request.mode == TextRequest::Mode::Generate)
        session.generate(request);
    else
        session.report(request);
    if (const std::string failure = standard_output::failure(); !failure.empty()) {
        std::fprintf(stderr, "%s: standard output: %s\n", qPrintable(QCoreApplication::applicationName()),
                     failure.c_str());
        return 1;
    }
    return session.someRefused() ? 1 : 0;
}

}  // namespace text_mode
