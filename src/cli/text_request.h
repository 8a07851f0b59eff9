#pragma once

#include <QStringList>
#include <cstdint>

// What a text-mode command line asks for.
struct TextRequest {
    enum class Mode { Analyze, Quick, Generate };

    Mode mode = Mode::Analyze;
    QStringList numbers;  // as given on the command line
    bool above = false;
    bool noIntervals = false;
    bool json = false;        // one JSON object a line instead of the window's lines
    std::uint64_t count = 0;  // primes of an open-ended list; 0: no limit
};
