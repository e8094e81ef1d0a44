#include "html/HTMLParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace lumora {
namespace {

using TLines = std::vector<std::string>;

// Every event of a run as "tag:...", "text:...", "comment:...", "link:..."
// and, when asked, "parse:<line>/<total>".
struct TRecorder {
  std::vector<std::string> Events;
  TObject* Sender = nullptr;

  void Attach(THTMLParser& P, bool Parsing = false) {
    auto Seen = [this](TObject* S, const std::string& E) {
      Sender = S;
      Events.push_back(E);
    };
    P.OnFoundTag = [Seen](TObject* S, std::string T) { Seen(S, "tag:" + T); };
    P.OnFoundText = [Seen](TObject* S, std::string T) { Seen(S, "text:" + T); };
    P.OnFoundComment = [Seen](TObject* S, std::string C) { Seen(S, "comment:" + C); };
    P.OnFoundHyperlink = [Seen](TObject* S, std::string H) { Seen(S, "link:" + H); };
    if (Parsing)
      P.OnParsing = [Seen](TObject* S, int L, int T) {
        Seen(S, "parse:" + std::to_string(L) + "/" + std::to_string(T));
      };
  }
};

// The events without the OnParsing entries.
std::vector<std::string> WithoutParsing(const std::vector<std::string>& Events) {
  std::vector<std::string> R;
  for (const auto& E : Events)
    if (E.rfind("parse:", 0) != 0) R.push_back(E);
  return R;
}

// The non-empty lists of a summary, one "Name=a|b" entry each, in a fixed
// order, so that a whole summary compares as one string.
std::string Lists(const TParsed& P) {
  std::string Out;
  auto Add = [&](const char* Name, const std::vector<std::string>& L) {
    if (L.empty()) return;
    Out += Out.empty() ? "" : " ";
    Out += Name;
    Out += '=';
    for (std::size_t I = 0; I < L.size(); ++I) Out += (I ? "|" : "") + L[I];
  };
  const struct {
    const char* Name;
    const TLocalRemote& C;
  } Categories[] = {{"HTML", P.HTML}, {"Image", P.Image},     {"Media", P.Media},
                    {"Java", P.Java}, {"ActiveX", P.ActiveX}, {"ASP", P.ASP},
                    {"PHP", P.PHP},   {"PERL", P.PERL}};
  for (const auto& C : Categories) {
    Add((std::string(C.Name) + ".Local").c_str(), C.C.Local);
    Add((std::string(C.Name) + ".Remote").c_str(), C.C.Remote);
  }
  Add("Hyperlinks", P.Hyperlinks);
  Add("Images", P.Images);
  Add("EMails", P.EMails);
  Add("HTTPlinks", P.HTTPlinks);
  Add("FTPlinks", P.FTPlinks);
  Add("Locallinks", P.Locallinks);
  Add("FramePages", P.FramePages);
  return Out;
}

TEST(HTMLParserScan, CutsPagesIntoTheSameEventsWithAndWithoutOnParsing) {
  const struct {
    TLines Page;
    std::vector<std::string> Events;
  } Cases[] = {
      {{"abc<b>def"}, {"text:abc", "tag:b"}},
      {{"<a href=x.htm>Link</a>"}, {"tag:a href=x.htm", "text:Link", "tag:/a"}},
      {{"< img src=a.gif >"}, {"tag:img src=a.gif"}},
      {{"a > b<br>"}, {"text:a > b", "tag:br"}},
      {{"<a<b>"}, {"tag:b"}},
      {{"x<a<b<c>y<d>"}, {"text:x", "tag:c", "text:y", "tag:d"}},
      {{"<img", "src=a.gif>"}, {"tag:imgsrc=a.gif"}},
      {{"ab", "", "cd<x>"}, {"text:abcd", "tag:x"}},
      {{"<a", "b<c", "d>e", "<f>"}, {"tag:cd", "text:e", "tag:f"}},
      {{"<p title=\"a>b\"><br>"}, {"tag:p title=\"a", "text:b\">", "tag:br"}},
      {{"<script>if (a<b) x();</script><p>"}, {"tag:script", "text:if (a", "tag:/script", "tag:p"}},
      {{"  &amp;\t <>"}, {"text:  &amp;\t ", "tag:"}},
      {{"<img src=a.gif"}, {}},
      {{"text only"}, {}},
      {{"", ""}, {}},
      {{}, {}},
  };
  for (const auto& C : Cases) {
    std::string Text;  // the same lines as one text, cut as the run reads it
    for (const auto& Line : C.Page) Text += Line + "\r\n";
    for (const bool AsText : {false, true}) {
      for (const bool Parsing : {false, true}) {
        THTMLParser P;
        if (AsText)
          P.SetHTMLText(Text);
        else
          P.SetHTML(C.Page);
        TRecorder R;
        R.Attach(P, Parsing);
        P.Execute();
        EXPECT_EQ(WithoutParsing(R.Events), C.Events)
            << (C.Page.empty() ? "" : C.Page[0]) << (Parsing ? " (OnParsing)" : "")
            << (AsText ? " (text)" : "");
        if (!R.Events.empty()) {
          EXPECT_EQ(R.Sender, &P);
        }
      }
    }
  }
}

TEST(HTMLParserScan, OnlyTagsNamedImgCount) {
  const struct {
    TLines Page;
    TLines Images;
  } Cases[] = {
      {{"< img src=a.gif >"}, {"a.gif"}},
      {{"<IMG SRC=a.gif><img src=b.gif><Img Src=c.gif>"}, {"a.gif", "b.gif", "c.gif"}},
      {{"<img", "src=a.gif>"}, {}},
      {{"<img\tsrc=a.gif>"}, {}},
      {{"<imgx src=a.gif><image src=b.gif>"}, {}},
      {{"<img src=a.gif><img src=a.gif>"}, {"a.gif", "a.gif"}},
      {{"<img alt=x>"}, {""}},
  };
  for (const auto& C : Cases) {
    THTMLParser P;
    P.SetHTML(C.Page);
    P.Execute();
    EXPECT_EQ(P.Parsed().Images, C.Images) << C.Page[0];
  }
}

TEST(HTMLParserScan, AnnouncesEveryCharacterBeforeHandlingIt) {
  THTMLParser P;
  P.SetHTML({"a<b>", "", "c"});
  TRecorder R;
  R.Attach(P, true);
  P.Execute();
  EXPECT_EQ(R.Events, (std::vector<std::string>{"parse:1/3", "parse:1/3", "text:a", "parse:1/3",
                                                "parse:1/3", "tag:b", "parse:3/3"}));

  P.SetHTML({std::string(10, 'x'), std::string(10, '<'), std::string(10, '>')});
  int Counts[4] = {};
  P.OnParsing = [&](TObject*, int Line, int Total) {
    EXPECT_EQ(Total, 3);
    ++Counts[Line];
  };
  P.Execute();
  EXPECT_EQ(Counts[1], 10);
  EXPECT_EQ(Counts[2], 10);
  EXPECT_EQ(Counts[3], 10);
}

TEST(HTMLParserTitle, CollectsTheTitleWithoutReportingIt) {
  const struct {
    std::string Page, Title;
    std::vector<std::string> Events;
  } Cases[] = {
      {"<title>My page</title>", "My page", {"tag:title", "tag:/title"}},
      {"<TITLE>My page</Title >x<b>", "My page", {"tag:TITLE", "tag:/Title", "text:x", "tag:b"}},
      {"<title>Hello <b>World</b></title>", "World</b>", {"tag:title", "tag:/title"}},
      {"<title><!-- c --></title>", "<!-- c -->", {"tag:title", "tag:/title"}},
      {"<title>a<x/title>b</title>", "b", {"tag:title", "tag:x/title", "tag:/title"}},
      {"<title>a</title extra>", "a", {"tag:title", "tag:/title extra"}},
      {"</title>", "", {"tag:/title"}},
  };
  for (const auto& C : Cases) {
    THTMLParser P;
    P.Parsed().Title = "old";
    P.SetHTMLText(C.Page);
    TRecorder R;
    R.Attach(P);
    P.Execute();
    EXPECT_EQ(P.Parsed().Title, C.Title) << C.Page;
    EXPECT_EQ(R.Events, C.Events) << C.Page;
  }
}

TEST(HTMLParserTitle, AnUnclosedTitleCarriesIntoTheNextRun) {
  THTMLParser P;
  P.SetHTMLText("<title>Start <i>");
  P.Execute();
  EXPECT_EQ(P.Parsed().Title, "");

  TRecorder R;
  R.Attach(P);
  P.SetHTMLText("<b></title>after<br>");
  P.Execute();
  EXPECT_EQ(P.Parsed().Title, "Start <i><b>");
  EXPECT_EQ(R.Events, (std::vector<std::string>{"tag:/title", "text:after", "tag:br"}));
}

TEST(HTMLParserComments, NeedTheNameExactlyBangDashDash) {
  const struct {
    std::string Page;
    std::vector<std::string> Events;
  } Cases[] = {
      {"<!-- note -->", {"comment:note"}},
      {"<!--  a  -->", {"comment: a "}},
      {"<!-- -->", {"comment:"}},
      {"<!--x-->", {}},
      {"<!---->", {}},
      {"<!-- x > y --><br>", {"comment:", "text: y -->", "tag:br"}},
      {"<p !-- x>", {}},
  };
  for (const auto& C : Cases) {
    THTMLParser P;
    P.SetHTMLText(C.Page);
    TRecorder R;
    R.Attach(P);
    P.Execute();
    EXPECT_EQ(R.Events, C.Events) << C.Page;
  }
}

TEST(HTMLParserAttributes, FindTheFirstOccurrenceAndCutTheValue) {
  const struct {
    std::string Tag, Name, Attribute, Value;
  } Cases[] = {
      {"img src=a.gif width=10", "src", "src=a.gif ", "a.gif"},
      {"img src=\"a b.gif\"", "src", "src=\"a b.gif\"", "a b.gif"},
      {"img src=\"a b.gif\" x", "SRC", "src=\"a b.gif\" ", "a b.gif"},
      {"img src='a.gif'", "src", "src='a.gif'", "'a.gif'"},
      {"img src = a.gif", "src", "src ", "src"},
      {"img alt=x", "src", "", ""},
      {"img alt=\"the src here\" src=a.gif", "src", "src ", "src"},
      {"IMG SRC=A.GIF", "src", "SRC=A.GIF", "A.GIF"},
      {"img src=", "src", "src=", ""},
      {"img src", "src", "src", "src"},
      {"img src=a", "", "", ""},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(GetAttribute(C.Tag, C.Name), C.Attribute) << C.Tag;
    EXPECT_EQ(GetAttributeValue(C.Attribute), C.Value) << C.Tag;
  }
  const struct {
    std::string Attribute, Value;
  } Values[] = {
      {"x=a\"b c\"d", "ab c"},      {"x=\"a\"b", "a"}, {"k=a=b", "a=b"}, {"bare", "bare"},
      {"x=\"open end", "open end"}, {"x= a", ""},
  };
  for (const auto& V : Values) EXPECT_EQ(GetAttributeValue(V.Attribute), V.Value) << V.Attribute;
}

TEST(HTMLParserAddresses, SplitURLFindsTheDocumentNameAndExtension) {
  const struct {
    std::string Link, Folder, Document, Extension;
  } Cases[] = {
      {"HTTP://SERVER/DIR/PIC.JPG", "SERVER/DIR/", "PIC.JPG", ".JPG"},
      {"X.CGI?NEXT=A.HTM", "", "X.CGI", ".CGI"},
      {"/GO?U=HTTP://SERVER/P.JPG", "SERVER/", "P.JPG", ".JPG"},
      {"DIR/", "DIR/", "", ""},
      {"HTTP://SERVER", "", "", ""},
      {"MAILTO:WEBMASTER?SUBJECT=HI", "", "", ""},
      {"MAILTO:A@B.COM", "", "A@B.COM", ".COM"},
      {"A?B.C", "", "A", ""},
      {"C:\\X.Y\\Z", "", "C:\\X.Y\\Z", ""},
      {"A.TAR.GZ", "", "A.TAR.GZ", ".GZ"},
      {"NAME.", "", "NAME.", "."},
  };
  for (const auto& C : Cases) {
    const TURLParts P = SplitURL(C.Link);
    EXPECT_EQ(P.Folder, C.Folder) << C.Link;
    EXPECT_EQ(P.DocumentName, C.Document) << C.Link;
    EXPECT_EQ(P.Extension, C.Extension) << C.Link;
  }
}

TEST(HTMLParserCategories, AnchorsAreSortedByKindAndExtension) {
  const struct {
    std::string Tag, Lists;
  } Cases[] = {
      {"<a href=page.html>", "HTML.Local=page.html Hyperlinks=page.html Locallinks=page.html"},
      {"<a href=http://server/dir/pic.jpg>",
       "Image.Remote=http://server/dir/pic.jpg Hyperlinks=http://server/dir/pic.jpg "
       "HTTPlinks=http://server/dir/pic.jpg"},
      {"<a href=https://server/a.htm>",
       "HTML.Local=https://server/a.htm "
       "Hyperlinks=https://server/a.htm"},
      {"<a href=mailto:webmaster?subject=Hi>",
       "Hyperlinks=mailto:webmaster?subject=Hi EMails=webmaster?subject=Hi"},
      {"<a name=top>", "Hyperlinks= Locallinks="},
      {"<a href=dir/>", "Hyperlinks=dir/ Locallinks=dir/"},
      {"<a href=x.cgi?next=a.htm>",
       "PERL.Local=x.cgi?next=a.htm Hyperlinks=x.cgi?next=a.htm "
       "Locallinks=x.cgi?next=a.htm"},
      {"<a href=/go?u=http://server/p.jpg>",
       "Image.Remote=/go?u=http://server/p.jpg Hyperlinks=/go?u=http://server/p.jpg "
       "HTTPlinks=/go?u=http://server/p.jpg"},
      {"<A HREF=FTP://Host/File.MP3>",
       "Media.Local=FTP://Host/File.MP3 Hyperlinks=FTP://Host/File.MP3 "
       "FTPlinks=FTP://Host/File.MP3"},
      {"<a href=ftp://h/http://x.gif>",
       "Image.Remote=ftp://h/http://x.gif Hyperlinks=ftp://h/http://x.gif "
       "FTPlinks=ftp://h/http://x.gif"},
      {"<a href=a.php3>", "PHP.Local=a.php3 Hyperlinks=a.php3 Locallinks=a.php3"},
      {"<a href=a.aspx>", "Hyperlinks=a.aspx Locallinks=a.aspx"},
      {"<a href=a.shtml>", "HTML.Local=a.shtml Hyperlinks=a.shtml Locallinks=a.shtml"},
      {"<a href=a.asp>", "ASP.Local=a.asp Hyperlinks=a.asp Locallinks=a.asp"},
      {"<a href=a.cab>", "ActiveX.Local=a.cab Hyperlinks=a.cab Locallinks=a.cab"},
      {"<a href=a.class>", "Java.Local=a.class Hyperlinks=a.class Locallinks=a.class"},
      {"<a href=a.PL>", "PERL.Local=a.PL Hyperlinks=a.PL Locallinks=a.PL"},
      {"<a href=a.jpeg?x>", "Image.Local=a.jpeg?x Hyperlinks=a.jpeg?x Locallinks=a.jpeg?x"},
      {"<a href=\"my page.htm\">",
       "HTML.Local=my page.htm Hyperlinks=my page.htm "
       "Locallinks=my page.htm"},
      {"<ab href=a.htm><a\thref=a.htm>", ""},
  };
  for (const auto& C : Cases) {
    THTMLParser P;
    P.SetHTMLText(C.Tag);
    P.Execute();
    EXPECT_EQ(Lists(P.Parsed()), C.Lists) << C.Tag;
  }
}

TEST(HTMLParserCategories, OnlyForeignSchemesRaiseOnFoundHyperlink) {
  THTMLParser P;
  P.SetHTMLText(
      "<a href=https://s/a.htm><a href=news://n><a href=http://s/><a href=ftp://f/>"
      "<a href=mailto:x://y><a href=local.htm>");
  std::vector<std::string> Links;
  P.OnFoundHyperlink = [&](TObject*, std::string H) { Links.push_back(H); };
  P.Execute();
  EXPECT_EQ(Links, (std::vector<std::string>{"https://s/a.htm", "news://n"}));
  EXPECT_EQ(P.Parsed().Hyperlinks.size(), 6u);
}

TEST(HTMLParserFramesAndMeta, FillFramePagesKeywordAndDescription) {
  THTMLParser P;
  P.SetHTMLText(
      "<frame src=a.htm><FRAME SRC=\"b c.htm\"><iframe src=x.htm><frame>\n"
      "<meta name=keywords content=a,b><meta name=KeyWord content=\"one two\">\n"
      "<meta name=Description content=Welcome><meta content=Later name=description>\n"
      "<meta name=author content=me>");
  P.Execute();
  EXPECT_EQ(P.Parsed().FramePages, (TLines{"a.htm", "b c.htm", ""}));
  EXPECT_EQ(P.Parsed().Keyword, "one two");
  EXPECT_EQ(P.Parsed().Description, "Later");
  EXPECT_EQ(Lists(P.Parsed()), "FramePages=a.htm|b c.htm|");
}

TEST(HTMLParserReruns, EmptyOnlyThePlainListsAndKeepTheRest) {
  THTMLParser P;
  P.SetHTMLText(
      "<title>T</title><meta name=keyword content=k><a href=a.htm><img src=i.gif>"
      "<a href=mailto:m><frame src=f.htm>");
  P.Execute();
  const std::string Once = Lists(P.Parsed());
  P.Execute();
  EXPECT_EQ(Lists(P.Parsed()),
            "HTML.Local=a.htm|a.htm Hyperlinks=a.htm|mailto:m Images=i.gif "
            "EMails=m Locallinks=a.htm FramePages=f.htm");
  EXPECT_NE(Once, Lists(P.Parsed()));

  // An empty page (or one of empty lines) raises nothing and leaves only the
  // categories and strings.
  for (const TLines& Empty : {TLines{}, TLines{"", "", ""}}) {
    P.SetHTML(Empty);
    TRecorder R;
    R.Attach(P, true);
    P.Execute();
    EXPECT_TRUE(R.Events.empty());
    EXPECT_EQ(Lists(P.Parsed()), "HTML.Local=a.htm|a.htm");
    EXPECT_EQ(P.Parsed().Title, "T");
    EXPECT_EQ(P.Parsed().Keyword, "k");
  }
}

TEST(HTMLParserHandlers, AThrowingHandlerEndsTheRunAndKeepsWhatWasAdded) {
  THTMLParser P;
  P.SetHTMLText("<img src=1.gif><a href=x://y/a.htm><img src=2.gif>");
  P.OnFoundHyperlink = [](TObject*, std::string) { throw std::runtime_error("stop"); };
  EXPECT_THROW(P.Execute(), std::runtime_error);
  EXPECT_EQ(Lists(P.Parsed()), "HTML.Local=x://y/a.htm Images=1.gif");

  P.OnFoundHyperlink = nullptr;
  P.Execute();
  EXPECT_EQ(P.Parsed().Images, (TLines{"1.gif", "2.gif"}));

  int Calls = 0;
  P.OnParsing = [&](TObject*, int, int) {
    if (++Calls == 20) throw std::runtime_error("stop");
  };
  EXPECT_THROW(P.Execute(), std::runtime_error);
  EXPECT_EQ(P.Parsed().Images, (TLines{"1.gif"}));
}

TEST(HTMLParserHandlers, MayReplaceTheLinesOrThemselvesDuringARun) {
  THTMLParser P;
  P.SetHTML({"<img src=1.gif>", "<img src=2.gif>"});
  std::vector<int> Totals;
  P.OnParsing = [&](TObject* Sender, int, int Total) {
    Totals.push_back(Total);
    static_cast<THTMLParser*>(Sender)->SetHTML({"<img src=other.gif>"});
  };
  P.Execute();
  EXPECT_EQ(P.Parsed().Images, (TLines{"1.gif", "2.gif"}));
  EXPECT_EQ(Totals.front(), 2);
  EXPECT_EQ(Totals.back(), 1);
  EXPECT_EQ(P.HTML(), (TLines{"<img src=other.gif>"}));

  // A handler that clears itself: the scan goes on without it.
  int Calls = 0;
  P.SetHTMLText("<title>x</title>ab<img src=a.gif>cd<b>");
  P.OnParsing = [&](TObject* Sender, int, int) {
    ++Calls;
    static_cast<THTMLParser*>(Sender)->OnParsing = nullptr;
  };
  std::vector<std::string> Texts;
  P.OnFoundText = [&](TObject*, std::string T) { Texts.push_back(T); };
  P.Execute();
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(P.Parsed().Title, "x");
  EXPECT_EQ(Texts, (TLines{"ab", "cd"}));
  EXPECT_EQ(P.Parsed().Images, (TLines{"a.gif"}));
}

TEST(HTMLParserText, SplitsAtEveryLineBreakAndKeepsEveryOtherByte) {
  const struct {
    std::string Text;
    TLines Lines;
  } Cases[] = {
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n", {"a"}},
      {"\r\r\n\n", {"", "", ""}},
      {"\n\r", {"", ""}},
      {"", {}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
      {std::string("\0", 1), {std::string("\0", 1)}},
      {"é\xff<b>", {"é\xff<b>"}},
  };
  for (const auto& C : Cases) {
    THTMLParser P;
    P.SetHTMLText(C.Text);
    EXPECT_EQ(P.HTML(), C.Lines) << C.Text;
    THTMLParser Back;
    Back.SetHTMLText(P.HTMLText());
    EXPECT_EQ(Back.HTML(), C.Lines) << C.Text;
  }
  THTMLParser P;
  P.SetHTML({"a", "", "b"});
  EXPECT_EQ(P.HTMLText(), "a\r\n\r\nb\r\n");
}

TEST(HTMLParserOwnership, AnOwnerFreesItsParsers) {
  auto* Owner = new TComponent(nullptr);
  auto* First = new THTMLParser(Owner);
  new THTMLParser(Owner);
  EXPECT_EQ(Owner->ComponentCount(), 2);
  delete First;  // leaves its owner's list
  EXPECT_EQ(Owner->ComponentCount(), 1);
  delete Owner;  // frees the other; AddressSanitizer reports any leak
}

}  // namespace
}  // namespace lumora
