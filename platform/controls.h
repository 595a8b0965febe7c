#pragma once
// Naming and hints of controls. A hint shows as tooltip, reaches the main
// window's status bar (status tip) and screen readers (accessible
// description), and answers the title bar's "?" button.
#include <QIcon>
#include <QString>

class QAction;
class QLabel;
class QPushButton;
class QWidget;

namespace platform::ui {

// A tooltip or "What's This" text that shows as it is. Qt renders such a
// text as markup when its first line looks like markup, so a hint that
// carries a file's or the user's text (a lock holder's name, a file name)
// could show pictures or links, or load a file; such a text is given
// escaped. Any other text is returned unchanged.
QString plainTip(const QString &text);

// Sets the hint; an empty hint sets nothing. The tooltip and "What's This"
// show it as plain text (plainTip), the status bar always does.
void setHint(QWidget *w, const QString &hint);
// The same for a menu item: status tip and tooltip.
void setHint(QAction *action, const QString &hint);

// Object name, accessible name and hint of a control.
void describe(QWidget *w, const char *name, const QString &accessibleName, const QString &hint = {});

// A push button with a picture, named after its caption for screen readers;
// it does not take Enter unless made the default button.
QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                        const QIcon &icon);

// A label whose text may come from a file or from the user (a file name, a
// field of a card): shown as it is, never as markup, never as a link.
QLabel *makePlainLabel(const QString &text, QWidget *parent);

} // namespace platform::ui
