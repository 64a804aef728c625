#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCoreApplication;

// The interface's language: the program's texts are written in Chinese and
// the English edition is a translation loaded at start (":/i18n/ebook_en.qm").
// The book's own content is never translated.
namespace Language {

enum class Choice { Chinese, English };

// "zh" or "en".
QString code(Choice choice);
// "zh"/"en" (any case); nothing for anything else.
std::optional<Choice> parse(const QString &code);
// The language the user's locale asks for: the first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set; English when it begins with "en",
// Chinese for everything else (the C locale included).
Choice fromEnvironment();
// The value of "--lang CODE" or "--lang=CODE"; nothing when absent.
// A value that is neither "en" nor "zh" is an error for the caller to report.
std::optional<QString> argument(const QStringList &arguments);
// The arguments without "--lang" and its value.
QStringList withoutLanguage(const QStringList &arguments);
// The command line's choice, else the remembered one, else the locale's.
Choice chosen(const std::optional<Choice> &commandLine, const std::optional<Choice> &remembered);

// Installs the edition's translation and Qt's own texts (Chinese buttons
// when Chinese), and makes dates and numbers follow the language.
void install(QCoreApplication &app, Choice choice);
// The language installed last (Chinese before any install).
Choice current();

} // namespace Language
