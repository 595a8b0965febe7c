#include "charts/pupilcodes.h"

namespace charts::pupil {

namespace {

enum Note { None, Left, Right };

struct Column {
    QList<int> codes;
    Note note = None;
};

struct Row {
    int colour;
    Column right;
    Column left;
};

// Colours of the standard 16-colour palette the patches use.
enum : int {
    Black = 0, Red = 255, Green = 32768, Olive = 32896, Lime = 65280, Yellow = 65535, Navy = 8388608,
    Purple = 8388736, Teal = 8421376, Grey = 8421504, Silver = 12632256, Blue = 16711680,
    Fuchsia = 16711935, Aqua = 16776960
};

const Row kDecentrationRows[] = {
    {Red, {{230, 266}}, {{204, 210}}},
    {Yellow, {{482}}, {{502, 503, 515, 516}}},
    {Lime, {{280, 352}}, {{772}, Right}},
    {Aqua, {{204, 205, 711}}, {{204, 205, 711}}},
    {Blue, {{772}, Left}, {{295, 299}}},
    {Green, {{502, 503, 515, 516}}, {{373, 620}}},
};

const Row kFlatOneRows[] = {
    {Aqua, {{220, 246, 271}}, {{229}}},
    {Silver, {{127, 179, 180, 181}}, {{203}}},
    {Lime, {{773}, Left}, {{214, 241}}},
    {Yellow, {{200, 215}}, {{773}, Right}},
    {Olive, {{182, 716}}, {{352}}},
    {Green, {{216}}, {{321}}},
    {Teal, {{274, 503, 509, 519}}, {{372, 615}}},
    {Navy, {{320, 422, 431}}, {{520, 717}}},
    {Purple, {{773}, Left}, {{182, 716}}},
    {Fuchsia, {{380}}, {{773}, Right}},
    {Blue, {{773}, Left}, {{216}}},
    {Grey, {{910}}, {{773}, Right}},
    {Black, {{773}, Left}, {{200, 711}}},
    {Red, {{276, 444}}, {{773}, Right}},
};

// Both eyes alike: the same column twice.
#define BOTH(...) {{__VA_ARGS__}}, {{__VA_ARGS__}}

const Row kFlatBothRows[] = {
    {Red, BOTH(246, 269, 270)},
    {Grey, BOTH(511, 517, 713, 714, 715)},
    {Teal, BOTH(910)},
    {Lime, BOTH(272, 273, 274)},
    {Blue, BOTH(275)},
    {Olive, BOTH(286, 370)},
    {Fuchsia, BOTH(615, 712)},
    {Silver, BOTH(255, 277, 518)},
    {Green, BOTH(278, 371)},
    {Yellow, BOTH(200, 206, 626, 768, 769, 911, 912)},
};

const Row kBorderRows[] = {
    {Yellow, BOTH(56, 83, 411)},
    {Lime, BOTH(56, 83, 411)},
    {Aqua, BOTH(407)},
    {Silver, BOTH(50, 57, 84)},
    {Blue, BOTH(50, 57, 84)},
    {Red, BOTH(46, 85, 101, 408)},
    {Fuchsia, BOTH(44, 45)},
};

#undef BOTH

template <std::size_t N>
std::optional<Codes> find(const Row (&table)[N], int colour, bool rightEye)
{
    for (const Row &row : table) {
        if (row.colour != colour)
            continue;
        const Column &c = rightEye ? row.right : row.left;
        return Codes{c.codes, c.note == Left ? kUsuallyLeft : c.note == Right ? kUsuallyRight : QString()};
    }
    return std::nullopt;
}

} // namespace

std::optional<Codes> variantCodes(const QString &nameFile, int colourKey, bool rightEye)
{
    if (nameFile == kDecentration)
        return find(kDecentrationRows, colourKey, rightEye);
    if (nameFile == kFlatOne)
        return find(kFlatOneRows, colourKey, rightEye);
    if (nameFile == kFlatBoth)
        return find(kFlatBothRows, colourKey, rightEye);
    if (nameFile == kBorder)
        return find(kBorderRows, colourKey, rightEye);
    return std::nullopt;
}

} // namespace charts::pupil
