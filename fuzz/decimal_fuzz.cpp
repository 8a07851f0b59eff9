// Fuzzes the number type against the exact reference model: text conversion
// of arbitrary bytes, and arithmetic, comparison and text forms of arbitrary
// pairs of values. Any mismatch or unexpected failure aborts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

#include "numeric/decimal_reference.h"

namespace ref = decimal_reference;

namespace {

[[noreturn]] void fail(const std::string &what, const DecimalNum &a, const DecimalNum &b)
{
    std::cerr << what << ": a=" << ref::describe(a) << " b=" << ref::describe(b) << "\n";
    std::abort();
}

// Turns 13 bytes into a value: 96-bit coefficient, scale 0..28, sign.
DecimalNum valueFrom(const std::uint8_t *bytes)
{
    uint128 coefficient = 0;
    for (int i = 0; i < 12; ++i)
        coefficient = (coefficient << 8) | bytes[i];
    return DecimalNum::fromParts(coefficient, bytes[12] % 29, (bytes[12] & 0x80) != 0);
}

using Operation = DecimalNum (*)(const DecimalNum &, const DecimalNum &);

// The operation either matches the model or overflows exactly when the model
// says the result cannot fit.
void checkOperation(const char *name, Operation op, const std::optional<ref::Expected> &expected, const DecimalNum &a,
                    const DecimalNum &b)
{
    try {
        const DecimalNum result = op(a, b);
        if (!expected || ref::describe(result) != ref::describe(*expected))
            fail(std::string(name) + " differs from the model", a, b);
    } catch (const OverflowError &) {
        if (expected)
            fail(std::string(name) + " overflowed though the result fits", a, b);
    }
}

void checkTextForms(const DecimalNum &v)
{
    if (DecimalNum::fromText(v.signedText()) != v || DecimalNum::fromText(v.trimmedText()) != v)
        fail("text form does not read back", v, v);
    const ref::Rational value = ref::valueOf(v);
    if (!v.isNegative() && ref::compare(value, {1, 1}) < 0) {
        const std::string fixed = v.fixedPattern(19, '.');
        if (fixed.size() < 20 || fixed[fixed.size() - 20] != '.')
            fail("fixed pattern malformed", v, v);
    }
}

void checkPair(const DecimalNum &a, const DecimalNum &b)
{
    checkOperation(
        "sum", [](const DecimalNum &x, const DecimalNum &y) { return x + y; }, ref::expectedSum(a, b), a, b);
    checkOperation(
        "difference", [](const DecimalNum &x, const DecimalNum &y) { return x - y; }, ref::expectedSum(a, b, true), a,
        b);
    checkOperation(
        "product", [](const DecimalNum &x, const DecimalNum &y) { return x * y; }, ref::expectedProduct(a, b), a, b);
    if (b.isZero()) {
        try {
            (void)(a / b);
            fail("division by zero succeeded", a, b);
        } catch (const DivisionByZeroError &) {
        }
    } else {
        checkOperation(
            "quotient", [](const DecimalNum &x, const DecimalNum &y) { return x / y; }, ref::expectedQuotient(a, b), a,
            b);
    }

    const int order = ref::compare(ref::valueOf(a), ref::valueOf(b));
    const auto actual = a <=> b;
    if ((order < 0) != (actual < 0) || (order == 0) != (actual == 0))
        fail("comparison differs from the model", a, b);

    if (ref::describe(a.integerPart()) != ref::describe(ref::expectedFloor(a)))
        fail("integer part differs from the model", a, b);
    if (a.toDouble() != ref::nearestDouble(a))
        fail("toDouble is not the nearest double", a, b);
    checkTextForms(a);
}

void checkText(std::string_view text)
{
    try {
        const DecimalNum v = DecimalNum::fromText(text);
        checkTextForms(v);
    } catch (const ConversionError &) {
    } catch (const OverflowError &) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        checkText(std::string_view(reinterpret_cast<const char *>(data + 1), size - 1));
        return 0;
    }
    if (size < 1 + 26)
        return 0;
    checkPair(valueFrom(data + 1), valueFrom(data + 14));
    return 0;
}
