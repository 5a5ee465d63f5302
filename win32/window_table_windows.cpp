#include "win32/window_table_windows.h"

namespace korvane {
namespace {

struct Entry {
    HWND window;
    WindowOwner* owner;
};

// Plain data, so each thread's copy needs no constructor or destructor of its own.
struct WindowTable {
    Entry entries[kWindowTableCapacity];
    WindowOwner* pendingOwner;
    const void* pendingProcedure;
};

thread_local WindowTable table{};

Entry* EntryOf(HWND window) {
    for (Entry& entry : table.entries) {
        if (entry.window == window && window != nullptr) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

WindowOwner::~WindowOwner() {
    ForgetOwner(*this);
}

PendingWindow::PendingWindow(WindowOwner& owner, const void* procedure)
    : owner_(&owner),
      procedure_(procedure),
      outerOwner_(table.pendingOwner),
      outerProcedure_(table.pendingProcedure) {
    table.pendingOwner = owner_;
    table.pendingProcedure = procedure_;
}

PendingWindow::~PendingWindow() {
    table.pendingOwner = outerOwner_;
    table.pendingProcedure = outerProcedure_;
}

WindowOwner* FindWindowOwner(HWND window, const void* procedure) {
    if (window == nullptr) {
        return nullptr;
    }
    if (Entry* entry = EntryOf(window)) {
        return entry->owner;
    }
    if (table.pendingOwner == nullptr || table.pendingProcedure != procedure) {
        return nullptr;
    }
    Entry* free = nullptr;
    for (Entry& entry : table.entries) {
        if (entry.window == nullptr) {
            free = &entry;
            break;
        }
    }
    if (free == nullptr) {
        return nullptr;
    }
    *free = {window, table.pendingOwner};
    // One promise, one window: a second new window must not take the same owner.
    table.pendingOwner = nullptr;
    table.pendingProcedure = nullptr;
    return free->owner;
}

void ForgetWindow(HWND window) {
    if (Entry* entry = EntryOf(window)) {
        *entry = {};
    }
}

void ForgetOwner(const WindowOwner& owner) {
    for (Entry& entry : table.entries) {
        if (entry.owner == &owner) {
            entry = {};
        }
    }
    if (table.pendingOwner == &owner) {
        table.pendingOwner = nullptr;
        table.pendingProcedure = nullptr;
    }
}

size_t WindowsInTable() {
    size_t count = 0;
    for (const Entry& entry : table.entries) {
        count += entry.window != nullptr ? 1 : 0;
    }
    return count;
}

}  // namespace korvane
