// The items of `lexaro batch --jobs N` and their answers, in memory shared
// by the parent and its workers (mapped before the workers are forked).
//
// The parent writes items into a ring of slots in input order and publishes
// them by advancing a counter; a worker claims the oldest unclaimed slot by
// writing its own number into the slot's state word, draws the item and
// writes the answer into the same slot. The parent takes the answers in
// order and reuses their slots. In steady state neither side makes a system
// call for an item: a worker sleeps (on a futex) only when every published
// item is claimed, and the parent sleeps only when it can neither take an
// answer nor publish an item, until about half the ring is answered, when
// the worker that gives that answer rings its bell (an eventfd).
//
// A slot's state word says which item it holds and who has it, so a worker
// that dies at any point leaves either an unclaimed item, which others draw,
// or an item claimed under its number, which the parent fails.
#pragma once

#include <poll.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/cli/batch_input.h"
#include "tools/cli/batch_report.h"

namespace cli {

class JobRing {
 public:
  // Slots of the ring: items published ahead of the oldest unanswered one.
  static constexpr std::uint32_t kSlots = 128;
  // The parent sleeps until this many items of the ring are answered (or all
  // of them, or one when the oldest is slow).
  static constexpr std::uint32_t kWakeBatch = kSlots / 2;
  // An item's name and markup travel in its slot up to this many bytes; a
  // longer item travels in the ring's one long area, which holds one item at
  // a time, up to kMaxLongItem bytes.
  static constexpr size_t kSlotBytes = 4032;
  static constexpr size_t kMaxLongItem = 2 * kMaxBatchLine;
  // A message longer than this is cut.
  static constexpr size_t kMaxMessage = 2048;

  JobRing();
  ~JobRing();
  JobRing(const JobRing&) = delete;
  JobRing& operator=(const JobRing&) = delete;

  // Whether the memory and the bell could be had; Error() says why not.
  bool Ok() const { return m_shared != nullptr; }
  const std::string& Error() const { return m_error; }

  // ---- The parent's side.
  // Items published and not yet taken back.
  std::uint32_t Outstanding() const { return m_posted - m_collected; }
  // Whether the item can be published now: a slot is free, and for a long
  // item the long area too.
  bool HasRoomFor(const BatchItem& item) const;
  static bool Fits(const BatchItem& item) { return item.name.size() + item.markup.size() <= kMaxLongItem; }
  void Post(const BatchItem& item);
  // The answer of the oldest item, when it is in.
  bool Take(BatchResult* result);
  // Fails the items claimed by the worker `id` (which has ended) with the
  // message.
  void FailClaimed(int id, const std::string& message);
  // Fails every item no worker has claimed (when no worker can draw them).
  void FailUnclaimed(const std::string& message);
  bool HasUnclaimed() const;
  // Sleeps until enough items are answered or one of `watch` has an event.
  void Sleep(std::vector<pollfd>& watch);
  // Tells the workers to end, waking those that sleep.
  void Close();

  // ---- A worker's side.
  // Claims the next item for the worker `id`; false when the ring is closed.
  bool Claim(int id, BatchItem* item, std::uint32_t* ticket);
  void Answer(std::uint32_t ticket, const BatchResult& result);

 private:
  struct Slot;
  struct Shared;

  Slot& At(std::uint32_t ticket) const;
  void WakeWorkers();
  void Fail(std::uint32_t ticket, const std::string& message);

  Shared* m_shared = nullptr;
  char* m_long = nullptr;
  int m_bell = -1;
  std::string m_error;
  // The parent's own counts: items published, items taken back, and the
  // item in the long area (when m_longBusy).
  std::uint32_t m_posted = 0, m_collected = 0, m_longTicket = 0;
  bool m_longBusy = false;
};

}  // namespace cli
