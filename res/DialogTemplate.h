#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <span>

#include "res/StringTable.h"

// The dialog templates: layouts in dialog units of the template's font, per language.
namespace tavoren::res {

enum class ControlKind {
    Label,     // left-aligned static text
    GroupBox,  // frame with a title; does not own the controls inside it
    PushButton,
    DefaultPushButton,  // the dialog's default button
    AutoCheckBox,
    AutoRadioButton,  // exclusive within its radio group (see control_style::kGroup)
    DropDownList,     // non-editable combo box; the template height includes the open list
    TrackBar,
    TabControl,
    Icon,    // shows the application icon
    Custom,  // made by the factory registered for ControlTemplate::className
};

namespace control_style {
inline constexpr unsigned kTabStop = 1u << 0;   // reached with Tab
inline constexpr unsigned kGroup = 1u << 1;     // starts a group (radio groups end at the next)
inline constexpr unsigned kHidden = 1u << 2;    // created without the visible flag
inline constexpr unsigned kDisabled = 1u << 3;  // created disabled
inline constexpr unsigned kTransparent = 1u << 4;
inline constexpr unsigned kNoPrefix = 1u << 5;            // label shows '&' as typed
inline constexpr unsigned kSorted = 1u << 6;              // drop-down list keeps its items sorted
inline constexpr unsigned kOwnerDrawFixedTabs = 1u << 7;  // the owner draws the tab texts
inline constexpr unsigned kMultiLineTabs = 1u << 8;
inline constexpr unsigned kFocusOnButtonDown = 1u << 9;  // tab control takes focus on click
inline constexpr unsigned kThumbBoth = 1u << 10;         // track bar thumb points both ways
inline constexpr unsigned kNoTicks = 1u << 11;           // track bar without tick marks
}  // namespace control_style

namespace dialog_style {
inline constexpr unsigned kPopup = 1u << 0;  // a top-level window
inline constexpr unsigned kChild = 1u << 1;  // a page laid over its parent
inline constexpr unsigned kVisible = 1u << 2;
inline constexpr unsigned kCaption = 1u << 3;
inline constexpr unsigned kSystemMenu = 1u << 4;
inline constexpr unsigned kModalFrame = 1u << 5;
inline constexpr unsigned kAppWindow = 1u << 6;  // has its own taskbar button
inline constexpr unsigned kTransparent = 1u << 7;
}  // namespace dialog_style

struct DialogFont {
    const char* face;
    int pointSize;
    int weight;      // 0: unspecified, else 100..900 (400 normal)
    bool shellFont;  // always the system's user-interface font, whatever the face
};

struct ControlTemplate {
    int id;  // -1: never addressed by the code
    ControlKind kind;
    unsigned style;         // control_style flags
    QRect rect;             // dialog units
    const char* text;       // UTF-8; nullptr when the control has no text
    const char* className;  // ControlKind::Custom only

    bool Has(unsigned flag) const { return (style & flag) != 0; }
};

struct DialogTemplate {
    int id;
    Language language;  // language of this variant (Japanese for Japanese-only templates)
    unsigned style;     // dialog_style flags
    QPoint origin;      // position in the parent's client area, dialog units of this template
    QSize size;         // client size, dialog units
    const char* title;  // UTF-8; nullptr for pages
    DialogFont font;
    std::span<const ControlTemplate> controls;  // template order, which is the tab order

    bool Has(unsigned flag) const { return (style & flag) != 0; }
};

// Template ids.
inline constexpr int kAboutTemplate = 100;
inline constexpr int kMainWindowTemplate = 102;
inline constexpr int kStatusPageTemplate = 130;
inline constexpr int kUtilityPageTemplate = 131;
inline constexpr int kLedPageTemplate = 132;
inline constexpr int kSettingPageTemplate = 135;

// The variant of template `id` for `language`; a template that exists only in Japanese is
// returned for both languages. `id` must be one of the ids above.
const DialogTemplate& FindTemplate(int id, Language language);

}  // namespace tavoren::res
