// SPDX-License-Identifier: MIT
// A shared owning pointer without a counter: all holders of one object form a
// ring, and the last one to release it deletes the object.
#ifndef ZT_FRAMEWORK_LINKED_PTR_H
#define ZT_FRAMEWORK_LINKED_PTR_H

template <class T>
class linked_ptr {
 public:
  explicit linked_ptr(T* p = nullptr) : value(p), next(this), prev(this) {}
  linked_ptr(const linked_ptr& q) : value(nullptr), next(this), prev(this) { join(q); }
  linked_ptr& operator=(const linked_ptr& q) {
    if (&q != this) {
      release();
      join(q);
    }
    return *this;
  }
  ~linked_ptr() { release(); }

  T* get() const { return value; }
  T& operator*() const { return *value; }
  T* operator->() const { return value; }

  // Leave the ring; the last holder deletes the object.
  void release() {
    if (next != nullptr && next != this) {
      next->prev = prev;
      prev->next = next;
      next = nullptr;
      prev = nullptr;
      value = nullptr;
    } else {
      delete value;
      value = nullptr;
    }
  }

  T* value;
  linked_ptr* next;
  linked_ptr* prev;

 private:
  // Join q's ring just before q.
  void join(const linked_ptr& q) {
    linked_ptr& other = const_cast<linked_ptr&>(q);
    value = other.value;
    if (other.next == nullptr) {  // q counts as alone: make it a proper ring first
      other.next = &other;
      other.prev = &other;
    }
    prev = other.prev;
    next = &other;
    other.prev->next = this;
    other.prev = this;
  }
};

#endif
