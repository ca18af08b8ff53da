#include "tools/cli/job_ring.h"

#include <linux/futex.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

namespace cli {
namespace {

// The state half of a slot's word: a slot claimed by a worker holds kClaimed
// + the worker's number, and the parent claims an item it fails itself.
enum : std::uint32_t { kReady = 1, kDone = 2, kParent = 15, kClaimed = 16 };

std::uint64_t Word(std::uint32_t ticket, std::uint32_t state) { return std::uint64_t(ticket) << 32 | state; }

// Tickets count up and may wrap: `a` is before `b` when the distance is
// short.
bool Before(std::uint32_t a, std::uint32_t b) { return std::int32_t(a - b) < 0; }

// A futex word shared between processes: the calls are not the private kind.
std::uint32_t* Futex(std::atomic<std::uint32_t>& word) { return reinterpret_cast<std::uint32_t*>(&word); }
void FutexWait(std::atomic<std::uint32_t>& word, std::uint32_t value) {
  ::syscall(SYS_futex, Futex(word), FUTEX_WAIT, value, nullptr, nullptr, 0);
}
void FutexWakeAll(std::atomic<std::uint32_t>& word) {
  ::syscall(SYS_futex, Futex(word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

void* MapShared(size_t size) {
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

// A safety net: the parent looks at the ring at least this often even if
// no bell rings.
constexpr int kLongestSleepMs = 1000;

}  // namespace

struct alignas(64) JobRing::Slot {
  std::atomic<std::uint64_t> word;  // ticket and state
  std::int64_t seq, number;
  std::uint32_t nameSize, markupSize, messageSize;
  std::uint8_t ok, inLong;
  char bytes[kSlotBytes];  // name then markup; then the answer's message
};

// Counters written by different sides live on lines of their own.
struct JobRing::Shared {
  alignas(64) std::atomic<std::uint32_t> posted{0};  // items published; workers sleep on it
  alignas(64) std::atomic<std::uint32_t> next{0};    // no ticket before it is unclaimed
  alignas(64) std::atomic<std::uint32_t> done{0};    // answers given
  std::atomic<std::uint32_t> wakeAt{0};              // the parent sleeps until done reaches it
  std::atomic<std::uint32_t> parentAsleep{0};
  alignas(64) std::atomic<std::uint32_t> sleepers{0};  // workers asleep on `wake`
  std::atomic<std::uint32_t> wake{0};  // changed to wake them: an item is published, or closing
  std::atomic<std::uint32_t> closing{0};
  Slot slots[kSlots];
};

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
static_assert(std::atomic<std::uint64_t>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
              "the ring's atomics must work across processes");

JobRing::JobRing() {
  void* shared = MapShared(sizeof(Shared));
  m_long = static_cast<char*>(MapShared(kMaxLongItem));
  m_bell = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (!shared || !m_long || m_bell < 0) {
    m_error = std::strerror(errno);
    if (shared) ::munmap(shared, sizeof(Shared));
    return;
  }
  m_shared = new (shared) Shared;
}

JobRing::~JobRing() {
  if (m_shared) ::munmap(m_shared, sizeof(Shared));
  if (m_long) ::munmap(m_long, kMaxLongItem);
  if (m_bell >= 0) ::close(m_bell);
}

JobRing::Slot& JobRing::At(std::uint32_t ticket) const { return m_shared->slots[ticket % kSlots]; }

bool JobRing::HasRoomFor(const BatchItem& item) const {
  return Outstanding() < kSlots && (item.name.size() + item.markup.size() <= kSlotBytes || !m_longBusy);
}

void JobRing::Post(const BatchItem& item) {
  Slot& slot = At(m_posted);
  slot.seq = item.seq;
  slot.number = item.number;
  slot.nameSize = std::uint32_t(item.name.size());
  slot.markupSize = std::uint32_t(item.markup.size());
  slot.inLong = item.name.size() + item.markup.size() > kSlotBytes;
  char* to = slot.inLong ? m_long : slot.bytes;
  std::memcpy(to, item.name.data(), item.name.size());
  std::memcpy(to + item.name.size(), item.markup.data(), item.markup.size());
  if (slot.inLong) m_longBusy = true, m_longTicket = m_posted;
  slot.word.store(Word(m_posted, kReady), std::memory_order_release);
  // Either a worker about to sleep sees the new count, or this sees it
  // counted among the sleepers (both sides are sequentially consistent).
  m_shared->posted.store(++m_posted);
  if (m_shared->sleepers.load() > 0) WakeWorkers();
}

void JobRing::WakeWorkers() {
  m_shared->wake.fetch_add(1);
  FutexWakeAll(m_shared->wake);
}

bool JobRing::Take(BatchResult* result) {
  if (m_collected == m_posted) return false;
  Slot& slot = At(m_collected);
  if (slot.word.load(std::memory_order_acquire) != Word(m_collected, kDone)) return false;
  // A worker's answer is read within its slot whatever the worker wrote.
  const std::size_t messageSize = std::min<std::size_t>(slot.messageSize, kMaxMessage);
  *result = BatchResult{long(slot.seq), long(slot.number), slot.ok != 0, std::string(slot.bytes, messageSize)};
  if (m_longBusy && m_longTicket == m_collected) m_longBusy = false;
  ++m_collected;
  return true;
}

void JobRing::Fail(std::uint32_t ticket, const std::string& message) {
  Slot& slot = At(ticket);
  slot.ok = 0;
  slot.messageSize = std::uint32_t(std::min(message.size(), kMaxMessage));
  std::memcpy(slot.bytes, message.data(), slot.messageSize);
  slot.word.store(Word(ticket, kDone), std::memory_order_release);
  m_shared->done.fetch_add(1);
}

void JobRing::FailClaimed(int id, const std::string& message) {
  for (std::uint32_t t = m_collected; t != m_posted; ++t)
    if (At(t).word.load(std::memory_order_acquire) == Word(t, kClaimed + std::uint32_t(id))) Fail(t, message);
}

bool JobRing::HasUnclaimed() const {
  for (std::uint32_t t = m_collected; t != m_posted; ++t)
    if (At(t).word.load(std::memory_order_acquire) == Word(t, kReady)) return true;
  return false;
}

void JobRing::FailUnclaimed(const std::string& message) {
  for (std::uint32_t t = m_collected; t != m_posted; ++t) {
    std::uint64_t ready = Word(t, kReady);
    // Claimed for the parent itself, so that no worker can take it meanwhile.
    if (At(t).word.compare_exchange_strong(ready, Word(t, kParent))) Fail(t, message);
  }
}

void JobRing::Sleep(std::vector<pollfd>& watch) {
  Shared& s = *m_shared;
  // The answers still to come, counted after `done` is read: each of them
  // adds one to `done` after this read, so the target below is reached.
  const std::uint32_t done = s.done.load();
  std::uint32_t undone = 0;
  for (std::uint32_t t = m_collected; t != m_posted; ++t)
    undone += At(t).word.load(std::memory_order_acquire) != Word(t, kDone);
  const std::uint32_t answered = Outstanding() - undone;
  const std::uint32_t wanted = answered >= kWakeBatch ? 1 : kWakeBatch - answered;
  const std::uint32_t target = done + std::min(undone, wanted);
  s.wakeAt.store(target);
  s.parentAsleep.store(1);
  // Either the worker that reaches the target sees the parent asleep, or
  // the parent sees the target reached here.
  if (Before(s.done.load(), target)) {
    watch.push_back({m_bell, POLLIN, 0});
    while (::poll(watch.data(), watch.size(), kLongestSleepMs) < 0 && errno == EINTR) {
    }
    watch.pop_back();
  }
  s.parentAsleep.store(0);
  std::uint64_t rings;
  if (::read(m_bell, &rings, sizeof rings) < 0) rings = 0;
}

void JobRing::Close() {
  if (!m_shared) return;
  m_shared->closing.store(1);
  WakeWorkers();
}

bool JobRing::Claim(int id, BatchItem* item, std::uint32_t* ticket) {
  Shared& s = *m_shared;
  while (!s.closing.load(std::memory_order_relaxed)) {
    std::uint32_t t = s.next.load(std::memory_order_acquire);
    const std::uint32_t posted = s.posted.load(std::memory_order_acquire);
    if (t == posted) {
      // Counted among the sleepers before the last look, so that the parent
      // publishing an item (or closing) after that look changes `wake`, and
      // the wait returns at once if it did so before.
      const std::uint32_t wake = s.wake.load();
      s.sleepers.fetch_add(1);
      if (s.posted.load() == posted && !s.closing.load()) FutexWait(s.wake, wake);
      s.sleepers.fetch_sub(1);
      continue;
    }
    Slot& slot = At(t);
    std::uint64_t ready = Word(t, kReady);
    const bool mine = slot.word.load(std::memory_order_acquire) == ready &&
                      slot.word.compare_exchange_strong(ready, Word(t, kClaimed + std::uint32_t(id)));
    // Whoever claimed ticket t, the next unclaimed one is after it; a worker
    // that died right after claiming leaves this to the others.
    std::uint32_t expected = t;  // t stays the claimed ticket whether this succeeds or not
    s.next.compare_exchange_strong(expected, t + 1);
    if (!mine) continue;
    const char* from = slot.inLong ? m_long : slot.bytes;
    item->seq = long(slot.seq);
    item->number = long(slot.number);
    item->ok = true;
    item->name.assign(from, slot.nameSize);
    item->markup.assign(from + slot.nameSize, slot.markupSize);
    item->error.clear();
    item->after = -1;
    *ticket = t;
    return true;
  }
  return false;
}

void JobRing::Answer(std::uint32_t ticket, const BatchResult& result) {
  Shared& s = *m_shared;
  Slot& slot = At(ticket);
  slot.ok = result.ok;
  slot.messageSize = std::uint32_t(std::min(result.message.size(), kMaxMessage));
  std::memcpy(slot.bytes, result.message.data(), slot.messageSize);
  slot.word.store(Word(ticket, kDone), std::memory_order_release);
  const std::uint32_t done = s.done.fetch_add(1) + 1;
  if (s.parentAsleep.load() && !Before(done, s.wakeAt.load()) && s.parentAsleep.exchange(0)) {
    const std::uint64_t one = 1;
    if (::write(m_bell, &one, sizeof one) < 0) {
      // A full counter still wakes the parent.
    }
  }
}

}  // namespace cli
