#pragma once

#include <QDateTime>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "analysis/factor_entry.h"
#include "engine/event_pump.h"
#include "numeric/decimal_num.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class LineListView;
class ListFile;
enum class LineLayout;

// The program's one window. It owns every control, the run-state shared by the
// commands and computations, and all of their procedures; the procedures of
// each subsystem are implemented in that subsystem's folder.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // ---- Controls (objectName equals the member name) ----
    QLineEdit *Text1 = nullptr;
    LineListView *List1 = nullptr;
    QPushButton *cmdTest = nullptr;
    QPushButton *cmdAnalyze = nullptr;
    QPushButton *cmdList = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *lbCR = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *lbLow = nullptr;
    QLabel *Label12 = nullptr;
    QLineEdit *lbNo = nullptr;
    QLabel *lbOf = nullptr;
    QLabel *lbLMO = nullptr;
    LineListView *lsLMO = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label13 = nullptr;

    // ---- Run-state ----
    bool blPrimeFactors = false;
    bool blPrimeList = false;
    bool blPrime = false;
    bool blEsc = false;
    bool blFactorize = false;
    bool blTest = false;
    bool blList = false;
    bool blAnalyze = false;
    bool blEven = false;
    bool blEnd = false;
    bool blExit = false;
    bool blPrint = false;
    bool blPlus = false;
    bool blRunning = false;
    bool blNoIntervals = false;
    bool blDiv = false;
    bool blPCD = false;
    bool blCert = false;
    // Esc ended the factor search; Analyze then runs no divisor pass.
    bool blFactorsInterrupted = false;
    // The window is closing: the running loops stop as with Esc, and no
    // command, message box or viewer starts any more.
    bool blClosing = false;

    double LMO = 0;
    double LFO = 0;
    double pc = 0;
    double nct = 0;
    DecimalNum lcn;          // previous prime during generation, exact
    double lastlimit = 0;
    qint32 lastlcn = 0;
    qint32 prevlcn = 0;
    qint32 lowlcn = 0;
    qint16 dv = 0;

    // ---- Seams for tests ----
    // How the program ends when the window closes: by default the application
    // quits once the running command has unwound.
    std::function<void()> endProgram;
    // Opens a finished list file in the desktop's viewer.
    std::function<void(const QString &path)> openInViewer;
    // Folder that receives list files; listFileFolder() is asked at the
    // first list file when it is left empty.
    QString listFolder;
    // Answers the message boxes instead of showing them, as the text modes
    // do; unset, a modal box is shown.
    std::function<QMessageBox::StandardButton(const QString &text, QMessageBox::Icon icon,
                                              QMessageBox::StandardButtons buttons)>
        answerMessage;
    // Set by the text modes: a list file goes to standard output instead,
    // with LF line ends, and asks nothing; a bounded list ends at the entry
    // itself, an open-ended one after maxPrimes lines (0: no limit). Each
    // line is written by formatLine when set, in the list file's layout
    // otherwise.
    struct StandardOutputList {
        std::uint64_t maxPrimes = 0;
        void (*formatLine)(std::string &out, uint128 prime, uint128 interval, LineLayout layout) = nullptr;
    };
    std::optional<StandardOutputList> listToStandardOutput;

    // ---- Window, keys, run-state (ui/form1.cpp) ----
    void Form_Load();
    void Form_KeyDown(int keyCode);
    void Form_KeyUp(int keyCode);
    void Form_Unload();
    void subClearResults();
    void subResetState();

    // ---- Entry box (ui/entry.cpp) ----
    void Text1_Change();
    void Text1_KeyDown(int keyCode);
    void Text1_MouseDown();
    void Text1_OLEDragDrop(const QString &plainText);
    bool ValidEntry();

    // ---- Quick Test and Analyze (ui/commands.cpp, ui/list_width.cpp) ----
    void cmdTest_Click();
    void cmdAnalyze_Click();
    void subFitListWidth();

    // ---- Engine (engine/) ----
    bool subTrialDivide(const DecimalNum &n);
    static double DivFraction(const DecimalNum &a, const DecimalNum &b);
    void subProgress(double d, double lim, const QDateTime &start);
    // "Start time: " and the time of day, in the time line.
    void subShowStartTime(const QDateTime &start);
    void subShowElapsed(const QDateTime &start);
    void subShowVerdict();

    // ---- Factor analysis (analysis/) ----
    // Print mode: a caller passes `number`; the factor line goes to `factorText`.
    void subFactorize(const DecimalNum *number = nullptr, QString *factorText = nullptr);
    QList<FactorEntry> GetFactors(DecimalNum n);
    void subAllFactors(const QDateTime &start);
    void lsLMO_KeyDown(int keyCode);
    void lsLMO_MouseMove();
    void lsLMO_MouseDown(Qt::MouseButton button);
    void subTestRatioList();

    // ---- Prime lists (generator/) ----
    void cmdList_Click();
    void subPrimes();
    // Refreshes the interval panel. A Generate run calls it as it passes
    // candidates, so the common case, nothing changed, is decided inline.
    void subShowIntervals()
    {
        if (lastlcn != prevlcn || lastlcn < lowlcn)
            refreshIntervalPanel();
    }
    void refreshIntervalPanel();
    void List1_KeyDown(int keyCode);
    void List1_MouseDown(Qt::MouseButton button);
    void List1_MouseMove();
    // Flushes and closes the list file of a running file-mode Generate, if any.
    void closeListFile();

    // Lets pending window events run when due (about every 10 ms).
    EventPump pump;

    // Shows a modal message box titled "Zorvelan"; returns the button clicked.
    QMessageBox::StandardButton showMessage(const QString &text, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    // A failure report: the description, OK only, no icon.
    void showFailure(const QString &description);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void addLetterKeyShortcuts();
    bool isOwnKeyEvent(QObject *watched, QEvent *event);
    bool isOwnWidget(QObject *watched) const;
    // The window's key handler, then that of the control the key goes to.
    void previewKeyDown(QObject *receiver, int keyCode);
    // Returns true when the press is swallowed.
    bool previewMousePress(QObject *watched, QEvent *event);

    // The list file open during a file-mode Generate run, if any (owned by
    // the run that writes it).
    ListFile *openListFile_ = nullptr;
    // The key event last previewed and its receiver, so that a key that Qt
    // passes on to the parent widgets is previewed only once.
    const QEvent *previewedKey_ = nullptr;
    int previewedKeyCode_ = 0;
    QPointer<QObject> previewedKeyReceiver_;
};
