// The drop rules without OLE: effects, the scroll band, names and titles, and
// the readers of dropped blocks and shortcut files, fed with hostile input.

#include "dragdrop/DropRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace lumora {
namespace {

constexpr std::uint32_t CopyMoveLink = deCopy | deMove | deLink;

TEST(DropEffect, KeysAllowedAndOfferedTable) {
  const TDragTypes All{dtCopy, dtMove, dtLink};
  struct TCase {
    bool Shift, Ctrl;
    std::uint32_t Offered;
    TDragTypes Types;
    std::uint32_t Expected;
  } Cases[] = {
      // Every type allowed and offered: the keys decide.
      {false, false, CopyMoveLink, All, deCopy},
      {true, false, CopyMoveLink, All, deMove},
      {true, true, CopyMoveLink, All, deLink},
      {false, true, CopyMoveLink, All, deCopy},
      // A link-only target: link whatever the keys, nothing for a copy.
      {false, false, deCopy | deLink, TDragTypes{dtLink}, deLink},
      {true, false, deCopy | deLink, TDragTypes{dtLink}, deLink},
      {false, true, deCopy | deLink, TDragTypes{dtLink}, deLink},
      {true, true, deCopy | deLink, TDragTypes{dtLink}, deLink},
      {false, false, deCopy, TDragTypes{dtLink}, deNone},
      // A wish the source or target cannot grant falls through the order.
      {true, true, deCopy | deMove, All, deCopy},
      {true, false, deCopy | deLink, All, deCopy},
      {false, false, deMove | deLink, All, deMove},
      {true, true, deMove, All, deMove},
      // Nothing allowed: nothing.
      {false, false, CopyMoveLink, TDragTypes{}, deNone},
      {true, true, CopyMoveLink, TDragTypes{}, deNone},
      {false, false, deNone, All, deNone},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message()
                 << "shift " << C.Shift << " ctrl " << C.Ctrl << " offered " << C.Offered);
    EXPECT_EQ(DecideDropEffect(C.Shift, C.Ctrl, C.Offered, C.Types, false, nullptr), C.Expected);
    EXPECT_EQ(DecideDropEffect(C.Shift, C.Ctrl, C.Offered, C.Types, true, nullptr),
              C.Expected | deScroll);
  }
}

TEST(DropEffect, AllowedKeepsForeignBitsAndOverrideDecidesAlone) {
  EXPECT_EQ(AllowedDropEffects(CopyMoveLink | deScroll, TDragTypes{dtMove}), deMove | deScroll);

  // An override that leaves the effect gets the allowed set, several bits,
  // and no scroll bit even inside the band.
  int Calls = 0;
  const auto Unchanged = [&](std::uint32_t&) { ++Calls; };
  EXPECT_EQ(DecideDropEffect(true, true, CopyMoveLink, TDragTypes{dtCopy, dtLink}, true, Unchanged),
            deCopy | deLink);
  EXPECT_EQ(Calls, 1);
  // Its answer stands, even for an empty Dragtypes.
  const auto Move = [](std::uint32_t& E) { E = deMove; };
  EXPECT_EQ(DecideDropEffect(false, false, deCopy, TDragTypes{}, false, Move), deMove);
}

TEST(DropEffect, ScrollBandEdges) {
  struct TCase {
    TScrollDirections Dirs;
    TDropPoint Point;
    bool Expected;
  } Cases[] = {
      // Margin 11, client 300 x 200.
      {sdVertical, {150, 10}, true},
      {sdVertical, {150, 11}, false},
      {sdVertical, {150, 189}, false},
      {sdVertical, {150, 190}, true},
      {sdVertical, {150, -5}, true},
      {sdVertical, {5, 100}, false},
      {sdHorizontal, {10, 100}, true},
      {sdHorizontal, {11, 100}, false},
      {sdHorizontal, {289, 100}, false},
      {sdHorizontal, {290, 100}, true},
      {sdHorizontal, {150, 5}, false},
      {sdHorizontal | sdVertical, {150, 5}, true},
      {sdHorizontal | sdVertical, {5, 100}, true},
      {0, {0, 0}, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << int(C.Dirs) << " at " << C.Point.X << "," << C.Point.Y);
    EXPECT_EQ(InScrollBand(C.Dirs, C.Point, 11, 300, 200), C.Expected);
  }
}

TEST(DropEffect, ScrollStepsByTheBandAlone) {
  struct TCase {
    TDropPoint Point;
    int Vertical, Horizontal;
  } Cases[] = {
      {{150, 10}, -1, 0}, {{150, 11}, 0, 0}, {{150, 190}, 1, 0}, {{10, 100}, 0, -1},
      {{290, 100}, 0, 1}, {{5, 195}, 1, -1}, {{295, 5}, -1, 1},
  };
  for (const TCase& C : Cases) {
    const TScrollStep Step = ScrollStepAt(C.Point, 11, 300, 200);
    EXPECT_EQ(Step.Vertical, C.Vertical) << C.Point.X << "," << C.Point.Y;
    EXPECT_EQ(Step.Horizontal, C.Horizontal) << C.Point.X << "," << C.Point.Y;
  }
}

