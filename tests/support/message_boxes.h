#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <deque>

// Answers the program's modal message boxes during a test and records them.
// Each box gets the next queued answer, or OK when none is queued.
class MessageBoxAnswerer {
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxAnswerer()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answerActiveBox(); });
        timer_.start();
    }

    void queue(QMessageBox::StandardButton answer) { answers_.push_back(answer); }
    const std::vector<Seen> &seen() const { return seen_; }
    QStringList texts() const
    {
        QStringList list;
        for (const Seen &s : seen_)
            list << s.text;
        return list;
    }

private:
    void answerActiveBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        if (QAbstractButton *button = box->button(answer))
            button->click();
        else
            box->reject();
    }

    QTimer timer_;
    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<Seen> seen_;
};
