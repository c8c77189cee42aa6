#include "pages/CUtilityDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <chrono>

#include "app/CTavorenDriveUtilityDlg.h"
#include "drive/Clock.h"
#include "drive/CommandSet.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "pages/Prompt.h"
#include "res/DialogTemplate.h"
#include "res/StringTable.h"
#include "res/ToolTips.h"

namespace {

constexpr int kRunButton = 1026;
constexpr int kForceEjectButton = 1015;
constexpr int kResetButton = 1043;
constexpr int kStatusText = 1027;
constexpr int kBusPowerGroup = 1038;
constexpr int kEjectGroup = 1039;
constexpr int kSpareText = 1041;

constexpr int kCountdownString = 102;
constexpr int kPassString = 104;
constexpr int kMarginalString = 105;
constexpr int kDroppedOffString = 106;
constexpr int kBusPowerGroupString = 130;
constexpr int kRunString = 131;
constexpr int kEjectGroupString = 132;
constexpr int kForceEjectString = 133;
constexpr int kInsertDiscString = 138;
constexpr int kNoDiscString = 139;
constexpr int kRunTipString = 142;
constexpr int kResetString = 144;
constexpr int kResetConfirmString = 145;
constexpr int kResetTipString = 146;
constexpr int kForceEjectTipString = 151;
constexpr int kForceEjectConfirmString = 152;

constexpr int kTickMs = 1000;
// The drive needs about 25 s for its check; the countdown shows the seconds left of them.
constexpr std::uint32_t kCheckMs = 25000;
constexpr std::uint32_t kLastCountdownMs = 24000;
constexpr std::uint32_t kPassThreshold = 4500;
constexpr std::chrono::milliseconds kForceEjectSettleTime{1000};

QString Text(int stringId) { return tavoren::res::DisplayText(tavoren::res::LoadString(stringId)); }

// The loaded text is never used as a printf format: only its "%d" is replaced.
QString CountdownText(std::uint32_t secondsLeft) {
    return Text(kCountdownString).replace(QStringLiteral("%d"), QString::number(secondsLeft));
}

bool Confirmed(QWidget* owner, int stringId) {
    return tavoren::ShowMessage(owner, tavoren::res::LoadString(stringId),
                                QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Warning) == QMessageBox::Ok;
}

void Inform(QWidget* owner, int stringId) {
    tavoren::ShowMessage(owner, tavoren::res::LoadString(stringId), QMessageBox::Ok,
                         QMessageBox::NoIcon);
}

void EndMediaChangeSuppression() {
    tavoren::ReleaseMediaChangeNotification(tavoren::GetCurrentDrive());
}

}  // namespace

CUtilityDialog::CUtilityDialog(QWidget* parent)
    : CPageDialog(tavoren::res::kUtilityPageTemplate, parent),
      m_statusText(ControlAs<QLabel>(kStatusText)),
      m_busPowerGroup(ControlAs<QGroupBox>(kBusPowerGroup)),
      m_ejectGroup(ControlAs<QGroupBox>(kEjectGroup)),
      m_spareText(ControlAs<QLabel>(kSpareText)),
      m_resetButton(ControlAs<QPushButton>(kResetButton)),
      m_runButton(ControlAs<QPushButton>(kRunButton)),
      m_forceEjectButton(ControlAs<QPushButton>(kForceEjectButton)) {
    tavoren::res::AddToolTip(m_runButton, kRunTipString);
    tavoren::res::AddToolTip(m_resetButton, kResetTipString);
    tavoren::res::AddToolTip(m_forceEjectButton, kForceEjectTipString);

    m_busPowerGroup->setTitle(Text(kBusPowerGroupString));
    m_ejectGroup->setTitle(Text(kEjectGroupString));
    m_runButton->setText(Text(kRunString));
    m_forceEjectButton->setText(Text(kForceEjectString));
    m_resetButton->setText(Text(kResetString));

    m_faceBrush = palette().brush(QPalette::Button);
    QPalette facePalette = palette();
    facePalette.setBrush(QPalette::Window, m_faceBrush);
    setPalette(facePalette);
    setAutoFillBackground(true);

    m_pageTimer.setInterval(kTickMs);
    connect(&m_pageTimer, &QTimer::timeout, this, &CUtilityDialog::OnTimer);
    connect(m_runButton, &QPushButton::clicked, this, &CUtilityDialog::OnRunBusPowerCheck);
    connect(m_forceEjectButton, &QPushButton::clicked, this, &CUtilityDialog::OnForceEject);
    connect(m_resetButton, &QPushButton::clicked, this, &CUtilityDialog::OnRestoreFactoryDefaults);
}

