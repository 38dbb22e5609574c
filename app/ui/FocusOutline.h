#pragma once

// Showing the keyboard focus: marks that stand out from what they are drawn
// beside, and the focus kept in view in a scrolling area.

#include <QColor>

#include <initializer_list>

class QAbstractButton;
class QScrollArea;
class QString;

namespace Tessivo::ui {

// The contrast ratio of two opaque colours by their relative luminance in
// sRGB, from 1 (the same) to 21 (black and white).
double contrastRatio(const QColor& a, const QColor& b);

// A focus mark needs a contrast of 3:1 against each colour beside it. This
// is `preferred` when it has that, otherwise `preferred` made darker or
// lighter only as far as needed; the colour that comes closest when none
// can.
QColor focusMarkColour(const QColor& preferred, std::initializer_list<QColor> beside);

// A borderless button draws no bevel, so the style has nowhere to show the
// keyboard focus. This gives it an outline in the accent colour, made to
// stand out from the window and the button's text, while it has the focus;
// a transparent border of the same width holds its place otherwise, so
// nothing moves. `padding` is the style-sheet padding inside the outline
// ("2px 0px"). The button, already in its parent, follows the parent's
// palette whenever that changes (its own palette is the parent's).
void outlineKeyboardFocus(QAbstractButton& button, const QString& padding);

// Scrolls `area` so that a control inside it that receives the focus from
// the keyboard (Tab, Shift+Tab, arrows, mnemonics) is in view, however the
// focus came in. Qt does so only for Tab pressed inside the area. A click
// scrolls nothing: the control is where the pointer is.
void keepFocusInView(QScrollArea& area);

} // namespace Tessivo::ui
