#include "pages/CDialogSettingBd8.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QPalette>
#include <QRadioButton>
#include <algorithm>
#include <array>

#include "res/DialogBuilder.h"
#include "res/DialogTemplate.h"
#include "res/StringTable.h"
#include "res/ToolTips.h"

CDialogSettingBd8* g_pSettingPage = nullptr;

namespace {

using tavoren::QuietMode;
using tavoren::VeritraxMode;

constexpr int kQuietGroup = 1037;
constexpr int kQuietOn = 1012;
constexpr int kPersistentQuiet = 1003;
constexpr int kQuiet = 1004;
constexpr int kPerformance = 1005;
constexpr int kSaveQuiet = 1006;
constexpr int kVeritraxOn = 1007;
constexpr int kPerfect = 1008;
constexpr int kMaster = 1009;
constexpr int kRealTime = 1010;
constexpr int kSaveVeritrax = 1011;

struct ToolTip {
    int controlId;
    int stringId;
};
constexpr ToolTip kToolTips[] = {
    {kQuietOn, 1012},   {kPersistentQuiet, 1003}, {kQuiet, 1004}, {kPerformance, 1005},
    {kVeritraxOn, 134}, {kPerfect, 135},          {kMaster, 136}, {kRealTime, 137},
};

QString Text(int stringId) { return tavoren::res::DisplayText(tavoren::res::LoadString(stringId)); }

VeritraxMode VeritraxModeOf(const tavoren::DriveSettingsBlock& block) {
    if (!block.VeritraxOn()) return VeritraxMode::Off;
    return block.VeritraxPerfect() ? VeritraxMode::Perfect : VeritraxMode::Master;
}

}  // namespace

CDialogSettingBd8::CDialogSettingBd8(QWidget* parent)
    : CPageDialog(tavoren::res::kSettingPageTemplate, parent),
      m_persistentQuietButton(ControlAs<QRadioButton>(kPersistentQuiet)),
      m_saveQuietButton(ControlAs<QCheckBox>(kSaveQuiet)),
      m_saveVeritraxButton(ControlAs<QCheckBox>(kSaveVeritrax)),
      m_quietGroup(ControlAs<QGroupBox>(kQuietGroup)),
      m_realTimeButton(ControlAs<QCheckBox>(kRealTime)) {
    AddToolTips();
    SetControlTexts();
    WidenControlsToFitTexts();
    ConnectButtons();
    RefreshFromDrive(true);
    PaintWithButtonFace();
    g_pSettingPage = this;
}

void CDialogSettingBd8::AddToolTips() {
    for (const ToolTip& tip : kToolTips) {
        tavoren::res::AddToolTip(Control(tip.controlId), tip.stringId);
    }
}

// "On", "Veritrax" and "Real Time Veritrax" stay as the layout has them, in every language.
void CDialogSettingBd8::SetControlTexts() {
    m_persistentQuietButton->setText(Text(123));
    Button(kQuiet)->setText(Text(124));
    Button(kPerformance)->setText(Text(125));
    m_saveQuietButton->setText(Text(126));
    Button(kPerfect)->setText(Text(127));
    Button(kMaster)->setText(Text(128));
    m_saveVeritraxButton->setText(Text(129));
    m_quietGroup->setTitle(Text(122));
}

void CDialogSettingBd8::ConnectButtons() {
    for (QAbstractButton* button : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { OnButtonClicked(button); });
    }
}

// The page covers the tab area in the button-face colour, behind every control.
void CDialogSettingBd8::PaintWithButtonFace() {
    QPalette facePalette = palette();
    facePalette.setColor(QPalette::Window, facePalette.color(QPalette::Button));
    setPalette(facePalette);
    setAutoFillBackground(true);
}

void CDialogSettingBd8::OnWindowPosChanged() { RefreshFromDrive(true); }

// Escape sends the controls' state like any other command; the page stays where it is, since
// hiding it would leave its tab empty.
void CDialogSettingBd8::OnCancelCommand() { ApplyToDrive(); }

void CDialogSettingBd8::OnButtonClicked(QAbstractButton* button) {
    ApplyToDrive();
    if (button == Button(kQuietOn)) {
        EnableQuietModes(button->isChecked());
    } else if (button == Button(kVeritraxOn)) {
        EnableVeritraxModes(button->isChecked());
        // The only moment at which the real-time box can be changed.
        m_realTimeButton->setEnabled(button->isChecked());
    }
}