CUtilityDialog::~CUtilityDialog() {
    // A window closed in the middle of a check must not leave media events switched off.
    if (m_pageTimer.isActive()) EndMediaChangeSuppression();
}

int CUtilityDialog::BusPowerVerdictString(std::uint32_t result) {
    return result > kPassThreshold ? kPassString : kMarginalString;
}

void CUtilityDialog::SetActionsEnabled(bool enabled) {
    m_runButton->setEnabled(enabled);
    m_forceEjectButton->setEnabled(enabled);
    m_resetButton->setEnabled(enabled);
}

void CUtilityDialog::EnterBusy() {
    m_statusText->clear();
    SetActionsEnabled(false);
    if (g_pMainDlg == nullptr) return;
    g_pMainDlg->StopPollTimer();
    g_pMainDlg->m_driveCombo->setEnabled(false);
    g_pMainDlg->m_busy = true;
}

void CUtilityDialog::LeaveBusy() {
    SetActionsEnabled(true);
    if (g_pMainDlg == nullptr) return;
    g_pMainDlg->StartPollTimer();
    g_pMainDlg->m_driveCombo->setEnabled(true);
    g_pMainDlg->m_busy = false;
}

void CUtilityDialog::OnRunBusPowerCheck() {
    EnterBusy();
    tavoren::SuppressMediaChangeNotification(tavoren::GetCurrentDrive());
    if (tavoren::WaitForDiscReady()) tavoren::EjectDisc();
    Inform(this, kInsertDiscString);
    if (!tavoren::WaitForDiscReady()) {
        Inform(this, kNoDiscString);
        EndMediaChangeSuppression();
        LeaveBusy();
        return;
    }
    tavoren::StopDisc();
    tavoren::StartBusPowerCheck();
    m_elapsedMs = 0;
    m_pageTimer.start();
}

void CUtilityDialog::OnTimer() {
    if (m_elapsedMs <= kLastCountdownMs) {
        m_elapsedMs += kTickMs;
        m_statusText->setText(CountdownText((kCheckMs - m_elapsedMs) / 1000));
        return;
    }
    FinishBusPowerCheck();
}

void CUtilityDialog::FinishBusPowerCheck() {
    m_pageTimer.stop();
    int verdict = kDroppedOffString;
    if (tavoren::IsTavorenDrivePresent()) {
        verdict = BusPowerVerdictString(tavoren::ReadBusPowerCheckResult());
        EndMediaChangeSuppression();
    } else {
        EndMediaChangeSuppression();
        // Whatever answers now may be another drive, or none: the list has to be found again.
        if (g_pMainDlg != nullptr) g_pMainDlg->EnumerateDrives();
    }
    m_statusText->setText(Text(verdict));
    LeaveBusy();
}

void CUtilityDialog::OnForceEject() {
    if (!Confirmed(this, kForceEjectConfirmString)) return;
    m_ejectLock.acquire();
    tavoren::ForceEject();
    // Gives the drive time to finish the eject before anything else is sent.
    tavoren::SleepFor(kForceEjectSettleTime);
    m_ejectLock.release();
}

void CUtilityDialog::OnRestoreFactoryDefaults() {
    if (Confirmed(this, kResetConfirmString)) tavoren::RestoreFactoryDefaults();
}
