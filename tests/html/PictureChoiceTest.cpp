#include "html/PictureChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/HTMLParser.h"

namespace lumora {
namespace {

std::vector<std::string> Images(const std::string& Page, bool TodaysWeb = true,
                                const std::string& Types = ".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF") {
  THTMLParser P;
  P.SetTodaysWeb(TodaysWeb);
  P.SetPictureTypes(Types);
  P.SetHTMLText(Page);
  P.Execute();
  return P.Parsed().Images;
}

constexpr char Pixel[] =
    "data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7";

TEST(PictureChoice, OneAddressPerImgAsAPersonSeesItLargest) {
  using L = std::vector<std::string>;
  const std::string Px = Pixel;
  const struct {
    const char* Name;
    std::string Page;
    L Chosen;
  } Cases[] = {
      {"plain src", "<img src=\"a.jpg\">", {"a.jpg"}},
      {"largest w", "<img src=a.jpg srcset=\"s.jpg 300w, l.jpg 1200w, m.jpg 600w\">", {"l.jpg"}},
      {"largest x", "<img src=a.jpg srcset=\"b.jpg 1.5x, c.jpg 2x\">", {"c.jpg"}},
      {"w wins over x", "<img srcset=\"b.jpg 3x, c.jpg 100w\">", {"c.jpg"}},
      {"src is 1x beside x", "<img src=a.jpg srcset=\"b.jpg 0.5x\">", {"a.jpg"}},
      {"a tie keeps the stronger source", "<img src=a.jpg srcset=\"b.jpg 1x\">", {"b.jpg"}},
      {"lazy: data-src over a pixel GIF",
       "<img src=\"" + Px + "\" data-src=\"/p/real.jpg\">",
       {"/p/real.jpg"}},
      {"lazy: data-src replaces a real-looking placeholder",
       "<img src=\"/img/blank.gif\" data-src=\"/p/real.jpg\" class=lazyload>",
       {"/p/real.jpg"}},
      {"lazy: data-srcset",
       "<img src=\"/ph.gif\" data-srcset=\"/p/a-400.jpg 400w, /p/a-800.jpg 800w\">",
       {"/p/a-800.jpg"}},
      {"lazy: data-original and data-lazy-src",
       "<img src=ph.gif data-original=\"/o.jpg\"><img src=ph.gif data-lazy-src=\"/l.jpg\">",
       {"/o.jpg", "/l.jpg"}},
      {"lazy: a placeholder srcset",
       "<img srcset=\"" + Px + " 1x\" data-srcset=\"/p/a.jpg 2x\">",
       {"/p/a.jpg"}},
      {"noscript twin",
       "<img src=\"" + Px + "\" data-src=\"/p/a.jpg\"><noscript><img src=\"/p/a.jpg\"></noscript>",
       {"/p/a.jpg", "/p/a.jpg"}},
      {"picture with WebP and JPEG sources",
       "<picture>\n<source type=\"image/webp\" srcset=\"/p/a.webp 1x, /p/a@2x.webp 2x\">\n"
       "<source type=\"image/jpeg\" srcset=\"/p/a.jpg 1x, /p/a@2x.jpg 2x\">\n"
       "<img src=\"/p/a.jpg\" alt=\"\">\n</picture>",
       {"/p/a@2x.webp"}},
      {"picture without img",
       "<picture><source srcset=\"/p/x.avif 640w\" type=image/avif></picture>",
       {"/p/x.avif"}},
      {"source of a video is no picture",
       "<video><source src=v.mp4 srcset=\"x.jpg 9w\"></video><img src=a.gif>",
       {"a.gif"}},
      {"source with an unknown type",
       "<picture><source type=image/jxl srcset=\"j.jxl 2x\"><img src=a.jpg></picture>",
       {"a.jpg"}},
      {"javascript: in data-src", "<img src=a.jpg data-src=\"javascript:alert(1)\">", {"a.jpg"}},
      {"only placeholders", "<img src=\"" + Px + "\">", {""}},
      {"first of two same attributes", "<img src=a.jpg src=b.jpg>", {"a.jpg"}},
      {"single quotes, &amp;", "<img src='/p?a=1&amp;b=2'>", {"/p?a=1&b=2"}},
      {"attributes over lines", "<img\nsrc=\"a.jpg\"\nsrcset=\"b.jpg\n2x\">", {"b.jpg"}},
      {"tab after the name", "<img\tsrc=t.jpg>", {"t.jpg"}},
      {"bad descriptors are skipped",
       "<img src=a.jpg srcset=\"n.jpg -5w, z.jpg 0x, i.jpg 1e999x\">",
       {"a.jpg"}},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(Images(C.Page), C.Chosen) << C.Name;
  }
  // The WebP source off: the JPEG source wins.
  EXPECT_EQ(Images("<picture><source type=\"image/webp\" srcset=\"a.webp 2x\"><source "
                   "type=\"image/jpeg\" srcset=\"a2.jpg 2x\"><img src=a.jpg></picture>",
                   true, ".JPG.GIF"),
            std::vector<std::string>{"a2.jpg"});
}

TEST(PictureChoice, SwitchedOffTheDesignsRuleStands) {
  // src found anywhere, even inside data-src; no srcset, no <picture>.
  EXPECT_EQ(Images("<img data-src=\"/real.jpg\" src=ph.gif srcset=\"b.jpg 2x\">", false),
            std::vector<std::string>{"/real.jpg"});
  EXPECT_EQ(Images("<picture><source srcset=\"x.webp\"></picture><img\tsrc=a.jpg>", false),
            std::vector<std::string>{});
}

TEST(PictureChoice, AChoiceAloneFollowsTheOrderOfSources) {
  TPictureChoice C;
  C.AddAddress(TPictureSource::Src, "s.jpg");
  EXPECT_EQ(C.Choose(), "s.jpg");
  C.AddAddress(TPictureSource::DataOriginal, "blob:xyz");  // no real candidate: src stays
  EXPECT_EQ(C.Choose(), "s.jpg");
  C.AddAddress(TPictureSource::DataOriginal, "o.jpg");
  EXPECT_EQ(C.Choose(), "o.jpg");
  C.AddSrcset(TPictureSource::PictureSource, "p.jpg 1x");
  EXPECT_EQ(C.Choose(), "p.jpg");
  C.AddSrcset(TPictureSource::Srcset, "w.jpg 10w");
  EXPECT_EQ(C.Choose(), "w.jpg");

  for (const char* A : {"", "data:,x", "DATA:image/png,x", "javascript:x", "about:blank",
                        " mailto:a", "httpss://h/a.jpg", "htt://h/a.jpg", "httpx://h/a.jpg",
                        "hxtp://h/a.jpg", "ws://h/a.jpg", "https+x:a.jpg"})
    EXPECT_FALSE(IsPictureCandidateAddress(A)) << A;
  for (const char* A : {"a.jpg", "/a:b.jpg", "//h/a.jpg", "HTTPS://h/a.jpg", "http://h/", "?x=1:2",
                        "1:2.jpg", "hTtPs://h/a.jpg", "Http:a.jpg"})
    EXPECT_TRUE(IsPictureCandidateAddress(A)) << A;
}

}  // namespace
}  // namespace lumora
