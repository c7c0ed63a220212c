#!/usr/bin/env bash
# fuzz.sh FINDINGS SEEDS FUZZER [ARGUMENTS...]: runs the fuzzer with its findings written into
# FINDINGS (in the build folder, never the tree); an input it finds fails the test, named with
# what to do about it.
set -uo pipefail
findings=$1 seeds=$2
shift 2
mkdir -p "$findings"
"$@" -artifact_prefix="$findings/"
status=$?
if [ "$status" -ne 0 ]; then
    for found in "$findings"/*; do
        [ -e "$found" ] || continue
        echo "The fuzzer found an input that breaks the code: $found"
        echo "Mend the fault, then add the input to $seeds under a name that says what it is."
    done
fi
exit "$status"
