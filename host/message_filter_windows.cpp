#include "host/message_filter_windows.h"

namespace korvane {
namespace {

constexpr UINT kSystemTimer = 0x0118;  // WM_SYSTIMER, the system's own timer message

// Only the system sends these, each carrying news of a window's state or a pointer; none is
// ever posted.
constexpr UINT kSentOnlyBySystem[] = {
    WM_CREATE,
    WM_NCCREATE,
    WM_DESTROY,
    WM_NCDESTROY,
    WM_SHOWWINDOW,
    WM_ACTIVATE,
    WM_ACTIVATEAPP,
    WM_NCACTIVATE,
    WM_SETFOCUS,
    WM_KILLFOCUS,
    WM_ENABLE,
    WM_CANCELMODE,
    WM_WINDOWPOSCHANGING,
    WM_WINDOWPOSCHANGED,
    WM_STYLECHANGING,
    WM_STYLECHANGED,
    WM_MOVE,
    WM_SIZE,
    WM_SETTEXT,
    WM_MOUSEACTIVATE,
    WM_SETCURSOR,
    WM_QUERYENDSESSION,
    WM_ENDSESSION,
    WM_PARENTNOTIFY,
};

// The message as it came out of the queue is a forgery.
bool DropsQueuedMessage(const MSG& message) {
    if (message.message == WM_TIMER || message.message == kSystemTimer) {
        return message.lParam != 0;
    }
    for (const UINT sent : kSentOnlyBySystem) {
        if (message.message == sent) {
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK FilterQueuedMessage(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION) {
        auto& message = *reinterpret_cast<MSG*>(lParam);
        if (DropsQueuedMessage(message)) {
            message.message = WM_NULL;
            message.wParam = 0;
            message.lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool PostedMessageFilter::Install() {
    if (hook_ == nullptr) {
        hook_ =
            SetWindowsHookExA(WH_GETMESSAGE, FilterQueuedMessage, nullptr, GetCurrentThreadId());
    }
    return hook_ != nullptr;
}

void PostedMessageFilter::Remove() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
}

}  // namespace korvane
