#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Draws the ten colour-keyed chart and diagram pictures and writes their text files.

The projection-zone charts (after Deck, after Jensen, pupillary belt; right and
left eye) and the pupil and border diagrams find what was clicked by the colour
of the pixel alone, so every zone and every variant patch is one solid colour
and its text file keys one line by that colour number (R + 256*G + 65536*B).
This script keeps one table per chart and one per diagram, and draws the
pictures and writes the files from those same tables, so a picture and its file
can never disagree: a colour is chosen once per distinct zone name over all
charts (so a zone has the same colour in the right and the left picture that
share a file, no colour ever names two zones, and touching zones get clearly
different colours), pictures are drawn pixel by pixel without smoothing (every pixel is white,
black or a key colour), and a self-check reads the written files back and
compares them. Only the Python 3 standard library is used (own BMP writer and
reader, own pixel font), so the output is the same byte for byte on every run.

Run from anywhere:
    python3 tools/charts/make_charts.py           # draw, write, then self-check
    python3 tools/charts/make_charts.py --check   # only check the files in place
    python3 tools/charts/make_charts.py --png DIR # also write PNG copies for viewing
    python3 tools/charts/make_charts.py --geometry # print the rings' geometry only
Writes charts/pictures/im*.bmp (charts: 8 bits per pixel; diagrams: 4 bits per
pixel, standard 16-colour palette) and data/SystmTxt/{DeckOrgans, JensOrgans,
ZrachOrgansR, ZrachOrgansL, Decentr, FlatRorL, FlatBoth, Border}.txt
(Windows-1251, CR LF).

Organ file line: characters 1-8 the colour number right-aligned, 9 a blank,
10-11 the body-system code (01-10), 12 on the localisation text. The text
starts with a blank and puts the zone in parentheses, e.g. " (печень)", because
the chart window appends it as it stands to the sign and pathology lines.
Name file line: characters 1-8 the colour number right-aligned, 9 on the name.
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PICTURES = os.path.join(ROOT, "charts", "pictures")
SYSTMTXT = os.path.join(ROOT, "data", "SystmTxt")

WHITE = 16777215
BLACK = 0
SIZE = 384


def rgb(r, g, b):
    return r + 256 * g + 65536 * b


def split_rgb(c):
    return c & 255, (c >> 8) & 255, (c >> 16) & 255


# ---------------------------------------------------------------------------
# Zone tables. A row: (localisation name, rings, start, end, body-system code).
# Rings counted from the pupil: 1 stomach, 2 intestines, 3 autonomic nerve
# ring (collarette), 4 inner organ ring, 5 outer organ ring, 6 lymph ring,
# 7 skin. Clock spans run clockwise from start to end as the examiner sees the
# iris (right eye: nasal side at 3.00; left eye: nasal side at 9.00); start
# equal to end is the whole circle. Within a chart each ring is tiled exactly
# once (checked before drawing). A name is written to its file as " (name)".
# ---------------------------------------------------------------------------

LYMPH_J = "лимфатическая система, %s квадрант"
LYMPH_D = "лимфатический розарий, %s квадрант"
SKIN = "кожа, %s квадрант"
ANR = "автономное нервное кольцо, %s сектор"


def quadrants(fmt, ring, code, right):
    names = ["верхненосовой", "нижненосовой", "нижневисочный", "верхневисочный"] if right else \
            ["верхневисочный", "нижневисочный", "нижненосовой", "верхненосовой"]
    spans = [("12:00", "3:00"), ("3:00", "6:00"), ("6:00", "9:00"), ("9:00", "12:00")]
    return [(fmt % n, ring, a, b, code) for n, (a, b) in zip(names, spans)]


def belt_sectors(right):
    names = ["верхний", "верхненосовой", "нижненосовой", "нижний", "нижневисочный", "верхневисочный"] if right else \
            ["верхний", "верхневисочный", "нижневисочный", "нижний", "нижненосовой", "верхненосовой"]
    spans = [("11:00", "1:00"), ("1:00", "3:00"), ("3:00", "5:00"),
             ("5:00", "7:00"), ("7:00", "9:00"), ("9:00", "11:00")]
    return [(ANR % n, "3", a, b, 2) for n, (a, b) in zip(names, spans)]


JENSEN_R = [
    ("кардиальный отдел и дно желудка", "1", "9:00", "3:00", 5),
    ("тело желудка и привратник", "1", "3:00", "9:00", 5),
    ("поперечная ободочная кишка", "2", "10:00", "2:30", 5),
    ("тонкая кишка", "2", "2:30", "6:00", 5),
    ("слепая кишка и червеобразный отросток", "2", "6:00", "7:00", 5),
    ("восходящая ободочная кишка", "2", "7:00", "9:00", 5),
    ("печёночный изгиб ободочной кишки", "2", "9:00", "10:00", 5),
    ("автономное нервное кольцо", "3", "12:00", "12:00", 2),
    ("гипофиз", "4", "12:00", "12:30", 7),
    ("психическая зона головного мозга", "5", "12:00", "12:30", 2),
    ("эпифиз", "4", "12:30", "1:00", 7),
    ("лобная доля головного мозга", "5", "12:30", "1:00", 2),
    ("лобная пазуха", "4-5", "1:00", "1:15", 10),
    ("глаз", "4-5", "1:15", "1:30", 10),
    ("нос", "4-5", "1:30", "1:45", 10),
    ("верхняя челюсть", "4-5", "1:45", "2:00", 10),
    ("полость рта, язык", "4-5", "2:00", "2:15", 5),
    ("нижняя челюсть", "4-5", "2:15", "2:30", 10),
    ("нёбные миндалины", "4-5", "2:30", "2:45", 10),
    ("пищевод", "4", "2:45", "3:00", 5),
    ("гортань, трахея", "5", "2:45", "3:00", 10),
    ("щитовидная железа", "4", "3:00", "3:15", 7),
    ("шейный отдел позвоночника", "5", "3:00", "3:25", 8),
    ("паращитовидные железы", "4", "3:15", "3:25", 7),
    ("молочная железа", "4", "8:00", "8:15", 7),
    ("грудной отдел позвоночника", "4-5", "3:25", "3:55", 8),
    ("брюшная полость", "4", "7:15", "7:40", 5),
    ("поясничный отдел позвоночника", "4-5", "3:55", "4:15", 8),
    ("паховая область", "4-5", "6:30", "6:45", 8),
    ("крестец и копчик", "4-5", "4:15", "4:30", 8),
    ("матка / предстательная железа", "4-5", "4:30", "4:45", 6),
    ("наружные половые органы", "4-5", "4:45", "5:00", 6),
    ("мочевой пузырь", "4-5", "5:00", "5:15", 6),
    ("прямая кишка, задний проход", "4-5", "5:15", "5:30", 5),
    ("надпочечник", "4", "5:30", "6:00", 7),
    ("почка", "5", "5:30", "6:00", 6),
    ("нижняя конечность", "4-5", "6:00", "6:30", 8),
    ("яичник / яичко", "4-5", "6:45", "7:00", 7),
    ("поджелудочная железа", "4-5", "7:00", "7:15", 5),
    ("желчный пузырь", "4", "7:40", "8:00", 5),
    ("печень", "5", "7:15", "8:00", 5),
    ("грудная клетка, рёбра", "5", "8:00", "8:15", 8),
    ("верхняя конечность", "4-5", "8:15", "8:30", 8),
    ("лопатка, плечевой сустав", "4-5", "8:30", "8:45", 8),
    ("бронхи", "4", "8:45", "9:00", 4),
    ("плевра", "5", "8:45", "9:00", 4),
    ("нижняя доля лёгкого", "4-5", "9:00", "9:15", 4),
    ("средняя доля лёгкого", "4-5", "9:15", "9:30", 4),
    ("верхняя доля лёгкого", "4-5", "9:30", "9:45", 4),
    ("шея", "4-5", "9:45", "10:00", 8),
    ("ухо", "4-5", "10:00", "10:30", 10),
    ("сосцевидный отросток", "4-5", "10:30", "10:40", 10),
    ("височная доля головного мозга", "4-5", "10:40", "11:00", 2),
    ("мозжечок", "4-5", "11:00", "11:20", 2),
    ("двигательная зона коры головного мозга", "4-5", "11:20", "11:40", 2),
    ("чувствительная зона коры головного мозга", "4-5", "11:40", "12:00", 2),
] + quadrants(LYMPH_J, "6", 1, True) + quadrants(SKIN, "7", 9, True)

