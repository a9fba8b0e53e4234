#!/usr/bin/env bash
# Fuzzes the readers of outside bytes with clang's libFuzzer, AddressSanitizer and UBSan:
#   tools/fuzz.sh [TARGET|all] [SECONDS]
# TARGET is a folder of tests/fuzz/corpus (map_file, bmp_reader, ...), SECONDS per target
# (60 by default). Each run starts from the kept corpus; what it learns goes to
# build/fuzz/corpus/TARGET, a crash to build/fuzz/findings/TARGET/. Keep a finding by
# copying it into tests/fuzz/corpus/TARGET once it is mended: the tests replay that folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
target=${1:-all}
seconds=${2:-60}
if [ "$(id -u)" = 0 ]; then
  tools/install-deps.sh
  if ! command -v clang++ >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
  fi
fi

targets=()
if [ "$target" = all ]; then
  for folder in tests/fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
else
  [ -d "tests/fuzz/corpus/$target" ] || { echo "no fuzz target $target (see tests/fuzz/corpus)" >&2; exit 2; }
  targets=("$target")
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]/%/_fuzzer}"

status=0
for name in "${targets[@]}"; do
  work=build/fuzz/corpus/$name findings=build/fuzz/findings/$name
  mkdir -p "$work" "$findings"
  echo "== $name, $seconds s"
  # The last line of libFuzzer's report: executions, coverage and corpus size.
  if ! "build/fuzz/${name}_fuzzer" "$work" "tests/fuzz/corpus/$name" -max_total_time="$seconds" \
       -artifact_prefix="$findings/" -print_final_stats=1 -rss_limit_mb=4096 -timeout=20 2>"build/fuzz/$name.log"; then
    echo "   FOUND a fault: $(ls -t "$findings" | head -n 1) (log: build/fuzz/$name.log)"
    status=1
  fi
  grep -E '^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "build/fuzz/$name.log" | sed 's/^/   /'
  grep -Eo 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*' "build/fuzz/$name.log" | tail -n 1 | sed 's/^/   /'
done
exit $status
