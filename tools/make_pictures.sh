#!/bin/sh
# Draws the program's tool-bar icons and splash picture with ImageMagick.
# The results are committed; run this only to change them.
#   sh tools/make_pictures.sh
set -eu
cd "$(dirname "$0")/../shell/icons"
FONT=DejaVu-Sans-Bold
C='-size 32x32 xc:none -strokewidth 2'

# Картотека: a card box with index cards
convert $C -fill '#f3e2b3' -stroke '#7a5a1a' -draw 'rectangle 3,12 28,28' \
  -fill white -stroke '#3b5ba5' -draw 'rectangle 7,4 24,18' \
  -stroke '#3b5ba5' -strokewidth 1 -draw 'line 10,8 21,8' -draw 'line 10,12 21,12' \
  -fill '#7a5a1a' -stroke none -draw 'rectangle 12,19 19,22' card.png
# Новый пациент: a person with a plus
convert $C -fill '#5b8dd6' -stroke '#274a80' -draw 'circle 13,9 13,3' \
  -draw 'path "M 3,29 Q 3,16 13,16 Q 23,16 23,29 Z"' \
  -fill '#2e9e3e' -stroke none -draw 'rectangle 24,14 27,28' -draw 'rectangle 19,19 31,23' newpatient.png
# Проекционные зоны: an iris divided into sectors
convert $C -fill '#7fb2d9' -stroke '#1f4e79' -draw 'circle 16,16 16,2' \
  -fill '#222222' -stroke none -draw 'circle 16,16 16,11' \
  -stroke '#1f4e79' -strokewidth 1 -draw 'line 16,2 16,11' -draw 'line 16,21 16,30' \
  -draw 'line 2,16 11,16' -draw 'line 21,16 30,16' -draw 'line 6,6 12,12' -draw 'line 20,20 26,26' \
  -draw 'line 26,6 20,12' -draw 'line 6,26 12,20' charts.png
# Углубленный осмотр: an eye under a magnifier
convert $C -fill white -stroke '#1f4e79' -draw 'ellipse 13,13 11,7 0,360' \
  -fill '#3d7fc4' -stroke none -draw 'circle 13,13 13,8' -fill black -draw 'circle 13,13 13,11' \
  -fill none -stroke '#8a5a00' -strokewidth 3 -draw 'circle 21,21 21,15' -draw 'line 25,25 30,30' deep.png
# Экспресс-осмотр: an eye with a tick
convert $C -fill white -stroke '#1f4e79' -draw 'ellipse 14,12 12,8 0,360' \
  -fill '#3d7fc4' -stroke none -draw 'circle 14,12 14,7' -fill black -draw 'circle 14,12 14,10' \
  -fill none -stroke '#2e9e3e' -strokewidth 4 -draw 'polyline 14,24 19,29 30,17' express.png
# Окончательное заключение: a printed page
convert $C -fill white -stroke '#444444' -draw 'rectangle 8,2 24,14' \
  -fill '#9aa7b8' -stroke '#333333' -draw 'roundrectangle 2,13 30,25 3,3' \
  -fill white -draw 'rectangle 8,21 24,30' -stroke '#555555' -strokewidth 1 \
  -draw 'line 11,25 21,25' -draw 'line 11,28 21,28' -fill '#2e9e3e' -stroke none -draw 'circle 26,17 26,16' final.png
# Черновое заключение: a page with a pencil
convert $C -fill white -stroke '#444444' -draw 'rectangle 4,2 22,30' \
  -strokewidth 1 -draw 'line 8,8 18,8' -draw 'line 8,13 18,13' -draw 'line 8,18 15,18' \
  -stroke '#c47a00' -strokewidth 4 -draw 'line 28,10 16,26' -fill '#333333' -stroke none \
  -draw 'polygon 14,28 15,24 18,26' draft.png
# Справочники: a book
convert $C -fill '#b5332e' -stroke '#5e1512' -draw 'rectangle 5,3 26,29' \
  -fill '#f4efe1' -stroke none -draw 'rectangle 8,5 24,27' -stroke '#5e1512' -strokewidth 1 \
  -draw 'line 11,10 21,10' -draw 'line 11,14 21,14' -draw 'line 11,18 19,18' \
  -stroke '#b5332e' -strokewidth 3 -draw 'line 6,3 6,29' guides.png
# Описание: a question mark (the help picture, kept with help/)
convert $C -fill '#2f6fbf' -stroke '#1b3f6e' -draw 'circle 16,16 16,2' \
  -fill white -stroke none -font $FONT -pointsize 22 -gravity center -annotate +0+1 '?' ../../help/icons/help.png
# Зрачок и кайма: pupil with its border ring
convert $C -fill '#a8c8e8' -stroke '#1f4e79' -draw 'circle 16,16 16,2' \
  -fill '#8a5a2b' -stroke none -draw 'circle 16,16 16,8' -fill black -draw 'circle 16,16 16,11' pupil.png
# О программе: information sign
convert $C -fill '#2e9e3e' -stroke '#1d6127' -draw 'circle 16,16 16,2' \
  -fill white -stroke none -font $FONT -pointsize 22 -gravity center -annotate +0+1 'i' about.png
# Выход: a door with an arrow
convert $C -fill '#8a5a2b' -stroke '#4a2f12' -draw 'rectangle 4,3 18,29' \
  -fill '#f0c040' -stroke none -draw 'circle 15,16 15,15' \
  -fill '#c0392b' -draw 'polygon 20,12 26,12 26,8 31,16 26,24 26,20 20,20' exit.png

