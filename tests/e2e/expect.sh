# Shared by the toolbox scripts: fail with a reason, and run a command that
# must end with a status and say a message.
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { # STATUS MESSAGE COMMAND...
  local status=$1 message=$2
  shift 2
  "$@" >out.txt 2>err.txt
  [ $? -eq "$status" ] || fail "$*: exit code $status expected: $(cat err.txt out.txt)"
  grep -q -- "$message" err.txt out.txt || fail "$*: '$message' expected: $(cat err.txt out.txt)"
}
