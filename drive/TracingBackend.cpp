#include "drive/TracingBackend.h"

#include <algorithm>
#include <cstring>

namespace tavoren {
namespace {

constexpr std::uint32_t kTracedDataBytes = 16;

const char* DirectionName(TransferDirection direction) {
    switch (direction) {
        case TransferDirection::DataOut: return "out";
        case TransferDirection::DataIn: return "in";
        case TransferDirection::None: return "none";
    }
    return "?";
}

void PrintBytes(std::FILE* sink, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) std::fprintf(sink, "%s%02X", i ? " " : "", bytes[i]);
}

}  // namespace

TracingBackend::TracingBackend(std::unique_ptr<DeviceBackend> inner, std::FILE* sink)
    : m_inner(std::move(inner)), m_sink(sink) {}

TracingBackend::~TracingBackend() { std::fflush(m_sink); }

DeviceHandle TracingBackend::Open(char letter) {
    const DeviceHandle handle = m_inner->Open(letter);
    std::fprintf(m_sink, "open %s -> %s\n", m_inner->DeviceName(letter).c_str(),
                 handle == kInvalidDeviceHandle ? "failed" : "ok");
    return handle;
}

void TracingBackend::Close(DeviceHandle handle) {
    m_inner->Close(handle);
    std::fprintf(m_sink, "close\n");
}

CommandResult TracingBackend::Execute(DeviceHandle handle, const CommandRequest& request) {
    const CommandResult result = m_inner->Execute(handle, request);
    std::fprintf(m_sink, "cdb ");
    PrintBytes(m_sink, request.cdb.data(), request.cdb.size());
    std::fprintf(m_sink, " dir=%s len=%u", DirectionName(request.direction), request.length);
    if (request.direction == TransferDirection::DataOut && request.data != nullptr) {
        std::fprintf(m_sink, " data=");
        PrintBytes(m_sink, request.data, std::min(request.length, kTracedDataBytes));
    }
    if (!result.delivered) {
        std::fprintf(m_sink, " -> not delivered: %s (%s)\n", result.osReason,
                     result.osError ? std::strerror(result.osError) : "transport error");
    } else if (result.scsiStatus == 0) {
        std::fprintf(m_sink, " -> good\n");
    } else {
        std::fprintf(m_sink, " -> status %02X sense ", result.scsiStatus);
        PrintBytes(m_sink, result.sense.data(), result.senseLength);
        std::fprintf(m_sink, "\n");
    }
    return result;
}

DeviceHandle TracingBackend::HoldMediaChangeNotification(char letter) {
    const DeviceHandle handle = m_inner->HoldMediaChangeNotification(letter);
    std::fprintf(m_sink, "hold media events %s -> %s\n", m_inner->DeviceName(letter).c_str(),
                 handle == kInvalidDeviceHandle ? "failed" : "ok");
    return handle;
}

std::string TracingBackend::DeviceName(char letter) const { return m_inner->DeviceName(letter); }

}  // namespace tavoren
