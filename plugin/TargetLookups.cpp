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

namespace marigold::plugin {
namespace {

char16_t UpperAscii(char16_t C) {
  return C >= u'a' && C <= u'z' ? static_cast<char16_t>(C - 32) : C;
}

std::u16string UpperAscii(std::u16string_view S) {
  std::u16string Upper(S);
  std::transform(Upper.begin(), Upper.end(), Upper.begin(),
                 [](char16_t C) { return UpperAscii(C); });
  return Upper;
}

// Whether each drive letter is mapped to a share, asked once per command.
class TDriveKinds {
public:
  bool IsNetwork(char16_t Letter) {
    const auto Slot = static_cast<size_t>(UpperAscii(Letter) - u'A');
    if (!FKnown[Slot])
      FKnown[Slot] = platform::IsNetworkDrive(Letter);
    return *FKnown[Slot];
  }

private:
  std::array<std::optional<bool>, 26> FKnown;
};

std::u16string NetworkRoot(std::u16string_view Path, TDriveKinds& Drives) {
  if (StartsWithUNCPrefix(Path)) {
    const size_t Server = Path.find(u'\\', 2);
    const size_t Share =
        Server == std::u16string_view::npos ? Server : Path.find(u'\\', Server + 1);
    return UpperAscii(Path.substr(0, Share));
  }
  const char16_t Letter = Path.empty() ? u'\0' : UpperAscii(Path[0]);
  if (Path.size() >= 2 && Path[1] == u':' && Letter >= u'A' && Letter <= u'Z' &&
      Drives.IsNetwork(Letter))
    return UpperAscii(Path.substr(0, 2));
  return {};
}

// The look-ups of one command that it still waits for.
struct TBatch {
  int32_t Unanswered = 0;
};

struct TLookup {
  std::u16string Path;
  std::u16string Key;  // the path with ASCII letters upper-cased, as Windows compares names
  std::u16string Root; // NetworkRoot; empty for a local path
  std::shared_ptr<TBatch> Batch;
  bool Done = false;
  bool Abandoned = false; // its command no longer waits: an answer now is a late one
  TargetState State = TargetState::Unanswered;
};
using LookupRef = std::shared_ptr<TLookup>;

TargetState StateOf(std::u16string_view Path) {
  std::error_code Missing; // why a target cannot be asked does not change the menu
  const std::optional<uint32_t> Attributes = platform::FileAttributes(Path, Missing);
  if (!Attributes)
    return TargetState::Missing;
  return (*Attributes & platform::AttributeDirectory) ? TargetState::Folder : TargetState::File;
}

// Every command's look-ups: the queues, the threads working them, and what is still running.
// Never destroyed while a look-up runs: the threads work on it after their command has returned.
class TLookupService {
public:
  std::vector<TargetState> LookUp(const std::vector<std::u16string>& Paths,
                                  LookupClock::time_point Deadline);
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
    const int32_t NetworkRoom = std::max(0, MaxNetworkLookups - FRunningNetwork);
    return static_cast<int32_t>(FLocalQueue.size()) +
           std::min(NetworkRoom, static_cast<int32_t>(FNetworkQueue.size()));
  }
  // A new thread working the queues, unless MaxLookupThreads run; false when none started.
  bool StartThread();
  void Work();

