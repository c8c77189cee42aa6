#include "cli/Report.h"

#include "cli/Json.h"

namespace tavoren::cli {
namespace {

const char* YesNo(bool value) { return value ? "yes" : "no"; }

// A byte that has a name is written as that name, any other as its number.
void NamedByteJson(JsonWriter& json, std::string_view name, std::uint8_t value) {
    if (name.empty()) {
        json.Number(value);
    } else {
        json.String(name);
    }
}

void Line(std::string& text, const char* label, const std::string& value) {
    text += label;
    text += value;
    text += '\n';
}

}  // namespace

std::string FormatListText(const std::vector<DriveListing>& drives) {
    std::string text;
    for (const DriveListing& drive : drives) {
        text += drive.displayName + "  [" + drive.modelCode +
                "]  real-time: " + YesNo(drive.realTime) + ", LED: " + YesNo(drive.ledControl) +
                ", USB direct mode: " + YesNo(drive.usbDirect) + "\n";
    }
    return text;
}

std::string FormatListJson(const std::vector<DriveListing>& drives) {
    JsonWriter json;
    json.BeginObject().Key("drives").BeginArray();
    for (const DriveListing& drive : drives) {
        json.BeginObject();
        json.Key("letter").String(std::string(1, drive.letter));
        json.Key("device").String(drive.deviceName);
        json.Key("name").String(drive.displayName);
        json.Key("model").String(drive.modelCode);
        json.Key("realTime").Bool(drive.realTime);
        json.Key("ledControl").Bool(drive.ledControl);
        json.Key("usbDirectMode").Bool(drive.usbDirect);
        json.EndObject();
    }
    json.EndArray().EndObject();
    return json.Text() + "\n";
}

std::string FormatShowText(const DriveReport& report) {
    const DriveState& state = report.state;
    std::string text;
    Line(text, "drive:              ", report.displayName);
    Line(text, "quiet drive mode:   ", std::string(NameOf(state.quietMode)));
    Line(text, "read-error mode:    ", std::string(NameOf(state.veritraxMode)));
    Line(text, "real-time:          ", state.realTime ? "on" : "off");
    if (state.ledControl) {
        Line(text, "LED pattern:        ", LedPatternText(state.ledPattern));
        Line(text, "LED brightness:     ", std::to_string(state.ledBrightness));
        Line(text, "LED blinking cycle: ", std::to_string(state.ledBlinkCycle));
    }
    if (state.usbDirect) {
        Line(text, "USB direct pattern: ", UsbDirectPatternText(state.usbDirectPattern));
    }
    return text;
}

std::string FormatShowJson(const DriveReport& report) {
    const DriveState& state = report.state;
    JsonWriter json;
    json.BeginObject();
    json.Key("letter").String(std::string(1, report.letter));
    json.Key("device").String(report.deviceName);
    json.Key("name").String(report.displayName);
    json.Key("quietMode").String(NameOf(state.quietMode));
    json.Key("veritraxMode").String(NameOf(state.veritraxMode));
    json.Key("realTime").Bool(state.realTime);
    json.Key("led");
    if (state.ledControl) {
        json.BeginObject();
        json.Key("pattern");
        NamedByteJson(json, LedPatternName(state.ledPattern), state.ledPattern);
        json.Key("brightness").Number(state.ledBrightness);
        json.Key("blinkCycle").Number(state.ledBlinkCycle);
        json.EndObject();
    } else {
        json.Null();
    }
    json.Key("usbDirectPattern");
    if (state.usbDirect) {
        NamedByteJson(json, UsbDirectPatternName(state.usbDirectPattern), state.usbDirectPattern);
    } else {
        json.Null();
    }
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace tavoren::cli
