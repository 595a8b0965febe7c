#include "shell/exitcheck.h"

#include "platform/prompter.h"
#include "state/cardindex.h"

namespace shell {

bool exitCheck(QWidget *parent)
{
    const cards::CardIndex &cardIndex = cards::cardIndex();
    if (!cardIndex.hasCardTakenOut() && !cardIndex.isDirty())
        return true;
    // Enter keeps the program open: leaving loses the card index, so it
    // takes a deliberate "Да".
    const auto answer = ui::prompter().ask(parent, QMessageBox::Warning,
                                           QStringLiteral("Выйти без сохранения базы данных?"),
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::No)
        return true;
    ui::inform(parent, cardIndex.hasCardTakenOut()
                           ? QStringLiteral("Верните карточку в картотеку и сохраните картотеку")
                           : QStringLiteral("Сохраните картотеку"));
    return false;
}

} // namespace shell
