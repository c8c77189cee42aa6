#include "pages/CLedDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <initializer_list>

#include "drive/CommandSet.h"
#include "drive/SettingsBlock.h"
#include "res/StringTable.h"
#include "res/ToolTips.h"

CLedDialog* g_pLedPage = nullptr;

namespace {

constexpr int kLedTemplate = 132;

constexpr int kPatternList = 1000;
constexpr int kBrightnessBar = 1023;
constexpr int kBlinkCycleBar = 1024;
constexpr int kUsbDirectList = 1025;
constexpr int kPageGroup = 1028;
constexpr int kNoDiscGroup = 1029;
constexpr int kUsbDirectGroup = 1030;
constexpr int kBrightEndLabel = 1031;
constexpr int kBrightnessLabel = 1032;
constexpr int kPatternLabel = 1033;
constexpr int kBlinkCycleLabel = 1034;
constexpr int kUsbDirectLabel = 1035;
constexpr int kLongEndLabel = 1036;
constexpr int kApplyButton = 1040;

constexpr std::uint8_t kNoSelection = 0xFF;
// Flicker, On and Off do not blink, so their cycle has nothing to set.
constexpr int kFirstSteadyPattern = 3;

struct ControlString {
    int controlId;
    int stringId;
};

constexpr ControlString kToolTips[] = {
    {kApplyButton, 141},   {kBrightnessBar, 147}, {kBlinkCycleBar, 148},
    {kUsbDirectList, 149}, {kPatternList, 150},
};

constexpr ControlString kTexts[] = {
    {kPageGroup, 113},      {kBrightnessLabel, 115}, {kBrightEndLabel, 114}, {kNoDiscGroup, 116},
    {kPatternLabel, 117},   {kBlinkCycleLabel, 118}, {kLongEndLabel, 119},   {kUsbDirectGroup, 120},
    {kUsbDirectLabel, 121}, {kApplyButton, 140},
};

constexpr int kPatternItems[] = {107, 108, 109, 110, 111, 112};
constexpr int kUsbDirectItems[] = {111, 143};

// Every byte the page takes comes from a read of its own: the block is never kept.
std::uint8_t FreshByte(std::size_t index) { return tavoren::ReadSettingsBlock().At(index); }

void SetControlText(QWidget* control, const QString& text) {
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    }
}

template <std::size_t N>
void AddItems(QComboBox* list, const int (&stringIds)[N]) {
    for (int id : stringIds) list->addItem(tavoren::res::DisplayText(tavoren::res::LoadString(id)));
}

// An index past the items leaves the list with no selection.
void SelectItem(QComboBox* list, std::uint8_t index) {
    list->setCurrentIndex(index < list->count() ? index : -1);
}

std::uint8_t Low8(int value) { return static_cast<std::uint8_t>(value); }

}  // namespace

CLedDialog::CLedDialog(QWidget* parent)
    : CPageDialog(kLedTemplate, parent),
      m_patternList(ControlAs<QComboBox>(kPatternList)),
      m_brightnessBar(ControlAs<QSlider>(kBrightnessBar)),
      m_blinkCycleBar(ControlAs<QSlider>(kBlinkCycleBar)),
      m_usbDirectList(ControlAs<QComboBox>(kUsbDirectList)),
      m_applyButton(ControlAs<QPushButton>(kApplyButton)) {
    OnInitDialog();
    g_pLedPage = this;
    // The values taken during initialisation are taken again by the next refresh: the first
    // showing or the first change of drive.
    m_appliedValid = false;
}

CLedDialog::~CLedDialog() {
    if (g_pLedPage == this) g_pLedPage = nullptr;
}

void CLedDialog::OnInitDialog() {
    // Labels, group boxes and track bars sit on the button face.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    for (const ControlString& tip : kToolTips) {
        tavoren::res::AddToolTip(Control(tip.controlId), tip.stringId);
    }
    AddItems(m_patternList, kPatternItems);
    SetTexts();
    AddItems(m_usbDirectList, kUsbDirectItems);
    // Filling a list selects its first item; the USB direct-mode list gets a selection only
    // from a drive that has the mode.
    m_usbDirectList->setCurrentIndex(-1);
    m_brightnessBar->setRange(0, 2);
    m_blinkCycleBar->setRange(0, 3);
    ConnectControls();
    RefreshFromDrive();
}

