#include "cli/Report.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/Json.h"

namespace tavoren::cli {
namespace {

struct QuotedCase {
    std::string text;
    std::string quoted;
};

class JsonQuotedTest : public ::testing::TestWithParam<QuotedCase> {};

TEST_P(JsonQuotedTest, EscapesWhatJsonForbids) {
    EXPECT_EQ(JsonQuoted(GetParam().text), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonQuotedTest,
    ::testing::Values(QuotedCase{"E : TAVOREN", R"("E : TAVOREN")"},
                      QuotedCase{R"(say "hi")", R"("say \"hi\"")"},
                      QuotedCase{R"(C:\drive)", R"("C:\\drive")"},
                      QuotedCase{"a\nb\tc\rd", R"("a\nb\tc\rd")"},
                      QuotedCase{std::string("\x01\x1f\x7f", 3), R"("\u0001\u001F\u007F")"},
                      QuotedCase{"caf\xc3\xa9", "\"caf\xc3\xa9\""}, QuotedCase{"", R"("")"}));

TEST(JsonWriterTest, SeparatesMembersAndNestedValues) {
    JsonWriter json;
    json.BeginObject()
        .Key("a")
        .BeginArray()
        .Number(1)
        .BeginObject()
        .EndObject()
        .Null()
        .EndArray()
        .Key("b")
        .Bool(false)
        .Key("c\"")
        .String("x")
        .EndObject();
    EXPECT_EQ(json.Text(), R"({"a":[1,{},null],"b":false,"c\"":"x"})");
}

// Bytes the drive may report outside the known values.
DriveReport OutOfRangeReport() {
    DriveReport report;
    report.letter = 'E';
    report.deviceName = "E";
    report.displayName = "E : \"odd\" drive";
    report.state.ledControl = true;
    report.state.ledPattern = 6;
    report.state.ledBrightness = 9;
    report.state.ledBlinkCycle = 200;
    report.state.usbDirect = true;
    report.state.usbDirectPattern = 0xFF;
    return report;
}

TEST(ShowReportTest, UnknownLedBytesAppearAsNumbers) {
    const std::string text = FormatShowText(OutOfRangeReport());
    EXPECT_NE(text.find("LED pattern:        6\n"), std::string::npos) << text;
    EXPECT_NE(text.find("LED brightness:     9\n"), std::string::npos) << text;
    EXPECT_NE(text.find("LED blinking cycle: 200\n"), std::string::npos) << text;
    EXPECT_NE(text.find("USB direct pattern: 255\n"), std::string::npos) << text;

    EXPECT_EQ(FormatShowJson(OutOfRangeReport()),
              R"({"letter":"E","device":"E","name":"E : \"odd\" drive","quietMode":"off",)"
              R"("veritraxMode":"off","realTime":false,)"
              R"("led":{"pattern":6,"brightness":9,"blinkCycle":200},"usbDirectPattern":255})"
              "\n");
}

}  // namespace
}  // namespace tavoren::cli
