#pragma once
// The system's services the program uses besides windows: the shell, timers, the locale's
// collation and the clock.
#include <cstdint>
#include <functional>
#include <string>

namespace vandrel {

class IShell {
 public:
  virtual ~IShell() = default;
  // Hands a file (a program, a document or a web address) to the shell with a verb, with no
  // owner window and the normal show state; the result is not examined.
  virtual void Execute(const std::wstring& verb, const std::wstring& file,
                       const std::wstring& parameters) = 0;
};

class ITimers {
 public:
  virtual ~ITimers() = default;
  virtual void Start(int id, unsigned intervalMs, std::function<void()> onTick) = 0;
  virtual void Stop(int id) = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // Appends to `keys` a key whose byte order is the user's locale order of the texts, ignoring
  // case: the system compares its keys exactly as it compares the texts, and far faster when
  // sorting many. Keys appended one after another make one block for a whole list.
  virtual void AppendSortKey(std::string& keys, const std::wstring& text) const = 0;
  // Milliseconds since the system started, 32 bits, wrapping.
  virtual uint32_t TickCount() const = 0;
  // A seed for the pseudo-random generator, taken from the clock.
  virtual uint32_t ClockSeed() const = 0;
  // Returns once about `ms` milliseconds have passed on that clock.
  virtual void Wait(uint32_t ms) = 0;
};

}  // namespace vandrel
