#pragma once
// Owners of the system handles the window side uses; none can be copied.
#include "platform/win32/windows_api.h"

namespace vandrel::win32 {

// A handle the system frees with `Free` once its owner goes; a null one frees nothing.
template <typename Handle, void (*Free)(Handle)>
class Owned {
 public:
  explicit Owned(Handle handle = nullptr) : handle_(handle) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(nullptr); }
  Handle get() const { return handle_; }
  void reset(Handle handle) {
    if (handle_) Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_;
};

template <typename Handle>
void DeleteGdiObject(Handle object) {
  DeleteObject(object);
}
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void FreeItemIdList(PIDLIST_ABSOLUTE list) { CoTaskMemFree(list); }
inline void DestroyMenuHandle(HMENU menu) { DestroyMenu(menu); }

// A font, brush or other GDI object.
template <typename Handle>
using GdiObject = Owned<Handle, DeleteGdiObject<Handle>>;
// A memory device context (CreateCompatibleDC).
using MemoryDc = Owned<HDC, DeleteMemoryDc>;
// A shell item-id list, freed by the shell's allocator.
using ItemIdList = Owned<PIDLIST_ABSOLUTE, FreeItemIdList>;
// A menu not (or no longer) owned by a window.
using MenuHandle = Owned<HMENU, DestroyMenuHandle>;

// Selects an object into a device context and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The device context of one WM_PAINT.
class PaintContext {
 public:
  explicit PaintContext(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintContext(const PaintContext&) = delete;
  PaintContext& operator=(const PaintContext&) = delete;
  ~PaintContext() { EndPaint(window_, &paint_); }
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Keeps a device context's colours and background mode and restores them.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;
  ~SavedDc() { RestoreDC(dc_, saved_); }

 private:
  HDC dc_;
  int saved_;
};

// The thread's COM apartment, which the shell's folder browser needs.
class ComApartment {
 public:
  ComApartment() : ready_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ready_) CoUninitialize();
  }

 private:
  bool ready_;
};

}  // namespace vandrel::win32
