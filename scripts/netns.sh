#!/bin/bash
# A small network of our own for the attack suite and the benchmark: three network namespaces joined by a
# bridge that lives in the gateway's one, so that nothing is added to the machine's own network.
#   gateway      192.0.2.1   02:fc:00:00:00:05 (the bridge itself)
#   workstation  192.0.2.10  02:fc:00:00:00:0a (eth0; default route through the gateway)
#   attacker     192.0.2.66  66:66:66:66:66:66 (eth0; runs arpspoof when asked)
#   home router  192.0.2.1   02:ab:00:00:00:01 (eth0, on a second bridge in the gateway's namespace: another
#                            network whose router has the same address, as home and small-office ones do)
# Usage:
#   netns.sh run COMMAND...  makes the namespaces, runs COMMAND inside the workstation's one and removes them
#                            again on every way out, with every process still inside them and the Wine session
#                            of XIRARP_WINEPREFIX. Where they cannot be made (not root, no namespaces, no
#                            arpspoof), COMMAND runs here with XIRARP_NETNS_SKIP saying why. The exit status
#                            is COMMAND's.
#   From inside COMMAND (XIRARP_NETNS names the namespaces):
#   netns.sh attack-start    arpspoof in the attacker's namespace tells the workstation that the gateway's
#                            address is at the attacker's MAC, every 2 s, until attack-stop; returns once
#                            the first forged reply went out
#   netns.sh attack-stop     ends it at once (no re-ARP)
#   netns.sh learn-gateway   the workstation's entry for the gateway learnt afresh from the real gateway
#   netns.sh plug NETWORK    the workstation unplugged (its link down) and plugged into NETWORK, "home" or
#                            "office" (its default route back, as DHCP would give it)
#   netns.sh swap NETWORK    the router behind the workstation's port replaced by NETWORK's, the link up
#   netns.sh reaches         the workstation reaches the router of the network it is on (one ping answered)
#   Each prints "ok" when it did what it says.
set -u
export PATH=/usr/sbin:/usr/bin:/sbin:/bin

readonly GATEWAY=192.0.2.1 GATEWAY_MAC=02:fc:00:00:00:05
readonly WORKSTATION=192.0.2.10 WORKSTATION_MAC=02:fc:00:00:00:0a ATTACKER=192.0.2.66 ATTACKER_MAC=66:66:66:66:66:66
readonly HOME_ROUTER_MAC=02:ab:00:00:00:01

names() {  # gateway, workstation, attacker and home router namespace names of the network XIRARP_NETNS names
    gw="$XIRARP_NETNS-gw" ws="$XIRARP_NETNS-ws" at="$XIRARP_NETNS-at" hm="$XIRARP_NETNS-hm"
}

# Ends the processes left in a namespace, by their ids.
end_processes() {  # namespace signal
    local pids
    pids="$(ip netns pids "$1" 2>/dev/null)"
    [ -n "$pids" ] && kill "-$2" $pids 2>/dev/null
}

end_wine_session() {
    [ -n "${XIRARP_WINEPREFIX:-}" ] && WINEPREFIX="$XIRARP_WINEPREFIX" wineserver -k 2>/dev/null
}

remove_network() {
    names
    end_wine_session
    [ -n "${XIRARP_NETNS_DIR:-}" ] && rm -rf "$XIRARP_NETNS_DIR"
    local ns
    for ns in "$hm" "$at" "$ws" "$gw"; do end_processes "$ns" TERM; done
    sleep 0.5
    for ns in "$hm" "$at" "$ws" "$gw"; do
        end_processes "$ns" KILL
        ip netns del "$ns" 2>/dev/null
    done
}

make_network() {
    names
    ip netns add "$gw" && ip netns add "$ws" && ip netns add "$at" && ip netns add "$hm" || return 1
    ip -n "$gw" link add br0 address "$GATEWAY_MAC" type bridge &&
        ip -n "$gw" addr add "$GATEWAY/24" dev br0 &&
        ip -n "$ws" link add eth0 address "$WORKSTATION_MAC" type veth peer name ws netns "$gw" &&
        ip -n "$at" link add eth0 address "$ATTACKER_MAC" type veth peer name at netns "$gw" &&
        ip -n "$ws" addr add "$WORKSTATION/24" dev eth0 &&
        ip -n "$at" addr add "$ATTACKER/24" dev eth0 || return 1
    local ns link
    for ns in "$gw" "$ws" "$at"; do ip -n "$ns" link set lo up || return 1; done
    for link in br0 ws at; do ip -n "$gw" link set "$link" up || return 1; done
    ip -n "$gw" link set ws master br0 && ip -n "$gw" link set at master br0 &&
        ip -n "$ws" link set eth0 up && ip -n "$at" link set eth0 up &&
        ip -n "$ws" route add default via "$GATEWAY" || return 1
    # The gateway knows the workstation for good: its own checks of that entry would be ARP requests that
    # set the workstation's entry for the gateway back in the middle of an attack.
    ip -n "$gw" neigh replace "$WORKSTATION" lladdr "$WORKSTATION_MAC" dev br0 nud permanent || return 1
    # The home network: a bridge of its own and a router of the same address with another MAC. The gateway's
    # namespace answers ARP only on the bridge that holds its address, so that the home router answers at home.
    ip netns exec "$gw" sysctl -q -w net.ipv4.conf.all.arp_ignore=1 &&
        ip -n "$gw" link add br1 type bridge &&
        ip -n "$hm" link add eth0 address "$HOME_ROUTER_MAC" type veth peer name hm netns "$gw" &&
        ip -n "$hm" addr add "$GATEWAY/24" dev eth0 && ip -n "$hm" link set lo up && ip -n "$hm" link set eth0 up &&
        ip -n "$gw" link set br1 up && ip -n "$gw" link set hm master br1 && ip -n "$gw" link set hm up || return 1
    learn_gateway
}

