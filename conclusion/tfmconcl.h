#pragma once
// The draft conclusion window: the conclusion as plain text lines, assembled
// by "Итог", saved by "Сохранить", handed to the final editor by "Печатать".
// It also edits the conclusion header and signature (ConclMode 1 and 2). Its
// text box shows the examination's draft, which other windows write too.
#include "platform/memo.h"

#include <QWidget>

class QPushButton;

class TfmConcl : public QWidget {
    Q_OBJECT
public:
    explicit TfmConcl(QWidget *owner = nullptr);

    void drawUpSummary(); // bbOKCnklClick
    void saveConclusion(); // bbSaveCnclClick
    void handOverToFinalEditor(); // bbEditCnclClick
    void showHelp(); // bbHelpCnclClick
    void noteCaret(); // mmConclMouseDown
    // The whole draft selected in the box and copied to the clipboard.
    void copyDraftToClipboard();

private:
    Memo *mmConcl = nullptr;
    QPushButton *bbOKCnkl = nullptr;
    QPushButton *bbSaveCncl = nullptr;
    QPushButton *bbEditCncl = nullptr;
    QPushButton *bbHelpCncl = nullptr;
};
