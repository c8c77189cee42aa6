#include <gtest/gtest.h>

#include "res/StringTable.h"
#include "tests/res/QtPrinters.h"

using namespace Qt::StringLiterals;

namespace tavoren::res {
namespace {

class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override {
        OverrideUiLanguage(std::nullopt);
        OverrideUserLocaleJapanese(std::nullopt);
    }
};

struct StoredText {
    int id;
    Language language;
    QString expected;
};

TEST_F(StringTableTest, TextsAreStoredExactly) {
    const StoredText cases[] = {
        {145, Language::English, u" Reset all of the settings to the factory default. OK?"_s},
        {146, Language::English, u" Reset all of the settings to the factory default. "_s},
        {153, Language::English, u" "_s},
        {153, Language::Japanese,
         u"ディスクリード中のディスク回転数の自動制御を\r\n静音優先かパフォーマンス優先か選択します。"_s},
        {135, Language::English,
         u"When there is a read error, the drive will retry to read.\r\nIf the reading has "
         u"failed after several attempts, a read error is returned and drive operation will "
         u"stop."_s},
        {155, Language::Japanese,
         u"ドライブが接続されていません。\r\nドライブを接続後、ユーティリティを立ち上げてください。"_s},
        {134, Language::English, u"Switches the \"Veritrax\" On/Off."_s},
        {1012, Language::English, u"Switches the \"Calmspin Feature \" On/Off."_s},
        {141, Language::Japanese, u"設定はドライブに保存されます"_s},
        {104, Language::English, u"OK"_s},
        {105, Language::English, u"OK"_s},
        {104, Language::Japanese, u"OK"_s},
        {105, Language::Japanese, u"OK"_s},
        {107, Language::Japanese, u"点滅１"_s},
        {102, Language::English, u"Checking now, rest %d sec."_s},
    };
    for (const StoredText& c : cases) {
        SCOPED_TRACE(testing::Message() << "string " << c.id);
        EXPECT_EQ(LoadString(c.id, c.language), c.expected);
    }
}

TEST_F(StringTableTest, MissingTextsAreEmpty) {
    const std::pair<int, Language> cases[] = {
        {141, Language::English},  {100, Language::English},   {156, Language::Japanese},
        {1006, Language::English}, {1013, Language::Japanese}, {-1, Language::English},
    };
    for (const auto& [id, language] : cases) {
        SCOPED_TRACE(testing::Message() << "string " << id);
        EXPECT_TRUE(LoadString(id, language).isEmpty());
    }
}

TEST_F(StringTableTest, EveryIdHasTextInBothLanguagesExceptEnglish141) {
    std::vector<int> ids = {1003, 1004, 1005, 1012};
    for (int id = 101; id <= 155; ++id) {
        ids.push_back(id);
    }
    for (const int id : ids) {
        SCOPED_TRACE(testing::Message() << "string " << id);
        EXPECT_FALSE(LoadString(id, Language::Japanese).isEmpty());
        EXPECT_EQ(LoadString(id, Language::English).isEmpty(), id == 141);
    }
}

TEST_F(StringTableTest, DisplayTextTurnsStoredBreaksIntoLineFeeds) {
    const std::pair<QString, QString> cases[] = {
        {u""_s, u""_s},
        {u" x "_s, u" x "_s},
        {u"a\r\nb"_s, u"a\nb"_s},
        {u"a\r\n\r\nb\r\n"_s, u"a\n\nb\n"_s},
    };
    for (const auto& [stored, shown] : cases) {
        EXPECT_EQ(DisplayText(stored), shown);
    }
    EXPECT_EQ(DisplayText(LoadString(155, Language::Japanese)).count(u'\n'), 1);
    EXPECT_FALSE(DisplayText(LoadString(155, Language::Japanese)).contains(u'\r'));
}

TEST_F(StringTableTest, UiLanguageFollowsTheFirstUiLanguage) {
    const std::pair<QStringList, Language> cases[] = {
        {{u"ja"_s}, Language::Japanese},
        {{u"ja-JP"_s}, Language::Japanese},
        {{u"ja_JP"_s, u"en-US"_s}, Language::Japanese},
        {{u"en-US"_s, u"ja-JP"_s}, Language::English},
        {{u"en"_s}, Language::English},
        {{u"de-DE"_s}, Language::English},
        {{u"de"_s}, Language::English},
        {{u"zh-CN"_s}, Language::English},
        {{}, Language::English},
    };
    for (const auto& [uiLanguages, expected] : cases) {
        SCOPED_TRACE(uiLanguages.join(u',').toStdString());
        EXPECT_EQ(LanguageForUiLanguages(uiLanguages), expected);
    }
}

TEST_F(StringTableTest, UserLocaleDecisionLooksAtTheLocaleLanguage) {
    EXPECT_TRUE(IsJapaneseLocale(QLocale(QLocale::Japanese, QLocale::Japan)));
    EXPECT_TRUE(IsJapaneseLocale(QLocale(u"ja_JP"_s)));
    EXPECT_FALSE(IsJapaneseLocale(QLocale(u"en_US"_s)));
    EXPECT_FALSE(IsJapaneseLocale(QLocale(u"de_DE"_s)));
}

TEST_F(StringTableTest, WithoutOverridesTheSystemLocaleDecides) {
    EXPECT_EQ(UiLanguage(), LanguageForUiLanguages(QLocale::system().uiLanguages()));
    EXPECT_EQ(UserLocaleIsJapanese(), IsJapaneseLocale(QLocale::system()));
}

// The two decisions are independent: every combination of interface language and user locale.
TEST_F(StringTableTest, OverridesCoverEveryCombination) {
    for (const Language language : {Language::English, Language::Japanese}) {
        for (const bool japaneseLocale : {false, true}) {
            OverrideUiLanguage(language);
            OverrideUserLocaleJapanese(japaneseLocale);
            EXPECT_EQ(UiLanguage(), language);
            EXPECT_EQ(UserLocaleIsJapanese(), japaneseLocale);
            EXPECT_EQ(LoadString(124), LoadString(124, language));
        }
    }
    EXPECT_NE(LoadString(124, Language::English), LoadString(124, Language::Japanese));
}

}  // namespace
}  // namespace tavoren::res
