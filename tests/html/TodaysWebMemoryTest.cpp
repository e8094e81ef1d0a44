// What reading srcset and lazy attributes costs in memory: a page of 100,000
// <img srcset> must cost no more than the same page read by the design's
// rule, bar a small constant, so a page within the 32 MiB bound stays
// within it. Counted by replacing the global allocation functions, natively
// only (the rules are the same code in the Windows builds).

#include <gtest/gtest.h>

#ifndef _WIN32
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "html/HTMLParser.h"

namespace {

std::atomic<long long> Live{0}, Peak{0};

void* Take(std::size_t N) {
  auto* P = static_cast<std::size_t*>(std::malloc(N + 16));
  if (!P) throw std::bad_alloc();
  *P = N;
  const long long Now = Live += static_cast<long long>(N);
  for (long long Old = Peak; Now > Old && !Peak.compare_exchange_weak(Old, Now);) {
  }
  return reinterpret_cast<char*>(P) + 16;
}

void Give(void* Q) noexcept {
  if (!Q) return;
  auto* P = reinterpret_cast<std::size_t*>(static_cast<char*>(Q) - 16);
  Live -= static_cast<long long>(*P);
  std::free(P);
}

}  // namespace

void* operator new(std::size_t N) {
  return Take(N);
}
void* operator new[](std::size_t N) {
  return Take(N);
}
void operator delete(void* P) noexcept {
  Give(P);
}
void operator delete[](void* P) noexcept {
  Give(P);
}
void operator delete(void* P, std::size_t) noexcept {
  Give(P);
}
void operator delete[](void* P, std::size_t) noexcept {
  Give(P);
}

namespace lumora {
namespace {

// Peak bytes above what was live before, for one run over the page.
long long PeakOfRun(const std::string& Page, bool TodaysWeb, std::size_t& Images) {
  const long long Before = Live;
  long long Top = 0;
  {
    THTMLParser P;
    P.SetTodaysWeb(TodaysWeb);
    P.SetHTMLText(Page);
    Peak = Live.load();
    P.Execute();
    Top = Peak - Before;
    Images = P.Parsed().Images.size();
  }
  return Top;
}

TEST(TodaysWebMemory, AHundredThousandSrcsetsCostOnlyAConstantMore) {
  // Every chosen address is as long as the src, so both runs keep lists of
  // one size; what differs is what reading the candidates costs.
  std::string Page = "<html><body>\n";
  for (int I = 0; I < 100000; ++I) {
    const std::string N = std::to_string(100000 + I);
    Page += "<img src=\"/p/" + N + "-0400.jpg\" srcset=\"/p/" + N + "-0400.jpg 400w, /p/" + N +
            "-0800.jpg 800w,\n /p/" + N + "-1600.jpg 1600w, /p/" + N + "-3200.jpg 2x\" alt=x>\n";
  }
  ASSERT_LT(Page.size(), std::size_t{32} << 20);
  std::size_t Off = 0, On = 0;
  const long long PeakOff = PeakOfRun(Page, false, Off);
  const long long PeakOn = PeakOfRun(Page, true, On);
  EXPECT_EQ(Off, 100000u);
  EXPECT_EQ(On, 100000u);
  EXPECT_LT(PeakOn, PeakOff + (1 << 20)) << PeakOn << " against " << PeakOff;
}

}  // namespace
}  // namespace lumora
#endif
