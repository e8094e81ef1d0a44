// The job's address rules and what a page puts into the queue, without a
// network: the page text is made as FetchPage makes it.

#include "grab/GrabJob.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumora {
namespace {

std::vector<std::string> Drain(TPicQueue& Queue) {
  std::vector<std::string> Items;
  for (std::string A; Queue.TakeFirst(A);) Items.push_back(A);
  return Items;
}

std::vector<std::string> Queued(const std::string& U, const std::string& Body,
                                TPicQueue* Queue = nullptr) {
  TPicQueue Own;
  TPicQueue& Q = Queue ? *Queue : Own;
  QueuePage(U, PageText("host", Body), Q, nullptr);
  return Drain(Q);
}

TEST(GrabJob, PageBaseURL) {
  const struct {
    const char* Address;
    const char* Base;
  } Cases[] = {
      {"http://host", "http://host/"},
      {"http://host/dir/", "http://host/dir/"},
      {"http://host/a/b/c.html", "http://host/a/b/"},
      {"http://host:8080/x.html", "http://host:8080/"},
      // Only the path counts: a "/" in the query or fragment does not.
      {"http://h/show.php?d=a/b", "http://h/"},
      {"http://host/a/b?q=c/d", "http://host/a/"},
      {"http://host?x=/y", "http://host/"},
      {"http://host/dir/?q=/", "http://host/dir/"},
      {"http://host/dir/p.html#a/b", "http://host/dir/"},
      {"HTTP://Host/a/b", "http://Host/a/"},  // the scheme is written anew
      {"", "/"},
      {"a/b", "http://"},
  };
  for (const auto& C : Cases) EXPECT_EQ(PageBaseURL(C.Address), C.Base) << C.Address;
}

TEST(GrabJob, PictureReferencesAreCleanedAndMadeAbsolute) {
  const struct {
    const char* Page;
    const char* Reference;
    const char* Absolute;
  } Cases[] = {
      {"http://host/dir/page.html", "img/a.jpg", "http://host/dir/img/a.jpg"},
      {"http://host/dir/page.html", "../img/a.jpg", "http://host/img/a.jpg"},
      {"http://host/dir/page.html", "./a.jpg", "http://host/dir/a.jpg"},
      {"http://host/dir/page.html", "../../../a.jpg", "http://host/a.jpg"},
      {"http://host/dir/page.html", "a/./b/../c.jpg", "http://host/dir/a/c.jpg"},
      {"http://host/dir/page.html", "a/b/..", "http://host/dir/a/"},
      {"http://host/dir/page.html", "..jpg", "http://host/dir/..jpg"},
      {"http://host/dir/page.html", "/img/a.jpg", "http://host/img/a.jpg"},
      {"http://host/dir/page.html", "/x/../a.jpg", "http://host/a.jpg"},
      {"http://host/dir/page.html", "//cdn/x.jpg", "http://cdn/x.jpg"},
      {"http://host/dir/page.html", "HTTP://Other/x/../y.jpg", "HTTP://Other/y.jpg"},
      {"http://host/dir/page.html", "\"'q.jpg'\">", "http://host/dir/q.jpg"},
      {"http://host/dir/page.html", "show.php?f=../x.jpg", "http://host/dir/show.php?f=../x.jpg"},
      {"http://host/dir/page.html", "https://s/a.jpg", "http://host/dir/https://s/a.jpg"},
      {"http://host/show.php?d=a/b", "x.jpg", "http://host/x.jpg"},
      // The authority stays as the page address writes it, root-relative or
      // relative: port, user, brackets and letter case.
      {"http://host:8080/x.html", "/img/a.jpg", "http://host:8080/img/a.jpg"},
      {"http://host:8080/x.html", "img/a.jpg", "http://host:8080/img/a.jpg"},
      {"http://host:80/x.html", "/a.jpg", "http://host:80/a.jpg"},
      {"http://u@Host:80?q=/x", "/a.jpg", "http://u@Host:80/a.jpg"},
      {"http://[::1]:8080/x.html", "/a.jpg", "http://[::1]:8080/a.jpg"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(AbsolutePictureAddress(C.Reference, C.Page), C.Absolute)
        << C.Reference << " on " << C.Page;
}

TEST(GrabJob, DirectPicturesAndWrappedPages) {
  for (const char* A :
       {"http://h/a.jpg", "http://h/a.JPG", "http://h/a.Gif", "http://h/abmp", "http://h/x.tif"})
    EXPECT_TRUE(IsDirectPicture(A)) << A;
  for (const char* A : {"http://h/a.jpeg", "http://h/", "jp", "http://h/apng"})
    EXPECT_FALSE(IsDirectPicture(A)) << A;

  EXPECT_EQ(PageAddress("http://a/go?u=http://b/page.html"), "http://b/page.html");
  EXPECT_EQ(PageAddress("http://a/go?u=HTTP://b/p.html&v=http://c/"),
            "HTTP://b/p.html&v=http://c/");
  EXPECT_EQ(PageAddress("http://a/page.html"), "http://a/page.html");
  EXPECT_EQ(PageAddress("http://"), "http://");
}

TEST(GrabJob, AParsedPageQueuesEachPictureOnce) {
  const std::string Body =
      "<html><img src=\"a.jpg\"><IMG SRC='b.gif'><img src=\"\"><img alt=x>"
      "<img src=\"A.JPG\"><img src=c.jpg\"><img src=\"/r/d.bmp\"><img src=a.jpg></html>";
  EXPECT_EQ(Queued("http://host:81/p/index.html", Body),
            (std::vector<std::string>{"http://host:81/p/a.jpg", "http://host:81/p/b.gif",
                                      "http://host:81/p/c.jpg", "http://host:81/r/d.bmp"}));
}

TEST(GrabJob, APageIsParsedPastANulByte) {
  EXPECT_EQ(Queued("http://host/", std::string("<img src=a.jpg>\0<img src=b.jpg>\0", 32)),
            (std::vector<std::string>{"http://host/a.jpg", "http://host/b.jpg"}));
}

TEST(GrabJob, AnAddressWaitingFromAnotherJobIsNotQueuedAgain) {
  TPicQueue Queue;
  Queue.Append("HTTP://HOST/A.JPG");
  EXPECT_EQ(Queued("http://host/", "<img src=a.jpg><img src=b.jpg>", &Queue),
            (std::vector<std::string>{"HTTP://HOST/A.JPG", "http://host/b.jpg"}));
}

TEST(GrabJob, ImageSearchPagesQueueEveryImgurlValue) {
  const std::string Body =
      "<img src=\"ignored.jpg\"><a href=\"/imgres?imgurl=http://x/a.jpg&imgrefurl=r\">"
      "imgurl=http://x/a.jpg&amp;imgurl=http://y/%20b.gif&imgurl=http://z/last.jpg";
  EXPECT_EQ(
      Queued("http://images.google.com/images?q=cat", Body),
      (std::vector<std::string>{"http://x/a.jpg", "http://x/a.jpg", "http://y/%20b.gif", ""}));
  // Only the lower-case word counts: this page is parsed.
  EXPECT_EQ(Queued("http://Google.com/p.html", Body),
            std::vector<std::string>{"http://Google.com/ignored.jpg"});
}

// Every spelling a page may use for one picture gives one address, so the
// picture is queued once.
TEST(GrabJob, EveryReferenceOfAPageGivesOneSpellingOfAnAddress) {
  const struct {
    const char* Page;
    const char* Body;
    const char* Queued;
  } Cases[] = {
      {"http://h:80/b/page.html", "<img src=/a.jpg><img src=../a.jpg><img src=http://h:80/a.jpg>",
       "http://h:80/a.jpg"},
      {"http://h:80/", "<img src=a.jpg><img src=/a.jpg><img src=./a.jpg>", "http://h:80/a.jpg"},
      {"http://h/show.php?d=a/b", "<img src=a.jpg><img src=/a.jpg>", "http://h/a.jpg"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(Queued(C.Page, C.Body), std::vector<std::string>{C.Queued}) << C.Page;
}

}  // namespace
}  // namespace lumora
