// TApplication: the hidden application window that carries the taskbar button
// and owns the message boxes, and the message loop.
#pragma once

#include "MessageBoxApi.h"
#include "WinHandles.h"

#include <exception>
#include <string>

namespace app {

// Sees each message before it is translated and dispatched.
class MessageFilter {
  public:
    virtual ~MessageFilter() = default;
    virtual bool PreTranslate(MSG& message) = 0; // true: handled
};

class TApplication {
  public:
    // The title: the taskbar button's text and every box's caption.
    explicit TApplication(std::string title, MessageBoxApi& boxes = SystemMessageBoxes());
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    HWND Handle() const { return window_.get(); }
    const std::string& Title() const { return title_; }
    // The dialog: it closes when the application window is told to close.
    void SetMainForm(HWND form, MessageFilter* filter);

    // A message box owned by the application window, with the title as caption.
    void ShowText(const std::string& text, UINT icon);
    // A question in such a box, No the default: whether it was answered Yes.
    bool Ask(const std::string& question);
    // An error that escaped an event's code.
    void ShowException(const std::exception& error);

    // Runs the message loop until the quit message; returns its code.
    int Run();
    void ProcessMessage(MSG& message);

  private:
    class MessageBoxScope;
    // The box with these buttons and icon; its answer.
    int Box(const std::string& text, UINT buttonsAndIcon);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::string title_;
    MessageBoxApi& boxes_;
    UniqueWindow window_;
    HWND mainForm_ = nullptr;
    MessageFilter* filter_ = nullptr;
};

} // namespace app
