// The closing lines of a test: the verdict and the elapsed time.

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <limits>

#include "engine/clock.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/system_colors.h"
#include "ui/text_forms.h"

namespace {

QString twoDigits(qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString elapsedText(qint64 s)
{
    const QString prefix = QStringLiteral("Elapsed time: ");
    if (s < 1)
        return prefix + QStringLiteral("<1 sec");
    const qint64 h = s / 3600;
    const qint64 m = (s / 60) % 60;
    const qint64 r = s % 60;
    if (s < 60)
        return prefix + QStringLiteral("00:") + twoDigits(r);
    if (h == 0)
        return prefix + twoDigits(m) + QStringLiteral(":") + twoDigits(r);
    return prefix + qstr(trimmedText(static_cast<double>(h))) + QStringLiteral(":") + twoDigits(m) +
           QStringLiteral(":") + twoDigits(r);
}

}  // namespace

void Form1::subShowStartTime(const QDateTime &start)
{
    Label13->setText(QStringLiteral("Start time: ") + QLocale::system().toString(start.time(), QLocale::ShortFormat));
}

void Form1::subShowElapsed(const QDateTime &start) { Label13->setText(elapsedText(zclock::secondsSince(start))); }

void Form1::subShowVerdict()
{
    if (blEsc)
        return;
    const QString number = Text1->text();
    if (!blPrime) {
        setTextColor(Label1, systemColor(COLOR_MENUTEXT));
        Label1->setText(number + QStringLiteral(" is Composite"));
        return;
    }
    setTextColor(Label1, QColor(255, 0, 0));
    Label1->setText(number + QStringLiteral(" is Prime"));
    List1->addItem(number + QStringLiteral(" = 1 * ") + number);
    blCert = true;
    if (!blDiv) {
        dv = 1;
        return;
    }
    blPCD = true;
    // dv is a 16-bit count; one prime more than it holds is reported.
    if (dv == std::numeric_limits<qint16>::max())
        throw OverflowError();
    ++dv;
}
