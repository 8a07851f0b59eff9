#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "generator/list_folder.h"
#include "ui/command_line.h"
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

    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("version") << "--version" << "^zorvelan " ZORVELAN_VERSION "$";
        QTest::newRow("help") << "-h" << "^Usage: \\S*zorvelan \\[options\\] \\[number\\]$";
    }
    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QString, option);
        QFETCH(QString, firstLine);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(ZORVELAN_EXECUTABLE, {option});
        QVERIFY(program.waitForFinished() && program.exitCode() == 0);
        const QString printed = QString(program.readAllStandardOutput()).section('\n', 0, 0);
        QVERIFY2(QRegularExpression(firstLine).match(printed).hasMatch(), qPrintable(printed));
    }

    void numberReachesEntryBoxCleaned_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("entry");
        QTest::newRow("none") << QStringList() << "Enter a number";
        QTest::newRow("blanks and zeros") << QStringList{" 0042 "} << "42";
        QTest::newRow("letter kept") << QStringList{"12x"} << "12x";
    }
    void numberReachesEntryBoxCleaned()
    {
        QFETCH(QStringList, arguments);
        Form1 window;
        command_line::enterStartNumber(window, command_line::numberArgument(QStringList{"zorvelan"} + arguments));
        QTEST(window.Text1->text(), "entry");
    }
};

QTEST_MAIN(CommandLineTest)
#include "tst_command_line.moc"
