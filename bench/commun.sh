# Shared by the benchmark scripts (sourced): the build's programs, a
# temporary root removed at the end (kept with GARDER_BANC=1), and the
# figures of /usr/bin/time -v.
BUILD_DIR=${1:-${BUILD_DIR:-build}}
BIN="$BUILD_DIR/bin"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ROOT=$(mktemp -d)
trap '[ -n "${GARDER_BANC:-}" ] || rm -rf "$ROOT"' EXIT
mkdir -p "$ROOT/database" "$ROOT/data"
cp data/store/catalogue.json "$ROOT/data/"

secondes() { # the wall-clock line of a /usr/bin/time -v report, in seconds
    grep "Elapsed (wall clock)" "$1" | awk '{print $NF}' |
        awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }'
}
memoire_max() { # peak resident memory of a /usr/bin/time -v report, kB
    grep "Maximum resident set size" "$1" | awk '{print $NF}'
}
