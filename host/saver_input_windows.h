#pragma once

#include <windows.h>

namespace korvane {

// What a monitor cover needs of the saver window it stands beside: its input goes through the
// saver window's rules, and while a prompt is up the pointer must be seen everywhere.
class SaverInput {
  public:
    // An input message that reached a cover, under the saver window's rules.
    virtual LRESULT ReactToCoverInput(UINT message, WPARAM wParam) = 0;
    virtual bool PromptUp() const = 0;

  protected:
    ~SaverInput() = default;
};

}  // namespace korvane
