#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/text_request.h"

class Form1;

// The program's command line: --help, --version, the text modes and an
// optional number for the entry box.
namespace command_line {
// The exit status for an unknown option or options that do not go together.
constexpr int kBadArguments = 2;

// Sets the name and version that --version prints.
void describeApplication();
// True when the arguments ask for help or the version. These are answered
// before any window system is touched, so they work without a display.
bool asksForHelpOrVersion(int argc, char **argv);
// The text mode the arguments ask for, if any. Mistakes in a text-mode
// command line are printed and end the program with kBadArguments.
std::optional<TextRequest> textRequest(int argc, char **argv);
// Parses the arguments. Help, the version and mistakes are printed and end
// the program; otherwise returns the number given, or an empty text.
QString numberArgument(const QStringList &arguments);
// True when a display is named (DISPLAY, WAYLAND_DISPLAY) or a platform is
// chosen (QT_QPA_PLATFORM, -platform), so that opening the window can be tried.
bool displayNamed(int argc, char **argv);
// Says that the window needs a display and the text modes do not, and ends
// the program with status 1.
[[noreturn]] void endWithoutDisplay(const char *reason);
// A message handler for while the window system is opened: a fatal failure
// to open it ends the program through endWithoutDisplay() instead of an
// abort; other messages are printed as usual.
void endIfDisplayFails(QtMsgType type, const QMessageLogContext &context, const QString &message);
// Puts the number into the entry box as a paste would: the box's change
// handler cleans it up. An empty text leaves the prompt standing.
void enterStartNumber(Form1 &window, const QString &number);
}  // namespace command_line
