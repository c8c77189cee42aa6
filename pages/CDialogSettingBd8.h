#pragma once

#include "drive/CommandSet.h"
#include "pages/CPageDialog.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QRadioButton;

// The Setting page: the quiet-drive and read-error features.
class CDialogSettingBd8 : public CPageDialog {
    Q_OBJECT
public:
    explicit CDialogSettingBd8(QWidget* parent);

    // Sets every control from the drive; hides the real-time box on drives without it
    // only when `hideAbsentRealTime` is set.
    void RefreshFromDrive(bool hideAbsentRealTime);

protected:
    void OnWindowPosChanged() override;
    void OnCancelCommand() override;

private:
    void SetControlTexts();
    void AddToolTips();
    void PaintWithButtonFace();
    void ConnectButtons();

    // Every click on a check box or radio button: the drive first, then the click rules.
    void OnButtonClicked(QAbstractButton* button);
    void ApplyToDrive();
    tavoren::QuietMode QuietModeFromControls() const;
    tavoren::VeritraxMode VeritraxModeFromControls() const;

    void ShowQuietMode(tavoren::QuietMode mode);
    void ShowVeritraxMode(tavoren::VeritraxMode mode);
    void ShowRealTime(bool hideAbsentRealTime);
    void EnableQuietModes(bool enabled);
    void EnableVeritraxModes(bool enabled);

    QAbstractButton* Button(int id) const;
    bool IsChecked(int id) const;
    void Check(int id, bool checked);

    QRadioButton* m_persistentQuietButton;
    QCheckBox* m_saveQuietButton;
    QCheckBox* m_saveVeritraxButton;
    QGroupBox* m_quietGroup;
    QCheckBox* m_realTimeButton;
};

extern CDialogSettingBd8* g_pSettingPage;
