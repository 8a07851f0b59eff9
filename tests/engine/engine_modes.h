#pragma once

#include <QLineEdit>
#include <QString>

#include "ui/form1.h"

// Runs the engine on `number` with the flags that each of its callers sets.
enum class EngineMode { QuickTest, SeriesTest, AnalyzeSearch, AnalyzeDivisorPass, Generation };

inline void prepareEngineRun(Form1 &form, EngineMode mode, const QString &number)
{
    form.Text1->setText(number);
    form.blEsc = false;
    form.blTest = mode == EngineMode::QuickTest || mode == EngineMode::SeriesTest;
    form.blDiv = mode == EngineMode::SeriesTest;
    form.blAnalyze = mode == EngineMode::AnalyzeSearch || mode == EngineMode::AnalyzeDivisorPass;
    form.blList = form.blPrimeList = mode == EngineMode::Generation;
    form.subClearResults();
    form.blPrimeFactors = form.blTest || mode == EngineMode::AnalyzeSearch;
    form.blRunning = true;
    // The factor search sets it before asking the engine; the divisor pass
    // runs after a factorisation has cleared it.
    form.blPrime = mode != EngineMode::AnalyzeDivisorPass;
}

inline bool runEngine(Form1 &form, EngineMode mode, const QString &number)
{
    prepareEngineRun(form, mode, number);
    return form.subTrialDivide(DecimalNum::fromText(number.toStdString()));
}