JENSEN_L = [
    ("тело желудка и привратник", "1", "3:00", "9:00", 5),
    ("кардиальный отдел и дно желудка", "1", "9:00", "3:00", 5),
    ("селезёночный изгиб ободочной кишки", "2", "2:00", "3:00", 5),
    ("нисходящая ободочная кишка", "2", "3:00", "5:00", 5),
    ("сигмовидная кишка", "2", "5:00", "6:00", 5),
    ("тонкая кишка", "2", "6:00", "9:30", 5),
    ("поперечная ободочная кишка", "2", "9:30", "2:00", 5),
    ("автономное нервное кольцо", "3", "12:00", "12:00", 2),
    ("чувствительная зона коры головного мозга", "4-5", "12:00", "12:20", 2),
    ("двигательная зона коры головного мозга", "4-5", "12:20", "12:40", 2),
    ("мозжечок", "4-5", "12:40", "1:00", 2),
    ("височная доля головного мозга", "4-5", "1:00", "1:20", 2),
    ("сосцевидный отросток", "4-5", "1:20", "1:30", 10),
    ("ухо", "4-5", "1:30", "2:00", 10),
    ("шея", "4-5", "2:00", "2:15", 8),
    ("верхняя доля лёгкого", "4-5", "2:15", "2:30", 4),
    ("нижняя доля лёгкого", "4-5", "2:30", "2:45", 4),
    ("сердце", "4-5", "2:45", "3:00", 3),
    ("бронхи", "4", "3:00", "3:15", 4),
    ("плевра", "5", "3:00", "3:15", 4),
    ("лопатка, плечевой сустав", "4-5", "3:15", "3:30", 8),
    ("верхняя конечность", "4-5", "3:30", "3:45", 8),
    ("грудная клетка, рёбра", "5", "3:45", "4:00", 8),
    ("селезёнка", "4-5", "4:00", "4:30", 1),
    ("поджелудочная железа", "4-5", "4:45", "5:00", 5),
    ("яичник / яичко", "4-5", "5:00", "5:15", 7),
    ("нижняя конечность", "4-5", "5:30", "6:00", 8),
    ("надпочечник", "4", "6:00", "6:30", 7),
    ("почка", "5", "6:00", "6:30", 6),
    ("прямая кишка, задний проход", "4-5", "6:30", "6:45", 5),
    ("мочевой пузырь", "4-5", "6:45", "7:00", 6),
    ("наружные половые органы", "4-5", "7:00", "7:15", 6),
    ("матка / предстательная железа", "4-5", "7:15", "7:30", 6),
    ("паховая область", "4-5", "5:15", "5:30", 8),
    ("крестец и копчик", "4-5", "7:30", "7:45", 8),
    ("брюшная полость", "4-5", "4:30", "4:45", 5),
    ("поясничный отдел позвоночника", "4-5", "7:45", "8:05", 8),
    ("молочная железа", "4", "3:45", "4:00", 7),
    ("грудной отдел позвоночника", "4-5", "8:05", "8:35", 8),
    ("паращитовидные железы", "4", "8:35", "8:45", 7),
    ("щитовидная железа", "4", "8:45", "9:00", 7),
    ("шейный отдел позвоночника", "5", "8:35", "9:00", 8),
    ("пищевод", "4", "9:00", "9:15", 5),
    ("гортань, трахея", "5", "9:00", "9:15", 10),
    ("нёбные миндалины", "4-5", "9:15", "9:30", 10),
    ("нижняя челюсть", "4-5", "9:30", "9:45", 10),
    ("полость рта, язык", "4-5", "9:45", "10:00", 5),
    ("верхняя челюсть", "4-5", "10:00", "10:15", 10),
    ("нос", "4-5", "10:15", "10:30", 10),
    ("глаз", "4-5", "10:30", "10:45", 10),
    ("лобная пазуха", "4-5", "10:45", "11:00", 10),
    ("эпифиз", "4", "11:00", "11:30", 7),
    ("лобная доля головного мозга", "5", "11:00", "11:30", 2),
    ("гипофиз", "4", "11:30", "12:00", 7),
    ("психическая зона головного мозга", "5", "11:30", "12:00", 2),
] + quadrants(LYMPH_J, "6", 1, False) + quadrants(SKIN, "7", 9, False)

