#include "Scaling.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace app {

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t divisor =
        denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    magnitude = (magnitude + divisor / 2) / divisor;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(result);
}

Rect ScaleRect(const Rect& rect, int numerator, int denominator) {
    const int left = MulDiv(rect.left, numerator, denominator);
    const int top = MulDiv(rect.top, numerator, denominator);
    const int right = MulDiv(rect.left + rect.width, numerator, denominator);
    const int bottom = MulDiv(rect.top + rect.height, numerator, denominator);
    return {left, top, right - left, bottom - top};
}

// Scaling by n/n changes nothing, so the design's own resolution and text
// height need no case of their own.
int FontHeightAt(const FormDesign& design, int screenDpi) {
    return MulDiv(design.fontHeight, screenDpi, design.designDpi);
}

namespace {

// The parent's position in the dialog, for a control that lies inside another.
Rect OffsetIntoDialog(const FormDesign& design, const ScaledForm& scaled,
                      const ControlDesign& control, Rect bounds) {
    for (std::size_t i = 0; control.parent && i < design.controls.size(); ++i) {
        if (std::strcmp(design.controls[i].name, control.parent) == 0) {
            bounds.left += scaled.bounds[i].left;
            bounds.top += scaled.bounds[i].top;
        }
    }
    return bounds;
}

} // namespace

ScaledForm ScaledFor(const FormDesign& design, int textHeight) {
    const int designed = design.designTextHeight;
    ScaledForm scaled{MulDiv(design.clientWidth, textHeight, designed),
                      MulDiv(design.clientHeight, textHeight, designed),
                      {}};
    for (const ControlDesign& control : design.controls) {
        const Rect bounds = ScaleRect(control.bounds, textHeight, designed);
        scaled.bounds.push_back(OffsetIntoDialog(design, scaled, control, bounds));
    }
    return scaled;
}

Point CentredPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    const int x = (screenWidth - windowWidth) / 2;
    const int y = (screenHeight - windowHeight) / 2;
    return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}

} // namespace app
