#include "shared/libcxxutil/idle_notifier.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace {
IdleNotifier* the_notifier = nullptr;
bool shutting_down = false;
}  // namespace

// A listener that dies while registered must not be called again.
SocketListener::~SocketListener() {
  if (the_notifier) the_notifier->removeSocketListener(this);
}
Idler::~Idler() {
  if (the_notifier) the_notifier->removeIdleListener(this);
}
TimerListener::~TimerListener() {
  if (the_notifier) the_notifier->removeTimerListener(this);
}

IdleNotifier* getIdleNotifier() {
  if (shutting_down) return nullptr;
  if (!the_notifier) the_notifier = new IdleNotifier;
  return the_notifier;
}

void IdleNotifierShutdown() {
  shutting_down = true;
}

// ---- SocketListenerList ----

void SocketListenerList::add(SocketListener* listener) {
  lock();
  remove(listener);
  if (static_cast<int>(slots_.size()) >= capacity_) capacity_ *= 2;
  Slot slot;
  slot.listener = listener;
  slots_.push_back(slot);
  unlock();
}

void SocketListenerList::remove(SocketListener* listener) {
  for (Slot& s : slots_) {
    if (s.listener == listener) s = Slot();
  }
  if (lock_depth_ == 0) compact();
}

bool SocketListenerList::contains(SocketListener* listener) const {
  for (const Slot& s : slots_)
    if (s.listener == listener) return true;
  return false;
}

void SocketListenerList::unlock() {
  if (--lock_depth_ == 0) compact();
}

void SocketListenerList::compact() {
  size_t i = 0;
  while (i < slots_.size()) {
    if (slots_[i].listener) {
      ++i;
      continue;
    }
    // Move the last entry into the gap; the order of listeners changes.
    slots_[i] = slots_.back();
    slots_.pop_back();
  }
}

// ---- IdleNotifier ----

int64_t IdleNotifier::now() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void IdleNotifier::addSocketListener(SocketListener* listener) {
  if (listener) sockets_.add(listener);
}

void IdleNotifier::removeSocketListener(SocketListener* listener) {
  sockets_.remove(listener);
}

bool IdleNotifier::hasSocketListener(SocketListener* listener) const {
  return sockets_.contains(listener);
}

int IdleNotifier::getNumSocketListeners() const {
  int n = 0;
  auto& list = const_cast<SocketListenerList&>(sockets_);
  for (int i = 0; i < list.count(); ++i)
    if (list.at(i).listener) ++n;
  return n;
}

void IdleNotifier::addIdleListener(Idler* idler) {
  if (idler && std::find(idlers_.begin(), idlers_.end(), idler) == idlers_.end())
    idlers_.push_back(idler);
}

void IdleNotifier::removeIdleListener(Idler* idler) {
  idlers_.erase(std::remove(idlers_.begin(), idlers_.end(), idler), idlers_.end());
}

void IdleNotifier::insertTimer(const TimerNode& node) {
  auto pos = std::upper_bound(timers_.begin(), timers_.end(), node,
                              [](const TimerNode& a, const TimerNode& b) { return a.due < b.due; });
  timers_.insert(pos, node);
}

void IdleNotifier::addTimerListener(TimerListener* listener, int64_t period_ms) {
  if (!listener) return;
  removeTimerListener(listener);
  if (period_ms < 0) period_ms = 0;
  insertTimer(TimerNode{listener, period_ms, now() + period_ms});
}

void IdleNotifier::removeTimerListener(TimerListener* listener) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const TimerNode& n) { return n.listener == listener; }),
                timers_.end());
}

void IdleNotifier::notifyIdle(bool only_safe) {
  // A snapshot: idlers added meanwhile wait for the next pass, and idlers
  // removed by an earlier callback are skipped.
  std::vector<Idler*> snapshot(idlers_);
  for (Idler* idler : snapshot) {
    if (std::find(idlers_.begin(), idlers_.end(), idler) == idlers_.end()) continue;
    if (only_safe && !idler->isIdlerSafe()) continue;
    idler->handleIdle(this);
  }
}

void IdleNotifier::notifyTimers() {
  size_t budget = timers_.size();
  while (budget-- > 0 && !timers_.empty()) {
    int64_t t = now();
    if (timers_.front().due > t) break;
    TimerNode node = timers_.front();
    timers_.erase(timers_.begin());
    node.due = t + node.period;
    // Re-armed before the call, so that a listener may remove itself.
    insertTimer(node);
    node.listener->handleTimer(t);
  }
}

