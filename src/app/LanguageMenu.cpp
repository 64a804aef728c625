#include "app/LanguageMenu.h"

#include "app/DesktopSettings.h"
#include "browser/fm_ywzx.h"
#include "widgets/Handlers.h"
#include "common/Language.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

void choose(Tywzxform &window, Language::Choice choice)
{
    DesktopSettings::setLanguage(choice);
    // The language already shown: nothing changes at the next start either.
    if (choice == Language::current())
        return;
    // Every window would have to be built again: the change waits for the next start.
    const QString text = choice == Language::Choice::English
                             ? LanguageMenu::tr("下次启动时界面将改为英文。")
                             : LanguageMenu::tr("下次启动时界面将改为中文。");
    MessageBoxes::show({&window, LanguageMenu::tr("系统提示"), text, QMessageBox::Information, QMessageBox::Ok,
                        QMessageBox::Ok});
}

QAction *item(QMenu *menu, QActionGroup *group, const char *name, const QString &caption, bool current)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(current);
    group->addAction(action);
    return action;
}

} // namespace

QMenu *LanguageMenu::add(Tywzxform &window)
{
    window.PopupMenu1->addSeparator();
    QMenu *menu = window.PopupMenu1->addMenu(tr("界面语言"));
    menu->setObjectName(QStringLiteral("LanguageMenu"));
    menu->setAccessibleName(menu->title());
    auto *group = new QActionGroup(menu);
    const bool english = Language::current() == Language::Choice::English;
    QAction *chinese = item(menu, group, "LanguageChinese", tr("中文"), !english);
    QAction *englishItem = item(menu, group, "LanguageEnglish", tr("英文"), english);
    Handlers::connect(chinese, &QAction::triggered, &window,
                      [&window] { choose(window, Language::Choice::Chinese); });
    Handlers::connect(englishItem, &QAction::triggered, &window,
                      [&window] { choose(window, Language::Choice::English); });
    return menu;
}
