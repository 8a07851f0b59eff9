#include "ui/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "generator/list_folder.h"
#include "ui/extent_list.h"
#include "ui/system_colors.h"

namespace {

// Positions are given in twips, 15 to a logical pixel.
int px(int twips) { return (twips + 7) / 15; }

template <typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

QFont windowFont()
{
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(QFont().defaultFamily());
    font.setPointSizeF(8.25);
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
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    endProgram = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    listFolder = listFileFolder();

    buildControls();
    connectHandlers();
    Form_Load();
}

Form1::~Form1()
{
    closeListFile();
}

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

    List1 = place(new ExtentListWidget(this), "List1", 120, 1800, 3615, 3570);

    cmdTest = place(new QPushButton(QStringLiteral("&Quick Test"), this), "cmdTest", 120, 5640, 1815, 615);
    cmdAnalyze = place(new QPushButton(QStringLiteral("&Analyze"), this), "cmdAnalyze", 2280, 5640, 1815, 615);
    cmdList = place(new QPushButton(QStringLiteral("&Generate"), this), "cmdList", 4440, 5640, 1695, 615);
    cmdList->setToolTip(QStringLiteral(
        "Hold Ctrl to save generated data, Shift to generate primes greater than entered number."));

    Frame2 = place(new QGroupBox(QStringLiteral("Result"), this), "Frame2", 120, 240, 3615, 735);
    Label1 = place(new QLabel(Frame2), "Label1", 95, 315, 3500, 270);
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
    makeBold(lbNo);
    lbNo->setReadOnly(true);
    lbNo->setFocusPolicy(Qt::ClickFocus);
    QPalette noPalette = lbNo->palette();
    noPalette.setColor(QPalette::Base, systemColor(COLOR_BTNFACE));
    lbNo->setPalette(noPalette);
    lbOf = place(new QLabel(Frame1), "lbOf", 1365, 1080, 795, 300);
    lbLMO = place(new QLabel(Frame1), "lbLMO", 120, 1440, 2055, 300);
    lsLMO = place(new ExtentListWidget(Frame1), "lsLMO", 120, 1850, 2055, 3180);
    // Every entry is one line of one font; the lists then need not measure
    // all their entries again each time one is added.
    List1->setUniformItemSizes(true);
    lsLMO->setUniformItemSizes(true);

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
    qApp->installEventFilter(this);
}

void Form1::Form_Load()
{
    setTextColor(Text1, systemColor(COLOR_GRAYTEXT));
    Text1->setText(QStringLiteral("Enter a number"));
}

// Key preview: every key event addressed to this window or one of its
// controls is seen here first; the event then goes on as usual. Qt offers a
// key that a widget ignores to its parents; that is still the same key.
bool Form1::isOwnKeyEvent(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return false;
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

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (!isOwnKeyEvent(watched, event))
            break;
        const int key = static_cast<QKeyEvent *>(event)->key();
        Form_KeyDown(key);
        if (watched == Text1)
            Text1_KeyDown(key);
        else if (watched == List1)
            List1_KeyDown(key);
        else if (watched == lsLMO)
            lsLMO_KeyDown(key);
        // The lists' own Ctrl+C would overwrite what their C key has copied.
        if ((watched == List1 || watched == lsLMO) &&
            static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy))
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        if (!keyEvent->isAutoRepeat() && isOwnKeyEvent(watched, event))
            Form_KeyUp(keyEvent->key());
        break;
    }
    case QEvent::MouseButtonPress: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (watched == Text1) {
            // The box places its caret first; the handler then sees the result.
            static_cast<QObject *>(Text1)->event(event);
            Text1_MouseDown();
            return true;
        }
        if (watched == List1->viewport()) {
            List1_MouseDown(button);
            return button == Qt::RightButton;  // a right-click keeps the selection
        }
        if (watched == lsLMO->viewport()) {
            lsLMO_MouseDown(button);
            return button == Qt::RightButton;
        }
        break;
    }
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

void Form1::Form_Unload()
{
    // A list file being written keeps what it has so far.
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
    QMessageBox box(icon, QStringLiteral("Zorvelan"), text, buttons, this);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Form1::showFailure(const QString &description)
{
    showMessage(description, QMessageBox::NoIcon, QMessageBox::Ok);
}
