#include "platform/controls.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>

namespace platform::ui {

QString plainTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

void setHint(QWidget *w, const QString &hint)
{
    if (hint.isEmpty())
        return;
    w->setToolTip(plainTip(hint));
    w->setStatusTip(hint);
    w->setWhatsThis(plainTip(hint));
    w->setAccessibleDescription(hint);
}

void setHint(QAction *action, const QString &hint)
{
    if (hint.isEmpty())
        return;
    action->setStatusTip(hint);
    action->setToolTip(plainTip(hint));
}

void describe(QWidget *w, const char *name, const QString &accessibleName, const QString &hint)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(accessibleName);
    setHint(w, hint);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                        const QIcon &icon)
{
    auto *b = new QPushButton(icon, caption, parent);
    describe(b, name, caption, hint);
    b->setAutoDefault(false);
    return b;
}

QLabel *makePlainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

} // namespace platform::ui