TEST(DropNames, ExtensionsNamesAndTitles) {
  struct TCase {
    const char* Name;
    const char* Extension;
    const char* NameOnly;
    const char* Title;  // name only, last four characters off
    bool IsURL;
  } Cases[] = {
      {"C:\\Links\\Example.url", ".url", "Example.url", "Example", true},
      {"C:\\Links\\Example.URL", ".URL", "Example.URL", "Example", true},
      {"C:\\Links\\Example.txt", ".txt", "Example.txt", "Example", false},
      {"C:\\my.links\\Example", "", "Example", "Exa", false},
      {"D:file.url", ".url", "file.url", "file", true},
      {"C:\\a.b\\c.d.url", ".url", "c.d.url", "c.d", true},
      {"C:\\x\\.url", ".url", ".url", "", true},
      {"C:\\x\\url", "", "url", "url", false},
      {"C:\\x\\Example.urls", ".urls", "Example.urls", "Example.", false},
      {"", "", "", "", false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(FileExtension(C.Name), C.Extension);
    EXPECT_EQ(FileNameOnly(C.Name), C.NameOnly);
    EXPECT_EQ(WithoutLast4(FileNameOnly(C.Name)), C.Title);
    EXPECT_EQ(IsURLFileName(C.Name), C.IsURL);
  }
}

TEST(DropNames, FileContentsAreReadAsAShortcutFirst) {
  struct TCase {
    const char* What;
    std::string Text;
    std::string Address;
  } Cases[] = {
      {"LF", "[InternetShortcut]\nURL=http://example.com/a\n", "http://example.com/a"},
      // One character longer before the address than the fixed place.
      {"CR LF", "[InternetShortcut]\r\nURL=http://example.com/b\r\nIconIndex=0\r\n",
       "http://example.com/b"},
      {"sections before",
       "[DEFAULT]\r\nBASEURL=http://example.com/\r\n[InternetShortcut]\r\n"
       "URL=http://example.com/c\r\n",
       "http://example.com/c"},
      {"no line end after the address", "[InternetShortcut]\r\nURL=http://example.com/d",
       "http://example.com/d"},
      // A shortcut that names an empty address names no address; the fixed
      // place would only find the rest of its own text.
      {"empty address", "[InternetShortcut]\r\nURL=\r\n", ""},
      // No address in a shortcut section: the fixed place, 250 at most.
      {"not a shortcut", std::string(23, 'x') + "http://y/", "http://y/"},
      {"long text", std::string(23, 'x') + std::string(300, 'a'), std::string(250, 'a')},
      {"23 characters", std::string(23, 'x'), ""},
      {"empty", "", ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    EXPECT_EQ(FileContentsAddress(C.Text), C.Address);
  }
}

TEST(DropBlocks, TextEndsAtZeroOrAtTheBlocksEnd) {
  const char Unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(TextFromBlock(Unterminated, sizeof Unterminated), "abcd");
  EXPECT_EQ(TextFromBlock("ab\0cd", 5), "ab");
  EXPECT_EQ(TextFromBlock(nullptr, 10), "");
  EXPECT_EQ(TextFromBlock(Unterminated, 0), "");
}

// A DROPFILES block: the 20-byte header, then List at Offset.
std::vector<unsigned char> DropFiles(const std::string& List, bool Wide,
                                     std::uint32_t Offset = 20) {
  std::vector<unsigned char> Block(20, 0);
  std::memcpy(Block.data(), &Offset, 4);
  Block[16] = Wide ? 1 : 0;
  for (char C : List) {
    Block.push_back(static_cast<unsigned char>(C));
    if (Wide) Block.push_back(0);
  }
  return Block;
}

TEST(DropBlocks, DropFilesNamesInBothWidths) {
  using namespace std::string_literals;
  struct TCase {
    std::string List;
    std::vector<std::string> Names;
  } Cases[] = {
      {"C:\\a.url\0C:\\b.txt\0\0"s, {"C:\\a.url", "C:\\b.txt"}},
      {"C:\\only.url\0\0"s, {"C:\\only.url"}},
      {"\0"s, {}},
      // No final empty name: the list never ends inside the block.
      {"C:\\a.url\0"s, {}},
      {"C:\\a.url"s, {}},
      {""s, {}},
  };
  for (bool Wide : {false, true}) {
    for (const TCase& C : Cases) {
      SCOPED_TRACE(testing::Message() << (Wide ? "wide " : "narrow ") << C.List.size());
      const auto Block = DropFiles(C.List, Wide);
      std::vector<std::string> Names{"stale"};
      EXPECT_EQ(FileNamesFromDropFiles(Block.data(), Block.size(), nullptr, Names),
                !C.Names.empty());
      EXPECT_EQ(Names, C.Names);
    }
  }
}

TEST(DropBlocks, DropFilesRefusesBadOffsetsAndShortBlocks) {
  using namespace std::string_literals;
  std::vector<std::string> Names;
  for (std::uint32_t Offset : {27u, 28u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    const auto Block = DropFiles("a\0\0"s, false, Offset);  // 23 bytes
    EXPECT_FALSE(FileNamesFromDropFiles(Block.data(), Block.size(), nullptr, Names)) << Offset;
  }
  const auto Block = DropFiles("a\0\0"s, false);
  for (std::size_t Cut : {0u, 4u, 19u, 20u, 21u, 22u})
    EXPECT_FALSE(FileNamesFromDropFiles(Block.data(), Cut, nullptr, Names)) << Cut;
  EXPECT_TRUE(FileNamesFromDropFiles(Block.data(), Block.size(), nullptr, Names));

  // A wide list whose last character is cut in half does not end.
  auto Odd = DropFiles("a\0\0"s, true);
  Odd.pop_back();
  EXPECT_FALSE(FileNamesFromDropFiles(Odd.data(), Odd.size(), nullptr, Names));
  // An offset into the header reads the header as names, inside the block.
  auto Early = DropFiles("x\0\0"s, false, 4);
  EXPECT_FALSE(FileNamesFromDropFiles(Early.data(), Early.size(), nullptr, Names));
}

TEST(DropBlocks, WideNamesGoThroughTheConverter) {
  std::vector<unsigned char> Block = DropFiles(std::string("\0\0", 2), true);
  const char16_t Name[] = u"C:\\\u00e9.url";
  Block.resize(20);
  for (char16_t C : std::u16string_view(Name)) {
    Block.push_back(static_cast<unsigned char>(C & 0xFF));
    Block.push_back(static_cast<unsigned char>(C >> 8));
  }
  Block.insert(Block.end(), 4, 0);
  std::vector<std::string> Names;
  ASSERT_TRUE(FileNamesFromDropFiles(Block.data(), Block.size(), nullptr, Names));
  EXPECT_EQ(Names, std::vector<std::string>{"C:\\?.url"});
  const auto Latin1 = [](std::u16string_view W) {
    std::string S;
    for (char16_t C : W) S += static_cast<char>(C);
    return S;
  };
  ASSERT_TRUE(FileNamesFromDropFiles(Block.data(), Block.size(), Latin1, Names));
  EXPECT_EQ(Names, std::vector<std::string>{"C:\\\xe9.url"});
}

TEST(DropBlocks, FileGroupDescriptorNeedsTheWholeStructure) {
  std::vector<char> Block(FileGroupDescriptorSize, 'x');
  const char Name[] = "Example.url";
  std::memcpy(Block.data() + 76, Name, sizeof Name);
  std::string Found;
  ASSERT_TRUE(FileGroupDescriptorName(Block.data(), Block.size(), Found));
  EXPECT_EQ(Found, "Example.url");
  EXPECT_FALSE(FileGroupDescriptorName(Block.data(), Block.size() - 1, Found));
  EXPECT_EQ(Found, "");
  // A name filling all 260 characters without its zero stops at the array.
  std::memset(Block.data() + 76, 'n', 260);
  ASSERT_TRUE(FileGroupDescriptorName(Block.data(), Block.size(), Found));
  EXPECT_EQ(Found, std::string(260, 'n'));
}

TEST(ShortcutFile, Lines) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitLines(std::string_view("a\nb\0c\nd", 7)), (V{"a", "b"}));
  EXPECT_EQ(SplitLines(""), V{});
}

TEST(ShortcutFile, FindsTheAddressOfItsSection) {
  struct TCase {
    const char* Text;
    bool Found;
    const char* URL;
  } Cases[] = {
      {"[InternetShortcut]\r\nURL=http://example.com/\r\n", true, "http://example.com/"},
      {"[InternetShortcut]\nURL=http://example.com/", true, "http://example.com/"},
      {"[other]\r\nURL=http://wrong/\r\n[internetshortcut]\r\nIconIndex=0\r\nurl=http://x/a\r\n",
       true, "http://x/a"},
      {"[InternetShortcut]\r\nURL=\r\n", true, ""},
      {"[InternetShortcut]\r\nURL=a=b\r\nURL=second\r\n", true, "a=b"},
      {"[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://x/b\r\n", true,
       "http://x/b"},
      // The section line is the last line.
      {"URL=http://before/\r\n[InternetShortcut]\r\n", false, ""},
      {"[InternetShortcut]", false, ""},
      // Another section between the header and the URL line.
      {"[InternetShortcut]\r\n[DEFAULT]\r\nURL=http://x/\r\n", false, ""},
      // The header must be the whole line; spaces count.
      {"[InternetShortcut] \r\nURL=http://x/\r\n", false, ""},
      {" [InternetShortcut]\r\nURL=http://x/\r\n", false, ""},
      {"[InternetShortcut]\r\n URL=http://x/\r\n", false, ""},
      {"[InternetShortcut]\r\nIconFile=x\r\n", false, ""},
      {"no section at all\r\nURL=http://x/\r\n", false, ""},
      {"", false, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Text);
    std::string URL = "stale";
    EXPECT_EQ(URLFromShortcutText(C.Text, URL), C.Found);
    EXPECT_EQ(URL, C.URL);
  }
}

}  // namespace
}  // namespace lumora
