#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends `utf8` to `out` as a JSON string: quoted, with the quote, the
// backslash and the control characters escaped.
void appendJsonString(std::string &out, std::string_view utf8);

// Writes JSON text onto the end of `out` as it goes, without building a
// document: the commas between members and elements are placed here, so a
// caller can write an array of millions of elements piece by piece and hand
// `out` on between them.
class JsonWriter {
public:
    explicit JsonWriter(std::string &out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    // Names the next value of the object being written.
    JsonWriter &key(std::string_view name);
    void string(std::string_view utf8);
    void number(std::uint64_t value);
    void boolean(bool value);

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string &out_;
    std::vector<bool> empty_;  // one for each open object or array
    bool afterKey_ = false;
};
