#include "html/HTMLParser.h"
#include "grab/PictureTypes.h"
#include "html/PictureLink.h"
#include "sys/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>

namespace lumora {

namespace {

constexpr auto npos = std::string_view::npos;

// Where Needle (upper case already) first occurs in S compared upper-cased.
// An empty needle is never found.
std::size_t FindUpper(std::string_view S, std::string_view Needle) {
  if (Needle.empty() || Needle.size() > S.size()) return npos;
  const std::size_t Last = S.size() - Needle.size();
  const char First = Needle[0];
  for (std::size_t I = 0; I <= Last; ++I) {
    if (UpperAscii(S[I]) != First) continue;
    std::size_t K = 1;
    while (K < Needle.size() && UpperAscii(S[I + K]) == Needle[K]) ++K;
    if (K == Needle.size()) return I;
  }
  return npos;
}

bool Contains(std::string_view S, std::string_view Needle) {
  return FindUpper(S, Needle) != npos;
}

bool EqualsUpper(std::string_view S, std::string_view Upper) {
  if (S.size() != Upper.size()) return false;
  for (std::size_t I = 0; I < S.size(); ++I)
    if (UpperAscii(S[I]) != Upper[I]) return false;
  return true;
}

bool IsOneOf(std::string_view S, std::initializer_list<std::string_view> Upper) {
  for (auto U : Upper)
    if (EqualsUpper(S, U)) return true;
  return false;
}

// Characters 0..32 (spaces and control characters) go at both ends.
std::string_view Trim(std::string_view S) {
  auto Blank = [](char C) { return static_cast<unsigned char>(C) <= 32; };
  while (!S.empty() && Blank(S.front())) S.remove_prefix(1);
  while (!S.empty() && Blank(S.back())) S.remove_suffix(1);
  return S;
}

// The attribute text for a name given upper-cased; see GetAttribute.
std::string_view AttributeView(std::string_view TagText, std::string_view UpperName) {
  const std::size_t Start = FindUpper(TagText, UpperName);
  if (Start == npos) return {};
  bool Quoted = false;
  std::size_t Stop = Start;
  for (; Stop + 1 < TagText.size(); ++Stop) {
    if (TagText[Stop] == '"')
      Quoted = !Quoted;
    else if (TagText[Stop] == ' ' && !Quoted)
      break;
  }
  return TagText.substr(Start, Stop - Start + 1);
}

std::string AttributeValue(std::string_view TagText, std::string_view UpperName) {
  return GetAttributeValue(AttributeView(TagText, UpperName));
}

struct TURLViews {
  std::string_view Folder, DocumentName, Extension;
};

// SplitURL without copies; letters are compared upper-cased, so the link may
// be given in any case.
TURLViews SplitURLViews(std::string_view Link) {
  if (const std::size_t Scheme = Link.find("://"); Scheme != npos)
    Link.remove_prefix(Scheme + 3);
  else if (Contains(Link, "MAILTO:"))
    Link.remove_prefix(7);  // the first seven characters, wherever "MAILTO:" stands

  TURLViews Parts;
  const std::size_t Slash = Link.rfind('/');
  const std::string_view Segment = Slash == npos ? Link : Link.substr(Slash + 1);
  if (Slash != npos) Parts.Folder = Link.substr(0, Slash + 1);
  if (Segment.find('.') == npos) return Parts;
  Parts.DocumentName = Segment.substr(0, Segment.find('?'));
  const std::size_t Dot = Parts.DocumentName.rfind('.');
  if (Dot != npos && Parts.DocumentName.find_first_of("\\:", Dot) == npos)
    Parts.Extension = Parts.DocumentName.substr(Dot);
  return Parts;
}

// The category of an anchor by the extension of its href; the first
// matching row wins.
TLocalRemote* Category(TParsed& P, std::string_view E) {
  if (Contains(E, "HTM")) return &P.HTML;
  if (IsOneOf(E, {".JPG", ".JPEG", ".GIF", ".TIF", ".PCX", ".PNG", ".BMP"})) return &P.Image;
  if (IsOneOf(E, {".AVI", ".MP3", ".AU", ".MOV", ".MPG", ".MPEG"})) return &P.Media;
  if (IsOneOf(E, {".JS", ".CLASS", ".JAVA"})) return &P.Java;
  if (EqualsUpper(E, ".ASP")) return &P.ASP;
  if (IsOneOf(E, {".PL", ".CGI"})) return &P.PERL;
  if (Contains(E, "PHP")) return &P.PHP;
  if (EqualsUpper(E, ".CAB")) return &P.ActiveX;
  return nullptr;
}

void MetaRule(std::string_view TagText, TParsed& P) {
  const std::string Name = AttributeValue(TagText, "NAME");
  if (EqualsUpper(Name, "KEYWORD"))
    P.Keyword = AttributeValue(TagText, "CONTENT");
  else if (EqualsUpper(Name, "DESCRIPTION"))
    P.Description = AttributeValue(TagText, "CONTENT");
}

bool IsSpaceChar(char C) {
  return C == ' ' || C == '\t' || C == '\n' || C == '\r' || C == '\f';
}

// What ends an attribute's name or value, by byte: today's web reads every
// attribute of every IMG and A, so the scans below test one table entry a
// character instead of six comparisons.
enum : unsigned char { EndsValue = 1, EndsName = 2, Between = 4 };
constexpr std::array<unsigned char, 256> AttributeStops = [] {
  std::array<unsigned char, 256> T{};
  for (const unsigned char C : {' ', '\t', '\n', '\r', '\f'}) T[C] = EndsValue | EndsName | Between;
  T['/'] = EndsName | Between;
  T['='] = EndsName;
  return T;
}();

bool Stops(char C, unsigned char What) {
  return AttributeStops[static_cast<unsigned char>(C)] & What;
}

// Calls Visit(Name, Value) for each attribute of a tag's text after its
// name, as browsers split them: a name runs to whitespace, "/", "=" or ">";
// a value is double-quoted, single-quoted or runs to whitespace. Only the
// first of two attributes with one name counts; that is the caller's to
// keep track of. Value is a view into Text. Visit returns false once it has
// all it wants, which ends the scan.
template <typename TVisit>
void ForEachAttribute(std::string_view Text, TVisit&& Visit) {
  std::size_t P = 0;
  const std::size_t N = Text.size();
  while (P < N) {
    while (P < N && Stops(Text[P], Between)) ++P;
    const std::size_t NameStart = P;
    while (P < N && !Stops(Text[P], EndsName)) ++P;
    if (P == NameStart && P < N) {
      ++P;  // a stray "=": skip it
      continue;
    }
    const std::string_view Name = Text.substr(NameStart, P - NameStart);
    while (P < N && IsSpaceChar(Text[P])) ++P;
    std::string_view Value;
    if (P < N && Text[P] == '=') {
      ++P;
      while (P < N && IsSpaceChar(Text[P])) ++P;
      if (P < N && (Text[P] == '"' || Text[P] == '\'')) {
        const char Quote = Text[P++];
        const std::size_t End = std::min(Text.find(Quote, P), N);
        Value = Text.substr(P, End - P);
        P = End < N ? End + 1 : N;
      } else {
        const std::size_t Start = P;
        while (P < N && !Stops(Text[P], EndsValue)) ++P;
        Value = Text.substr(Start, P - Start);
      }
    }
    if (!Name.empty() && !Visit(Name, Value)) return;
  }
}

// Where today's pages write a picture, by attribute name.
struct TPictureAttribute {
  std::string_view Name;  // upper case
  TPictureSource Source;
  bool Srcset;
};
constexpr TPictureAttribute PictureAttributes[] = {
    {"SRC", TPictureSource::Src, false},
    {"SRCSET", TPictureSource::Srcset, true},
    {"DATA-SRC", TPictureSource::DataSrc, false},
    {"DATA-SRCSET", TPictureSource::DataSrcset, true},
    {"DATA-ORIGINAL", TPictureSource::DataOriginal, false},
    {"DATA-LAZY-SRC", TPictureSource::DataLazySrc, false},
    {"DATA-ORIG-FILE", TPictureSource::DataOrigFile, false},
    {"DATA-FULL", TPictureSource::DataFull, false},
    {"DATA-HIRES", TPictureSource::DataHires, false},
    {"DATA-SRC-LARGE", TPictureSource::DataSrcLarge, false},
    {"DATA-LARGE-FILE", TPictureSource::DataLargeFile, false},
};

// The width of data-orig-size="W,H": digits, then a comma; 0 for anything
// else.
double OrigSizeWidth(std::string_view Value) {
  double Width = 0;
  std::size_t P = 0;
  for (; P < Value.size() && P < 9 && Value[P] >= '0' && Value[P] <= '9'; ++P)
    Width = Width * 10 + (Value[P] - '0');
  return P > 0 && P < Value.size() && Value[P] == ',' ? Width : 0;
}

// Attribute values are URLs here; the one character reference pages put in
// them all the time is "&amp;". Room() gives the string to decode into; it
// is asked for only when there is one to decode.
template <typename TRoom>
std::string_view DecodeAmp(std::string_view Value, TRoom&& Room) {
  const std::size_t First = Value.find('&');
  if (First == npos || Value.find("&amp;", First) == npos) return Value;
  std::string& Out = Room();
  Out.clear();
  for (std::size_t P = 0; P < Value.size();) {
    if (Value.compare(P, 5, "&amp;") == 0) {
      Out += '&';
      P += 5;
    } else {
      Out += Value[P++];
    }
  }
  return Out;
}

}  // namespace

std::string GetAttribute(std::string_view TagText, std::string_view Name) {
  return std::string(AttributeView(TagText, UpperAscii(Name)));
}

std::string GetAttributeValue(std::string_view AttributeText) {
  const std::size_t Eq = AttributeText.find('=');
  std::string_view Rest = Eq == npos ? AttributeText : AttributeText.substr(Eq + 1);
  // An unquoted part, then, from a double quote on, a quoted part that the
  // next double quote ends; spaces end only the unquoted part.
  const std::size_t Stop = Rest.find_first_of(" \"");
  std::string Value(Rest.substr(0, Stop));
  if (Stop != npos && Rest[Stop] == '"') {
    Rest.remove_prefix(Stop + 1);
    Value.append(Rest.substr(0, Rest.find('"')));
  }
  return Value;
}

TURLParts SplitURL(std::string_view Link) {
  const TURLViews V = SplitURLViews(Link);
  return {std::string(V.Folder), std::string(V.DocumentName), std::string(V.Extension)};
}

// A document assigned as lines keeps them. One assigned as text keeps the
// text and cuts it into lines as they are read, at CR LF, a lone CR or a lone
// LF; the lines themselves are made only if somebody asks for them.
class THTMLParser::TDocument {
 public:
  explicit TDocument(std::vector<std::string> Lines)
      : FLines(std::move(Lines)), FLinesMade(true), FCount(FLines.size()) {}
  explicit TDocument(std::string Text) : FText(std::move(Text)), FFromText(true) {
    ForEachLine([this](std::size_t, std::string_view) { ++FCount; });
  }

