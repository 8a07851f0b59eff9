#!/usr/bin/env bash
# Plants small faults in src/ one at a time, rebuilds, runs every test suite
# and reports which suites catch each fault. Slow, so not part of CI.
#
#   scripts/mutants.sh [-o FILE] [-n] [ID...]
#     ID...    only these mutants (default: every row of scripts/mutants.txt)
#     -o FILE  also write the result table to FILE (or MUTANTS_OUT=FILE)
#     -n       only check which mutants still apply to the code
#   Environment: MUTANTS_BUILD (build/mutants), MUTANTS_TIMEOUT (60: seconds a
#   suite may run, or four times its time on the unchanged code if longer),
#   MUTANTS_JOBS (1 suite at a time); MUTANTS_TARGETS (build targets, space
#   separated) and MUTANTS_TESTS (a ctest -R regex) narrow a quick re-check.
#
# A suite that runs past its timeout counts as catching the mutant; a mutant
# that does not compile is neither caught nor survived. Warnings are not
# errors in this build: a planted fault may well draw one.
set -uo pipefail
shopt -u patsub_replacement 2>/dev/null || true
cd "$(dirname "$0")/.."

list=scripts/mutants.txt
build=${MUTANTS_BUILD:-build/mutants}
timeout=${MUTANTS_TIMEOUT:-60}
jobs=${MUTANTS_JOBS:-1}
read -ra targets <<<"${MUTANTS_TARGETS:-all}"
tests=${MUTANTS_TESTS:-.}
out=${MUTANTS_OUT:-}
dryRun=false
while getopts "o:nh" option; do
  case $option in
    o) out=$OPTARG ;;
    n) dryRun=true ;;
    *) sed -n '2,16p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
wanted=("$@")

ids=() files=() froms=() tos=() whats=()
while IFS= read -r row; do
  [[ $row =~ ^[[:space:]]*(#|$) ]] && continue
  fields=()
  while [[ $row == *" | "* ]]; do
    fields+=("${row%% | *}")
    row=${row#* | }
  done
  fields+=("$row")
  if ((${#fields[@]} != 5)); then
    echo "mutants.txt: not five fields: ${fields[0]}" >&2
    exit 2
  fi
  if ((${#wanted[@]})) && [[ " ${wanted[*]} " != *" ${fields[0]} "* ]]; then
    continue
  fi
  ids+=("${fields[0]}") files+=("${fields[1]}") whats+=("${fields[4]}")
  froms+=("${fields[2]//⏎/$'\n'}") tos+=("${fields[3]//⏎/$'\n'}")
done <"$list"
((${#ids[@]})) || { echo "no mutants selected" >&2; exit 2; }

# The file being mutated and its original, put back whatever happens.
planted="" backup=$(mktemp)
restore() {
  if [[ -n $planted ]]; then
    cat "$backup" >"$planted"
    planted=""
  fi
}
trap 'restore; rm -f "$backup"' EXIT
trap 'echo; echo "interrupted: $planted restored" >&2; exit 130' INT TERM

# Whether `text` occurs exactly once in `file`.
occursOnce() {
  local content rest
  content=$(<"$1")
  [[ $content == *"$2"* ]] || return 1
  rest=${content#*"$2"}
  [[ $rest != *"$2"* ]]
}

plant() {
  local content
  content=$(<"$1")
  cp "$1" "$backup"
  planted=$1
  printf '%s\n' "${content/"$2"/"$3"}" >"$1"
}

# Sed commands that set each suite's timeout from its time on the unchanged
# code: the suites' own timeout is generous, and a mutant that loops should
# not wait for it.
timeouts=""
setTimeouts() {
  timeouts=$(sed -nE 's/.*Test +#[0-9]+: ([^ ]+) \.+ *Passed +([0-9.]+) sec/\1 \2/p' "$build/mutant-test.log" |
    awk -v least="$timeout" '{ t = int($2 * 4) + 1; if (t < least) t = least
      printf "/\\[=\\[%s\\]=\\]/s/TIMEOUT \"[0-9.]+\"/TIMEOUT \"%d\"/\n", $1, t }')
}

buildAll() {
  nice -n 19 cmake --build "$build" --target "${targets[@]}" >"$build/mutant-build.log" 2>&1 || return 1
  if [[ -n $timeouts ]]; then
    find "$build" -name CTestTestfile.cmake -exec sed -i -E "$timeouts" {} +
  fi
}

# The suites that fail, as "name" or "name(timeout)", space separated.
failingSuites() {
  QT_QPA_PLATFORM=offscreen nice -n 19 ctest --test-dir "$build" -j"$jobs" -R "$tests" \
    >"$build/mutant-test.log" 2>&1
  sed -nE 's/.*Test +#[0-9]+: ([^ ]+) \.+ *(.*)/\1 \2/p' "$build/mutant-test.log" |
    while read -r name status; do
      case $status in
        Passed*) ;;
        *Timeout*) printf '%s(timeout) ' "$name" ;;
        *) printf '%s ' "$name" ;;
      esac
    done
}

results=()
if ! $dryRun; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVELAN_BENCH=OFF \
    -DZORVELAN_WERROR=OFF >/dev/null || exit 1
  echo "building and testing the unchanged code..."
  buildAll || { echo "the unchanged code does not build: $build/mutant-build.log" >&2; exit 1; }
  failing=$(failingSuites)
  if [[ -n $failing ]]; then
    echo "the unchanged code fails: $failing (see $build/mutant-test.log)" >&2
    exit 1
  fi
  setTimeouts
fi

for i in "${!ids[@]}"; do
  id=${ids[i]} file=${files[i]}
  if [[ ! -f $file ]] || ! occursOnce "$file" "${froms[i]}"; then
    results+=("n/a")
  elif $dryRun; then
    results+=("applies")
  else
    plant "$file" "${froms[i]}" "${tos[i]}"
    if ! buildAll; then
      results+=("not compiled")
      cp "$build/mutant-build.log" "$build/mutant-$id-build.log"
    else
      failing=$(failingSuites)
      results+=("${failing:-SURVIVED}")
    fi
    restore
  fi
  printf '%s  %s\n' "$id" "${results[i]}"
done

table() {
  local i caught=0 applicable=0 missing=0 uncompiled=0
  printf '%-4s %-48s %s\n' id fault "caught by"
  for i in "${!ids[@]}"; do
    printf '%-4s %-48s %s\n' "${ids[i]}" "${whats[i]}" "${results[i]% }"
    case ${results[i]} in
      n/a) ((++missing)) ;;
      "not compiled") ((++uncompiled)) ;;
      applies) ;;
      SURVIVED) ((++applicable)) ;;
      *) ((++applicable, ++caught)) ;;
    esac
  done
  $dryRun && return
  echo
  echo "caught $caught of $applicable applicable ($missing n/a, $uncompiled not compiled)"
  # Which mutants each suite catches, for comparing two versions of the tests.
  local suite
  for suite in $(printf '%s\n' "${results[@]}" | tr ' ' '\n' | sed 's/(timeout)//' |
                 grep -vxE 'SURVIVED|n/a|not|compiled|' | sort -u); do
    printf '%-24s' "$suite"
    for i in "${!ids[@]}"; do
      [[ " ${results[i]} " =~ " $suite"(\(timeout\))?" " ]] && printf ' %s' "${ids[i]}"
    done
    echo
  done
}

echo
if [[ -n $out ]]; then
  table | tee "$out"
else
  table
fi
