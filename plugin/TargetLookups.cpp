#include "plugin/TargetLookups.h"

#include "lib/FileNameUnit.h"
#include "platform/Files.h"
#include "platform/Threads.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <variant>

namespace marigold::plugin {
namespace {

// Whether each drive letter is mapped to a share, asked once per command.
class TDriveKinds {
public:
  // Letter: 'A' ... 'Z'.
  bool IsNetwork(char16_t Letter) {
    const auto Slot = static_cast<size_t>(Letter - u'A');
    if (!FKnown[Slot])
      FKnown[Slot] = platform::IsNetworkDrive(Letter);
    return *FKnown[Slot];
  }

private:
  std::array<std::optional<bool>, 26> FKnown;
};

// Key: a path's CaseFoldedPath.
std::u16string NetworkRoot(std::u16string_view Key, TDriveKinds& Drives) {
  if (StartsWithUNCPrefix(Key)) {
    const size_t Server = Key.find(u'\\', 2);
    const size_t Share = Server == std::u16string_view::npos ? Server : Key.find(u'\\', Server + 1);
    return std::u16string(Key.substr(0, Share));
  }
  if (Key.size() >= 2 && Key[1] == u':' && Key[0] >= u'A' && Key[0] <= u'Z' &&
      Drives.IsNetwork(Key[0]))
    return std::u16string(Key.substr(0, 2));
  return {};
}

struct TLookup {
  std::u16string Path;
  std::u16string Key;  // CaseFoldedPath
  std::u16string Root; // NetworkRoot; empty for a local path
  bool Done = false;
  bool Abandoned = false; // its command no longer waits: an answer now is a late one
  bool Awaited = false;   // its command waits for it now
  TargetState State = TargetState::Unanswered;
};
using LookupRef = std::shared_ptr<TLookup>;

TargetState StateOf(std::u16string_view Path) {
  // Why a target cannot be asked does not change the menu.
  const auto Attributes = platform::FileAttributes(Path);
  if (!Attributes)
    return TargetState::Missing;
  return (*Attributes & platform::AttributeDirectory) ? TargetState::Folder : TargetState::File;
}

// Every command's look-ups: the queues, the threads working them, and what is still running.
// Never destroyed while a look-up runs: the threads work on it after their command has returned.
class TLookupService {
public:
  // A look-up of Path started, or why none is: a late answer that came in meanwhile, or a
  // look-up that blocks there already (Unanswered).
  std::variant<LookupRef, TargetState> Ask(std::u16string_view Path, std::u16string Key,
                                           TDriveKinds& Drives);
  // Lookup's answer, waiting until Deadline at most.
  TargetState Answer(TLookup& Lookup, LookupClock::time_point Deadline);
  // Lookups are no longer waited for: those not started are dropped, the others answer late.
  void Abandon(const std::vector<LookupRef>& Lookups);
  // Threads ready for a command's look-ups: one per core that is not busy.
  void Warm();
  int32_t Threads() {
    const std::lock_guard Guard(FLock);
    return FThreads;
  }

private:
  // The next look-up a thread may start: a network one while fewer than MaxNetworkLookups run
  // (they may block), else a local one; nullptr when there is none.
  LookupRef Next();
  // How many waiting look-ups a new thread could start now.
  int32_t Pickable() const {
    const int32_t NetworkRoom = std::max(0, MaxNetworkLookups - RunningNetwork());
    return static_cast<int32_t>(FLocalQueue.size()) +
           std::min(NetworkRoom, static_cast<int32_t>(FNetworkQueue.size()));
  }
  int32_t RunningNetwork() const {
    int32_t Running = 0;
    for (const auto& [Root, Count] : FRunningRoots)
      Running += Count;
    return Running;
  }
  // A new thread working the queues, unless MaxLookupThreads run; false when none started.
  bool StartThread();
  void Work();