  std::mutex FLock;
  std::condition_variable FAnswered;
  std::deque<LookupRef> FNetworkQueue, FLocalQueue;
  std::map<std::u16string, int32_t> FRunningRoots;    // network root: its running look-ups
  std::set<std::u16string> FRunningPaths;             // keys
  std::map<std::u16string, TargetState> FLateAnswers; // keys of network paths
  int32_t FThreads = 0, FRunningNetwork = 0;
};

LookupRef TLookupService::Next() {
  std::deque<LookupRef>& Queue =
      !FNetworkQueue.empty() && FRunningNetwork < MaxNetworkLookups ? FNetworkQueue : FLocalQueue;
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
  while (const LookupRef Lookup = Next()) {
    FRunningPaths.insert(Lookup->Key);
    if (!Lookup->Root.empty()) {
      ++FRunningRoots[Lookup->Root];
      ++FRunningNetwork;
    }
    Guard.unlock();
    const TargetState State = StateOf(Lookup->Path);
    Guard.lock();
    FRunningPaths.erase(Lookup->Key);
    if (!Lookup->Root.empty()) {
      if (--FRunningRoots[Lookup->Root] == 0)
        FRunningRoots.erase(Lookup->Root);
      --FRunningNetwork;
    }
    Lookup->Done = true;
    Lookup->State = State;
    if (!Lookup->Abandoned) {
      if (--Lookup->Batch->Unanswered == 0)
        FAnswered.notify_all();
    } else if (!Lookup->Root.empty()) {
      FLateAnswers[Lookup->Key] = State;
    }
  }
  --FThreads;
}

std::vector<TargetState> TLookupService::LookUp(const std::vector<std::u16string>& Paths,
                                                LookupClock::time_point Deadline) {
  std::vector<TargetState> States(Paths.size(), TargetState::Unanswered);
  std::vector<std::pair<size_t, LookupRef>> Asked; // index into Paths, its look-up
  std::unordered_map<std::u16string, LookupRef> ByKey;
  const auto Batch = std::make_shared<TBatch>();
  TDriveKinds Drives;
  std::unique_lock Guard(FLock);
  for (size_t I = 0; I < Paths.size(); ++I) {
    std::u16string Key = UpperAscii(Paths[I]);
    if (const auto Known = ByKey.find(Key); Known != ByKey.end()) {
      Asked.emplace_back(I, Known->second);
      continue;
    }
    if (const auto Late = FLateAnswers.find(Key); Late != FLateAnswers.end()) {
      States[I] = Late->second;
      FLateAnswers.erase(Late);
      continue;
    }
    std::u16string Root = NetworkRoot(Paths[I], Drives);
    if (FRunningPaths.contains(Key) || (!Root.empty() && FRunningRoots.contains(Root)))
      continue; // no second look-up where one already blocks
    auto Lookup = std::make_shared<TLookup>(
        TLookup{.Path = Paths[I], .Key = Key, .Root = std::move(Root), .Batch = Batch});
    (Lookup->Root.empty() ? FLocalQueue : FNetworkQueue).push_back(Lookup);
    ++Batch->Unanswered;
    ByKey.emplace(std::move(Key), Lookup);
    Asked.emplace_back(I, std::move(Lookup));
  }

  // A thread costs (a millisecond under Wine): one per core to start with, then one more at
  // every step while look-ups wait that a new thread could take, as when the first ones block.
  const auto Cores = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  for (int32_t I = std::min(Cores, Pickable()); I > 0 && StartThread(); --I) {
  }
  const auto AllAnswered = [&] { return Batch->Unanswered == 0; };
  while (!AllAnswered() && LookupClock::now() < Deadline) {
    if (!FAnswered.wait_until(Guard, std::min(Deadline, LookupClock::now() + LookupThreadStep),
                              AllAnswered) &&
        Pickable() > 0)
      (void)StartThread();
  }

  for (const auto& [Index, Lookup] : Asked)
    if (Lookup->Done)
      States[Index] = Lookup->State;
    else
      Lookup->Abandoned = true;
  const auto Dropped = [](const LookupRef& Lookup) { return Lookup->Abandoned; };
  std::erase_if(FLocalQueue, Dropped);
  std::erase_if(FNetworkQueue, Dropped);
  return States;
}

// Deliberately not a static object: at process exit the threads may have been stopped anywhere,
// and their state is better left alone than destroyed.
TLookupService* Service = nullptr;

} // namespace

std::vector<TargetState> LookUpTargets(const std::vector<std::u16string>& Paths,
                                       LookupClock::time_point Deadline) {
  if (!Service)
    Service = new TLookupService;
  return Service->LookUp(Paths, Deadline);
}

int32_t LookupThreads() {
  return Service ? Service->Threads() : 0;
}

void ReleaseLookups() noexcept {
  delete Service;
  Service = nullptr;
}

} // namespace marigold::plugin