void CLedDialog::SetTexts() {
    for (const ControlString& text : kTexts) {
        SetControlText(Control(text.controlId),
                       tavoren::res::DisplayText(tavoren::res::LoadString(text.stringId)));
    }
}

void CLedDialog::ConnectControls() {
    connect(m_patternList, &QComboBox::currentIndexChanged, this, [this] {
        ApplyBlinkingCycleRule();
        UpdateApplyButton();
    });
    connect(m_usbDirectList, &QComboBox::currentIndexChanged, this, &CLedDialog::UpdateApplyButton);
    for (QSlider* bar : {m_brightnessBar, m_blinkCycleBar}) {
        connect(bar, &QSlider::valueChanged, this, &CLedDialog::UpdateApplyButton);
        // While the thumb is dragged its position runs ahead of the value.
        connect(bar, &QSlider::sliderMoved, this, &CLedDialog::UpdateApplyButton);
    }
    connect(m_applyButton, &QPushButton::clicked, this, &CLedDialog::ApplyToDrive);
}

void CLedDialog::OnWindowPosChanged() { RefreshFromDrive(); }

void CLedDialog::RefreshFromDrive() {
    using Block = tavoren::DriveSettingsBlock;
    SelectItem(m_patternList, FreshByte(Block::kLedPattern));
    m_brightnessBar->setValue(FreshByte(Block::kLedBrightness));
    m_blinkCycleBar->setValue(FreshByte(Block::kLedBlinkCycle));
    if (!m_appliedValid) {
        // Raw bytes: a value the controls cannot show keeps Apply enabled until applied.
        m_applied.lightingPattern = FreshByte(Block::kLedPattern);
        m_applied.brightness = FreshByte(Block::kLedBrightness);
        m_applied.blinkCycle = FreshByte(Block::kLedBlinkCycle);
        m_applied.usbDirectPattern = FreshByte(Block::kUsbDirectPattern);
        m_appliedValid = true;
    }
    ApplyBlinkingCycleRule();
    // Without the mode the list keeps its selection, which Apply still sends.
    const bool usbDirect = FreshByte(Block::kUsbDirect) != 0;
    if (usbDirect) SelectItem(m_usbDirectList, FreshByte(Block::kUsbDirectPattern));
    for (int id : {kUsbDirectLabel, kUsbDirectGroup, kUsbDirectList}) {
        Control(id)->setVisible(usbDirect);
    }
    UpdateApplyButton();
}

CLedDialog::LedValues CLedDialog::CurrentValues() const {
    return {Low8(m_patternList->currentIndex()), Low8(m_brightnessBar->sliderPosition()),
            Low8(m_blinkCycleBar->sliderPosition()), Low8(m_usbDirectList->currentIndex())};
}

void CLedDialog::ApplyBlinkingCycleRule() {
    const bool blinks = m_patternList->currentIndex() < kFirstSteadyPattern;
    for (int id : {kBlinkCycleBar, kBlinkCycleLabel, kLongEndLabel}) {
        Control(id)->setVisible(blinks);
    }
}

void CLedDialog::UpdateApplyButton() {
    const LedValues current = CurrentValues();
    bool changed = current.lightingPattern != m_applied.lightingPattern ||
                   current.brightness != m_applied.brightness ||
                   current.blinkCycle != m_applied.blinkCycle;
    // A USB direct-mode list without a selection has nothing to compare.
    if (current.usbDirectPattern != kNoSelection) {
        changed = changed || current.usbDirectPattern != m_applied.usbDirectPattern;
    }
    m_applyButton->setEnabled(changed);
}

void CLedDialog::ApplyToDrive() {
    m_applied = CurrentValues();
    tavoren::WriteLedSettings(m_patternList->currentIndex(), m_blinkCycleBar->sliderPosition(),
                              m_brightnessBar->sliderPosition(), m_usbDirectList->currentIndex());
    UpdateApplyButton();
}