DECK_R = [
    ("желудок", "1", "2:30", "1:30", 5),
    ("привратник желудка", "1", "1:30", "2:30", 5),
    ("поперечная ободочная кишка", "2", "10:00", "12:30", 5),
    ("двенадцатиперстная кишка", "2", "12:30", "2:30", 5),
    ("тонкая кишка", "2", "2:30", "6:00", 5),
    ("слепая кишка и червеобразный отросток", "2", "6:00", "7:30", 5),
    ("восходящая ободочная кишка", "2", "7:30", "10:00", 5),
    ("автономное нервное кольцо", "3", "12:00", "12:00", 2),
    ("гипофиз", "4", "11:45", "12:15", 7),
    ("двигательная зона коры головного мозга", "5", "11:45", "12:15", 2),
    ("эпифиз", "4", "12:15", "12:35", 7),
    ("гипоталамус", "4", "12:35", "1:00", 7),
    ("лобная доля головного мозга", "5", "12:15", "1:00", 2),
    ("придаточные пазухи носа", "4-5", "1:00", "1:20", 10),
    ("глаз", "4-5", "1:20", "1:40", 10),
    ("нос", "4-5", "1:40", "2:00", 10),
    ("челюсти и зубы", "4-5", "2:00", "2:20", 10),
    ("полость рта, язык", "4-5", "2:20", "2:35", 5),
    ("глотка, миндалины", "4-5", "2:35", "2:50", 10),
    ("гортань, трахея", "4-5", "2:50", "3:10", 10),
    ("щитовидная железа", "4", "3:10", "3:30", 7),
    ("шейный отдел позвоночника", "5", "3:10", "3:30", 8),
    ("пищевод", "4", "3:30", "4:00", 5),
    ("грудной отдел позвоночника", "5", "3:30", "4:00", 8),
    ("брюшная полость", "4", "7:20", "7:40", 5),
    ("поясничный отдел позвоночника", "4-5", "4:00", "4:20", 8),
    ("крестец и копчик", "4-5", "4:20", "4:40", 8),
    ("матка / предстательная железа", "4-5", "4:40", "5:00", 6),
    ("мочевой пузырь", "4-5", "5:00", "5:15", 6),
    ("прямая кишка, задний проход", "4-5", "5:15", "5:30", 5),
    ("надпочечник", "4", "5:30", "5:50", 7),
    ("почка", "5", "5:30", "5:50", 6),
    ("мочеточник", "4-5", "5:50", "6:10", 6),
    ("нижняя конечность", "4-5", "6:10", "6:40", 8),
    ("яичник / яичко", "4", "6:40", "7:00", 7),
    ("паховая область", "5", "6:40", "7:00", 8),
    ("поджелудочная железа", "4-5", "7:00", "7:20", 5),
    ("желчный пузырь", "4", "7:40", "7:55", 5),
    ("печень", "5", "7:20", "8:10", 5),
    ("диафрагма", "4", "7:55", "8:30", 4),
    ("рёбра", "5", "8:10", "8:30", 8),
    ("верхняя конечность", "4-5", "8:30", "8:50", 8),
    ("лопатка, плечевой сустав", "4-5", "8:50", "9:05", 8),
    ("бронхи, плевра", "4-5", "9:05", "9:20", 4),
    ("лёгкое", "4-5", "9:20", "9:50", 4),
    ("молочная железа", "4-5", "9:50", "10:05", 7),
    ("шея", "4-5", "10:05", "10:20", 8),
    ("ухо", "4-5", "10:20", "10:45", 10),
    ("мозжечок", "4-5", "10:45", "11:15", 2),
    ("теменная доля головного мозга", "4-5", "11:15", "11:45", 2),
] + quadrants(LYMPH_D, "6", 1, True) + quadrants(SKIN, "7", 9, True)

DECK_L = [
    ("кардиальный отдел желудка", "1", "9:30", "10:30", 5),
    ("желудок", "1", "10:30", "9:30", 5),
    ("селезёночный изгиб ободочной кишки", "2", "2:00", "2:45", 5),
    ("нисходящая ободочная кишка", "2", "2:45", "4:30", 5),
    ("сигмовидная кишка", "2", "4:30", "5:15", 5),
    ("прямая кишка", "2", "5:15", "6:00", 5),
    ("тонкая кишка", "2", "6:00", "9:30", 5),
    ("тощая кишка", "2", "9:30", "11:30", 5),
    ("поперечная ободочная кишка", "2", "11:30", "2:00", 5),
    ("автономное нервное кольцо", "3", "12:00", "12:00", 2),
    ("теменная доля головного мозга", "4-5", "12:15", "12:45", 2),
    ("мозжечок", "4-5", "12:45", "1:15", 2),
    ("ухо", "4-5", "1:15", "1:40", 10),
    ("шея", "4-5", "1:40", "1:55", 8),
    ("молочная железа", "4-5", "1:55", "2:10", 7),
    ("лёгкое", "4-5", "2:10", "2:40", 4),
    ("сердце", "4", "2:40", "2:55", 3),
    ("бронхи, плевра", "5", "2:40", "2:55", 4),
    ("лопатка, плечевой сустав", "4-5", "2:55", "3:10", 8),
    ("верхняя конечность", "4-5", "3:10", "3:30", 8),
    ("диафрагма", "4", "3:30", "3:50", 4),
    ("рёбра", "5", "3:30", "3:50", 8),
    ("селезёнка", "4-5", "3:50", "4:25", 1),
    ("поджелудочная железа", "4-5", "4:40", "5:00", 5),
    ("яичник / яичко", "4", "5:00", "5:20", 7),
    ("паховая область", "5", "5:00", "5:20", 8),
    ("нижняя конечность", "4-5", "5:20", "5:50", 8),
    ("мочеточник", "4-5", "5:50", "6:10", 6),
    ("надпочечник", "4", "6:10", "6:30", 7),
    ("почка", "5", "6:10", "6:30", 6),
    ("задний проход, промежность", "4-5", "6:30", "6:45", 5),
    ("мочевой пузырь", "4-5", "6:45", "7:00", 6),
    ("матка / предстательная железа", "4-5", "7:00", "7:20", 6),
    ("крестец и копчик", "4-5", "7:20", "7:40", 8),
    ("брюшная полость", "4-5", "4:25", "4:40", 5),
    ("поясничный отдел позвоночника", "4-5", "7:40", "8:00", 8),
    ("пищевод", "4", "8:00", "8:30", 5),
    ("грудной отдел позвоночника", "5", "8:00", "8:30", 8),
    ("щитовидная железа", "4", "8:30", "8:50", 7),
    ("шейный отдел позвоночника", "5", "8:30", "8:50", 8),
    ("гортань", "4", "8:50", "9:10", 10),
    ("трахея", "5", "8:50", "9:10", 4),
    ("глотка, миндалины", "4-5", "9:10", "9:25", 10),
    ("полость рта, язык", "4-5", "9:25", "9:40", 5),
    ("челюсти и зубы", "4-5", "9:40", "10:00", 10),
    ("нос", "4-5", "10:00", "10:20", 10),
    ("глаз", "4-5", "10:20", "10:40", 10),
    ("придаточные пазухи носа", "4-5", "10:40", "11:00", 10),
    ("гипоталамус", "4", "11:00", "11:25", 7),
    ("лобная доля головного мозга", "5", "11:00", "11:45", 2),
    ("эпифиз", "4", "11:25", "11:45", 7),
    ("гипофиз", "4", "11:45", "12:15", 7),
    ("двигательная зона коры головного мозга", "5", "11:45", "12:15", 2),
] + quadrants(LYMPH_D, "6", 1, False) + quadrants(SKIN, "7", 9, False)

ZRACH_R = [
    ("препилорический отдел желудка", "1", "12:30", "1:30", 5),
    ("привратник желудка", "1", "1:30", "2:30", 5),
    ("малая кривизна желудка", "1", "2:30", "4:00", 5),
    ("угол желудка", "1", "4:00", "5:00", 5),
    ("большая кривизна желудка", "1", "5:00", "8:00", 5),
    ("тело желудка", "1", "8:00", "10:30", 5),
    ("антральный отдел желудка", "1", "10:30", "12:30", 5),
    ("печёночный изгиб ободочной кишки", "2", "9:30", "10:30", 5),
    ("правая часть поперечной ободочной кишки", "2", "10:30", "11:30", 5),
    ("средняя часть поперечной ободочной кишки", "2", "11:30", "12:30", 5),
    ("луковица двенадцатиперстной кишки", "2", "12:30", "1:15", 5),
    ("нисходящая часть двенадцатиперстной кишки", "2", "1:15", "1:40", 5),
    ("большой сосочек двенадцатиперстной кишки", "2", "1:40", "2:00", 5),
    ("горизонтальная часть двенадцатиперстной кишки", "2", "2:00", "2:30", 5),
    ("проксимальный отдел тощей кишки", "2", "2:30", "3:15", 5),
    ("дистальный отдел тощей кишки", "2", "3:15", "4:00", 5),
    ("проксимальный отдел подвздошной кишки", "2", "4:00", "4:45", 5),
    ("терминальный отдел подвздошной кишки", "2", "4:45", "5:30", 5),
    ("илеоцекальный клапан", "2", "5:30", "6:00", 5),
    ("слепая кишка", "2", "6:00", "6:45", 5),
    ("червеобразный отросток", "2", "6:45", "7:15", 5),
    ("нижний отдел восходящей ободочной кишки", "2", "7:15", "8:30", 5),
    ("верхний отдел восходящей ободочной кишки", "2", "8:30", "9:30", 5),
] + belt_sectors(True)

