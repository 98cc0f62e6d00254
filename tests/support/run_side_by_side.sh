#!/bin/sh
# Runs every test of a test executable at the same time, each in a process of its own, then shows
# each one's output in turn; fails when any of them fails or when there is none. For tests that
# need the machine to themselves but not from each other: the stall tests, each a light program
# watching its own event loop, most of the time waiting on a stalled server.
set -u
exe=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
n=0
for test in $("$exe" --gtest_list_tests | awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }'); do
    "$exe" --gtest_filter="$test" >"$out/$n.log" 2>&1 &
    eval "pid$n=$!"
    n=$((n + 1))
done
if [ "$n" -eq 0 ]; then
    echo "no tests in $exe" >&2
    exit 1
fi
status=0
i=0
while [ "$i" -lt "$n" ]; do
    eval "wait \$pid$i" || status=1
    cat "$out/$i.log"
    i=$((i + 1))
done
exit $status
