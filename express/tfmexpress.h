#pragma once
// The express examination window: two check lists (after Velkhover and after
// Krivenko), each scored into a health level, and "Заключение", which stores
// the result of the page on view and shows the express section in the draft
// conclusion window.
#include "express/scoring.h"
#include "platform/memo.h"

#include <QWidget>

class QGroupBox;
class QListWidget;
class QPushButton;
class QTabWidget;

class TfmExpress : public QWidget {
    Q_OBJECT
public:
    explicit TfmExpress(QWidget *owner = nullptr);

    void evaluateVelkhover(); // OKBtnVelSignClick
    void evaluateKrivenko(); // OKBtnKrySignClick
    void clearVelkhover(); // CancelBtnExVelSignClick
    void clearKrivenko(); // CancelBtnExKrySignClick
    void storeResults(); // OKBtnClick
    void cancel(); // CancelBtnClick
    void showHelp(); // HelpBtnClick

protected:
    // Enter answers "Заключение" and Esc "Закрыть", as in a dialog, unless
    // the control with the focus uses the key itself.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The controls, under their written names (their object names too).
    QTabWidget *PageControl1 = nullptr;
    QWidget *tsVelhover = nullptr;
    QWidget *tsKryvenko = nullptr;
    QGroupBox *gbExVelSign = nullptr;
    QListWidget *clbExVelSign = nullptr;
    QPushButton *OKBtnVelSign = nullptr;
    QPushButton *CancelBtnExVelSign = nullptr;
    QGroupBox *gbExVelConcl = nullptr;
    Memo *mExVelCncl = nullptr;
    QGroupBox *gbSign = nullptr;
    QListWidget *clbExKrySign = nullptr;
    QPushButton *OKBtnKrySign = nullptr;
    QPushButton *CancelBtnExKrySign = nullptr;
    QGroupBox *gbExKryConcl = nullptr;
    Memo *mExKryCncl = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *HelpBtn = nullptr;

    QWidget *makePage(express::Method method, const QString &signBoxName, QGroupBox *&signBox,
                      QListWidget *&list, QPushButton *&score, QPushButton *&clear,
                      const QString &resultBoxName, QGroupBox *&resultBox, Memo *&result);
    static void untickAll(QListWidget *list);
    static QList<bool> ticks(const QListWidget *list);
    void clearVelkhoverPage();
    void clearKrivenkoPage();
};
