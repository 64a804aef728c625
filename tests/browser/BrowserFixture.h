#pragma once

#include "TestBook.h"
#include "browser/BookTree.h"
#include "browser/fm_ywzx.h"
#include "data/ywzxDM.h"

#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

// The fixture of the window tests: a browser window on a real book, as the
// program starts it (created, then shown, which loads the first level), in
// the Chinese locale, with settings kept in a folder of its own (the user's
// stay untouched). Boxes and dialogs are answered through their seams.
struct BrowserFixture {
    QTemporaryDir settingsPlace;
    std::unique_ptr<TywzxDMF> dm;
    std::unique_ptr<Tywzxform> window;

    BrowserFixture() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsPlace.path()); }

    void open(const QString &bookPath, bool show = true)
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        window.reset();
        dm = std::make_unique<TywzxDMF>();
        dm->ydconn.setDatabaseFile(bookPath);
        dm->ydconn.open();
        ywzxDMF = dm.get();
        window.reset(Tywzxform::create());
        ywzxform = window.get();
        if (show)
            window->show();
    }

    ~BrowserFixture()
    {
        window.reset();
        ywzxDMF = nullptr;
    }

    QTreeWidgetItem *root() const { return window->rootNode(); }
    // The node whose label starts with text, anywhere in the tree.
    QTreeWidgetItem *node(const QString &labelStart) const
    {
        for (QTreeWidgetItemIterator it(window->TreeView); *it; ++it)
            if ((*it)->text(0).startsWith(labelStart))
                return *it;
        return nullptr;
    }
    QStringList childLabels(QTreeWidgetItem *n) const
    {
        QStringList labels;
        for (int i = 0; i < n->childCount(); ++i)
            labels << n->child(i)->text(0);
        return labels;
    }
    void select(QTreeWidgetItem *n) { window->TreeView->setCurrentItem(n); }
    int statements() const { return dm->ydconn.statementCount(); }
};
