#include "html/PictureLink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/HTMLParser.h"
#include "html/PictureChoice.h"

namespace lumora {
namespace {

using L = std::vector<std::string>;

constexpr char AllTypes[] = ".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF";

// The pictures a page stands for, and the image events, which must agree.
L Images(const std::string& Page, bool TodaysWeb = true, const std::string& Types = AllTypes) {
  THTMLParser P;
  P.SetTodaysWeb(TodaysWeb);
  P.SetPictureTypes(Types);
  L Events;
  P.OnFoundImage = [&](TObject*, std::string I) { Events.push_back(std::move(I)); };
  P.SetHTMLText(Page);
  P.Execute();
  L Chosen = P.Parsed().Images;
  L NonEmpty;
  for (const auto& I : Chosen)
    if (!I.empty()) NonEmpty.push_back(I);
  if (TodaysWeb) {
    EXPECT_EQ(NonEmpty, Events) << Page;
  }
  return Chosen;
}

TEST(PictureLink, AnHrefNamesAPictureByItsPathAlone) {
  const struct {
    const char* Href;
    bool Picture;
  } Cases[] = {
      {"photos/big-1.jpg", true},
      {"/p/big.JPEG", true},
      {"https://cdn.example/p/a.webp", true},
      {"//cdn.example/a.png", true},
      {"a.jpg?w=800", true},
      {"a.jpg#zoom", true},
      {"big.jfif", true},
      {"  a.avif  ", true},
      {"view.php?f=a.jpg", false},  // a script, whatever its query
      {"page.html#a.jpg", false},
      {"gallery/", false},
      {"", false},
      {"#", false},
      {"?img=a.jpg", false},    // the page itself
      {"http://a.jpg", false},  // a host, no path
      {"http://a.jpg/", false},
      {"//a.jpg", false},
      {"javascript:show('a.jpg')", false},
      {"mailto:me@a.jpg", false},
      {"data:image/png,x.png", false},
      {"a.jpg/..", false},
      {"./", false},
      {"clip.avi", false},
      {"x.xwebp", false},
  };
  for (const auto& C : Cases) EXPECT_EQ(IsPictureLink(C.Href, AllTypes), C.Picture) << C.Href;
  // Only the enabled types.
  EXPECT_FALSE(IsPictureLink("a.webp", ".JPG.GIF"));
  EXPECT_TRUE(IsPictureLink("a.jpeg", ".JPG.GIF"));
  EXPECT_FALSE(IsPictureLink("a.png", ".JPG.GIF"));
}

TEST(PictureLink, GalleryMarkupsQueueThePictureBehindEachThumbnail) {
  const struct {
    const char* Name;
    const char* Page;
    L Chosen;
  } Cases[] = {
      // Lightbox scripts open the href; the thumbnail is only its face.
      {"lightbox links",
       "<a href=\"photos/big-1.jpg\" data-lightbox=\"g\"><img src=\"thumbs/1.jpg\"></a>\n"
       "<a class=\"fancybox\" rel=\"g\" href=\"/photos/big-2.webp?v=3\">\n"
       "  <img src=\"/thumbs/2.jpg\" alt=\"two\">\n</a>",
       {"photos/big-1.jpg", "/photos/big-2.webp?v=3"}},
      {"the href made absolute by the grab, &amp; decoded",
       "<A HREF='https://cdn.example/full.png?a=1&amp;b=2'><IMG SRC=t.png></A>",
       {"https://cdn.example/full.png?a=1&b=2"}},
      {"a thumbnail linking to a page keeps the thumbnail",
       "<a href=\"/post/42.html\"><img src=\"t.jpg\"></a>"
       "<a href=\"view.php?img=a.jpg\"><img src=\"u.jpg\"></a>"
       "<a href=\"#\"><img src=\"v.jpg\"></a>"
       "<a href=\"javascript:zoom('w.jpg')\"><img src=\"w-small.jpg\"></a>"
       "<a name=top><img src=x.jpg></a>",
       {"t.jpg", "u.jpg", "v.jpg", "w-small.jpg", "x.jpg"}},
      {"a link to a type that is off keeps the thumbnail",
       "<a href=\"big.avif\"><img src=\"t.jpg\"></a>",
       {"t.jpg"}},
      {"a picture after </a> is not linked",
       "<a href=big.jpg><img src=t.jpg></a><img src=logo.gif>",
       {"big.jpg", "logo.gif"}},
      {"an unclosed link ends at the next one",
       "<a href=1.jpg><img src=t1.jpg><a href=2.jpg><img src=t2.jpg>"
       "<a href=about.html><img src=me.jpg>",
       {"1.jpg", "2.jpg", "me.jpg"}},
      {"nested links: the inner one ends the outer, and </a> ends both",
       "<a href=outer.jpg><a href=inner.jpg><img src=t1.jpg></a><img src=t2.jpg></a>"
       "<img src=t3.jpg>",
       {"inner.jpg", "t2.jpg", "t3.jpg"}},
      {"a stray </a> links nothing", "</a><img src=t.jpg></a>", {"t.jpg"}},
      {"a link left open ends with the page",
       "<div><a href=big.jpg><img src=t.jpg></div><p><img src=u.jpg>",
       {"big.jpg", "big.jpg"}},
      {"one link around several pictures: each stands for it",
       "<a href=\"set/cover.jpg\"><img src=a.jpg><img src=b.jpg><img src=c.jpg></a>",
       {"set/cover.jpg", "set/cover.jpg", "set/cover.jpg"}},
      {"a <picture> inside a link, with and without an IMG",
       "<a href=big.jpg><picture><source srcset=\"t.webp 2x\"><img src=t.jpg></picture></a>"
       "<a href=big2.jpg><picture><source srcset=\"u.webp 640w\"></picture></a>",
       {"big.jpg", "big2.jpg"}},
      {"link attributes over lines, only the first href counts",
       "<a\nclass=x\nhref=\"big.jpg\" href=\"page.html\"><img\nsrc=t.jpg></a>"
       "<a href=\"page.html\" href=\"big2.jpg\"><img src=u.jpg></a>",
       {"big.jpg", "u.jpg"}},
      {"\"href\" inside another attribute is not the href",
       "<a data-href=big.jpg href=page.html><img src=t.jpg></a>",
       {"t.jpg"}},
      {"a tag named like a link is none",
       "<abbr><img src=t.jpg></abbr><a href=b.jpg><area href=c.html><img src=u.jpg>",
       {"t.jpg", "b.jpg"}},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(Images(C.Page, true, ".JPG.GIF.PNG.WEBP"), C.Chosen) << C.Name;
}

TEST(PictureLink, FullSizeAttributesRankBetweenWidthsAndDensities) {
  const struct {
    const char* Name;
    const char* Page;
    L Chosen;
  } Cases[] = {
      {"each attribute beats src",
       "<img src=t.jpg data-orig-file=o.jpg><img src=t.jpg data-full=f.jpg>"
       "<img src=t.jpg data-hires=h.jpg><img src=t.jpg data-src-large=s.jpg>"
       "<img src=t.jpg data-large-file=l.jpg>",
       {"o.jpg", "f.jpg", "h.jpg", "s.jpg", "l.jpg"}},
      {"their order, whatever the order written",
       "<img data-large-file=l.jpg data-src-large=s.jpg data-hires=h.jpg data-full=f.jpg "
       "data-orig-file=o.jpg><img data-large-file=l.jpg data-src-large=s.jpg>"
       "<img data-large-file=l.jpg data-hires=h.jpg src=t.jpg data-src=z.jpg>",
       {"o.jpg", "s.jpg", "h.jpg"}},
      {"above a density and a lazy source",
       "<img src=t.jpg srcset=\"t2.jpg 2x\" data-src=z.jpg data-full=f.jpg>",
       {"f.jpg"}},
      {"below a srcset width",
       "<img src=t.jpg srcset=\"t-300.jpg 300w, t-1024.jpg 1024w\" data-large-file=l.jpg>",
       {"t-1024.jpg"}},
      // WordPress: data-orig-size gives the original's width.
      {"data-orig-size: the original beats smaller copies",
       "<img src=\"x.jpg?w=300\" srcset=\"x.jpg?w=300 300w, x.jpg?w=1024 1024w\" "
       "data-orig-file=\"x.jpg\" data-orig-size=\"3000,2000\" data-large-file=\"x.jpg?w=1024\">",
       {"x.jpg"}},
      {"data-orig-size: a larger copy beats the original, a tie does not",
       "<img srcset=\"y-2048.jpg 2048w\" data-orig-size=\"1600,1200\" data-orig-file=y.jpg>"
       "<img srcset=\"z-1600.jpg 1600w\" data-orig-file=z.jpg data-orig-size=\"1600,1200\">",
       {"y-2048.jpg", "z.jpg"}},
      {"a bad data-orig-size leaves the original unsized",
       "<img srcset=\"y-200.jpg 200w\" data-orig-file=y.jpg data-orig-size=\"wide\">"
       "<img src=t.jpg data-orig-file=z.jpg data-orig-size=\"1600\">",
       {"y-200.jpg", "z.jpg"}},
      {"a placeholder full-size attribute never wins",
       "<img src=t.jpg data-full=\"data:image/gif;base64,R0lGOD\" data-hires=\"\">",
       {"t.jpg"}},
      {"a link to a picture beats them all",
       "<a href=link.jpg><img data-orig-file=o.jpg data-orig-size=\"9000,9000\"></a>",
       {"link.jpg"}},
  };
  for (const auto& C : Cases) EXPECT_EQ(Images(C.Page), C.Chosen) << C.Name;

  TPictureChoice C;
  C.AddAddress(TPictureSource::Src, "s.jpg");
  C.AddSrcset(TPictureSource::Srcset, "d.jpg 3x");
  C.AddAddress(TPictureSource::DataLargeFile, "l.jpg");
  EXPECT_EQ(C.Choose(), "l.jpg");
  C.AddAddress(TPictureSource::DataOrigFile, "o.jpg");
  EXPECT_EQ(C.Choose(), "o.jpg");
  C.AddSrcset(TPictureSource::Srcset, "w.jpg 10w");
  EXPECT_EQ(C.Choose(), "w.jpg");
  C.AddSizedAddress(TPictureSource::DataOrigFile, "o.jpg", 10);
  EXPECT_EQ(C.Choose(), "o.jpg");
}

TEST(PictureLink, SwitchedOffLinksAndFullSizeAttributesMeanNothing) {
  const std::string Page =
      "<a href=big.jpg><img src=t.jpg data-orig-file=o.jpg></a><img data-full=f.jpg src=u.jpg>";
  EXPECT_EQ(Images(Page, false), (L{"t.jpg", "u.jpg"}));
}

}  // namespace
}  // namespace lumora
