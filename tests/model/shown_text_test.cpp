#include "model/shown_text.h"

#include <gtest/gtest.h>

namespace vambrio {
namespace {

TEST(ShownText, EscapesWhatWouldSteerTheTerminalAndKeepsTheRest) {
  using namespace std::string_literals;
  EXPECT_EQ(ShownText("\x1B[2J\x1B[31mG7\a"), "\\e[2J\\e[31mG7\\a");
  EXPECT_EQ(ShownText("a\nb\r\tc\x7F"s), "a\\nb\\r\\tc\\x7F");
  EXPECT_EQ(ShownText("nul\0end"s), "nul\\x00end");
  EXPECT_EQ(ShownText("Dm7 ♭ Größe"), "Dm7 ♭ Größe");  // UTF-8 stays as it is
  EXPECT_EQ(ShownText("\xC3(\xFF"), "\\xC3(\\xFF");     // bytes that are no UTF-8
  EXPECT_EQ(ShownText("\xC0\xAF"), "\\xC0\\xAF");       // an overlong "/"
  EXPECT_EQ(ShownText("abc\xE2\x80\xAE" "fdp.sty"), "abc\\u202Efdp.sty");  // right-to-left override
  EXPECT_EQ(ShownText("\xC2\x9B" "2J"), "\\u009B2J");  // the 8-bit control sequence introducer
}

TEST(ShownText, CutsLongTextAtACharacterWithAnEllipsis) {
  EXPECT_EQ(ShownText(std::string(40, 'x'), 40), std::string(40, 'x'));
  EXPECT_EQ(ShownText(std::string(41, 'x'), 40), std::string(40, 'x') + "…");
  EXPECT_EQ(ShownText("ääää", 2), "ää…");
  EXPECT_EQ(ShownToken(std::string(1 << 20, 'G')).size(), 40 + std::string("…").size());
  EXPECT_EQ(QuotedToken("\x1B"), "\"\\e\"");
}

}  // namespace
}  // namespace vambrio
