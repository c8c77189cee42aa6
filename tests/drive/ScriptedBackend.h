#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/DeviceBackend.h"
#include "drive/Transport.h"

namespace tavoren::testing {

// A backend that records every request and answers from a script; once the script runs out
// it answers GOOD. Data-in answers copy `dataIn` into the caller's buffer.
class ScriptedBackend final : public DeviceBackend {
public:
    struct Answer {
        CommandResult result;
        std::vector<std::uint8_t> dataIn;
    };
    struct Sent {
        DeviceHandle handle;
        Cdb cdb;
        TransferDirection direction;
        std::uint32_t length;
        bool hasBuffer;
        std::vector<std::uint8_t> dataOut;
    };

    static CommandResult GoodResult() {
        CommandResult result;
        result.delivered = true;
        return result;
    }
    static CommandResult Sense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
        CommandResult result = GoodResult();
        result.scsiStatus = 0x02;
        result.sense[0] = 0x70;
        result.sense[2] = key;
        result.sense[7] = 10;
        result.sense[12] = asc;
        result.sense[13] = ascq;
        result.senseLength = 18;
        return result;
    }

    void Queue(CommandResult result, std::vector<std::uint8_t> dataIn = {}) {
        m_script.push_back({result, std::move(dataIn)});
    }
    void QueueData(std::vector<std::uint8_t> dataIn) { Queue(GoodResult(), std::move(dataIn)); }

    DeviceHandle Open(char letter) override {
        opened.push_back(letter);
        return openFails ? kInvalidDeviceHandle : DeviceHandle{1000 + letter};
    }
    void Close(DeviceHandle handle) override { closed.push_back(handle); }
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override {
        Sent sent{handle, request.cdb, request.direction, request.length, request.data != nullptr,
                  {}};
        if (request.direction == TransferDirection::DataOut && request.data != nullptr) {
            sent.dataOut.assign(request.data, request.data + request.length);
        }
        sentCommands.push_back(std::move(sent));
        if (m_script.empty()) return GoodResult();
        Answer answer = std::move(m_script.front());
        m_script.pop_front();
        if (request.direction == TransferDirection::DataIn && request.data != nullptr) {
            const std::size_t count = std::min<std::size_t>(answer.dataIn.size(), request.length);
            std::copy_n(answer.dataIn.begin(), count, request.data);
        }
        return answer.result;
    }
    DeviceHandle HoldMediaChangeNotification(char letter) override {
        held.push_back(letter);
        return holdFails ? kInvalidDeviceHandle : DeviceHandle{2000 + letter};
    }
    std::string DeviceName(char letter) const override { return std::string(1, letter); }

    bool openFails = false;
    bool holdFails = false;
    std::vector<char> opened;
    std::vector<DeviceHandle> closed;
    std::vector<char> held;
    std::vector<Sent> sentCommands;

private:
    std::deque<Answer> m_script;
};

// Installs a fresh ScriptedBackend and a fresh current-drive record for one test.
class ScriptedBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto backend = std::make_unique<ScriptedBackend>();
        m_backend = backend.get();
        m_previous = InstallDeviceBackend(std::move(backend));
        GetCurrentDrive() = CurrentDrive{};
        ClearLastDeliveryFailure();
    }
    void TearDown() override {
        GetCurrentDrive() = CurrentDrive{};
        InstallDeviceBackend(std::move(m_previous));
    }
    ScriptedBackend& Backend() { return *m_backend; }

private:
    ScriptedBackend* m_backend = nullptr;
    std::unique_ptr<DeviceBackend> m_previous;
};

}  // namespace tavoren::testing
