#pragma once

#include "widgets/PaneText.h" // the pane's full type for every user of memo1

class BookTree;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;

// The browser window's controls under their design names, made and laid out
// as its design draws them: toolbar, tree, reading pane, status bar and
// menus. The window wires them to its handlers.
class BrowserLayout {
public:
    QStatusBar *StatusBar1;
    QLabel *StatusPanels[3];
    QWidget *sbClient;
    QFrame *Panel1, *Panel6, *lbwh_Panel, *nrwh_Panel;
    QToolButton *RxSpeedButton1, *RxSpeedButton2;
    QToolButton *Insert_lb_btn, *Edit_lb_btn, *delete_lb_btn;
    QToolButton *Insert_nr_btn, *edit_nr_btn, *delete_nr_btn;
    BookTree *TreeView;
    QSplitter *Splitter1;
    QFrame *Panel2, *Panel3, *Panel4;
    QLabel *RxLabel2, *RxLabel4;
    QLineEdit *Edit1, *Edit2;
    QPushButton *BitBtn3, *BitBtn2, *BitBtn1;
    TextPane *memo1;
    QMenu *PopupMenu1;
    QAction *N9, *N10, *N2, *N5, *N1, *N6;
    QMenu *PopupMenu2;
    QAction *N3, *N4, *N7, *N8, *N11, *N12, *N13;
    QTimer *Timer1;

protected:
    void setupUi(QMainWindow &window);
};
