#pragma once

#include <functional>
#include <string>

#include "drive/DeviceBackend.h"

namespace tavoren {

// The system calls the Linux backend makes, injectable so that tests need no device.
struct LinuxSystemCalls {
    std::function<int(const char* path, int flags)> open;
    std::function<int(int fd)> close;
    // ioctl(fd, SG_IO, hdr): `hdr` points at a struct sg_io_hdr.
    std::function<int(int fd, void* hdr)> sgIo;
    // The single entry of a directory, or "" when it has none or several.
    std::function<std::string(const std::string& directory)> singleDirectoryEntry;

    static LinuxSystemCalls Real();
};

// Drive letter 'C'+i is the optical drive /dev/sr<i>. Commands go out with SG_IO on the
// drive's SCSI generic node when it has one, else on /dev/sr<i>.
class LinuxSgBackend final : public DeviceBackend {
public:
    explicit LinuxSgBackend(LinuxSystemCalls calls = LinuxSystemCalls::Real());

    DeviceHandle Open(char letter) override;
    void Close(DeviceHandle handle) override;
    CommandResult Execute(DeviceHandle handle, const CommandRequest& request) override;
    DeviceHandle HoldMediaChangeNotification(char letter) override;
    std::string DeviceName(char letter) const override;

    // "/dev/sr<i>" for the letter, "" outside C..Z.
    static std::string OpticalNode(char letter);

private:
    std::string CommandNode(char letter) const;

    LinuxSystemCalls m_calls;
};

}  // namespace tavoren
