#pragma once

#include <windows.h>

namespace korvane {

// What a monitor cover needs of the saver window it stands beside: its input goes through the
// saver window's rules, while a prompt is up the pointer must be seen everywhere, and a change
// to a cover runs the check of the whole lock.
class SaverInput {
  public:
    // An input message that reached a cover, under the saver window's rules.
    virtual LRESULT ReactToCoverInput(UINT message, WPARAM wParam) = 0;
    virtual bool PromptUp() const = 0;
    virtual void CheckLock() = 0;

  protected:
    ~SaverInput() = default;
};

}  // namespace korvane
