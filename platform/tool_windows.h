#pragma once
// The program's small windows besides the main one: the tool windows (Options, About), laid
// out from a design, and the splash window.
#include <functional>
#include <string>
#include <vector>

namespace vandrel {

// A control's place in its window's client area, in pixels.
struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Bounds&) const = default;
};

enum class ControlKind {
  GroupBox,
  CheckBox,
  Button,   // a push button that is never the window's default or cancel button
  AppIcon,  // the application's icon
  Label,    // centred text of fixed size, line feeds breaking lines
  Link,     // a centred label in blue, underlined, with a hand-shaped pointer; clickable
};

struct ControlDesign {
  int id;
  ControlKind kind;
  Bounds bounds;
  std::wstring text;
};

// A small fixed-size tool window (small title bar with a close box), font "MS Sans Serif"
// 8 pt. Its controls stand in tab order.
struct ToolWindowDesign {
  std::wstring caption;
  int clientWidth = 0, clientHeight = 0;
  std::vector<ControlDesign> controls;
};

enum class ModalResult { Ok, Cancel };

// A tool window while it is shown, as its event handlers see it.
class IToolWindow {
 public:
  virtual ~IToolWindow() = default;
  virtual void SetIconFromResource() = 0;
  virtual void CentreOnScreen() = 0;
  virtual bool IsChecked(int control) const = 0;
  virtual void SetChecked(int control, bool checked) = 0;
  // Ends the modal loop with this result once the handler returns.
  virtual void EndModal(ModalResult result) = 0;
};

struct ToolWindowEvents {
  std::function<void(IToolWindow&)> onCreate;
  // A button, check box or link was clicked.
  std::function<void(IToolWindow&, int control)> onClick;
};

class IToolWindows {
 public:
  virtual ~IToolWindows() = default;
  // Creates the window hidden, runs onCreate, shows it modally and releases it when it ends;
  // the close box ends it with Cancel. Enter acts only on a focused button; Esc does nothing.
  virtual ModalResult ShowModal(const ToolWindowDesign& design, const ToolWindowEvents& events) = 0;
};

// The borderless black splash window with the splash picture at 1, 1 and a red progress bar
// over it. Not modal: it lives on through the message loop until it is released.
class ISplashWindow {
 public:
  virtual ~ISplashWindow() = default;
  // Creates it hidden, the picture in place.
  virtual void Create() = 0;
  virtual int PictureWidth() const = 0;
  virtual int PictureHeight() const = 0;
  virtual void SetIconFromResource() = 0;
  virtual void SetClientSize(int width, int height) = 0;
  virtual int ClientHeight() const = 0;
  virtual void CentreOnScreen() = 0;
  virtual void SetProgressBounds(const Bounds& bounds) = 0;
  virtual void Show() = 0;
  // Closes and destroys it.
  virtual void Release() = 0;
};

}  // namespace vandrel
