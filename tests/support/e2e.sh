# What the end-to-end scripts of both platforms share: bounded waiting and the expected result.
# Sourced; the sourcing script defines fail MESSAGE.

# wait_until SECONDS WHAT COMMAND...: runs COMMAND until it succeeds, at most SECONDS long.
wait_until() {
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "no $what within ${limit} s"
        sleep 0.1
    done
}

# The result text of a reduction by the draw "$1$2": every number 00-99 whose tens digit shares
# the draw's tens class or whose units digit shares its units class (0-4 small, 5-9 big), as
# two digits and a blank each.
expected_result() {
    local a=$1 b=$2 n text=
    for n in $(seq 0 99); do
        if [ $((n / 10 / 5)) -eq $((a / 5)) ] || [ $((n % 10 / 5)) -eq $((b / 5)) ]; then
            text+=$(printf '%02d ' "$n")
        fi
    done
    printf '%s' "$text"
}
