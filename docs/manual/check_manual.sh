#!/usr/bin/env bash
# Checks the built user manual: a PDF of at least MIN_PAGES pages, for the
# given version, that holds every text listed in TEXTS (one per line; blank
# lines and lines beginning with # are skipped). Whitespace is compared loosely:
# line breaks in the PDF and runs of blanks count as one blank.
#   check_manual.sh PDF TEXTS MIN_PAGES VERSION
# Exits 0 when every check passes, 1 on the first failed check, 77 when the
# tools to read a PDF (poppler-utils) are missing.
set -euo pipefail

pdf=$1
texts=$2
min_pages=$3
version=$4

fail() {
    echo "check_manual: $*" >&2
    exit 1
}

for tool in pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || {
        echo "check_manual: $tool not found (Debian package poppler-utils)" >&2
        exit 77
    }
done

[ -s "$pdf" ] || fail "$pdf is missing or empty"
[ "$(head -c 5 "$pdf")" = "%PDF-" ] || fail "$pdf is not a PDF"

pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ -n "$pages" ] || fail "pdfinfo cannot read $pdf"
[ "$pages" -ge "$min_pages" ] || fail "$pdf has $pages pages, fewer than $min_pages"

squeeze() { tr -s '[:space:]' ' '; }
body=$(pdftotext -enc UTF-8 "$pdf" - | squeeze)

missing=0
check() {
    if [[ "$body" != *"$1"* ]]; then
        echo "check_manual: the manual lacks: $1" >&2
        missing=$((missing + 1))
    fi
}

check "Versione $version"
while IFS= read -r line || [ -n "$line" ]; do
    [[ -z "$line" || "$line" == \#* ]] && continue
    check "$(printf '%s' "$line" | squeeze)"
done <"$texts"

[ "$missing" -eq 0 ] || fail "$missing texts missing from $pdf"
echo "check_manual: $pdf, $pages pages, every text found"
