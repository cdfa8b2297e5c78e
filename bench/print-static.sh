#!/usr/bin/env bash
# Throughput of a static print run to PDF: a 3 x 7 A4 layout (L7160), a label
# with three text leaves, a counter and a picture, 10,000 labels; then the
# peak memory of 1,000 labels for comparison.
# Usage: bench/print-static.sh [BUILD_DIR] (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/commun.sh
mkdir -p "$ROOT/bin/Images"

# A 300 x 150 pixel picture, written by Qt through a tiny PPM (no extra tool).
python3 - "$ROOT/bin/Images/logo.ppm" <<'PY'
import sys
w, h = 300, 150
rows = bytearray()
for y in range(h):
    for x in range(w):
        rows += bytes(((x * 255) // w, (y * 255) // h, 128))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + rows)
PY

cat > "$ROOT/data/compositions.json" <<'JSON'
{
  "compositions": [
    {
      "NomCompo": "Banc statique", "Proprio": 0, "format": "L7160",
      "faces": [[
        {"classe": "TVlTexte", "Nom": "Texte1", "Gauche": 0.3, "Haut": 0.2, "Largeur": 4.0, "Hauteur": 0.7,
         "Valeur": "Société Exemple", "PoliceTaille": 11, "StyleGras": true},
        {"classe": "TVlTexte", "Nom": "Texte2", "Gauche": 0.3, "Haut": 1.0, "Largeur": 5.5, "Hauteur": 0.6,
         "Valeur": "12 rue des Lilas", "PoliceTaille": 9},
        {"classe": "TVlTexte", "Nom": "Texte3", "Gauche": 0.3, "Haut": 1.6, "Largeur": 5.5, "Hauteur": 0.6,
         "Valeur": "75011 Paris", "PoliceTaille": 9},
        {"classe": "TVlCompteur", "Nom": "Compteur1", "Gauche": 4.0, "Haut": 2.5, "Largeur": 2.0, "Hauteur": 0.8,
         "Valeur": 1, "PoliceTaille": 10, "AlignementHorizontal": 2},
        {"classe": "TVlImage", "Nom": "Image1", "Gauche": 0.3, "Haut": 2.3, "Largeur": 2.0, "Hauteur": 1.2,
         "url": "logo.ppm", "Homothetie": true}
      ]]
    }
  ]
}
JSON
"$BIN/vellumar-mkstore" "$ROOT/data" "$ROOT/database/vellumar.db" > /dev/null
export VELLUMAR_ROOT="$ROOT/"

run() { # labels -> prints "seconds peak_kb size_bytes"
    local n=$1 pdf="$ROOT/banc-$1.pdf"
    /usr/bin/time -v -o "$ROOT/time-$n.txt" "$BIN/vellumar-print" --pdf "$pdf" --labels "$n" "Banc statique" \
        > /dev/null 2> "$ROOT/err-$n.txt"
    echo "$(secondes "$ROOT/time-$n.txt") $(memoire_max "$ROOT/time-$n.txt") $(stat -c %s "$pdf") \
$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
}

read -r s10 p10 t10 pages10 < <(run 10000)
read -r s1 p1 t1 pages1 < <(run 1000)
awk -v s="$s10" -v p="$p10" -v t="$t10" -v pg="$pages10" -v s1="$s1" -v p1="$p1" -v t1="$t1" -v pg1="$pages1" 'BEGIN {
    printf "10000 étiquettes : %.2f s, %.0f étiquettes/s, mémoire max %.1f Mo, PDF %.1f Mo, %d pages\n", s, 10000 / s, p / 1024, t / 1048576, pg
    printf " 1000 étiquettes : %.2f s, %.0f étiquettes/s, mémoire max %.1f Mo, PDF %.1f Mo, %d pages\n", s1, 1000 / s1, p1 / 1024, t1 / 1048576, pg1
    printf "mémoire max 10000 / 1000 : %.2f\n", p / p1
}'
