#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "res/DialogTemplate.h"
#include "tests/res/QtPrinters.h"

using namespace Qt::StringLiterals;

namespace tavoren::res {
namespace {

constexpr Language kLanguages[] = {Language::English, Language::Japanese};
constexpr int kTemplateIds[] = {kAboutTemplate,       kMainWindowTemplate, kStatusPageTemplate,
                                kUtilityPageTemplate, kLedPageTemplate,    kSettingPageTemplate};

const ControlTemplate& ControlOf(const DialogTemplate& dialog, int id) {
    const auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                 [id](const ControlTemplate& c) { return c.id == id; });
    EXPECT_NE(it, dialog.controls.end()) << "control " << id << " of template " << dialog.id;
    return *it;
}

std::vector<int> IdsOf(const DialogTemplate& dialog, unsigned requiredStyle = 0) {
    std::vector<int> ids;
    for (const ControlTemplate& control : dialog.controls) {
        if ((control.style & requiredStyle) == requiredStyle) {
            ids.push_back(control.id);
        }
    }
    return ids;
}

TEST(DialogTemplateTest, EachVariantIsTheOneAskedFor) {
    for (const int id : kTemplateIds) {
        for (const Language language : kLanguages) {
            const DialogTemplate& found = FindTemplate(id, language);
            EXPECT_EQ(found.id, id);
            const bool japaneseOnly = id == kStatusPageTemplate || id == kSettingPageTemplate;
            EXPECT_EQ(found.language, japaneseOnly ? Language::Japanese : language) << id;
        }
    }
    EXPECT_EQ(&FindTemplate(kStatusPageTemplate, Language::English),
              &FindTemplate(kStatusPageTemplate, Language::Japanese));
    EXPECT_EQ(&FindTemplate(kSettingPageTemplate, Language::English),
              &FindTemplate(kSettingPageTemplate, Language::Japanese));
}

// Both languages carry the same controls; a control lost in one variant shows up here.
TEST(DialogTemplateTest, VariantsHaveTheSameControlsAndUniqueIds) {
    for (const int id : kTemplateIds) {
        std::multiset<std::pair<int, int>> perLanguage[2];
        for (const Language language : kLanguages) {
            std::set<int> seen;
            for (const ControlTemplate& control : FindTemplate(id, language).controls) {
                perLanguage[static_cast<int>(language)].emplace(control.id,
                                                                static_cast<int>(control.kind));
                if (control.id != -1) {
                    EXPECT_TRUE(seen.insert(control.id).second)
                        << "id " << control.id << " twice in template " << id;
                }
            }
        }
        EXPECT_EQ(perLanguage[0], perLanguage[1]) << "template " << id;
    }
}

TEST(DialogTemplateTest, UtilityPageOrderDiffersPerLanguage) {
    const DialogTemplate& english = FindTemplate(kUtilityPageTemplate, Language::English);
    const DialogTemplate& japanese = FindTemplate(kUtilityPageTemplate, Language::Japanese);
    EXPECT_EQ(IdsOf(english), (std::vector<int>{1038, 1026, 1015, 1039, 1027, 1041, 1043}));
    EXPECT_EQ(IdsOf(japanese), (std::vector<int>{1027, 1041, 1038, 1039, 1043, 1015, 1026}));
    EXPECT_EQ(IdsOf(english, control_style::kTabStop), (std::vector<int>{1026, 1015, 1043}));
    EXPECT_EQ(IdsOf(japanese, control_style::kTabStop), (std::vector<int>{1043, 1015, 1026}));
}

struct LanguageGeometry {
    int templateId;
    int controlId;
    QRect english;
    QRect japanese;
};

TEST(DialogTemplateTest, ControlGeometryFollowsTheLanguage) {
    const LanguageGeometry cases[] = {
        {kUtilityPageTemplate, 1043, {75, 143, 129, 14}, {108, 147, 99, 14}},
        {kLedPageTemplate, 1040, {81, 150, 125, 14}, {120, 150, 71, 14}},
        {kMainWindowTemplate, 1001, {7, 33, 192, 202}, {9, 33, 192, 201}},
    };
    for (const LanguageGeometry& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "template " << c.templateId << " control " << c.controlId);
        EXPECT_EQ(ControlOf(FindTemplate(c.templateId, Language::English), c.controlId).rect,
                  c.english);
        EXPECT_EQ(ControlOf(FindTemplate(c.templateId, Language::Japanese), c.controlId).rect,
                  c.japanese);
    }
    // The About box's version line, second in the template.
    EXPECT_EQ(FindTemplate(kAboutTemplate, Language::English).controls[1].rect,
              QRect(42, 14, 123, 8));
    EXPECT_EQ(FindTemplate(kAboutTemplate, Language::Japanese).controls[1].rect,
              QRect(42, 14, 126, 8));
}

