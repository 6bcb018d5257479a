#include "doc/line_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(std::string bytes) {
    LineReader reader(std::move(bytes));
    Lines lines;
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    EXPECT_TRUE(reader.AtEnd());
    return lines;
}

TEST(LineReader, SplitsAtLfAndCrLfAndCutsLongLinesIntoPieces) {
    const std::string k1000(1000, 'a');
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"one\ntwo\n", {"one", "two"}},
        {"one\r\ntwo", {"one", "two"}},
        {"a\n\n\nb\n", {"a", "", "", "b"}},
        {"a\rb\r\nc\r", {"a\rb", "c\r"}}, // a CR only counts before a LF
        {k1000 + "\n" + "x\n", {k1000, "x"}},
        {k1000 + "\r\nx", {k1000, "x"}},
        {k1000 + "b\n", {k1000, "b"}},
        {k1000 + k1000 + "\r\n", {k1000, k1000}},
        {k1000 + "b", {k1000, "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAll(c.bytes), c.lines) << c.bytes.substr(0, 20);
}

TEST(LineReader, ReportsTheEndOnceTheEmptyLinesAreRead) {
    // The workspace loader reads block after block from one reader.
    LineReader reader("a\n\n");
    std::string line = "stale";
    ASSERT_TRUE(reader.ReadLine(line));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_TRUE(reader.AtEnd());
    line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
}

} // namespace
