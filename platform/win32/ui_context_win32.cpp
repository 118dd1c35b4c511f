#include "platform/win32/ui_context_win32.h"

namespace vandrel::win32 {
namespace {

HFONT MakeFont(int weight, BOOL underline = FALSE) {
  return CreateFontW(-11, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
}

}  // namespace

Fonts::Fonts()
    : regular_(MakeFont(FW_NORMAL)),
      bold_(MakeFont(FW_BOLD)),
      underlined_(MakeFont(FW_NORMAL, TRUE)) {}

}  // namespace vandrel::win32
