#include <fcntl.h>
#include <gtest/gtest.h>
#include <scsi/sg.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "drive/ActiveBackend.h"
#include "drive/CurrentDrive.h"
#include "drive/Transport.h"
#include "drive/linux/LinuxSgBackend.h"

namespace tavoren {
namespace {

// Stands in for the kernel: records opens and the SG_IO header, answers as scripted.
struct FakeKernel {
    std::map<std::string, std::string> sgEntries;  // sysfs directory -> its single entry
    std::vector<std::pair<std::string, int>> opens;
    std::vector<int> closes;
    int nextFd = 40;
    int openErrno = 0;

    int ioctlCalls = 0;
    int seenFd = -1;
    sg_io_hdr_t seen{};
    std::vector<unsigned char> seenCdb;
    int ioctlErrno = 0;
    unsigned char status = 0;
    unsigned short hostStatus = 0;
    unsigned short driverStatus = 0;
    std::vector<unsigned char> sense;
    unsigned char senseWritten = 0;
    int resid = 0;

    LinuxSystemCalls Calls() {
        LinuxSystemCalls calls;
        calls.open = [this](const char* path, int flags) {
            opens.emplace_back(path, flags);
            if (openErrno != 0) {
                errno = openErrno;
                return -1;
            }
            return nextFd++;
        };
        calls.close = [this](int fd) {
            closes.push_back(fd);
            return 0;
        };
        calls.sgIo = [this](int fd, void* raw) {
            ++ioctlCalls;
            seenFd = fd;
            auto* hdr = static_cast<sg_io_hdr_t*>(raw);
            seen = *hdr;
            seenCdb.assign(hdr->cmdp, hdr->cmdp + hdr->cmd_len);
            if (ioctlErrno != 0) {
                errno = ioctlErrno;
                return -1;
            }
            hdr->status = status;
            hdr->host_status = hostStatus;
            hdr->driver_status = driverStatus;
            std::copy_n(sense.begin(),
                        std::min<std::size_t>({sense.size(), senseWritten, hdr->mx_sb_len}),
                        hdr->sbp);
            hdr->sb_len_wr = senseWritten;
            hdr->resid = resid;
            return 0;
        };
        calls.singleDirectoryEntry = [this](const std::string& directory) {
            const auto found = sgEntries.find(directory);
            return found == sgEntries.end() ? std::string() : found->second;
        };
        return calls;
    }
};

TEST(LinuxSgBackendTest, LettersNameOpticalDrivesInOrder) {
    EXPECT_EQ(LinuxSgBackend::OpticalNode('C'), "/dev/sr0");
    EXPECT_EQ(LinuxSgBackend::OpticalNode('D'), "/dev/sr1");
    EXPECT_EQ(LinuxSgBackend::OpticalNode('Z'), "/dev/sr23");
    EXPECT_EQ(LinuxSgBackend::OpticalNode('B'), "");
    FakeKernel kernel;
    EXPECT_EQ(LinuxSgBackend(kernel.Calls()).DeviceName('E'), "/dev/sr2");
}

struct NodeCase {
    char letter;
    const char* blockName;
    const char* sysfsEntry;  // "" when the directory has no single entry
    const char* expectedPath;
};

TEST(LinuxSgBackendTest, OpensTheGenericNodeWhoseNumberSysfsGives) {
    const NodeCase cases[] = {
        {'D', "sr1", "sg4", "/dev/sg4"},
        {'Z', "sr23", "sg0", "/dev/sg0"},
        {'C', "sr0", "", "/dev/sr0"},
        {'E', "sr2", "unexpected", "/dev/sr2"},
    };
    for (const NodeCase& c : cases) {
        SCOPED_TRACE(c.letter);
        FakeKernel kernel;
        kernel.sgEntries[std::string("/sys/class/block/") + c.blockName + "/device/scsi_generic"] =
            c.sysfsEntry;
        LinuxSgBackend backend(kernel.Calls());
        EXPECT_NE(backend.Open(c.letter), kInvalidDeviceHandle);
        ASSERT_EQ(kernel.opens.size(), 1u);
        EXPECT_EQ(kernel.opens[0].first, c.expectedPath);
        EXPECT_EQ(kernel.opens[0].second, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    }
}

TEST(LinuxSgBackendTest, RefusesWhatCannotBeOpened) {
    FakeKernel kernel;
    LinuxSgBackend backend(kernel.Calls());
    EXPECT_EQ(backend.Open('A'), kInvalidDeviceHandle);
    EXPECT_EQ(backend.Open(0), kInvalidDeviceHandle);
    EXPECT_TRUE(kernel.opens.empty());
    kernel.openErrno = EACCES;
    EXPECT_EQ(backend.Open('C'), kInvalidDeviceHandle);
    EXPECT_EQ(backend.HoldMediaChangeNotification('C'), kInvalidDeviceHandle);
}

TEST(LinuxSgBackendTest, MediaEventHoldIsAnExclusiveOpenOfTheBlockNode) {
    FakeKernel kernel;
    kernel.sgEntries["/sys/class/block/sr0/device/scsi_generic"] = "sg0";
    LinuxSgBackend backend(kernel.Calls());
    const DeviceHandle hold = backend.HoldMediaChangeNotification('C');
    ASSERT_NE(hold, kInvalidDeviceHandle);
    ASSERT_EQ(kernel.opens.size(), 1u);
    EXPECT_EQ(kernel.opens[0].first, "/dev/sr0");
    EXPECT_EQ(kernel.opens[0].second, O_RDWR | O_NONBLOCK | O_EXCL | O_CLOEXEC);
    backend.Close(hold);
    EXPECT_EQ(kernel.closes, std::vector<int>{static_cast<int>(hold)});
}

struct RequestCase {
    const char* name;
    TransferDirection direction;
    std::uint32_t length;
    int expectedDirection;
};

TEST(LinuxSgBackendTest, FillsTheSgIoHeaderForEveryDirection) {
    const RequestCase cases[] = {
        {"data in", TransferDirection::DataIn, 256, SG_DXFER_FROM_DEV},
        {"data out", TransferDirection::DataOut, 256, SG_DXFER_TO_DEV},
        {"no data", TransferDirection::None, 0, SG_DXFER_NONE},
        {"data out of length 0", TransferDirection::DataOut, 0, SG_DXFER_NONE},
    };
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKernel kernel;
        LinuxSgBackend backend(kernel.Calls());
        std::vector<std::uint8_t> buffer(256);
        CommandRequest request;
        request.cdb = {0x3C, 0x01, 0xF4, 0, 0, 0, 0, 0x01, 0, 0, 0, 0x99};
        request.direction = c.direction;
        request.data = buffer.data();
        request.length = c.length;
        const DeviceHandle handle = backend.Open('C');
        backend.Execute(handle, request);
        EXPECT_EQ(kernel.seenFd, handle);
        EXPECT_EQ(kernel.seen.interface_id, 'S');
        EXPECT_EQ(kernel.seen.cmd_len, 12);
        EXPECT_EQ(kernel.seenCdb,
                  std::vector<unsigned char>(request.cdb.begin(), request.cdb.end()));
        EXPECT_EQ(kernel.seen.dxfer_direction, c.expectedDirection);
        EXPECT_EQ(kernel.seen.dxfer_len, c.length);
        EXPECT_EQ(kernel.seen.dxferp, buffer.data());
        EXPECT_EQ(kernel.seen.mx_sb_len, 18);
        EXPECT_NE(kernel.seen.sbp, nullptr);
        EXPECT_EQ(kernel.seen.timeout, 360000u);
    }
}

struct ResultCase {
    const char* name;
    int ioctlErrno;
    unsigned char status;
    unsigned short hostStatus;
    unsigned short driverStatus;
    unsigned char senseWritten;
    bool delivered;
    int osError;
    std::uint16_t reportedDriverStatus;
    std::uint8_t senseLength;
};

TEST(LinuxSgBackendTest, KeepsOsTransportAndScsiFailuresApart) {
    const ResultCase cases[] = {
        {"good", 0, 0, 0, 0, 0, true, 0, 0, 0},
        {"kernel refuses: no privilege", EPERM, 0, 0, 0, 0, false, EPERM, 0, 0},
        {"device gone", ENODEV, 0, 0, 0, 0, false, ENODEV, 0, 0},
        {"host adapter lost the device", 0, 0, 0x01, 0, 0, false, EIO, 0, 0},
        {"driver error without sense", 0, 0, 0, 0x06, 0, false, EIO, 0x06, 0},
        {"check condition with sense", 0, 0x02, 0, 0x08, 18, true, 0, 0, 18},
        {"overlong sense is clamped", 0, 0x02, 0, 0x08, 32, true, 0, 0, 18},
        {"sense flag alone is no driver error", 0, 0, 0, 0x08, 0, true, 0, 0, 0},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKernel kernel;
        kernel.ioctlErrno = c.ioctlErrno;
        kernel.status = c.status;
        kernel.hostStatus = c.hostStatus;
        kernel.driverStatus = c.driverStatus;
        kernel.sense = {0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0x01, 0, 0, 0, 0};
        kernel.senseWritten = c.senseWritten;
        kernel.resid = 12;
        LinuxSgBackend backend(kernel.Calls());
        const CommandResult result = backend.Execute(backend.Open('C'), CommandRequest{});
        EXPECT_EQ(result.delivered, c.delivered);
        EXPECT_EQ(result.osError, c.osError);
        EXPECT_EQ(result.senseLength, c.senseLength);
        if (!c.delivered) {
            EXPECT_STRNE(result.osReason, "");
        }
        if (c.delivered) {
            EXPECT_EQ(result.scsiStatus, c.status);
            EXPECT_EQ(result.residual, 12);
            EXPECT_EQ(result.sense[12], c.senseLength ? 0x3A : 0x00);
        }
        if (c.ioctlErrno == 0) {
            EXPECT_EQ(result.hostStatus, c.hostStatus);
            EXPECT_EQ(result.driverStatus, c.reportedDriverStatus);
        }
    }
}

TEST(LinuxSgBackendTest, HandleThatIsNoFdIsNotDeliveredWithoutCallingTheKernel) {
    const DeviceHandle notFds[] = {kInvalidDeviceHandle, -7, DeviceHandle{1} << 40};
    for (const DeviceHandle handle : notFds) {
        SCOPED_TRACE(handle);
        FakeKernel kernel;
        LinuxSgBackend backend(kernel.Calls());
        const CommandResult result = backend.Execute(handle, CommandRequest{});
        EXPECT_FALSE(result.delivered);
        EXPECT_EQ(result.osError, EBADF);
        EXPECT_EQ(kernel.ioctlCalls, 0);
        backend.Close(handle);
        EXPECT_TRUE(kernel.closes.empty());
    }
}

TEST(LinuxSgBackendTest, RealKernelRefusalCarriesItsErrno) {
    const LinuxSystemCalls calls = LinuxSystemCalls::Real();
    const int fd = calls.open("/dev/null", O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const CommandResult result = LinuxSgBackend(calls).Execute(fd, CommandRequest{});
    calls.close(fd);
    EXPECT_FALSE(result.delivered);
    EXPECT_EQ(result.osError, ENOTTY) << "/dev/null knows no SG_IO";
}

// The real sysfs reader on a scratch directory standing in for .../scsi_generic.
class SingleDirectoryEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavoren-sysfs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    std::string Read(const std::string& directory) const {
        return LinuxSystemCalls::Real().singleDirectoryEntry((m_root / directory).string());
    }
    void Populate(const std::string& directory, const std::vector<std::string>& entries) const {
        std::filesystem::create_directories(m_root / directory);
        for (const std::string& entry : entries) std::ofstream(m_root / directory / entry);
    }

private:
    std::filesystem::path m_root;
};

TEST_F(SingleDirectoryEntryTest, NamesTheEntryOnlyWhenItIsAlone) {
    Populate("one", {"sg3"});
    Populate("none", {});
    Populate("two", {"sg3", "sg5"});
    EXPECT_EQ(Read("one"), "sg3");
    EXPECT_EQ(Read("none"), "");
    EXPECT_EQ(Read("two"), "");
    EXPECT_EQ(Read("missing"), "") << "sg module not loaded";
    EXPECT_EQ(Read("one/sg3"), "") << "not a directory";
}

class LinuxTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = InstallDeviceBackend(std::make_unique<LinuxSgBackend>(kernel.Calls()));
        GetCurrentDrive() = CurrentDrive{};
        ClearLastDeliveryFailure();
    }
    void TearDown() override {
        GetCurrentDrive() = CurrentDrive{};
        InstallDeviceBackend(std::move(m_previous));
    }
    FakeKernel kernel;

private:
    std::unique_ptr<DeviceBackend> m_previous;
};

