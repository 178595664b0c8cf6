// TFormMain: the "Associate with" dialog. It asks whether RAR archives are to be
// opened by the handler program, and carries out the answer with its
// association component when OK is pressed.
#pragma once

#include "Application.h"
#include "FormDesign.h"
#include "Outcome.h"
#include "Scaling.h"
#include "WinHandles.h"
#include "association/RegArchive.h"

#include <optional>

namespace app {

class TFormMain : public association::TComponent, private MessageFilter {
  public:
    explicit TFormMain(TApplication& application,
                       association::Platform platform = association::SystemPlatform());

    HWND Handle() const { return window_.get(); }
    // Shown where it was made: centred on the primary screen.
    void Show();
    // Ends the message loop; the dialog goes when the loop has ended.
    void Close();

    // The components of the design, in its order.
    association::TRegArchive* RegArchive = nullptr;
    HWND GroupBoxMain = nullptr;
    HWND CheckBoxRAR = nullptr;
    HWND ButtonOK = nullptr;
    HWND ButtonCancel = nullptr;
    HWND LabelInfo = nullptr;

    void FormCreate();
    void ButtonOKClick();
    void ButtonCancelClick();
    void RegArchiveAssociation(association::TComponent* Sender, const std::string& Appname,
                               bool& Cancel);

  private:
    bool PreTranslate(MSG& message) override;
    void CreateWindows(const FormDesign& design, int textHeight);
    void PlaceControls(const FormDesign& design, const ScaledForm& scaled);
    void ScaleTo(int dpi, const RECT& suggested);
    void ShowOutcome(const Outcome& outcome, const std::string& note = "");
    std::string UserChoiceNotes() const;
    std::string ReplaceableNote() const;
    void Click(int controlId);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TApplication& application_;
    association::Platform platform_;
    association::HivePlatform machine_; // the classes of platform_.applicationHive
    int startDpi_ = 96;
    bool declined_ = false;            // the question before registering was answered No
    std::optional<LOGFONTA> menuFont_; // as the system gave it, at startDpi_
    UniqueFont ownedFont_;             // the menu font, unless the stock font stands in
    HFONT font_ = nullptr;
    UniqueWindow window_;
};

} // namespace app
