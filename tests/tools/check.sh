# What every tool check starts with: the checkout, a scratch folder removed at the
# end, and one line per case. Sourced; the script ends with `exit "$failed"`.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # what status [detail]: the case passed when status is 0
  if [ "$2" -eq 0 ]; then echo "ok    $1"; else echo "FAIL  $1${3:+: $3}"; failed=1; fi
}