TEST_F(LinuxTransportTest, RefusedRequestReadsAsSuccessAndKeepsTheReason) {
    ASSERT_TRUE(OpenDrive('C'));
    kernel.ioctlErrno = EPERM;
    GetCurrentDrive().lastErrorClass = DriveErrorClass::BecomingReady;
    const Cdb writeBuffer = {0x3B, 0x01, 0xFA, 0, 0, 0, 0, 0x01, 0, 0, 0, 0};
    std::uint8_t page[256] = {};
    EXPECT_TRUE(SendDriveCommand(writeBuffer, GetCurrentDrive(), TransferDirection::DataOut, page,
                                 sizeof page));
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::BecomingReady);
    EXPECT_EQ(LastDeliveryFailure().osError, EPERM);
}

TEST_F(LinuxTransportTest, CheckConditionIsClassifiedFromTheReturnedSense) {
    ASSERT_TRUE(OpenDrive('C'));
    kernel.status = 0x02;
    kernel.driverStatus = 0x08;
    kernel.sense = {0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0x02};
    kernel.senseWritten = 14;
    const Cdb readDiscInfo = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0, 0, 0};
    std::uint8_t data[34] = {};
    EXPECT_FALSE(SendDriveCommand(readDiscInfo, GetCurrentDrive(), TransferDirection::DataIn, data,
                                  sizeof data));
    EXPECT_EQ(GetCurrentDrive().lastErrorClass, DriveErrorClass::MediumNotPresent);
}

TEST_F(LinuxTransportTest, CommandWithoutOpenDriveTransfersNothing) {
    std::uint8_t data[8] = {0xAA};
    const Cdb inquiry = {0x12, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(SendDriveCommand(inquiry, GetCurrentDrive(), TransferDirection::DataIn, data, 8));
    EXPECT_EQ(data[0], 0xAA);
    EXPECT_EQ(LastDeliveryFailure().osError, EBADF);
}

}  // namespace
}  // namespace tavoren
