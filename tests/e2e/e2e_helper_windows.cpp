// What the end-to-end test cannot see from outside Wine:
//   parent <number file> <seconds>  a stand-in for the display settings' preview box; writes its
//                                   window number once the window exists and closes itself
//                                   after the given time, taking the preview with it.
//   probe-fullscreen                exit 0 when a topmost saver window of the saver's class
//                                   covers the whole screen; otherwise prints why and exits 1.
//   probe-preview <parent number>   exit 0 when the parent has the saver's "Preview" child.
//   close-window <title>            posts WM_CLOSE to the top-level window with that title.
//   run <command line>              starts a program with exactly that command line (no
//                                   quoting added) and exits with its exit code.
//   choose-code-only <seconds>      waits that long for the configuration dialog, clicks its
//                                   sequence boxes so that only "Korvane Code" stays on, checks
//                                   that the two edit boxes became read-only, and presses OK.
//   glyph-size <seconds>            waits that long for the configuration dialog and prints the
//                                   entry its glyph size list shows.
//   choose-glyph-size <seconds> <entry>
//                                   chooses that entry of the glyph size list and presses OK.
//   restore-defaults <seconds>      presses the dialog's "Restore defaults".
//   settings NAME=0|1... [TEXT=...] [SCALE=N]
//                                   stores the default settings with those switches (TITLE,
//                                   PHONE, MESSAGE, CODE, SFX), message and glyph size (0
//                                   automatic, 1 to 4 fixed) through the saver's own store.
//   threads                         prints the full-screen saver's threads from a Toolhelp
//                                   snapshot, in increasing order on one line, each as
//                                   id@creation time.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "settings/registry_settings_store_windows.h"
#include "settings/show_settings.h"

namespace {

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunParent(const char* numberFile, int seconds) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "KorvanePreviewParent";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Preview Parent", WS_POPUP | WS_VISIBLE, 10,
                        10, 152, 112, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        return 3;
    }
    SetTimer(window, 1, static_cast<UINT>(seconds * 1000), nullptr);
    if (FILE* out = std::fopen(numberFile, "w")) {
        std::fprintf(out, "%llu\n",
                     static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
        std::fclose(out);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int ProbeFullScreen() {
    HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    if (saver == nullptr) {
        std::printf("no window of class WindowsScreenSaverClass titled Screen Saver\n");
        return 1;
    }
    RECT area{};
    GetWindowRect(saver, &area);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const LONG_PTR extended = GetWindowLongPtrA(saver, GWL_EXSTYLE);
    if ((extended & WS_EX_TOPMOST) == 0) {
        std::printf("saver window is not topmost\n");
        return 1;
    }
    if (area.left != 0 || area.top != 0 || area.right != width || area.bottom != height) {
        std::printf("saver window covers %ld,%ld-%ld,%ld, screen is %dx%d\n", area.left, area.top,
                    area.right, area.bottom, width, height);
        return 1;
    }
    return 0;
}

// For diagnosis: what Windows believes about the saver window.
// A thread made again under a recycled id still shows: each id carries its creation time.
int ListSaverThreads() {
    HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    DWORD process = 0;
    if (saver == nullptr || GetWindowThreadProcessId(saver, &process) == 0) {
        std::fprintf(stderr, "threads: no saver window\n");
        return 1;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "threads: no snapshot\n");
        return 1;
    }
    std::vector<std::pair<DWORD, unsigned long long>> threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != process) {
            continue;
        }
        unsigned long long created = 0;
        if (HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID)) {
            FILETIME creation{}, exit{}, kernel{}, user{};
            if (GetThreadTimes(thread, &creation, &exit, &kernel, &user)) {
                created = (static_cast<unsigned long long>(creation.dwHighDateTime) << 32) |
                          creation.dwLowDateTime;
            }
            CloseHandle(thread);
        }
        threads.emplace_back(entry.th32ThreadID, created);
    }
    CloseHandle(snapshot);
    std::sort(threads.begin(), threads.end());
    for (size_t i = 0; i < threads.size(); ++i) {
        std::printf(i == 0 ? "%lu@%llu" : " %lu@%llu", static_cast<unsigned long>(threads[i].first),
                    threads[i].second);
    }
    std::printf("\n");
    return 0;
}

