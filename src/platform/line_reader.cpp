#include "platform/line_reader.h"

namespace velmo {

bool LineReader::Next(char& c) {
  if (pos_ == size_) {
    if (ended_) return false;
    size_ = source_.Read(buffer_, sizeof buffer_);
    pos_ = 0;
    if (size_ == 0) {
      ended_ = true;
      return false;
    }
  }
  c = buffer_[pos_++];
  return true;
}

bool LineReader::ReadLine(std::string& line, std::size_t most) {
  line.clear();
  bool whole = true;
  char c;
  while (Next(c)) {
    if (c == '\n') break;
    // A CR is dropped wherever it stands: before LF it is part of the line
    // end, alone it is noise from a terminal.
    if (c == '\r') continue;
    if (line.size() < most) {
      line.push_back(c);
    } else {
      whole = false;
    }
  }
  return whole;
}

void LineReader::SkipLine() {
  char c;
  while (Next(c) && c != '\n') {
  }
}

}  // namespace velmo
