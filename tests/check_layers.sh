#!/usr/bin/env bash
# Fails when an include runs upward through the house, when a control is found
# by name in the program, or when a test reaches into the source box's widget.
#   app -> markup, files, help, find -> ui -> editor, platform
#   app -> recovery -> files
# Inside the editor: editor -> view -> rows -> text, and the text floor uses
# QtCore alone, so that it can be used without a screen.
set -u
root=${1:-$(dirname "$0")/..}
qtcore=${2:-$(qtpaths6 -query QT_INSTALL_HEADERS 2>/dev/null)/QtCore}
cd "$root" || exit 2
status=0

# Lists the project includes of the files in folder $1 that name none of the folders in $2.
upward() {
    local folder=$1 allowed=$2
    grep -rHn '#include "' "src/$folder" --include='*.h' --include='*.cpp' |
        grep -Ev "#include \"($allowed)/" |
        sed "s/^/upward include: /"
}

report=$(
    upward editor 'editor'
    upward editor/view 'editor/(view|rows|text)'
    upward editor/rows 'editor/(rows|text)'
    upward editor/text 'editor/text'
    # Every Qt header of the text floor must be one of QtCore's.
    grep -rHno '#include <Q[A-Za-z]*>' src/editor/text | while IFS= read -r hit; do
        header=${hit##*<}
        [ -e "$qtcore/${header%>}" ] || echo "text floor outside QtCore: $hit"
    done
    upward platform 'platform'
    upward ui 'ui|editor|platform'
    upward markup 'markup|ui|editor|platform'
    upward files 'files|ui|editor|platform'
    upward help 'help|ui|editor|platform'
    upward find 'find|ui|editor|platform'
    upward recovery 'recovery|files|ui|editor|platform'
    grep -rHn 'findChild' src | sed 's/^/control found by name: /'
    # The text view's differential test and benchmark use Qt's stock box as
    # their oracle; they never reach into the source box.
    grep -rHnE 'QPlainTextEdit|QTextDocument|QTextCursor|qt_scrollarea_viewport|documentLayout|lineWrapMode' tests bench \
        --include='*.h' --include='*.cpp' --exclude=tst_textviewdiff.cpp --exclude=bench_textview.cpp --exclude=bench_find.cpp |
        sed 's/^/source box internals: /'
)
if [ -n "$report" ]; then
    echo "$report"
    status=1
fi
echo "layers: $([ $status -eq 0 ] && echo clean || echo broken)"
exit $status
