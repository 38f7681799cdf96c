# Shared by the check scripts under tests/: source it (bash).

# Runs the calling script again on a virtual display, once: korvane_under_xvfb "$@".
korvane_under_xvfb() {
    if [ -z "${KORVANE_UNDER_XVFB:-}" ]; then
        export KORVANE_UNDER_XVFB=1
        exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
    fi
}

# One row of a check table: prints ok or FAIL with the description, and counts it.
passed=0 failed=0
row() { # DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok: $what"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}

# The closing line; the script's status is whether every row passed.
korvane_finish() { # NAME
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# Whether the release's SHA256SUMS (in the release folder, above its debug/) lists FILE and
# sha256sum accepts it.
korvane_summed() { # FILE
    local file folder
    file=$(realpath "$1") folder=$(dirname "$(realpath "$1")")
    [ -f "$folder/SHA256SUMS" ] || folder=$(dirname "$folder")
    [ -f "$folder/SHA256SUMS" ] || folder=$(dirname "$folder")
    (cd "$folder" && grep -F "  ${file#"$folder"/}" SHA256SUMS | grep -q . &&
        grep -F "  ${file#"$folder"/}" SHA256SUMS | sha256sum --check --strict --quiet)
}
