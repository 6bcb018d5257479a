#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

// Reads the text of a setup or workspace file one line at a time. The reader owns the file's
// bytes, so the caller may hand over a temporary buffer.
class LineReader {
public:
    // Longer lines come out in pieces of this many characters, each read as a line of its own.
    static constexpr size_t kMaxLineLength = 1000;

    explicit LineReader(std::string bytes) : bytes_(std::move(bytes)) {}

    // The next line without its LF or CR LF. False, with `line` cleared, at the end of input.
    bool ReadLine(std::string& line);

    bool AtEnd() const { return position_ == bytes_.size(); }

private:
    std::string bytes_;
    size_t position_ = 0;
};

// Collects the text of a setup or workspace file; what is written is kept byte for byte.
class LineWriter {
public:
    void Write(std::string_view text) { bytes_.append(text); }

    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};
