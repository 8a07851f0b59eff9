#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "support/message_boxes.h"
#include "ui/extent_list.h"
#include "ui/form1.h"

// A shown Form1 driven through its controls, its message boxes answered with
// OK. Actions can be scheduled to run inside a command, while it lets window
// events run.
class FormDriver {
public:
    FormDriver() : form(std::make_unique<Form1>())
    {
        form->endProgram = [] {};
        form->show();
        form->activateWindow();
    }
    ~FormDriver() { form.reset(); }

    bool ready() { return QTest::qWaitForWindowActive(form.get()); }

    // Types a number and clicks a command button; returns when the command has ended.
    void run(QPushButton *button, const QString &number)
    {
        form->Text1->setText(number);
        click(button);
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Runs `action` once, the first time events run while `condition` holds.
    void when(std::function<bool()> condition, std::function<void()> action)
    {
        auto *timer = new QTimer(form.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, condition, action] {
            if (!condition())
                return;
            timer->stop();
            timer->deleteLater();
            action();
        });
        timer->start();
    }

    void pressEsc() { QTest::keyClick(form.get(), Qt::Key_Escape); }

    static QStringList lines(const QListWidget *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }
    QStringList results() const { return lines(form->List1); }
    QStringList ratios() const { return lines(form->lsLMO); }

    MessageBoxAnswerer boxes;
    std::unique_ptr<Form1> form;
};
