#pragma once

#include <cstdint>

#include "pages/CPageDialog.h"

class QComboBox;
class QPushButton;
class QSlider;

// The LED page: brightness, lighting pattern, blinking cycle, USB direct-mode pattern.
// Escape is ignored: the page stays until another tab is chosen.
class CLedDialog : public CPageDialog {
    Q_OBJECT
public:
    explicit CLedDialog(QWidget* parent);
    ~CLedDialog() override;

    void RefreshFromDrive();

protected:
    void OnWindowPosChanged() override;

private:
    // Each field as the drive reports it; FFh stands for a list without a selection.
    struct LedValues {
        std::uint8_t lightingPattern = 0;
        std::uint8_t brightness = 0;
        std::uint8_t blinkCycle = 0;
        std::uint8_t usbDirectPattern = 0;
    };

    void OnInitDialog();
    void SetTexts();
    void ConnectControls();
    LedValues CurrentValues() const;
    void ApplyBlinkingCycleRule();
    void UpdateApplyButton();
    void ApplyToDrive();

    QComboBox* m_patternList = nullptr;    // 1000
    QSlider* m_brightnessBar = nullptr;    // 1023
    QSlider* m_blinkCycleBar = nullptr;    // 1024
    QComboBox* m_usbDirectList = nullptr;  // 1025
    QPushButton* m_applyButton = nullptr;  // 1040

    LedValues m_applied;
    bool m_appliedValid = false;
};

extern CLedDialog* g_pLedPage;
