#!/usr/bin/env bash
# Static analysis: clang-tidy (checks in .clang-tidy) over the compile database of a
# build (default build/; built first so that generated files exist), cppcheck over the
# sources, and clang-format's layout of every C++ file in git (bench/ too). Any finding
# fails the run.
#
#   tools/analyze.sh [build-dir]        ANALYZE_JOBS=n sets the clang-tidy jobs (2)
#
# Scope: every folder of the program, its tests and the example generators. bench/ is
# left out: Google Benchmark's "for (auto _ : state)" loop reads as a dead store.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$here/build}"
jobs="${ANALYZE_JOBS:-2}"
folders=(state model plot export fit read platform windows app cli examples
  tests/state tests/model tests/plot tests/export tests/fuzz tests/platform tests/windows
  tests/app tests/fit tests/read tests/cli)

"$here/tools/setup.sh" clang-tidy cppcheck

"$here/tools/build.sh" "$dir" >/dev/null

cd "$here"
files=()
for folder in "${folders[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' file; do
    if ! grep -qF "\"file\": \"$here/$file\"" "$dir/compile_commands.json"; then
      echo "analyze: $file is not compiled in $dir, so clang-tidy cannot check it" >&2
      exit 1
    fi
    files+=("$here/$file")
  done < <(find "$folder" -name '*.cpp' -print0 | sort -z)
done

# Diagnostics in headers only from the analysed folders (not Qt, not generated files).
root_re="$(printf '%s' "$here" | sed 's/[][\.*^$+?(){}|]/\\&/g')"
header_filter="^$root_re/(state|model|plot|export|fit|read|platform|windows|app|cli|examples|tests)/"

echo "clang-tidy: ${#files[@]} files"
tidy_one() {
  local out
  if ! out="$(clang-tidy -p "$1" --quiet --header-filter="$2" "$3" 2>&1)"; then
    printf '%s\n' "$out" | grep -v ' warnings\? generated\.$'
    return 1
  fi
}
export -f tidy_one
tidy=0
printf '%s\0' "${files[@]}" |
  xargs -0 -P "$jobs" -I{} bash -c 'tidy_one "$@"' _ "$dir" "$header_filter" {} || tidy=1

echo "cppcheck: ${folders[*]}"
cppcheck_status=0
cppcheck --enable=warning,performance,portability --std=c++20 --inline-suppr \
  --library=posix --library=qt -I "$here" --quiet --error-exitcode=1 \
  --template='{file}:{line}: {severity}: {message} [{id}]' "${folders[@]}" || cppcheck_status=1

echo "clang-format: every C++ file in git"
format_status=0
git ls-files -z '*.cpp' '*.h' ':!:tests/fuzz/corpus/*' |
  xargs -0 clang-format --dry-run -Werror || format_status=1

if [ "$tidy" -ne 0 ] || [ "$cppcheck_status" -ne 0 ] || [ "$format_status" -ne 0 ]; then
  echo "Static analysis found problems (clang-tidy: $tidy, cppcheck: $cppcheck_status," \
    "clang-format: $format_status)"
  exit 1
fi
echo "Static analysis clean"