bridge_of() {  # network: the bridge its router is on
    case "$1" in home) echo br1 ;; office) echo br0 ;; *) return 1 ;; esac
}

# The workstation's port joined to the network's bridge; with "plug" its link goes down first and comes up after.
move_to() {  # plug|swap network
    names
    local bridge
    bridge="$(bridge_of "$2")" || return 1
    [ "$1" = plug ] && { ip -n "$ws" link set eth0 down || return 1; }
    ip -n "$gw" link set ws nomaster && ip -n "$gw" link set ws master "$bridge" || return 1
    if [ "$1" = plug ]; then
        ip -n "$ws" link set eth0 up && ip -n "$ws" route replace default via "$GATEWAY" || return 1
    fi
}

learn_gateway() {
    names
    ip -n "$ws" neigh del "$GATEWAY" dev eth0 2>/dev/null
    local tries
    for tries in 1 2 3 4 5; do
        ip netns exec "$ws" ping -c 1 -W 1 "$GATEWAY" >/dev/null 2>&1 && return 0
    done
    echo "netns.sh: the workstation does not reach the gateway" >&2
    return 1
}

# A run that was killed outright (a test runner's time limit) could not clean up: its namespaces go now.
remove_orphans() {
    local name pid
    for name in $(ip netns list 2>/dev/null | sed -n 's/^\(xirarp[0-9]*\)-gw.*/\1/p'); do
        pid="${name#xirarp}"
        kill -0 "$pid" 2>/dev/null || XIRARP_NETNS="$name" XIRARP_WINEPREFIX="" remove_network
    done
}

run() {
    local reason=""
    if [ "$(id -u)" -ne 0 ]; then
        reason="needs root for network namespaces"
    elif ! command -v arpspoof >/dev/null; then
        reason="arpspoof is missing (Debian package dsniff)"
    fi
    if [ -z "$reason" ]; then
        remove_orphans
        export XIRARP_NETNS="xirarp$$"
        XIRARP_NETNS_DIR="$(mktemp -d)" || exit 1
        export XIRARP_NETNS_DIR
        trap remove_network EXIT
        trap 'exit 130' INT TERM HUP
        make_network || { remove_network; reason="network namespaces, veth pairs or a bridge cannot be made here"; }
    fi
    if [ -n "$reason" ]; then
        echo "netns.sh: $reason; the cases that need them are skipped" >&2
        trap end_wine_session EXIT
        XIRARP_NETNS_SKIP="$reason" "$@"
        return
    fi
    XIRARP_NETNS_STEP="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
    export XIRARP_NETNS_STEP
    # Ends well before a test runner's own limit (ctest's is 600 s) would kill this script with no chance to clean
    # up; a normal run takes about two minutes.
    timeout --kill-after=10 450 ip netns exec "$ws" "$@"
}

case "${1:-}" in
run)
    shift
    run "$@"
    ;;
attack-start)
    names
    log="$XIRARP_NETNS_DIR/arpspoof.log"
    : >"$log"
    # In a session of its own, holding none of the caller's files: it outlives this step. arpspoof writes a line
    # for every reply it sends to its standard error.
    setsid ip netns exec "$at" arpspoof -i eth0 -t "$WORKSTATION" "$GATEWAY" </dev/null >/dev/null 2>"$log" &
    for _ in $(seq 200); do
        grep -q "is-at $ATTACKER_MAC" "$log" && echo ok && exit 0
        sleep 0.05
    done
    exit 1
    ;;
attack-stop)
    names
    end_processes "$at" KILL
    while [ -n "$(ip netns pids "$at" 2>/dev/null)" ]; do sleep 0.05; done
    echo ok
    ;;
learn-gateway)
    learn_gateway && echo ok
    ;;
plug | swap)
    move_to "$1" "${2:-}" && echo ok
    ;;
reaches)
    names
    ip netns exec "$ws" ping -c 1 -W 1 "$GATEWAY" >/dev/null 2>&1 && echo ok
    ;;
*)
    sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
