#pragma once
// The window's progress texts ("Извлечение    3/8 (38%)") redrawn as one line of a terminal:
// the words, a bar and the count. Texts without a count leave the line alone.
#include <ostream>
#include <string>

namespace vandrel::console {

class ProgressLine {
 public:
  // Draws nothing at all unless `enabled` (the stream is a terminal).
  ProgressLine(std::ostream& stream, bool enabled) : stream_(stream), enabled_(enabled) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(const std::wstring& status);
  // Blanks the line, so that what is written next starts on a clean one.
  void Clear();

 private:
  std::ostream& stream_;
  bool enabled_;
  std::wstring drawnKey_;  // the words and percent last drawn
  size_t width_ = 0;       // the drawn line's length in characters, 0 when there is none
};

}  // namespace vandrel::console
