#include <optional>
#include <string>
#include <utility>

#include "sim/ScsiReplies.h"
#include "sim/SimulatedBus.h"

namespace tavoren::sim {
namespace {

// A device of another kind or maker: identifies itself and, when it has a model-code
// buffer, answers that one read; every other command is refused.
class ForeignDevice final : public SimulatedDevice {
public:
    ForeignDevice(const InquiryIdentity& identity, std::optional<std::string> modelCode)
        : m_inquiry(BuildInquiryData(identity)), m_modelCode(std::move(modelCode)) {}

    CommandResult Execute(const CommandRequest& request) override {
        return WithResidualOnFailure(request, Respond(request));
    }

private:
    CommandResult Respond(const CommandRequest& request) const {
        switch (request.cdb[0]) {
            case kOpInquiry:
                return AnswerInquiry(request, m_inquiry);
            case kOpReadBuffer:
                return ReadBuffer(request);
            default:
                return InvalidOperationCode();
        }
    }

    CommandResult ReadBuffer(const CommandRequest& request) const {
        if (!m_modelCode) return InvalidOperationCode();
        const BufferCommand command = ParseBufferCommand(request.cdb);
        if (!IsModelCodeRead(command)) return InvalidFieldInCdb();
        return ReturnData(request, BuildModelCodeBuffer(*m_modelCode), command.length);
    }

    InquiryData m_inquiry;
    std::optional<std::string> m_modelCode;
};

}  // namespace

std::unique_ptr<SimulatedDevice> MakeSimulatedDisk() {
    return std::make_unique<ForeignDevice>(
        InquiryIdentity{kPeripheralDisk, false, "ACMEDISK", "SSD 512G", "2.10", ""}, std::nullopt);
}

std::unique_ptr<SimulatedDevice> MakeForeignOpticalDrive() {
    return std::make_unique<ForeignDevice>(
        InquiryIdentity{kPeripheralOptical, true, "OTHERCO", "DVD-RW XR-9000", "3.2A", ""},
        "XR-9000");
}

}  // namespace tavoren::sim
