#pragma once
// Large data made the same way by a test and by the child process it kills:
// a card index and a draft conclusion, in an old and a new version that
// differ everywhere, so that any mix of the two is told apart from both.
#include "state/cardindexfile.h"

#include "rtf/rtfwriter.h"

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

namespace bigdata {

inline QList<CardEntry> cards(int count, int version)
{
    QList<CardEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        THuman h(QStringLiteral("Пациент%1в%2").arg(i).arg(version));
        h.LName = QStringLiteral("Имя%1").arg(i);
        h.MName = QStringLiteral("Отчество%1").arg(version);
        h.Date = QStringLiteral("%1.01.2024").arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        h.Age = (i + version) % 100;
        h.Addr = QStringLiteral("г. Москва, ул. Садовая, д. %1, кв. %2").arg(i % 200).arg(version);
        h.Complaint = QStringLiteral("жалобы пациента номер %1, версия %2").arg(i).arg(version);
        h.Concl = QStringLiteral("/home/врач/заключения/%1-%2.txt").arg(i).arg(version);
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

inline QStringList conclusion(int count, int version)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("Строка %1 заключения, версия %2: лакуна в зоне печени.").arg(i).arg(version));
    return lines;
}

// A final conclusion as the editor saves it: the draft's lines, every tenth
// paragraph in bold.
inline QByteArray finalConclusionRtf(int count, int version)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const QStringList lines = conclusion(count, version);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            c.insertBlock();
        c.insertText(lines.at(i), i % 10 == 0 ? bold : QTextCharFormat());
    }
    return rtf::write(doc);
}

} // namespace bigdata
