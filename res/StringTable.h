#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// The program's string table in English and Japanese, and the two language decisions.
namespace tavoren::res {

enum class Language { English, Japanese };

// Caption of the program's message boxes.
inline constexpr char kApplicationName[] = "Tavoren BD Drive Utility";

// Language of every resource (strings and templates): Japanese for a Japanese user-interface
// language, English for any other. Follows the first entry of QLocale::system().uiLanguages()
// unless a test override is set.
Language UiLanguage();

// Whether the user's locale for formats is Japanese (the "user default LCID 1041" decision that
// selects the help item and the Japanese help file). Independent of UiLanguage().
bool UserLocaleIsJapanese();

// The decisions themselves, for any language list or locale.
Language LanguageForUiLanguages(const QStringList& uiLanguages);
bool IsJapaneseLocale(const QLocale& locale);

// Test overrides: a value replaces the system's answer, std::nullopt restores it.
void OverrideUiLanguage(std::optional<Language> language);
void OverrideUserLocaleJapanese(std::optional<bool> japanese);

// Text of a string id exactly as stored (line breaks as CR LF, leading and trailing spaces kept).
// An empty (null) QString when the language has no text for the id or the id is unknown.
QString LoadString(int id, Language language);
QString LoadString(int id);  // in UiLanguage()

// The stored CR LF line breaks as the LF that Qt widgets break lines at.
QString DisplayText(const QString& stored);

}  // namespace tavoren::res
