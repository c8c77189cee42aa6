#include "res/StringTable.h"

#include <algorithm>
#include <iterator>

namespace tavoren::res {
namespace {

struct StringEntry {
    int id;
    const char* english;   // nullptr: no text in English
    const char* japanese;  // nullptr: no text in Japanese
};

// Sorted by id. UTF-8; "\r\n" is a stored line break.
// clang-format off
const StringEntry kStrings[] = {
    {101,
     "Version Information TavorenDriveUtility(&A)...",
     "バージョン情報 TavorenDriveUtility(&A)..."},
    {102, "Checking now, rest %d sec.", "チェック中 残り%d秒"},
    {103, " ", " "},
    {104, "OK", "OK"},
    {105, "OK", "OK"},
    {106, "NG", "NG"},
    {107, "Blink1", "点滅１"},
    {108, "Blink2", "点滅２"},
    {109, "Blink3", "点滅３"},
    {110, "Flicker", "陽炎"},
    {111, "On", "点灯"},
    {112, "Off", "消灯"},
    {113, "LED Control", "LED制御"},
    {114, "Bright", "明るい"},
    {115, "Brightness", "明るさ"},
    {116, "With no disc", "ディスクなし時"},
    {117, "Lighting pattern", "点灯パターン"},
    {118, "Blinking cycle", "点滅周期"},
    {119, "Long", "長い"},
    {120, "USB direct-mode operation", "USBダイレクトモード動作時"},
    {121, "Lighting pattern", "点灯パターン"},
    {122, "Calmspin Feature", "カームスピン機能"},
    {123, "Persistent Quiet Mode", "常時静音モード"},
    {124, "Quiet Mode", "静音モード"},
    {125, "Performance Mode", "パフォーマンスモード"},
    {126, "Save Calmspin Feature setting to the drive", "ドライブに設定を保存する"},
    {127, "Perfect Mode", "パーフェクトモード"},
    {128, "Master Mode", "マスターモード"},
    {129, "Save VERITRAX setting to the drive", "ドライブに設定を保存する"},
    {130, "Check the drive operation with USB bus power", "バスパワー動作チェック"},
    {131, "Run", "チェックを実行する"},
    {132, "Eject disc", "ディスク取り出し"},
    {133, "Force eject disc", "ディスクを強制的に取り出す"},
    {134, "Switches the \"Veritrax\" On/Off.", "ヴェリトラックス機能のOn/Offを切り替えます。"},
    {135,
     "When there is a read error, the drive will retry to read.\r\n"
     "If the reading has failed after several attempts, a read error is returned and drive "
     "operation will stop.",
     "リードエラーが発生した場合、一定回数再読み取りを行います。"
     "それでも読み取り出来なかった場合はリードエラーで読み取り動作を停止します。"},
    {136,
     "When there is a read error, the drive will retry to read.\r\n"
     "If the reading has failed after several attempts, the drive will interpolate the data "
     "and continue the operation.",
     "リードエラーが発生した場合、一定回数再読み取りを行います。"
     "それでも読み取り出来なかった場合はデータの補間をして読み取り動作を継続します。"},
    {137,
     "Veritrax will work with the optimal algorithm for real-time playback.",
     "リアルタイム再生に最適なアルゴリズムでヴェリトラックスを働かせます。"},
    {138,
     "Please insert a disc.  Any kind of a disc will do.",
     "ディスクを挿入してください。\r\nディスクの種類は何でも構いません。"},
    {139, "No disc is found.", "ディスクがありません。"},
    {140, "Save LED Control setting to the drive", "設定を適用する"},
    {141, nullptr, "設定はドライブに保存されます"},
    {142,
     "Check the drive operation with USB bus power",
     "ドライブがUSBのバスパワーで動作するか確認します。"},
    {143, "Blink", "点滅"},
    {144, "Restore Factory Default", "工場出荷時の設定に戻す"},
    {145,
     " Reset all of the settings to the factory default. OK?",
     "全ての設定を工場出荷時の設定に戻します。\r\nよろしいですか？"},
    {146,
     " Reset all of the settings to the factory default. ",
     "全ての設定を工場出荷時の設定に戻します。"},
    {147, " Switch LED brightness in three levels.", "LEDの明るさを3段階で切り替えます。"},
    {148, " Switch LED blinking cycle in four levels.", "LEDの点滅周期を4段階で切り替えます。"},
    {149,
     " Switch LED lighting pattern of USB direct-mode operation.",
     "USBダイレクト用LEDの点灯パターンを切り替えます。"},
    {150, " Switch LED lighting pattern.", "LEDの点灯パターンを切り替えます。"},
    {151,
     " When a disc cannot be taken out, it will be ejected forcibly.",
     "ディスクが取り出せなくなったときに強制的にディスクを取り出します。"},
    {152,
     " If the drive is under operation, incompleted task will be discarded. Do you continue "
     "to eject the disc?",
     "ドライブが作業中の場合、作業内容が破棄されます。\r\nディスクを強制的に取り出しますか？"},
    {153,
     " ",
     "ディスクリード中のディスク回転数の自動制御を\r\n静音優先かパフォーマンス優先か選択します。"},
    {154, " ", "音楽CDリード中にエラーの発生を防ぎデータの補間を低減する機能です。"},
    {155,
     "The drive is not connected.",
     "ドライブが接続されていません。\r\nドライブを接続後、ユーティリティを立ち上げてください。"},
    {1003,
     "The drive will keep spinning in low speed to avoid operational and fan noise\r\n"
     "without affecting playback performance.",
     "ディスク挿入後は常に再生に影響のない低い速度でディスクを回転させ騒音を低減します"},
    {1004,
     "Factory default\r\n"
     "After inserting a disc, the drive will spin in low speed to avoid operational and fan "
     "noise.\r\n"
     "The drive will adjust its spinning speed depending on the situation.",
     "【工場出荷時設定】ディスク挿入後は再生に影響のない低い速度でディスクを回転させ騒音を低減"
     "します。その後、シチュエーションに応じて最適な回転速度に調整します。"},
    {1005,
     "After inserting a disc, the drive will spin in maximum high speed.\r\n"
     "The drive will adjust its spinning speed depending on the situation.",
     "ディスク挿入後は最高速度でディスクを回転させます。その後、"
     "シチュエーションに応じて最適な回転速度に調整します。"},
    {1012,
     "Switches the \"Calmspin Feature \" On/Off.",
     "カームスピン機能のOn/Offを切り替えます。"},
};
// clang-format on

std::optional<Language> g_uiLanguageOverride;
std::optional<bool> g_userLocaleJapaneseOverride;

const StringEntry* FindEntry(int id) {
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                      [](const StringEntry& e, int key) { return e.id < key; });
    return it != std::end(kStrings) && it->id == id ? it : nullptr;
}

}  // namespace

