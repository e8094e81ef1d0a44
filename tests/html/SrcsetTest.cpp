#include "html/Srcset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora {
namespace {

// "url descriptor-value" per candidate, "w"/"x"/"-" for the kind.
std::vector<std::string> Read(std::string_view Text) {
  std::vector<std::string> Out;
  TSrcsetReader R(Text);
  for (TSrcsetCandidate C; R.Next(C);) {
    const char Kind = C.Descriptor == TSrcsetDescriptor::Width     ? 'w'
                      : C.Descriptor == TSrcsetDescriptor::Density ? 'x'
                                                                   : '-';
    std::string V = std::to_string(C.Value);
    V.erase(V.find_last_not_of('0') + 1);
    if (V.back() == '.') V.pop_back();
    Out.push_back(std::string(C.URL) + " " + V + Kind);
  }
  return Out;
}

TEST(Srcset, ReadAsBrowsersReadIt) {
  using L = std::vector<std::string>;
  const struct {
    const char* Text;
    L Candidates;
  } Cases[] = {
      {"a.jpg", {"a.jpg 1-"}},
      {"a.jpg 1x, b.jpg 2x", {"a.jpg 1x", "b.jpg 2x"}},
      {"a-320.jpg 320w,a-640.jpg 640w", {"a-320.jpg 320w", "a-640.jpg 640w"}},
      {"  a.jpg\n  400w,\n\tb.jpg\t800w\n", {"a.jpg 400w", "b.jpg 800w"}},
      {"a.jpg 1.5x, b.jpg .5x, c.jpg 2e1x", {"a.jpg 1.5x", "b.jpg 0.5x", "c.jpg 20x"}},
      // Commas inside a URL belong to it; a trailing one ends the candidate.
      {"/img/w_400,h_300,c_fill/a.jpg 400w, /img/w_800,h_600/a.jpg 800w",
       {"/img/w_400,h_300,c_fill/a.jpg 400w", "/img/w_800,h_600/a.jpg 800w"}},
      {"a.jpg,b.jpg 2x", {"a.jpg,b.jpg 2x"}},  // no space: one URL
      {"a.jpg,,, b.jpg", {"a.jpg 1-", "b.jpg 1-"}},
      {"data:image/gif;base64,R0lGOD,lhAQ== 1x, big.jpg 2x",
       {"data:image/gif;base64,R0lGOD,lhAQ== 1x", "big.jpg 2x"}},
      {"a.jpg 400w 300h", {"a.jpg 400w"}},
      {"https://cdn.example/p.jpg?w=800&h=600 800w",
       {"https://cdn.example/p.jpg?w=800&h=600 800w"}},
      {",,, , ", {}},
      {"", {}},
  };
  for (const auto& C : Cases) EXPECT_EQ(Read(C.Text), C.Candidates) << C.Text;
}

TEST(Srcset, MalformedCandidatesAreSkippedAndReadingGoesOn) {
  using L = std::vector<std::string>;
  const struct {
    const char* Text;
    L Candidates;
  } Cases[] = {
      {"a.jpg -5w, b.jpg 5w", {"b.jpg 5w"}},
      {"a.jpg 0x, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg 0w, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg 1e999x, b.jpg 3x", {"b.jpg 3x"}},
      {"a.jpg -1x, b.jpg 3x", {"b.jpg 3x"}},
      {"a.jpg 2x 3x, b.jpg", {"b.jpg 1-"}},
      {"a.jpg 400w 2x, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg 300h, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg 1.x, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg 12q, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg 99999999999999999999999w, b.jpg 1x", {"b.jpg 1x"}},
      {"a.jpg (1x, b.jpg 2x", {}},  // an open parenthesis swallows the rest
      {"a.jpg 1x (note), b.jpg 2x", {"b.jpg 2x"}},
  };
  for (const auto& C : Cases) EXPECT_EQ(Read(C.Text), C.Candidates) << C.Text;
}

TEST(Srcset, HugeInputIsReadInOnePassWithoutTrouble) {
  std::string Many;
  for (int I = 1; I <= 10000; ++I) {
    const std::string N = std::to_string(I);
    Many.append("p").append(N).append(".jpg ").append(N).append("w, ");
  }
  const auto All = Read(Many);
  ASSERT_EQ(All.size(), 10000u);
  EXPECT_EQ(All.back(), "p10000.jpg 10000w");

  const std::string Long = "http://h/" + std::string(1 << 20, 'a') + ".jpg 2x";
  const auto One = Read(Long);
  ASSERT_EQ(One.size(), 1u);
  EXPECT_EQ(One[0].size(), Long.size());
}

}  // namespace
}  // namespace lumora
