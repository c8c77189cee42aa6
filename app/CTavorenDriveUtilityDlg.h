#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QTabWidget;
class CPageDialog;
class CLedDialog;

namespace tavoren::res {
class BuiltDialog;
}

// The program's only top-level window: drive selector, tab control and the pages over it.
class CTavorenDriveUtilityDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTavorenDriveUtilityDlg(QWidget* parent = nullptr);
    ~CTavorenDriveUtilityDlg() override;

    // Rebuilds the drive selector and m_driveLetters and opens the first listed drive.
    void EnumerateDrives();

    // The busy protocol's hold on the keep-alive poll (timer 0, 5000 ms).
    void StartPollTimer();
    void StopPollTimer();
    const QTimer& PollTimer() const { return m_pollTimer; }
    // What timer 0 does when it fires; public so that tests drive it without waiting.
    void OnPollTimer();

    // Command ids of the window menu's own items.
    static constexpr unsigned kAboutCommand = 0x10;
    static constexpr unsigned kHelpCommand = 0x20;
    // Runs a window-menu command (the low four bits of the id are ignored).
    void OnSysCommand(unsigned commandId);
    // The window menu: the items that stand in for the additions to the system menu.
    QMenu& SystemMenu() const { return *m_systemMenu; }
    QTabWidget* TabControl() const { return m_tabControl; }

    // The first show runs OnInitDialog before the window appears.
    void setVisible(bool visible) override;

    std::uint32_t m_pageCount = 0;
    std::array<CPageDialog*, 256> m_pages{};
    std::array<std::uint8_t, 256> m_driveLetters{};
    bool m_busy = false;
    QComboBox* m_driveCombo = nullptr;
    QLabel* m_noDriveText = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnInitDialog();
    void BuildSystemMenu();
    void CreatePages();
    QPoint DisplayAreaTopLeft() const;
    void FitTabControlToPages(QPoint displayArea);
    void OnSelchangeTab(int index);
    void OnSelchangeDrive(int index);
    void PopUpSystemMenu(const QPoint& globalPos);

    std::unique_ptr<tavoren::res::BuiltDialog> m_layout;
    QTabWidget* m_tabControl = nullptr;
    QMenu* m_systemMenu = nullptr;
    CLedDialog* m_ledPage = nullptr;  // the LED page this window made, if it made one
    bool m_initialised = false;
    QTimer m_pollTimer;
};

extern CTavorenDriveUtilityDlg* g_pMainDlg;
