// The "HTML Format" reader fed with the blocks browsers write and with
// blocks whose headers lie. Every block is read from a heap copy of exactly
// its size, so the sanitizers see any read past it.

#include "dragdrop/HtmlFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace lumora {
namespace {

bool Read(const std::string& Block, THtmlFormat& Out) {
  std::unique_ptr<char[]> Copy(new char[Block.size() ? Block.size() : 1]);
  std::memcpy(Copy.get(), Block.data(), Block.size());
  return ReadHtmlFormat(Copy.get(), Block.size(), Out);
}

std::string Number(std::size_t N) {
  char Text[16];
  std::snprintf(Text, sizeof Text, "%010zu", N);
  return Text;
}

// A block as a browser writes it, with offsets that tell the truth. Extra
// header lines go between the offsets and SourceURL.
std::string Block(const std::string& Fragment, const std::string& Source = "http://h/p/page.html",
                  const std::string& Extra = "", const std::string& Eol = "\r\n") {
  const std::string Before = "<html><body>\r\n<!--StartFragment-->";
  const std::string After = "<!--EndFragment-->\r\n</body></html>";
  auto Header = [&](std::size_t SH, std::size_t EH, std::size_t SF, std::size_t EF) {
    std::string H = "Version:0.9" + Eol + "StartHTML:" + Number(SH) + Eol +
                    "EndHTML:" + Number(EH) + Eol + "StartFragment:" + Number(SF) + Eol +
                    "EndFragment:" + Number(EF) + Eol + Extra;
    if (!Source.empty()) H += "SourceURL:" + Source + Eol;
    return H;
  };
  const std::size_t HeaderSize = Header(0, 0, 0, 0).size();
  const std::size_t SF = HeaderSize + Before.size();
  const std::size_t EF = SF + Fragment.size();
  return Header(HeaderSize, EF + After.size(), SF, EF) + Before + Fragment + After;
}

// Replaces the value of one header line with Value, keeping the rest.
std::string WithField(std::string B, const std::string& Name, const std::string& Value) {
  const std::size_t At = B.find(Name + ":") + Name.size() + 1;
  const std::size_t End = B.find_first_of("\r\n", At);
  return B.replace(At, End - At, Value);
}

TEST(HtmlFormat, TruthfulBlocksGiveTheFragmentAndItsPage) {
  const std::string Pictures = "<img src=\"a.jpg\"><p>caf\xc3\xa9</p><img src=\"/b.png\">";
  struct TCase {
    const char* Name;
    std::string Block, Fragment, Source;
  } Cases[] = {
      {"CR LF lines", Block(Pictures), Pictures, "http://h/p/page.html"},
      {"LF lines", Block(Pictures, "http://h/x", "", "\n"), Pictures, "http://h/x"},
      {"no SourceURL", Block(Pictures, ""), Pictures, ""},
      // Other header lines are read past, whatever they say.
      {"StartSelection and a charset",
       Block(Pictures, "http://h/", "StartSelection:1\r\nCharset:windows-1252\r\n"), Pictures,
       "http://h/"},
      // A header naming another character set: the bytes stay as they are
      // and the offsets keep counting bytes.
      {"Latin-1 bytes", Block("<img src=\"caf\xe9.jpg\">", "http://h/", "Charset:iso-8859-1\r\n"),
       "<img src=\"caf\xe9.jpg\">", "http://h/"},
      // "-1" written as wide as the numbers, so no offset moves.
      {"no context",
       WithField(WithField(Block(Pictures), "StartHTML", "        -1"), "EndHTML", "        -1"),
       Pictures, "http://h/p/page.html"},
      // A zero byte and spare room after the data, as a global block has.
      {"trailing zeros", Block(Pictures) + std::string(40, '\0'), Pictures, "http://h/p/page.html"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    THtmlFormat F;
    ASSERT_TRUE(Read(C.Block, F));
    EXPECT_EQ(F.Fragment, C.Fragment);
    EXPECT_EQ(F.SourceURL, C.Source);
    EXPECT_EQ(F.Version, "0.9");
    EXPECT_FALSE(F.Cut);
  }
}

TEST(HtmlFormat, LyingHeadersAreRefusedWhole) {
  const std::string Good = Block("<img src=\"a.jpg\">");
  const std::size_t Size = Good.size();
  const std::size_t SF = std::stoul(Good.substr(Good.find("StartFragment:") + 14, 10));
  const std::size_t EF = std::stoul(Good.substr(Good.find("EndFragment:") + 12, 10));
  struct TCase {
    const char* Name;
    std::string Block;
  } Cases[] = {
      {"empty block", ""},
      {"plain HTML", "<html><img src=\"a.jpg\"></html>"},
      {"plain text address", "http://h/a.jpg"},
      {"end past the block", WithField(Good, "EndFragment", Number(Size + 1))},
      {"end far past the block", WithField(Good, "EndFragment", "99999999999999999999999")},
      {"start past the block", WithField(Good, "StartFragment", Number(Size + 10))},
      {"negative start", WithField(Good, "StartFragment", "-5")},
      {"start -1", WithField(Good, "StartFragment", "-1")},
      {"negative end", WithField(Good, "EndFragment", "-1")},
      {"swapped",
       WithField(WithField(Good, "StartFragment", Number(EF)), "EndFragment", Number(SF))},
      {"empty fragment", WithField(Good, "EndFragment", Number(SF))},
      {"start inside the header", WithField(Good, "StartFragment", Number(3))},
      {"not a number", WithField(Good, "StartFragment", "12ab")},
      {"no value", WithField(Good, "EndFragment", "")},
      {"no StartFragment", std::string(Good).replace(Good.find("StartFragment:"), 5, "Begin")},
      {"no fragment lines",
       "Version:0.9\r\nStartHTML:0000000040\r\nEndHTML:0000000060\r\n<html><img src=a.jpg>"},
      {"context after the fragment", WithField(Good, "StartHTML", Number(SF + 1))},
      {"context end before the fragment's", WithField(Good, "EndHTML", Number(EF - 1))},
      {"context end past the block", WithField(Good, "EndHTML", Number(Size + 1))},
      {"context negative", WithField(Good, "StartHTML", "-7")},
      {"header cut before its fragment", Good.substr(0, SF - 10)},
      {"block cut inside the fragment", Good.substr(0, EF - 1)},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    THtmlFormat F;
    F.Fragment = "left over";
    F.SourceURL = "left over";
    EXPECT_FALSE(Read(C.Block, F));
    EXPECT_EQ(F.Fragment, "");
    EXPECT_EQ(F.SourceURL, "");
  }
}

TEST(HtmlFormat, AMegabyteFragmentIsReadWholeAndALargerOneIsCutAt32MiB) {
  std::string Mega;
  while (Mega.size() < (std::size_t{1} << 20)) Mega += "<p>text</p><img src=\"x.jpg\">";
  THtmlFormat F;
  ASSERT_TRUE(Read(Block(Mega), F));
  EXPECT_EQ(F.Fragment, Mega);
  EXPECT_FALSE(F.Cut);

  const std::string Huge(MaxHtmlFragmentBytes + 100, 'x');
  ASSERT_TRUE(Read(Block(Huge), F));
  EXPECT_EQ(F.Fragment.size(), MaxHtmlFragmentBytes);
  EXPECT_TRUE(F.Cut);
}

}  // namespace
}  // namespace lumora
