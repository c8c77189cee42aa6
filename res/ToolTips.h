#pragma once

class QWidget;

namespace tavoren::res {

// Widest a tip grows before its lines wrap, in pixels.
inline constexpr int kMaxTipWidth = 300;

// Gives `control` the tooltip of string `stringId`, loaded in UiLanguage() each time the tip is
// about to show. An id without text in that language shows no tip. Stored line breaks are kept
// and lines wider than kMaxTipWidth wrap.
void AddToolTip(QWidget* control, int stringId);

}  // namespace tavoren::res