int DescribeSaver() {
    HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    if (saver == nullptr) {
        std::printf("no saver window\n");
        return 1;
    }
    std::printf("visible %d foreground %d style %08llx exstyle %08llx\n", IsWindowVisible(saver),
                GetForegroundWindow() == saver,
                static_cast<unsigned long long>(GetWindowLongPtrA(saver, GWL_STYLE)),
                static_cast<unsigned long long>(GetWindowLongPtrA(saver, GWL_EXSTYLE)));
    return 0;
}

int ProbePreview(const char* parentNumber) {
    HWND parent =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(parentNumber, nullptr, 10)));
    return FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", "Preview") != nullptr ? 0 : 1;
}

int CloseWindow(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    return window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int RunExactly(const char* commandLine) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%s", commandLine);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start %s\n", commandLine);
        return 200;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 200;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

constexpr int kTitleBox = 1008;
constexpr int kPhoneBox = 1022;
constexpr int kMessageBox = 1023;
constexpr int kCodeBox = 1024;
constexpr int kMessageEdit = 1029;
constexpr int kNumberEdit = 1031;
constexpr int kOkButton = 1017;
constexpr int kRestoreDefaultsButton = 1027;
constexpr int kGlyphSizeList = 1033;

HWND WaitForConfigDialog(int seconds) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    for (;;) {
        HWND dialog = FindWindowA("#32770", "The Korvane Screensaver Configuration");
        if (dialog != nullptr && IsWindowVisible(dialog)) {
            return dialog;
        }
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) {
            std::printf("no configuration dialog within %d s\n", seconds);
            return nullptr;
        }
        Sleep(100);
    }
}

