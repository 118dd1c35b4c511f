// How the command line names entries: wildcards, Find's case folding, #N, and the refusals.
#include "cli/name_match.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "tests/test_support.h"

namespace vandrel::cli {
namespace {

TEST(NameMatch, WildcardsAndLatinCaseFolding) {
  EXPECT_TRUE(NameMatches(L"infernus.dff", L"INFERNUS.DFF"));
  EXPECT_TRUE(NameMatches(L"infernus.dff", L"*.dff"));
  EXPECT_TRUE(NameMatches(L"infernus.dff", L"inf*"));
  EXPECT_TRUE(NameMatches(L"infernus.dff", L"*"));
  EXPECT_TRUE(NameMatches(L"", L"*"));
  EXPECT_TRUE(NameMatches(L"a.txd", L"?.txd"));
  EXPECT_TRUE(NameMatches(L"abcabd", L"*ab?"));  // the star gives back what it took
  EXPECT_TRUE(NameMatches(L"a*b", L"a*b"));
  EXPECT_FALSE(NameMatches(L"infernus.dff", L"infernus"));
  EXPECT_FALSE(NameMatches(L"infernus.dff", L"*.txd"));
  EXPECT_FALSE(NameMatches(L"ab.txd", L"?.txd"));
  EXPECT_FALSE(NameMatches(L"", L"?"));
  EXPECT_FALSE(NameMatches(L"abc", L"abcd*"));
  // Only a to z fold, as Find folds them: Cyrillic and other letters keep their case.
  EXPECT_TRUE(NameMatches(L"машина.DFF", L"машина.dff"));
  EXPECT_FALSE(NameMatches(L"машина.dff", L"МАШИНА.dff"));
  EXPECT_FALSE(NameMatches(L"\u00e9.dff", L"\u00c9.dff"));
}

class MatchEntriesTest : public ::testing::Test {
 protected:
  std::vector<TIMGFileEntry> files;
  MatchEntriesTest() {
    for (const char* name : {"a.dff", "b.txd", "A.DFF", "c.dff", "#1"})
      files.push_back(testing::MakeEntry({name, 0, 1}));
  }
  std::wstring Refusal(const std::vector<std::wstring>& patterns) {
    try {
      patterns.size() == 1 ? (void)MatchOne(files, patterns[0]) : (void)MatchAll(files, patterns);
    } catch (const AppError& error) {
      return error.Message();
    }
    return L"(none)";
  }
};

TEST_F(MatchEntriesTest, HashNumberNamesOneEntryWhateverItsName) {
  EXPECT_EQ(MatchEntries(files, L"#1"), std::vector<int>{1});
  EXPECT_EQ(MatchEntries(files, L"#0004"), std::vector<int>{4});
  EXPECT_TRUE(MatchEntries(files, L"#5").empty());
  EXPECT_TRUE(MatchEntries(files, L"#99999999999").empty());
  // Not a number: a name like any other.
  EXPECT_TRUE(MatchEntries(files, L"#").empty());
  EXPECT_EQ(MatchEntries(files, L"#?"), std::vector<int>{4});
}

TEST_F(MatchEntriesTest, SeveralPatternsGiveEachEntryOnceInDirectoryOrder) {
  EXPECT_EQ(MatchAll(files, {L"c.dff", L"*.dff", L"#1"}), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Refusal({L"*.dff", L"*.col"}), L"No entry matches '*.col'");
}

TEST_F(MatchEntriesTest, OneEntryOrARefusalListingTheCandidates) {
  EXPECT_EQ(MatchOne(files, L"b.TXD"), 1);
  EXPECT_EQ(MatchOne(files, L"#2"), 2);
  EXPECT_EQ(Refusal({L"nothing"}), L"No entry matches 'nothing'");
  EXPECT_EQ(Refusal({L"a.dff"}),
            L"'a.dff' matches 2 entries:\n  #0 a.dff\n  #2 A.DFF\n"
            L"Name one of them by its index, such as #0.");
}

TEST_F(MatchEntriesTest, ALongListOfCandidatesIsCut) {
  files.assign(25, testing::MakeEntry({"same", 0, 1}));
  const std::wstring message = Refusal({L"same"});
  EXPECT_NE(message.find(L"  #9 same\n  and 15 more\n"), std::wstring::npos) << ToUtf8(message);
  EXPECT_EQ(message.find(L"#10 "), std::wstring::npos);
}

}  // namespace
}  // namespace vandrel::cli
