#pragma once
// The download queue shared by every grab job and download worker: picture
// addresses appended at the end and taken from the front. Every operation is
// one step under QueueLock, held for nothing longer than the operation.

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace lumora {

class TPicQueue {
 public:
  void Append(const std::string& Address);
  // Appends unless an equal address (letter case aside) is waiting already.
  bool AppendIfAbsent(const std::string& Address);
  // Takes the first address; false when the queue is empty.
  bool TakeFirst(std::string& Address);
  bool Contains(const std::string& Address) const;  // letter case aside
  bool Empty() const;
  std::size_t Count() const;

 private:
  static std::string Key(const std::string& Address);
  void AppendLocked(const std::string& Address, std::string&& Key);

  mutable std::mutex QueueLock;
  std::deque<std::string> FItems;
  // How many waiting addresses share each upper-cased key: the membership test
  // stays cheap when a page queues thousands of pictures.
  std::unordered_map<std::string, std::size_t> FKeys;
};

}  // namespace lumora