  std::mutex FLock;
  std::condition_variable FAnswered, FWorkArrived;
  std::deque<LookupRef> FNetworkQueue, FLocalQueue;
  std::map<std::u16string, int32_t> FRunningRoots;    // network root: its running look-ups
  std::set<std::u16string> FRunningPaths;             // keys
  std::map<std::u16string, TargetState> FLateAnswers; // keys of network paths
  int32_t FThreads = 0, FBusy = 0, FIdle = 0;
};

LookupRef TLookupService::Next() {
  std::deque<LookupRef>& Queue =
      !FNetworkQueue.empty() && RunningNetwork() < MaxNetworkLookups ? FNetworkQueue : FLocalQueue;
  if (Queue.empty())
    return nullptr;
  LookupRef Lookup = std::move(Queue.front());
  Queue.pop_front();
  return Lookup;
}

bool TLookupService::StartThread() {
  if (FThreads >= MaxLookupThreads)
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
  for (;;) {
    const LookupRef Lookup = Next();
    if (!Lookup) {
      // Threads are slow to start (milliseconds under Wine): an idle one waits for the next
      // command a while before it ends.
      ++FIdle;
      const bool Woken =
          FWorkArrived.wait_for(Guard, LookupThreadIdle, [this] { return Pickable() > 0; });
      --FIdle;
      if (!Woken)
        break;
      continue;
    }
    ++FBusy;
    FRunningPaths.insert(Lookup->Key);
    if (!Lookup->Root.empty())
      ++FRunningRoots[Lookup->Root];
    Guard.unlock();
    const TargetState State = StateOf(Lookup->Path);
    Guard.lock();
    --FBusy;
    FRunningPaths.erase(Lookup->Key);
    if (!Lookup->Root.empty() && --FRunningRoots[Lookup->Root] == 0)
      FRunningRoots.erase(Lookup->Root);
    Lookup->Done = true;
    Lookup->State = State;
    if (Lookup->Abandoned && !Lookup->Root.empty())
      FLateAnswers[Lookup->Key] = State;
    else if (Lookup->Awaited)
      FAnswered.notify_all();
  }
  --FThreads;
}

void TLookupService::Warm() {
  const std::lock_guard Guard(FLock);
  static const auto Cores = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  while (FThreads - FBusy < Cores && StartThread()) {
  }
}

std::variant<LookupRef, TargetState> TLookupService::Ask(std::u16string_view Path,
                                                         std::u16string Key, TDriveKinds& Drives) {
  std::u16string Root = NetworkRoot(Key, Drives);
  const std::lock_guard Guard(FLock);
  if (const auto Late = FLateAnswers.find(Key); Late != FLateAnswers.end()) {
    const TargetState State = Late->second;
    FLateAnswers.erase(Late);
    return State;
  }
  if (FRunningPaths.contains(Key) || (!Root.empty() && FRunningRoots.contains(Root)))
    return TargetState::Unanswered; // no second look-up where one already blocks
  auto Lookup = std::make_shared<TLookup>(
      TLookup{.Path = std::u16string(Path), .Key = std::move(Key), .Root = std::move(Root)});
  (Lookup->Root.empty() ? FLocalQueue : FNetworkQueue).push_back(Lookup);
  if (FIdle > 0)
    FWorkArrived.notify_one();
  return Lookup;
}

TargetState TLookupService::Answer(TLookup& Lookup, LookupClock::time_point Deadline) {
  std::unique_lock Guard(FLock);
  Lookup.Awaited = true; // only this answer wakes the command
  const auto Answered = [&] { return Lookup.Done; };
  while (!Answered() && LookupClock::now() < Deadline) {
    if (!FAnswered.wait_until(Guard, std::min(Deadline, LookupClock::now() + LookupThreadStep),
                              Answered) &&
        Pickable() > 0 && FThreads == FBusy)
      (void)StartThread(); // every thread blocks: one more
  }
  return Lookup.Done ? Lookup.State : TargetState::Unanswered;
}

void TLookupService::Abandon(const std::vector<LookupRef>& Lookups) {
  const std::lock_guard Guard(FLock);
  for (const LookupRef& Lookup : Lookups)
    Lookup->Abandoned = !Lookup->Done;
  const auto Dropped = [](const LookupRef& Lookup) { return Lookup->Abandoned; };
  std::erase_if(FLocalQueue, Dropped);
  std::erase_if(FNetworkQueue, Dropped);
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
  TDriveKinds Drives;
};

TTargetLookups::TTargetLookups(LookupClock::time_point Deadline)
    : FDeadline(Deadline), FAsked(std::make_unique<TAsked>()) {
  TheService().Warm();
}

TTargetLookups::~TTargetLookups() {
  TheService().Abandon(FAsked->Started);
}

size_t TTargetLookups::Ask(std::u16string_view Path) {
  std::u16string Key = CaseFoldedPath(Path);
  if (const auto Known = FAsked->ByKey.find(Key); Known != FAsked->ByKey.end())
    return Known->second;
  auto Ticket = TheService().Ask(Path, Key, FAsked->Drives);
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
