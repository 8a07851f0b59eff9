#include "ui/system_colors.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

QColor systemColor(SystemColor index)
{
    const QPalette palette = QApplication::palette();
    switch (index) {
    case COLOR_ACTIVECAPTION:
        return palette.color(QPalette::Highlight);
    case COLOR_MENUTEXT:
        return palette.color(QPalette::WindowText);
    case COLOR_BTNFACE:
        return palette.color(QPalette::Button);
    case COLOR_GRAYTEXT:
        return palette.color(QPalette::PlaceholderText);
    }
    return palette.color(QPalette::WindowText);
}

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

void setTextColor(QLineEdit *edit, const QColor &color)
{
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, color);
    edit->setPalette(p);
}

QColor textColor(const QLabel *label) { return label->palette().color(QPalette::WindowText); }
QColor textColor(const QLineEdit *edit) { return edit->palette().color(QPalette::Text); }
