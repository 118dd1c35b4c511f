// The file layer against the real file system: every failure carries the user's words.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "platform/errors.h"
#include "platform/file.h"
#include "platform/utf8.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;

// Failures the program has no text for carry the system's number and then its words.
#ifdef _WIN32
constexpr wchar_t kBeforeStart[] = L"I/O error 131: ", kExists[] = L"I/O error 80: ";
#else
constexpr wchar_t kBeforeStart[] = L"I/O error 22: ", kExists[] = L"I/O error 17: ";
#endif
::testing::AssertionResult NumberAndWords(const std::wstring& text, const std::wstring& number) {
  if (text.rfind(number, 0) == 0 && text.size() > number.size() + 3)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << ToUtf8(text);
}

class FileLayerTest : public ::testing::Test {
 protected:
  FileLayerTest() {
    root_ = fs::temp_directory_path() / ("vandrel-files-" + std::to_string(std::random_device()()));
    fs::create_directories(root_);
  }
  ~FileLayerTest() override {
    std::error_code ignored;
    for (auto& entry : fs::directory_iterator(root_, ignored))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
  }
  std::wstring Path(const char* name) { return (root_ / name).wstring(); }
  void Make(const char* name, const std::string& content) {
    std::ofstream(root_ / name, std::ios::binary) << content;
  }
  void MakeReadOnly(const char* name) {
    fs::permissions(root_ / name,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  std::wstring ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const InOutError& error) {
      return error.Message();
    }
    return L"(no error)";
  }

  fs::path root_;
  std::unique_ptr<IFileSystem> files_ = MakeNativeFileSystem();
};

TEST(InOutErrorText, NamesEveryKnownCodeAndGivesTheSystemsWordsForTheRest) {
  EXPECT_EQ(InOutErrorText(2), L"File not found");
  EXPECT_EQ(InOutErrorText(3), L"Invalid filename");
  EXPECT_EQ(InOutErrorText(4), L"Too many open files");
  EXPECT_EQ(InOutErrorText(5), L"File access denied");
  EXPECT_EQ(InOutErrorText(100), L"Read beyond end of file");
  EXPECT_EQ(InOutErrorText(101), L"Disk full");
  EXPECT_EQ(InOutErrorText(106), L"Invalid numeric input");
  EXPECT_TRUE(NumberAndWords(InOutErrorText(kErrFileExists), kExists));
}

