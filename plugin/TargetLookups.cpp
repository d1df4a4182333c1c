#include "plugin/TargetLookups.h"

#include "lib/FileNameUnit.h"
#include "platform/Files.h"
#include "platform/Threads.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <variant>

namespace marigold::plugin {
namespace {

// Key: a path's CaseFoldedPath. '\\SERVER\SHARE' or 'C:'; any other form is a root of its own.
std::u16string_view RootOf(std::u16string_view Key) {
  if (StartsWithUNCPrefix(Key)) {
    const size_t Server = Key.find(u'\\', 2);
    return Key.substr(0, Server == Key.npos ? Server : Key.find(u'\\', Server + 1));
  }
  return StartsWithDrivePrefix(Key) ? Key.substr(0, 2) : Key;
}

struct TRoot;

struct TLookup {
  std::u16string Path;
  std::u16string Key; // CaseFoldedPath
  TRoot* Root;
  uint64_t Order;                    // the earliest asked starts first
  LookupClock::time_point Deadline;  // of the command that waits for it
  LookupClock::time_point Started{}; // while it runs
  bool Running = false, Done = false;
  bool Abandoned = false; // its command no longer waits: an answer now is a late one
  bool Awaited = false;   // its command waits for it now
  TargetState State = TargetState::Unanswered; // what came by the deadline
};
using LookupRef = std::shared_ptr<TLookup>;

struct TRoot {
  std::deque<LookupRef> Waiting;
  std::vector<LookupRef> Running;

  bool Stalled(LookupClock::time_point Now) const {
    return std::ranges::any_of(
        Running, [Now](const LookupRef& Lookup) { return Now - Lookup->Started > LookupDeadline; });
  }
  // How many of the waiting look-ups may start now.
  int32_t Startable(LookupClock::time_point Now) const {
    if (Waiting.empty() || Stalled(Now))
      return 0;
    return std::min(static_cast<int32_t>(Waiting.size()),
                    MaxRootLookups - static_cast<int32_t>(Running.size()));
  }
};

TargetState StateOf(std::u16string_view Path) {
  // Why a target cannot be asked does not change the menu.
  const auto Attributes = platform::FileAttributes(Path);
  if (!Attributes)
    return TargetState::Missing;
  return (*Attributes & platform::AttributeDirectory) ? TargetState::Folder : TargetState::File;
}

// Every command's look-ups: the roots with their queues, the threads working them, and the late
// answers. Never destroyed while a look-up runs: the threads work on it after their command has
// returned.
class TLookupService {
public:
  // A command begins: threads ready for its look-ups, one per core that is not busy.
  void Open();
  // A look-up of Path for a command opened at Opened that waits until Deadline, or why none is
  // needed: a late answer that came in meanwhile, or a root stalled when the command opened
  // (Unanswered).
  std::variant<LookupRef, TargetState> Ask(std::u16string_view Path, std::u16string Key,
                                           LookupClock::time_point Opened,
                                           LookupClock::time_point Deadline);
  // Lookup's answer, waiting until Deadline at most.
  TargetState Answer(TLookup& Lookup, LookupClock::time_point Deadline);
  // A command ends: Lookups are no longer waited for; those not started are dropped, the others
  // answer late.
  void Close(const std::vector<LookupRef>& Lookups);
  int32_t Threads() {
    const std::lock_guard Guard(FLock);
    return FThreads;
  }

private:
  // The look-up to start now; nullptr when none may.
  LookupRef Next(LookupClock::time_point Now);
  int32_t Startable(LookupClock::time_point Now) const;
  // A new thread working the queues, unless MaxLookupThreads run besides those held by stalled
  // roots; false when none started.
  bool StartThread();
  void Work();
  // Lookup answered State at Now.
  void Finish(const LookupRef& Lookup, TargetState State, LookupClock::time_point Now);

