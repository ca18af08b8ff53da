// The engine's record containers: a singly linked list with a read cursor
// and an insert-after-position operation (records are placed in pre-order),
// which keeps a bounded number of removed nodes for the next layout, and a
// stack for the font changes of one layout walk. Allocation failure is
// reported, never thrown: the failing operation returns null or false and
// leaves the container as it was.
#pragma once

#include <functional>
#include <new>
#include <type_traits>
#include <utility>

namespace lexaro::engine {

// Tests make node allocation fail through this hook: when set, it is asked
// before every allocation and a false answer fails it.
extern std::function<bool()> g_allocationHook;

template <typename T>
struct ListNode {
  T value;
  ListNode* next = nullptr;
};

template <typename T>
ListNode<T>* NewNode(const T& value) {
  if (g_allocationHook && !g_allocationHook()) return nullptr;
  return new (std::nothrow) ListNode<T>{value, nullptr};
}

// The same taking the value over, for records that own lists of their own.
template <typename T>
ListNode<T>* NewNode(T&& value) requires(!std::is_reference_v<T>) {
  if (g_allocationHook && !g_allocationHook()) return nullptr;
  return new (std::nothrow) ListNode<T>{std::move(value), nullptr};
}

}  // namespace lexaro::engine

template <typename T>
class CList_Ex {
 public:
  using Node = lexaro::engine::ListNode<T>;
  // The position before the first node, for inserting at the front.
  static Node* FrontMarker() { return reinterpret_cast<Node*>(&s_front); }

  CList_Ex() = default;
  CList_Ex(const CList_Ex&) = delete;
  CList_Ex& operator=(const CList_Ex&) = delete;
  // Takes the nodes over; the other list is left empty.
  CList_Ex(CList_Ex&& o) noexcept
      : m_error(o.m_error), m_count(o.m_count), m_head(o.m_head), m_tail(o.m_tail), m_cursor(o.m_cursor),
        m_spare(o.m_spare), m_spareCount(o.m_spareCount) {
    o.m_error = o.m_count = o.m_spareCount = 0;
    o.m_head = o.m_tail = o.m_cursor = nullptr;
    o.m_spare = nullptr;
  }
  virtual ~CList_Ex() {
    RemoveAll();
    while (m_spare) {
      Spare* s = m_spare;
      m_spare = s->next;
      s->~Spare();
      ::operator delete(static_cast<void*>(s));
    }
  }

  Node* AddTail(const T& value) {
    Node* n = Make(value);
    if (!n) return nullptr;
    if (m_tail)
      m_tail->next = n;
    else
      m_head = m_cursor = n;
    m_tail = n;
    ++m_count;
    return n;
  }

  Node* GetTailPosition() const { return m_tail ? m_tail : FrontMarker(); }

  Node* InsertAfter(Node* position, const T& value) { return Link(position, Make(value)); }
  Node* InsertAfter(Node* position, T&& value) { return Link(position, Make(std::move(value))); }

  void ResetCursor() { m_cursor = m_head; }

  Node* GetNext() {
    Node* n = m_cursor;
    if (n) m_cursor = n->next;
    return n;
  }

  // Removes every record. Up to kSpareNodes nodes are kept, their records
  // destroyed, for the records of the next layout.
  void RemoveAll() {
    for (Node* n = m_head; n;) {
      Node* next = n->next;
      if (m_spareCount < kSpareNodes) {
        n->~Node();
        m_spare = new (static_cast<void*>(n)) Spare{m_spare};
        ++m_spareCount;
      } else {
        delete n;
      }
      n = next;
    }
    m_error = m_count = 0;
    m_head = m_tail = m_cursor = nullptr;
  }

  int GetCount() const { return m_count; }
  int GetError() const { return m_error; }
  void SetError() { m_error = 1; }
  Node* GetHead() const { return m_head; }
  int GetSpareCount() const { return m_spareCount; }

  // A layout of typical formulas needs fewer nodes than this.
  static constexpr int kSpareNodes = 64;

 private:
  // The storage of a spare node: nothing but the link to the next one.
  struct Spare {
    Spare* next;
  };
  static_assert(sizeof(Spare) <= sizeof(Node) && alignof(Spare) <= alignof(Node));

  // A node holding value, in a spare node when there is one; null when the
  // allocation fails (tests fail it through the hook, spare or not).
  template <typename V>
  Node* Make(V&& value) {
    if (!m_spare) return lexaro::engine::NewNode<T>(std::forward<V>(value));
    if (lexaro::engine::g_allocationHook && !lexaro::engine::g_allocationHook()) return nullptr;
    Spare* s = m_spare;
    Spare* rest = s->next;
    s->~Spare();
    try {
      Node* n = new (static_cast<void*>(s)) Node{std::forward<V>(value), nullptr};
      m_spare = rest;
      --m_spareCount;
      return n;
    } catch (...) {
      m_spare = new (static_cast<void*>(s)) Spare{rest};
      throw;
    }
  }

  // Links a new node (null when it could not be allocated) after position.
  Node* Link(Node* position, Node* n) {
    if (!n) return nullptr;
    if (!m_head) {
      m_head = m_tail = m_cursor = n;
    } else if (position == FrontMarker() || !position) {
      n->next = m_head;
      m_head = n;
    } else {
      n->next = position->next;
      position->next = n;
      if (m_tail == position) m_tail = n;
    }
    ++m_count;
    return n;
  }

  inline static char s_front;
  int m_error = 0;
  int m_count = 0;
  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  Node* m_cursor = nullptr;
  Spare* m_spare = nullptr;
  int m_spareCount = 0;
};

template <typename T>
class CStack_Ex {
 public:
  using Node = lexaro::engine::ListNode<T>;

  CStack_Ex() = default;
  CStack_Ex(const CStack_Ex&) = delete;
  CStack_Ex& operator=(const CStack_Ex&) = delete;
  virtual ~CStack_Ex() {
    while (m_top) {
      Node* next = m_top->next;
      delete m_top;
      m_top = next;
    }
  }

  bool Push(const T& value) {
    Node* n = lexaro::engine::NewNode(value);
    if (!n) return false;
    n->next = m_top;
    m_top = n;
    ++m_count;
    return true;
  }

  bool Pop(T* out) {
    if (!m_top) return false;
    *out = m_top->value;
    Node* next = m_top->next;
    delete m_top;
    m_top = next;
    --m_count;
    return true;
  }

  int GetCount() const { return m_count; }

 private:
  int m_count = 0;
  Node* m_top = nullptr;
};
