#pragma once
// The download queue shared by every grab job and download worker: picture
// addresses appended at the end and taken from the front. Every operation is
// one step under QueueLock, held for nothing longer than the operation.

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace lumora {

// The address of the page a picture was found on, shared by all its
// pictures: a queued picture costs one pointer more, not a copy of it.
using TPageRef = std::shared_ptr<const std::string>;

class TPicQueue {
 public:
  // Page, when given, goes with the address to the worker that takes it.
  void Append(const std::string& Address, TPageRef Page = {});
  // Appends unless an equal address (letter case aside) is waiting already.
  bool AppendIfAbsent(const std::string& Address, TPageRef Page = {});
  // Takes the first address; false when the queue is empty.
  bool TakeFirst(std::string& Address);
  // The same, with the page it was queued with (null when none).
  bool TakeFirst(std::string& Address, TPageRef& Page);
  bool Contains(const std::string& Address) const;  // letter case aside
  bool Empty() const;
  std::size_t Count() const;

 private:
  static std::string Key(const std::string& Address);
  struct TItem {
    std::string Address;
    TPageRef Page;
  };
  void AppendLocked(const std::string& Address, TPageRef&& Page, std::string&& Key);

  mutable std::mutex QueueLock;
  std::deque<TItem> FItems;
  // How many waiting addresses share each upper-cased key: the membership test
  // stays cheap when a page queues thousands of pictures.
  std::unordered_map<std::string, std::size_t> FKeys;
};

}  // namespace lumora
