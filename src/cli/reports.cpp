#include "cli/reports.h"

#include "cli/json_writer.h"
#include "cli/output.h"
#include "cli/window_report.h"
#include "generator/list_file.h"
#include "numeric/digits.h"
#include "ui/line_list_view.h"

namespace {

// A text as UTF-8 for the writers, converted once and not copied again:
// reports hand millions of lines through here.
class Utf8 {
public:
    explicit Utf8(const QString &text) : bytes_(text.toUtf8()) {}
    operator std::string_view() const { return {bytes_.constData(), static_cast<std::size_t>(bytes_.size())}; }

private:
    QByteArray bytes_;
};

Utf8 utf8(const QString &text) { return Utf8(text); }

// Lines of a list as a JSON array of strings, each handed on as it is
// written: a list of millions never stands whole in the buffer.
void printLines(Output &out, JsonWriter &json, const LineListView &list, int from, int to)
{
    json.beginArray();
    for (int row = from; row < to && !standard_output::ended(); ++row) {
        json.string(utf8(list.lineAt(row)));
        out.flushIfFull();
    }
    json.endArray();
}

void printFactors(JsonWriter &json, const WindowReport &report)
{
    json.beginArray();
    for (const auto &[prime, exponent] : report.factors()) {
        json.beginArray();
        json.string(utf8(prime));
        json.number(static_cast<std::uint64_t>(exponent));
        json.endArray();
    }
    json.endArray();
}

void printBestNonfactors(JsonWriter &json, const LineListView &panel)
{
    json.beginArray();
    for (int row = 0; row < panel.count(); ++row) {
        const auto [divisor, fraction] = WindowReport::panelEntry(panel.lineAt(row));
        json.beginObject();
        json.key("divisor").string(utf8(divisor));
        json.key("fraction").string(utf8(fraction));
        json.endObject();
    }
    json.endArray();
}

void endObjectLine(Output &out, JsonWriter &json)
{
    json.endObject();
    out.line({});
}

}  // namespace

namespace reports {

void printText(Output &out, const WindowReport &report, bool analyze)
{
    out.line(utf8(report.verdict()));
    const auto printAll = [&](const LineListView &list) {
        for (int row = 0; row < list.count() && !standard_output::ended(); ++row)
            out.line(utf8(list.lineAt(row)));
    };
    printAll(report.results());
    if (analyze) {
        out.line(utf8(report.panelCaption()));
        printAll(report.panel());
    }
    out.line({});
}

void printAnalyzeJson(Output &out, const WindowReport &report)
{
    JsonWriter json(out.text());
    json.beginObject();
    json.key("number").string(utf8(report.number()));
    json.key("verdict").string(utf8(report.verdict()));
    json.key("prime").boolean(report.prime());
    json.key("factors");
    printFactors(json, report);
    json.key("divisors");
    printLines(out, json, report.results(), report.firstDivisorRow(), report.endDivisorRow());
    json.key("total_divisors").number(report.totalDivisors());
    json.key("sum_of_factors").string(utf8(report.sumOfFactors()));
    json.key("perfect").boolean(report.perfect());
    json.key("best_nonfactors");
    printBestNonfactors(json, report.panel());
    endObjectLine(out, json);
}

void printQuickJson(Output &out, const WindowReport &report)
{
    JsonWriter json(out.text());
    json.beginObject();
    json.key("number").string(utf8(report.number()));
    json.key("verdict").string(utf8(report.verdict()));
    json.key("results");
    printLines(out, json, report.results(), 0, report.results().count());
    endObjectLine(out, json);
}

void printRefusedJson(Output &out, const QString &entry, const QString &message)
{
    JsonWriter json(out.text());
    json.beginObject();
    json.key("number").string(utf8(entry));
    json.key("error").string(utf8(message));
    endObjectLine(out, json);
}

void appendPrimeJson(std::string &out, uint128 prime, uint128 interval, LineLayout layout)
{
    out += "{\"prime\": \"";
    appendDigits(out, prime);
    out += '"';
    if (layout != LineLayout::NoInterval) {
        out += ", \"interval\": ";
        appendDigits(out, interval);
    }
    out += "}\n";
}

}  // namespace reports
