#pragma once

#include <QProcess>
#include <QStringList>

// The built program run as a user runs it, with no display.
struct Run {
    int status = -1;
    bool signalled = false;
    QByteArray out, err;
};

inline QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    return environment;
}

inline Run run(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess program;
    program.setProcessEnvironment(withoutDisplay());
    program.start(ZORVELAN_EXECUTABLE, arguments);
    program.write(input);
    program.closeWriteChannel();
    if (!program.waitForFinished(-1))
        return {};
    return {program.exitCode(), program.exitStatus() == QProcess::CrashExit, program.readAllStandardOutput(),
            program.readAllStandardError()};
}
