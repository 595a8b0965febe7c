#include "deep/signtext.h"

namespace deep::signtext {

namespace {

QChar lowerOne(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return QChar(char16_t(u + 0x20));
    if (u >= 0x0410 && u <= 0x042F) // А..Я
        return QChar(char16_t(u + 0x20));
    // Ё Ђ Ѓ Є Ѕ І Ї Ј Љ Њ Ћ Ќ Ў Џ: the capitals of the code page outside А..Я
    // (U+0400 and U+040D are not in it).
    if ((u >= 0x0401 && u <= 0x040C) || u == 0x040E || u == 0x040F)
        return QChar(char16_t(u + 0x50));
    if (u == 0x0490) // Ґ
        return QChar(char16_t(0x0491));
    return c;
}

} // namespace

QString lowerCp1251(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = lowerOne(c);
    return out;
}

std::optional<QList<Piece>> parseRule(const QString &rule)
{
    QList<Piece> pieces;
    qsizetype i = 0;
    const qsizetype n = rule.size();
    auto skipBlanks = [&] {
        while (i < n && rule.at(i) == QLatin1Char(' '))
            ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= n)
            return std::nullopt; // a rule ends with a term, never with "+" or nothing
        const QChar c = rule.at(i);
        Piece piece;
        if (c == QLatin1Char('"')) {
            const qsizetype close = rule.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                return std::nullopt;
            piece.kind = Piece::Literal;
            piece.text = rule.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c == QLatin1Char('c') || c == QLatin1Char('l')) {
            piece.kind = c == QLatin1Char('c') ? Piece::Caption : Piece::Lower;
            const qsizetype start = ++i;
            while (i < n && rule.at(i).isDigit() && rule.at(i).unicode() < 0x80)
                ++i;
            if (i == start)
                return std::nullopt;
            bool ok = false;
            piece.level = rule.mid(start, i - start).toInt(&ok);
            if (!ok)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        pieces.append(piece);
        skipBlanks();
        if (i >= n)
            return pieces;
        if (rule.at(i) != QLatin1Char('+'))
            return std::nullopt;
        ++i;
    }
}

QString build(const QString &rule, const QStringList &path)
{
    const std::optional<QList<Piece>> pieces = parseRule(rule);
    if (!pieces)
        return {};
    QString out;
    for (const Piece &p : *pieces) {
        switch (p.kind) {
        case Piece::Literal:
            out += p.text;
            break;
        case Piece::Caption:
            out += path.value(p.level);
            break;
        case Piece::Lower:
            out += lowerCp1251(path.value(p.level));
            break;
        }
    }
    return out;
}

} // namespace deep::signtext
