#pragma once

#include <cstdio>
#include <memory>

#include "drive/DeviceBackend.h"

namespace tavoren {

// Passes everything to another backend and appends each open, close and command with its
// result to a text file: what a user attaches to a bug report.
class TracingBackend final : public DeviceBackend {
public:
    TracingBackend(std::unique_ptr<DeviceBackend> inner, std::FILE* sink);
    ~TracingBackend() override;

    DeviceHandle Open(char letter) override;
    void Close(DeviceHandle handle) override;
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override;
    DeviceHandle HoldMediaChangeNotification(char letter) override;
    std::string DeviceName(char letter) const override;

    DeviceBackend& Inner() { return *m_inner; }

private:
    std::unique_ptr<DeviceBackend> m_inner;
    std::FILE* m_sink;
};

}  // namespace tavoren