// Names from the command line and from folder listings: only the shortest form of a real
// character is text, so no byte sequence but "/" itself can turn into a separator.
TEST(Utf8, OnlyTheShortestFormsOfRealCharactersAreText) {
  for (const char* text :
       {"", "a/b", "\xD0\xB0", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
    EXPECT_TRUE(IsUtf8(text)) << text;
  for (const char* bytes :
       {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\xAF", "\xE2\x82", "a\xD0", "\x80", "\xFF"}) {
    EXPECT_FALSE(IsUtf8(bytes)) << bytes;
    EXPECT_EQ(FromUtf8(bytes).find(L'/'), std::wstring::npos) << bytes;
  }
  EXPECT_EQ(FromUtf8("a\xC0\xAF"
                     "b\xD0\xB0"),
            L"a\uFFFD\uFFFDb\u0430");
}

TEST_F(FileLayerTest, OpenFailuresNameTheirCause) {
  EXPECT_EQ(ErrorOf([&] { files_->Open(Path("missing.img"), FileMode::ReadOnly); }),
            L"File not found");
  EXPECT_EQ(ErrorOf([&] { files_->Open(Path("no-such-folder/x.img"), FileMode::Create); }),
            L"Invalid filename");
  Make("locked.img", "data");
  MakeReadOnly("locked.img");
  EXPECT_EQ(ErrorOf([&] { files_->Open(Path("locked.img"), FileMode::ReadWrite); }),
            L"File access denied");
  EXPECT_EQ(ErrorOf([&] { files_->Open(Path("locked.img"), FileMode::Create); }),
            L"File access denied");
  EXPECT_EQ(ErrorOf([&] { files_->Open(Path("locked.img"), FileMode::CreateNew); }),
            L"File access denied");
  fs::create_directories(root_ / "folder");
  EXPECT_EQ(ErrorOf([&] { files_->Open(Path("folder"), FileMode::Create); }),
            L"File access denied");
  // Reading a read-only file is fine.
  auto file = files_->Open(Path("locked.img"), FileMode::ReadOnly);
  EXPECT_EQ(file->Length(), 4);
  file->Close();
}

TEST_F(FileLayerTest, ShortReadIsReadBeyondEndButReadSomeReportsTheCount) {
  Make("short.bin", "abcd");
  auto file = files_->Open(Path("short.bin"), FileMode::ReadOnly);
  char buffer[8];
  EXPECT_EQ(ErrorOf([&] { file->Read(buffer, 8); }), L"Read beyond end of file");
  file->Seek(1);
  EXPECT_EQ(file->ReadSome(buffer, 8), 3u);
  EXPECT_EQ(std::string(buffer, 3), "bcd");
  EXPECT_EQ(file->ReadSome(buffer, 8), 0u);
  EXPECT_TRUE(NumberAndWords(ErrorOf([&] { file->Seek(-2048); }), kBeforeStart));
  file->Close();
}

TEST_F(FileLayerTest, CreateTruncatesAndPositionsAreSixtyFourBit) {
  Make("big.img", "old content");
  auto file = files_->Open(Path("big.img"), FileMode::Create);
  EXPECT_EQ(file->Length(), 0);
  const int64_t beyond4GiB = (int64_t{5} << 30) + 7;
  file->Seek(beyond4GiB);
  file->Write("xy", 2);
  EXPECT_EQ(file->Position(), beyond4GiB + 2);
  EXPECT_EQ(file->Length(), beyond4GiB + 2);
  file->Seek(beyond4GiB);
  char back[2];
  file->Read(back, 2);
  EXPECT_EQ(std::string(back, 2), "xy");
  file->Close();
  EXPECT_EQ(*files_->FindSize(Path("big.img")), beyond4GiB + 2);
}

TEST_F(FileLayerTest, WritingToAFullDeviceIsDiskFull) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  auto file = files_->Open(L"/dev/full", FileMode::ReadWrite);
  char data[4096] = {};
  EXPECT_EQ(ErrorOf([&] { file->Write(data, sizeof data); }), L"Disk full");
}

TEST_F(FileLayerTest, ExistenceSizeRenameAndDelete) {
  Make("empty.bin", "");
  Make("five.bin", "12345");
  fs::create_directories(root_ / "folder");
  EXPECT_TRUE(files_->FileExists(Path("five.bin")));
  EXPECT_FALSE(files_->FileExists(Path("folder")));
  EXPECT_FALSE(files_->FileExists(Path("missing")));
  EXPECT_EQ(files_->FindSize(Path("missing")), std::nullopt);
  EXPECT_EQ(*files_->FindSize(Path("empty.bin")), 0);
  EXPECT_EQ(*files_->FindSize(Path("five.bin")), 5);
  EXPECT_TRUE(files_->FindSize(Path("folder")).has_value());

  EXPECT_FALSE(files_->Rename(Path("five.bin"), Path("empty.bin")));  // never over a file
  EXPECT_TRUE(files_->Rename(Path("five.bin"), Path("moved.bin")));
  EXPECT_FALSE(files_->FileExists(Path("five.bin")));
  MakeReadOnly("moved.bin");
  EXPECT_FALSE(files_->Delete(Path("moved.bin")));
  EXPECT_TRUE(files_->Delete(Path("empty.bin")));
  EXPECT_FALSE(files_->Delete(Path("empty.bin")));
  EXPECT_FALSE(files_->ProgramPath().empty());
}

TEST_F(FileLayerTest, SameFileKnowsAFileByItselfNotByItsPath) {
  Make("a.img", "same");
  Make("b.img", "same");
  fs::create_directories(root_ / "sub");
  fs::create_hard_link(root_ / "a.img", root_ / "sub" / "link.img");
  const std::wstring roundabout = (root_ / "sub" / ".." / "a.img").wstring();
  EXPECT_TRUE(files_->SameFile(Path("a.img"), Path("a.img")));
  EXPECT_TRUE(files_->SameFile(Path("a.img"), roundabout));
  EXPECT_TRUE(files_->SameFile((root_ / "sub" / "link.img").wstring(), Path("a.img")));
  EXPECT_FALSE(files_->SameFile(Path("a.img"), Path("b.img")));
  EXPECT_FALSE(files_->SameFile(Path("a.img"), Path("missing.img")));
  EXPECT_FALSE(files_->SameFile(Path("missing.img"), Path("missing.img")));
  MakeReadOnly("b.img");
  EXPECT_TRUE(files_->SameFile(Path("b.img"), Path("b.img")));
  // The number alone rules files out: one file's is the same by every way to it.
  const auto number = files_->FileNumberOf(Path("a.img"));
  ASSERT_TRUE(number);
  EXPECT_EQ(files_->FileNumberOf(roundabout), number);
  EXPECT_EQ(files_->FileNumberOf((root_ / "sub" / "link.img").wstring()), number);
  EXPECT_NE(files_->FileNumberOf(Path("b.img")), number);
  EXPECT_FALSE(files_->FileNumberOf(Path("missing.img")));
}

// What the editing commands build their safety on: a file made only when its name is free,
// flushed to disk, and put in place of another in one step.
TEST_F(FileLayerTest, CreateNewFlushReplaceAndTheReplaceProbe) {
  Make("taken.bin", "old");
  EXPECT_TRUE(NumberAndWords(ErrorOf([&] { files_->Open(Path("taken.bin"), FileMode::CreateNew); }),
                             kExists));
  auto fresh = files_->Open(Path("fresh.bin"), FileMode::CreateNew);
  fresh->Write("new data", 8);
  fresh->Flush();
  fresh->Close();

  EXPECT_TRUE(files_->CanReplace(Path("taken.bin")));
  EXPECT_FALSE(files_->CanReplace(Path("missing.bin")));
  files_->Replace(Path("fresh.bin"), Path("taken.bin"));
  EXPECT_FALSE(files_->FileExists(Path("fresh.bin")));
  EXPECT_EQ(*files_->FindSize(Path("taken.bin")), 8);
  files_->Replace(Path("taken.bin"), Path("moved.bin"));  // no file of that name yet
  EXPECT_EQ(*files_->FindSize(Path("moved.bin")), 8);
  EXPECT_EQ(ErrorOf([&] { files_->Replace(Path("gone.bin"), Path("moved.bin")); }),
            L"File not found");

  Make("other.bin", "x");
  MakeReadOnly("moved.bin");
  EXPECT_FALSE(files_->CanReplace(Path("moved.bin")));
  EXPECT_EQ(ErrorOf([&] { files_->Replace(Path("other.bin"), Path("moved.bin")); }),
            L"File access denied");
  EXPECT_EQ(*files_->FindSize(Path("moved.bin")), 8);
}

// Holds keep other holds out, also a second one of the same program, and nothing else: the
// file is read and written meanwhile, and replaced and renamed by the one that holds it.
TEST_F(FileLayerTest, HoldsKeepOnlyOtherHoldsOut) {
  Make("a.img", "archive");
  Make("new.img", "rebuilt");
  const std::wstring img = Path("a.img");
  {
    auto reader = files_->TryLock(img, LockKind::Shared);
    auto other = files_->TryLock(img, LockKind::Shared);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(files_->TryLock(img, LockKind::Exclusive), nullptr);
    EXPECT_TRUE(reader->Names(img));
  }
  auto writer = files_->TryLock(img, LockKind::Exclusive);
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(files_->TryLock(img, LockKind::Shared), nullptr);
  EXPECT_EQ(files_->TryLock(img, LockKind::Exclusive), nullptr);
  auto file = files_->Open(img, FileMode::ReadWrite);
  file->Seek(7);
  file->Write("!", 1);
  file->Seek(0);
  char bytes[8];
  file->Read(bytes, sizeof bytes);
  file->Close();
  EXPECT_EQ(std::string(bytes, sizeof bytes), "archive!");
  EXPECT_TRUE(files_->CanReplace(img));
  files_->Replace(Path("new.img"), img);
  EXPECT_EQ(*files_->FindSize(img), 7);
  // The name holds another file now, which is free.
  EXPECT_FALSE(writer->Names(img));
  auto next = files_->TryLock(img, LockKind::Exclusive);
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(files_->Rename(img, Path("TMPI1")));
  EXPECT_FALSE(next->Names(img));
  EXPECT_EQ(ErrorOf([&] { files_->TryLock(img, LockKind::Shared); }), L"File not found");
  // A read-only file is held too, though perhaps only as readers hold it.
  next.reset();
  MakeReadOnly("TMPI1");
  EXPECT_NE(files_->TryLock(Path("TMPI1"), LockKind::Exclusive), nullptr);
}

// The opens an archive's own files use: a device (whose reads never end) and, where the test can
// make them, a link and a pipe are refused without being opened; a regular file can be cut.
TEST_F(FileLayerTest, AFileOfItsOwnIsARegularFileAtThePathItself) {
#ifdef _WIN32
  const std::wstring device = L"NUL";
#else
  const std::wstring device = L"/dev/zero";
  Make("target.img", "target");
  fs::create_symlink(root_ / "target.img", root_ / "link.img");
  ASSERT_EQ(::mkfifo((root_ / "pipe.img").c_str(), 0666), 0);
  for (const char* name : {"link.img", "pipe.img"})
    EXPECT_EQ(ErrorOf([&] { files_->Open(Path(name), FileMode::ReadOnly, FileKind::Own); }),
              L"Not a regular file")
        << name;
  files_->Open(Path("link.img"), FileMode::ReadOnly, FileKind::Regular)->Close();
#endif
  for (const FileKind kind : {FileKind::Regular, FileKind::Own})
    EXPECT_EQ(ErrorOf([&] { files_->Open(device, FileMode::ReadOnly, kind); }),
              L"Not a regular file");
  Make("own.img", "archive data");
  auto file = files_->Open(Path("own.img"), FileMode::ReadWrite, FileKind::Own);
  file->SetLength(7);
  EXPECT_EQ(file->Length(), 7);
  file->Close();
  EXPECT_EQ(*files_->FindSize(Path("own.img")), 7);
}

#ifdef _WIN32
// A game holding the archive open without allowing deletion: the probe says so beforehand,
// and neither a rename nor a replace goes through.
TEST_F(FileLayerTest, AFileHeldWithoutDeleteSharingCannotBeReplaced) {
  Make("held.img", "archive");
  Make("new.img", "rebuilt");
  HANDLE held =
      CreateFileW(Path("held.img").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files_->CanReplace(Path("held.img")));
  EXPECT_FALSE(files_->Rename(Path("held.img"), Path("TMPI1")));
  EXPECT_EQ(ErrorOf([&] { files_->Replace(Path("new.img"), Path("held.img")); }),
            L"File access denied");
  EXPECT_FALSE(files_->Delete(Path("held.img")));
  // Our own opens share reading and writing, so the archive can be read while held.
  auto file = files_->Open(Path("held.img"), FileMode::ReadWrite);
  file->Close();
  CloseHandle(held);
  EXPECT_TRUE(files_->CanReplace(Path("held.img")));
  files_->Replace(Path("new.img"), Path("held.img"));
  EXPECT_EQ(*files_->FindSize(Path("held.img")), 7);
}
#endif

}  // namespace
}  // namespace vandrel
