// The table in which our window procedures find their objects: bound from a window's very first
// message, one window per promise, never through window data, and gone with the window.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "win32/window_table_windows.h"

namespace korvane {
namespace {

struct Owner final : WindowOwner {
    std::vector<UINT> messages;  // what reached this owner, in order
};

UINT firstMessageSeen = 0;
bool refuseCreation = false;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (firstMessageSeen == 0) {
        firstMessageSeen = message;
    }
    if (Owner* owner = FindOwner<Owner>(window, reinterpret_cast<const void*>(&RecordingProc))) {
        owner->messages.push_back(message);
    }
    if (message == WM_NCDESTROY) {
        ForgetWindow(window);
    }
    if (message == WM_NCCREATE && refuseCreation) {
        return FALSE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK OtherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FindOwner<Owner>(window, reinterpret_cast<const void*>(&OtherProc));
    return DefWindowProcA(window, message, wParam, lParam);
}

const void* const kRecording = reinterpret_cast<const void*>(&RecordingProc);

class WindowTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        firstMessageSeen = 0;
        refuseCreation = false;
        for (const auto& [name, proc] :
             {std::pair{"TableRecording", &RecordingProc}, std::pair{"TableOther", &OtherProc}}) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = proc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass);  // fails harmlessly when registered
        }
    }
    void TearDown() override {
        for (HWND window : windows_) {
            DestroyWindow(window);
        }
        EXPECT_EQ(WindowsInTable(), 0u);
    }
    HWND Make(const char* className = "TableRecording") {
        HWND window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (window != nullptr) {
            windows_.push_back(window);
        }
        return window;
    }
    std::vector<HWND> windows_;
};

TEST_F(WindowTableTest, TheFirstMessageFindsItsOwnerAndForgedWindowDataChangesNothing) {
    Owner owner;
    HWND window = nullptr;
    {
        const PendingWindow promise(owner, kRecording);
        window = Make();
    }
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(owner.messages.empty());
    EXPECT_EQ(owner.messages.front(), firstMessageSeen);
    EXPECT_EQ(WindowsInTable(), 1u);

    Owner impostor;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&impostor));
    SendMessageA(window, WM_USER, 0, 0);
    EXPECT_TRUE(impostor.messages.empty());
    EXPECT_EQ(owner.messages.back(), static_cast<UINT>(WM_USER));

    DestroyWindow(window);
    windows_.clear();
    EXPECT_EQ(WindowsInTable(), 0u);
    EXPECT_EQ(FindWindowOwner(window, kRecording), nullptr);
}

TEST_F(WindowTableTest, OnePromiseIsOneWindowOfItsOwnProcedureAndLapsesWithItsScope) {
    Owner owner;
    {
        const PendingWindow promise(owner, kRecording);
        // Another procedure's window does not take the promise.
        ASSERT_NE(Make("TableOther"), nullptr);
        EXPECT_EQ(WindowsInTable(), 0u);
        ASSERT_NE(Make(), nullptr);
        const size_t seen = owner.messages.size();
        ASSERT_NE(Make(), nullptr);  // a second window finds no owner
        EXPECT_EQ(owner.messages.size(), seen);
        EXPECT_EQ(WindowsInTable(), 1u);
    }
    const size_t seen = owner.messages.size();
    ASSERT_NE(Make(), nullptr);
    EXPECT_EQ(owner.messages.size(), seen);
    EXPECT_EQ(WindowsInTable(), 1u);
}

TEST_F(WindowTableTest, AFailedCreationLeavesNothingAndAnOwnerThatGoesTakesItsWindowsOut) {
    {
        Owner owner;
        const PendingWindow promise(owner, kRecording);
        refuseCreation = true;
        EXPECT_EQ(Make(), nullptr);
        refuseCreation = false;
    }
    EXPECT_EQ(WindowsInTable(), 0u);
    ASSERT_NE(Make(), nullptr);
    EXPECT_EQ(WindowsInTable(), 0u);

    HWND window = nullptr;
    {
        Owner shortLived;
        const PendingWindow promise(shortLived, kRecording);
        window = Make();
        EXPECT_EQ(WindowsInTable(), 1u);
        // The window outlives its owner here.
    }
    EXPECT_EQ(WindowsInTable(), 0u);
    EXPECT_EQ(FindWindowOwner(window, kRecording), nullptr);
}

TEST_F(WindowTableTest, APromiseMadeInsideAnotherRestoresTheOuterOne) {
    Owner outer;
    Owner inner;
    const PendingWindow outerPromise(outer, kRecording);
    {
        const PendingWindow innerPromise(inner, kRecording);
        ASSERT_NE(Make(), nullptr);
    }
    ASSERT_NE(Make(), nullptr);
    EXPECT_FALSE(inner.messages.empty());
    EXPECT_FALSE(outer.messages.empty());
    EXPECT_EQ(WindowsInTable(), 2u);
}

}  // namespace
}  // namespace korvane
