# Quiet stages for the project's scripts (sourced, not run). Each stage
# prints one line with its time; its output goes to one log file, and only
# when a stage fails is that stage's output shown, with the log's path.
#
#   source scripts/lib/stages.sh
#   stages_begin run "$root/build/run/run.log"
#   stage "configuring" cmake -S ...
#   stages_end

# stages_begin NAME LOG: NAME prefixes every line; LOG is started afresh.
stages_begin() {
  STAGES_NAME=$1
  STAGES_LOG=$2
  STAGES_STARTED=$SECONDS
  mkdir -p "$(dirname "$STAGES_LOG")"
  : >"$STAGES_LOG"
}

# Seconds as "42 s" or "3 min 05 s".
stages_duration() {
  local seconds=$1
  if [ "$seconds" -ge 60 ]; then
    printf '%d min %02d s' $((seconds / 60)) $((seconds % 60))
  else
    printf '%d s' "$seconds"
  fi
}

# Shows the build's "[ 42%]" progress on the stage's line, when the output
# is a terminal; everything read is already in the log.
stages_progress() {
  local label=$1 line percent
  while IFS= read -r line; do
    if [ -t 1 ] && [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
      percent=${BASH_REMATCH[1]}
      printf '\r%s: %s ... %s%%' "$STAGES_NAME" "$label" "$percent"
    fi
  done
}

# stage LABEL COMMAND...: runs the command with its output in the log. On
# success prints the time taken; on failure prints the stage's output, says
# where the whole log is and exits with the command's status.
stage() {
  local label=$1
  shift
  local started=$SECONDS
  local offset
  offset=$(($(stat -c %s "$STAGES_LOG") + 1))
  printf '\n== %s: %s\n' "$STAGES_NAME" "$label" >>"$STAGES_LOG"
  printf '%s: %s ...' "$STAGES_NAME" "$label"
  local status=0
  # pipefail: the stage fails with the command, not with the filters after it.
  (
    set -o pipefail
    "$@" 2>&1 | tee -a "$STAGES_LOG" | stages_progress "$label"
  ) || status=$?
  if [ "$status" -eq 0 ]; then
    [ -t 1 ] && printf '\r\033[K%s: %s ...' "$STAGES_NAME" "$label"
    printf ' ok (%s)\n' "$(stages_duration $((SECONDS - started)))"
    return 0
  fi
  printf ' FAILED (%s)\n' "$(stages_duration $((SECONDS - started)))"
  tail -c +"$offset" "$STAGES_LOG" >&2
  echo "$STAGES_NAME: '$label' failed (status $status); the whole output is in $STAGES_LOG" >&2
  exit "$status"
}

# stages_note TEXT: a line of its own, also written to the log.
stages_note() {
  echo "$STAGES_NAME: $*"
  echo "== $STAGES_NAME: $*" >>"$STAGES_LOG"
}

# stages_end: the total time and the log's path.
stages_end() {
  echo "$STAGES_NAME: done in $(stages_duration $((SECONDS - STAGES_STARTED))); output in $STAGES_LOG"
}
