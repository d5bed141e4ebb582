#include <gtest/gtest.h>

#include <cerrno>

#include "platform/io_error.h"
#include "platform/line_reader.h"
#include "platform/text_writer.h"
#include "test_support.h"

namespace velmo {
namespace {

std::vector<std::string> ReadLines(const std::string& input, int count, std::size_t piece) {
  test::MemorySource source(input, piece);
  LineReader reader(source);
  std::vector<std::string> lines(static_cast<std::size_t>(count));
  for (std::string& line : lines) reader.ReadLine(line);
  return lines;
}

TEST(LineReader, EndsLinesAtLfCrLfAndTheEndOfInput) {
  using Lines = std::vector<std::string>;
  for (std::size_t piece : {1u, 2u, 4096u}) {
    EXPECT_EQ(ReadLines("a.ini\nrest\n", 2, piece), (Lines{"a.ini", "rest"}));
    EXPECT_EQ(ReadLines("a.ini\r\n\r\n", 2, piece), (Lines{"a.ini", ""}));
    EXPECT_EQ(ReadLines("a\rb.ini\n", 1, piece), (Lines{"ab.ini"}));
    EXPECT_EQ(ReadLines("  lead.ini", 2, piece), (Lines{"  lead.ini", ""}));
    EXPECT_EQ(ReadLines("", 2, piece), (Lines{"", ""}));
    EXPECT_EQ(ReadLines("\n", 1, piece), (Lines{""}));
  }
}

TEST(LineReader, KeepsAtMostWhatItIsAskedToAndSkipsWholeLines) {
  test::MemorySource source("abcdef\r\nnext\nskipped line\nlast\n");
  LineReader reader(source);
  std::string line;
  EXPECT_FALSE(reader.ReadLine(line, 3));
  EXPECT_EQ(line, "abc");
  EXPECT_TRUE(reader.ReadLine(line, 4));
  EXPECT_EQ(line, "next");
  reader.SkipLine();
  reader.ReadLine(line);
  EXPECT_EQ(line, "last");
}

TEST(TextWriter, WritesThePrimitivesInOrderThroughOneBuffer) {
  test::MemorySink sink;
  TextWriter writer(sink);
  writer.Text("F/");
  writer.TextInField("F/", 9);
  writer.TextInField("longer", 3);
  writer.Char('>');
  writer.Integer(-65);
  writer.LineEnd();
  writer.Line("x");
  EXPECT_EQ(sink.bytes, "") << "nothing reaches the sink before a flush";
  writer.Close();
  EXPECT_EQ(sink.bytes, "F/       F/longer>-65\r\nx\r\n");
  EXPECT_TRUE(sink.closed);
}

TEST(TextWriter, SpillsLargeOutputAndReportsAFailedWrite) {
  test::MemorySink sink;
  sink.failCode = 101;
  sink.failAfter = 100000;
  TextWriter writer(sink);
  std::string line(1000, 'x');
  try {
    for (int i = 0; i < 200; ++i) writer.Line(line);
    writer.Flush();
    FAIL() << "the full disk went unnoticed";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Disk full");
  }
  // What reached the disk before it was full is what was written, in order.
  ASSERT_FALSE(sink.bytes.empty());
  std::string written;
  while (written.size() < sink.bytes.size()) written += line + "\r\n";
  EXPECT_EQ(sink.bytes, written.substr(0, sink.bytes.size()));
}

}  // namespace
}  // namespace velmo