ZRACH_L = [
    ("абдоминальный отдел пищевода", "1", "9:00", "9:30", 5),
    ("кардиальный отдел желудка", "1", "9:30", "10:30", 5),
    ("дно желудка", "1", "10:30", "12:30", 5),
    ("тело желудка", "1", "12:30", "2:30", 5),
    ("большая кривизна желудка", "1", "2:30", "7:30", 5),
    ("малая кривизна желудка", "1", "7:30", "9:00", 5),
    ("средняя часть поперечной ободочной кишки", "2", "11:30", "12:30", 5),
    ("левая часть поперечной ободочной кишки", "2", "12:30", "1:30", 5),
    ("селезёночный изгиб ободочной кишки", "2", "1:30", "2:30", 5),
    ("верхний отдел нисходящей ободочной кишки", "2", "2:30", "3:30", 5),
    ("нижний отдел нисходящей ободочной кишки", "2", "3:30", "4:30", 5),
    ("сигмовидная кишка", "2", "4:30", "5:15", 5),
    ("прямая кишка", "2", "5:15", "5:45", 5),
    ("анальный канал", "2", "5:45", "6:00", 5),
    ("подвздошная кишка", "2", "6:00", "7:30", 5),
    ("дистальный отдел тощей кишки", "2", "7:30", "8:30", 5),
    ("проксимальный отдел тощей кишки", "2", "8:30", "9:30", 5),
    ("двенадцатиперстно-тощекишечный изгиб", "2", "9:30", "10:30", 5),
    ("восходящая часть двенадцатиперстной кишки", "2", "10:30", "11:30", 5),
] + belt_sectors(False)

# Ring bounds as fractions of the iris width (pupil edge 0, outer edge 1).
RINGS_FULL = {1: (0.00, 0.12), 2: (0.12, 0.28), 3: (0.28, 0.34), 4: (0.34, 0.56),
              5: (0.56, 0.78), 6: (0.78, 0.90), 7: (0.90, 1.00)}
RINGS_BELT = {1: (0.00, 0.35), 2: (0.35, 0.82), 3: (0.82, 1.00)}

# Geometry in picture pixels: pupil radius, iris (outer zone) radius and the
# radius of the outer circle of the chart disc; the hour triangles and
# numerals lie in the white band between the iris and that circle.
GEOM_FULL = dict(pupil=33.0, iris=153.0, rim=184.5, rings=RINGS_FULL)
GEOM_BELT = dict(pupil=40.0, iris=138.0, rim=169.5, rings=RINGS_BELT)

# Organ files and the pictures that share each of them.
CHART_FILES = [
    ("DeckOrgans.txt", [("imDeckR", DECK_R, GEOM_FULL, 60), ("imDeckL", DECK_L, GEOM_FULL, 63)]),
    ("JensOrgans.txt", [("imJensenR", JENSEN_R, GEOM_FULL, 66), ("imJensenL", JENSEN_L, GEOM_FULL, 65)]),
    ("ZrachOrgansR.txt", [("imZrachR", ZRACH_R, GEOM_BELT, 31)]),
    ("ZrachOrgansL.txt", [("imZrachL", ZRACH_L, GEOM_BELT, 27)]),
]

# ---------------------------------------------------------------------------
# Diagram tables: the standard 16-colour palette, and per diagram the variants
# (patch colour, patch rectangle x1, x2, y1, y2 inclusive, drawing, name).
# ---------------------------------------------------------------------------

VGA = [  # palette order of a 16-colour bitmap
    ("black", 0), ("maroon", 128), ("green", 32768), ("olive", 32896),
    ("navy", 8388608), ("purple", 8388736), ("teal", 8421376), ("grey", 8421504),
    ("silver", 12632256), ("red", 255), ("lime", 65280), ("yellow", 65535),
    ("blue", 16711680), ("fuchsia", 16711935), ("aqua", 16776960), ("white", 16777215),
]
C = dict(VGA)

# Decentration: the pupil shifted towards the clock position (hours).
DECENTR = [
    (C["red"], (35, 101, 143, 172), 12.0, "Децентрация зрачка на 12.00 (кверху)"),
    (C["yellow"], (157, 223, 142, 171), 1.5, "Децентрация зрачка на 1.30"),
    (C["lime"], (287, 353, 142, 171), 3.0, "Децентрация зрачка на 3.00"),
    (C["aqua"], (41, 107, 333, 362), 6.0, "Децентрация зрачка на 6.00 (книзу)"),
    (C["blue"], (167, 233, 332, 361), 9.0, "Децентрация зрачка на 9.00"),
    (C["green"], (290, 356, 331, 360), 10.5, "Децентрация зрачка на 10.30"),
]

# Flattening of one pupil: clock position of the cut and its depth in pixels
# (pupil radius 23); a repeated position cuts deeper from variant to variant.
ONE = "Одностороннее уплощение зрачка"
FLAT_ONE = [
    (C["aqua"], (43, 100, 88, 108), 12.0, 5, ONE + " на 12.00 (верхнее), незначительное"),
    (C["silver"], (118, 175, 89, 109), 12.0, 10, ONE + " на 12.00 (верхнее), выраженное"),
    (C["lime"], (197, 254, 89, 109), 1.5, 5, ONE + " на 1.30, незначительное"),
    (C["yellow"], (277, 334, 90, 110), 1.5, 10, ONE + " на 1.30, выраженное"),
    (C["olive"], (13, 70, 218, 238), 3.0, 5, ONE + " на 3.00, незначительное"),
    (C["green"], (86, 143, 218, 238), 3.0, 10, ONE + " на 3.00, выраженное"),
    (C["teal"], (160, 217, 218, 238), 4.5, 7, ONE + " на 4.30"),
    (C["navy"], (237, 294, 218, 238), 7.5, 7, ONE + " на 7.30"),
    (C["purple"], (313, 370, 218, 238), 9.0, 4, ONE + " на 9.00, незначительное"),
    (C["fuchsia"], (11, 68, 341, 361), 9.0, 8, ONE + " на 9.00, умеренное"),
    (C["blue"], (87, 144, 341, 361), 9.0, 12, ONE + " на 9.00, выраженное"),
    (C["grey"], (162, 219, 341, 361), 10.5, 4, ONE + " на 10.30, незначительное"),
    (C["black"], (235, 292, 341, 361), 10.5, 8, ONE + " на 10.30, умеренное"),
    (C["red"], (311, 368, 341, 361), 10.5, 12, ONE + " на 10.30, выраженное"),
]

