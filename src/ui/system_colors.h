#pragma once

#include <QColor>

class QLabel;
class QLineEdit;

// System colours by their index, mapped to the application palette.
enum SystemColor {
    COLOR_ACTIVECAPTION = 2,
    COLOR_MENUTEXT = 7,
    COLOR_BTNFACE = 15,
    COLOR_GRAYTEXT = 17,
};

QColor systemColor(SystemColor index);

// Text colour of a label (WindowText) or a line edit (Text), via the palette.
void setTextColor(QLabel *label, const QColor &color);
void setTextColor(QLineEdit *edit, const QColor &color);
QColor textColor(const QLabel *label);
QColor textColor(const QLineEdit *edit);