TEST(DialogTemplateTest, DialogSizesFollowTheLanguage) {
    const std::tuple<int, QSize, QSize> cases[] = {
        {kMainWindowTemplate, {206, 243}, {207, 243}},
        {kUtilityPageTemplate, {214, 167}, {214, 164}},
        {kLedPageTemplate, {215, 170}, {215, 170}},
        {kAboutTemplate, {222, 63}, {222, 63}},
    };
    for (const auto& [id, english, japanese] : cases) {
        EXPECT_EQ(FindTemplate(id, Language::English).size, english) << id;
        EXPECT_EQ(FindTemplate(id, Language::Japanese).size, japanese) << id;
    }
}

TEST(DialogTemplateTest, StylesThatDependOnTheLanguage) {
    const unsigned ownerDrawn = control_style::kOwnerDrawFixedTabs;
    EXPECT_FALSE(
        ControlOf(FindTemplate(kMainWindowTemplate, Language::English), 1001).Has(ownerDrawn));
    EXPECT_TRUE(
        ControlOf(FindTemplate(kMainWindowTemplate, Language::Japanese), 1001).Has(ownerDrawn));
    EXPECT_TRUE(ControlOf(FindTemplate(kLedPageTemplate, Language::English), 1035)
                    .Has(control_style::kHidden));
    EXPECT_FALSE(ControlOf(FindTemplate(kLedPageTemplate, Language::Japanese), 1035)
                     .Has(control_style::kHidden));
}

TEST(DialogTemplateTest, TitlesFontsAndWindowKinds) {
    for (const Language language : kLanguages) {
        for (const int id : kTemplateIds) {
            const DialogTemplate& dialog = FindTemplate(id, language);
            const bool page = id != kAboutTemplate && id != kMainWindowTemplate;
            SCOPED_TRACE(testing::Message() << "template " << id);
            EXPECT_EQ(dialog.Has(dialog_style::kChild), page);
            EXPECT_EQ(dialog.Has(dialog_style::kPopup), !page);
            EXPECT_EQ(dialog.Has(dialog_style::kVisible), id == kMainWindowTemplate);
            EXPECT_EQ(dialog.title == nullptr, page);
            EXPECT_EQ(dialog.origin, page ? QPoint(12, 40) : QPoint());
            EXPECT_STREQ(dialog.font.face, page ? "MS Shell Dlg" : "MS UI Gothic");
            EXPECT_EQ(dialog.font.pointSize, page ? 8 : 9);
            EXPECT_EQ(dialog.font.shellFont, page);
        }
    }
    EXPECT_STREQ(FindTemplate(kAboutTemplate, Language::English).title,
                 "Version Information Tavoren BD Drive Utility");
    EXPECT_EQ(QString::fromUtf8(FindTemplate(kAboutTemplate, Language::Japanese).title),
              u"バージョン情報 Tavoren BD Drive Utility"_s);
}

}  // namespace
}  // namespace tavoren::res