# Flattening of both pupils: (right eye cut, left eye cut), each (hours, depth);
# the right eye is drawn on the left, as the examiner faces the patient.
BOTH = "Уплощение обоих зрачков"
FLAT_BOTH = [
    (C["red"], (99, 156, 65, 85), ((12.0, 6), (12.0, 6)), BOTH + " верхнее (на 12.00)"),
    (C["grey"], (222, 279, 64, 84), ((6.0, 5), (6.0, 5)), BOTH + " нижнее (на 6.00), незначительное"),
    (C["teal"], (42, 99, 156, 176), ((10.5, 6), (1.5, 6)),
     BOTH + " верхнелатеральное (правый на 10.30, левый на 1.30)"),
    (C["lime"], (164, 221, 157, 177), ((4.5, 6), (7.5, 6)),
     BOTH + " нижнемедиальное (правый на 4.30, левый на 7.30)"),
    (C["blue"], (286, 343, 156, 176), ((6.0, 10), (6.0, 10)), BOTH + " нижнее (на 6.00), выраженное"),
    (C["olive"], (43, 100, 244, 264), ((3.0, 6), (9.0, 6)),
     BOTH + " медиальное (правый на 3.00, левый на 9.00)"),
    (C["fuchsia"], (165, 222, 246, 266), ((7.5, 6), (4.5, 6)),
     BOTH + " нижнелатеральное (правый на 7.30, левый на 4.30)"),
    (C["silver"], (288, 345, 247, 267), ((1.5, 10), (10.5, 10)),
     BOTH + " верхнемедиальное (правый на 1.30, левый на 10.30), выраженное"),
    (C["green"], (101, 158, 340, 360), ((9.0, 6), (3.0, 6)),
     BOTH + " латеральное (правый на 9.00, левый на 3.00)"),
    (C["yellow"], (225, 282, 341, 361), ((1.5, 5), (10.5, 5)),
     BOTH + " верхнемедиальное (правый на 1.30, левый на 10.30), незначительное"),
]

# Pupillary border: the kind of ring drawn around the pupil.
BORDER = [
    (C["yellow"], (51, 117, 132, 161), "thick", "Зрачковая кайма утолщенная, равномерная"),
    (C["lime"], (151, 217, 133, 162), "knobs", "Зрачковая кайма утолщенная, с бугорками по наружному краю"),
    (C["aqua"], (260, 326, 133, 162), "fringe", "Зрачковая кайма бахромчатая (с радиальной исчерченностью)"),
    (C["silver"], (12, 78, 314, 343), "uneven", "Зрачковая кайма утолщенная, неравномерная"),
    (C["blue"], (107, 173, 315, 344), "beads", "Зрачковая кайма истонченная, четкообразная (в виде бус)"),
    (C["red"], (204, 270, 315, 344), "thin", "Зрачковая кайма истонченная, атрофичная"),
    (C["fuchsia"], (296, 362, 314, 343), "wide", "Зрачковая кайма резко расширенная (гипертрофированная)"),
]

# ---------------------------------------------------------------------------
# Pixel font: digits and the colon, 5 x 7 cells, drawn at a whole-number scale.
# ---------------------------------------------------------------------------

