#pragma once
// The draft conclusion window: the conclusion as plain text lines, assembled
// by "Итог", saved by "Сохранить", handed to the final editor by "Печатать".
// It also edits the conclusion header and signature (ConclMode 1 and 2).
#include "platform/memo.h"

#include <QWidget>

class QPushButton;

class TfmConcl : public QWidget {
    Q_OBJECT
public:
    explicit TfmConcl(QWidget *owner = nullptr);

    Memo *mmConcl = nullptr;
    QPushButton *bbOKCnkl = nullptr;
    QPushButton *bbSaveCncl = nullptr;
    QPushButton *bbEditCncl = nullptr;
    QPushButton *bbHelpCncl = nullptr;

    void bbOKCnklClick();
    void bbSaveCnclClick();
    void bbEditCnclClick();
    void bbHelpCnclClick();
    void mmConclMouseDown();

    // Whether the text changed since it was last saved or emptied.
    bool unsaved() const { return m_unsaved; }
    void setUnsaved(bool on) { m_unsaved = on; }

private:
    bool m_unsaved = false;
};
