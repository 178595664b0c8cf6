// Fitting the stored design to the screen: scaling by resolution and by text
// height, and centring on the primary screen.
#pragma once

#include "FormDesign.h"

namespace app {

// number * numerator / denominator, rounded half away from zero; -1 when the
// denominator is 0 or the result does not fit, as the platform's MulDiv.
int MulDiv(int number, int numerator, int denominator);

// Scales the edges and takes width and height as their differences.
Rect ScaleRect(const Rect& rect, int numerator, int denominator);

// The designed font height at the screen's resolution.
int FontHeightAt(const FormDesign& design, int screenDpi);

struct ScaledForm {
    int clientWidth, clientHeight;
    std::vector<Rect> bounds; // per control, relative to the dialog's client area
};

// The dialog scaled for a font whose "0" is textHeight pixels high; controls inside
// another control are placed relative to the dialog.
ScaledForm ScaledFor(const FormDesign& design, int textHeight);

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

// The window centred on the screen, never left of or above its corner.
Point CentredPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

} // namespace app
