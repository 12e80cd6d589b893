#!/usr/bin/env bash
# lantrel serve beside a FastAPI + pyproj peer (bench/serve_peer.py), both driven by wrk on
# 127.0.0.1 in one run: single-point GET /convert and GET /point at 8 connections, and one
# batch POST /convert of POINTS points end to end (JSON in and out).
#   bench/serve.sh [BUILD_DIR] [POINTS]
set -euo pipefail
default_points=1000000
source "$(dirname "$0")/common.sh"
python=/usr/bin/python3
seconds=${SECONDS_PER_RUN:-10}
command -v wrk >/dev/null || { echo "wrk is missing (Debian package wrk)" >&2; exit 1; }

port_free() { $python -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
lport=$(port_free)
pport=$(port_free)
"$lantrel" serve --port "$lport" >"$work/lantrel.log" 2>&1 &
lpid=$!
PROJ_DATA="$PROJ_DATA" $python "$bench_dir/serve_peer.py" "$pport" >"$work/peer.log" 2>&1 &
ppid=$!
trap 'kill $lpid $ppid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
up() { $python -c 'import sys, requests; requests.get(sys.argv[1], timeout=1).raise_for_status()' "$1" 2>/dev/null; }
for _ in $(seq 100); do
  up "http://127.0.0.1:$lport/healthz" && up "http://127.0.0.1:$pport/docs" && break
  sleep 0.2
done

one="x=-84.8733&y=38.2009"
run_wrk() {  # NAME URL
  local out
  out=$(wrk -t2 -c8 -d"${seconds}s" --latency "$2")
  printf '%-34s %10s req/s   p99 %s\n' "$1" "$(awk '/Requests\/sec/ { print $2 }' <<<"$out")" \
    "$(awk '$1 == "99%" { print $2 }' <<<"$out")"
}
echo "single point, 8 connections, ${seconds} s each:"
run_wrk "lantrel GET /convert" "http://127.0.0.1:$lport/api/v1/convert?from=geo&to=north&$one"
run_wrk "peer (FastAPI+pyproj) GET /convert" "http://127.0.0.1:$pport/convert?$one"
run_wrk "lantrel GET /point" "http://127.0.0.1:$lport/api/v1/point?text=-84.8733%2038.2009"

echo "batch of $points points in one POST /convert (JSON in and out, best of three):"
$python - "$points" >"$work/batch.json" <<'PY'
import json, random, sys
n = int(sys.argv[1]); random.seed(1)
xs = [round(-89.5 + 7.5 * random.random(), 7) for _ in range(n)]
ys = [round(36.6 + 2.4 * random.random(), 7) for _ in range(n)]
print(json.dumps({"from": "geo", "to": "north", "texts": False, "x": xs, "y": ys}))
PY
# The whole exchange on one connection: the body sent, the whole answer received (timed in the
# client, without the interpreter's start); best of three.
post() {
  $python -c 'import sys, time, requests
body = open(sys.argv[2], "rb").read()
s = requests.Session(); times = []
for _ in range(3):
    t = time.perf_counter()
    r = s.post(sys.argv[1], data=body, headers={"Content-Type": "application/json"}, timeout=600)
    r.raise_for_status(); r.content
    times.append(time.perf_counter() - t)
print(f"{min(times):.3f}")' "$1" "$work/batch.json"
}
lt=$(post "http://127.0.0.1:$lport/api/v1/convert")
pt=$(post "http://127.0.0.1:$pport/convert")
awk -v n="$points" -v a="$lt" -v b="$pt" 'BEGIN {
  printf "  lantrel %.3f s (%.0f points/s)   peer %.3f s (%.0f points/s)   %.1fx\n", a, n / a, b, n / b, b / a }'

# Resident memory under load is checked by the test serve.Load60s (make test); LOAD_SECONDS=60
# repeats a plain /point run here.
load=${LOAD_SECONDS:-0}
[ "$load" -gt 0 ] || exit 0
rss() { awk '/VmRSS/ { print $2 }' "/proc/$lpid/status"; }
wrk -t2 -c8 -d5s "http://127.0.0.1:$lport/api/v1/point?text=-84.8733%2038.2009" >/dev/null
before=$(rss)
wrk -t2 -c8 -d"${load}s" "http://127.0.0.1:$lport/api/v1/point?text=-84.8733%2038.2009" >/dev/null &
wpid=$!
peak=$before
while kill -0 $wpid 2>/dev/null; do r=$(rss); [ "$r" -gt "$peak" ] && peak=$r; sleep 1; done
after=$(rss)
awk -v a="$before" -v b="$after" -v p="$peak" -v s="$load" 'BEGIN {
  printf "resident memory over a %d s load run: %d kB before, %d kB after (%+.1f%%), peak %d kB\n", s, a, b, 100 * (b - a) / a, p }'
