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
    // The entry, the results and the commands.
    QLineEdit *Text1 = nullptr;         // the number entered, or the grey prompt
    LineListView *List1 = nullptr;      // results: factors, divisors, primes, messages
    QPushButton *cmdTest = nullptr;     // Quick Test
    QPushButton *cmdAnalyze = nullptr;  // Analyze
    QPushButton *cmdList = nullptr;     // Generate
    // "Result": the verdict line.
    QGroupBox *Frame2 = nullptr;
    QLabel *Label1 = nullptr;  // "… is Prime", "Certified Composite", "Probable Prime (…)", "N Primes"
    // The right-hand panel: "Divisor Ratios" for Quick Test and Analyze,
    // "Intervals" for Generate.
    QGroupBox *Frame1 = nullptr;
    QLabel *lbCR = nullptr;     // the latest ratio tried (its divisor in the tooltip)
    QLabel *Label14 = nullptr;  // "Smallest:", shown for Generate only
    QLabel *lbLow = nullptr;    // the smallest interval, for Generate only
    QLabel *Label12 = nullptr;  // caption: "Best:", "Best nonfactors:" or "Largest:"
    QLineEdit *lbNo = nullptr;  // the best divisor, or the largest interval
    QLabel *lbOf = nullptr;     // "(of N)": how many records the list holds
    // The best ratio; for Generate the prime that ends the largest interval,
    // or the candidate reached while a file is written.
    QLabel *lbLMO = nullptr;
    LineListView *lsLMO = nullptr;  // the records, newest first, or the intervals
    // The status line.
    QGroupBox *Frame3 = nullptr;
    QLabel *Label4 = nullptr;   // progress and the end of a run: "Evaluating: 40% complete. …"
    QLabel *Label13 = nullptr;  // "Start time: …", then "Elapsed time: …"

    // ---- Run-state ----
    // The commands and their computations share these; subResetState()
    // clears most of them when a command ends (not during a series test).
    //
    // Factor-search mode: the engine returns at the first divisor instead of
    // going on to the divisor report. Set for Quick Test and Analyze's factor search.
    bool blPrimeFactors = false;
    // Set with blList while Generate runs; nothing reads it but the tests.
    bool blPrimeList = false;
    // No divisor of the number under test is known yet; the factor search
    // clears it once it divides one out. The engine sets it again at a
    // divisor, so that a search that stops there lists no factors.
    bool blPrime = false;
    // Esc was pressed during a run (or the window closes): every loop stops
    // at its next test. Cleared when a command starts and by whoever reports
    // "Process interrupted by user.".
    bool blEsc = false;
    // Set while the factor search runs.
    bool blFactorize = false;
    // Set while Quick Test runs (also each test of a series).
    bool blTest = false;
    // Set while Generate runs.
    bool blList = false;
    // Set while Analyze runs.
    bool blAnalyze = false;
    // The engine has found a divisor: progress no longer rates the number
    // "Probable Prime".
    bool blEven = false;
    // Set when the divisor report has ended; the engine clears it at once.
    bool blEnd = false;
    // Stop request: Quick Test's cut-off was reached, or it found a factor.
    // The engine and the factor search leave their loops.
    bool blExit = false;
    // Ctrl is held: Generate writes the list file (read at the click). Any
    // key release clears it; while it is held the latest ratio is not shown.
    bool blPrint = false;
    // Shift is held (or the entry-2 question was answered OK): Generate lists
    // the primes above the entry. Any key release clears it.
    bool blPlus = false;
    // Set while a command runs; a second click is ignored.
    bool blRunning = false;
    // Z is held: the list file's lines written meanwhile have no interval.
    bool blNoIntervals = false;
    // Set while the ratio list's series test runs: its Quick Tests keep the
    // results and the run-state, add only the primes' lines, and count them in dv.
    bool blDiv = false;
    // A prime was counted in a series test.
    bool blPCD = false;
    // The last test certified the number prime; Quick Test then does not ask
    // for Analyze to certify it.
    bool blCert = false;
    // Esc ended the factor search; Analyze then runs no divisor pass.
    bool blFactorsInterrupted = false;
    // The window is closing: the running loops stop as with Esc, and no
    // command, message box or viewer starts any more.
    bool blClosing = false;

    double LMO = 0;        // best ratio (fraction) of the engine's loop; 1 before the first record
    double LFO = 0;        // best nonfactor's fraction in the divisor report; 1 before the first
    double pc = 0;         // progress calls between updates for the current range; 0: none shown
    double nct = 0;        // progress calls since the last update
    DecimalNum lcn;        // previous prime during generation, exact
    double lastlimit = 0;  // the largest range progress has set pc up for in this command
    qint32 lastlcn = 0;    // largest interval of the Generate run so far
    qint32 prevlcn = 0;    // largest interval already shown in the panel
    qint32 lowlcn = 0;     // smallest interval so far (1000 before the first)
    qint16 dv = 0;         // primes counted by the series test

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
