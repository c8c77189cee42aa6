#include "drive/linux/LinuxSgBackend.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>

namespace tavoren {
namespace {

constexpr int kCommandOpenFlags = O_RDWR | O_NONBLOCK | O_CLOEXEC;
// O_EXCL on a block device holds off the kernel's media events until it is closed.
constexpr int kHoldOpenFlags = O_RDWR | O_NONBLOCK | O_EXCL | O_CLOEXEC;
constexpr unsigned kDriverSenseFlag = 0x08;

int DriveIndex(char letter) { return letter - kFirstDriveLetter; }

int DxferDirection(const CommandRequest& request) {
    if (request.length == 0) return SG_DXFER_NONE;
    switch (request.direction) {
        case TransferDirection::DataOut:
            return SG_DXFER_TO_DEV;
        case TransferDirection::DataIn:
            return SG_DXFER_FROM_DEV;
        case TransferDirection::None:
            break;
    }
    return SG_DXFER_NONE;
}

// Steps with the error_code overloads: a range-for would throw on a failed increment.
std::string RealSingleDirectoryEntry(const std::string& directory) {
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    if (error || it == std::filesystem::directory_iterator()) return {};
    std::string name = it->path().filename().string();
    it.increment(error);
    if (error || it != std::filesystem::directory_iterator()) return {};
    return name;
}

// A handle that cannot be an fd gets no system call.
int FdOf(DeviceHandle handle) {
    return handle < 0 || handle > std::numeric_limits<int>::max() ? -1 : static_cast<int>(handle);
}

}  // namespace

LinuxSystemCalls LinuxSystemCalls::Real() {
    return {
        [](const char* path, int flags) { return ::open(path, flags); },
        [](int fd) { return ::close(fd); },
        [](int fd, void* hdr) { return ::ioctl(fd, SG_IO, hdr); },
        RealSingleDirectoryEntry,
    };
}

LinuxSgBackend::LinuxSgBackend(LinuxSystemCalls calls) : m_calls(std::move(calls)) {}

std::string LinuxSgBackend::OpticalNode(char letter) {
    if (!IsDriveLetter(letter)) return {};
    return "/dev/sr" + std::to_string(DriveIndex(letter));
}

std::string LinuxSgBackend::CommandNode(char letter) const {
    // The sg node takes every command this utility sends from a user who may open it; the
    // sr node refuses WRITE BUFFER without CAP_SYS_RAWIO. Its number need not match sr's.
    const std::string sg = m_calls.singleDirectoryEntry(
        "/sys/class/block/sr" + std::to_string(DriveIndex(letter)) + "/device/scsi_generic");
    if (sg.rfind("sg", 0) == 0) return "/dev/" + sg;
    return OpticalNode(letter);
}

DeviceHandle LinuxSgBackend::Open(char letter) {
    if (!IsDriveLetter(letter)) return kInvalidDeviceHandle;
    const int fd = m_calls.open(CommandNode(letter).c_str(), kCommandOpenFlags);
    return fd < 0 ? kInvalidDeviceHandle : DeviceHandle{fd};
}

void LinuxSgBackend::Close(DeviceHandle handle) {
    const int fd = FdOf(handle);
    if (fd >= 0) m_calls.close(fd);
}

CommandResult LinuxSgBackend::Execute(DeviceHandle handle, const CommandRequest& request) {
    const int fd = FdOf(handle);
    if (fd < 0) return CommandResult::NotDelivered(EBADF, "no open drive");

    CommandResult result;
    sg_io_hdr_t hdr{};
    hdr.interface_id = 'S';
    hdr.cmd_len = static_cast<unsigned char>(request.cdb.size());
    hdr.cmdp = const_cast<unsigned char*>(request.cdb.data());
    hdr.dxfer_direction = DxferDirection(request);
    hdr.dxfer_len = request.length;
    hdr.dxferp = request.data;
    hdr.mx_sb_len = static_cast<unsigned char>(result.sense.size());
    hdr.sbp = result.sense.data();
    hdr.timeout = request.timeoutSeconds * 1000;

    if (m_calls.sgIo(fd, &hdr) < 0) {
        return CommandResult::NotDelivered(errno, "SG_IO ioctl");
    }
    result.hostStatus = hdr.host_status;
    result.driverStatus = static_cast<std::uint16_t>(hdr.driver_status & ~kDriverSenseFlag);
    result.scsiStatus = hdr.status;
    result.senseLength =
        static_cast<std::uint8_t>(std::min<std::size_t>(hdr.sb_len_wr, result.sense.size()));
    result.residual = hdr.resid;
    if (result.scsiStatus == 0 && (result.hostStatus != 0 || result.driverStatus != 0)) {
        result.osReason = result.hostStatus != 0 ? "SG_IO host status" : "SG_IO driver status";
        result.osError = EIO;
        return result;
    }
    result.delivered = true;
    return result;
}

DeviceHandle LinuxSgBackend::HoldMediaChangeNotification(char letter) {
    if (!IsDriveLetter(letter)) return kInvalidDeviceHandle;
    const int fd = m_calls.open(OpticalNode(letter).c_str(), kHoldOpenFlags);
    return fd < 0 ? kInvalidDeviceHandle : DeviceHandle{fd};
}

std::string LinuxSgBackend::DeviceName(char letter) const { return OpticalNode(letter); }

}  // namespace tavoren
