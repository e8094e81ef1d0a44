// Parser throughput on a 20 MB page of ordinary markup (text, anchors, IMG
// tags, comments, scripts), measured in one run against two yardsticks: a
// loop that only finds every "<" and ">" with memchr (the floor no scanner
// of this kind can beat) and gumbo, a full HTML5 tokenizer and tree builder.
// Each runs nine times, interleaved; the ratios at the end compare the best
// throughputs (and compare the parser with today's web on against the same
// parser with it off, on this page and on one whose pictures carry srcset
// and data-src):
//   Lumora / memchr floor  (target: at least 0.25)
//   Lumora / gumbo         (target: at least 3)

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "html/HTMLParser.h"

using namespace lumora;

namespace {

constexpr std::size_t PageSize = 20 * 1024 * 1024;

// A deterministic page: news-list items of varying length, one line each
// for the anchor, the paragraph, the picture, the comment and the script.
// Today's page writes its pictures as today's page builders do: a srcset of
// three widths and a lazy-loading data-src beside the src.
std::string MakePage(bool Today) {
  {
    static const char* const Words[] = {"lorem",   "ipsum",   "dolor",  "sit",      "amet",
                                        "picture", "gallery", "summer", "holiday",  "&amp;",
                                        "camera",  "light",   "river",  "mountain", "city"};
    std::uint32_t Seed = 12345;
    auto Next = [&Seed] { return Seed = Seed * 1103515245u + 12345u, (Seed >> 16) & 0x7FFF; };
    std::string P =
        "<html><head><title>Gallery</title>\n<meta name=keyword content=pictures>\n"
        "</head><body>\n";
    for (unsigned I = 0; P.size() < PageSize; ++I) {
      const std::string N = std::to_string(I);
      P += "<div class=\"item\"><a href=\"/article/" + N + ".html\" title=\"Article " + N +
           "\">Headline number " + N + "</a>\n<p>";
      for (unsigned W = 10 + Next() % 40; W > 0; --W) (P += Words[Next() % 15]) += ' ';
      P += "<b>" + N + "</b> more.</p>\n";
      if (Today)
        P += "<img src=\"http://img.example.com/pics/" + N + ".jpg\" data-src=\"/pics/" + N +
             "-640.jpg\" srcset=\"/pics/" + N + "-320.jpg 320w, /pics/" + N +
             "-640.jpg 640w, /pics/" + N +
             "-1280.jpg 1280w\" width=\"120\" height=\"90\" alt=\"Picture " + N + "\">\n";
      else
        P += "<img src=\"http://img.example.com/pics/" + N + ".jpg\" width=\"120\" height=\"90\" " +
             "alt=\"Picture " + N + "\">\n";
      if (I % 3 == 0) P += "<!-- item " + N + " -->\n";
      if (I % 5 == 0)
        P += "<script type=\"text/javascript\">var x = " + N + "; if (x > 3) { track(\"" + N +
             "\"); }</script>\n";
      P += "</div>\n";
    }
    return P + "</body></html>\n";
  }
}

const std::string& Page() {
  static const std::string Text = MakePage(false);
  return Text;
}

const std::string& TodaysPage() {
  static const std::string Text = MakePage(true);
  return Text;
}

const std::vector<std::string>& LinesOf(const std::string& Text) {
  static std::map<const std::string*, std::vector<std::string>> Cache;
  auto& Lines = Cache[&Text];
  if (Lines.empty()) {
    THTMLParser P;
    P.SetHTMLText(Text);
    Lines = P.HTML();
  }
  return Lines;
}

const std::vector<std::string>& PageLines() {
  return LinesOf(Page());
}

// One run over the page as on a fresh parser, as the grab job does it: the
// page is loaded once and the results of the previous run are dropped
// between runs, untimed (the categories of a parser that runs again and
// again would grow without end).
template <typename TSetUp>
void RunParser(benchmark::State& State, TSetUp SetUp, const std::string& Text = Page()) {
  THTMLParser P;
  P.SetHTML(LinesOf(Text));
  SetUp(P);
  for (auto _ : State) {
    State.PauseTiming();
    P.Parsed() = TParsed();
    State.ResumeTiming();
    P.Execute();
    benchmark::DoNotOptimize(P.Parsed().Images.data());
  }
  State.counters["images"] = static_cast<double>(P.Parsed().Images.size());
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}

void LumoraNoHandlers(benchmark::State& State) {
  RunParser(State, [](THTMLParser&) {});
}

void LumoraOnParsing(benchmark::State& State) {
  std::int64_t Calls = 0;
  RunParser(State,
            [&Calls](THTMLParser& P) { P.OnParsing = [&Calls](TObject*, int, int) { ++Calls; }; });
  benchmark::DoNotOptimize(Calls);
}

// The same page with today's web on: what reading every attribute of every
// IMG and A, and tracking the open link, cost on an ordinary page.
void LumoraTodaysWeb(benchmark::State& State) {
  RunParser(State, [](THTMLParser& P) { P.SetTodaysWeb(true); });
}

// Today's page read as the design reads it, and with today's web on.
void LumoraTodaysPageOff(benchmark::State& State) {
  RunParser(
      State, [](THTMLParser&) {}, TodaysPage());
}

void LumoraTodaysPageOn(benchmark::State& State) {
  RunParser(
      State, [](THTMLParser& P) { P.SetTodaysWeb(true); }, TodaysPage());
}

void MemchrFloor(benchmark::State& State) {
  const std::string& Text = Page();
  for (auto _ : State) {
    std::size_t Marks = 0;
    const char* P = Text.data();
    const char* const End = P + Text.size();
    for (char Want = '<'; P < End; Want = Want == '<' ? '>' : '<') {
      P = static_cast<const char*>(std::memchr(P, Want, End - P));
      if (!P) break;
      ++P;
      ++Marks;
    }
    benchmark::DoNotOptimize(Marks);
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}

void Gumbo(benchmark::State& State) {
  const std::string& Text = Page();
  for (auto _ : State) {
    GumboOutput* Out = gumbo_parse_with_options(&kGumboDefaultOptions, Text.data(), Text.size());
    benchmark::DoNotOptimize(Out->root);
    gumbo_destroy_output(&kGumboDefaultOptions, Out);
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}

// Prints as usual and keeps each benchmark's best throughput (its "max"
// row: the largest of each column, so the slowest time beside the fastest
// rate) for the ratios: the best of interleaved repetitions is what the code can do,
// while the median moves with whatever else the machine is running.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& Reports) override {
    for (const auto& R : Reports) {
      const auto C = R.counters.find("bytes_per_second");
      if (C != R.counters.end() && R.aggregate_name == "max")
        Rates[R.run_name.function_name] = C->second.value;
    }
    ConsoleReporter::ReportRuns(Reports);
  }
  std::map<std::string, double> Rates;
};

constexpr int Repeats = 9;

double Best(const std::vector<double>& Values) {
  return Values.empty() ? 0.0 : *std::max_element(Values.begin(), Values.end());
}

// Every benchmark here: in milliseconds, Repeats times, with its "max" row.
void Measured(benchmark::internal::Benchmark* B) {
  B->Unit(benchmark::kMillisecond)
      ->Repetitions(Repeats)
      ->ComputeStatistics("max", Best)
      ->ReportAggregatesOnly();
}

}  // namespace

