#pragma once
// Whether a link's href names a picture, so that a thumbnail inside it
// stands for the picture behind it: a gallery's
// <a href="photos/big-1.jpg"><img src="thumbs/1.jpg"></a>.
//
// The href is judged by its path alone, without query or fragment
// ("a.jpg?w=800" is a JPG, "view.php?f=a.jpg" is not), under the picture
// type rule of today's web (PictureTypes.h). It must be a web address:
// relative, or http: or https:. The page itself is never a picture: an href
// whose path is empty ("", "?p=2", "#top", "http://host") resolves to the
// page or a site's front page, and one whose path ends in a "." or ".."
// segment to a folder. Every other relative path keeps its last segment when
// it is made absolute, so the test on the href as written is the test on the
// absolute address.

#include <string_view>

namespace lumora {

// The path of an address as written: what precedes its query or fragment,
// after the scheme and authority when it has them.
std::string_view LinkPath(std::string_view Address);

// Whether the href's path, up to its query or fragment, ends like a
// picture: the quick first test of the rule below, which turns away the
// links to pages.
bool HasPictureLinkEnding(std::string_view Href);

// The rule above, for the enabled types of the first settings line.
bool IsPictureLink(std::string_view Href, std::string_view PicTypes);

}  // namespace lumora
