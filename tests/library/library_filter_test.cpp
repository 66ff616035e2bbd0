// Searching and filtering rows as the window and vambrio-cli do.
#include <gtest/gtest.h>

#include "library/library_filter.h"

namespace vambrio::library {
namespace {

LibraryRow Row(const char* path, const char* name, int tempo, const char* ts, const char* format) {
  LibraryRow r;
  r.path = path;
  r.name = QString::fromUtf8(name);
  r.tempo = tempo;
  r.timeSignature = ts;
  r.format = format;
  r.hash = "h";
  return r;
}

TEST(LibraryFilter, WordsAreFoundInNameFileOrFolderInAnyCase) {
  LibraryRow bossa = Row("/styles/Latin/bn_01.sty", "Bossa Nova", 120, "4/4", "SFF1");
  auto match = [&](const char* text) {
    LibraryFilter f;
    f.text = QString::fromUtf8(text);
    return RowMatcher(f).Matches(bossa);
  };
  EXPECT_TRUE(match(""));
  EXPECT_TRUE(match("bossa"));
  EXPECT_TRUE(match("NOVA latin"));  // every word, anywhere
  EXPECT_TRUE(match("bn_0"));
  EXPECT_FALSE(match("bossa waltz"));
  EXPECT_FALSE(match("styles/latin/bn"));  // the folder and the file name are separate fields
}

TEST(LibraryFilter, TempoTimeSignatureFormatAndFavourites) {
  LibraryRow slow = Row("/a.sty", "Slow", 80, "3/4", "SFF2");
  LibraryRow broken = Row("/b.sty", "", 0, "", "");
  broken.error = "This file could not be opened";
  auto match = [](const LibraryFilter& f, const LibraryRow& r) { return RowMatcher(f).Matches(r); };
  LibraryFilter f;
  f.tempoMin = 70;
  f.tempoMax = 80;
  EXPECT_TRUE(match(f, slow));
  EXPECT_FALSE(match(f, broken));
  f.tempoMin = 81;
  EXPECT_FALSE(match(f, slow));

  LibraryFilter ts;
  ts.timeSignature = "3/4";
  EXPECT_TRUE(match(ts, slow));
  ts.timeSignature = "4/4";
  EXPECT_FALSE(match(ts, slow));

  LibraryFilter format;
  format.format = "sff2";
  EXPECT_TRUE(match(format, slow));
  format.format = "sff1";
  EXPECT_FALSE(match(format, slow));

  LibraryFilter special;
  special.favouritesOnly = true;
  EXPECT_FALSE(match(special, slow));
  special = {};
  special.errorsOnly = true;
  EXPECT_TRUE(match(special, broken));
  EXPECT_FALSE(match(special, slow));
}

TEST(LibraryFilter, TempoRangesAndTimeSignaturesOnTheCommandLine) {
  EXPECT_EQ(ParseTempoRange("90-120"), std::make_pair(90, 120));
  EXPECT_EQ(ParseTempoRange("90-"), std::make_pair(90, 0));
  EXPECT_EQ(ParseTempoRange("-120"), std::make_pair(0, 120));
  EXPECT_EQ(ParseTempoRange("100"), std::make_pair(100, 100));
  for (const char* bad : {"", "-", "120-90", "fast", "90-1x", "0"}) EXPECT_EQ(ParseTempoRange(bad), std::nullopt) << bad;
  EXPECT_TRUE(IsTimeSignature("4/4"));
  EXPECT_TRUE(IsTimeSignature("12/8"));
  EXPECT_FALSE(IsTimeSignature("4/3"));
  EXPECT_FALSE(IsTimeSignature("4"));
  EXPECT_FALSE(IsTimeSignature("0/4"));
}

}  // namespace
}  // namespace vambrio::library
