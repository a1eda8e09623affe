#!/usr/bin/env bash
# Fails when an include runs upward through the house, when a control is found
# by name in the program, or when a test reaches into the source box's widget.
#   app -> markup, files, help -> ui -> editor, platform
set -u
root=${1:-$(dirname "$0")/..}
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
    upward platform 'platform'
    upward ui 'ui|editor|platform'
    upward markup 'markup|ui|editor|platform'
    upward files 'files|ui|editor|platform'
    upward help 'help|ui|editor|platform'
    grep -rHn 'findChild' src | sed 's/^/control found by name: /'
    # The text view's differential test and benchmark use Qt's stock box as
    # their oracle; they never reach into the source box.
    grep -rHnE 'QPlainTextEdit|QTextDocument|QTextCursor|qt_scrollarea_viewport|documentLayout|lineWrapMode' tests bench \
        --include='*.h' --include='*.cpp' --exclude=tst_textviewdiff.cpp --exclude=bench_textview.cpp |
        sed 's/^/source box internals: /'
)
if [ -n "$report" ]; then
    echo "$report"
    status=1
fi
echo "layers: $([ $status -eq 0 ] && echo clean || echo broken)"
exit $status
