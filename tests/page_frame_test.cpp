#include "output/page_frame.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace velmo {
namespace {

std::string Head(const RunSettings& settings) {
  return test::Written([&](TextWriter& out) { WritePageHead(out, settings); });
}

/// The notes of the page: the lines after the dof-1 region up to the
/// opening of the link region.
std::string Notes(const std::string& head) {
  const std::string from = "<!-- #dof-1.i -->\r\n<HR>\r\n<!-- # -->\r\n";
  const std::string to = "<!-- #dof-url.i -->\r\n";
  std::size_t start = head.find(from) + from.size();
  return head.substr(start, head.find(to) + to.size() - start);
}

TEST(PageFrame, UnicodeInTheCommentShowsWhateverThePageDeclares) {
  struct Case {
    const char* comment;
    const char* shown;
  };
  const Case cases[] = {
      {"16\xE2\x80\x93"
       "56 mm, Z\xC3\xBCrich \xF0\x9F\x98\x80",
       "16&#8211;56 mm, Z&#252;rich &#128512;"},
      // Not UTF-8, as it stands: a Latin-1 file, an overlong form, a
      // surrogate, a cut sequence.
      {"Z\xFCrich", "Z\xFCrich"},
      {"\xC0\xAF \xED\xA0\x80 \xE2\x80", "\xC0\xAF \xED\xA0\x80 \xE2\x80"},
  };
  for (const Case& c : cases) {
    RunSettings s;
    s.Comment = c.comment;
    EXPECT_EQ(test::LinesWith(Head(s), "<P CLASS=CTR> "),
              std::vector<std::string>{std::string("<P CLASS=CTR> ") + c.shown});
  }
}

TEST(PageFrame, TheTableMarkerIsTheFragmentName) {
  EXPECT_EQ(TableMarker("/photo/lenses.html"), "<!-- #lenses.i -->");
  EXPECT_EQ(TableMarker("/photo/my.lenses.html"), "<!-- #my.lenses.i -->");
  EXPECT_EQ(TableMarker("/photo.d/lenses"), "<!-- #lenses.i -->");
}

TEST(PageFrame, TheCommentLineAppearsOnlyWithACommentAndUnchanged) {
  RunSettings s;
  s.OutputFileName = "/photo/lenses.html";
  EXPECT_EQ(Notes(Head(s)), test::CrLf({
                                "<TABLE><TR><TD>",
                                "<P CLASS=CTR>Circle of confusion of .015 mm was used in the calculations.",
                                "<!-- #dof-url.i -->",
                            }));
  s.Comment = "Lenses for <B>the new body</B> & more";
  s.CoC = 0.03;
  EXPECT_EQ(Notes(Head(s)), test::CrLf({
                                "<TABLE><TR><TD>",
                                "<P CLASS=CTR> Lenses for <B>the new body</B> & more",
                                "<P CLASS=CTR>Circle of confusion of .03 mm was used in the calculations.",
                                "<!-- #dof-url.i -->",
                            }));
}

TEST(PageFrame, TheCameraFormatIsNamedAfterTheCircleOfConfusion) {
  RunSettings s;
  s.CoC = 0.028844410203711916;
  s.CoCFrom = CoCOrigin::Format;
  s.Format = {36, 24};
  EXPECT_NE(
      Head(s).find("<P CLASS=CTR>Circle of confusion of .028844 mm was used in the calculations.\r\n"
                   "<P CLASS=CTR>It is the diagonal of the 36 x 24 mm format, 43.3 mm, divided by 1500.\r\n"),
      std::string::npos)
      << Head(s);
  s.CoCFrom = CoCOrigin::Key;
  EXPECT_EQ(Head(s).find("format"), std::string::npos);
}

TEST(PageFrame, APageForPhonesAddsItsTitleLanguageAndViewportOnly) {
  RunSettings s;
  s.OutputFileName = "/photo/lenses.html";
  const std::string plain = Head(s);
  s.Phone = true;
  std::string phone = Head(s);
  const std::string added[] = {
      "<TITLE>Depth of Field Tables</TITLE>\r\n",
      "<META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\">\r\n",
  };
  for (const std::string& line : added) {
    ASSERT_NE(phone.find("<HEAD>\r\n"), std::string::npos);
    const std::size_t at = phone.find(line);
    ASSERT_GT(at, phone.find("<HEAD>\r\n")) << line;
    ASSERT_LT(at, phone.find("</HEAD>")) << line;
    phone.erase(at, line.size());
  }
  phone.replace(phone.find("<HTML LANG=EN>"), 14, "<HTML>");
  EXPECT_EQ(phone, plain);
}

}  // namespace
}  // namespace velmo
