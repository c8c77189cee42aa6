#include <QtGlobal>
#include <iterator>

#include "res/DialogTemplate.h"

namespace tavoren::res {
namespace {

using enum ControlKind;
using namespace control_style;

constexpr DialogFont kUiGothic9{"MS UI Gothic", 9, 0, false};
constexpr DialogFont kShellDlg8{"MS Shell Dlg", 8, 400, true};

constexpr unsigned kPopupDialog = dialog_style::kPopup | dialog_style::kCaption |
                                  dialog_style::kSystemMenu | dialog_style::kModalFrame;
constexpr unsigned kMainDialog = kPopupDialog | dialog_style::kVisible | dialog_style::kAppWindow;
constexpr QPoint kPageOrigin{12, 40};
constexpr unsigned kTrackBarStyle = kThumbBoth | kNoTicks;

constexpr char kVersionLine[] = "Tavoren BD Drive Utility, Version 1.2.0.003";
constexpr char kCopyrightLine[] = "Copyright (C) 2026 Tavoren developers";

// clang-format off
const ControlTemplate kAboutEnglish[] = {
    {-1, Icon, 0, {14, 14, 20, 20}, nullptr, nullptr},
    {-1, Label, kGroup | kNoPrefix, {42, 14, 123, 8}, kVersionLine, nullptr},
    {-1, Label, kGroup, {42, 26, 165, 8}, kCopyrightLine, nullptr},
    {1, DefaultPushButton, kGroup | kTabStop, {159, 42, 50, 14}, "OK", nullptr},
};
const ControlTemplate kAboutJapanese[] = {
    {-1, Icon, 0, {14, 14, 20, 20}, nullptr, nullptr},
    {-1, Label, kGroup | kNoPrefix, {42, 14, 126, 8}, kVersionLine, nullptr},
    {-1, Label, kGroup, {42, 26, 165, 8}, kCopyrightLine, nullptr},
    {1, DefaultPushButton, kGroup | kTabStop, {159, 42, 50, 14}, "OK", nullptr},
};

const ControlTemplate kMainEnglish[] = {
    {1000, DropDownList, kSorted | kTabStop, {7, 7, 192, 43}, nullptr, nullptr},
    {1001, TabControl, 0, {7, 33, 192, 202}, nullptr, nullptr},
    {1051, Label, kGroup, {27, 81, 150, 45}, "", nullptr},
};
const ControlTemplate kMainJapanese[] = {
    {1000, DropDownList, kSorted | kTabStop, {7, 7, 192, 43}, nullptr, nullptr},
    {1001, TabControl, kOwnerDrawFixedTabs | kMultiLineTabs | kFocusOnButtonDown,
     {9, 33, 192, 201}, nullptr, nullptr},
    {1051, Label, kGroup, {27, 81, 150, 45}, "", nullptr},
};

const ControlTemplate kStatusPage[] = {
    {-1, GroupBox, 0, {7, 7, 200, 90}, "Veritrax", nullptr},
    {-1, Label, kGroup | kTransparent, {15, 23, 48, 8}, "Error Indicator", nullptr},
    {-1, Label, kGroup, {15, 40, 61, 8}, "転送されたセクタ数", nullptr},
    {-1, Label, kGroup, {191, 40, 8, 8}, "0", nullptr},
    {-1, Label, kGroup, {15, 55, 98, 8}, "最後に転送されたセクタの時間", nullptr},
    {-1, Label, kGroup, {166, 55, 30, 8}, "00:00:00", nullptr},
    {1013, PushButton, kTabStop, {149, 76, 50, 14}, "Clear", nullptr},
    {1022, Custom, kTabStop, {119, 21, 80, 11}, "カスタム1", "CErrorIndicator"},
};

const ControlTemplate kUtilityEnglish[] = {
    {1038, GroupBox, 0, {7, 7, 200, 38}, "", nullptr},
    {1026, PushButton, kTabStop, {16, 21, 84, 14}, "", nullptr},
    {1015, PushButton, kTabStop, {15, 60, 120, 14}, "", nullptr},
    {1039, GroupBox, 0, {7, 48, 200, 36}, "", nullptr},
    {1027, Label, kGroup, {123, 24, 75, 8}, "", nullptr},
    {1041, Label, kGroup, {135, 33, 57, 9}, "", nullptr},
    {1043, PushButton, kTabStop, {75, 143, 129, 14}, "", nullptr},
};
const ControlTemplate kUtilityJapanese[] = {
    {1027, Label, kGroup, {123, 24, 75, 8}, "", nullptr},
    {1041, Label, kGroup, {135, 33, 57, 9}, "", nullptr},
    {1038, GroupBox, 0, {7, 7, 200, 38}, "", nullptr},
    {1039, GroupBox, 0, {7, 48, 200, 36}, "", nullptr},
    {1043, PushButton, kTabStop, {108, 147, 99, 14}, "", nullptr},
    {1015, PushButton, kTabStop, {15, 60, 120, 14}, "", nullptr},
    {1026, PushButton, kTabStop, {16, 21, 84, 14}, "", nullptr},
};

const ControlTemplate kLedEnglish[] = {
    {1028, GroupBox, 0, {6, 6, 201, 140}, "", nullptr},
    {1023, TrackBar, kTrackBarStyle, {87, 24, 100, 15}, nullptr, nullptr},
    {1032, Label, kGroup, {27, 27, 51, 8}, "", nullptr},
    {1029, GroupBox, 0, {21, 42, 171, 57}, "", nullptr},
    {1000, DropDownList, 0, {93, 54, 48, 30}, nullptr, nullptr},
    {1033, Label, kGroup, {30, 57, 51, 8}, "", nullptr},
    {1024, TrackBar, kTrackBarStyle, {87, 78, 100, 15}, nullptr, nullptr},
    {1034, Label, kGroup, {30, 81, 51, 8}, "", nullptr},
    {1030, GroupBox, kHidden, {21, 105, 171, 36}, "", nullptr},
    {1035, Label, kGroup | kHidden, {30, 120, 51, 8}, "", nullptr},
    {1025, DropDownList, kHidden, {96, 117, 48, 30}, nullptr, nullptr},
    {1036, Label, kGroup, {165, 69, 21, 8}, "", nullptr},
    {1031, Label, kGroup, {157, 15, 36, 8}, "", nullptr},
    {1040, PushButton, kDisabled | kTabStop, {81, 150, 125, 14}, "", nullptr},
};
const ControlTemplate kLedJapanese[] = {
    {1028, GroupBox, 0, {6, 6, 201, 140}, "", nullptr},
    {1023, TrackBar, kTrackBarStyle, {87, 24, 100, 15}, nullptr, nullptr},
    {1032, Label, kGroup, {27, 27, 51, 8}, "", nullptr},
    {1029, GroupBox, 0, {21, 42, 171, 57}, "", nullptr},
    {1000, DropDownList, 0, {93, 54, 48, 30}, nullptr, nullptr},
    {1033, Label, kGroup, {30, 57, 51, 8}, "", nullptr},
    {1024, TrackBar, kTrackBarStyle, {87, 78, 100, 15}, nullptr, nullptr},
    {1034, Label, kGroup, {30, 81, 51, 8}, "", nullptr},
    {1030, GroupBox, kHidden, {21, 105, 171, 36}, "", nullptr},
    {1035, Label, kGroup, {30, 120, 51, 8}, "", nullptr},
    {1025, DropDownList, kHidden, {96, 117, 48, 30}, nullptr, nullptr},
    {1036, Label, kGroup, {165, 69, 21, 8}, "", nullptr},
    {1031, Label, kGroup, {157, 15, 36, 8}, "", nullptr},
    {1040, PushButton, kDisabled | kTabStop, {120, 150, 71, 14}, "", nullptr},
};

const ControlTemplate kSettingPage[] = {
    {1037, GroupBox, 0, {7, 7, 200, 73}, "", nullptr},
    {1012, AutoCheckBox, kTabStop, {15, 18, 25, 10}, "On", nullptr},
    {1003, AutoRadioButton, kGroup | kTransparent, {30, 29, 126, 10}, "", nullptr},
    {1004, AutoRadioButton, 0, {30, 40, 126, 10}, "", nullptr},
    {1005, AutoRadioButton, 0, {30, 51, 126, 10}, "", nullptr},
    {1006, AutoCheckBox, kTabStop, {15, 65, 138, 10}, "", nullptr},
    {1044, GroupBox, 0, {7, 84, 200, 74}, "Veritrax", nullptr},
    {1007, AutoCheckBox, kTabStop, {15, 95, 25, 10}, "On", nullptr},
    {1008, AutoRadioButton, kGroup, {28, 107, 128, 10}, "", nullptr},
    {1009, AutoRadioButton, 0, {28, 117, 128, 10}, "", nullptr},
    {1010, AutoCheckBox, kTabStop, {27, 128, 82, 10}, "Real Time Veritrax", nullptr},
    {1011, AutoCheckBox, kTabStop, {15, 142, 132, 10}, "", nullptr},
};

const DialogTemplate kTemplates[] = {
    {kAboutTemplate, Language::English, kPopupDialog, {}, {222, 63},
     "Version Information Tavoren BD Drive Utility", kUiGothic9, kAboutEnglish},
    {kAboutTemplate, Language::Japanese, kPopupDialog, {}, {222, 63},
     "バージョン情報 Tavoren BD Drive Utility", kUiGothic9, kAboutJapanese},
    {kMainWindowTemplate, Language::English, kMainDialog, {}, {206, 243},
     "Tavoren BD Drive Utility", kUiGothic9, kMainEnglish},
    {kMainWindowTemplate, Language::Japanese, kMainDialog, {}, {207, 243},
     "Tavoren BD Drive Utility", kUiGothic9, kMainJapanese},
    {kStatusPageTemplate, Language::Japanese, dialog_style::kChild | dialog_style::kTransparent,
     kPageOrigin, {214, 167}, nullptr, kShellDlg8, kStatusPage},
    {kUtilityPageTemplate, Language::English, dialog_style::kChild, kPageOrigin, {214, 167},
     nullptr, kShellDlg8, kUtilityEnglish},
    {kUtilityPageTemplate, Language::Japanese, dialog_style::kChild, kPageOrigin, {214, 164},
     nullptr, kShellDlg8, kUtilityJapanese},
    {kLedPageTemplate, Language::English, dialog_style::kChild, kPageOrigin, {215, 170},
     nullptr, kShellDlg8, kLedEnglish},
    {kLedPageTemplate, Language::Japanese, dialog_style::kChild, kPageOrigin, {215, 170},
     nullptr, kShellDlg8, kLedJapanese},
    {kSettingPageTemplate, Language::Japanese, dialog_style::kChild, kPageOrigin, {214, 167},
     nullptr, kShellDlg8, kSettingPage},
};
// clang-format on

}  // namespace

const DialogTemplate& FindTemplate(int id, Language language) {
    const DialogTemplate* japaneseVariant = nullptr;
    for (const DialogTemplate& candidate : kTemplates) {
        if (candidate.id != id) {
            continue;
        }
        if (candidate.language == language) {
            return candidate;
        }
        if (candidate.language == Language::Japanese) {
            japaneseVariant = &candidate;
        }
    }
    if (japaneseVariant == nullptr) {
        qFatal("no dialog template %d", id);
    }
    return *japaneseVariant;
}

}  // namespace tavoren::res