int64_t IdleNotifier::getTimeBeforeNextTimer() const {
  if (timers_.empty()) return -1;
  int64_t left = timers_.front().due - now();
  return left < 0 ? 0 : left;
}

bool IdleNotifier::pendingSocketActivityToProcess() {
  for (int i = 0; i < sockets_.count(); ++i) {
    SocketListenerList::Slot& s = sockets_.at(i);
    if (!s.listener) continue;
    if (s.read || s.write || s.exception || s.dispatch || s.listener->wantsToStop()) return true;
  }
  return false;
}

bool IdleNotifier::pendingDequeueAndDispatch() {
  for (int i = 0; i < sockets_.count(); ++i) {
    SocketListenerList::Slot& s = sockets_.at(i);
    if (s.listener && s.listener->wantsToDequeueAndDispatch()) return true;
  }
  return false;
}

bool IdleNotifier::processSocketActivity() {
  bool handled = false;
  sockets_.lock();
  for (int i = 0; i < sockets_.count(); ++i) {
    // Re-read the slot after every handler: a handler may remove the
    // listener (its slot becomes empty) or add others (the list may grow).
    auto alive = [&] { return sockets_.at(i).listener != nullptr; };
    if (!alive()) continue;
    if (sockets_.at(i).read) {
      sockets_.at(i).read = false;
      sockets_.at(i).dispatch = false;
      sockets_.at(i).listener->handleRead();
      handled = true;
    }
    if (alive() && sockets_.at(i).exception) {
      sockets_.at(i).exception = false;
      sockets_.at(i).listener->handleException();
      handled = true;
    }
    if (alive() && sockets_.at(i).write) {
      sockets_.at(i).write = false;
      sockets_.at(i).listener->handleWrite();
      handled = true;
    }
    if (alive() && sockets_.at(i).dispatch) {
      sockets_.at(i).dispatch = false;
      sockets_.at(i).listener->handleDequeueAndDispatch();
      handled = true;
    }
    if (alive() && sockets_.at(i).listener->wantsToStop()) {
      sockets_.at(i).listener->handleStop();
      handled = true;
    }
  }
  sockets_.unlock();
  return handled;
}

bool IdleNotifier::notifySocketActivity(int64_t timeout_ms, bool process) {
  if (process) {
    if (processSocketActivity()) return true;
  } else if (pendingSocketActivityToProcess()) {
    timeout_ms = 0;
  }
  int64_t next_timer = getTimeBeforeNextTimer();
  if (timeout_ms > 0 && next_timer >= 0 && next_timer < timeout_ms) timeout_ms = next_timer;
  if (!process && timeout_ms < 1) return false;
  if (timeout_ms < 0) timeout_ms = 0;

  sockets_.lock();
  std::vector<struct pollfd> fds;
  std::vector<int> slot_of;
  for (int i = 0; i < sockets_.count(); ++i) {
    SocketListenerList::Slot& s = sockets_.at(i);
    if (!s.listener) continue;
    SocketListener* l = s.listener;
    bool has_fd = l->hasFD() && l->getFD() >= 0;
    short events = 0;
    if (l->wantsToWrite()) {
      if (has_fd)
        events |= POLLOUT;
      else
        s.write = true, timeout_ms = 0;
    }
    if (l->wantsToReadException()) {
      if (has_fd)
        events |= POLLPRI;
      else
        s.exception = true, timeout_ms = 0;
    }
    if (l->wantsToRead()) {
      if (has_fd)
        events |= POLLIN;
      else
        s.read = true, timeout_ms = 0;
    }
    if (l->wantsToDequeueAndDispatch()) s.dispatch = true, timeout_ms = 0;
    if (has_fd && events) {
      fds.push_back({l->getFD(), events, 0});
      slot_of.push_back(i);
    }
  }
  ++poll_count_;
  int n = poll(fds.data(), fds.size(), static_cast<int>(timeout_ms));
  if (n > 0) {
    for (size_t k = 0; k < fds.size(); ++k) {
      SocketListenerList::Slot& s = sockets_.at(slot_of[k]);
      if (!s.listener) continue;
      short re = fds[k].revents;
      // A hang-up or error counts as readable: the read finds the end.
      if (re & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
        if (fds[k].events & POLLIN) {
          s.read = true;
          s.dispatch = false;
        }
      }
      if (re & POLLPRI) s.exception = true;
      if (re & POLLOUT) s.write = true;
    }
  }
  bool handled = false;
  if (process) handled = processSocketActivity();
  sockets_.unlock();
  return handled;
}
