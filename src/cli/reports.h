#pragma once

#include <QString>
#include <string>

#include "numeric/uint128.h"

class Output;
class WindowReport;
enum class LineLayout;

// The reports of the text modes, in the text form (the window's lines) and
// the JSON form (one object a line), both read from the same window report.
namespace reports {

// The result line, the results list and, after Analyze, the panel's caption
// and lines, then an empty line.
void printText(Output &out, const WindowReport &report, bool analyze);
// {"number", "verdict", "prime", "factors", "divisors", "total_divisors",
// "sum_of_factors", "perfect", "best_nonfactors"}
void printAnalyzeJson(Output &out, const WindowReport &report);
// {"number", "verdict", "results"}
void printQuickJson(Output &out, const WindowReport &report);
// {"number", "error"}
void printRefusedJson(Output &out, const QString &entry, const QString &message);
// {"prime", "interval"}, or {"prime"} without the interval column: one line
// of a list, written as the list file's lines are.
void appendPrimeJson(std::string &out, uint128 prime, uint128 interval, LineLayout layout);

}  // namespace reports