  std::size_t Count() const { return FCount; }

  const std::vector<std::string>& Lines() const {
    if (!FLinesMade) {
      FLines.reserve(FCount);
      ForEachLine([this](std::size_t, std::string_view Line) { FLines.emplace_back(Line); });
      FLinesMade = true;
    }
    return FLines;
  }

  // Visit(N, Line) for every line in order, N counting from 0.
  template <typename TVisit>
  void ForEachLine(TVisit&& Visit) const {
    if (!FFromText) {
      for (std::size_t N = 0; N < FLines.size(); ++N) Visit(N, std::string_view(FLines[N]));
      return;
    }
    const char* P = FText.data();
    const char* const End = P + FText.size();
    for (std::size_t N = 0; P < End; ++N) {
      const char* E = P;
      while (E < End && *E != '\r' && *E != '\n') ++E;
      Visit(N, std::string_view(P, static_cast<std::size_t>(E - P)));
      if (E < End && *E == '\r' && E + 1 < End && E[1] == '\n') ++E;
      P = E + 1;
    }
  }

 private:
  std::string FText;
  bool FFromText = false;
  mutable std::vector<std::string> FLines;
  mutable bool FLinesMade = false;
  std::size_t FCount = 0;
};

THTMLParser::THTMLParser(TComponent* Owner)
    : TComponent(Owner),
      FHTML(std::make_shared<const TDocument>(std::vector<std::string>())),
      FPictureTypes(AllPictureTypes) {}

const std::vector<std::string>& THTMLParser::HTML() const {
  return FHTML->Lines();
}

void THTMLParser::SetHTML(const std::vector<std::string>& Lines) {
  FHTML = std::make_shared<const TDocument>(Lines);
}

std::string THTMLParser::HTMLText() const {
  std::string Text;
  FHTML->ForEachLine([&](std::size_t, std::string_view Line) { (Text += Line) += "\r\n"; });
  return Text;
}

void THTMLParser::SetHTMLText(std::string Text) {
  FHTML = std::make_shared<const TDocument>(std::move(Text));
}

// Handlers are called through a copy, so one that reassigns or clears its
// own event does not destroy the function that is running.
void THTMLParser::DoFoundComment(std::string Comment) {
  if (auto Handler = OnFoundComment) Handler(this, std::move(Comment));
}
void THTMLParser::DoFoundHyperlink(std::string Hyperlink) {
  if (auto Handler = OnFoundHyperlink) Handler(this, std::move(Hyperlink));
}
void THTMLParser::DoFoundTag(std::string Tag) {
  if (auto Handler = OnFoundTag) Handler(this, std::move(Tag));
}
void THTMLParser::DoFoundText(std::string Text) {
  if (auto Handler = OnFoundText) Handler(this, std::move(Text));
}
void THTMLParser::DoParsing(int Lines, int Total) {
  if (auto Handler = OnParsing) Handler(this, Lines, Total);
}
void THTMLParser::DoFoundImage(std::string Image) {
  if (auto Handler = OnFoundImage) Handler(this, std::move(Image));
}

// The scan keeps the text run being read and, inside a tag, only what
// follows the tag's last "<": a "<" within a tag does not open a new one,
// but the tag text is taken after the last "<" anyway.
//
// With OnParsing assigned every character is announced before it is handled,
// one at a time. Without it the scan jumps from one "<" or ">" to the next
// with memchr, hands tags that lie within one line to ProcessTag in place,
// and copies a text run only when somebody will see it (a title is being
// collected or OnFoundText is assigned). Nothing but OnParsing can run while
// a text run is read, so that choice, made at the run's first piece, holds
// to its end.
void THTMLParser::Execute() {
  for (auto* List : {&FParsed.Hyperlinks, &FParsed.Images, &FParsed.EMails, &FParsed.HTTPlinks,
                     &FParsed.FTPlinks, &FParsed.Locallinks, &FParsed.FramePages})
    List->clear();

  FInPicture = false;
  FPictureUsed = false;
  FLinkOpen = false;  // a link left open ends with its page
  FLinkedPicture.clear();
  const auto Document = FHTML;  // keeps this document alive if a handler assigns another
  std::string PendingText;
  std::string TagBuffer;
  bool InTag = false;

  auto FinishText = [&] {
    if (PendingText.empty()) return;
    const std::string Text = std::exchange(PendingText, {});
    ProcessText(Text);
  };
  auto FinishTag = [&](std::string_view Tail) {
    InTag = false;
    if (TagBuffer.empty()) return ProcessTag(Tail);
    TagBuffer.append(Tail);
    const std::string Tag = std::exchange(TagBuffer, {});
    ProcessTag(Tag);
  };

  Document->ForEachLine([&](std::size_t N, std::string_view Line) {
    const std::size_t Size = Line.size();
    auto Find = [&](char C, std::size_t From) -> std::size_t {
      const void* At = std::memchr(Line.data() + From, C, Size - From);
      return At ? static_cast<const char*>(At) - Line.data() : Size;
    };
    // The first "<" at or after the last search start: looked for once per
    // tag, it serves both to see that the tag holds no "<" and to end the
    // text that follows the tag.
    std::size_t NextOpen = 0;
    bool OpenKnown = false;
    auto FindOpen = [&](std::size_t From) {
      if (!OpenKnown || NextOpen < From) {
        NextOpen = Find('<', From);
        OpenKnown = true;
      }
      return NextOpen;
    };

    std::size_t I = 0;
    while (I < Size) {
      if (OnParsing) {
        DoParsing(static_cast<int>(N + 1), static_cast<int>(FHTML->Count()));
        const char C = Line[I++];
        if (!InTag) {
          if (C == '<') {
            FinishText();
            InTag = true;
          } else {
            PendingText += C;
          }
        } else if (C == '>') {
          FinishTag({});
        } else if (C == '<') {
          TagBuffer.clear();
        } else {
          TagBuffer += C;
        }
        continue;
      }

      if (!InTag) {
        const std::size_t Open = FindOpen(I);
        if (Open > I && (FInTitle || OnFoundText || !PendingText.empty()))
          PendingText.append(Line.substr(I, Open - I));
        if (Open == Size) break;
        I = Open + 1;
        FinishText();
        InTag = true;
      } else {
        const std::size_t Close = Find('>', I);
        std::string_view Part = Line.substr(I, Close - I);
        if (FindOpen(I) < Close) {  // rare: only the text after the last "<" counts
          TagBuffer.clear();
          Part.remove_prefix(Part.rfind('<') + 1);
        }
        if (Close == Size) {
          TagBuffer.append(Part);
          break;
        }
        I = Close + 1;
        FinishTag(Part);
      }
    }
    // A line break inside a tag separates attributes, as in a browser.
    if (FTodaysWeb && InTag) TagBuffer += ' ';
  });
  // Text after the last tag and a tag without ">" are dropped.
}

void THTMLParser::ProcessText(std::string_view Text) {
  if (FInTitle)
    FTitleText = Text;  // each run replaces what was collected
  else if (OnFoundText)
    DoFoundText(std::string(Text));
}

void THTMLParser::ProcessTag(std::string_view TagText) {
  if (FInTitle && !Contains(TagText, FTitleEndTag)) {
    ((FTitleText += '<') += TagText) += '>';
    return;
  }
  const std::string_view Tag = Trim(TagText);
  if (OnFoundTag && !Contains(Tag, "!--")) DoFoundTag(std::string(Tag));

  // The name ends at the first space (tabs do not separate). No rule has a
  // name longer than six characters, so looking further is pointless.
  // Today's web: any whitespace ends it, and "/PICTURE" is eight long.
  const std::size_t Limit = FTodaysWeb ? 9 : 7;
  std::size_t Length = 0;
  if (FTodaysWeb)
    while (Length < Tag.size() && Length < Limit && !IsSpaceChar(Tag[Length])) ++Length;
  else
    while (Length < Tag.size() && Length < Limit && Tag[Length] != ' ') ++Length;
  const std::string_view Name = Tag.substr(0, Length);
  if (Length == Limit) return;
  if (Length >= 7) {  // today's web only: the names of <picture>
    if (EqualsUpper(Name, "PICTURE")) {
      PictureEnd();  // a <picture> left open ends where the next begins
      FInPicture = true;
    } else if (EqualsUpper(Name, "/PICTURE")) {
      PictureEnd();
    }
    return;
  }
  if (EqualsUpper(Name, "A")) {
    AnchorRule(Tag);
    if (FTodaysWeb) LinkStart(Tag.substr(Length));
  } else if (FTodaysWeb && EqualsUpper(Name, "/A")) {
    FLinkOpen = false;
    FLinkedPicture.clear();
  } else if (EqualsUpper(Name, "IMG")) {
    if (FTodaysWeb)
      ImageRule(Tag.substr(Length));
    else
      FParsed.Images.push_back(AttributeValue(Tag, "SRC"));
  } else if (FTodaysWeb && EqualsUpper(Name, "SOURCE")) {
    SourceRule(Tag.substr(Length));
  } else if (EqualsUpper(Name, "FRAME")) {
    FParsed.FramePages.push_back(AttributeValue(Tag, "SRC"));
  } else if (EqualsUpper(Name, "META")) {
    MetaRule(Tag, FParsed);
  } else if (Name == "!--") {
    if (OnFoundComment)
      DoFoundComment(Tag.size() > 7 ? std::string(Tag.substr(4, Tag.size() - 7)) : std::string());
  } else if (EqualsUpper(Name, "TITLE")) {
    FInTitle = true;
    FTitleEndTag = "/TITLE";
  } else if (EqualsUpper(Name, "/TITLE")) {
    FInTitle = false;
    FTitleEndTag.clear();
    FParsed.Title = std::exchange(FTitleText, {});
  }
}

// The href is tested as it stands: every test compares letters upper-cased.
void THTMLParser::AnchorRule(std::string_view TagText) {
  std::string Href = AttributeValue(TagText, "HREF");
  const bool Scheme = Href.find("://") != npos;
  const bool Http = Scheme && Contains(Href, "HTTP://");

  if (TLocalRemote* C = Category(FParsed, SplitURLViews(Href).Extension))
    (Http ? C->Remote : C->Local).push_back(Href);

  if (Contains(Href, "MAILTO:"))
    FParsed.EMails.push_back(Href.substr(7));
  else if (Scheme && Contains(Href, "FTP://"))
    FParsed.FTPlinks.push_back(Href);
  else if (Http)
    FParsed.HTTPlinks.push_back(Href);
  else if (!Scheme)
    FParsed.Locallinks.push_back(Href);
  else if (OnFoundHyperlink)
    DoFoundHyperlink(Href);

  FParsed.Hyperlinks.push_back(std::move(Href));
}

}  // namespace lumora

