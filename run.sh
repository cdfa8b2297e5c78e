#!/usr/bin/env bash
# Installs what is missing, builds, then runs the main job: lists the catalogue
# of sheet layouts and the compositions of the store shipped with the program.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
./build.sh
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"${BUILD_DIR:-build}/bin/vellumar-print" --pdf "${BUILD_DIR:-build}/etiquette-adresse.pdf" "Étiquette d'adresse" | sed "s/^/PDF écrit : /"
