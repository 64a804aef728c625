#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window: product, version, platforms and the maker's contacts
// over a background picture. One instance, found by its name "Mac_About";
// closing it only hides it.
class TMac_About : public QDialog {
    Q_OBJECT
public:
    // Finds the window among the application's windows or creates it, then
    // shows it non-modally in front.
    static TMac_About *showSingle();
    static TMac_About *find();

    QLabel *Image1;
    QLabel *Label3, *Label4, *Label5, *Label6, *Label7, *Label9, *Label14, *Label1, *Label11, *Label10, *Label8;
    QPushButton *BitBtn3;

    void BitBtn3Click();

private:
    TMac_About();
    QLabel *label(const char *name, const QString &text, int left, int top);
};