  std::mutex FLock;
  std::condition_variable FAnswered, FWorkArrived;
  std::map<std::u16string, TRoot, std::less<>> FRoots;  // never erased: TLookup points into it
  std::unordered_map<std::u16string, LookupRef> FAsked; // keys waiting or running
  std::unordered_map<std::u16string, TargetState> FLateAnswers; // keys
  uint64_t FOrder = 0;
  LookupClock::time_point FLastStart; // of a thread started because every other one was busy
  int32_t FThreads = 0, FBusy = 0, FIdle = 0, FOpenCommands = 0;
};

LookupRef TLookupService::Next(LookupClock::time_point Now) {
  // The root with the fewest running first, so that a root that blocks does not keep the others
  // waiting while it is not stalled yet; among those, the earliest asked.
  const auto Before = [](const TRoot& A, const TRoot& B) {
    return std::pair(A.Running.size(), A.Waiting.front()->Order) <
           std::pair(B.Running.size(), B.Waiting.front()->Order);
  };
  TRoot* First = nullptr;
  for (auto& [Name, Root] : FRoots) {
    // Nobody waits for these any more: started now, they would only keep the threads busy.
    while (!Root.Waiting.empty() && Now >= Root.Waiting.front()->Deadline) {
      FAsked.erase(Root.Waiting.front()->Key);
      Root.Waiting.pop_front();
    }
    if (Root.Startable(Now) > 0 && (!First || Before(Root, *First)))
      First = &Root;
  }
  if (!First)
    return nullptr;
  LookupRef Lookup = std::move(First->Waiting.front());
  First->Waiting.pop_front();
  return Lookup;
}

int32_t TLookupService::Startable(LookupClock::time_point Now) const {
  int32_t Count = 0;
  for (const auto& [Name, Root] : FRoots)
    Count += Root.Startable(Now);
  return Count;
}

bool TLookupService::StartThread() {
  const auto Now = LookupClock::now();
  int32_t Held = 0;
  for (const auto& [Name, Root] : FRoots)
    if (Root.Stalled(Now))
      Held += static_cast<int32_t>(Root.Running.size());
  if (FThreads - Held >= MaxLookupThreads)
    return false;
  ++FThreads;
  if (platform::StartDetachedThread([this] { Work(); })) {
    --FThreads; // none now: what is not answered by the deadline stays Unanswered
    return false;
  }
  return true;
}

void TLookupService::Work() {
  std::unique_lock Guard(FLock);
  // The clock is read once a look-up (under Wine it costs a call into the system).
  for (auto Now = LookupClock::now();;) {
    const LookupRef Lookup = Next(Now);
    if (!Lookup) {
      // Nothing to do: wait only while a command may still ask, so that an unloaded module
      // is not kept in memory by threads that wait for nothing.
      if (FOpenCommands == 0)
        break;
      ++FIdle;
      FWorkArrived.wait(Guard);
      --FIdle;
      Now = LookupClock::now();
      continue;
    }
    ++FBusy;
    Lookup->Running = true;
    Lookup->Started = Now;
    Lookup->Root->Running.push_back(Lookup);
    Guard.unlock();
    const TargetState State = StateOf(Lookup->Path);
    Now = LookupClock::now();
    Guard.lock();
    --FBusy;
    Finish(Lookup, State, Now);
  }
  --FThreads;
}

void TLookupService::Finish(const LookupRef& Lookup, TargetState State,
                            LookupClock::time_point Now) {
  std::erase(Lookup->Root->Running, Lookup);
  FAsked.erase(Lookup->Key);
  Lookup->Running = false;
  Lookup->Done = true;
  if (Lookup->Abandoned || Now >= Lookup->Deadline) {
    FLateAnswers[Lookup->Key] = State;
  } else {
    Lookup->State = State;
    if (Lookup->Awaited)
      FAnswered.notify_all();
  }
  // A root that answers may let more than this thread's next look-up start.
  if (FIdle > 0)
    FWorkArrived.notify_all();
}

void TLookupService::Open() {
  const std::lock_guard Guard(FLock);
  ++FOpenCommands;
  static const auto Cores = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  while (FThreads - FBusy < Cores && StartThread()) {
  }
}

std::variant<LookupRef, TargetState> TLookupService::Ask(std::u16string_view Path,
                                                         std::u16string Key,
                                                         LookupClock::time_point Opened,
                                                         LookupClock::time_point Deadline) {
  const std::lock_guard Guard(FLock);
  if (const auto Late = FLateAnswers.find(Key); Late != FLateAnswers.end()) {
    const TargetState State = Late->second;
    FLateAnswers.erase(Late);
    return State;
  }
  const std::u16string_view RootName = RootOf(Key);
  auto Root = FRoots.find(RootName);
  if (Root == FRoots.end())
    Root = FRoots.emplace(std::u16string(RootName), TRoot{}).first;
  if (Root->second.Stalled(Opened))
    return TargetState::Unanswered;
  if (const auto Asked = FAsked.find(Key); Asked != FAsked.end()) {
    // Asked already by a command before this one: this one waits for that look-up instead.
    Asked->second->Abandoned = false;
    Asked->second->Deadline = Deadline;
    return Asked->second;
  }
  auto Lookup = std::make_shared<TLookup>(TLookup{.Path = std::u16string(Path),
                                                  .Key = Key,
                                                  .Root = &Root->second,
                                                  .Order = FOrder++,
                                                  .Deadline = Deadline});
  Root->second.Waiting.push_back(Lookup);
  FAsked.emplace(std::move(Key), Lookup);
  if (FIdle > 0)
    FWorkArrived.notify_one();
  return Lookup;
}

TargetState TLookupService::Answer(TLookup& Lookup, LookupClock::time_point Deadline) {
  std::unique_lock Guard(FLock);
  Lookup.Awaited = true; // only this answer wakes the command
  const auto Answered = [&] { return Lookup.Done; };
  for (auto Now = LookupClock::now(); !Answered() && Now < Deadline; Now = LookupClock::now()) {
    // Its root stalled while it waited: it will not start in time.
    if (!Lookup.Running && Lookup.Root->Stalled(Now))
      break;
    // Every thread busy and more to start: one more, at most one a step.
    if (Now - FLastStart >= LookupThreadStep && FThreads == FBusy && Startable(Now) > 0 &&
        StartThread())
      FLastStart = Now;
    FAnswered.wait_until(Guard, std::min(Deadline, Now + LookupThreadStep), Answered);
  }
  Lookup.Awaited = false;
  return Lookup.State;
}

void TLookupService::Close(const std::vector<LookupRef>& Lookups) {
  const std::lock_guard Guard(FLock);
  for (const LookupRef& Lookup : Lookups)
    Lookup->Abandoned = !Lookup->Done;
  for (auto& [Name, Root] : FRoots)
    std::erase_if(Root.Waiting, [this](const LookupRef& Lookup) {
      if (!Lookup->Abandoned)
        return false;
      FAsked.erase(Lookup->Key);
      return true;
    });
  if (--FOpenCommands == 0)
    FWorkArrived.notify_all(); // idle threads end
}

// Deliberately not a static object: at process exit the threads may have been stopped anywhere,
// and their state is better left alone than destroyed.
TLookupService* Service = nullptr;

TLookupService& TheService() {
  if (!Service)
    Service = new TLookupService;
  return *Service;
}

} // namespace

struct TTargetLookups::TAsked {
  std::vector<std::variant<LookupRef, TargetState>> Tickets;
  std::unordered_map<std::u16string, size_t> ByKey; // a path asked twice is one look-up
  std::vector<LookupRef> Started;
  LookupClock::time_point Opened = LookupClock::now();
};

TTargetLookups::TTargetLookups(LookupClock::time_point Deadline)
    : FDeadline(Deadline), FAsked(std::make_unique<TAsked>()) {
  TheService().Open();
}

TTargetLookups::~TTargetLookups() {
  TheService().Close(FAsked->Started);
}

size_t TTargetLookups::Ask(std::u16string_view Path) {
  std::u16string Key = CaseFoldedPath(Path);
  if (const auto Known = FAsked->ByKey.find(Key); Known != FAsked->ByKey.end())
    return Known->second;
  auto Ticket = TheService().Ask(Path, Key, FAsked->Opened, FDeadline);
  if (const auto* Lookup = std::get_if<LookupRef>(&Ticket))
    FAsked->Started.push_back(*Lookup);
  FAsked->Tickets.push_back(std::move(Ticket));
  FAsked->ByKey.emplace(std::move(Key), FAsked->Tickets.size() - 1);
  return FAsked->Tickets.size() - 1;
}

TargetState TTargetLookups::Answer(size_t Ticket) {
  const auto& Asked = FAsked->Tickets.at(Ticket);
  if (const auto* Lookup = std::get_if<LookupRef>(&Asked))
    return TheService().Answer(**Lookup, FDeadline);
  return std::get<TargetState>(Asked);
}

std::vector<TargetState> LookUpTargets(const std::vector<std::u16string>& Paths,
                                       LookupClock::time_point Deadline) {
  TTargetLookups Lookups(Deadline);
  std::vector<size_t> Tickets;
  for (const std::u16string& Path : Paths)
    Tickets.push_back(Lookups.Ask(Path));
  std::vector<TargetState> States;
  for (const size_t Ticket : Tickets)
    States.push_back(Lookups.Answer(Ticket));
  return States;
}

int32_t LookupThreads() {
  return Service ? Service->Threads() : 0;
}

void ReleaseLookups() noexcept {
  delete Service;
  Service = nullptr;
}

} // namespace marigold::plugin