Language LanguageForUiLanguages(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) {
        return Language::English;
    }
    return QLocale(uiLanguages.front()).language() == QLocale::Japanese ? Language::Japanese
                                                                        : Language::English;
}

bool IsJapaneseLocale(const QLocale& locale) { return locale.language() == QLocale::Japanese; }

Language UiLanguage() {
    return g_uiLanguageOverride.value_or(LanguageForUiLanguages(QLocale::system().uiLanguages()));
}

bool UserLocaleIsJapanese() {
    return g_userLocaleJapaneseOverride.value_or(IsJapaneseLocale(QLocale::system()));
}

void OverrideUiLanguage(std::optional<Language> language) { g_uiLanguageOverride = language; }

void OverrideUserLocaleJapanese(std::optional<bool> japanese) {
    g_userLocaleJapaneseOverride = japanese;
}

QString LoadString(int id, Language language) {
    const StringEntry* entry = FindEntry(id);
    if (entry == nullptr) {
        return {};
    }
    const char* text = language == Language::Japanese ? entry->japanese : entry->english;
    return text == nullptr ? QString() : QString::fromUtf8(text);
}

QString LoadString(int id) { return LoadString(id, UiLanguage()); }

QString DisplayText(const QString& stored) {
    QString shown = stored;
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace tavoren::res
