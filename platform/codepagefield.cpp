#include "platform/codepagefield.h"

#include "platform/cp1251.h"

#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

namespace platform::ui {

namespace {

// Refuses text with a character the code page cannot hold. The line edit
// undoes such an edit only while its text was acceptable before, so text
// put in by the program that already holds one can still be corrected.
class CodePageValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        if (cp1251::canEncode(input))
            return Acceptable;
        lastRefused = input;
        return Invalid;
    }

    mutable QString lastRefused;
};

} // namespace

QString codePageNotice(const QString &text)
{
    QString chars;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString one = text.mid(i, len);
        if (!cp1251::canEncode(one) && !chars.contains(one))
            chars += (chars.isEmpty() ? QString() : QStringLiteral(" ")) + one;
        i += len;
    }
    if (chars.isEmpty())
        return {};
    return QStringLiteral("Этих знаков нет в кодировке Windows-1251, и картотека не может их сохранить: ") +
           chars + QStringLiteral(". Замените их (например, «ü» на «ю» или «ue»).");
}

void keepToCodePage(QLineEdit *edit)
{
    auto *validator = new CodePageValidator(edit);
    edit->setValidator(validator);
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit, validator] {
        const QString notice = codePageNotice(validator->lastRefused);
        if (!notice.isEmpty())
            QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), notice, edit);
    });
}

} // namespace platform::ui