BENCHMARK(LumoraNoHandlers)->Apply(Measured);
BENCHMARK(LumoraOnParsing)->Apply(Measured);
BENCHMARK(LumoraTodaysWeb)->Apply(Measured);
BENCHMARK(LumoraTodaysPageOff)->Apply(Measured);
BENCHMARK(LumoraTodaysPageOn)->Apply(Measured);
BENCHMARK(MemchrFloor)->Apply(Measured);
BENCHMARK(Gumbo)->Apply(Measured);

// One run over one page and no timing, for bench/parser_instructions.sh to
// count the instructions of under callgrind: --once=page-off, page-on,
// todays-off or todays-on.
int RunOnce(std::string_view Variant) {
  const bool Today = Variant.substr(0, 6) == "todays";
  const bool On = Variant.size() >= 3 && Variant.substr(Variant.size() - 3) == "-on";
  THTMLParser P;
  P.SetHTML(LinesOf(Today ? TodaysPage() : Page()));
  P.SetTodaysWeb(On);
  P.Execute();
  std::printf("%s: %zu pictures\n", std::string(Variant).c_str(), P.Parsed().Images.size());
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]).substr(0, 7) == "--once=")
    return RunOnce(std::string_view(argv[1]).substr(7));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("page: %zu bytes, %zu lines\n", Page().size(), PageLines().size());
  TRatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();

  auto Rate = [&](const char* Name) {
    const auto It = Reporter.Rates.find(Name);
    return It == Reporter.Rates.end() ? 0.0 : It->second;
  };
  const double Lumora = Rate("LumoraNoHandlers"), Floor = Rate("MemchrFloor"),
               GumboRate = Rate("Gumbo"), Parsing = Rate("LumoraOnParsing");
  if (Floor > 0) std::printf("Lumora / memchr floor = %.2f (target >= 0.25)\n", Lumora / Floor);
  if (GumboRate > 0)
    std::printf("Lumora / gumbo        = %.1f (target >= 3)\n", Lumora / GumboRate);
  if (Floor > 0)
    std::printf("Lumora with OnParsing / memchr floor = %.3f (for information)\n", Parsing / Floor);
  const double WebOn = Rate("LumoraTodaysWeb");
  if (Lumora > 0)
    std::printf("this page: today's web on / off = %.3f (target >= 0.9)\n", WebOn / Lumora);
  const double Off = Rate("LumoraTodaysPageOff"), On = Rate("LumoraTodaysPageOn");
  if (Off > 0)
    std::printf(
        "today's page (srcset on every IMG): today's web on / off = %.3f (for "
        "information)\n",
        On / Off);
  return 0;
}
