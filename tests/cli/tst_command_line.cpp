#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "cli/command_line.h"
#include "generator/list_folder.h"
#include "ui/form1.h"

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void listFolder()
    {
        QTemporaryDir scratch;
        const QString documents = scratch.filePath("home/Documents");
        QCOMPARE(chooseListFolder(scratch.path(), documents), scratch.path());
        QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        // Nobody, root included, can create files in /proc/self.
        QCOMPARE(chooseListFolder("/proc/self", documents), documents);
        QVERIFY(QFileInfo(documents).isDir());
    }

    void helpAndVersionNeedNoDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        QProcess program;
        program.setProcessEnvironment(environment);
        for (const QString option : {"--version", "-h"}) {
            program.start(ZORVELAN_EXECUTABLE, {option});
            QVERIFY(program.waitForFinished() && program.exitCode() == 0);
            const QByteArray out = program.readAllStandardOutput();
            QVERIFY(out.startsWith(option == "-h" ? "Usage: " : "zorvelan " ZORVELAN_VERSION "\n"));
            if (option == "-h")  // the help names every mode and option of the text modes
                for (const char *mode :
                     {"--analyze", "--quick", "--generate", "--above", "--count", "--no-intervals", "--json"})
                    QVERIFY2(out.contains(mode), mode);
        }
    }

    // A number given on the command line reaches the entry box as if pasted.
    void numberReachesEntryBoxCleaned()
    {
        const QList<std::pair<QStringList, QString>> rows = {
            {{}, "Enter a number"}, {{" 0042 "}, "42"}, {{"12x"}, "12x"}};
        for (const auto &[arguments, entry] : rows) {
            Form1 window;
            command_line::enterStartNumber(window, command_line::numberArgument(QStringList{"zorvelan"} + arguments));
            QCOMPARE(window.Text1->text(), entry);
        }
    }
};

QTEST_MAIN(CommandLineTest)
#include "tst_command_line.moc"
