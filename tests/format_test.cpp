// The two on-disk layouts, byte for byte.
#include <gtest/gtest.h>

#include "archive/img_format.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using testing::Bytes;

TEST(Format, EntryIsLittleEndianOffsetSizeThenName) {
  TIMGFileEntry entry = testing::MakeEntry({"a.txd", 2, 1});
  unsigned char bytes[32];
  EncodeEntry(entry, bytes);
  Bytes expected = {2, 0, 0, 0, 1, 0, 0, 0, 'a', '.', 't', 'x', 'd'};
  expected.resize(32, 0);
  EXPECT_EQ(Bytes(bytes, bytes + 32), expected);

  WriteInt32(-2, bytes);
  WriteInt32(0x12345678, bytes + 4);
  TIMGFileEntry back = DecodeEntry(bytes);
  EXPECT_EQ(back.Offset, -2);
  EXPECT_EQ(back.Size, 0x12345678);
  EXPECT_EQ(bytes[4], 0x78);
  EXPECT_EQ(NameBytes(back), "a.txd");
}

TEST(Format, HeaderIsSignatureAndCount) {
  unsigned char bytes[8];
  TIMGHeader header;
  header.FileCount = 1;
  EncodeHeader(header, bytes);
  EXPECT_EQ(Bytes(bytes, bytes + 8), (Bytes{0x56, 0x45, 0x52, 0x32, 1, 0, 0, 0}));
  EXPECT_TRUE(IsVersion2(DecodeHeader(bytes)));
  bytes[3] = 'X';
  EXPECT_FALSE(IsVersion2(DecodeHeader(bytes)));
  unsigned char lower[8] = {'v', 'e', 'r', '2', 0, 0, 0, 0};
  EXPECT_FALSE(IsVersion2(DecodeHeader(lower)));
}

TEST(Format, NameFieldRules) {
  TIMGFileEntry entry;
  SetNameBytes(entry, "abcdefghijklmnopqrstuvwxyz0123");  // 30 bytes keep their first 24
  EXPECT_EQ(NameBytes(entry), "abcdefghijklmnopqrstuvwx");
  SetNameBytes(entry, "abc");  // no trace of the longer name remains
  EXPECT_EQ(NameBytes(entry), "abc");
  for (size_t i = 3; i < kNameSize; ++i) EXPECT_EQ(entry.Name[i], '\0');
  entry.Name[4] = '\xFF';  // bytes after the zero are ignored
  EXPECT_EQ(NameBytes(entry), "abc");
  SetNameBytes(entry, "\xC8\xEC\xFF");  // Windows-1251 bytes read as Cyrillic text
  EXPECT_EQ(NameText(entry), L"Имя");
}

TEST(Format, DirPathReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(DirPathFor(L"C:\\gta\\models\\gta3.img"), L"C:\\gta\\models\\gta3.dir");
  EXPECT_EQ(DirPathFor(L"C:\\gta.v1\\models"), L"C:\\gta.v1\\models.dir");
  EXPECT_EQ(DirPathFor(L"C:\\gta\\a.b.IMG"), L"C:\\gta\\a.b.dir");
  EXPECT_EQ(DirPathFor(L"D:cars"), L"D:cars.dir");
  EXPECT_EQ(DirPathFor(L"/tmp/x.img"), L"/tmp/x.dir");
}

}  // namespace
}  // namespace vandrel
