#include "tests/fuzz/memory_file_system.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"

namespace vandrel::fuzz {
namespace {

class MemoryFile final : public IFile {
 public:
  MemoryFile(std::shared_ptr<Bytes> bytes, bool writable, size_t cap)
      : bytes_(std::move(bytes)), writable_(writable), cap_(cap) {}

  void Seek(int64_t position) override {
    if (position < 0) throw InOutError(kErrNegativeSeek);
    position_ = position;
  }
  int64_t Position() override { return position_; }
  int64_t Length() override { return static_cast<int64_t>(bytes_->size()); }
  size_t ReadSome(void* buffer, size_t count) override {
    if (position_ >= Length()) return 0;
    const size_t got = std::min(count, bytes_->size() - static_cast<size_t>(position_));
    std::memcpy(buffer, bytes_->data() + position_, got);
    position_ += static_cast<int64_t>(got);
    return got;
  }
  // As a disk that fills up: what fits is written, then the write fails.
  void Write(const void* buffer, size_t count) override {
    if (!writable_) throw InOutError(kErrAccessDenied);
    if (count == 0) return;
    const auto room = static_cast<int64_t>(cap_) - position_;
    if (room <= 0) throw InOutError(kErrDiskFull);
    const size_t put = std::min(count, static_cast<size_t>(room));
    const size_t end = static_cast<size_t>(position_) + put;
    if (bytes_->size() < end) bytes_->resize(end);
    std::memcpy(bytes_->data() + position_, buffer, put);
    position_ += static_cast<int64_t>(put);
    if (put < count) throw InOutError(kErrDiskFull);
  }
  void Flush() override {}
  void SetLength(int64_t length) override {
    if (!writable_) throw InOutError(kErrAccessDenied);
    bytes_->resize(static_cast<size_t>(length));
  }
  void Close() override {}

 private:
  std::shared_ptr<Bytes> bytes_;
  bool writable_;
  size_t cap_;
  int64_t position_ = 0;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem(const std::vector<std::wstring>& folders, size_t fileCap)
    : fileCap_(fileCap) {
  folders_.insert(L"");
  for (const auto& folder : folders) folders_.insert(Plain(folder));
}

std::wstring MemoryFileSystem::Plain(const std::wstring& path) {
  std::wstring plain;
  size_t at = 0;
  while (at <= path.size()) {
    const size_t end = std::min(path.find_first_of(L"/\\", at), path.size());
    const std::wstring_view part = std::wstring_view(path).substr(at, end - at);
    if (part == L"..") {
      if (plain.empty()) return L"";
      plain.erase(plain.rfind(L'/'));
    } else if (!part.empty() && part != L".") {
      plain += L'/';
      plain += part;
    }
    at = end + 1;
  }
  return plain;
}

bool MemoryFileSystem::FolderOf(const std::wstring& plain) const {
  return folders_.count(plain.substr(0, plain.rfind(L'/'))) != 0;
}

void MemoryFileSystem::Put(const std::wstring& path, Bytes bytes) {
  files_[Plain(path)] = std::make_shared<Bytes>(std::move(bytes));
}

void MemoryFileSystem::Empty(const std::wstring& folder) {
  const std::wstring prefix = Plain(folder) + L"/";
  for (auto file = files_.begin(); file != files_.end();)
    file = file->first.compare(0, prefix.size(), prefix) == 0 ? files_.erase(file) : ++file;
}

std::unique_ptr<IFile> MemoryFileSystem::Open(const std::wstring& path, FileMode mode, FileKind) {
  const std::wstring plain = Plain(path);
  if (plain.empty()) throw InOutError(path.empty() ? kErrFileNotFound : kErrInvalidFilename);
  if (folders_.count(plain)) throw InOutError(kErrAccessDenied);
  if (!FolderOf(plain)) throw InOutError(kErrInvalidFilename);
  auto found = files_.find(plain);
  if (mode == FileMode::CreateNew && found != files_.end()) throw InOutError(kErrFileExists);
  if (mode == FileMode::Create || mode == FileMode::CreateNew) {
    if (found == files_.end()) found = files_.emplace(plain, std::make_shared<Bytes>()).first;
    found->second->clear();
  } else if (found == files_.end()) {
    throw InOutError(kErrFileNotFound);
  }
  return std::make_unique<MemoryFile>(found->second, mode != FileMode::ReadOnly, fileCap_);
}

bool MemoryFileSystem::FileExists(const std::wstring& path) {
  return files_.count(Plain(path)) != 0;
}

// A file's bytes are its own, so where they lie tells it from every other.
std::optional<FileIdentity> MemoryFileSystem::IdentityOf(const std::wstring& path) {
  auto found = files_.find(Plain(path));
  if (found == files_.end()) return std::nullopt;
  return FileIdentity{0, reinterpret_cast<uintptr_t>(found->second.get())};
}

std::optional<int64_t> MemoryFileSystem::FindSize(const std::wstring& path) {
  const std::wstring plain = Plain(path);
  if (folders_.count(plain) && !path.empty()) return 0;
  auto found = files_.find(plain);
  if (found == files_.end()) return std::nullopt;
  return static_cast<int64_t>(found->second->size());
}

bool MemoryFileSystem::Rename(const std::wstring& from, const std::wstring& to) {
  const std::wstring source = Plain(from), target = Plain(to);
  auto found = files_.find(source);
  if (found == files_.end() || target.empty() || files_.count(target) || folders_.count(target) ||
      !FolderOf(target))
    return false;
  auto bytes = found->second;
  files_.erase(found);
  files_[target] = std::move(bytes);
  return true;
}

void MemoryFileSystem::Replace(const std::wstring& from, const std::wstring& to) {
  const std::wstring source = Plain(from), target = Plain(to);
  auto found = files_.find(source);
  if (found == files_.end()) throw InOutError(kErrFileNotFound);
  if (target.empty() || !FolderOf(target)) throw InOutError(kErrInvalidFilename);
  if (folders_.count(target)) throw InOutError(kErrAccessDenied);
  if (source == target) return;
  auto bytes = found->second;
  files_.erase(found);
  files_[target] = std::move(bytes);
}

bool MemoryFileSystem::Delete(const std::wstring& path) { return files_.erase(Plain(path)) != 0; }

}  // namespace vandrel::fuzz