FONT = {
    "0": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "1": [".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": [".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    ":": [".", ".", "#", ".", "#", ".", "."],
}


def text_size(s, scale):
    w = sum(len(FONT[ch][0]) for ch in s) * scale + (len(s) - 1) * scale
    return w, 7 * scale


def draw_text(img, s, left, top, scale, colour=BLACK):
    x = left
    for ch in s:
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, cell in enumerate(row):
                if cell == "#":
                    for dy in range(scale):
                        for dx in range(scale):
                            img[top + gy * scale + dy][x + gx * scale + dx] = colour
        x += (len(glyph[0]) + 1) * scale


def draw_text_centred(img, s, cx, cy, scale, colour=BLACK):
    w, h = text_size(s, scale)
    draw_text(img, s, int(round(cx - w / 2.0)), int(round(cy - h / 2.0)), scale, colour)


# ---------------------------------------------------------------------------
# Clock helpers and the zone tables' tiling check.
# ---------------------------------------------------------------------------

def clock_minutes(t):
    h, m = t.split(":")
    h, m = int(h), int(m)
    assert 1 <= h <= 12 and 0 <= m < 60, t
    return (h % 12) * 60 + m


def ring_list(rings):
    if "-" in rings:
        a, b = rings.split("-")
        return list(range(int(a), int(b) + 1))
    return [int(rings)]


def direction(hours):
    """Unit vector (x right, y down) pointing to a clock position."""
    a = math.radians((hours % 12.0) * 30.0)
    return math.sin(a), -math.cos(a)


def ring_spans(zones, rings):
    """Per ring: list of (start, end, zone index) in clock minutes, 0 <= start < end <= 720."""
    spans = {r: [] for r in rings}
    for i, (name, rs, a, b, code) in enumerate(zones):
        a, b = clock_minutes(a), clock_minutes(b)
        for r in ring_list(rs):
            if r not in spans:
                raise SystemExit("zone %r: ring %d is not drawn in this chart" % (name, r))
            if a == b:
                spans[r].append((0, 720, i))
            elif a < b:
                spans[r].append((a, b, i))
            else:
                spans[r].append((a, 720, i))
                spans[r].append((0, b, i))
    for r, segs in spans.items():
        segs.sort()
        pos = 0
        for a, b, i in segs:
            if a != pos:
                raise SystemExit("ring %d: %s at clock minute %d (zone %r)"
                                 % (r, "overlap" if a < pos else "gap", pos, zones[i][0]))
            pos = b
        if pos != 720:
            raise SystemExit("ring %d: gap from clock minute %d" % (r, pos))
    return spans


# ---------------------------------------------------------------------------
# Colours of the zones: one per distinct zone name.
# ---------------------------------------------------------------------------

def hsv_colour(h, s, v):
    i = int(h * 6.0) % 6
    f = h * 6.0 - int(h * 6.0)
    p, q, t = v * (1 - s), v * (1 - s * f), v * (1 - s * (1 - f))
    r, g, b = [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i]
    return rgb(int(round(r * 255)), int(round(g * 255)), int(round(b * 255)))


def colour_distance(c1, c2):
    return math.sqrt(sum((p - q) ** 2 for p, q in zip(split_rgb(c1), split_rgb(c2))))


def zone_colours(names, neighbours):
    """Light colours from a fixed golden-ratio hue sequence, each used once; a
    zone gets the first free colour that is clearly unlike the colours of the
    zones it touches in any chart (names in neighbours[name])."""
    sats = (0.42, 0.62, 0.30, 0.52)
    vals = (0.97, 0.88, 1.00, 0.80)
    candidates, seen = [], {WHITE, BLACK}
    for k in range(4000):
        c = hsv_colour((0.11 + k * 0.6180339887) % 1.0, sats[k % 4], vals[(k // 4) % 4])
        r, g, b = split_rgb(c)
        if c not in seen and 0.299 * r + 0.587 * g + 0.114 * b >= 115.0:
            seen.add(c)
            candidates.append(c)
    out = {}
    for n in names:
        near = [out[m] for m in neighbours.get(n, ()) if m in out]
        for need in (110.0, 90.0, 70.0, 50.0, 0.0):
            pick = next((c for c in candidates
                         if all(colour_distance(c, o) >= need for o in near)), None)
            if pick is not None:
                break
        candidates.remove(pick)
        out[n] = pick
    return out


# ---------------------------------------------------------------------------
# Drawing of a projection-zone chart.
# ---------------------------------------------------------------------------

def new_image(colour=WHITE):
    return [[colour] * SIZE for _ in range(SIZE)]


def zone_map(zones, geom):
    """Zone index of every pixel: -2 pupil, -1 outside the iris."""
    cx = cy = SIZE / 2.0
    rings = geom["rings"]
    spans = ring_spans(zones, rings)
    pupil, iris = geom["pupil"], geom["iris"]
    width = iris - pupil
    bounds = sorted((pupil + width * lo, pupil + width * hi, r) for r, (lo, hi) in rings.items())

    zid = [[-1] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        dy = y + 0.5 - cy
        for x in range(SIZE):
            dx = x + 0.5 - cx
            d = math.hypot(dx, dy)
            if d < pupil:
                zid[y][x] = -2
                continue
            if d >= iris:
                continue
            ring = None
            for lo, hi, r in bounds:
                if lo <= d < hi:
                    ring = r
                    break
            m = (math.degrees(math.atan2(dx, -dy)) % 360.0) * 2.0
            for a, b, i in spans[ring]:
                if a <= m < b:
                    zid[y][x] = i
                    break
    return zid


def touching(zones, zid):
    """Pairs of zone names that share a border."""
    pairs = set()
    for y in range(SIZE - 1):
        for x in range(SIZE - 1):
            i = zid[y][x]
            for j in (zid[y][x + 1], zid[y + 1][x]):
                if i >= 0 and j >= 0 and i != j:
                    pairs.add((zones[i][0], zones[j][0]))
                    pairs.add((zones[j][0], zones[i][0]))
    return pairs


def draw_chart(zones, geom, zid, colours):
    cx = cy = SIZE / 2.0
    iris = geom["iris"]
    img = new_image()
    for y in range(SIZE):
        for x in range(SIZE):
            i = zid[y][x]
            if i == -2:
                img[y][x] = BLACK
            elif i >= 0:
                # A one-pixel black line on the higher-numbered side of every border.
                edge = False
                for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                    if zid[ny][nx] != i and zid[ny][nx] < i:
                        edge = True
                        break
                img[y][x] = BLACK if edge else colours[zones[i][0]]

    # The dial: outer circle, ticks every 10 clock minutes, hour triangles and numerals.
    rim = geom["rim"]
    band = []
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if abs(d - rim) < 0.55:
                img[y][x] = BLACK
            elif iris - 1.0 <= d <= iris + 6.0:
                band.append((x, y))
    for tick in range(72):
        if tick % 6 == 0:
            continue
        ux, uy = direction(tick / 6.0)
        length = 5.0 if tick % 3 == 0 else 3.0
        for x, y in band:
            px, py = x + 0.5 - cx, y + 0.5 - cy
            along = px * ux + py * uy
            across = abs(px * -uy + py * ux)
            if iris <= along <= iris + length and across <= 0.5:
                img[y][x] = BLACK
    for hour in range(1, 13):
        ux, uy = direction(hour)
        tip = (cx + ux * (iris - 0.5), cy + uy * (iris - 0.5))
        base = iris + 7.0
        b1 = (cx + ux * base - uy * 4.0, cy + uy * base + ux * 4.0)
        b2 = (cx + ux * base + uy * 4.0, cy + uy * base - ux * 4.0)
        fill_triangle(img, tip, b1, b2, BLACK)
        # The numeral's box keeps the same clearance from the triangle tips' circle.
        w, h = text_size(str(hour), 2)
        nr = iris + 9.0 + abs(ux) * w / 2.0 + abs(uy) * h / 2.0
        draw_text_centred(img, str(hour), cx + ux * nr, cy + uy * nr, 2)
    return img


def fill_triangle(img, p0, p1, p2, colour):
    xs = [p0[0], p1[0], p2[0]]
    ys = [p0[1], p1[1], p2[1]]

    def side(a, b, p):
        return (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])

    for y in range(int(min(ys)), int(max(ys)) + 1):
        for x in range(int(min(xs)), int(max(xs)) + 1):
            p = (x + 0.5, y + 0.5)
            s0, s1, s2 = side(p0, p1, p), side(p1, p2, p), side(p2, p0, p)
            if (s0 >= 0 and s1 >= 0 and s2 >= 0) or (s0 <= 0 and s1 <= 0 and s2 <= 0):
                img[y][x] = colour


# ---------------------------------------------------------------------------
# Drawing helpers for the diagrams (centres may lie on half pixels).
# ---------------------------------------------------------------------------

def paint(img, cx, cy, reach, pred, colour):
    for y in range(max(0, int(cy - reach) - 1), min(SIZE, int(cy + reach) + 2)):
        for x in range(max(0, int(cx - reach) - 1), min(SIZE, int(cx + reach) + 2)):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            if pred(dx, dy, math.hypot(dx, dy)):
                img[y][x] = colour


def disc(img, cx, cy, r, colour=BLACK):
    paint(img, cx, cy, r, lambda dx, dy, d: d <= r, colour)


def annulus(img, cx, cy, r1, r2, colour=BLACK):
    paint(img, cx, cy, r2, lambda dx, dy, d: r1 <= d <= r2, colour)


def circle(img, cx, cy, r, colour=BLACK):
    annulus(img, cx, cy, r - 0.55, r + 0.55, colour)


def rect(img, box, colour):
    x1, x2, y1, y2 = box
    for y in range(y1, y2 + 1):
        for x in range(x1, x2 + 1):
            img[y][x] = colour


def centre_of(box):
    x1, x2, y1, y2 = box
    return (x1 + x2 + 1) / 2.0, (y1 + y2 + 1) / 2.0


def clock_label(hours):
    h = int(hours)
    return "%d:%02d" % (12 if h == 0 else h, int(round((hours - h) * 60)))


def flattened_pupil(img, cx, cy, r, hours, depth):
    """A black pupil with a segment cut off towards the clock position; the cut
    part keeps a dotted outline so that the lost segment can be seen."""
    ux, uy = direction(hours)
    limit = r - depth
    paint(img, cx, cy, r, lambda dx, dy, d: d <= r and dx * ux + dy * uy <= limit, BLACK)
    # Dotted outline of the lost segment: every other pair of pixels along the arc.
    paint(img, cx, cy, r + 1, lambda dx, dy, d: abs(d - r) < 0.55 and dx * ux + dy * uy > limit + 1.5
          and int(math.floor(math.atan2(dy, dx) * r / 2.0)) % 2 == 0, BLACK)


def draw_decentr():
    img = new_image()
    for colour, box, hours, name in DECENTR:
        px, py = centre_of(box)
        top = box[2]
        ccy = 72.0 if top < 200 else 262.0
        circle(img, px, ccy, 44.0)
        circle(img, px, ccy, 43.0)
        circle(img, px, ccy, 25.0)
        ux, uy = direction(hours)
        disc(img, px + ux * 12.0, ccy + uy * 12.0, 13.0)
        draw_text_centred(img, clock_label(hours), px, top - 13.0, 2)
        rect(img, box, colour)
    return img


def draw_flat_one():
    img = new_image()
    for colour, box, hours, depth, name in FLAT_ONE:
        px, py = centre_of(box)
        top = box[2]
        flattened_pupil(img, px, top - 50.0, 23.0, hours, depth)
        draw_text_centred(img, clock_label(hours), px, top - 12.0, 2)
        rect(img, box, colour)
    return img


def draw_flat_both():
    img = new_image()
    for colour, box, (right, left), name in FLAT_BOTH:
        px, py = centre_of(box)
        top = box[2]
        for off, (hours, depth) in ((-23.0, right), (23.0, left)):
            flattened_pupil(img, px + off, top - 30.0, 19.0, hours, depth)
        rect(img, box, colour)
    return img


def draw_border():
    img = new_image()
    for colour, box, kind, name in BORDER:
        px, py = centre_of(box)
        top = box[2]
        cy = top - 58.0
        circle(img, px, cy, 42.0)
        disc(img, px, cy, 16.0)
        inner = 18.5
        if kind == "thick":
            annulus(img, px, cy, inner, inner + 7.0)
        elif kind == "wide":
            annulus(img, px, cy, inner, inner + 14.0)
        elif kind == "thin":
            circle(img, px, cy, inner + 0.5)
        elif kind == "knobs":
            annulus(img, px, cy, inner, inner + 5.0)
            for k in range(12):
                ux, uy = direction(k + 0.5)
                disc(img, px + ux * (inner + 6.0), cy + uy * (inner + 6.0), 2.6)
        elif kind == "fringe":
            annulus(img, px, cy, inner, inner + 3.5)
            for k in range(36):
                ux, uy = direction(k / 3.0)
                paint(img, px, cy, inner + 13.0,
                      lambda dx, dy, d, ux=ux, uy=uy: inner + 3.0 <= dx * ux + dy * uy <= inner + 12.0
                      and abs(-dx * uy + dy * ux) <= 0.5, BLACK)
        elif kind == "uneven":
            paint(img, px, cy, inner + 12.0,
                  lambda dx, dy, d: inner <= d <= inner + 5.5 + 2.8 * math.sin(3.0 * math.atan2(dy, dx))
                  + 1.6 * math.sin(7.0 * math.atan2(dy, dx) + 1.0), BLACK)
        elif kind == "beads":
            circle(img, px, cy, inner + 1.0)
            for k in range(14):
                ux, uy = direction(k * 12.0 / 14.0)
                disc(img, px + ux * (inner + 1.0), cy + uy * (inner + 1.0), 2.4)
        rect(img, box, colour)
    return img


DIAGRAMS = [
    ("imDecen", "Decentr.txt", draw_decentr, [(c, box, n) for c, box, h, n in DECENTR]),
    ("imFlatRorL", "FlatRorL.txt", draw_flat_one, [(c, box, n) for c, box, h, d, n in FLAT_ONE]),
    ("imFlatBoth", "FlatBoth.txt", draw_flat_both, [(c, box, n) for c, box, hd, n in FLAT_BOTH]),
    ("imBorder", "Border.txt", draw_border, [(c, box, n) for c, box, k, n in BORDER]),
]

# ---------------------------------------------------------------------------
# BMP writing and reading (uncompressed, 4 or 8 bits per pixel, bottom-up).
# ---------------------------------------------------------------------------


def write_bmp(path, img, palette, bits):
    index = {c: i for i, c in enumerate(palette)}
    w, h = len(img[0]), len(img)
    row_bytes = ((w * bits + 31) // 32) * 4
    rows = []
    for y in range(h - 1, -1, -1):
        line = img[y]
        if bits == 8:
            data = bytes(index[c] for c in line)
        else:
            data = bytes((index[line[x]] << 4) | index[line[x + 1]] for x in range(0, w, 2))
        rows.append(data + b"\0" * (row_bytes - len(data)))
    pixels = b"".join(rows)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in (split_rgb(c) for c in palette))
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 2835, 2835,
                       len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + pixels)


def read_bmp(path):
    """Returns the picture as rows of colour numbers."""
    data = open(path, "rb").read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bits, comp, _, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if magic != b"BM" or hsize != 40 or comp != 0 or bits not in (4, 8):
        raise ValueError(path + ": not an uncompressed 4/8-bit BMP")
    n = used or (1 << bits)
    palette = []
    for i in range(n):
        b, g, r, _ = data[54 + 4 * i:58 + 4 * i]
        palette.append(rgb(r, g, b))
    row_bytes = ((w * bits + 31) // 32) * 4
    img = []
    for y in range(abs(h)):
        src = y if h < 0 else abs(h) - 1 - y
        row = data[offset + src * row_bytes: offset + (src + 1) * row_bytes]
        if bits == 8:
            img.append([palette[row[x]] for x in range(w)])
        else:
            img.append([palette[(row[x // 2] >> (4 if x % 2 == 0 else 0)) & 15] for x in range(w)])
    return img, bits


def write_png(path, img):
    raw = b"".join(b"\0" + b"".join(bytes(split_rgb(c)) for c in row) for row in img)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff)

    ihdr = struct.pack(">IIBBBBB", len(img[0]), len(img), 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# Text files.
# ---------------------------------------------------------------------------

def write_lines(path, lines):
    with open(path, "wb") as f:
        for line in lines:
            assert line and "\r" not in line and "\n" not in line
            f.write(line.encode("cp1251") + b"\r\n")


def organ_line(colour, code, name):
    assert 1 <= code <= 10 and colour not in (WHITE, BLACK)
    return "%8d %02d (%s)" % (colour, code, name)


def name_line(colour, name):
    return "%8d%s" % (colour, name)


def read_lines(path):
    data = open(path, "rb").read()
    problems = []
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("starts with a BOM")
    if not data.endswith(b"\r\n"):
        problems.append("last line without CR LF")
    text = data.decode("cp1251")
    lines = text.split("\r\n")[:-1]
    for i, line in enumerate(lines, 1):
        if "\r" in line or "\n" in line:
            problems.append("line %d: bare CR or LF" % i)
        if not line.strip():
            problems.append("line %d: empty" % i)
    return lines, problems


def read_key(line):
    field = line[:8].lstrip(" ")
    body = field[1:] if field[:1] in "+-" else field
    if not body.isdigit() or not body.isascii():
        raise ValueError("key field %r is not an integer" % line[:8])
    return int(field)


# ---------------------------------------------------------------------------
# Generation.
# ---------------------------------------------------------------------------

def generate(png_dir=None):
    os.makedirs(PICTURES, exist_ok=True)
    # One colour per distinct zone name over all charts: a colour never names
    # two different zones anywhere, and a zone keeps its colour from chart to chart.
    everything, maps, neighbours = [], {}, {}
    for fname, pictures in CHART_FILES:
        for pic, zones, geom, want in pictures:
            everything += [z[0] for z in zones if z[0] not in everything]
            maps[pic] = zone_map(zones, geom)
            for n, m in touching(zones, maps[pic]):
                neighbours.setdefault(n, set()).add(m)
    colours = zone_colours(everything, {n: sorted(ms) for n, ms in neighbours.items()})
    for fname, pictures in CHART_FILES:
        order, codes = [], {}
        for pic, zones, geom, want in pictures:
            for name, rs, a, b, code in zones:
                if name in codes:
                    if codes[name] != code:
                        raise SystemExit("%s: zone %r has codes %d and %d" % (fname, name, codes[name], code))
                    continue
                codes[name] = code
                order.append(name)
        for pic, zones, geom, want in pictures:
            names = [z[0] for z in zones]
            if len(names) != len(set(names)):
                raise SystemExit(pic + ": a zone name repeats")
            img = draw_chart(zones, geom, maps[pic], colours)
            palette = [WHITE, BLACK] + [colours[n] for n in names]
            write_bmp(os.path.join(PICTURES, pic + ".bmp"), img, palette, 8)
            if png_dir:
                write_png(os.path.join(png_dir, pic + ".png"), img)
        write_lines(os.path.join(SYSTMTXT, fname), [organ_line(colours[n], codes[n], n) for n in order])

    vga = [c for n, c in VGA]
    for pic, fname, draw, rows in DIAGRAMS:
        img = draw()
        write_bmp(os.path.join(PICTURES, pic + ".bmp"), img, vga, 4)
        if png_dir:
            write_png(os.path.join(png_dir, pic + ".png"), img)
        write_lines(os.path.join(SYSTMTXT, fname), [name_line(c, n) for c, box, n in rows])


# ---------------------------------------------------------------------------
# Self-check of the files as written.
# ---------------------------------------------------------------------------

def check():
    errors = []
    report = []

    def fail(msg):
        errors.append(msg)

    for fname, pictures in CHART_FILES:
        path = os.path.join(SYSTMTXT, fname)
        lines, problems = read_lines(path)
        for p in problems:
            fail("%s: %s" % (fname, p))
        keyed = {}
        for i, line in enumerate(lines, 1):
            try:
                key = read_key(line)
            except ValueError as e:
                fail("%s line %d: %s" % (fname, i, e))
                continue
            if key in (WHITE, BLACK):
                fail("%s line %d: white or black as a zone key" % (fname, i))
            if key in keyed:
                fail("%s line %d: key %d repeats" % (fname, i, key))
            if line[8] != " " or not line[9:11].isdigit() or not 1 <= int(line[9:11]) <= 10:
                fail("%s line %d: bad separator or body-system code %r" % (fname, i, line[8:11]))
            if len(line) < 13:
                fail("%s line %d: no zone name" % (fname, i))
            keyed[key] = line[11:]
        seen = set()
        for pic, zones, geom, want in pictures:
            img, bits = read_bmp(os.path.join(PICTURES, pic + ".bmp"))
            if bits != 8 or len(img) != SIZE or len(img[0]) != SIZE:
                fail("%s: not %dx%d at 8 bits" % (pic, SIZE, SIZE))
            used = set()
            for row in img:
                used.update(row)
            seen |= used
            zone_cols = used - {WHITE, BLACK}
            for c in sorted(zone_cols):
                if c not in keyed:
                    fail("%s: colour %d has no line in %s" % (pic, c, fname))
            if len(zone_cols) != len(zones):
                fail("%s: %d zone colours drawn, table has %d zones" % (pic, len(zone_cols), len(zones)))
            # Every zone of the table must be in the picture under its own name.
            names = {keyed[c] for c in zone_cols if c in keyed}
            for z in zones:
                if " (%s)" % z[0] not in names:
                    fail("%s: zone %r not drawn" % (pic, z[0]))
            report.append("%-11s %dx%d  %2d colours (wanted %d)%s" % (
                pic, len(img[0]), len(img), len(used), want, "" if len(used) == want else "  DIFFERS"))
            if len(used) != want:
                fail("%s: %d colours, wanted %d" % (pic, len(used), want))
        for key in keyed:
            if key not in seen:
                fail("%s: key %d is in no picture" % (fname, key))
        report.append("%-17s %d lines" % (fname, len(lines)))

    for pic, fname, draw, rows in DIAGRAMS:
        path = os.path.join(SYSTMTXT, fname)
        lines, problems = read_lines(path)
        for p in problems:
            fail("%s: %s" % (fname, p))
        keys = []
        for i, line in enumerate(lines, 1):
            try:
                keys.append(read_key(line))
            except ValueError as e:
                fail("%s line %d: %s" % (fname, i, e))
            if len(line) < 10 or line[8] == " ":
                fail("%s line %d: no name from character 9" % (fname, i))
        if len(keys) != len(set(keys)):
            fail(fname + ": a key repeats")
        if sorted(keys) != sorted(c for c, box, n in rows):
            fail(fname + ": keys differ from the patch colours")
        img, bits = read_bmp(os.path.join(PICTURES, pic + ".bmp"))
        if bits != 4 or len(img) != SIZE or len(img[0]) != SIZE:
            fail("%s: not %dx%d at 4 bits" % (pic, SIZE, SIZE))
        used = set()
        for row in img:
            used.update(row)
        for c, (x1, x2, y1, y2), n in rows:
            if any(img[y][x] != c for y in range(y1, y2 + 1) for x in range(x1, x2 + 1)):
                fail("%s: patch %d is not solid at %d-%d / %d-%d" % (pic, c, x1, x2, y1, y2))
            if c == BLACK:
                continue
            outside = sum(1 for y in range(SIZE) for x in range(SIZE)
                          if img[y][x] == c and not (x1 <= x <= x2 and y1 <= y <= y2))
            if outside:
                fail("%s: patch colour %d also drawn outside its patch (%d pixels)" % (pic, c, outside))
        extra = used - {WHITE, BLACK} - set(keys)
        if extra:
            fail("%s: colours without a line: %s" % (pic, sorted(extra)))
        report.append("%-11s %dx%d  %2d colours, %d variants in %s" % (
            pic, len(img[0]), len(img), len(used), len(lines), fname))

    for line in report:
        print(line)
    for e in errors:
        print("ERROR: " + e)
    print("self-check: %s" % ("OK" if not errors else "%d error(s)" % len(errors)))
    return not errors


def print_geometry():
    """The geometry the photo mapping repeats (charts/chartgeometry.cpp):
    picture size and centre, then per layout the pupil, iris and dial
    radii and the ring bounds as fractions of the iris width."""
    print("size %d centre %.1f clock %s" % (SIZE, SIZE / 2.0, "12:00=0,clockwise"))
    for name, geom in (("full", GEOM_FULL), ("belt", GEOM_BELT)):
        rings = geom["rings"]
        bounds = [rings[1][0]] + [rings[r][1] for r in sorted(rings)]
        print("%s pupil %.1f iris %.1f rim %.1f rings %s" % (
            name, geom["pupil"], geom["iris"], geom["rim"], " ".join("%.2f" % b for b in bounds)))
    for fname, pictures in CHART_FILES:
        for pic, zones, geom, want in pictures:
            print("%s %s" % (pic, "full" if geom is GEOM_FULL else "belt"))


def main(argv):
    global PICTURES, SYSTMTXT
    if "--geometry" in argv:
        print_geometry()
        return 0
    if "--out" in argv:
        # Writes everything below another folder (same layout), e.g. to
        # check that the committed files are what the tables give.
        out = argv[argv.index("--out") + 1]
        PICTURES = os.path.join(out, "charts", "pictures")
        SYSTMTXT = os.path.join(out, "data", "SystmTxt")
        os.makedirs(SYSTMTXT, exist_ok=True)
    png_dir = None
    if "--png" in argv:
        png_dir = argv[argv.index("--png") + 1]
        os.makedirs(png_dir, exist_ok=True)
    if "--check" not in argv:
        generate(png_dir)
    return 0 if check() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
