#include "platform/scripted/faulty_file_system.h"

#include "platform/errors.h"

namespace vandrel::scripted {
namespace {

class FaultyFile final : public IFile {
 public:
  FaultyFile(FaultyFileSystem& owner, std::unique_ptr<IFile> real)
      : owner_(owner), real_(std::move(real)) {}
  void Seek(int64_t position) override { owner_.Step(), real_->Seek(position); }
  int64_t Position() override { return owner_.Step(), real_->Position(); }
  int64_t Length() override { return owner_.Step(), real_->Length(); }
  size_t ReadSome(void* buffer, size_t count) override {
    return owner_.Step(), real_->ReadSome(buffer, count);
  }
  void Write(const void* buffer, size_t count) override {
    owner_.Step(), real_->Write(buffer, count);
  }
  void Close() override { owner_.Step(), real_->Close(); }

 private:
  FaultyFileSystem& owner_;
  std::unique_ptr<IFile> real_;
};

}  // namespace

void FaultyFileSystem::Step() {
  if (++count_ == failAt_) throw InOutError(code_);
}

std::unique_ptr<IFile> FaultyFileSystem::Open(const std::wstring& path, FileMode mode) {
  Step();
  const bool locked = !lockedFolder_.empty() && path.rfind(lockedFolder_, 0) == 0;
  if (mode == FileMode::Create && locked) throw InOutError(kErrAccessDenied);
  return std::make_unique<FaultyFile>(*this, real_.Open(path, mode));
}

}  // namespace vandrel::scripted
