#pragma once

// Existence checks of the favourites' targets off the editor's thread, with a deadline: a look-up
// on a share that is offline blocks for seconds to tens of seconds, and the editor must not freeze
// meanwhile. Look-ups that block go on in the background; what they answer late is kept for the
// next command.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marigold::plugin {

// What the file system said about a target by the deadline.
enum class TargetState : uint8_t {
  Unanswered, // not by the deadline, or not asked while its root is stalled
  Folder,
  File,
  Missing,
};

using LookupClock = std::chrono::steady_clock;
// How long after its start a command waits for the look-ups of its menu. A root (a UNC
// '\\server\share' or a drive letter, whatever kind of volume it is) is stalled while one of its
// look-ups has run longer than this.
inline constexpr std::chrono::milliseconds LookupDeadline{200};
// The most look-ups at once on one root, so that a stalled root holds at most this many threads.
inline constexpr int32_t MaxRootLookups = 4;
// The most look-up threads at once besides those held by stalled roots, so that other roots
// always have threads, whatever the stalled ones do.
inline constexpr int32_t MaxLookupThreads = 8;
// A command has one look-up thread per core; while look-ups that a new thread could take still
// wait and every thread blocks, it adds one more every LookupThreadStep. A thread ends as soon as
// it has nothing to do and no command is open, so that the module can be unloaded at once.
inline constexpr std::chrono::milliseconds LookupThreadStep{10};

// The look-ups of one command. Each path is asked as soon as it is known and its answer waited
// for only when it is needed, never past the deadline. Every path of a healthy root is asked, up
// to MaxRootLookups at once; a path of a stalled root is not asked (Unanswered) until the root
// answers. A path still being looked up for an earlier command is not asked again: this command
// waits for that look-up. An answer that comes after its command stopped waiting (deadline
// passed, or the command over) is kept and used once by the next command that asks for it.
// Look-ups not started by the deadline, or when this goes, are dropped.
class TTargetLookups {
public:
  // Makes the threads ready, so that they have started by the time the paths are known.
  explicit TTargetLookups(LookupClock::time_point Deadline);
  TTargetLookups(const TTargetLookups&) = delete;
  TTargetLookups& operator=(const TTargetLookups&) = delete;
  ~TTargetLookups();

  // Starts the look-up of Path (absolute); the ticket for its answer.
  [[nodiscard]] size_t Ask(std::u16string_view Path);
  // The answer for Ticket, waiting for it until the deadline at most.
  [[nodiscard]] TargetState Answer(size_t Ticket);

private:
  struct TAsked;
  LookupClock::time_point FDeadline;
  std::unique_ptr<TAsked> FAsked;
};

// The states of Paths, one per path, in order: all asked at once, answered by Deadline.
[[nodiscard]] std::vector<TargetState> LookUpTargets(const std::vector<std::u16string>& Paths,
                                                     LookupClock::time_point Deadline);

// The look-up threads still at work, of every command so far; 0 once all have ended.
[[nodiscard]] int32_t LookupThreads();

// Frees what the look-ups keep, late answers too. Only while LookupThreads() is 0: when the
// module is unloaded.
void ReleaseLookups() noexcept;

} // namespace marigold::plugin
