#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "app/CTavorenDriveUtilityDlg.h"
#include "app/DesktopShell.h"
#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "res/StringTable.h"
#include "sim/SimulatedBus.h"

inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}

namespace tavoren::app::testing {

// A command as the trace shows it: where it went, what it was and, for the buffer commands,
// which buffer.
struct Sent {
    char letter = 0;
    std::uint8_t opcode = 0;
    std::uint8_t buffer = 0;
    bool delivered = true;
    bool operator==(const Sent&) const = default;
};

inline void PrintTo(const Sent& sent, std::ostream* out) {
    *out << (sent.letter != 0 ? sent.letter : '-') << ':' << std::hex << int(sent.opcode);
    if (sent.buffer != 0) *out << '/' << int(sent.buffer);
    if (!sent.delivered) *out << " (not delivered)";
}

constexpr std::uint8_t kOpInquiry = 0x12;
constexpr std::uint8_t kOpReadBuffer = 0x3C;
constexpr std::uint8_t kOpWriteBuffer = 0x3B;

inline Sent ModelCodeRead(char letter) { return {letter, kOpReadBuffer, 0xF1}; }
inline Sent Inquiry(char letter) { return {letter, kOpInquiry, 0}; }
inline Sent SettingsRead(char letter) { return {letter, kOpReadBuffer, 0xF4}; }
inline Sent KeepAlive(char letter) { return {letter, kOpReadBuffer, 0xFF}; }

inline std::vector<Sent> Summarise(const std::vector<sim::TraceEntry>& commands) {
    std::vector<Sent> sent;
    for (const sim::TraceEntry& entry : commands) {
        const bool bufferCommand = entry.cdb[0] == kOpReadBuffer || entry.cdb[0] == kOpWriteBuffer;
        sent.push_back({entry.letter, entry.cdb[0], bufferCommand ? entry.cdb[2] : std::uint8_t{0},
                        entry.delivered});
    }
    return sent;
}

inline void Append(std::vector<Sent>& to, const std::vector<Sent>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Remembers what the help item asked the desktop to open instead of opening it.
class RecordingShell final : public DesktopShell {
public:
    void Open(const QString& absolutePath) override { opened.push_back(absolutePath); }
    std::vector<QString> opened;
};

// A fresh simulated bus per test, English resources on a non-Japanese locale, and a shell
// that opens nothing.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto bus = std::make_unique<sim::SimulatedBus>();
        m_bus = bus.get();
        m_previousBackend = InstallDeviceBackend(std::move(bus));
        auto shell = std::make_unique<RecordingShell>();
        m_shell = shell.get();
        m_previousShell = InstallDesktopShell(std::move(shell));
        GetCurrentDrive() = {};
        res::OverrideUiLanguage(res::Language::English);
        res::OverrideUserLocaleJapanese(false);
    }

    void TearDown() override {
        m_window.reset();
        res::OverrideUiLanguage(std::nullopt);
        res::OverrideUserLocaleJapanese(std::nullopt);
        GetCurrentDrive() = {};
        if (m_previousShell) InstallDesktopShell(std::move(m_previousShell));
        InstallDeviceBackend(std::move(m_previousBackend));
    }

    sim::SimulatedBus& Bus() { return *m_bus; }

    // Closes the window and starts again on a new, empty bus.
    void StartOver() {
        m_window.reset();
        auto bus = std::make_unique<sim::SimulatedBus>();
        m_bus = bus.get();
        InstallDeviceBackend(std::move(bus));
        GetCurrentDrive() = {};
    }
    RecordingShell& Shell() { return *m_shell; }

    // The main window as the application object runs it, shown (which initialises it).
    CTavorenDriveUtilityDlg& ShowMainWindow() {
        m_window = std::make_unique<CTavorenDriveUtilityDlg>();
        m_window->show();
        return *m_window;
    }

    // Every command since the bus was made or last cleared.
    std::vector<Sent> Trace() const { return Summarise(m_bus->Commands()); }

    // What `action` sends, on this test's bus.
    std::vector<Sent> SentBy(const std::function<void()>& action) {
        m_bus->ClearTrace();
        action();
        return Trace();
    }

    // Puts the desktop's real "open" action back for the rest of the test.
    void UseSystemShell() { m_parkedShell = InstallDesktopShell(std::move(m_previousShell)); }

private:
    sim::SimulatedBus* m_bus = nullptr;
    RecordingShell* m_shell = nullptr;
    std::unique_ptr<DeviceBackend> m_previousBackend;
    std::unique_ptr<DesktopShell> m_previousShell;
    std::unique_ptr<DesktopShell> m_parkedShell;
    std::unique_ptr<CTavorenDriveUtilityDlg> m_window;
};

}  // namespace tavoren::app::testing
