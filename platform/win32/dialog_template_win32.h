#pragma once
// A dialog box's layout built in memory, in dialog units, in the system's own template format.
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace vandrel::win32 {

// Writes a DLGTEMPLATE and its items word by word, as the dialog manager reads them.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short width, short height, const std::wstring& caption, short items,
                 DWORD extendedStyle = 0) {
    Long(style | DS_SETFONT);
    Long(extendedStyle);
    Word(static_cast<WORD>(items));
    Words({0, 0, static_cast<WORD>(width), static_cast<WORD>(height)});
    Words({0, 0});  // no menu, the standard class
    Text(caption);
    Word(8);
    Text(L"MS Sans Serif");
  }
  // Controls of the system classes: 0x80 button, 0x81 edit, 0x82 static.
  void Item(WORD systemClass, DWORD style, short x, short y, short width, short height, WORD id,
            const std::wstring& text) {
    if (words_.size() % 2) Word(0);  // items start on a DWORD boundary
    Long(style | WS_CHILD | WS_VISIBLE);
    Long(0);
    Words({static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(width),
           static_cast<WORD>(height), id, 0xFFFF, systemClass});
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD word) { words_.push_back(word); }
  void Words(std::initializer_list<WORD> words) { words_.insert(words_.end(), words); }
  void Long(DWORD value) { Words({LOWORD(value), HIWORD(value)}); }
  void Text(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    Word(0);
  }
  std::vector<WORD> words_;
};

}  // namespace vandrel::win32
