#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTime>
#include <QtTest>

#include "ui/fitting_label.h"
#include "ui/form1.h"

namespace {

// The digit the control's font sets widest, so that a row of it is the
// widest number of that many digits.
QChar widestDigit(const QFontMetrics &metrics)
{
    QChar widest = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c)
        if (metrics.horizontalAdvance(QLatin1Char(c)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(c);
    return widest;
}

// The time of day whose short form in `locale` is widest.
QString widestTimeOfDay(const QLocale &locale, const QFontMetrics &metrics)
{
    QString widest;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const QString text = locale.toString(QTime(minute / 60, minute % 60, 59), QLocale::ShortFormat);
        if (metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widest))
            widest = text;
    }
    return widest;
}

// Where a control's text may run, in its parent's coordinates: inside the
// line edit's frame, text margins and the 2 px it keeps free either side, or
// inside the label's contents rectangle, margin and indent.
struct Span {
    int left, right;
};

Span textArea(const QWidget *control)
{
    QRect contents;
    if (const auto *edit = qobject_cast<const QLineEdit *>(control)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                                            : 0;
        contents = edit->style()
                       ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                       .marginsRemoved(edit->textMargins())
                       .adjusted(2, 0, -2, 0);
    } else {
        const auto *label = qobject_cast<const QLabel *>(control);
        const int inset = label->margin() + std::max(label->indent(), 0);
        contents = label->contentsRect().adjusted(inset, 0, -inset, 0);
    }
    contents.translate(control->pos());
    return {contents.left(), contents.right() + 1};
}

// The metrics of the font the control sets `text` in.
QFontMetrics shownMetrics(const QWidget *control, const QString &text)
{
    if (const auto *label = qobject_cast<const FittingLabel *>(control))
        return QFontMetrics(label->fontFor(text));
    return control->fontMetrics();
}

// Where `text` lands when the control shows it.
Span textSpan(const QWidget *control, const QString &text)
{
    const Span area = textArea(control);
    const int width = shownMetrics(control, text).horizontalAdvance(text);
    const auto alignment = control->property("alignment").value<Qt::Alignment>();
    const int left = alignment & Qt::AlignRight ? area.right - width : area.left;
    return {left, left + width};
}

}  // namespace

// Every number and status line the window shows fits its control whole, in
// the control's own font: the widest text of each lies inside the control
// and, where a neighbour overlaps the control, clear of the neighbour's
// widest text.
class FontFitTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;

    QWidget *control(const QString &name) const { return form->findChild<QWidget *>(name); }

    QString digits(const QString &name, int count) const
    {
        return QString(count, widestDigit(control(name)->fontMetrics()));
    }

private slots:
    void init() { form = std::make_unique<Form1>(); }
    void cleanup() { form.reset(); }

    void widestTextFits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("neighbour");
        QTest::addColumn<QString>("neighbourText");
        init();
        const QFontMetrics statusMetrics = control("Label13")->fontMetrics();
        const QString startTime = "Start time: " + widestTimeOfDay(QLocale::system(), statusMetrics);
        // clang-format off
        QTest::newRow("entry: 28 widest digits") << "Text1" << digits("Text1", 28) << "" << "";
        QTest::newRow("result: composite") << "Label1" << digits("Label1", 28) + " is Composite" << "" << "";
        QTest::newRow("result: composite, 27 digits") << "Label1" << digits("Label1", 27) + " is Composite" << "" << "";
        QTest::newRow("result: prime") << "Label1" << digits("Label1", 28) + " is Prime" << "" << "";
        QTest::newRow("result: probable prime") << "Label1" << "Probable Prime (>80%)" << "" << "";
        QTest::newRow("result: primes in series") << "Label1" << " 32767 primes in series" << "" << "";
        QTest::newRow("best divisor: 14 digits") << "lbNo" << " " + digits("lbNo", 14) << "lbOf" << "(of 9999)";
        QTest::newRow("divisor count") << "lbOf" << "(of 9999)" << "" << "";
        QTest::newRow("best ratio: 19 places") << "lbLMO" << "." + digits("lbLMO", 19) << "" << "";
        QTest::newRow("largest interval: a 28-digit prime") << "lbLMO" << " " + digits("lbLMO", 28) << "" << "";
        QTest::newRow("running ratio: 17 places") << "lbCR" << "." + digits("lbCR", 17) << "" << "";
        QTest::newRow("status: progress") << "Label4" << "Evaluating: 100% complete. Time est. 59 mins" << "Label13" << startTime;
        QTest::newRow("status: saving") << "Label4" << "Saving primes to file... click Esc to stop." << "Label13" << "Elapsed time: 100:00:00";
        QTest::newRow("time: elapsed") << "Label13" << "Elapsed time: 100:00:00" << "" << "";
        QTest::newRow("time: start, system locale") << "Label13" << startTime << "" << "";
        QTest::newRow("time: start, 12-hour clock")
            << "Label13" << "Start time: " + widestTimeOfDay(QLocale(QLocale::English, QLocale::UnitedStates), statusMetrics)
            << "" << "";
        // clang-format on
        cleanup();
    }

    void widestTextFits()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, neighbour);
        QFETCH(QString, neighbourText);
        const QWidget *shown = control(name);
        QVERIFY(shown);
        Span room = textArea(shown);
        if (!neighbour.isEmpty())
            room.right = std::min(room.right, textSpan(control(neighbour), neighbourText).left);
        const Span span = textSpan(shown, text);
        QVERIFY2(room.left <= span.left && span.right <= room.right,
                 qPrintable(QStringLiteral("\"%1\" is %2 px wide, %3 has %4 px")
                                .arg(text)
                                .arg(span.right - span.left)
                                .arg(name)
                                .arg(room.right - room.left)));
    }

    // A label that may hold a text wider than itself keeps its own font for
    // every text that fits, and otherwise steps down just enough: a quarter
    // point larger would not fit.
    void fontStepsDownOnlyWhenNeeded()
    {
        for (const auto &[name, suffix] : {std::pair{"lbLMO", ""}, std::pair{"Label1", " is Composite"}}) {
            const auto *label = qobject_cast<const FittingLabel *>(control(name));
            const Span area = textArea(label);
            const auto fits = [&](const QFont &font, const QString &text) {
                return QFontMetrics(font).horizontalAdvance(text) <= area.right - area.left;
            };
            for (int count = 1; count <= 28; ++count) {
                const QString text = " " + digits(name, count) + suffix;
                QFont larger = label->fontFor(text);
                QVERIFY2(fits(larger, text), qPrintable(text));
                larger.setPointSizeF(larger.pointSizeF() + 0.25);
                QVERIFY2(label->fontFor(text) == label->font() ? fits(label->font(), text) : !fits(larger, text),
                         qPrintable(text));
            }
            QVERIFY(label->fontFor(" " + digits(name, 28) + suffix) != label->font());
        }
    }
};

QTEST_MAIN(FontFitTest)
#include "tst_font_fit.moc"
