#pragma once
class QWidget;

namespace shell {

// The exit check: with a card taken out or an unsaved card index, asks
// "Выйти без сохранения базы данных?". Returns true when the program may end.
bool exitCheck(QWidget *parent);

} // namespace shell
