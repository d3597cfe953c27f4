#!/usr/bin/env bash
# Peak memory of rodheat given a 100 MB answer line at each question in turn, and its exit status
# with its address space capped at 600 MB: figures to read, never pass/fail.
# Usage: bench/answer_memory.sh [path to rodheat] (build/bin/rodheat by default); needs GNU time.
set -uo pipefail
program=$(realpath "${1:-build/bin/rodheat}") || exit 1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
yes 1 | head -n 50000000 | tr '\n' ' ' >spaced
head -c 100000000 /dev/zero | tr '\0' '7' >digits

# The valid answers before each question. The closing prompt comes after an experiment of 5 s, and
# so does the start prompt's end, where the end of input reads as ENTER.
questions=(power duration times interval locations filename start closing)
answers=("150" "600" "0 5" "5" "5" "" "")
printf '%-10s %-7s %16s %7s %16s\n' question line "peak RSS (MB)" status "status (600 MB)"
for index in "${!questions[@]}"; do
  : >before
  for ((i = 0; i < index; i++)); do printf '%s\n' "${answers[i]}" >>before; done
  for line in spaced digits; do
    { cat before "$line" && echo; } | /usr/bin/time -o rss -f %M "$program" >/dev/null 2>&1
    status=${PIPESTATUS[1]}
    { cat before "$line" && echo; } | (ulimit -v 600000 && exec "$program") >/dev/null 2>&1
    capped=${PIPESTATUS[1]}
    peak=$(($(tail -n 1 rss) / 1024))
    printf '%-10s %-7s %16d %7d %16d\n' "${questions[index]}" "$line" "$peak" "$status" "$capped"
  done
done
