#!/usr/bin/env bash
# libFuzzer targets (fuzz/*_fuzz.cpp), built with clang, ASan and UBSan.
#
#   bash scripts/fuzz.sh --short     each target on its stored corpus for a
#                                    short time (CI); fails on any finding
#   bash scripts/fuzz.sh             long run: RUNS executions per target
#       --runs N                     executions per target (default 1000000)
#       --time S                     seconds per target instead of --runs
#       --only "text png"            these targets, in this order
#
# Inputs a run finds new go to a work folder (KADRIX_FUZZ_WORK, default
# build/fuzz-work), never into fuzz/corpus; a finding is saved there as
# <target>/crash-*, leak-* or timeout-*. Targets run side by side, one per core.
set -euo pipefail
cd "$(dirname "$0")/.."

MODE=long RUNS=1000000 SECONDS_PER_TARGET="" ONLY=""
while [ $# -gt 0 ]; do
  case "$1" in
    --short) MODE=short ;;
    --runs) RUNS=$2; shift ;;
    --time) SECONDS_PER_TARGET=$2; shift ;;
    --only) ONLY=$2; shift ;;
    *) echo "fuzz: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

BUILD=${KADRIX_FUZZ_BUILD:-build/fuzz}
WORK=${KADRIX_FUZZ_WORK:-build/fuzz-work}
JOBS=$(nproc)
# A small quarantine still catches a use after free within one input, and
# makes the targets half again as fast with a sixth of the memory.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=8}
# Six targets in three rounds of two on a two-core machine: about 80 s.
SHORT_SECONDS=${KADRIX_FUZZ_SHORT_SECONDS:-25}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
  bash scripts/setup.sh
fi

cmake -S fuzz -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD"

TARGETS=()
for f in fuzz/*_fuzz.cpp; do TARGETS+=("$(basename "$f" _fuzz.cpp)"); done
if [ -n "$ONLY" ]; then
  read -r -a TARGETS <<<"$ONLY" # in the order given: slow ones first
  for t in "${TARGETS[@]}"; do
    [ -f "fuzz/${t}_fuzz.cpp" ] || { echo "fuzz: no target $t" >&2; exit 2; }
  done
fi

# A short run starts from the stored corpus alone; a long one also from what
# earlier long runs found.
target_dir() {
  if [ "$MODE" = short ]; then echo "$WORK/short/$1"; else echo "$WORK/$1"; fi
}

# One target: fresh inputs into the work folder, the stored corpus read too.
run_target() {
  local t=$1 dir limit
  dir=$(target_dir "$t")
  mkdir -p "$dir/corpus"
  if [ "$MODE" = short ]; then
    limit=(-max_total_time="$SHORT_SECONDS")
  elif [ -n "$SECONDS_PER_TARGET" ]; then
    limit=(-max_total_time="$SECONDS_PER_TARGET")
  else
    limit=(-runs="$RUNS")
  fi
  local rc=0
  "$BUILD/${t}_fuzz" "${limit[@]}" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" "fuzz/corpus/$t" >"$dir/log" 2>&1 || rc=$?
  echo "$rc" >"$dir/rc"
}

rm -rf "$WORK/short"
rm -f "$WORK"/*/rc
running=0
for t in "${TARGETS[@]}"; do
  run_target "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$JOBS" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true

failed=0
printf '%-10s %12s %9s  %s\n' target executions exec/s result
for t in "${TARGETS[@]}"; do
  dir=$(target_dir "$t")
  runs=$(awk '/stat::number_of_executed_units/{print $2}' "$dir/log")
  speed=$(awk '/stat::average_exec_per_sec/{print $2}' "$dir/log")
  rc=$(cat "$dir/rc" 2>/dev/null || echo 1)
  if [ "$rc" = 0 ]; then
    result=ok
  else
    failed=1
    artifact=$(grep -o "Test unit written to [^ ]*" "$dir/log" | tail -1 | cut -d' ' -f5)
    result="FINDING (exit $rc) ${artifact:-see $dir/log}"
  fi
  printf '%-10s %12s %9s  %s\n' "$t" "${runs:-?}" "${speed:-?}" "$result"
done
exit "$failed"
