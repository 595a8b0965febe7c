#include "state/human.h"

#include <QRegularExpression>

THuman::THuman(const QString &surname)
    : FName(surname)
{
}

namespace state::human {

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

bool samePatient(const THuman &a, const THuman &b)
{
    const auto same = [](const QString &x, const QString &y) {
        return x.simplified().compare(y.simplified(), Qt::CaseInsensitive) == 0;
    };
    return same(a.FName, b.FName) && same(a.LName, b.LName) && same(a.MName, b.MName);
}

QString singleLine(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return QString(text).replace(lineBreak, QStringLiteral(" "));
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

} // namespace state::human
