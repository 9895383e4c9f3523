#!/bin/sh
# Lines of code as the project counts them: in .h, .c and .cpp files, every line that is
# neither blank nor only a // comment.
#   scripts/count-lines.sh           tests/ against the rest of the tracked sources, and the ratio
#   scripts/count-lines.sh FILE...   each file and their total
set -e
cd "$(dirname "$0")/.."

# File names as arguments -> "<lines> <file>" for each.
count() {
    awk '{ sub(/^[ \t\r]+/, "") }
         FNR == 1 { n[FILENAME] = 0; order[++files] = FILENAME }
         $0 != "" && substr($0, 1, 2) != "//" { n[FILENAME]++ }
         END { for (i = 1; i <= files; i++) print n[order[i]], order[i] }' "$@"
}
sum() { awk '{ s += $1 } END { print s + 0 }'; }

if [ $# -gt 0 ]; then
    count "$@" | awk '{ print; s += $1 } END { print s + 0, "total" }'
    exit 0
fi

tests=$(git ls-files -- 'tests/*.h' 'tests/*.c' 'tests/*.cpp')
code=$(git ls-files -- '*.h' '*.c' '*.cpp' | grep -v '^tests/')
t=$(count $tests | sum)
c=$(count $code | sum)
echo "tests: $t"
echo "code:  $c"
awk -v t="$t" -v c="$c" 'BEGIN { printf "tests/code: %.1f %%\n", c ? 100 * t / c : 0 }'
