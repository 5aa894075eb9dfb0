#!/usr/bin/env bash
# What `make bench` prints once the benchmarks are built: each of ours beside its yardstick, with the ratio.
# All-core figures mean little while other work shares the machine, so the load comes first.
set -euo pipefail
dir=${1:-build-bench}
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
run() {
  echo
  echo "== $1"
  shift
  "$@"
}
run "Triangulation: the sweep beside CGAL" "$dir/bench/triangulation/bench_triangulation"
run "Isolines beside contourpy" "$dir/bench/geometry/geometry_bench"
run "Project save and open beside writing and reading the same bytes" "$dir/bench/document/bench_document"
run "Engines: the one-point and vector loops on one thread, the vector loop on every core and as independent copies" \
  "$dir/bench/engines/bench_engines"
run "Posted messages beside a bare mutex-guarded queue" "$dir/bench/user/user_bench"
