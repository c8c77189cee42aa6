#pragma once

#include <QBrush>
#include <QTimer>
#include <cstdint>
#include <semaphore>

#include "pages/CPageDialog.h"

class QGroupBox;
class QLabel;
class QPushButton;

// The Utility page: bus-power check, forced eject, factory reset. Enter and Escape do nothing
// here: a stray key never starts a check, an eject or a reset.
class CUtilityDialog : public CPageDialog {
    Q_OBJECT
public:
    explicit CUtilityDialog(QWidget* parent);
    ~CUtilityDialog() override;

    // One tick of the bus-power check's page timer; public so that tests drive it without waiting.
    void OnTimer();
    // Timer 0 of the page: one tick a second while the check counts down.
    const QTimer& PageTimer() const { return m_pageTimer; }

    // The verdict string of a finished check on a drive that still answers, by its result.
    static int BusPowerVerdictString(std::uint32_t result);

    std::uint32_t m_elapsedMs = 0;
    QBrush m_faceBrush;
    std::binary_semaphore m_ejectLock{1};
    QLabel* m_statusText = nullptr;
    QGroupBox* m_busPowerGroup = nullptr;
    QGroupBox* m_ejectGroup = nullptr;
    QLabel* m_spareText = nullptr;
    QPushButton* m_resetButton = nullptr;

private:
    void OnRunBusPowerCheck();
    void OnForceEject();
    void OnRestoreFactoryDefaults();
    void EnterBusy();
    void LeaveBusy();
    void SetActionsEnabled(bool enabled);
    void FinishBusPowerCheck();

    QPushButton* m_runButton = nullptr;
    QPushButton* m_forceEjectButton = nullptr;
    QTimer m_pageTimer;
};
