# Shared by the check scripts under tests/: source it (bash).

# Tries COMMAND every tenth of a second until it succeeds, for up to SECONDS; its status is
# whether it did. Quiet: for a caller that goes on either way (escalates, or reports).
korvane_poll() { # SECONDS COMMAND...
    local tries=$(($1 * 10))
    shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# The same, for a wait that the rest depends on: one that times out says what it waited
# for, and fails there.
korvane_wait_for() { # SECONDS WHAT COMMAND...
    local seconds=$1 what=$2
    shift 2
    korvane_poll "$seconds" "$@" && return
    echo "FAIL: waited $seconds s for $what"
    return 1
}

# Runs COMMAND on a virtual display of its own, SCREEN (1280x800x24) large. The server picks
# a free display number itself and says which (-displayfd), so that two checks started at
# once cannot take the same one; xvfb-run -a guesses from lock files, and they can.
korvane_on_display() { # SCREEN COMMAND...
    local screen=$1 dir xvfb status=0
    shift
    dir=$(mktemp -d)
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
    xvfb=$!
    korvane_wait_for 30 "a virtual display (Xvfb: $(tail -n 1 "$dir/log" 2>/dev/null))" \
        test -s "$dir/display" || { kill "$xvfb" 2>/dev/null; rm -rf "$dir"; return 1; }
    DISPLAY=:$(head -n 1 "$dir/display") "$@" || status=$?
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$dir"
    return "$status"
}

# Runs the calling script again on a virtual display, once: korvane_under_xvfb "$@".
korvane_under_xvfb() {
    if [ -z "${KORVANE_UNDER_XVFB:-}" ]; then
        export KORVANE_UNDER_XVFB=1
        korvane_on_display 1280x800x24 bash "$0" "$@"
        exit
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

# Whether FILE reads right in Notepad, Windows 7's included, which wraps no line unless asked
# to: UTF-8 with a byte-order mark, CRLF line ends, no line over 78 columns (a Chinese
# character takes two), and no Markdown marks (headings, emphasis, code, links, pictures).
korvane_notepad_text() { # FILE
    python3 - "$1" <<'PY'
import re, sys, unicodedata
data = open(sys.argv[1], "rb").read()
text = data.decode("utf-8-sig")
lines = text.split("\r\n")
width = lambda s: sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in s)
faults = [f"no byte-order mark"] if not data.startswith(b"\xef\xbb\xbf") else []
faults += [f"line {n}: a line end without CR" for n, l in enumerate(lines, 1) if "\n" in l]
faults += [f"line {n}: {width(l)} columns" for n, l in enumerate(lines, 1) if width(l) > 78]
marks = re.compile(r"^#+ |^```|\*\*|`|\]\(|^!\[")
faults += [f"line {n}: Markdown: {l}" for n, l in enumerate(lines, 1) if marks.search(l)]
print("\n".join(faults))
sys.exit(1 if faults else 0)
PY
}
