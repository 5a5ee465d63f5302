#pragma once

#include <windows.h>

#include "settings/settings_store.h"
#include "settings/show_settings.h"
#include "win32/window_table_windows.h"

namespace korvane {

// What the dialog edits, and where it loads it from and saves it to.
struct ConfigDialogContext final : WindowOwner {
    ConfigDialogContext(ShowSettings* settings, SettingsStore* store)
        : settings(settings), store(store) {}

    ShowSettings* settings = nullptr;
    SettingsStore* store = nullptr;
    bool initialised = false;  // the first WM_INITDIALOG has filled the controls
};

// The dialog procedure of dialog 2003. WM_INITDIALOG's lParam is the ConfigDialogContext that
// ShowConfigDialog promised the dialog in the thread's window table; the procedure finds it
// there, never in window data. When OK cannot store the settings, a message box says so and
// the dialog stays open.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The record into the controls, and the controls back into the record.
void FillConfigControls(HWND dialog, const ShowSettings& settings);
void ReadConfigControls(HWND dialog, ShowSettings& settings);

// Called before the dialog is created; the saver has nothing to register and answers 1.
BOOL RegisterDialogHook(HINSTANCE instance);

// Runs the modal configuration dialog on `settings`, against `store`. Every way out of a shown
// dialog yields 1; DialogBoxParamA's own failure value is passed on, and 0 when the hook
// refuses.
INT_PTR ShowConfigDialog(HINSTANCE instance, HWND parent, ShowSettings& settings,
                         SettingsStore& store);
// The same against the current user's registry key.
INT_PTR ShowConfigDialog(HINSTANCE instance, HWND parent, ShowSettings& settings);

}  // namespace korvane
