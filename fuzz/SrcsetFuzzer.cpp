// Fuzzes the srcset reader and the picture choice that uses it. Every
// candidate must be a piece of the input without whitespace, with a finite
// value above zero; the choice must be one of the candidates or nothing;
// and a page read with today's web on must give one picture per IMG whatever
// its attributes hold.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "html/HTMLParser.h"
#include "html/PictureChoice.h"
#include "html/Srcset.h"

using namespace lumora;

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Text(reinterpret_cast<const char*>(Data), Size);

  TSrcsetReader Reader(Text);
  TPictureChoice Choice;
  std::size_t Count = 0;
  for (TSrcsetCandidate C; Reader.Next(C); ++Count) {
    Check(!C.URL.empty());
    Check(C.URL.data() >= Text.data() && C.URL.data() + C.URL.size() <= Text.data() + Text.size());
    Check(C.URL.find_first_of(" \t\n\r\f") == std::string_view::npos);
    Check(std::isfinite(C.Value) && C.Value > 0);
    Check(Count <= Size);
  }
  Choice.AddSrcset(TPictureSource::Srcset, Text);
  const std::string Chosen = Choice.Choose();
  if (!Chosen.empty()) {
    Check(Text.find(Chosen) != std::string_view::npos);
    Check(IsPictureCandidateAddress(Chosen));
  }

  // The same bytes as the attributes of one IMG, inside a <picture>.
  THTMLParser P;
  P.SetTodaysWeb(true);
  std::string Inner(Text);
  for (char& C : Inner)
    if (C == '<' || C == '>') C = ' ';
  std::string Page =
      "<picture><source srcset=\"" + Inner + "\"><img " + Inner + "></picture><img src=x.jpg>";
  P.SetHTMLText(std::move(Page));
  P.Execute();
  Check(P.Parsed().Images.size() == 2);
  Check(P.Parsed().Images.back() == "x.jpg");
  return 0;
}
