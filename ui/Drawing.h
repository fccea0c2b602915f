// Gradient backgrounds, the theme probe and icon buttons.
#pragma once

#include <windows.h>

#include "framework/Controls.h"

namespace ui {

constexpr int kGradientTopToBottom = 1;

// Fills `rect` line by line from `start` to `end`: horizontal lines from the
// top for direction 1, vertical lines from the left for any other value.
void DrawGradient(HDC dc, const RECT& rect, COLORREF start, COLORREF end, int direction);

// True when the application is drawn with visual themes; false also when the
// theme library or its entry point is missing.
bool QueryAppThemed();

// Puts icon `iconId` on an icon-only button: through an image list of
// `listSize` pixels when themed, else set directly on the button.
void SetupIconButton(fw::CButton& button, fw::CImageList& list, UINT iconId, int listSize);

// The button's image list: one image per button state (normal, hot,
// pressed, disabled, default, stylus hot), the disabled one faded to grey.
// With a single image the platform would show it unchanged when disabled.
bool CreateIconButtonImages(fw::CImageList& list, HICON icon, int listSize);

}  // namespace ui
