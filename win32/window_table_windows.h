#pragma once

#include <windows.h>

#include <cstddef>

// Our window procedures find the object a window belongs to in a table of their thread's own,
// keyed by window handle. Window data (GWLP_USERDATA, DWLP_USER, properties) can be written by
// any process in the session, so nothing of ours is ever kept there.

namespace korvane {

// What a window of ours belongs to. An owner that goes takes its windows out of the table.
class WindowOwner {
  public:
    WindowOwner() = default;
    virtual ~WindowOwner();
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;
};

// Room for the saver window, a cover per monitor and a dialog, with plenty to spare.
inline constexpr size_t kWindowTableCapacity = 64;

// Promises the next window this thread creates with `procedure` to `owner`: the window's first
// message binds it, so even WM_NCCREATE finds its object. Made just before CreateWindowExA (or
// DialogBoxParamA); the promise lapses when this goes out of scope, made good or not.
class PendingWindow {
  public:
    PendingWindow(WindowOwner& owner, const void* procedure);
    ~PendingWindow();
    PendingWindow(const PendingWindow&) = delete;
    PendingWindow& operator=(const PendingWindow&) = delete;

  private:
    WindowOwner* owner_;
    const void* procedure_;
    WindowOwner* outerOwner_;
    const void* outerProcedure_;
};

// The owner of `window` for a message that reached `procedure`: the bound one, or the pending
// promise made for that procedure, which this call binds. Null for a window that is not ours,
// or that the table has no room for.
WindowOwner* FindWindowOwner(HWND window, const void* procedure);

template <class Owner>
Owner* FindOwner(HWND window, const void* procedure) {
    return dynamic_cast<Owner*>(FindWindowOwner(window, procedure));
}

// Forgets `window`, at its WM_NCDESTROY: the handle may be given to another window later.
void ForgetWindow(HWND window);

// Forgets every window of `owner` (and a promise made to it that no window has taken).
void ForgetOwner(const WindowOwner& owner);

// How many windows the calling thread's table holds.
size_t WindowsInTable();

}  // namespace korvane
