#!/bin/sh
# A check by hand, not part of the test suite: LibreOffice reads the RTF our
# writer writes (tests/rtf/golden/every_attribute.rtf, which the tests keep
# equal to the writer's output) and gives back the same text; a PDF of it is
# left to be looked at. Also remakes the LibreOffice sample the reader tests
# read. Needs libreoffice-writer-nogui (large) and poppler-utils.
set -eu
SRC="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${1:-$(mktemp -d)}"
mkdir -p "$OUT"
cp "$SRC/tests/rtf/golden/every_attribute.rtf" "$OUT/"
cd "$OUT"
libreoffice --headless --convert-to "txt:Text (encoded):UTF8" every_attribute.rtf >/dev/null 2>&1
libreoffice --headless --convert-to pdf every_attribute.rtf >/dev/null 2>&1
# LibreOffice starts with a byte order mark, writes CR LF and puts its
# bullets before the list items.
sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' -e 's/^ *• //' every_attribute.txt > read_back.txt
if diff -u "$SRC/tests/rtf/golden/every_attribute.txt" read_back.txt; then
  echo "LibreOffice reads our RTF with the same text; PDF: $OUT/every_attribute.pdf"
else
  echo "LibreOffice reads a different text" >&2
  exit 1
fi
cp "$SRC/tests/rtf/samples/libreoffice-source.html" sample.html
libreoffice --headless --infilter="HTML (StarWriter)" --convert-to rtf sample.html >/dev/null 2>&1
echo "LibreOffice's own RTF of the sample: $OUT/sample.rtf (compare with tests/rtf/samples/libreoffice.rtf)"
