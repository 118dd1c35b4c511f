// Dragging files onto a window as Explorer does on Windows: an OLE drag of the shell's file
// list, from this process, ending with a drop at a point of the target. Under Wine the drop
// comes from another X client instead.
#include <ole2.h>
#include <shlobj.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/driver_xdnd.h"

namespace vandrel::e2e {
namespace {

// The file list in the shell's CF_HDROP form: a DROPFILES header, then the paths, each ended
// by a zero, and one more zero.
HGLOBAL FileList(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const auto& path : paths) names += path + L'\0';
  names += L'\0';
  const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

bool IsFileList(const FORMATETC* format) {
  return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) &&
         format->dwAspect == DVASPECT_CONTENT;
}

// Both halves of the drag in one object, alive on this function's stack for the whole drag.
class FileDrag final : public IDataObject, public IDropSource {
 public:
  FileDrag(const std::vector<std::wstring>& paths, int steps) : paths_(paths), steps_(steps) {}

  STDMETHODIMP QueryInterface(REFIID id, void** out) override {
    if (id == IID_IUnknown || id == IID_IDataObject)
      *out = static_cast<IDataObject*>(this);
    else if (id == IID_IDropSource)
      *out = static_cast<IDropSource*>(this);
    else
      return *out = nullptr, E_NOINTERFACE;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!IsFileList(format)) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = FileList(paths_);
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    return IsFileList(format) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &format, out);
  }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  // The button is let go once the drag has passed over the target for a few steps, as a
  // hand lets go once the pointer rests where it wants.
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return --steps_ > 0 ? S_OK : DRAGDROP_S_DROP;
  }
  STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  std::vector<std::wstring> paths_;
  int steps_;
};

}  // namespace

DWORD DragFilesOnto(HWND window, POINT client, const std::vector<std::wstring>& paths) {
  POINT screen = client;
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  WaitUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
  });
  if (std::optional<DWORD> effect = DropFromXClient(screen, paths)) return *effect;
  OleInitialize(nullptr);
  FileDrag drag(paths, 10);
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(&drag, &drag, DROPEFFECT_COPY, &effect);
  OleUninitialize();
  return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

}  // namespace vandrel::e2e
