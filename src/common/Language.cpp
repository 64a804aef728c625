#include "common/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Language {

namespace {

Choice installed = Choice::Chinese;

Choice ofLocaleName(const QString &name)
{
    return name.startsWith(QLatin1String("en"), Qt::CaseInsensitive) ? Choice::English : Choice::Chinese;
}

// The regional formats stay the user's own while they are of the chosen language.
void useLocaleOf(Choice choice)
{
    const QLocale::Language wanted = choice == Choice::English ? QLocale::English : QLocale::Chinese;
    if (QLocale::system().language() == wanted)
        QLocale::setDefault(QLocale::system());
    else if (choice == Choice::English)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    else
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

void installLoaded(QCoreApplication &app, QTranslator *translator, bool loaded)
{
    if (loaded)
        app.installTranslator(translator);
    else
        delete translator;
}

} // namespace

QString code(Choice choice)
{
    return choice == Choice::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<Choice> parse(const QString &code)
{
    if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        return Choice::English;
    if (code.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0)
        return Choice::Chinese;
    return std::nullopt;
}

Choice fromEnvironment()
{
    // LANGUAGE is a list ("en_GB:en"); its first entry counts.
    const QString languages = qEnvironmentVariable("LANGUAGE").section(QLatin1Char(':'), 0, 0);
    if (!languages.isEmpty())
        return ofLocaleName(languages);
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return ofLocaleName(value);
    }
    return Choice::Chinese;
}

std::optional<QString> argument(const QStringList &arguments)
{
    const QString option = QStringLiteral("--lang");
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == option)
            return arguments.value(i + 1);
        if (arguments.at(i).startsWith(option + QLatin1Char('=')))
            return arguments.at(i).mid(option.size() + 1);
    }
    return std::nullopt;
}

QStringList withoutLanguage(const QStringList &arguments)
{
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--lang"))
            ++i;
        else if (!arguments.at(i).startsWith(QLatin1String("--lang=")))
            rest << arguments.at(i);
    }
    return rest;
}

Choice chosen(const std::optional<Choice> &commandLine, const std::optional<Choice> &remembered)
{
    if (commandLine)
        return *commandLine;
    if (remembered)
        return *remembered;
    return fromEnvironment();
}

void install(QCoreApplication &app, Choice choice)
{
    installed = choice;
    useLocaleOf(choice);
    auto *translator = new QTranslator(&app);
    if (choice == Choice::English) {
        // Qt's own texts are English already.
        installLoaded(app, translator, translator->load(QStringLiteral(":/i18n/ebook_en.qm")));
        return;
    }
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    installLoaded(app, translator, translator->load(QLocale(QLocale::Chinese, QLocale::China),
                                                    QStringLiteral("qtbase"), QStringLiteral("_"), folder));
}

Choice current()
{
    return installed;
}

} // namespace Language
