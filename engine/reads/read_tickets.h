#pragma once
// The tickets of a batch of files, one a file (ReadQueue::kNoTicket where nothing was
// read ahead): each is claimed by the worker that reads its file, and those never
// claimed (a batch dropped at a stop) are given back when the batch goes.

#include <utility>
#include <vector>

#include "engine/reads/read_queue.h"

namespace tarnwick {

class ReadTickets {
 public:
  ReadTickets() = default;
  ReadTickets(ReadTickets&& other) noexcept
      : queue_(other.queue_), tickets_(std::exchange(other.tickets_, {})) {}
  ReadTickets& operator=(ReadTickets&& other) noexcept {
    if (this != &other) {
      AbandonAll();
      queue_ = other.queue_;
      tickets_ = std::exchange(other.tickets_, {});
    }
    return *this;
  }
  ~ReadTickets() { AbandonAll(); }

  // The next file's ticket, from `queue` (the same for every file of the batch).
  void Add(ReadQueue* queue, ReadQueue::Ticket ticket) {
    if (ticket != ReadQueue::kNoTicket) queue_ = queue;
    tickets_.push_back(ticket);
  }
  ReadQueue* Queue() const { return queue_; }
  // The ticket of file `index`, which is the claimer's from now on.
  ReadQueue::Ticket Claim(std::size_t index) {
    if (index >= tickets_.size()) return ReadQueue::kNoTicket;
    return std::exchange(tickets_[index], ReadQueue::kNoTicket);
  }

 private:
  void AbandonAll() {
    for (const ReadQueue::Ticket ticket : tickets_) {
      if (ticket != ReadQueue::kNoTicket) queue_->Abandon(ticket);
    }
    tickets_.clear();
  }

  ReadQueue* queue_ = nullptr;
  std::vector<ReadQueue::Ticket> tickets_;
};

}  // namespace tarnwick