bool IsChecked(HWND dialog, int box) {
    return SendDlgItemMessageA(dialog, box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Clicks the box (so the dialog sees the same notification a user's click gives) until it
// shows the wanted state.
bool ClickBoxTo(HWND dialog, int box, bool checked) {
    if (IsChecked(dialog, box) != checked) {
        SendDlgItemMessageA(dialog, box, BM_CLICK, 0, 0);
    }
    if (IsChecked(dialog, box) != checked) {
        std::printf("box %d did not become %s\n", box, checked ? "checked" : "unchecked");
        return false;
    }
    return true;
}

bool IsReadOnly(HWND dialog, int edit) {
    return (GetWindowLongPtrA(GetDlgItem(dialog, edit), GWL_STYLE) & ES_READONLY) != 0;
}

int ChooseCodeOnly(int seconds) {
    HWND dialog = WaitForConfigDialog(seconds);
    if (dialog == nullptr) {
        return 1;
    }
    // A click on a button of an inactive dialog may be lost.
    SetForegroundWindow(dialog);
    if (!ClickBoxTo(dialog, kTitleBox, false) || !ClickBoxTo(dialog, kPhoneBox, false) ||
        !ClickBoxTo(dialog, kMessageBox, false) || !ClickBoxTo(dialog, kCodeBox, true)) {
        return 1;
    }
    if (!IsReadOnly(dialog, kNumberEdit) || !IsReadOnly(dialog, kMessageEdit)) {
        std::printf(
            "with their sequences off the edit boxes are not read-only (number %d, "
            "message %d)\n",
            IsReadOnly(dialog, kNumberEdit), IsReadOnly(dialog, kMessageEdit));
        return 1;
    }
    SendDlgItemMessageA(dialog, kOkButton, BM_CLICK, 0, 0);
    return 0;
}

int PrintGlyphSize(int seconds) {
    HWND dialog = WaitForConfigDialog(seconds);
    if (dialog == nullptr) {
        return 1;
    }
    char shown[64] = {};
    GetDlgItemTextA(dialog, kGlyphSizeList, shown, sizeof shown);
    std::printf("%s\n", shown);
    return 0;
}

// Selects as a click in the dropped-down list does: the selection, then the list's
// notification to the dialog.
int ChooseGlyphSize(int seconds, const char* entry) {
    HWND dialog = WaitForConfigDialog(seconds);
    if (dialog == nullptr) {
        return 1;
    }
    HWND list = GetDlgItem(dialog, kGlyphSizeList);
    const LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry));
    if (index == CB_ERR ||
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index) {
        std::printf("the glyph size list has no entry '%s'\n", entry);
        return 1;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kGlyphSizeList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    SetForegroundWindow(dialog);
    SendDlgItemMessageA(dialog, kOkButton, BM_CLICK, 0, 0);
    return 0;
}

int RestoreDefaults(int seconds) {
    HWND dialog = WaitForConfigDialog(seconds);
    if (dialog == nullptr) {
        return 1;
    }
    SetForegroundWindow(dialog);
    SendDlgItemMessageA(dialog, kRestoreDefaultsButton, BM_CLICK, 0, 0);
    return 0;
}

int StoreSettings(int count, char** switches) {
    korvane::ShowSettings settings;
    korvane::SetDefaultSettings(settings);
    struct Switch {
        const char* name;
        bool* flag;
    };
    const Switch known[] = {{"TITLE", &settings.titleEnabled},
                            {"PHONE", &settings.phoneEnabled},
                            {"MESSAGE", &settings.messageEnabled},
                            {"CODE", &settings.codeEnabled},
                            {"SFX", &settings.soundEnabled}};
    for (int i = 0; i < count; ++i) {
        const char* equals = std::strchr(switches[i], '=');
        if (std::strncmp(switches[i], "SCALE=", 6) == 0) {
            settings.glyphScale = std::atoi(switches[i] + 6);
            continue;
        }
        if (std::strncmp(switches[i], "TEXT=", 5) == 0) {
            settings.messageText.fill('\0');
            std::strncpy(settings.messageText.data(), switches[i] + 5,
                         settings.messageText.size() - 1);
            continue;
        }
        bool found = false;
        for (const Switch& candidate : known) {
            if (equals != nullptr &&
                std::strncmp(switches[i], candidate.name,
                             static_cast<size_t>(equals - switches[i])) == 0 &&
                std::strlen(candidate.name) == static_cast<size_t>(equals - switches[i])) {
                *candidate.flag = std::strcmp(equals + 1, "0") != 0;
                found = true;
            }
        }
        if (!found) {
            std::fprintf(stderr, "settings: unknown switch '%s'\n", switches[i]);
            return 2;
        }
    }
    if (!korvane::SaveSettings(settings)) {
        std::fprintf(stderr, "settings: the registry refused them\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "parent") == 0) {
        return RunParent(argv[2], std::atoi(argv[3]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "probe-fullscreen") == 0) {
        return ProbeFullScreen();
    }
    if (argc >= 2 && std::strcmp(argv[1], "describe") == 0) {
        return DescribeSaver();
    }
    if (argc >= 3 && std::strcmp(argv[1], "probe-preview") == 0) {
        return ProbePreview(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "close-window") == 0) {
        return CloseWindow(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "run") == 0) {
        return RunExactly(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "choose-code-only") == 0) {
        return ChooseCodeOnly(std::atoi(argv[2]));
    }
    if (argc >= 3 && std::strcmp(argv[1], "glyph-size") == 0) {
        return PrintGlyphSize(std::atoi(argv[2]));
    }
    if (argc >= 4 && std::strcmp(argv[1], "choose-glyph-size") == 0) {
        return ChooseGlyphSize(std::atoi(argv[2]), argv[3]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "restore-defaults") == 0) {
        return RestoreDefaults(std::atoi(argv[2]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "settings") == 0) {
        return StoreSettings(argc - 2, argv + 2);
    }
    if (argc >= 2 && std::strcmp(argv[1], "threads") == 0) {
        return ListSaverThreads();
    }
    std::fprintf(stderr,
                 "usage: e2e_helper parent|probe-fullscreen|probe-preview|close-window|run|"
                 "choose-code-only|glyph-size|choose-glyph-size|restore-defaults|settings|"
                 "threads ...\n");
    return 2;
}
