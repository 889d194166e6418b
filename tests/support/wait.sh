# Bounded waiting for the end-to-end scripts, Linux and Windows alike. Sourced; the sourcing
# script defines fail MESSAGE.

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
