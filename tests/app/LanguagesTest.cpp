// Every language's table: each text there, with its placeholders, short enough
// for its control at 96 dpi in the dialog's font; English as it has always been.
#include "app/DialogTexts.h"
#include "app/FormDesign.h"
#include "app/Outcome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace app;

struct Language {
    const char* tag;
    LANGID id;
};

const Language Languages[] = {
    {"en-US", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
    {"de", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL)},
    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL)},
    {"es", MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL)},
    {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_NEUTRAL)},
    {"pt-BR", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)},
    {"nl", MAKELANGID(LANG_DUTCH, SUBLANG_NEUTRAL)},
    {"pl", MAKELANGID(LANG_POLISH, SUBLANG_NEUTRAL)},
    {"ru", MAKELANGID(LANG_RUSSIAN, SUBLANG_NEUTRAL)},
    {"tr", MAKELANGID(LANG_TURKISH, SUBLANG_NEUTRAL)},
    {"zh-CN", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)},
    {"zh-TW", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL)},
    {"ja", MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL)},
    {"ko", MAKELANGID(LANG_KOREAN, SUBLANG_NEUTRAL)},
    {"ar", MAKELANGID(LANG_ARABIC, SUBLANG_NEUTRAL)},
    {"he", MAKELANGID(LANG_HEBREW, SUBLANG_NEUTRAL)},
};

// The room a caption has inside its control, at 96 dpi: a push button's frame
// and focus rectangle, a group box's frame and the gap before its caption, and
// the title bar's icon-less start and its close box.
struct Room {
    unsigned id;
    int width;
};
const Room SingleLines[] = {
    {IDS_TITLE, 276 - 48}, {IDS_GROUP, 257 - 24}, {IDS_OK, 121 - 12}, {IDS_CANCEL, 121 - 12}};
constexpr int LabelWidth = 257, LabelHeight = 49;

class MeasuringFont {
  public:
    MeasuringFont() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        LOGFONTW font = metrics.lfMenuFont;
        font.lfHeight = ::MulDiv(font.lfHeight, 96, ::GetDeviceCaps(dc_, LOGPIXELSY));
        font_ = ::CreateFontIndirectW(&font);
        previous_ = ::SelectObject(dc_, font_);
    }
    ~MeasuringFont() {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(font_);
        ::DeleteDC(dc_);
    }
    SIZE Wrapped(const std::wstring& text, int width) {
        RECT box{0, 0, width, 0};
        ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &box,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return {box.right, box.bottom};
    }

  private:
    HDC dc_ = ::CreateCompatibleDC(nullptr);
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST(Languages, EveryTextIsThereWithItsPlaceholdersAndFitsItsControl) {
    MeasuringFont font;
    for (const Language& language : Languages) {
        SCOPED_TRACE(language.tag);
        for (unsigned id = 1; id <= IDS_LAST; ++id) {
            const std::wstring text = TableText(id, language.id);
            EXPECT_FALSE(text.empty()) << id;
            const bool takesArguments = id == IDS_USER_CHOICE_NOTE;
            EXPECT_EQ(takesArguments, text.find(L"%1") != std::wstring::npos) << id;
            EXPECT_EQ(takesArguments, text.find(L"%2") != std::wstring::npos) << id;
            EXPECT_EQ(std::wstring::npos, text.find(L"%3")) << id;
        }
        for (const Room& room : SingleLines) {
            const std::wstring text = TableText(room.id, language.id);
            EXPECT_EQ(std::wstring::npos, text.find(L'&')) << "no accelerator: " << room.id;
            EXPECT_LE(font.Wrapped(text, 10000).cx, room.width) << room.id;
        }
        EXPECT_LE(font.Wrapped(TableText(IDS_LABEL, language.id), LabelWidth).cy, LabelHeight);
        const bool rightToLeft =
            PRIMARYLANGID(language.id) == LANG_ARABIC || PRIMARYLANGID(language.id) == LANG_HEBREW;
        EXPECT_EQ(rightToLeft ? L"rtl" : L"ltr", TableText(IDS_READING_ORDER, language.id));
    }
}

TEST(Languages, EnglishIsTheTextsAsTheyHaveAlwaysBeen) {
    const LANGID english = Languages[0].id;
    const auto text = [&](unsigned id) { return TableText(id, english); };
    EXPECT_EQ(L"Associate with", text(MainFormDesign().captionId));
    EXPECT_EQ(L"Associate with", text(IDS_GROUP));
    EXPECT_EQ(L"OK", text(IDS_OK));
    EXPECT_EQ(L"Cancel", text(IDS_CANCEL));
    EXPECT_EQ(L"The option control this app integration into Windows. This option allows to "
              L"choose archive types to handle by the app.",
              text(IDS_LABEL));
    using association::AssociationResult;
    const struct {
        AssociationResult result;
        const wchar_t* text;
    } outcomes[] = {
        {AssociationResult::Registered,
         L"Associations with this application have been registered."},
        {AssociationResult::AlreadyAssociated,
         L"All extensions already associated with this application."},
        {AssociationResult::EventNotSet, L"OnAssociation event not set."},
        {AssociationResult::Cancelled, L"User canceled."},
        {AssociationResult::DesignMode, L"Component in design mode."},
        {AssociationResult::Failed, L"Associations with this application could not be registered."},
    };
    for (const auto& outcome : outcomes) {
        EXPECT_EQ(outcome.text, text(RegistrationOutcome(outcome.result)->textId));
    }
    EXPECT_EQ(L"Associations with this application have been removed",
              text(RemovalOutcome(true).textId));
    EXPECT_EQ(L"Associations with this application could not be removed.",
              text(RemovalOutcome(false).textId));
    EXPECT_EQ(L"An unexpected error ended the program.", text(IDS_FATAL_ERROR));
    // The tests run in English: the loader's choice is this table.
    EXPECT_EQ("User canceled.", DialogText(IDS_CANCELLED));
    EXPECT_FALSE(TextsReadRightToLeft());
}

} // namespace
