#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>
#include <algorithm>
#include <iterator>

#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

// The letter keys that the window and its lists act on.
constexpr Qt::Key kLetterKeys[] = {Qt::Key_C, Qt::Key_D, Qt::Key_F, Qt::Key_P, Qt::Key_Z};

bool isOwnLetterKey(int key) { return std::ranges::find(kLetterKeys, key) != std::end(kLetterKeys); }

// A letter other than A to Z, as the letter keys type under a Cyrillic or
// Greek layout. Qt's key codes below Key_Escape are characters.
bool isOtherLetter(int key)
{
    return key > 0x7f && key < Qt::Key_Escape && QChar::isLetter(static_cast<char32_t>(key));
}

}  // namespace

// The letter keys act by the key, whatever the keyboard layout: under a
// layout without Latin letters they type other letters, and only Qt's
// shortcut matching knows them by their Latin keys. A shortcut for each
// letter and each state of Shift, Ctrl and Alt catches them there; a Latin
// letter key never gets that far (see the ShortcutOverride case below).
void Form1::addLetterKeyShortcuts()
{
    const Qt::KeyboardModifiers states[] = {
        Qt::NoModifier,
        Qt::ShiftModifier,
        Qt::ControlModifier,
        Qt::ShiftModifier | Qt::ControlModifier,
        Qt::AltModifier,
        Qt::AltModifier | Qt::ShiftModifier,
        Qt::AltModifier | Qt::ControlModifier,
        Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier,
    };
    for (Qt::Key key : kLetterKeys) {
        for (Qt::KeyboardModifiers state : states) {
            auto *shortcut = new QShortcut(QKeySequence(QKeyCombination(state, key)), this);
            connect(shortcut, &QShortcut::activated, this,
                    [this, key] { previewKeyDown(QApplication::focusWidget(), key); });
        }
    }
}

bool Form1::isOwnWidget(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && (widget == this || isAncestorOf(widget));
}

// Key preview: every key event addressed to this window or one of its
// controls is seen here first; the event then goes on as usual. Qt offers a
// key that a widget ignores to its parents; that is still the same key.
bool Form1::isOwnKeyEvent(QObject *watched, QEvent *event)
{
    if (!isOwnWidget(watched))
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    auto *lastReceiver = qobject_cast<QWidget *>(previewedKeyReceiver_.data());
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool passedOn = event == previewedKey_ && key == previewedKeyCode_ && lastReceiver &&
                          widget != lastReceiver && widget->isAncestorOf(lastReceiver);
    if (passedOn)
        return false;
    previewedKey_ = event;
    previewedKeyCode_ = key;
    previewedKeyReceiver_ = watched;
    return true;
}

void Form1::previewKeyDown(QObject *receiver, int keyCode)
{
    Form_KeyDown(keyCode);
    if (receiver == Text1)
        Text1_KeyDown(keyCode);
    else if (receiver == List1)
        List1_KeyDown(keyCode);
    else if (receiver == lsLMO)
        lsLMO_KeyDown(keyCode);
}

bool Form1::previewMousePress(QObject *watched, QEvent *event)
{
    const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
    const bool onList = watched == List1->viewport() || watched == lsLMO->viewport();
    // The second press of a double-click comes as a double-click, which the
    // list would take as a press; a right-click keeps the selection.
    if (event->type() == QEvent::MouseButtonDblClick)
        return onList && button == Qt::RightButton;
    if (watched == Text1) {
        // The box places its caret first; the handler then sees the result.
        static_cast<QObject *>(Text1)->event(event);
        Text1_MouseDown();
        return true;
    }
    if (watched == List1->viewport())
        List1_MouseDown(button);
    else if (watched == lsLMO->viewport())
        lsLMO_MouseDown(button);
    return onList && button == Qt::RightButton;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // A Latin letter key of ours comes as a key press, and so goes on to
        // the focused control as well. Another letter is left to the shortcut
        // matching, even in the entry box: a key that turns out to be none of
        // ours then comes as a key press all the same.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (!isOwnWidget(watched) || !(isOwnLetterKey(key) || isOtherLetter(key)))
            break;
        event->setAccepted(isOwnLetterKey(key));
        return true;
    }
    case QEvent::KeyPress: {
        if (!isOwnKeyEvent(watched, event))
            break;
        previewKeyDown(watched, static_cast<QKeyEvent *>(event)->key());
        // The lists' own Ctrl+C would overwrite what their C key has copied.
        if ((watched == List1 || watched == lsLMO) && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy))
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        if (!keyEvent->isAutoRepeat() && isOwnKeyEvent(watched, event))
            Form_KeyUp(keyEvent->key());
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (previewMousePress(watched, event))
            return true;
        break;
    case QEvent::MouseMove:
        if (watched == List1->viewport())
            List1_MouseMove();
        else if (watched == lsLMO->viewport())
            lsLMO_MouseMove();
        break;
    case QEvent::Drop:
        if (watched == Text1) {
            auto *drop = static_cast<QDropEvent *>(event);
            if (drop->mimeData()->hasText()) {
                Text1_OLEDragDrop(drop->mimeData()->text());
                drop->acceptProposedAction();
            }
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
