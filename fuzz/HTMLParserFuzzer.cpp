// Fuzzes the HTML parser against a plain model of its scan. The model reads
// the page one character at a time exactly as the rules are written (no
// memchr, no reading in place, every text run kept) and predicts the tag and
// text events and the number of IMG tags. The parser must agree with it
// whether it takes its fast path (no OnParsing handler) or announces every
// character, and its summary must not depend on which handlers are assigned.
// A second run on the same parser must give the same plain lists and append
// the same categories again, unless the first run ended inside a title.
// With today's web on, the pictures must not depend on the path taken
// either, must be real web addresses that the image events report in order,
// and a link or a <picture> left open at the end of a page must not reach
// into the next run (a title left open does, by design, so the next page
// closes it first).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "html/HTMLParser.h"
#include "html/PictureChoice.h"

using namespace lumora;

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

std::string Upper(std::string_view S) {
  std::string R(S);
  for (char& C : R)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
  return R;
}

std::string TrimModel(const std::string& S) {
  std::size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= 32) ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= 32) --E;
  return S.substr(B, E - B);
}

struct TModel {
  std::vector<std::string> Events;  // "tag:..." and "text:..."
  std::size_t ImgTags = 0;
  bool EndsInTitle = false;
};

TModel Model(const std::vector<std::string>& Lines) {
  TModel M;
  bool InTitle = false;
  std::string Pending, Buffer;
  bool InTag = false;
  for (const auto& Line : Lines)
    for (const char C : Line) {
      bool Closed = false;
      if (C == '<' && !InTag) {
        if (!Pending.empty()) {
          if (!InTitle) M.Events.push_back("text:" + Pending);
          Pending.clear();
        }
        InTag = true;
      } else if (C == '>' && InTag) {
        Closed = true;
        const std::string Tag = Buffer.substr(Buffer.rfind('<') + 1);
        InTag = false;
        Buffer.clear();
        if (InTitle && Upper(Tag).find("/TITLE") == std::string::npos) continue;
        const std::string T = TrimModel(Tag);
        if (T.find("!--") == std::string::npos) M.Events.push_back("tag:" + T);
        const std::string Name = Upper(T.substr(0, T.find(' ')));
        if (Name == "IMG") ++M.ImgTags;
        if (Name == "TITLE") InTitle = true;
        if (Name == "/TITLE") InTitle = false;
      }
      if (!Closed) (InTag ? Buffer : Pending) += C;
    }
  M.EndsInTitle = InTitle;
  return M;
}

using TLists = std::vector<std::vector<std::string>>;

TLists PlainLists(const TParsed& P) {
  return {P.Hyperlinks, P.Images, P.EMails, P.HTTPlinks, P.FTPlinks, P.Locallinks, P.FramePages};
}

TLists Categories(const TParsed& P) {
  TLists L;
  for (const auto* C :
       {&P.HTML, &P.Image, &P.Media, &P.Java, &P.ActiveX, &P.ASP, &P.PHP, &P.PERL}) {
    L.push_back(C->Local);
    L.push_back(C->Remote);
  }
  return L;
}

bool SameSummary(const TParsed& A, const TParsed& B) {
  return A.Title == B.Title && A.Keyword == B.Keyword && A.Description == B.Description &&
         PlainLists(A) == PlainLists(B) && Categories(A) == Categories(B);
}

// Records tag and text events; with CountParsing also every OnParsing call.
struct TRecorder {
  std::vector<std::string> Events;
  std::size_t Parsings = 0;
  bool ParsingOk = true;

  void Attach(THTMLParser& P, bool CountParsing) {
    P.OnFoundTag = [this](TObject*, std::string T) { Events.push_back("tag:" + T); };
    P.OnFoundText = [this](TObject*, std::string T) { Events.push_back("text:" + T); };
    P.OnFoundComment = [](TObject*, std::string) {};
    P.OnFoundHyperlink = [](TObject*, std::string H) { Check(H.find("://") != std::string::npos); };
    if (CountParsing)
      P.OnParsing = [this, &P](TObject* Sender, int Line, int Total) {
        ++Parsings;
        ParsingOk = ParsingOk && Sender == &P && Line >= 1 && Line <= Total &&
                    Total == static_cast<int>(P.HTML().size()) && !P.HTML()[Line - 1].empty();
      };
  }
};

