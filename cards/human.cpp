#include "cards/human.h"

THuman::THuman(const QString &surname)
    : FName(surname)
{
}

namespace human {

QString displayText(const THuman &h)
{
    QString text = h.FName;
    text += QLatin1Char(' ');
    if (!h.LName.isEmpty())
        text += h.LName.at(0);
    text += QLatin1Char('.');
    if (!h.MName.isEmpty())
        text += h.MName.at(0);
    text += QLatin1Char('.');
    return text;
}

QString singleLine(const QString &text)
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out += QLatin1Char(' ');
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

THuman singleLined(const THuman &h)
{
    THuman out = h;
    for (QString *field : {&out.Date, &out.FName, &out.LName, &out.MName, &out.Doc, &out.Addr,
                           &out.Phone, &out.Complaint, &out.Anamnesis, &out.Concl})
        *field = singleLine(*field);
    return out;
}

bool parseAge(const QString &text, int *age)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (ok && age)
        *age = value;
    return ok;
}

int ageFromText(const QString &text)
{
    int age = 0;
    return parseAge(text, &age) ? age : 0;
}

} // namespace human
