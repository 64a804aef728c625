#pragma once

#include <QApplication>

// The application object. Errors raised inside event handlers are shown by
// the general error report at each handler's boundary (Handlers); notify()
// only stands behind that as a last resort.
class EbookApplication : public QApplication {
    Q_OBJECT
public:
    EbookApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Qt's Chinese button texts (确定, 取消, 是, 否) and the Song face for
    // the family "宋体".
    static void installChineseTranslations(QCoreApplication &app);
    static void installFontSubstitutions();
    // Every window in the Song face, whatever the locale: without a Chinese
    // face named, fallback under an English or C locale draws Japanese forms.
    static void installApplicationFont();
    // The Song face at 12 px: every window's font and the reading pane's
    // designed one.
    static QFont readingFont();
};