namespace lumora {

// An <a> ends the one before it, as in a browser: links do not nest. Only
// the first href counts.
void THTMLParser::LinkStart(std::string_view Attributes) {
  // Most links hold no picture, so the href is judged only when one does:
  // keeping the attributes costs a copy, reading them much more.
  FLinkOpen = true;
  FLinkJudged = false;
  FLinkAttributes.assign(Attributes);
  FLinkedPicture.clear();
}

const std::string& THTMLParser::LinkedPicture() {
  if (!FLinkOpen || FLinkJudged) return FLinkedPicture;
  FLinkJudged = true;
  ForEachAttribute(FLinkAttributes, [&](std::string_view Name, std::string_view Value) {
    if (!EqualsUpper(Name, "HREF")) return true;
    // No picture ending holds a "&" or a ";": the ending is judged before
    // any "&amp;" is decoded.
    if (!HasPictureLinkEnding(Value)) return false;
    std::string Room;
    const std::string_view Href = DecodeAmp(Value, [&Room]() -> std::string& { return Room; });
    if (IsPictureLink(Href, FPictureTypes)) FLinkedPicture.assign(Href);
    return false;  // only the first href counts
  });
  return FLinkedPicture;
}

// One picture per IMG: the picture its link leads to, or else its own
// attributes competing with the sources of the <picture> around it.
void THTMLParser::ImageRule(std::string_view Attributes) {
  if (FInPicture) FPictureUsed = true;
  if (const std::string& Linked = LinkedPicture(); !Linked.empty()) {
    FParsed.Images.push_back(Linked);
    if (OnFoundImage) DoFoundImage(Linked);
    return;
  }
  TPictureChoice Choice;  // points into Attributes and the picture's kept sources
  if (FInPicture) Choice.Merge(FPictureChoice);
  unsigned Seen = 0;
  std::string_view OrigFile;
  double OrigWidth = 0;
  // One room each for decoded values, since the choice points into them;
  // made only for a tag that has an "&amp;" to decode.
  std::unique_ptr<std::string[]> Rooms;
  ForEachAttribute(Attributes, [&](std::string_view Name, std::string_view Value) {
    // Every name of a picture starts with "src" or "data-": most attributes
    // (alt, width, class) are turned away at their first letter.
    const char First = UpperAscii(Name[0]);
    if (First != 'S' && First != 'D') return true;
    if (EqualsUpper(Name, "DATA-ORIG-SIZE")) {
      if (!(Seen & (1u << std::size(PictureAttributes)))) OrigWidth = OrigSizeWidth(Value);
      Seen |= 1u << std::size(PictureAttributes);
      return true;
    }
    for (std::size_t K = 0; K < std::size(PictureAttributes); ++K) {
      const auto& A = PictureAttributes[K];
      if (!EqualsUpper(Name, A.Name)) continue;
      if (Seen & (1u << K)) return true;  // only the first of a name counts
      Seen |= 1u << K;
      const std::string_view V = DecodeAmp(Value, [&Rooms, K]() -> std::string& {
        if (!Rooms) Rooms = std::make_unique<std::string[]>(std::size(PictureAttributes));
        return Rooms[K];
      });
      if (A.Source == TPictureSource::DataOrigFile)
        OrigFile = V;  // its width may follow
      else if (A.Srcset)
        Choice.AddSrcset(A.Source, V);
      else
        Choice.AddAddress(A.Source, V);
      return true;
    }
    return true;
  });
  if (OrigWidth > 0)
    Choice.AddSizedAddress(TPictureSource::DataOrigFile, OrigFile, OrigWidth);
  else if (!OrigFile.empty())
    Choice.AddAddress(TPictureSource::DataOrigFile, OrigFile);
  std::string Image = Choice.Choose();
  if (OnFoundImage && !Image.empty()) {
    FParsed.Images.push_back(Image);
    DoFoundImage(std::move(Image));
  } else {
    FParsed.Images.push_back(std::move(Image));
  }
}

// A <source> of a <picture> whose type, when it names one, is switched on.
void THTMLParser::SourceRule(std::string_view Attributes) {
  if (!FInPicture) return;  // the sources of <video> and <audio>
  std::string_view Srcset, Type;
  bool HaveSrcset = false, HaveType = false;
  ForEachAttribute(Attributes, [&](std::string_view Name, std::string_view Value) {
    if (!HaveSrcset && EqualsUpper(Name, "SRCSET")) {
      Srcset = Value;
      HaveSrcset = true;
    } else if (!HaveType && EqualsUpper(Name, "TYPE")) {
      Type = Value;
      HaveType = true;
    }
    return !(HaveSrcset && HaveType);
  });
  if (HaveType) {
    const std::string_view PictureType = PictureTypeOfMime(Type);
    if (PictureType.empty() || !IsPictureTypeEnabled(PictureType, FPictureTypes)) return;
  }
  std::string Room;
  FPictureChoice.AddSrcset(TPictureSource::PictureSource,
                           DecodeAmp(Srcset, [&Room]() -> std::string& { return Room; }));
  FPictureChoice.Keep();  // the tag's text goes when this rule ends
}

// The end of a <picture>: one that held no IMG still stands for its best
// source.
void THTMLParser::PictureEnd() {
  if (FInPicture && !FPictureUsed) {
    const std::string& Linked = LinkedPicture();
    std::string Image = Linked.empty() ? FPictureChoice.Choose() : Linked;
    if (!Image.empty()) {
      FParsed.Images.push_back(Image);
      if (OnFoundImage) DoFoundImage(std::move(Image));
    }
  }
  FInPicture = false;
  FPictureUsed = false;
  FPictureChoice = TPictureChoice();
}

}  // namespace lumora
