#include "ui/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "ui/accessibility.h"
#include "ui/fitting_label.h"
#include "ui/line_list_view.h"
#include "ui/system_colors.h"
#include "ui/window_font.h"

namespace {

// Positions are given in twips, 15 to a logical pixel, rounded to the
// nearest pixel on either side of 0.
int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

template <typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

QFont windowFont()
{
    QFont font(windowFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    // Advances as the font designs them, whatever hinting the desktop asks
    // for: full hinting would round each digit to whole pixels, and the
    // texts' widths would then differ from one machine to the next.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

void makeBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

}  // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    endProgram = [] { QCoreApplication::quit(); };

    installAccessibility();
    buildControls();
    describeControls(*this);
    connectHandlers();
    Form_Load();
}

Form1::~Form1() { closeListFile(); }

void Form1::buildControls()
{
    setWindowTitle(QStringLiteral("Zorvelan"));
    setFont(windowFont());
    setFixedSize(px(6225), px(6840));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Text1 = place(new QLineEdit(this), "Text1", 120, 1200, 3615, 375);
    QFont entryFont = font();
    entryFont.setPointSizeF(9.75);
    entryFont.setBold(true);
    Text1->setFont(entryFont);
    Text1->setAcceptDrops(true);
    Text1->setAccessibleName(QStringLiteral("Number"));

    List1 = place(new LineListView(this), "List1", 120, 1800, 3615, 3570);
    List1->setAccessibleName(QStringLiteral("Results"));

    cmdTest = place(new QPushButton(QStringLiteral("&Quick Test"), this), "cmdTest", 120, 5640, 1815, 615);
    cmdAnalyze = place(new QPushButton(QStringLiteral("&Analyze"), this), "cmdAnalyze", 2280, 5640, 1815, 615);
    cmdList = place(new QPushButton(QStringLiteral("&Generate"), this), "cmdList", 4440, 5640, 1695, 615);
    cmdList->setToolTip(
        QStringLiteral("Hold Ctrl to save generated data, Shift to generate primes greater than entered number."));

    Frame2 = place(new QGroupBox(QStringLiteral("Result"), this), "Frame2", 120, 240, 3615, 735);
    Label1 = place(new FittingLabel(Frame2), "Label1", 95, 315, 3500, 270);
    makeBold(Label1);

    Frame1 = place(new QGroupBox(QStringLiteral("Divisor Ratios"), this), "Frame1", 3840, 240, 2295, 5175);
    lbCR = place(new QLabel(Frame1), "lbCR", 120, 360, 2055, 300);
    makeBold(lbCR);
    setTextColor(lbCR, systemColor(COLOR_GRAYTEXT));
    Label14 = place(new QLabel(QStringLiteral("Smallest:"), Frame1), "Label14", 120, 380, 2055, 300);
    Label14->hide();
    lbLow = place(new QLabel(Frame1), "lbLow", 840, 480, 1335, 300);
    makeBold(lbLow);
    lbLow->hide();
    Label12 = place(new QLabel(QStringLiteral("Best:"), Frame1), "Label12", 120, 800, 1600, 255);
    lbNo = place(new QLineEdit(Frame1), "lbNo", 120, 1080, 1455, 300);
    // Screen readers name the box after its caption, whichever the commands set.
    Label12->setBuddy(lbNo);
    makeBold(lbNo);
    lbNo->setReadOnly(true);
    lbNo->setFocusPolicy(Qt::ClickFocus);
    QPalette noPalette = lbNo->palette();
    noPalette.setColor(QPalette::Base, systemColor(COLOR_BTNFACE));
    lbNo->setPalette(noPalette);
    lbOf = place(new QLabel(Frame1), "lbOf", 1365, 1080, 795, 300);
    // lbOf starts inside lbNo's box: set to the right, the count keeps clear
    // of the divisor, which lbNo sets from the left.
    lbOf->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbLMO = place(new FittingLabel(Frame1), "lbLMO", 120, 1440, 2055, 300);
    lsLMO = place(new LineListView(Frame1), "lsLMO", 120, 1850, 2055, 3180);

    Frame3 = place(new QGroupBox(this), "Frame3", -15, 6360, 6315, 615);
    Label4 = place(new QLabel(Frame3), "Label4", 195, 195, 4080, 255);
    Label13 = place(new QLabel(Frame3), "Label13", 4200, 200, 1900, 255);

    setTabOrder(Text1, cmdTest);
    setTabOrder(cmdTest, cmdAnalyze);
    setTabOrder(cmdAnalyze, cmdList);
    setTabOrder(cmdList, List1);
    setTabOrder(List1, lsLMO);
    Text1->setFocus();
}

void Form1::connectHandlers()
{
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(cmdTest, &QPushButton::clicked, this, [this] { cmdTest_Click(); });
    connect(cmdAnalyze, &QPushButton::clicked, this, [this] { cmdAnalyze_Click(); });
    connect(cmdList, &QPushButton::clicked, this, [this] { cmdList_Click(); });
    List1->viewport()->setMouseTracking(true);
    lsLMO->viewport()->setMouseTracking(true);
    addLetterKeyShortcuts();
    qApp->installEventFilter(this);
}

void Form1::Form_Load()
{
    setTextColor(Text1, systemColor(COLOR_GRAYTEXT));
    Text1->setText(QStringLiteral("Enter a number"));
}

void Form1::Form_KeyDown(int keyCode)
{
    if (keyCode == Qt::Key_Escape) {
        if (blTest || blAnalyze || blList)
            blEsc = true;
        else
            close();
    }
    if (keyCode == Qt::Key_Control)
        blPrint = true;
    if (keyCode == Qt::Key_Shift)
        blPlus = true;
    if (keyCode == Qt::Key_Z)
        blNoIntervals = true;
    if (keyCode == Qt::Key_Delete) {
        Text1->setText(QString());
        lbCR->clear();
        lbNo->clear();
        lbOf->clear();
        lbLow->clear();
        lbLMO->clear();
        List1->clear();
        lsLMO->clear();
        Text1->setFocus();
    }
    if (keyCode == Qt::Key_D)
        List1->clear();
}

void Form1::Form_KeyUp(int)
{
    blPrint = false;
    blPlus = false;
    blNoIntervals = false;
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}

// Ends the program at once, also during a computation: the running loops
// stop at their next test, as with Esc, the command handlers unwind without
// asking or showing anything more, and the application then quits through
// its normal path, which hands the clipboard over to the desktop.
void Form1::Form_Unload()
{
    blClosing = blEsc = true;
    openInViewer = [](const QString &) {};  // a list cut short is not opened
    // A list file being written keeps every line found so far.
    closeListFile();
    if (endProgram)
        endProgram();
}

void Form1::subClearResults()
{
    if (blDiv)
        return;
    List1->clear();
    if (blAnalyze) {
        lbNo->clear();
        lbOf->clear();
        lbLMO->clear();
    }
    lsLMO->clear();
    setTextColor(Label1, systemColor(COLOR_MENUTEXT));
    lbCR->clear();
    Label4->clear();
    Label13->clear();
    lbLow->clear();
    pc = 1;
    Text1->setReadOnly(true);
    blExit = false;
}

void Form1::subResetState()
{
    if (blDiv)
        return;
    LMO = LFO = pc = nct = lastlimit = 0;
    lcn = DecimalNum();
    lastlcn = prevlcn = lowlcn = 0;
    dv = 0;
    blTest = blAnalyze = blList = blFactorize = blEven = false;
    blPrint = blPlus = blRunning = blNoIntervals = false;
    blPCD = blExit = blCert = false;
}

QMessageBox::StandardButton Form1::showMessage(const QString &text, QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons)
{
    if (blClosing)
        return QMessageBox::Cancel;
    if (answerMessage)
        return answerMessage(text, icon, buttons);
    QMessageBox box(icon, QStringLiteral("Zorvelan"), text, buttons, this);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Form1::showFailure(const QString &description) { showMessage(description, QMessageBox::NoIcon, QMessageBox::Ok); }
