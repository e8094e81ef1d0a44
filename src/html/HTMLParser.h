#pragma once
// The HTML parser: cuts a page into tags and text runs in one left-to-right
// pass, reports the pieces through events, keeps the page title and sorts
// the links, pictures and frames it meets into a page summary.
//
// It is deliberately no HTML5 parser: no tree, no character references, no
// error recovery. A tag is everything from a "<" to the next ">" (quotes do
// not protect ">"), a line break contributes no character, and only the tags
// A, IMG, FRAME, META, TITLE, /TITLE and "!-- ..." comments mean anything.
// Text is 8-bit, one byte a character; names and markers are compared
// upper-cased (ASCII letters only) while everything stored keeps the page's
// own case.
//
// With TodaysWeb on, a line break inside a tag counts as a space, any
// whitespace ends a tag's name, and an IMG gives the one picture a person
// sees largest among its src, srcset and lazy-loading attributes and the
// sources of its <picture> (see PictureChoice.h), judged by PictureTypes.
// An IMG (or a <picture>) inside a link to a picture stands for the linked
// picture instead (PictureLink.h). A link ends at "</a>", at the next "<a>"
// or with the page, as in a browser, so a picture after it is not linked.
// Off, the parser works exactly as described above.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/PictureChoice.h"
#include "sys/Component.h"

namespace lumora {

// Links of one category, split by whether the upper-cased href holds
// "HTTP://" (Remote) or not (Local).
struct TLocalRemote {
  std::vector<std::string> Local;
  std::vector<std::string> Remote;
};

// The page summary. Every list keeps document order and duplicates. A run
// empties only the seven plain lists (Hyperlinks to FramePages); the
// categories and the three strings keep what earlier runs left in them.
struct TParsed {
  std::string Title;
  std::string Keyword;
  std::string Description;
  TLocalRemote HTML;
  TLocalRemote Image;
  TLocalRemote Media;
  TLocalRemote Java;
  TLocalRemote ActiveX;
  TLocalRemote ASP;
  TLocalRemote PHP;
  TLocalRemote PERL;
  std::vector<std::string> Hyperlinks;
  std::vector<std::string> Images;
  std::vector<std::string> EMails;
  std::vector<std::string> HTTPlinks;
  std::vector<std::string> FTPlinks;
  std::vector<std::string> Locallinks;
  std::vector<std::string> FramePages;
};

// The attribute text for Name in TagText: from the first place where Name
// occurs (compared upper-cased, anywhere, even inside another attribute) up
// to and including the first space outside double quotes, or to the end.
// Empty when Name does not occur.
std::string GetAttribute(std::string_view TagText, std::string_view Name);

// The value of an attribute text: what follows its first "=" (all of it when
// there is none), up to a space, or the part inside double quotes without
// them. Single quotes are ordinary characters.
std::string GetAttributeValue(std::string_view AttributeText);

struct TURLParts {
  std::string Folder;        // what remains before the last segment, "/" included
  std::string DocumentName;  // last segment up to its first "?"; empty if the segment has no "."
  std::string Extension;     // from the document name's last "." on; empty if none or if "\" or ":"
                             // follows it
};

// Splits a link, given upper-cased: the scheme up to the first "://" is
// dropped, or else the first seven characters of a link holding "MAILTO:".
TURLParts SplitURL(std::string_view Link);

using TOnFoundComment = std::function<void(TObject* Sender, std::string Comment)>;
using TOnFoundHyperlink = std::function<void(TObject* Sender, std::string Hyperlink)>;
using TOnFoundTag = std::function<void(TObject* Sender, std::string Tag)>;
using TOnFoundText = std::function<void(TObject* Sender, std::string Text)>;
using TOnParsing = std::function<void(TObject* Sender, int Lines, int Total)>;
using TOnFoundImage = std::function<void(TObject* Sender, std::string Image)>;

class THTMLParser : public TComponent {
 public:
  explicit THTMLParser(TComponent* Owner = nullptr);

  // The document, one entry per line.
  const std::vector<std::string>& HTML() const;
  void SetHTML(const std::vector<std::string>& Lines);
  // The document as one text: each line followed by CR LF. Assigning text
  // splits it at CR LF, a lone CR or a lone LF (a final line break starts no
  // further line); every other byte, NUL included, is an ordinary character.
  // The text is kept as it is given and cut into lines only as a run reads
  // it (or HTML asks for them), so a page is held once, not once more as
  // lines: hand it over with std::move to hold no copy at all.
  std::string HTMLText() const;
  void SetHTMLText(std::string Text);

  // Today's web: see the note at the top. Off by default.
  bool TodaysWeb() const { return FTodaysWeb; }
  void SetTodaysWeb(bool Value) { FTodaysWeb = Value; }
  // The enabled picture types, as the first settings line holds them: a
  // <source type="image/webp"> counts only while WEBP is on. Every type by
  // default.
  const std::string& PictureTypes() const { return FPictureTypes; }
  void SetPictureTypes(std::string Value) { FPictureTypes = std::move(Value); }

  TParsed& Parsed() { return FParsed; }
  const TParsed& Parsed() const { return FParsed; }

  // Raised synchronously from Execute, only when assigned, with the parser as
  // sender. A handler that throws ends the run; what was added stays.
  TOnFoundComment OnFoundComment;
  TOnFoundHyperlink OnFoundHyperlink;
  TOnFoundTag OnFoundTag;
  TOnFoundText OnFoundText;
  TOnParsing OnParsing;  // before each character; Lines counts from 1
  // With TodaysWeb only: the picture chosen for an IMG or a <picture>, as
  // written, when there is one.
  TOnFoundImage OnFoundImage;

  // One parse run over the current lines. It reads the lines it started
  // with, even if a handler assigns new ones meanwhile.
  void Execute();

 protected:
  virtual void DoFoundComment(std::string Comment);
  virtual void DoFoundHyperlink(std::string Hyperlink);
  virtual void DoFoundTag(std::string Tag);
  virtual void DoFoundText(std::string Text);
  virtual void DoParsing(int Lines, int Total);
  virtual void DoFoundImage(std::string Image);

  void ProcessText(std::string_view Text);
  void ProcessTag(std::string_view TagText);

 private:
  void AnchorRule(std::string_view TagText);
  void LinkStart(std::string_view Attributes);
  const std::string& LinkedPicture();
  void ImageRule(std::string_view Attributes);
  void SourceRule(std::string_view Attributes);
  void PictureEnd();

  // The lines as assigned, or the text they are cut from; never changed once
  // made, so a run keeps reading its own even if a handler assigns others.
  class TDocument;
  std::shared_ptr<const TDocument> FHTML;
  TParsed FParsed;
  // Title collection outlives a run: a page that ends inside its title
  // leaves the next run on this parser still collecting.
  bool FInTitle = false;
  std::string FTitleText;
  std::string FTitleEndTag;

  bool FTodaysWeb = false;
  std::string FPictureTypes;
  // Inside a <picture>: what its sources offer, and whether an IMG took it.
  bool FInPicture = false;
  bool FPictureUsed = false;
  TPictureChoice FPictureChoice;
  // The open <a>: its attributes as written, and once a picture inside it
  // asked, the picture its href names (empty when it names none).
  bool FLinkOpen = false;
  bool FLinkJudged = false;
  std::string FLinkAttributes;
  std::string FLinkedPicture;
};

}  // namespace lumora
