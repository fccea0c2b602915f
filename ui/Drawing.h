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

// Puts icon `iconId`, 16 pixels at 96 DPI, on an icon-only button at `dpi`:
// through an image list of `listSize` pixels at 96 DPI when themed, else
// set directly on the button. Called again at another DPI, it replaces both.
void SetupIconButton(fw::CButton& button, fw::CImageList& list, UINT iconId, int listSize, int dpi);

// The button's image list: one image per button state (normal, hot,
// pressed, disabled, default, stylus hot), the disabled one faded to grey.
// With a single image the platform would show it unchanged when disabled.
// The icon keeps its own `iconSize` in the middle of each `listSize` image:
// the list would stretch it.
bool CreateIconButtonImages(fw::CImageList& list, HICON icon, int iconSize, int listSize);

}  // namespace ui
