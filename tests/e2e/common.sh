# Shared by the end-to-end scripts: a run directory laid like the real one.
# Usage: source common.sh TESSEL SOURCE_DIR FONT
tessel=$1
source_dir=$2
font=$3
run_dir=$(mktemp -d /tmp/tessel-e2e-XXXXXX)
trap 'rm -rf "$run_dir"' EXIT
bash "$source_dir/scripts/lay-run-dir.sh" "$run_dir" "$font"
fail() { echo "FAIL: $*" >&2; exit 1; }
