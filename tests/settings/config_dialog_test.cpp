// Drives the real configuration dialog from inside the test: a thread timer, set before the
// modal loop starts, runs one scripted step per tick against the dialog window.
#include "settings/config_dialog_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/memory_settings_store.h"
#include "settings/registry_settings_store_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

constexpr char kDialogTitle[] = "The Korvane Screensaver Configuration";
using Step = std::function<void(HWND dialog)>;

struct DialogScript {
    std::vector<Step> steps;
    std::size_t next = 0;
    int idleTicks = 0;
    bool forcedEnd = false;
};
DialogScript* activeScript = nullptr;  // the timer callback has no context of its own

struct DialogSearch {
    HWND owner = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK KeepOwnedDialog(HWND window, LPARAM out) {
    auto* search = reinterpret_cast<DialogSearch*>(out);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// This thread's window of the dialog class that `owner` owns: with no owner the configuration
// dialog, with the dialog a message box over it.
HWND FindDialogOwnedBy(HWND owner) {
    DialogSearch search{owner};
    EnumThreadWindows(GetCurrentThreadId(), KeepOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK OnScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindDialogOwnedBy(nullptr);
    if (dialog == nullptr || activeScript == nullptr) {
        return;
    }
    if (activeScript->next < activeScript->steps.size()) {
        activeScript->steps[activeScript->next++](dialog);
        return;
    }
    // The script is done but the dialog is still up: end it so the test fails, not hangs.
    if (++activeScript->idleTicks > 50) {
        activeScript->forcedEnd = true;
        EndDialog(dialog, 99);
    }
}

// Runs the dialog against `store`, or the registry when none is given.
INT_PTR RunDialog(ShowSettings& settings, std::vector<Step> steps, SettingsStore* store = nullptr) {
    DialogScript script{std::move(steps)};
    activeScript = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnScriptTick);
    const INT_PTR result =
        store != nullptr ? ShowConfigDialog(GetModuleHandleA(nullptr), nullptr, settings, *store)
                         : ShowConfigDialog(GetModuleHandleA(nullptr), nullptr, settings);
    KillTimer(nullptr, timer);
    activeScript = nullptr;
    EXPECT_EQ(script.next, script.steps.size()) << "the dialog closed before the script ended";
    EXPECT_FALSE(script.forcedEnd) << "the dialog stayed open after the script ended";
    return result;
}

void Click(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

std::string ItemText(HWND dialog, int id) {
    char text[2048] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool IsReadOnly(HWND dialog, int id) {
    return (GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0;
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::string Text(const auto& buffer) {
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// The glyph size list's entries, and the one it shows.
std::vector<std::string> GlyphSizeEntries(HWND dialog) {
    std::vector<std::string> entries;
    const LRESULT count = SendDlgItemMessageA(dialog, IDC_GLYPH_SIZE_LIST, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[32] = {};
        SendDlgItemMessageA(dialog, IDC_GLYPH_SIZE_LIST, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}
std::string ShownGlyphSize(HWND dialog) {
    return ItemText(dialog, IDC_GLYPH_SIZE_LIST);
}

// Picks an entry as the user's choice in the list does: the selection, then the list's word
// to the dialog.
void ChooseGlyphSize(HWND dialog, int entry) {
    HWND list = GetDlgItem(dialog, IDC_GLYPH_SIZE_LIST);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_GLYPH_SIZE_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

bool KeyExists() {
    ScopedRegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS) {
        return false;
    }
    return true;
}

// The stored DWORD `name`, or nothing when it is missing or of another type.
std::optional<DWORD> StoredDword(const char* name) {
    ScopedRegistryKey key;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, key.Receive()) !=
            ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

ShowSettings StoredSettings() {
    ShowSettings settings;
    SetDefaultSettings(settings);
    EXPECT_TRUE(LoadSettings(settings)) << "nothing stored";
    return settings;
}

// Stored options that differ from the defaults: both sequences with text boxes off.
ShowSettings SaveOddSettings() {
    ShowSettings settings;
    SetDefaultSettings(settings);
    settings.phoneEnabled = false;
    settings.messageEnabled = false;
    settings.soundEnabled = false;
    std::strcpy(settings.messageText.data(), "stored");
    std::strcpy(settings.phoneNumber.data(), "42");
    EXPECT_TRUE(SaveSettings(settings));
    return settings;
}

class ConfigDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath); }
    ShowSettings settings_;
};

TEST_F(ConfigDialogTest, OpensWithDefaultsAndCancelStoresNothing) {
    bool allChecked = false, writable = false;
    std::string message, number;
    const INT_PTR result = RunDialog(settings_, {[&](HWND d) {
                                                     allChecked = Checked(d, IDC_TITLE_CHECK) &&
                                                                  Checked(d, IDC_PHONE_CHECK) &&
                                                                  Checked(d, IDC_MESSAGE_CHECK) &&
                                                                  Checked(d, IDC_CODE_CHECK) &&
                                                                  Checked(d, IDC_SOUND_CHECK);
                                                     writable = !IsReadOnly(d, IDC_MESSAGE_EDIT) &&
                                                                !IsReadOnly(d, IDC_PHONE_EDIT);
                                                     message = ItemText(d, IDC_MESSAGE_EDIT);
                                                     number = ItemText(d, IDC_PHONE_EDIT);
                                                 },
                                                 [](HWND d) { Click(d, IDC_CONFIG_CANCEL); }});
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(allChecked);
    EXPECT_TRUE(writable);
    EXPECT_EQ(message, kDefaultMessage);
    EXPECT_EQ(number, "3525550690");
    EXPECT_FALSE(KeyExists());
}

TEST_F(ConfigDialogTest, CheckBoxesToggleTheirEditBoxesReadOnly) {
    SaveOddSettings();
    std::vector<bool> phoneReadOnly, messageReadOnly;
    const auto look = [&](HWND d) {
        phoneReadOnly.push_back(IsReadOnly(d, IDC_PHONE_EDIT));
        messageReadOnly.push_back(IsReadOnly(d, IDC_MESSAGE_EDIT));
    };
    RunDialog(settings_, {look,
                          [](HWND d) {
                              Click(d, IDC_PHONE_CHECK);
                              Click(d, IDC_MESSAGE_CHECK);
                          },
                          look, [](HWND d) { Click(d, IDC_PHONE_CHECK); }, look,
                          [](HWND d) { Click(d, IDC_CONFIG_CANCEL); }});
    EXPECT_EQ(phoneReadOnly, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(messageReadOnly, (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(settings_.phoneEnabled);  // the record follows the box at once
    EXPECT_TRUE(settings_.messageEnabled);
    EXPECT_FALSE(StoredSettings().messageEnabled);  // but nothing is stored without OK
}

TEST_F(ConfigDialogTest, RestoreDefaultsFillsControlsButStoresNothing) {
    SaveOddSettings();
    bool openedWithStored = false, restored = false;
    RunDialog(settings_,
              {[&](HWND d) {
                   openedWithStored = ItemText(d, IDC_PHONE_EDIT) == "42" &&
                                      !Checked(d, IDC_SOUND_CHECK) && Checked(d, IDC_CODE_CHECK);
               },
               [](HWND d) { Click(d, IDC_RESTORE_DEFAULTS); },
               [&](HWND d) {
                   restored = ItemText(d, IDC_PHONE_EDIT) == "3525550690" &&
                              ItemText(d, IDC_MESSAGE_EDIT) == kDefaultMessage &&
                              Checked(d, IDC_SOUND_CHECK) && Checked(d, IDC_PHONE_CHECK) &&
                              Checked(d, IDC_MESSAGE_CHECK) && !IsReadOnly(d, IDC_PHONE_EDIT) &&
                              !IsReadOnly(d, IDC_MESSAGE_EDIT);
               },
               [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_TRUE(openedWithStored);
    EXPECT_TRUE(restored);
    const ShowSettings stored = StoredSettings();
    EXPECT_EQ(Text(stored.phoneNumber), "42");
    EXPECT_FALSE(stored.soundEnabled);
}

TEST_F(ConfigDialogTest, OkStoresTheControlsWithTypedLinesAndTenDigits) {
    const auto typeLines = [](HWND d) {
        HWND edit = GetDlgItem(d, IDC_MESSAGE_EDIT);
        SetDlgItemTextA(d, IDC_MESSAGE_EDIT, "");
        SetFocus(edit);
        for (char c : std::string("Wake")) {
            PostMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
        }
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    };
    // A later tick: the Enter key's character is queued only when its key-down is handled.
    const auto typeSecondLine = [](HWND d) {
        for (char c : std::string("up")) {
            PostMessageA(GetDlgItem(d, IDC_MESSAGE_EDIT), WM_CHAR, static_cast<WPARAM>(c), 1);
        }
    };
    RunDialog(settings_, {typeLines, typeSecondLine,
                          [](HWND d) {
                              SetDlgItemTextA(d, IDC_PHONE_EDIT, "123456789012");
                              Click(d, IDC_SOUND_CHECK);
                              Click(d, IDC_TITLE_CHECK);
                          },
                          [](HWND d) { Click(d, IDC_CONFIG_OK); }});
    const ShowSettings stored = StoredSettings();
    EXPECT_EQ(Text(stored.messageText), "Wake\r\nup");
    EXPECT_EQ(Text(stored.phoneNumber), "1234567890");
    EXPECT_FALSE(stored.soundEnabled);
    EXPECT_FALSE(stored.titleEnabled);
    EXPECT_TRUE(stored.phoneEnabled && stored.messageEnabled && stored.codeEnabled);
    ScopedRegistryKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, key.Receive()),
              ERROR_SUCCESS);
    DWORD face = 0, size = sizeof face, type = 0;
    EXPECT_EQ(
        RegQueryValueExA(key.get(), "FACE", nullptr, &type, reinterpret_cast<BYTE*>(&face), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(face, 1u);
}

TEST_F(ConfigDialogTest, EscapeLeavesTheDialogOpenAndTheCloseBoxStoresNothing) {
    bool openAfterEscape = false;
    RunDialog(settings_, {[](HWND d) {
                              SetDlgItemTextA(d, IDC_PHONE_EDIT, "999");
                              HWND focus = GetFocus();
                              PostMessageA(focus ? focus : d, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                              PostMessageA(focus ? focus : d, WM_KEYUP, VK_ESCAPE, 0xC0010001);
                          },
                          [](HWND d) { SendMessageA(d, WM_COMMAND, IDCANCEL, 0); },
                          [&](HWND d) { openAfterEscape = IsWindowVisible(d); },
                          [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_TRUE(openAfterEscape);
    EXPECT_FALSE(KeyExists());
}

// OK against a store that keeps nothing, whether one value or the whole key is refused: a
// message box under the dialog's title says so, and the dialog stays open for another try.
TEST_F(ConfigDialogTest, OkThatCannotStoreSaysSoAndLeavesTheDialogOpen) {
    MemorySettingsStore refusesNumber;
    refusesNumber.refusedWrites = {"TELNO"};
    MemorySettingsStore refusesKey;
    refusesKey.keyCreatable = false;
    for (MemorySettingsStore* store : {&refusesNumber, &refusesKey}) {
        std::string caption, text;
        bool openAfterBox = false;
        const INT_PTR result = RunDialog(
            settings_,
            {[](HWND d) {
                 SetDlgItemTextA(d, IDC_PHONE_EDIT, "5550100");
                 PostMessageA(d, WM_COMMAND, IDC_CONFIG_OK, 0);
             },
             // The box's own modal loop runs this tick.
             [&](HWND d) {
                 HWND box = FindDialogOwnedBy(d);
                 if (box == nullptr) {
                     return;
                 }
                 char title[128] = {};
                 GetWindowTextA(box, title, sizeof title);
                 caption = title;
                 text = ItemText(box, 0xFFFF);  // a message box's text
                 PostMessageA(box, WM_COMMAND, IDOK, 0);
             },
             [&](HWND d) { openAfterBox = IsWindowVisible(d) && FindDialogOwnedBy(d) == nullptr; },
             [](HWND d) { Click(d, IDC_CONFIG_CANCEL); }},
            store);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(caption, kDialogTitle);
        EXPECT_EQ(text, "The settings could not be saved.");
        EXPECT_TRUE(openAfterBox);
        EXPECT_FALSE(store->values.contains("TELNO"));
    }
    EXPECT_FALSE(KeyExists());  // the given store, never the registry
}

// 3x chosen and stored; shown again on the next opening; "Restore defaults" shows Automatic
// without storing it; a stored size the list has no entry for shows Automatic.
TEST_F(ConfigDialogTest, GlyphSizeRoundTripsThroughTheRegistry) {
    std::vector<std::string> entries;
    std::string first;
    bool inside = false;
    RunDialog(settings_,
              {[&](HWND d) {
                   entries = GlyphSizeEntries(d);
                   first = ShownGlyphSize(d);
                   // The dialog grew to hold the list: its closed box lies inside.
                   RECT list{}, client{};
                   GetWindowRect(GetDlgItem(d, IDC_GLYPH_SIZE_LIST), &list);
                   MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&list), 2);
                   GetClientRect(d, &client);
                   inside = list.bottom <= client.bottom && list.right <= client.right;
               },
               [](HWND d) { ChooseGlyphSize(d, 3); }, [](HWND d) { Click(d, IDC_CONFIG_OK); }});
    EXPECT_EQ(entries, (std::vector<std::string>{"Automatic", "1x", "2x", "3x", "4x"}));
    EXPECT_EQ(first, "Automatic");
    EXPECT_TRUE(inside);
    EXPECT_EQ(StoredDword("SCALE"), 3u);

    std::string reopened, restored;
    RunDialog(settings_, {[&](HWND d) { reopened = ShownGlyphSize(d); },
                          [](HWND d) { Click(d, IDC_RESTORE_DEFAULTS); },
                          [&](HWND d) { restored = ShownGlyphSize(d); },
                          [](HWND d) { Click(d, IDC_CONFIG_CANCEL); }});
    EXPECT_EQ(reopened, "3x");
    EXPECT_EQ(restored, "Automatic");
    EXPECT_EQ(StoredDword("SCALE"), 3u);

    // Everything else stored stays; only the size is out of range.
    const ShowSettings odd = SaveOddSettings();
    ScopedRegistryKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_SET_VALUE, key.Receive()),
              ERROR_SUCCESS);
    const DWORD nine = 9;
    ASSERT_EQ(RegSetValueExA(key.get(), "SCALE", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nine),
                             sizeof nine),
              ERROR_SUCCESS);
    std::string fromNine, number, fromRecord;
    RunDialog(settings_, {[&](HWND d) {
                              fromNine = ShownGlyphSize(d);
                              number = ItemText(d, IDC_PHONE_EDIT);
                              // A record that never came through the store shows the same.
                              ShowSettings outOfRange = odd;
                              outOfRange.glyphScale = 5;
                              FillConfigControls(d, outOfRange);
                              fromRecord = ShownGlyphSize(d);
                          },
                          [](HWND d) { Click(d, IDC_CONFIG_CANCEL); }});
    EXPECT_EQ(fromNine, "Automatic");
    EXPECT_EQ(number, Text(odd.phoneNumber));
    EXPECT_EQ(fromRecord, "Automatic");
}

// A 24-bit picture of the dialog as it stands on the screen, caption and frame included.
bool CaptureWindow(HWND window, const char* path, LONG& width, LONG& height) {
    RECT rect{};
    GetWindowRect(window, &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const WindowDc screen(nullptr);
    const MemoryDc memory(screen.get());
    const GdiObject<HBITMAP> bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const SelectedObject selected(memory.get(), bitmap.get());
    const bool copied =
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    bool written = false;
    if (FILE* out = std::fopen(path, "wb")) {
        written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                  std::fwrite(bits, imageSize, 1, out) == 1;
        written = std::fclose(out) == 0 && written;
    }
    return copied && written;
}

TEST_F(ConfigDialogTest, ScreenshotShowsTheTitledDialogWithItsBanner) {
    const char* path = "config-dialog.bmp";
    std::remove(path);
    std::string title;
    LONG width = 0, height = 0;
    bool captured = false;
    RunDialog(settings_,
              {[](HWND d) { RedrawWindow(d, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); },
               [](HWND) {},
               [&](HWND d) {
                   char text[128] = {};
                   GetWindowTextA(d, text, sizeof text);
                   title = text;
                   captured = CaptureWindow(d, path, width, height);
               },
               [](HWND d) { Click(d, IDC_CONFIG_CANCEL); }});
    EXPECT_EQ(title, kDialogTitle);
    ASSERT_TRUE(captured);

    // The file is what was captured, and it is the size of a 354 x 226 unit dialog with
    // its frame: wider than tall, and far larger than a few pixels.
    FILE* in = std::fopen(path, "rb");
    ASSERT_NE(in, nullptr);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    ASSERT_EQ(std::fread(&file, sizeof file, 1, in), 1u);
    ASSERT_EQ(std::fread(&header, sizeof header, 1, in), 1u);
    std::vector<unsigned char> pixels(file.bfSize - file.bfOffBits);
    ASSERT_EQ(std::fread(pixels.data(), pixels.size(), 1, in), 1u);
    std::fclose(in);
    EXPECT_EQ(header.biWidth, width);
    EXPECT_EQ(header.biHeight, height);
    EXPECT_GT(width, 400);
    EXPECT_GT(height, 250);
    EXPECT_GT(width, height);

    // The banner at the top is a picture, not the plain dialog face: many colours there.
    const LONG stride = ((width * 3 + 3) / 4) * 4;
    std::set<unsigned long> colours;
    for (LONG y = height - 90; y < height - 40; ++y) {
        for (LONG x = 20; x < width - 20; ++x) {
            const unsigned char* p = &pixels[y * stride + x * 3];
            colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
        }
    }
    EXPECT_GT(colours.size(), 8u) << "no banner in the top of the dialog";
}

}  // namespace
}  // namespace korvane
