#include "settings/config_dialog_windows.h"

#include <cstddef>
#include <exception>
#include <iterator>
#include <utility>

#include "resources/resource_ids.h"
#include "settings/registry_settings_store_windows.h"

namespace korvane {
namespace {

constexpr char kSaveFailedText[] = "The settings could not be saved.";

// Null for a dialog that was not opened on a whole context of ours.
ConfigDialogContext* ContextOf(HWND dialog) {
    auto* context =
        FindOwner<ConfigDialogContext>(dialog, reinterpret_cast<const void*>(&ConfigDialogProc));
    if (context == nullptr || context->settings == nullptr || context->store == nullptr) {
        return nullptr;
    }
    return context;
}

// Under the dialog's own title, so the user sees which window could not save.
void TellSaveFailed(HWND dialog) {
    char caption[128] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    MessageBoxA(dialog, kSaveFailedText, caption, MB_OK | MB_ICONERROR);
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetReadOnly(HWND dialog, int editId, bool readOnly) {
    SendDlgItemMessageA(dialog, editId, EM_SETREADONLY, readOnly ? 1 : 0, 0);
}

// The check box has just toggled itself. The flag follows the box rather than being
// inverted, so a notification that is not a toggle cannot set the two apart.
void FollowSequenceBox(HWND dialog, int checkId, int editId, bool& enabled) {
    enabled = IsChecked(dialog, checkId);
    SetReadOnly(dialog, editId, !enabled);
}

// In the order of the factors they stand for: an entry's index is the stored glyph size.
constexpr const char* kGlyphSizeEntries[] = {"Automatic", "1x", "2x", "3x", "4x"};
static_assert(std::size(kGlyphSizeEntries) == static_cast<std::size_t>(kLargestGlyphScale) + 1);

// A glyph size the list has no entry for shows, and is read, as automatic.
int32_t GlyphSizeEntry(LRESULT scale) {
    return scale >= kAutomaticGlyphScale && scale <= kLargestGlyphScale
               ? static_cast<int32_t>(scale)
               : kAutomaticGlyphScale;
}

void AddGlyphSizeEntries(HWND dialog) {
    for (const char* entry : kGlyphSizeEntries) {
        SendDlgItemMessageA(dialog, IDC_GLYPH_SIZE_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry));
    }
}

}  // namespace

void FillConfigControls(HWND dialog, const ShowSettings& settings) {
    SetDlgItemTextA(dialog, IDC_MESSAGE_EDIT, settings.messageText.data());
    SetDlgItemTextA(dialog, IDC_PHONE_EDIT, settings.phoneNumber.data());
    CheckDlgButton(dialog, IDC_TITLE_CHECK, settings.titleEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PHONE_CHECK, settings.phoneEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_MESSAGE_CHECK,
                   settings.messageEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CODE_CHECK, settings.codeEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SOUND_CHECK, settings.soundEnabled ? BST_CHECKED : BST_UNCHECKED);
    SetReadOnly(dialog, IDC_MESSAGE_EDIT, !settings.messageEnabled);
    SetReadOnly(dialog, IDC_PHONE_EDIT, !settings.phoneEnabled);
    SendDlgItemMessageA(dialog, IDC_GLYPH_SIZE_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(GlyphSizeEntry(settings.glyphScale)), 0);
}

void ReadConfigControls(HWND dialog, ShowSettings& settings) {
    settings.messageText.fill('\0');
    settings.phoneNumber.fill('\0');
    GetDlgItemTextA(dialog, IDC_MESSAGE_EDIT, settings.messageText.data(),
                    static_cast<int>(ShowSettings::kMessageCapacity));
    // The dialog stores at most ten characters: a limit of 11 leaves room for the zero.
    GetDlgItemTextA(dialog, IDC_PHONE_EDIT, settings.phoneNumber.data(), 11);
    settings.soundEnabled = IsChecked(dialog, IDC_SOUND_CHECK);
    settings.titleEnabled = IsChecked(dialog, IDC_TITLE_CHECK);
    settings.phoneEnabled = IsChecked(dialog, IDC_PHONE_CHECK);
    settings.messageEnabled = IsChecked(dialog, IDC_MESSAGE_CHECK);
    settings.codeEnabled = IsChecked(dialog, IDC_CODE_CHECK);
    // No selection reads CB_ERR, which is automatic too.
    settings.glyphScale =
        GlyphSizeEntry(SendDlgItemMessageA(dialog, IDC_GLYPH_SIZE_LIST, CB_GETCURSEL, 0, 0));
}

namespace {

INT_PTR HandleConfigMessage(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_INITDIALOG) {
        ConfigDialogContext* context = ContextOf(dialog);
        if (context == nullptr) {
            EndDialog(dialog, -1);  // opened without a record: nothing to edit
            return 1;
        }
        if (std::exchange(context->initialised, true)) {
            return 1;  // only the dialog's own creation loads the settings
        }
        AddGlyphSizeEntries(dialog);
        SetDefaultSettings(*context->settings);
        LoadSettings(*context->settings, *context->store);  // either way the record is complete
        FillConfigControls(dialog, *context->settings);
        return 1;
    }
    const ConfigDialogContext* context = ContextOf(dialog);
    if (context == nullptr) {
        return 0;
    }
    ShowSettings* settings = context->settings;
    switch (message) {
        case WM_CLOSE:
            EndDialog(dialog, 1);
            return 1;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_CONFIG_OK:
                    ReadConfigControls(dialog, *settings);
                    if (!SaveSettings(*settings, *context->store)) {
                        // Open still, so the user can try again or leave knowingly.
                        TellSaveFailed(dialog);
                        return 1;
                    }
                    EndDialog(dialog, 1);
                    return 1;
                case IDC_CONFIG_CANCEL:
                    EndDialog(dialog, 1);
                    return 1;
                case IDC_PHONE_CHECK:
                    FollowSequenceBox(dialog, IDC_PHONE_CHECK, IDC_PHONE_EDIT,
                                      settings->phoneEnabled);
                    return 0;
                case IDC_MESSAGE_CHECK:
                    FollowSequenceBox(dialog, IDC_MESSAGE_CHECK, IDC_MESSAGE_EDIT,
                                      settings->messageEnabled);
                    return 0;
                case IDC_RESTORE_DEFAULTS:
                    SetDefaultSettings(*settings);
                    FillConfigControls(dialog, *settings);
                    return 1;
                default:
                    // Includes IDCANCEL, which Escape sends: the dialog stays open.
                    return 0;
            }
        default:
            return 0;
    }
}

}  // namespace

// A C++ exception cannot unwind through the dialog manager's frames; it ends here and the
// dialog stays as it was.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    try {
        return HandleConfigMessage(dialog, message, wParam);
    } catch (const std::exception&) {
        return 0;
    }
}

BOOL RegisterDialogHook(HINSTANCE) {
    return TRUE;
}

INT_PTR ShowConfigDialog(HINSTANCE instance, HWND parent, ShowSettings& settings,
                         SettingsStore& store) {
    if (!RegisterDialogHook(instance)) {
        return 0;
    }
    ConfigDialogContext context(&settings, &store);
    const PendingWindow promise(context, reinterpret_cast<const void*>(&ConfigDialogProc));
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(KORVANE_CONFIG_DIALOG), parent,
                           ConfigDialogProc, reinterpret_cast<LPARAM>(&context));
}

INT_PTR ShowConfigDialog(HINSTANCE instance, HWND parent, ShowSettings& settings) {
    RegistrySettingsStore store;
    return ShowConfigDialog(instance, parent, settings, store);
}

}  // namespace korvane
