#!/usr/bin/env bash
# Throughput of a data print run to PDF: a 10,000-record delimited file
# (copy count, 12-digit code, names, address) on a 3 x 7 A4 layout (L7160)
# with three bound texts and a bound Code 128, compared with the same label
# printed statically 10,000 times; peak memory of 1,000 and 10,000 records;
# then the time to open a 100,000-record file the first time (schema built)
# and the second time (schema read).
# Usage: bench/print-data.sh [BUILD_DIR] (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/commun.sh
mkdir -p "$ROOT/donnees"

# Records: copy counts 1, except every tenth record 2 and the one after 0,
# so that 10,000 records give 10,000 labels.
python3 - "$ROOT/donnees" <<'PY'
import sys, os
prenoms = ["Hélène", "François", "Zoé", "Jérôme", "Noël", "Agnès", "Loïc", "Éloïse", "Benoît", "Maëlle"]
noms = ["Lefèvre", "Müller", "Château", "Dubœuf", "Garçon", "Lemaître", "Le Guénnec", "Ferrand", "Rivière", "Perrin"]
villes = [("75011", "Paris"), ("44000", "Nantes"), ("53200", "Château-Gontier"), ("69007", "Lyon"), ("33000", "Bordeaux")]
def ecrire(chemin, n):
    with open(chemin, "w", encoding="utf-8", newline="\n") as f:
        for i in range(n):
            copies = 2 if i % 10 == 3 else 0 if i % 10 == 4 else 1
            cp, ville = villes[i % len(villes)]
            f.write(f"{copies};{200000000000 + i:012d};{prenoms[i % 10]};{noms[(i // 10) % 10]};"
                    f"{i % 97 + 1} rue des Lilas;{cp};{ville}\n")
ecrire(os.path.join(sys.argv[1], "contacts10k.txt"), 10000)
ecrire(os.path.join(sys.argv[1], "contacts1k.txt"), 1000)
ecrire(os.path.join(sys.argv[1], "contacts100k.txt"), 100000)
PY
# The column names, as the connection editor would have set them: the schema
# is older than the data, so it is rebuilt at the first opening with its names.
for n in 10k 1k; do
    sed "s/carnet-adresses/contacts$n/" data/exemples/carnet-adresses.sch > "$ROOT/donnees/contacts$n.sch"
    touch -d '-1 hour' "$ROOT/donnees/contacts$n.sch"
done

# Three bound texts and a bound Code 128; the static twin prints the same
# leaves with fixed values.
python3 - "$ROOT" <<'PY'
import json, sys
root = sys.argv[1]
def connexion(nom, fichier):
    return {"classe": "TVlBDEConnexion", "NomConnexion": nom, "NomStrategie": "Ascii délimité points virgules",
            "NomBd": root + "/donnees", "NomTable": fichier, "CompteurImpressions": "Copies"}
json.dump({"connexions": [connexion("Contacts 10k", "contacts10k.txt"), connexion("Contacts 1k", "contacts1k.txt")]},
          open(root + "/data/connexions.json", "w"), ensure_ascii=False)
def feuilles(lie):
    def lien(*champs):
        return {"liaison": {"connexion": "Contacts 10k", "pieces": [{"champ": c} for c in champs]}} if lie else {}
    return [
        dict({"classe": "TVlTexte", "Nom": "Texte1", "Gauche": 0.3, "Haut": 0.25, "Largeur": 5.75, "Hauteur": 0.6,
              "PoliceTaille": 11, "StyleGras": True, "Valeur": "Hélène Lefèvre"}, **lien("Prenom", "Nom")),
        dict({"classe": "TVlTexte", "Nom": "Texte2", "Gauche": 0.3, "Haut": 0.85, "Largeur": 5.75, "Hauteur": 0.5,
              "PoliceTaille": 9, "Valeur": "12 rue des Lilas"}, **lien("Adresse")),
        dict({"classe": "TVlTexte", "Nom": "Texte3", "Gauche": 0.3, "Haut": 1.35, "Largeur": 5.75, "Hauteur": 0.5,
              "PoliceTaille": 9, "Valeur": "75011 Paris"}, **lien("CodePostal", "Ville")),
        dict({"classe": "TVlCodeBarre", "Nom": "CodeBarre1", "Gauche": 0.3, "Haut": 1.95, "Largeur": 4.2,
              "Hauteur": 1.6, "TypeCodeBarre": 4, "HauteurBarres": 1.0, "WriteText": True,
              "Valeur": "200000000017"}, **lien("Code")),
    ]
json.dump({"compositions": [
    {"NomCompo": "Banc données", "Proprio": 0, "format": "L7160", "connexion": "Contacts 10k", "faces": [feuilles(True)]},
    {"NomCompo": "Banc statique", "Proprio": 0, "format": "L7160", "faces": [feuilles(False)]},
]}, open(root + "/data/compositions.json", "w"), ensure_ascii=False)
PY
"$BIN/vellumar-mkstore" "$ROOT/data" "$ROOT/database/vellumar.db" > /dev/null
export VELLUMAR_ROOT="$ROOT/"

run() { # name, then vellumar-print arguments -> "seconds peak_kb pages"
    local nom=$1 pdf="$ROOT/$1.pdf"
    shift
    /usr/bin/time -v -o "$ROOT/time-$nom.txt" "$BIN/vellumar-print" --pdf "$pdf" "$@" \
        > /dev/null 2> "$ROOT/err-$nom.txt" || { cat "$ROOT/err-$nom.txt" >&2; exit 1; }
    echo "$(secondes "$ROOT/time-$nom.txt") $(memoire_max "$ROOT/time-$nom.txt") \
$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
}

read -r sd pd pgd < <(run donnees10k "Banc données")
read -r sd1 pd1 pgd1 < <(run donnees1k --connection "Contacts 1k" "Banc données")
read -r ss ps pgs < <(run statique10k --labels 10000 "Banc statique")

ouvrir() { # -> seconds to open the 100,000-record file and list one record
    /usr/bin/time -v -o "$ROOT/time-ouvrir.txt" "$BIN/vellumar-data" --kind "Ascii délimité points virgules" \
        --limit 1 "$ROOT/donnees/contacts100k.txt" > /dev/null
    secondes "$ROOT/time-ouvrir.txt"
}
o1=$(ouvrir)
test -f "$ROOT/donnees/contacts100k.sch"
o2=$(ouvrir)

awk -v sd="$sd" -v pd="$pd" -v pgd="$pgd" -v sd1="$sd1" -v pd1="$pd1" -v ss="$ss" -v ps="$ps" -v pgs="$pgs" \
    -v o1="$o1" -v o2="$o2" 'BEGIN {
    printf "tirage de 10000 enregistrements : %.2f s, %.0f étiquettes/s, mémoire max %.1f Mo, %d pages\n", sd, 10000 / sd, pd / 1024, pgd
    printf "tirage de 1000 enregistrements  : %.2f s, mémoire max %.1f Mo\n", sd1, pd1 / 1024
    printf "10000 étiquettes statiques      : %.2f s, %.0f étiquettes/s, mémoire max %.1f Mo, %d pages\n", ss, 10000 / ss, ps / 1024, pgs
    printf "données / statique : %.2f ; mémoire max 10000 / 1000 enregistrements : %.2f\n", sd / ss, pd / pd1
    printf "ouverture de 100000 enregistrements : %.2f s la première fois (schéma construit), %.2f s ensuite (schéma lu)\n", o1, o2
}'
