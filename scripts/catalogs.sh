#!/usr/bin/env bash
# The translations' catalogs, po/LANG.po, against the texts in the sources.
#   catalogs.sh check   every catalog has every text, translated and not
#                       fuzzy, and its format strings match (msgfmt --check)
#   catalogs.sh update  extracts the texts anew and merges them into each
#                       catalog, for the translators to finish
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-check}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The toolkit's keywords: _() and wxTRANSLATE() for texts translated later.
git ls-files 'src/*.cpp' 'src/*.h' > "$work/files" 2>/dev/null || find src -name '*.cpp' -o -name '*.h' > "$work/files"
xgettext --language=C++ --from-code=UTF-8 --keyword=_ --keyword=wxTRANSLATE --keyword=wxPLURAL:1,2 \
    --add-comments=TRANSLATORS: --package-name=Tessaly --msgid-bugs-address=https://www.tessaly.example \
    --add-location=file --sort-by-file --files-from="$work/files" -o "$work/tessaly.pot"

status=0
for po in po/*.po; do
    case $mode in
    update)
        msgmerge --quiet --update --backup=none --no-fuzzy-matching "$po" "$work/tessaly.pot"
        ;;
    check)
        msgmerge --quiet --no-fuzzy-matching -o "$work/merged.po" "$po" "$work/tessaly.pot"
        said=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$work/merged.po" 2>&1) || { echo "$po: $said"; status=1; continue; }
        case $said in
        *untranslated* | *fuzzy*) echo "$po is not complete: $said"; status=1 ;;
        *) echo "$po: $said" ;;
        esac
        # A text the sources no longer have is a leftover to remove.
        if grep -q '^#~' "$work/merged.po" || ! cmp -s <(msgattrib --no-obsolete "$po" | grep -c '^msgid') \
                                                       <(msgattrib --no-obsolete "$work/merged.po" | grep -c '^msgid'); then
            echo "$po differs from the sources' texts: run scripts/catalogs.sh update"
            status=1
        fi
        ;;
    *) echo "usage: $0 [check|update]" >&2; exit 2 ;;
    esac
done
exit $status
