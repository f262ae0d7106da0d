// A bounded map that remembers how its entries are used. A new key enters at the head; a hit
// moves its entry one place toward the head (a single hit does not make an entry the newest);
// past the capacity the tail entry goes. Every operation holds the cache's own lock, so one
// cache can be shared between threads. Windows-free.
#pragma once

#include <list>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

template <class Key, class Value>
class CLruCache {
public:
  explicit CLruCache(int capacity) : m_capacity(capacity) {}
  virtual ~CLruCache() = default;
  CLruCache(const CLruCache&) = delete;
  CLruCache& operator=(const CLruCache&) = delete;

  // A key already cached keeps its value and its place.
  void Put(const Key& key, const Value& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_index.count(key)) return;
    m_order.emplace_front(key, value);
    m_index.emplace(key, m_order.begin());
    if (CountLocked() > m_capacity) Evict();
  }

  // False, with `out` untouched, when the key is not cached.
  bool Get(const Key& key, Value& out) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_index.find(key);
    if (found == m_index.end()) return false;
    const auto node = found->second;
    if (node != m_order.begin()) m_order.splice(std::prev(node), m_order, node);
    out = node->second;
    return true;
  }

  int Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return CountLocked();
  }

  // The keys from the head (the most favoured) to the tail (the next to go).
  std::vector<Key> KeysFromHead() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Key> keys;
    keys.reserve(m_order.size());
    for (const auto& entry : m_order) keys.push_back(entry.first);
    return keys;
  }

protected:
  // Runs inside Put, under the lock, once the cache has grown past its capacity: drops the
  // tail entry. A cache that keeps what it drops elsewhere overrides it (it must not call
  // back into Put or Get, which would wait for the lock it already holds).
  virtual void Evict() { DropTail(); }

  // The tail entry, removed from the cache; false when the cache is empty. Under the lock.
  bool DropTail(std::pair<Key, Value>* dropped = nullptr) {
    if (m_order.empty()) return false;
    if (dropped) *dropped = m_order.back();
    m_index.erase(m_order.back().first);
    m_order.pop_back();
    return true;
  }

  int Capacity() const { return m_capacity; }

private:
  using Order = std::list<std::pair<Key, Value>>;

  int CountLocked() const { return static_cast<int>(m_index.size()); }

  const int m_capacity;
  mutable std::mutex m_mutex;
  Order m_order;  // head first
  std::map<Key, typename Order::iterator> m_index;
};
