#pragma once

#include <QCoreApplication>

class QMenu;
class Tywzxform;

// The interface language's choice in the tree's context menu: remembered in
// the user's settings, it takes effect at the next start.
class LanguageMenu {
    Q_DECLARE_TR_FUNCTIONS(LanguageMenu)
public:
    static QMenu *add(Tywzxform &window);
};
