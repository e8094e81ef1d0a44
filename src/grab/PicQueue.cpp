#include "grab/PicQueue.h"
#include "sys/AsciiCase.h"

#include <utility>

namespace lumora {

std::string TPicQueue::Key(const std::string& Address) {
  return UpperAscii(Address);
}

void TPicQueue::AppendLocked(const std::string& Address, TPageRef&& Page, std::string&& K) {
  FItems.push_back(TItem{Address, std::move(Page)});
  ++FKeys[std::move(K)];
}

void TPicQueue::Append(const std::string& Address, TPageRef Page) {
  std::string K = Key(Address);
  std::lock_guard Guard(QueueLock);
  AppendLocked(Address, std::move(Page), std::move(K));
}

bool TPicQueue::AppendIfAbsent(const std::string& Address, TPageRef Page) {
  std::string K = Key(Address);
  std::lock_guard Guard(QueueLock);
  if (FKeys.count(K) != 0) return false;
  AppendLocked(Address, std::move(Page), std::move(K));
  return true;
}

bool TPicQueue::TakeFirst(std::string& Address) {
  TPageRef Page;
  return TakeFirst(Address, Page);
}

bool TPicQueue::TakeFirst(std::string& Address, TPageRef& Page) {
  std::lock_guard Guard(QueueLock);
  if (FItems.empty()) return false;
  const std::string K = Key(FItems.front().Address);  // may throw: nothing is changed yet
  Address = std::move(FItems.front().Address);
  Page = std::move(FItems.front().Page);
  FItems.pop_front();
  const auto It = FKeys.find(K);
  if (It != FKeys.end() && --It->second == 0) FKeys.erase(It);
  return true;
}

bool TPicQueue::Contains(const std::string& Address) const {
  const std::string K = Key(Address);
  std::lock_guard Guard(QueueLock);
  return FKeys.count(K) != 0;
}

bool TPicQueue::Empty() const {
  std::lock_guard Guard(QueueLock);
  return FItems.empty();
}

std::size_t TPicQueue::Count() const {
  std::lock_guard Guard(QueueLock);
  return FItems.size();
}

}  // namespace lumora
