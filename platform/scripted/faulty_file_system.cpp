#include "platform/scripted/faulty_file_system.h"

namespace vandrel::scripted {
namespace {

class FaultyFile final : public IFile {
 public:
  FaultyFile(FaultyFileSystem& owner, std::unique_ptr<IFile> real)
      : owner_(owner), real_(std::move(real)) {}
  void Seek(int64_t position) override {
    owner_.Counted([&] { real_->Seek(position); });
  }
  int64_t Position() override {
    return owner_.Counted([&] { return real_->Position(); });
  }
  int64_t Length() override {
    return owner_.Counted([&] { return real_->Length(); });
  }
  size_t ReadSome(void* buffer, size_t count) override {
    return owner_.Counted([&] { return real_->ReadSome(buffer, count); });
  }
  void Write(const void* buffer, size_t count) override {
    owner_.Counted([&] { real_->Write(buffer, count); });
  }
  size_t ReadSomeAt(void* buffer, size_t count, int64_t position) override {
    return owner_.Counted([&] { return real_->ReadSomeAt(buffer, count, position); });
  }
  void WriteAt(const void* buffer, size_t count, int64_t position) override {
    owner_.Counted([&] { real_->WriteAt(buffer, count, position); });
  }
  // The system is handed the real source, as it is the real files it copies between.
  int64_t CopyFrom(IFile& source, int64_t from, int64_t to, int64_t count) override {
    return owner_.Counted([&]() -> int64_t {
      if (owner_.RefusesSystemCopy()) return 0;
      auto* faulty = dynamic_cast<FaultyFile*>(&source);
      return real_->CopyFrom(faulty != nullptr ? *faulty->real_ : source, from, to, count);
    });
  }
  // Hints are no operations of their own: nothing fails or dies in them.
  void StartWriting(int64_t position, int64_t count) override {
    real_->StartWriting(position, count);
  }
  void ForgetCached(int64_t position, int64_t count) override {
    real_->ForgetCached(position, count);
  }
  void Flush() override {
    owner_.Counted([&] { real_->Flush(); });
  }
  void SetLength(int64_t length) override {
    owner_.Counted([&] { real_->SetLength(length); });
  }
  void Close() override {
    owner_.Counted([&] { real_->Close(); });
  }

 private:
  FaultyFileSystem& owner_;
  std::unique_ptr<IFile> real_;
};

}  // namespace

void FaultyFileSystem::AfterOperation() {
  if (count_ != dieAfter_) return;
  dieAfter_ = 0;
  if (onDeath_) onDeath_();
  throw ProcessDied();
}

bool FaultyFileSystem::Answered(const std::function<bool()>& operation) {
  try {
    return Counted(operation);
  } catch (const InOutError&) {
    return false;
  }
}

std::unique_ptr<IFile> FaultyFileSystem::Open(const std::wstring& path, FileMode mode,
                                              FileKind kind) {
  return Counted([&]() -> std::unique_ptr<IFile> {
    const bool creating = mode == FileMode::Create || mode == FileMode::CreateNew;
    if (creating && !lockedFolder_.empty() && path.rfind(lockedFolder_, 0) == 0)
      throw InOutError(kErrAccessDenied);
    return std::make_unique<FaultyFile>(*this, real_.Open(path, mode, kind));
  });
}

bool FaultyFileSystem::Rename(const std::wstring& from, const std::wstring& to) {
  return Answered([&] { return !IsHeld(from) && real_.Rename(from, to); });
}

void FaultyFileSystem::Replace(const std::wstring& from, const std::wstring& to) {
  Counted([&] {
    if (IsHeld(from) || IsHeld(to)) throw InOutError(kErrAccessDenied);
    real_.Replace(from, to);
  });
}

bool FaultyFileSystem::CanReplace(const std::wstring& path) {
  return Answered([&] { return !IsHeld(path) && real_.CanReplace(path); });
}

bool FaultyFileSystem::Delete(const std::wstring& path) {
  return Answered([&] { return !IsHeld(path) && real_.Delete(path); });
}

}  // namespace vandrel::scripted