// Today's web: the pictures of the page, read in place or a character at a
// time, and what the same parser finds next.
void CheckTodaysWeb(std::string_view Input) {
  std::vector<std::string> Runs[2];
  for (int Run = 0; Run < 2; ++Run) {
    THTMLParser P;
    P.SetTodaysWeb(true);
    P.SetPictureTypes(".JPG.GIF.PNG.WEBP");
    std::vector<std::string> Events;
    P.OnFoundImage = [&](TObject*, std::string I) { Events.push_back(std::move(I)); };
    if (Run) P.OnParsing = [](TObject*, int, int) {};
    P.SetHTMLText(std::string(Input));
    P.Execute();
    std::vector<std::string> NonEmpty;
    for (const auto& I : P.Parsed().Images) {
      Check(I.empty() || IsPictureCandidateAddress(I));
      if (!I.empty()) NonEmpty.push_back(I);
    }
    Check(NonEmpty == Events);
    Runs[Run] = P.Parsed().Images;
    P.SetHTMLText("</title><img src=next.jpg>");
    P.Execute();
    Check(P.Parsed().Images == std::vector<std::string>{"next.jpg"});
  }
  Check(Runs[1] == Runs[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Input(reinterpret_cast<const char*>(Data), Size);

  THTMLParser Plain;
  Plain.SetHTMLText(std::string(Input));
  const std::vector<std::string>& Lines = Plain.HTML();
  std::size_t Chars = 0;
  for (const auto& L : Lines) {
    Check(L.find_first_of("\r\n") == std::string::npos);
    Chars += L.size();
  }
  THTMLParser Again;
  Again.SetHTMLText(Plain.HTMLText());
  Check(Again.HTML() == Lines);

  const TModel M = Model(Lines);
  Plain.Execute();
  Check(Plain.Parsed().Images.size() == M.ImgTags);

  // The same lines assigned as lines or cut from the text as they are read.
  THTMLParser Fast, Slow, FastText, SlowText;
  TRecorder FastEvents, SlowEvents, FastTextEvents, SlowTextEvents;
  Fast.SetHTML(Lines);
  Slow.SetHTML(Lines);
  FastText.SetHTMLText(std::string(Input));
  SlowText.SetHTMLText(std::string(Input));
  FastEvents.Attach(Fast, false);
  SlowEvents.Attach(Slow, true);
  FastTextEvents.Attach(FastText, false);
  SlowTextEvents.Attach(SlowText, true);
  for (auto* P : {&Fast, &Slow, &FastText, &SlowText}) P->Execute();
  for (const auto* R : {&FastEvents, &SlowEvents, &FastTextEvents, &SlowTextEvents})
    Check(R->Events == M.Events);
  for (const auto* R : {&SlowEvents, &SlowTextEvents}) Check(R->Parsings == Chars && R->ParsingOk);
  for (const auto* P : {&Fast, &Slow, &FastText, &SlowText})
    Check(SameSummary(Plain.Parsed(), P->Parsed()));

  if (!M.EndsInTitle) {
    const TParsed First = Plain.Parsed();
    Plain.Execute();
    Check(PlainLists(Plain.Parsed()) == PlainLists(First));
    const TLists Once = Categories(First), Twice = Categories(Plain.Parsed());
    for (std::size_t I = 0; I < Once.size(); ++I) {
      std::vector<std::string> Doubled = Once[I];
      Doubled.insert(Doubled.end(), Once[I].begin(), Once[I].end());
      Check(Twice[I] == Doubled);
    }
  }
  CheckTodaysWeb(Input);
  return 0;
}
