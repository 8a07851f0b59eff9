#include "cli/json_writer.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

void appendJsonString(std::string &out, std::string_view utf8)
{
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

JsonWriter &JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendJsonString(out_, name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::string(std::string_view utf8)
{
    beforeValue();
    appendJsonString(out_, utf8);
}

void JsonWriter::number(std::uint64_t value)
{
    beforeValue();
    out_ += std::to_string(value);
}

void JsonWriter::boolean(bool value)
{
    beforeValue();
    out_ += value ? "true" : "false";
}

// A value after a key follows it directly; any other one after the first of
// its array or object is set off by a comma.
void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty())
        return;
    if (!empty_.back())
        out_ += ", ";
    empty_.back() = false;
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    out_ += bracket;
    empty_.push_back(true);
}

void JsonWriter::close(char bracket)
{
    empty_.pop_back();
    out_ += bracket;
}
