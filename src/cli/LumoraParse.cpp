// lumora-parse: runs the HTML parser over a page and prints what it found.
//
//   lumora-parse [--todays-web [--types TYPES]] [--events [--parsing]] FILE | -
//   lumora-parse [--todays-web [--types TYPES]] --queue ADDRESS FILE | -
//
// Without options it prints the page summary as one JSON object. With
// --events it prints the events of the run instead, one JSON object a line;
// OnParsing, raised for every character, only with --parsing. With --queue
// it prints, as one JSON list, the addresses that a grab of ADDRESS would
// append to an empty queue if the page it fetches had FILE as its body.
// --todays-web reads the page as a grab with "today's web" on does: each IMG
// gives the picture a person sees largest (with --events, an "image" event
// tells each), and <picture> sources count when their type is among TYPES
// (every type by default). Strings are
// bytes: each byte is written as the Unicode character of the same number
// (ISO-8859-1), so any page, whatever its encoding, comes back unchanged.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "grab/GrabJob.h"
#include "grab/PictureTypes.h"
#include "html/HTMLParser.h"
#include "net/HttpUrl.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace lumora;
using TJson = nlohmann::ordered_json;

namespace {

[[noreturn]] void Fail(const std::string& Problem, bool ShowUsage) {
  std::cerr << "lumora-parse: " << Problem << "\n";
  if (ShowUsage)
    std::cerr << "usage: lumora-parse [--todays-web [--types TYPES]] [--events [--parsing]] FILE "
                 "| -\n"
                 "       lumora-parse [--todays-web [--types TYPES]] --queue ADDRESS FILE | -\n";
  std::exit(2);
}

std::string Latin1(std::string_view Bytes) {
  std::string Utf8;
  Utf8.reserve(Bytes.size());
  for (const char C : Bytes) {
    const auto B = static_cast<unsigned char>(C);
    if (B < 0x80) {
      Utf8 += C;
    } else {
      Utf8 += static_cast<char>(0xC0 | (B >> 6));
      Utf8 += static_cast<char>(0x80 | (B & 0x3F));
    }
  }
  return Utf8;
}

TJson List(const std::vector<std::string>& L) {
  TJson A = TJson::array();
  for (const auto& S : L) A.push_back(Latin1(S));
  return A;
}

TJson Pair(const TLocalRemote& C) {
  return {{"Local", List(C.Local)}, {"Remote", List(C.Remote)}};
}

TJson Summary(const TParsed& P) {
  return {{"Title", Latin1(P.Title)},
          {"Keyword", Latin1(P.Keyword)},
          {"Description", Latin1(P.Description)},
          {"HTML", Pair(P.HTML)},
          {"Image", Pair(P.Image)},
          {"Media", Pair(P.Media)},
          {"Java", Pair(P.Java)},
          {"ActiveX", Pair(P.ActiveX)},
          {"ASP", Pair(P.ASP)},
          {"PHP", Pair(P.PHP)},
          {"PERL", Pair(P.PERL)},
          {"Hyperlinks", List(P.Hyperlinks)},
          {"Images", List(P.Images)},
          {"EMails", List(P.EMails)},
          {"HTTPlinks", List(P.HTTPlinks)},
          {"FTPlinks", List(P.FTPlinks)},
          {"Locallinks", List(P.Locallinks)},
          {"FramePages", List(P.FramePages)}};
}

std::string ReadAll(std::FILE* F, const std::string& Name) {
  std::string Data;
  char Block[65536];
  for (std::size_t N; (N = std::fread(Block, 1, sizeof Block, F)) > 0;) Data.append(Block, N);
  if (std::ferror(F)) Fail("cannot read " + Name + ": " + std::strerror(errno), false);
  return Data;
}

// What the grab job queues for the page: nothing for a direct picture, else
// the page's picture addresses as the job makes them, with the host name the
// request for the page would have used.
std::vector<std::string> JobQueue(const std::string& Address, const std::string& Body,
                                  const TGrabSettingsValues& Settings) {
  if (IsDirectPicture(Address, Settings.TodaysWeb)) return {};
  const std::string U = PageAddress(Address);
  THttpUrl Url;
  ParseHttpUrl(U, Url);
  TPicQueue Queue;
  QueuePage(U, PageText(Url.Host, Body), Queue, nullptr, Settings);
  std::vector<std::string> Items;
  for (std::string A; Queue.TakeFirst(A);) Items.push_back(A);
  return Items;
}

void PrintEvent(const char* Kind, const std::string& Text) {
  std::cout << TJson{{"event", Kind}, {"text", Latin1(Text)}}.dump() << '\n';
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Pages are bytes and the JSON ends its lines with LF only.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  bool Events = false, Parsing = false, Queue = false;
  TGrabSettingsValues Settings;
  Settings.PicTypes = AllPictureTypes;
  bool HaveTypes = false;
  std::string Path, Address;
  bool HavePath = false;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == "--events") {
      Events = true;
    } else if (Arg == "--parsing") {
      Parsing = true;
    } else if (Arg == "--queue") {
      if (I + 1 >= argc) Fail("--queue needs an address", true);
      Queue = true;
      Address = argv[++I];
    } else if (Arg == "--todays-web") {
      Settings.TodaysWeb = true;
    } else if (Arg == "--types") {
      if (I + 1 >= argc) Fail("--types needs the types, such as .JPG.PNG", true);
      Settings.PicTypes = argv[++I];
      HaveTypes = true;
    } else if (Arg.rfind("--", 0) == 0) {
      Fail("unknown option " + Arg, true);
    } else if (HavePath) {
      Fail("one file at a time", true);
    } else {
      Path = Arg;
      HavePath = true;
    }
  }
  if (!HavePath) Fail("no file given", true);
  if (Parsing && !Events) Fail("--parsing goes with --events", true);
  if (Queue && Events) Fail("--queue and --events do not go together", true);
  if (HaveTypes && !Settings.TodaysWeb) Fail("--types goes with --todays-web", true);

  std::string Page;
  if (Path == "-") {
    Page = ReadAll(stdin, "standard input");
  } else {
    std::FILE* F = std::fopen(Path.c_str(), "rb");
    if (!F) Fail("cannot open " + Path + ": " + std::strerror(errno), false);
    Page = ReadAll(F, Path);
    std::fclose(F);
  }

  THTMLParser Parser;
  Parser.SetHTMLText(Page);
  Parser.SetTodaysWeb(Settings.TodaysWeb);
  Parser.SetPictureTypes(Settings.PicTypes);
  if (Queue) {
    std::cout << List(JobQueue(Address, Page, Settings)).dump() << '\n';
  } else if (Events) {
    Parser.OnFoundComment = [](TObject*, std::string C) { PrintEvent("comment", C); };
    Parser.OnFoundHyperlink = [](TObject*, std::string H) { PrintEvent("hyperlink", H); };
    Parser.OnFoundTag = [](TObject*, std::string T) { PrintEvent("tag", T); };
    Parser.OnFoundText = [](TObject*, std::string T) { PrintEvent("text", T); };
    if (Settings.TodaysWeb)
      Parser.OnFoundImage = [](TObject*, std::string I) { PrintEvent("image", I); };
    if (Parsing)
      Parser.OnParsing = [](TObject*, int Lines, int Total) {
        std::cout << TJson{{"event", "parsing"}, {"lines", Lines}, {"total", Total}}.dump() << '\n';
      };
    Parser.Execute();
  } else {
    Parser.Execute();
    std::cout << Summary(Parser.Parsed()).dump() << '\n';
  }
  std::cout.flush();
  if (!std::cout) Fail("cannot write the output", false);
  return 0;
}
