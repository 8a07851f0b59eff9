#pragma once

#include <QString>
#include <cstdint>

class Form1;

// A trial divisor as the ratio panel writes it: " 7".
QString ratioDivisorText(std::uint64_t d);
// Puts a new best ratio at the top of the divisor-ratio panel: its line in
// lsLMO, the divisor in lbNo, the record count in lbOf, the fraction in lbLMO.
void showRatioRecord(Form1 &form, std::uint64_t d, double fraction);
