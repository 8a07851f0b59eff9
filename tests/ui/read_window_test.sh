#!/usr/bin/env bash
# Reads the window over the accessibility bus once Analyze of the number with
# the most divisors has ended, as a screen reader would: the results list
# holds every line to the last, and the fields say what they hold.
set -euo pipefail
window=$("$(dirname "$0")/../../scripts/read-window.sh" --wait --press Analyze 9593805043129459383903672000)
missing=0
for expected in \
  "list 'Results' children=6193156 " \
  "[6193155] list item 'Total Divisors: 6193152' index=6193155 " \
  "label 'Certified Composite' description='result for 9593805043129459383903672000' " \
  "text 'Best nonfactors:' description='best divisor' " \
  "label '(of 52)' description='number of best divisors' " \
  "panel 'Status' children=2 "; do
  grep -qF -- "$expected" <<<"$window" || { echo "not read: $expected"; missing=1; }
done
[ "$missing" -eq 0 ] || { grep -v "list item" <<<"$window"; exit 1; }
