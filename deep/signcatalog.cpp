#include "deep/signcatalog.h"

#include "deep/signtext.h"

#include <QHash>

namespace deep::catalog {

namespace {

Entry menu(const char *parent, const char *name, const char *caption, const char *rule,
           const char *hint = "")
{
    Entry e;
    e.isMenu = true;
    e.parent = QString::fromUtf8(parent);
    e.name = QString::fromUtf8(name);
    e.caption = QString::fromUtf8(caption);
    e.rule = QString::fromUtf8(rule);
    e.hint = QString::fromUtf8(hint);
    return e;
}

Entry sign(const char *parent, const char *name, const char *caption, QList<int> codes,
           Action action = Action::None, const char *ownRule = "")
{
    Entry e;
    e.parent = QString::fromUtf8(parent);
    e.name = QString::fromUtf8(name);
    e.caption = QString::fromUtf8(caption);
    e.rule = QString::fromUtf8(ownRule);
    e.codes = std::move(codes);
    e.action = action;
    return e;
}

Entry pupil(const char *parent, const char *name, const char *caption, Action action)
{
    return sign(parent, name, caption, {}, action);
}

// The catalogue, row by row in menu order. Captions are verbatim, blanks,
// quotes, abbreviations and spellings included ("J.Deсk" has a Cyrillic "с").
// A sign's codes are looked up in the order given here.
QList<Entry> makeEntries()
{
    return {
        menu("", "SyndromeItem", "Конституциональный тип", "", "Иридогенетические синдромы"),
        menu("SyndromeItem", "LymphaticItem", "Лимфатический", R"(c0 + ": " + l2)"),
        sign("LymphaticItem", "PureLymphItem", "Чисто лимфатический", {59, 144, 147, 148, 301, 307, 360, 432, 510, 1202, 1203}),
        sign("LymphaticItem", "HydroItem", "Гидрогеноидный", {59, 144, 148, 149, 301, 307, 361, 804, 1203, 1202}, Action::None, R"(c0 + ": " + l1 + " " + l2)"),
        sign("LymphaticItem", "HydroUricItem", "Гидроген. с призн. мочекисл. диатеза", {59, 144, 147, 149, 301, 307, 538, 1203, 1202}),
        sign("LymphaticItem", "HydroCholestItem", "Гидроген. с призн. холестероза", {59, 148, 150, 151, 301, 307, 610, 629, 805, 1202, 1203}),
        sign("LymphaticItem", "LymphNeuroItem", "Лимфатич. нейрогенный", {59, 213, 237, 281, 300, 301, 307, 362, 433, 1202, 1203}),
        sign("LymphaticItem", "LymphConnTissueItem", "Лимфатич. со слабостью соед. ткани", {147, 152, 153, 302, 303, 434, 709, 1202, 1203}),
        sign("LymphaticItem", "LymphAbdomItem", "Лимфатич. брюшной", {147, 148, 150, 153, 155, 156, 304, 422, 425, 431, 432, 494, 709, 903, 1202, 1203}),
        sign("LymphaticItem", "LymphPancreoItem", "Лимфатич. панкреотриадный", {147, 157, 363, 364, 425, 615, 1202, 1203}),
        sign("LymphaticItem", "LymphCardioRenalItem", "Лимфатич. кардиоренальный", {147, 157, 300, 305, 306, 511, 512, 903, 1202, 1203}),
        sign("LymphaticItem", "LymphBronchoItem", "Лифатич. бронхопульмональный", {307, 365, 366, 903, 1202, 1203}),
        menu("SyndromeItem", "MixedItem", "Смешанный", R"(c0 + ": " + l2)"),
        sign("MixedItem", "PureMixedItem", "Чисто смешанный", {161, 162, 163, 149, 423, 472, 493, 709, 1204, 1205}),
        sign("MixedItem", "MixedFerrumItem", "Смешанный феррумхроматический", {161, 162, 164, 241, 432, 435, 438, 454, 601, 1204, 1205}),
        sign("MixedItem", "MixedConnTissueItem", "Смешан. со слабостью соед. ткани", {147, 153, 157, 165, 304, 432, 436, 439, 601, 709, 903, 1204, 1205}),
        sign("MixedItem", "MixedAbdomItem", "Смешанный брюшной", {157, 165, 166, 304, 417, 432, 436, 437, 438, 1204, 1205}),
        // The two subtypes whose statements warn of gallstones or biliary
        // pancreatitis get 1208 in place of 1204: blind tubage and choleretic
        // mixes can set off colic or obstruction when there are stones.
        sign("MixedItem", "MixedPancreoItem", "Смешанный панкреотриадный", {157, 165, 166, 290, 367, 425, 615, 1208, 1205}),
        sign("MixedItem", "MixedCardioRenalItem", "Смешанный кардиоренальный", {157, 165, 166, 300, 305, 309, 310, 311, 436, 513, 514, 710, 1204, 1205}),
        sign("MixedItem", "MixedBronchoItem", "Смешанный бронхопульмональный", {157, 165, 166, 307, 310, 368, 709, 1204, 1205}),
        sign("MixedItem", "MixedUricItem", "Смешан. с призн. мочекисл. диатеза", {157, 167, 168, 169, 170, 149, 1204, 1205}),
        sign("MixedItem", "MixedCholestItem", "Смешаный с призн. холестероза", {147, 171, 172, 242, 312, 1208, 1205}),
        sign("MixedItem", "MixedNeuroItem", "Смешанный нейрогенный", {150, 161, 165, 237, 281, 300, 440, 617, 1204, 1205}),
        menu("SyndromeItem", "HaematItem", "Гематогенный", R"(c0 + ": " + l2)"),
        sign("HaematItem", "PureHaematItem", "Чисто гематогенный", {147, 149, 158, 422, 425, 431, 436, 437, 709, 1206, 1207}),
        sign("HaematItem", "HaematTetanItem", "Гематогенный тетанический", {771, 147, 149, 159, 160, 57, 237, 238, 308, 362, 433, 616, 1206, 1207}),
        menu("", "SymtomItem", "Симптомы", ""),
        menu("SymtomItem", "DensityItem", "Плотность стромы", R"(c1 + ": " + l2)"),
        sign("DensityItem", "Density1Item", "1-я степень", {56, 63, 68}),
        sign("DensityItem", "Density2Item", "2-я степень", {63, 68}),
        sign("DensityItem", "Density3Item", "3-я степень", {51, 54, 64, 69, 77}),
        sign("DensityItem", "Density4Item", "4-я степень", {52, 53, 70, 71, 145}),
        sign("DensityItem", "Density5Item", "5-я степень", {55, 65, 70, 71, 146}),
        sign("DensityItem", "Density6Item", "6-я степень", {65, 70, 71, 78, 146}),
        menu("SymtomItem", "PatohromItem", "Патохромия", ""),
        menu("PatohromItem", "PatohromLightItem", "Патохромия светлых РО", R"(c2 + ": " + l3)"),
        sign("PatohromLightItem", "LightVioletBlueItem", "Фиолетово-синий", {130, 708}),
        sign("PatohromLightItem", "LightVioletRedItem", "Фиолетово-красный", {467}),
        sign("PatohromLightItem", "LightSteelGreyItem", "Серо-стальной", {135}),
        sign("PatohromLightItem", "LightChalkItem", "Беловатый/мелоподобный налет", {428}),
        sign("PatohromLightItem", "LightSlateGreyItem", "Аспидно-серый", {192}),
        sign("PatohromLightItem", "LightGreyYellowItem", "Серо-желтый", {189}),
        sign("PatohromLightItem", "LightStrawItem", "Соломенно-желтый", {350}),
        sign("PatohromLightItem", "LightGoldenItem", "Золотисто-желтый", {130}),
        sign("PatohromLightItem", "LightYellowGreenItem", "Желто-зеленый", {468}),
        sign("PatohromLightItem", "LightYellowBrownItem", "Желто-коричневый", {124}),
        sign("PatohromLightItem", "LightRedYellowItem", "Красно-желтый", {426}),
        menu("PatohromItem", "PatohromDarkItem", "Патохромия темных РО", R"(c2 + ": " + l3)"),
        sign("PatohromDarkItem", "DarkChestnutItem", "Каштаново-черный", {159}),
        sign("PatohromDarkItem", "DarkRedYellowItem", "Красно-желтый", {111, 426}),
        sign("PatohromDarkItem", "DarkIntenseRedItem", "Интенсивно-красный", {428, 523, 603}),
        sign("PatohromDarkItem", "DarkRustRedItem", "Ржаво-красный", {110}),
        menu("SymtomItem", "GyperPigmentItem", "Гиперпигментация", R"(c1 + ": " + l2)"),
        sign("GyperPigmentItem", "EndoPigmentItem", "Эндогенная", {125}),
        sign("GyperPigmentItem", "ExoPigmentItem", "Экзогенная", {126}),
        menu("SymtomItem", "GeterohromItem", "Гетерохромия", R"(c1 + ": " + l2)"),
        sign("GeterohromItem", "FullGeterohromItem", "Полная", {190}),
        sign("GeterohromItem", "Cockade1Item", "Кокарда 1 типа (центральная)", {107, 217, 219, 465}),
        menu("GeterohromItem", "Cockade2Item", "Кокарда 2 типа (зашлак.авт.кольца)", R"(c1 + ": " + l2 + l3)"),
        sign("Cockade2Item", "Cockade2GoldItem", " Желто-золотистая", {704}),
        sign("Cockade2Item", "Cockade2LightYellowItem", " Светло-желтая", {765}),
        sign("Cockade2Item", "Cockade2OrangeItem", " Оранжевая", {466}),
        sign("Cockade2Item", "Cockade2RustItem", " Цвета ржавчины", {401}),
        sign("Cockade2Item", "Cockade2GreenishItem", " Любого цвета с зеленоватым оттенком", {522}),
        sign("GeterohromItem", "Cockade3Item", "Кокарда 3 типа (пигмент.цил.пояса)", {243}),
        sign("GeterohromItem", "SectorGeterohromItem", "Полная секторальная", {116}, Action::Projection),
        sign("GeterohromItem", "PolychromItem", "Полихромная", {191}, Action::Projection),
        menu("SymtomItem", "ReliefItem", "Рельеф", R"(c1 + ": " + l2)"),
        sign("ReliefItem", "ReliefNormalItem", "Нормальный", {56, 68, 249}),
        sign("ReliefItem", "ReliefBulgingItem", "Выпирающий", {314, 514, 901, 903}),
        sign("ReliefItem", "ReliefFunnelItem", "Воронкообразный", {243, 244, 245, 441}),
        sign("ReliefItem", "ReliefCraterItem", "Кратерообразный", {246, 247, 601}),
        sign("ReliefItem", "ReliefBowlItem", "Мискообразный", {173, 212, 248, 315, 490}),
        sign("ReliefItem", "ReliefFlatLateralItem", "Уплощенно-латеральный", {202}),
        sign("ReliefItem", "ReliefRoundThickItem", "Закругленно-утолщенный", {52, 69, 316}),
        sign("ReliefItem", "ReliefFlatItem", "Плоский", {55, 70}),
        menu("SymtomItem", "PupilItem", "Зрачок и зрачковая кайма", ""),
        menu("PupilItem", "PupilSizeItem", "Реакция и размеры", R"(c1 + ": " + l3)"),
        sign("PupilSizeItem", "PupilJumpingItem", "\"Скачуший\"", {212, 232, 235, 250, 251, 317, 322}),
        sign("PupilSizeItem", "PupilFixedItem", "Неподвижный", {212, 232, 235}),
        menu("PupilSizeItem", "AnyzocorItem", "Анизокория", R"(c1 + ": " + l3 + " " + c4)"),
        sign("AnyzocorItem", "AnyzocorMiozItem", "с тенденцией к миозу", {254, 324, 615, 618}),
        sign("AnyzocorItem", "AnyzocorMydryazItem", "с тенденцией к мидриазу", {134, 174, 175, 253, 255, 318, 369, 442}),
        menu("PupilSizeItem", "MiozItem", "Миоз", R"(c1 + ": " + l3 + " " + c4)"),
        sign("MiozItem", "MiozParalItem", "паралитический", {905}),
        sign("MiozItem", "MiozSpastItem", "спастический", {906}),
        sign("MiozItem", "MiozPhysioItem", "физиологический", {176}),
        sign("MiozItem", "MiozPathBothItem", "патологический двусторонний", {132, 133, 223, 256, 257, 443}),
        sign("MiozItem", "MiozPathOneItem", "патологический односторонний", {258, 259, 260, 261}),
        menu("PupilSizeItem", "MydryazItem", "Мидриаз", R"(c1 + ": " + l3 + " " + c4)"),
        sign("MydryazItem", "MydryazPlainItem", "мидриаз", {262, 907, 908}, Action::None, R"(c1 + ": " + l3)"),
        sign("MydryazItem", "MydryazPathBothItem", "патологический двусторонний", {114, 762, 132, 177, 178, 233, 263, 264, 319, 356, 406, 619}),
        sign("MydryazItem", "MydryazPathOneItem", "патологический односторонний", {207, 209, 232, 265, 266, 267, 268}),
        pupil("PupilItem", "PupilDecenItem", "Децентрация", Action::PupilDecenter),
        pupil("PupilItem", "PupilFlatItem", "Уплощение", Action::PupilFlatten),
        pupil("PupilItem", "PupilBorderItem", "Зрачковая кайма", Action::PupilBorder),
        menu("SymtomItem", "CollaretteItem", "Зрачковый пояс", R"(c1 + ": " + l2)"),
        menu("CollaretteItem", "CollarStromeItem", "Строма", R"(c1 + ": " + l2 + ": " + l3)"),
        sign("CollarStromeItem", "CollarBrightItem", "Цвет яркий, однотонный, трабекулы строго радиальные", {445, 492}),
        sign("CollarStromeItem", "CollarPatchyItem", "Сочетание участков просветл., потемн.и нормальн.стромы", {446}),
        sign("CollarStromeItem", "CollarSectorGlowItem", "Секторальное свечение волокон", {419}),
        sign("CollarStromeItem", "CollarShinyItem", "Наличие блестящих трабекул (при боковом освещении)", {411}),
        sign("CollarStromeItem", "CollarScrewItem", "Винтообразное расположение трабекул", {401}),
        sign("CollarStromeItem", "CollarLatticeItem", "Решетчатый рисунок стромы", {447}),
        sign("CollarStromeItem", "CollarNetItem", "Сетчатый рисунок стромы", {201}, Action::Collarette),
        sign("CollarStromeItem", "CollarBulgeItem", "Выпячивания стромы белесоватого цвета", {116}, Action::Collarette),
        sign("CollarStromeItem", "CollarHollowItem", "Углубления стромы в сочет.с точечн. включен. сероват.или красноват.цвета", {141}, Action::Collarette),
        sign("CollarStromeItem", "CollarBirdItem", "Черный участок стромы в виде \"птицы\"", {110}, Action::Collarette),
        sign("CollarStromeItem", "CollarBlackRimItem", "Черный участок стромы, окружен.белым валиком", {43}, Action::Collarette),
        sign("CollarStromeItem", "CollarDefectItem", "Дефект со светлой окантовкой, выпяч.авт.кольцо", {420}, Action::Collarette),
        sign("CollarStromeItem", "CollarSphincterItem", "Феномен \"выделяющегося\" сфинктерного кольца", {448}),
        sign("CollarStromeItem", "CollarBlackLinesItem", "Черные линии, кольца и пятна на фоне рад.трещин и истонч. или стерт.стромы", {449}),
        sign("CollaretteItem", "CollarSlagItem", "Зашлакованность", {450}),
        menu("CollaretteItem", "CollarPigmentItem", "Пигментация", R"(c1 + ": " + l3)"),
        sign("CollarPigmentItem", "CollarVeilItem", "пигментная завуалир-сть тотальная в сочет.со стерт.рис.трабекул", {415}),
        sign("CollarPigmentItem", "CollarPigmSpotsItem", "пигментные пятна", {451, 452}),
        sign("CollarPigmentItem", "CollarHyperPigmItem", "гиперпигментированность", {453}),
        sign("CollarPigmentItem", "CollarHyperRadialItem", "гиперпигментация в сочет.с радиальной исчерченностью", {454}),
        menu("CollaretteItem", "CollarLacuneItem", "Лакуны", R"(c1 + ": " + l3)"),
        sign("CollarLacuneItem", "CollarRhombItem", "лакуна ромбовидная", {120}, Action::Collarette),
        sign("CollarLacuneItem", "CollarRhombBulgeItem", "лакуны ромбовидные в сочет.с выпяч. АК", {420}, Action::Collarette, R"(c1 + ": " + c3)"),
        sign("CollarLacuneItem", "CollarMicroLacunaItem", "микролакуна темная на дне светлой лакуны", {183}, Action::Collarette),
        sign("CollarLacuneItem", "CollarLanceItem", "лакуна ланцетовидная", {184}, Action::Collarette),
        sign("CollarLacuneItem", "CollarBlackRoundItem", "лакуна черная круглая", {185}, Action::Collarette),
        sign("CollarLacuneItem", "CollarTorpedoItem", "лакуна черная торпедовидная", {110}, Action::Collarette),
        sign("CollarLacuneItem", "CollarTorpedoLatticeItem", "торпедолакуна с темным решетчатым дном", {186}, Action::Collarette),
        sign("CollarLacuneItem", "CollarLac600Item", "лакуны или пигм.пятна на 6.00-6.20", {455}),
        sign("CollarLacuneItem", "CollarLac500Item", "лакуны или пигм.пятна на 5.00-5.40", {456}),
        sign("CollarLacuneItem", "CollarLacRetractItem", "лакуны или пигм.пятна, распол.в р-не локальн.втяж. АК", {457}, Action::None, R"(c1 + ": " + c3)"),
        sign("CollarLacuneItem", "CollarLacSymmetricItem", "лакуны или пигм.пятна на обеих РО в строго симметр.зонах (6.00)", {457}, Action::None, R"(c1 + ": " + c3)"),
        sign("CollarLacuneItem", "CollarLacSlagItem", "лакуны или пигм.пятна в сочет.с зашлак.и стерт.рис.трабекул", {458}),
        sign("CollarLacuneItem", "CollarDeepLacunaItem", "лакуна глубокая на 6.00 от зрачк.края до лимба", {459}),
        sign("CollarLacuneItem", "CollarLacGroupItem", "группа лакун по периферич.части зрачк.пояса", {460}),
        sign("CollarLacuneItem", "CollarLac150Item", "лакуна (лев.РО) или выбух. АК на 1.50-1.55 в сочет.с \"дорожкой\"", {461, 462}, Action::None, R"(c1 + ": " + c3)"),
        sign("CollarLacuneItem", "CollarLac720Item", "лакуна (прав.РО) и шлаки в сочет.с выбух. АК на 7.20-7.40", {463}, Action::None, R"(c1 + ": " + c3)"),
        menu("SymtomItem", "ColCicItem", "Автономное кольцо", ""),
        menu("ColCicItem", "ColCicSyndromItem", "Синдромы", R"(c1 + ": " + c3)"),
        sign("ColCicSyndromItem", "ColCicSmoothItem", "сглаженное", {223}),
        sign("ColCicSyndromItem", "ColCicHighItem", "высокое", {225}),
        sign("ColCicSyndromItem", "ColCicMiddleItem", "среднее", {226}),
        sign("ColCicSyndromItem", "ColCicEvenItem", "ровное или равном.-зубч.", {227}),
        sign("ColCicSyndromItem", "ColCicBreakItem", "разрыв", {228}, Action::Projection),
        sign("ColCicSyndromItem", "ColCicFlatItem", "уплощ.(слабовыр.) в верхн.и нижн.отд.", {464}),
        sign("ColCicSyndromItem", "ColCicSlagItem", "зашлакованность", {208}, Action::Projection),
        menu("ColCicItem", "ColCicPhenomItem", "Лок.выбухание/втяжение", R"(c1 + ": " + c3)"),
        sign("ColCicPhenomItem", "ColCicBulgeItem", "локальное выбухание", {103}, Action::Projection),
        sign("ColCicPhenomItem", "ColCicRetractItem", "локальное втяжение", {122}, Action::Projection),
        sign("ColCicPhenomItem", "ColCicHornsItem", "двойн.выбух. АК (симптом \"рогов\") 11.30-12.40 на обеих РО", {218}),
        sign("ColCicPhenomItem", "FlvBreak1100Item", "ФЛВ в сочет. с разрывом АК 11.00-1.00 на обеих РО", {200}),
        sign("ColCicPhenomItem", "FlvBreak200Item", "ФЛВ в сочет.с разрывом АК 2.00-2.30 левая РО", {294}),
        sign("ColCicPhenomItem", "Flvt500Item", "ФЛВТ на 5.00-7.00 (на обеих РО)", {416}),
        sign("ColCicPhenomItem", "FlvBrainItem", "ФЛВ, ФЛВТ в пр.зону головного мозга", {266}),
        sign("ColCicPhenomItem", "FlvNeckItem", "ФЛВ, ФЛВТ в пр.зону бок.пов-сти шеи и затылка", {627, 763, 900, 916}),
        sign("ColCicPhenomItem", "FlvChestItem", "ФЛВ, ФЛВТ в пр.зону органов грудной полости", {293, 353, 764}),
        sign("ColCicPhenomItem", "FlvUpperAbdomItem", "ФЛВ, ФЛВТ в пр.зону орг.верх.трети брюш.полости", {466, 479, 483, 620}),
        sign("ColCicPhenomItem", "FlvLowerAbdomItem", "ФЛВ, ФЛВТ в пр.зону орг.нижн.трети брюш.полости", {484, 487, 522, 531, 532, 534, 535, 723}),
        sign("ColCicPhenomItem", "FlvUrogenitalItem", "ФЛВ, ФЛВТ в пр.зону орг.мочепол.системы", {533}),
        sign("ColCicPhenomItem", "FlvNeckChestItem", "ФЛВ, ФЛВТ в пр.зону орг.шеи и грудной клетки", {293, 357, 378, 488, 628}),
        sign("ColCicPhenomItem", "FlvSkullItem", "ФЛВ, ФЛВТ в пр.зону передней полов.черепа", {859, 917, 918, 919, 920}),
        sign("ColCicPhenomItem", "FlvHeartItem", "ФЛВ в пр.зону сердца", {319}),
        sign("ColCicPhenomItem", "FlvPeritoneumItem", "ФЛВ в пр.зону брюшины", {401, 485}),
        sign("ColCicPhenomItem", "FlvRectumItem", "ФЛВ в пр.зону прямой кишки", {486, 489}),
        sign("ColCicPhenomItem", "FlvBladderItem", "ФЛВ в пр.зону мочевого пузыря", {536}),
        sign("ColCicPhenomItem", "FlvGenitalItem", "ФЛВ в пр.зону половых органов (правая РО)", {504}),
        sign("ColCicPhenomItem", "FlvSexCentreItem", "ФЛВ в пр.зону секс.центра в мозжечке (правая РО)", {505}),
        sign("ColCicPhenomItem", "FlvBronchiItem", "ФЛВ в пр.зону бронхов и голосовых связок", {379}),
        sign("ColCicPhenomItem", "FlvLungsItem", "ФЛВ в пр.зону мелких бронхов и легких", {351, 371}),
        sign("ColCicPhenomItem", "FlvNoseItem", "ФЛВ в пр.зону носа", {920}),
        sign("ColCicPhenomItem", "FlvLiverSpleenItem", "ФЛВ в пр.зоны прав.и лев.доли печени, селезенки", {288, 296}),
        menu("SymtomItem", "DystrBordItem", "Дистрофический ободок", R"(c1 + ": " + c2)"),
        sign("DystrBordItem", "DystrWideItem", "широкий", {52}),
        sign("DystrBordItem", "DystrDarkItem", "темный", {86, 128, 355, 521, 806}),
        sign("DystrBordItem", "DystrBranchItem", "темный в виде ветвистостей в пр-ции гол.мозга", {217, 231, 234, 235}),
        sign("DystrBordItem", "DystrTotalItem", "темный тотальный", {87, 111, 143}),
        sign("DystrBordItem", "DystrOrganItem", "в зоне органа", {86}, Action::Projection, R"(c1 + ": " + c2 + ":")"),
        menu("SymtomItem", "LymphRosaryItem", "Лимфатический розарий", R"(c1 + ": " + c2)"),
        sign("LymphRosaryItem", "RosaryLateralItem", "в латеральной части РО", {374}),
        sign("LymphRosaryItem", "RosaryMedialItem", "в медиальной части РО", {375}),
        sign("LymphRosaryItem", "RosaryWhiteItem", "белый", {60, 104, 124, 142, 150, 176, 187, 188, 354, 363, 409, 605}),
        sign("LymphRosaryItem", "RosaryDullItem", "цветной грязновато-тусклого цвета", {55, 106}),
        sign("LymphRosaryItem", "RosaryDirtyItem", "цветной грязно-серого или желтого цвета", {110}),
        sign("LymphRosaryItem", "RosaryShiftedItem", "смещенный", {102}),
        sign("LymphRosaryItem", "RosaryOrganItem", "единичный в зоне органа", {124}, Action::Projection, R"(c1 + ": " + c2 + ":")"),
        menu("SymtomItem", "ToxicIrradItem", "Токсическая лучистость", R"(c1 + ": " + c2)"),
        sign("ToxicIrradItem", "IrradDarkBrainItem", "темная в пр.зоне головного мозга", {189, 231}),
        sign("ToxicIrradItem", "IrradWhiteBrainItem", "белая в пр.зоне головного мозга", {142, 189, 201, 231, 428}),
        sign("ToxicIrradItem", "IrradWhiteItem", "белая", {129, 142, 189, 201, 357, 428, 491, 807, 921}),
        sign("ToxicIrradItem", "IrradAsthenItem", "астенич.рад.щели через зрачк.и реснич.зону", {209}),
        sign("ToxicIrradItem", "IrradAsthen1200Item", "астенич.рад.щели на 12.00", {241}),
        sign("ToxicIrradItem", "IrradAsthen600Item", "астенич.рад.щели на 6.00", {718}),
        sign("ToxicIrradItem", "IrradAsthenOrganItem", "астенич.рад.щели в зоне органа", {100}, Action::Projection, R"(c1 + ": " + c2 + ":")"),
        sign("ToxicIrradItem", "IrradHyperemiaItem", "борозды гиперемии, отходящие от АК", {105}, Action::Projection),
        menu("SymtomItem", "LacunaItem", "Лакуна", R"(c1 + ": " + c2)"),
        sign("LacunaItem", "SimpleLacunaItem", "простая", {113}, Action::Projection),
        sign("LacunaItem", "OpenLacunaItem", "открытая", {113}, Action::Projection),
        sign("LacunaItem", "ClosedLacunaItem", "закрытая", {116}, Action::Projection),
        sign("LacunaItem", "AcuteLacunaItem", "остроугольная", {193}, Action::Projection),
        sign("LacunaItem", "TwistedLacunaItem", "образована извитыми трабекулами", {194}, Action::Projection),
        sign("LacunaItem", "LatticeLacunaItem", "с решетчатым (ячеистым) дном", {195}, Action::Projection),
        sign("LacunaItem", "PigmEdgeLacunaItem", "с пигментацией по краям", {119, 145}, Action::Projection),
        sign("LacunaItem", "LightTrabLacunaItem", "образована светлыми трабекулами", {121}, Action::Projection),
        sign("LacunaItem", "RoundLacunaItem", "округлая, образов.светлыми трабекулами", {121}, Action::Projection),
        sign("LacunaItem", "CompoundLacunaItem", "состоит из мелких лакун", {108}, Action::Projection),
        sign("LacunaItem", "SurfaceLacunaItem", "поверхностная, округлой формы", {123}, Action::Projection),
        sign("LacunaItem", "PigmentLacunaItem", "с большим колич.пигмента,но без \"токсической дорожки\"", {123}, Action::Projection),
        sign("LacunaItem", "WhiteThreadLacunaItem", "с белыми нитями на дне", {117}, Action::Projection),
        sign("LacunaItem", "LightBottomLacunaItem", "норм.цвета, но края и дно высветлены", {117}, Action::Projection),
        sign("LacunaItem", "RestoredLacunaItem", "с восстановл.цветом трабекул вокруг нее", {117}, Action::Projection),
        sign("LacunaItem", "SmallLacunaItem", "маленькая", {118}, Action::Projection),
        sign("LacunaItem", "HeartLacunaItem", "листообразная (сердечная лакуна)", {299}),
        sign("LacunaItem", "ProstateLacunaItem", "спаржеобразная (\"лакуна простаты\")", {516}),
        sign("LacunaItem", "DividedLacunaItem", "разделенная", {109}, Action::Projection),
        sign("LacunaItem", "MedusaLacunaItem", "медузообразная", {351}),
        sign("LacunaItem", "PolygonLacunaItem", "неправ.многоуг.формы с острыми краями", {194}, Action::Projection),
        sign("LacunaItem", "CrackLacunaItem", "в виде \"трещины\"", {195}, Action::Projection),
        sign("LacunaItem", "CiliaryLacunaItem", "в средней части цилиарного пояса", {196}, Action::Projection),
        sign("LacunaItem", "NearPupilLacunaItem", "вблизи зрачка", {138}, Action::Projection),
        menu("SymtomItem", "ReflexItem", "Рефлекторные (рад.,попер.,адаптац.кольца)", ""),
        menu("ReflexItem", "RadialItem", "Радиальные знаки", R"(c3)"),
        sign("RadialItem", "RadIrritItem", "Волокна раздражения (высветлен.набухшие трабекулы)", {196}, Action::Projection),
        sign("RadialItem", "RadVascItem", "Васкуляризация (светло-красный радиальный сосуд)", {103, 105}, Action::Projection),
        sign("RadialItem", "RadTwistItem", "Извилист.ход трабекул (симпт.\"локона\",\"пряди волос\")", {103, 264}, Action::Projection),
        sign("RadialItem", "RadSpasmItem", "Спазмированные трабекулы (\"серебристая нить\")", {103}, Action::Projection),
        sign("RadialItem", "RadNeuralNetItem", "Решетчатая и сетчатая стр-ра (\"нейронные сети\")", {238}, Action::Projection),
        menu("ReflexItem", "CrossItem", "Поперечные знаки", R"(c3)"),
        sign("CrossItem", "CrossTrabItem", "Попереч.и косые трабекулы, могут разветвляться", {197}, Action::Projection),
        sign("CrossItem", "CrossVascItem", "Поперечные васкуляризованные трабекулы", {105, 197}, Action::Projection),
        menu("ReflexItem", "AdapCiclItem", "Адаптационные кольца и дуги", R"(c2 + ": " + c3)"),
        sign("AdapCiclItem", "AdapFullItem", "полные кольца", {237, 243}),
        sign("AdapCiclItem", "Adap01Item", "0-1 кольцо", {279}),
        sign("AdapCiclItem", "Adap23Item", "2-3 кольца", {850}),
        sign("AdapCiclItem", "Adap46Item", "4-6 колец", {851}),
        sign("AdapCiclItem", "AdapSmoothItem", "сглаженные, тонкие адаптац.кольца", {223}),
        sign("AdapCiclItem", "AdapModerateItem", "умеренно выраженные адаптац.кольца", {226}),
        sign("AdapCiclItem", "AdapMarkedItem", "выраженные адаптац.кольца (широкие, высокие)", {227}),
        sign("AdapCiclItem", "AdapLoopsItem", "циркулярно располож.петли адаптацион.дуг", {198}, Action::Projection),
        sign("AdapCiclItem", "AdapTileItem", "черепицеобразные адаптац.кольца", {283, 291}, Action::Projection),
        sign("AdapCiclItem", "AdapArchItem", "двойные дуги в виде арки", {292}, Action::Projection),
        menu("SymtomItem", "ToxPigmItem", "Токсические и пигментные пятна", R"(c2)"),
        sign("ToxPigmItem", "ToxBrownSpotsItem", "Токсич.пятна коричнев.в зрач.поясе", {427}),
        menu("ToxPigmItem", "PigmSpotsItem", "Пигментные пятна", R"(c2 + ": " + c3)"),
        sign("PigmSpotsItem", "PigmSpotsLightItem", "светлые и поверхностные", {199}, Action::Projection),
        sign("PigmSpotsItem", "PigmSpotsDarkItem", "темные и глубокие", {138}, Action::Projection),
        sign("PigmSpotsItem", "PigmSpotsHypothalItem", "скопления в гипоталамо-стволовой области", {322}),
        sign("PigmSpotsItem", "PigmSpotsSubcortItem", "скопления в подкорковой области", {852}),
        menu("ToxPigmItem", "PermPigmSpotItem", "Остаточные пигментные пятна", R"(c2 + ": " + c3)"),
        sign("PermPigmSpotItem", "PermDarkItem", "темные или черные", {117}, Action::Projection),
        sign("PermPigmSpotItem", "PermRootItem", "у корня РО", {808}, Action::Projection),
        sign("PermPigmSpotItem", "PermLegsItem", "по периферии РО, в секторе нижних конечностей", {719}),
        sign("PermPigmSpotItem", "PermGallItem", "в проекции желчного пузыря", {410}),
        sign("PermPigmSpotItem", "PermUrinaryItem", "в проекции мочевыводящих путей", {524}),
        sign("PermPigmSpotItem", "PermBrownRedItem", "коричнево-красные", {136}, Action::Projection),
        sign("PermPigmSpotItem", "PermRedYellowItem", "красно-желтые", {325, 414, 469}),
        sign("PermPigmSpotItem", "PermRedYellowZoneItem", "красно-желтые в зоне", {137}, Action::Projection, R"(c2 + ": " + c3 + ": ")"),
        sign("PermPigmSpotItem", "PermYellowItem", "желтые в сочет.с коричн.точечн. включениями", {750}),
        sign("PermPigmSpotItem", "PermYellowGreenItem", "желто-зеленые", {751}, Action::Projection),
        menu("ToxPigmItem", "PigmDeck5Item", "Пигментные пятна (5 групп  по J.Deсk)", R"(c2 + ": " + c3)"),
        sign("PigmDeck5Item", "Deck5TarItem", "черные дегтевые", {102}, Action::Projection),
        sign("PigmDeck5Item", "Deck5BrownItem", "коричневые", {470}),
        sign("PigmDeck5Item", "Deck5OchreItem", "желто-красные цвета охры", {471}),
        sign("PigmDeck5Item", "Deck5YellowItem", "желтые", {522}),
        sign("PigmDeck5Item", "Deck5GoldItem", "золотисто-зернистые", {621}),
        menu("ToxPigmItem", "PigmDeck3Item", "Пигментные пятна (3 группы  по J.Deсk)", R"(c2 + ": " + l3)"),
        sign("PigmDeck3Item", "Deck3UroroseinItem", "Уророзеины", {514, 530, 913}),
        menu("PigmDeck3Item", "PigmDeck3YellowItem", "Желтые пигменты", R"(c2 + ": " + l3 + " " + c4)"),
        sign("PigmDeck3YellowItem", "Deck3YellowKidneyItem", "в зоне почек", {500}),
        sign("PigmDeck3YellowItem", "Deck3YellowSigmoidItem", "в зоне сигмовидной кишки", {189, 469}),
        sign("PigmDeck3YellowItem", "Deck3YellowBrainItem", "(желто-коричневые) в зоне головн.мозга", {192, 289}),
        sign("PigmDeck3YellowItem", "Deck3YellowSpleenItem", "(цвета охры) в зоне селезенки", {602, 625}),
        menu("PigmDeck3Item", "PigmDeck3FuscItem", "Фусциновые, порфины и меланины, дегтевые пигменты", R"(c2 + ": " + c4)"),
        sign("PigmDeck3FuscItem", "Deck3FuscinItem", "фусциновые в зоне печени, желч.пузыря, поджел.железы", {480, 481, 478, 479}),
        sign("PigmDeck3FuscItem", "Deck3PorphinItem", "порфины и меланины", {470, 436}),
        sign("PigmDeck3FuscItem", "Deck3TarItem", "дегтевые в зоне желудочно-кишечного тракта", {111}),
        sign("PigmDeck3FuscItem", "Deck3GrainItem", "феномен зернистости", {134, 143, 761}),
        menu("ToxPigmItem", "PigmLightItem", "Светлые пигментные пятна (по R.Bourdiol)", R"(c2 + ": " + c3)"),
        sign("PigmLightItem", "BourdiolCollarItem", "желто-золотист.(на светл.РО) вокруг АК в сочет.с 4-6 степ.плотн.РО", {720, 721, 722}),
        sign("PigmLightItem", "BourdiolGallItem", "желто-золотист. со структ.иридознаками в зоне желчного пузыря", {410, 472}),
        sign("PigmLightItem", "BourdiolPartItem", "желто-золотист. в определенной части АК", {109}, Action::Projection, R"(c2 + ": " + c3 + ": ")"),
        sign("PigmLightItem", "BourdiolLimbItem", "желто-золотист. прерыв.формы у лимба в сочет.со структ.иридозн.по АК", {100}, Action::Projection, R"(c2 + ": " + c3 + ": ")"),
        sign("PigmLightItem", "BourdiolCiliaryItem", "желто-золотист. в цилиарном поясе", {853}),
        sign("PigmLightItem", "BourdiolBrightItem", "яркие желто-золотист. пигменты в цилиарном поясе", {218}),
        sign("PigmLightItem", "BourdiolDirtyItem", "грязно-желтые светлые пигменты у АК на 5.00 - 7.00", {525}),
        sign("PigmLightItem", "BourdiolFineItem", "светло-желт.пятна мелкозерн.структуры из мелких штрихов и завитков", {752}, Action::Projection),
        sign("PigmLightItem", "BourdiolFineAllItem", "светло-желт.пятна мелкозерн.стр-ры из мелк.штрих.и завитков по всей РО", {770}),
        sign("PigmLightItem", "BourdiolPurulentItem", "желто-зеленовато-\"гнойная\" пигментация вокруг АК", {753, 754}),
        sign("PigmLightItem", "BourdiolJellyItem", "желто-зеленовато-\"клейковатая\" пигм-ция (в виде желе)", {135}),
        menu("ToxPigmItem", "PigmDarkItem", "Темные пигментные пятна", R"(c2 + ": " + c3)"),
        sign("PigmDarkItem", "BearSkinItem", "\"медвежья шкура\"", {508, 755}),
        sign("PigmDarkItem", "FeltPigmentItem", "\"войлокообразный\"  пигмент", {412, 755}),
        menu("ToxPigmItem", "PigmPresentItem", "Пигменты типа \"презентного табака\"(по R.Shnabel)", R"(c2 + ": " + c3 + ": ")"),
        sign("PigmPresentItem", "PresentPepperZoneItem", "мельчайш.скопл.в виде \"черн.перца\"  в зоне", {108, 767}, Action::Projection),
        sign("PigmPresentItem", "PresentPepperItem", "мельчайш.скопл.в виде \"черн.перца\"", {506, 608}, Action::None, R"(c2 + ": " + c3)"),
        menu("PigmPresentItem", "PigmTriangItem", "крупные скопления триангулярной формы", R"(c2 + ": " + c3 + " " + c4)"),
        sign("PigmTriangItem", "TriangOutItem", "с вершиной к периферии", {753}, Action::Projection),
        sign("PigmTriangItem", "TriangInItem", "с вершиной к центру", {854}, Action::Projection),
        menu("PigmPresentItem", "PigmBandItem", "крупные скопления полосковой формы", R"(c2 + ": " + c3 + ": " + c4)"),
        sign("PigmBandItem", "BandThinItem", "тонкая рад.полоска вдоль 2-3-х трабекул", {705, 855, 856}),
        sign("PigmBandItem", "BandWide1100Item", "широкая рад.полоска на 11.00-1.00", {705}),
        sign("PigmBandItem", "BandWideItem", "широкая радиальная полоска", {854}, Action::Projection),
        sign("PigmBandItem", "BandTwoRetractItem", "две узкие рад.полосы, начин.с места втяж.АК", {477, 491, 857}),
        sign("PigmBandItem", "BandTwoBulgeItem", "две узкие рад.полосы, начин.с места выбух.АК", {477}),
        menu("PigmPresentItem", "PigmFishItem", "крупные скопления формы \"рыбий хвост\"", R"(c2 + ": " + c3 + ": " + c4)"),
        sign("PigmFishItem", "FishVItem", "V-образной формы", {854, 858}, Action::Projection),
        sign("PigmFishItem", "FishSwallowItem", "в форме хвоста ласточки", {758, 854}, Action::Projection),
        sign("PigmFishItem", "FishArchItem", "в форме свода (арки)", {287, 854}, Action::Projection),
        sign("PigmFishItem", "FishPincerItem", "клещеобразной формы", {703, 854}, Action::Projection),
        menu("PigmPresentItem", "PigmCircItem", "крупные скопления циркулярной формы", R"(c2 + ": " + c3 + ": " + c4)"),
        sign("PigmCircItem", "CircWideItem", "широк.циркул.полоска в средн.отдел.цил.пояса", {109}, Action::Projection),
        sign("PigmCircItem", "CircWideSignsItem", "шир.цирк.полоска в средн.отдел.цил.пояса в сочет.со структ.иридознак.(лак.,крипты)", {759}, Action::Projection),
        sign("PigmCircItem", "CircCollarItem", "циркулярная полоска вокруг АК", {243}),
        sign("PigmCircItem", "CircLimbItem", "циркулярная полоска у лимба", {323, 760}),
        menu("PigmPresentItem", "PigmGroupItem", "крупные скопления кучкообразной формы", R"(c2 + ": " + c3 + " " + c4)"),
        sign("PigmGroupItem", "GroupBulgeZoneItem", "на выступах АК в зоне", {247}, Action::Projection),
        sign("PigmGroupItem", "GroupBulgeItem", "на выступах АК", {603, 623, 624}, Action::None, R"(c2 + ": " + c3 + " " + c4 + ": ")"),
        sign("PigmGroupItem", "GroupRetractItem", "в местах втяжения АК", {243, 600}, Action::Projection),
        sign("PigmGroupItem", "GroupMiddleItem", "по средней линии цилиарного пояса", {622, 706}),
        sign("PigmGroupItem", "GroupRootItem", "у корня радужной оболочки", {809, 853}),
        sign("PigmGroupItem", "GroupScatterItem", "разброс.хаотич.по цилиар.поясу", {529, 622}),
    };
}

QList<Sign> makeSigns()
{
    QHash<QString, QStringList> pathOf; // submenu -> its path of captions
    QHash<QString, QString> ruleOf;     // submenu -> the rule of its signs
    QList<Sign> out;
    for (const Entry &e : entries()) {
        const QStringList path = pathOf.value(e.parent) << e.caption;
        if (e.isMenu) {
            pathOf.insert(e.name, path);
            ruleOf.insert(e.name, e.rule);
            continue;
        }
        Sign s;
        s.name = e.name;
        s.menu = e.parent;
        s.path = path;
        if (!e.codes.isEmpty())
            s.rule = e.rule.isEmpty() ? ruleOf.value(e.parent) : e.rule;
        s.codes = e.codes;
        s.action = e.action;
        out.append(s);
    }
    return out;
}

} // namespace

const QList<Entry> &entries()
{
    static const QList<Entry> table = makeEntries();
    return table;
}

const Entry *findEntry(const QString &name)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> h;
        for (qsizetype i = 0; i < entries().size(); ++i)
            h.insert(entries().at(i).name, i);
        return h;
    }();
    const auto it = index.constFind(name);
    return it == index.constEnd() ? nullptr : &entries().at(*it);
}

const QList<Sign> &signs()
{
    static const QList<Sign> list = makeSigns();
    return list;
}

const Sign *findSign(const QString &name)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> h;
        for (qsizetype i = 0; i < signs().size(); ++i)
            h.insert(signs().at(i).name, i);
        return h;
    }();
    const auto it = index.constFind(name);
    return it == index.constEnd() ? nullptr : &signs().at(*it);
}

QString Sign::text() const
{
    return signtext::build(rule, path);
}

QString pupilPage(Action action)
{
    switch (action) {
    case Action::PupilDecenter:
        return QStringLiteral("tsDecenter");
    case Action::PupilFlatten:
        return QStringLiteral("tsFlatten");
    case Action::PupilBorder:
        return QStringLiteral("tsBorder");
    default:
        return {};
    }
}

} // namespace deep::catalog
