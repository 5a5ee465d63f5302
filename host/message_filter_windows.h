#pragma once

#include <windows.h>

// The one thread message hook (WH_GETMESSAGE) of a full-screen run. It sees every message the
// saver's thread takes from its queue, in the run's own loop and in every modal loop on that
// thread (the set-up's notices, the verifier's dialog), and drops what another program can
// post to end or uncover the lock:
// - WM_TIMER and WM_SYSTIMER with a non-zero lParam, to a window or to the thread:
//   DispatchMessage calls that lParam as a timer procedure (Wine and Windows 9x do so without
//   asking whether a timer of that procedure exists), so any address would run. The saver sets
//   no timer procedure. A verifier that does, on our thread, gets none of its callbacks while
//   the run lasts; its timers without a procedure, and everything else of its dialog, work.
// - posted copies of messages that only the system sends, such as WM_SHOWWINDOW or
//   WM_ACTIVATEAPP: the system sends them, so whatever comes through the queue was forged.
// A dropped message becomes WM_NULL, which nothing acts on.

namespace korvane {

class PostedMessageFilter {
  public:
    PostedMessageFilter() = default;
    ~PostedMessageFilter() { Remove(); }
    PostedMessageFilter(const PostedMessageFilter&) = delete;
    PostedMessageFilter& operator=(const PostedMessageFilter&) = delete;

    // On the calling thread, once; false when the hook could not be set.
    bool Install();
    void Remove();
    bool Installed() const { return hook_ != nullptr; }

  private:
    HHOOK hook_ = nullptr;
};

}  // namespace korvane