# The splash picture: 399 x 389, 8 bits per pixel
convert -size 399x389 radial-gradient:'#eaf3fb'-'#9cc3e6' \
  -fill '#5d8fc0' -stroke '#1f4e79' -strokewidth 3 -draw 'circle 199,170 199,60' \
  -fill none -stroke '#e0b35a' -strokewidth 8 -draw 'circle 199,170 199,120' \
  -fill '#111111' -stroke none -draw 'circle 199,170 199,140' \
  -fill white -draw 'circle 183,154 183,148' \
  -stroke '#2b5a87' -strokewidth 1 \
  -draw 'line 199,60 199,120' -draw 'line 199,220 199,280' -draw 'line 89,170 149,170' -draw 'line 249,170 309,170' \
  -draw 'line 121,92 163,134' -draw 'line 235,206 277,248' -draw 'line 277,92 235,134' -draw 'line 121,248 163,206' \
  -stroke none -fill '#1f4e79' -font $FONT -pointsize 40 -gravity north -annotate +0+295 'НИРЕЛ-3' \
  -font DejaVu-Sans -pointsize 15 -fill '#274a6e' -annotate +0+345 'Экспертная система для иридодиагностики' \
  -type Palette -colors 240 PNG8:splash.png
echo done

# The small 16x16 pictures of the windows' own buttons, kept with their folders.
S='-size 16x16 xc:none -strokewidth 1 +antialias'
# Календарь: a calendar leaf with a red heading and day dots
convert $S -fill white -stroke '#3c3c3c' -draw 'rectangle 1,2 14,14' \
  -fill '#be2828' -stroke none -draw 'rectangle 2,3 13,5' -fill '#5a5a5a' \
  -draw 'point 3,8' -draw 'point 6,8' -draw 'point 9,8' -draw 'point 12,8' \
  -draw 'point 3,10' -draw 'point 6,10' -draw 'point 9,10' -draw 'point 12,10' \
  -draw 'point 3,12' -draw 'point 6,12' -draw 'point 9,12' -draw 'point 12,12' ../../cards/icons/calendar.png
# Фото: a camera with its lens
convert -size 16x16 xc:none -strokewidth 1 -fill '#5a6478' -stroke '#32323c' \
  -draw 'roundrectangle 1,4 14,13 1.5,1.5' -draw 'rectangle 5,2 10,4' \
  -fill '#aad2f0' -draw 'circle 7.5,8.5 10.5,8.5' ../../photos/icons/photo.png
# The editor's tool bar: bold, italic and underlined letters
R=../../conclusion/icons
for l in 'bold DejaVu-Serif-Bold' 'italic DejaVu-Serif-Italic' 'underline DejaVu-Serif'; do
  set -- $l
  convert -size 16x16 xc:none -fill black -font $2 -pointsize 13 -gravity center \
    -annotate +0+0 "$(case $1 in bold) echo Ж;; italic) echo К;; *) echo Ч;; esac)" $R/$1.png
done
convert $R/underline.png +antialias -stroke black -draw 'line 4,14 11,14' $R/underline.png
# Lines of text: left, centred and right aligned, and bulleted
lines() { # $1: x of the long lines, $2: x of the short ones, $3: file
  convert $S -stroke black -draw "line $1,2 $(($1 + 12)),2" -draw "line $2,5 $(($2 + 8)),5" \
    -draw "line $1,8 $(($1 + 12)),8" -draw "line $2,11 $(($2 + 8)),11" -draw "line $1,14 $(($1 + 12)),14" $3
}
lines 1 1 $R/left.png
lines 1 3 $R/center.png
lines 2 6 $R/right.png
convert $S -fill black -stroke none -draw 'rectangle 1,1 2,2' -draw 'rectangle 1,7 2,8' -draw 'rectangle 1,13 2,14' \
  -stroke black -draw 'line 5,2 14,2' -draw 'line 5,5 14,5' -draw 'line 5,8 14,8' -draw 'line 5,11 14,11' \
  -draw 'line 5,14 14,14' $R/bullets.png
# Печать: a printer with a sheet in and a sheet out
convert $S -stroke black -fill white -draw 'rectangle 4,1 12,6' -fill '#bebebe' -draw 'rectangle 1,6 15,12' \
  -fill white -draw 'rectangle 4,10 12,15' $R/print.png
# Вырезать: scissors
convert -size 16x16 xc:none -stroke black -strokewidth 1.2 -fill none -draw 'line 3.5,0.5 9.5,10.5' \
  -draw 'line 11.5,0.5 5.5,10.5' -draw 'circle 4,12 6.5,12' -draw 'circle 11,12 13.5,12' $R/cut.png
# Копировать: two sheets
convert $S -stroke black -fill white -draw 'rectangle 1,1 9,11' -draw 'rectangle 6,5 14,15' $R/copy.png
# Вставить: a clipboard with a sheet
convert $S -stroke black -fill '#c8a05a' -draw 'rectangle 1,2 12,15' -fill '#787878' -draw 'rectangle 4,1 9,4' \
  -fill white -draw 'rectangle 7,7 15,15' $R/paste.png
# Отменить: a curved arrow back
convert -size 16x16 xc:none -stroke black -strokewidth 1.5 -fill none \
  -draw 'path "M 3.5,5.5 C 7.5,1.5 14.5,3.5 12.5,10.5"' -stroke none -fill black \
  -draw 'polygon 0.5,5.5 5.5,1.5 5.5,8.5' $R/undo.png
