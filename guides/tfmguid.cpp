#include "guides/tfmguid.h"

#include "conclusion/concldoor.h"
#include "guides/guidemenu.h"
#include "platform/controls.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/pressmemo.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "platform/titlebar.h"
#include "state/examination.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QVBoxLayout>

TfmGuid::TfmGuid(QWidget *owner)
    : QWidget(owner, platform::ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                                                 | Qt::WindowContextHelpButtonHint))
{
    setObjectName(QStringLiteral("fmGuid"));
    setWindowTitle(QStringLiteral("Справочники"));

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);
    buildMenu();

    const QString transfer = QStringLiteral("Перенос текста");
    GroupBox1 = new QGroupBox(transfer, this);
    platform::ui::describe(GroupBox1, "GroupBox1", transfer);
    rbString = new QRadioButton(QStringLiteral("Строкой"), GroupBox1);
    platform::ui::describe(rbString, "rbString", QStringLiteral("Строкой"));
    rbBlock = new QRadioButton(QStringLiteral("Блоком"), GroupBox1);
    platform::ui::describe(rbBlock, "rbBlock", QStringLiteral("Блоком"));
    rbString->setChecked(true);
    auto *modes = new QHBoxLayout(GroupBox1);
    modes->setContentsMargins(8, 2, 8, 4);
    modes->addWidget(rbString);
    modes->addWidget(rbBlock);
    modes->addStretch(1);

    MemoGuidIri = new PressMemo(this);
    const QString phrasesHint = QStringLiteral("Шаблоны фраз для заключения");
    platform::ui::describe(MemoGuidIri, "MemoGuidIri", phrasesHint, phrasesHint);
    MemoGuidIri->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoGuidIri->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoGuidIri->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(MemoGuidIri, &PressMemo::pressed, this, &TfmGuid::insertPhrase);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(GroupBox1);
    layout->addWidget(MemoGuidIri, 1);
    platform::place::outer(this, 1, 96, 373, 469);
}

void TfmGuid::buildMenu()
{
    // The submenu open at each depth while the rows are walked.
    QList<QMenu *> open;
    for (const guides::MenuRow &row : guides::menuRows()) {
        const QString caption = QString::fromUtf8(row.caption);
        open.resize(row.depth);
        if (!row.file) {
            QMenu *menu = row.depth == 0 ? MainMenu1->addMenu(caption) : open.last()->addMenu(caption);
            menu->setObjectName(QString::fromLatin1(row.object));
            menu->menuAction()->setObjectName(QString::fromLatin1(row.object));
            open.append(menu);
            continue;
        }
        QAction *item = open.last()->addAction(caption);
        item->setObjectName(QString::fromLatin1(row.file) + QStringLiteral("Item"));
        const QString fileName = guides::guideFileName(QString::fromLatin1(row.file));
        connect(item, &QAction::triggered, this, [this, fileName] {
            GuideFileName = fileName;
            LoadGuideText(fileName);
        });
    }
}

void TfmGuid::LoadGuideText(const QString &fileName)
{
    MemoGuidIri->clearLines();
    const platform::textfile::ReadResult read = platform::textfile::readLines(platform::paths::local(fileName));
    if (!read.ok) {
        platform::ui::showMessage(this, platform::paths::absentMessage(fileName));
        return;
    }
    MemoGuidIri->setLines(read.lines);
}

void TfmGuid::insertPhrase()
{
    if (!rbString->isChecked())
        return; // "Блоком": the press only places the caret or selection
    const int taken = MemoGuidIri->textCursor().blockNumber();
    conclusion::concl::open();
    state::examination().insertPhrase(taken, MemoGuidIri->line(taken));
}
