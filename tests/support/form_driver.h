#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "ui/form1.h"
#include "ui/line_list_view.h"

// Answers the program's modal message boxes during a test and records them.
// Each box gets the next queued answer, or OK when none is queued.
class MessageBoxAnswerer {
public:
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxAnswerer()
    {
        timer_.callOnTimeout([this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            texts_ << box->text();
            QAbstractButton *button = box->button(answers_.isEmpty() ? QMessageBox::Ok : answers_.takeFirst());
            button ? button->click() : box->reject();
        });
        timer_.start(5);
    }
    void queue(QMessageBox::StandardButton answer) { answers_ << answer; }
    const std::vector<Seen> &seen() const { return seen_; }
    QStringList texts() const { return texts_; }

private:
    QTimer timer_;
    QList<QMessageBox::StandardButton> answers_;
    std::vector<Seen> seen_;
    QStringList texts_;
};

// A shown Form1 driven through its controls, its message boxes answered.
// Actions can be scheduled to run inside a command, while it lets window
// events run. Closing the window quits only an application event loop, which
// a test runs only on purpose.
class FormDriver {
public:
    FormDriver() : form(std::make_unique<Form1>())
    {
        form->show();
        form->activateWindow();
    }

    bool ready() { return QTest::qWaitForWindowActive(form.get()); }
    // Types a number and clicks a command button; returns when the command has ended.
    void run(QPushButton *button, const QString &number)
    {
        form->Text1->setText(number);
        click(button);
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void pressEsc() { QTest::keyClick(form.get(), Qt::Key_Escape); }

    // Runs `action` once, the first time events run while `condition` holds.
    void when(std::function<bool()> condition, std::function<void()> action)
    {
        auto *timer = new QTimer(form.get());
        QObject::connect(timer, &QTimer::timeout, timer, [timer, condition, action] {
            if (!condition())
                return;
            timer->stop();
            timer->deleteLater();
            action();
        });
        timer->start(0);
    }

    static QStringList lines(LineListView *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->lineAt(row);
        return texts;
    }
    static void fill(LineListView *list, const QStringList &texts)
    {
        for (const QString &text : texts)
            list->addItem(text);
    }
    static QPoint rowCenter(LineListView *list, int row)
    {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    QStringList results() const { return lines(form->List1); }
    QStringList ratios() const { return lines(form->lsLMO); }

    MessageBoxAnswerer boxes;
    std::unique_ptr<Form1> form;
};
