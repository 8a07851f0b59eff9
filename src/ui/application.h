#pragma once

#include <QApplication>

// The program's application object. Every event handler runs inside notify();
// an exception that a handler did not deal with is shown to the user in a
// message box instead of ending the program.
class ZorvelanApplication : public QApplication {
public:
    ZorvelanApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
