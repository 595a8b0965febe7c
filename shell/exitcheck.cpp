#include "shell/exitcheck.h"

#include "platform/prompter.h"
#include "state/cardindex.h"

namespace shell {

bool exitCheck(QWidget *parent)
{
    const state::cards::CardIndex &cardIndex = state::cards::cardIndex();
    if (!cardIndex.hasCardTakenOut() && !cardIndex.isDirty())
        return true;
    // Enter keeps the program open: leaving loses the card index, so it
    // takes a deliberate "Да".
    const auto answer = platform::ui::prompter().ask(parent, QMessageBox::Warning,
                                           QStringLiteral("Выйти без сохранения базы данных?"),
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::No)
        return true;
    platform::ui::inform(parent, cardIndex.hasCardTakenOut()
                           ? QStringLiteral("Верните карточку в картотеку и сохраните картотеку")
                           : QStringLiteral("Сохраните картотеку"));
    return false;
}

} // namespace shell
