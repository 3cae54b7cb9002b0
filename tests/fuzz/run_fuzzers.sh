#!/bin/sh
# Runs every fuzz target of a build made with ISOSTEP_FUZZ=ON for SECONDS
# each, one after the other on one core. The corpus of each grows in the
# build folder from the seeds in the tree; whatever breaks a target is kept
# under findings/ with the input that did it. Prints, per target, the runs
# made and the coverage reached.
#   run_fuzzers.sh BUILD_DIR SECONDS
set -u
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
summary="$build/fuzz/summary.txt"
mkdir -p "$build/fuzz"
: >"$summary"
status=0
for name in $(cat "$build/fuzz_targets.txt"); do
  corpus="$build/fuzz/corpus/$name"
  findings="$build/fuzz/findings/$name"
  log="$build/fuzz/$name.log"
  mkdir -p "$corpus" "$findings"
  inputs="$here/seeds/$name"
  [ -d "$here/regressions/$name" ] && inputs="$inputs $here/regressions/$name"
  echo "== $name: $seconds s"
  # The first folder is the corpus libFuzzer adds to; the seeds and the
  # regression inputs are read, never written.
  QT_QPA_PLATFORM=offscreen "$build/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" -rss_limit_mb=4096 -timeout=10 "$corpus" $inputs >"$log" 2>&1
  result=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  units=$(ls "$corpus" | wc -l)
  line=$(printf '%-13s runs %-9s cov %-6s ft %-6s corpus %-5s exit %s' "$name" "${runs:-?}" "${cov:-?}" "${features:-?}" "$units" "$result")
  echo "$line" | tee -a "$summary"
  if [ "$result" -ne 0 ]; then
    status=1
    grep -m 5 -E 'ERROR|does not hold|SUMMARY' "$log"
  fi
done
echo "Summary in $summary; logs and findings under $build/fuzz/."
exit $status