void CDialogSettingBd8::ApplyToDrive() {
    const QuietMode quietMode = QuietModeFromControls();
    tavoren::SetQuietModeTransient(quietMode);
    tavoren::SetQuietMode(quietMode, m_saveQuietButton->isChecked());
    // The real-time box is sent whether it is enabled, disabled or hidden.
    tavoren::WriteVeritraxSettings(VeritraxModeFromControls(), m_realTimeButton->isChecked(),
                                   m_saveVeritraxButton->isChecked());
    RefreshFromDrive(true);
}

QuietMode CDialogSettingBd8::QuietModeFromControls() const {
    if (!IsChecked(kQuietOn)) return QuietMode::Off;
    if (IsChecked(kPersistentQuiet)) return QuietMode::PersistentQuiet;
    if (IsChecked(kQuiet)) return QuietMode::Quiet;
    if (IsChecked(kPerformance)) return QuietMode::Performance;
    return QuietMode::Quiet;
}

VeritraxMode CDialogSettingBd8::VeritraxModeFromControls() const {
    if (!IsChecked(kVeritraxOn)) return VeritraxMode::Off;
    if (IsChecked(kPerfect)) return VeritraxMode::Perfect;
    if (IsChecked(kMaster)) return VeritraxMode::Master;
    return VeritraxMode::Perfect;
}

void CDialogSettingBd8::RefreshFromDrive(bool hideAbsentRealTime) {
    const QuietMode quietMode = tavoren::ReadQuietMode();
    for (int id : {kPerformance, kQuiet, kPersistentQuiet, kQuietOn}) Check(id, false);
    ShowQuietMode(quietMode);

    for (int id : {kVeritraxOn, kPerfect, kMaster}) Check(id, false);
    m_realTimeButton->setEnabled(false);
    ShowVeritraxMode(VeritraxModeOf(tavoren::ReadSettingsBlock()));

    ShowRealTime(hideAbsentRealTime);
}

void CDialogSettingBd8::ShowQuietMode(QuietMode mode) {
    switch (mode) {
        case QuietMode::PersistentQuiet:
            Check(kPersistentQuiet, true);
            break;
        case QuietMode::Quiet:
            Check(kQuiet, true);
            break;
        case QuietMode::Performance:
            Check(kPerformance, true);
            break;
        case QuietMode::Off:
            break;
    }
    const bool on = mode != QuietMode::Off;
    Check(kQuietOn, on);
    EnableQuietModes(on);
}

void CDialogSettingBd8::ShowVeritraxMode(VeritraxMode mode) {
    switch (mode) {
        case VeritraxMode::Perfect:
            Check(kPerfect, true);
            break;
        case VeritraxMode::Master:
            Check(kMaster, true);
            break;
        case VeritraxMode::Off:
            break;
    }
    const bool on = mode != VeritraxMode::Off;
    Check(kVeritraxOn, on);
    EnableVeritraxModes(on);
}

// A refresh never unticks the box or shows it again: once hidden, it stays hidden for the run.
void CDialogSettingBd8::ShowRealTime(bool hideAbsentRealTime) {
    if (!tavoren::ReadSettingsBlock().HasRealTime()) {
        if (hideAbsentRealTime) m_realTimeButton->hide();
        return;
    }
    // The flag must still be there on a second read before the box is ticked.
    if (tavoren::ReadSettingsBlock().HasRealTime()) m_realTimeButton->setChecked(true);
}

void CDialogSettingBd8::EnableQuietModes(bool enabled) {
    for (int id : {kPersistentQuiet, kQuiet, kPerformance}) Control(id)->setEnabled(enabled);
}

void CDialogSettingBd8::EnableVeritraxModes(bool enabled) {
    for (int id : {kPerfect, kMaster}) Control(id)->setEnabled(enabled);
}

QAbstractButton* CDialogSettingBd8::Button(int id) const { return ControlAs<QAbstractButton>(id); }

bool CDialogSettingBd8::IsChecked(int id) const { return Button(id)->isChecked(); }

void CDialogSettingBd8::Check(int id, bool checked) {
    tavoren::res::SetButtonChecked(Button(id), checked);
}
