#!/bin/bash
# A small network of our own for the attack suite and the benchmark: network namespaces joined by a bridge
# that lives in the gateway's one, so that nothing is added to the machine's own network.
#   gateway      192.0.2.1   02:fc:00:00:00:05 (the bridge itself)
#   workstation  192.0.2.10  02:fc:00:00:00:0a (eth0; default route through the gateway)
#   attacker     192.0.2.66  66:66:66:66:66:66 (eth0; runs arpspoof, or a man in the middle, when asked)
#   collector    192.0.2.5   02:fc:00:00:00:c5 (eth0; runs rsyslogd, listening on UDP and TCP 514, when asked)
#   home router  192.0.2.1   02:ab:00:00:00:01 (eth0, on a second bridge in the gateway's namespace: another
#                            network whose router has the same address, as home and small-office ones do)
# Usage:
#   netns.sh run COMMAND...  makes the namespaces, runs COMMAND inside the workstation's one and removes them
#                            again on every way out, with every process still inside them and the Wine session
#                            of XIRARP_WINEPREFIX. Where they cannot be made (not root, no namespaces, no
#                            arpspoof or iptables), COMMAND runs here with XIRARP_NETNS_SKIP saying why. The
#                            exit status is COMMAND's.
#   From inside COMMAND (XIRARP_NETNS names the namespaces):
#   netns.sh attack-start    arpspoof in the attacker's namespace tells the workstation that the gateway's
#                            address is at the attacker's MAC, every 2 s, until attack-stop; returns once
#                            the first forged reply went out
#   netns.sh attack-stop     ends it, and a man in the middle, at once (no re-ARP)
#   netns.sh mitm-start      a man in the middle: the attacker tells the workstation that the gateway's address is
#                            at its MAC and the gateway that the workstation's is, both every 2 ms (from
#                            scripts/arp_forger.c, built on first use), and forwards what it receives,
#                            except the echo replies to echoes it never saw: those of a workstation whose pinned
#                            entry sends them straight to the gateway. The gateway's entry for the workstation is
#                            an ordinary one meanwhile; returns once the first replies went out and it holds the
#                            attacker's MAC (the gateway lets a new MAC in a second after the entry's last change)
#   netns.sh mitm-stop       ends it, with the attacker's forwarding and the gateway's permanent entry as before
#   netns.sh mitm-check      the attack at the kernel's level, without the program: pinned, the workstation's
#                            pings go unanswered while the gateway's reach it through the attacker; not pinned,
#                            its entry is the attacker's within milliseconds and its pings are answered. Prints
#                            the figures on standard error
#   netns.sh route-via ADDRESS  the workstation's default route through another address of its link (as a rogue
#                            DHCP server would give it, or a router that changed address); the gateway's puts it
#                            back
#   netns.sh learn-gateway   the workstation's entry for the gateway learnt afresh from the real gateway
#   netns.sh plug NETWORK    the workstation unplugged (its link down for 2.5 s) and plugged into NETWORK,
#                            "home" or "office" (its default route back, as DHCP would give it)
#   netns.sh swap NETWORK    the router behind the workstation's port replaced by NETWORK's, the link up
#   netns.sh reaches         the workstation reaches the router of the network it is on (one ping answered)
#   netns.sh collector-start rsyslogd in the collector's namespace (scripts/rsyslog-collector.conf): each message
#                            received on UDP or TCP port 514 is parsed as RFC 5424 and written as one line of
#                            tab-separated fields: version, hostname, app-name, procid, msgid, severity and
#                            facility (numbers), structured data, msg (control characters escaped as #ooo, a
#                            BOM kept as its bytes), input (imudp or imtcp). Returns once both ports listen; ok
#                            when it already runs
#   netns.sh collector-stop  ends it (TCP connections are refused until it starts again); the lines stay
#   netns.sh collector-lines prints "ok", then the lines received so far, oldest first
#   Each prints "ok" when it did what it says.
set -u
export PATH=/usr/sbin:/usr/bin:/sbin:/bin

readonly GATEWAY=192.0.2.1 GATEWAY_MAC=02:fc:00:00:00:05
readonly WORKSTATION=192.0.2.10 WORKSTATION_MAC=02:fc:00:00:00:0a ATTACKER=192.0.2.66 ATTACKER_MAC=66:66:66:66:66:66
readonly HOME_ROUTER_MAC=02:ab:00:00:00:01
readonly COLLECTOR=192.0.2.5 COLLECTOR_MAC=02:fc:00:00:00:c5
# The man in the middle's one drop: echo replies that match no echo it forwarded, that is those to the echoes a
# pinned workstation sent straight to the gateway. The rest it forwards, so that nothing else looks broken.
readonly MITM_DROP=(FORWARD -p icmp --icmp-type echo-reply -m conntrack --ctstate INVALID -j DROP)
readonly MITM_SYSCTLS=(net.ipv4.ip_forward net.ipv4.conf.all.send_redirects net.ipv4.conf.eth0.send_redirects)

names() {  # gateway, workstation, attacker, home router and collector namespace names of XIRARP_NETNS's network
    gw="$XIRARP_NETNS-gw" ws="$XIRARP_NETNS-ws" at="$XIRARP_NETNS-at" hm="$XIRARP_NETNS-hm" cl="$XIRARP_NETNS-cl"
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
    for ns in "$cl" "$hm" "$at" "$ws" "$gw"; do end_processes "$ns" TERM; done
    sleep 0.5
    for ns in "$cl" "$hm" "$at" "$ws" "$gw"; do
        end_processes "$ns" KILL
        ip netns del "$ns" 2>/dev/null
    done
}

make_network() {
    names
    ip netns add "$gw" && ip netns add "$ws" && ip netns add "$at" && ip netns add "$hm" && ip netns add "$cl" ||
        return 1
    ip -n "$gw" link add br0 address "$GATEWAY_MAC" type bridge &&
        ip -n "$gw" addr add "$GATEWAY/24" dev br0 &&
        ip -n "$ws" link add eth0 address "$WORKSTATION_MAC" type veth peer name ws netns "$gw" &&
        ip -n "$at" link add eth0 address "$ATTACKER_MAC" type veth peer name at netns "$gw" &&
        ip -n "$ws" addr add "$WORKSTATION/24" dev eth0 &&
        ip -n "$at" addr add "$ATTACKER/24" dev eth0 &&
        ip -n "$cl" link add eth0 address "$COLLECTOR_MAC" type veth peer name cl netns "$gw" &&
        ip -n "$cl" addr add "$COLLECTOR/24" dev eth0 || return 1
    local ns link
    for ns in "$gw" "$ws" "$at" "$cl"; do ip -n "$ns" link set lo up || return 1; done
    for link in br0 ws at cl; do ip -n "$gw" link set "$link" up || return 1; done
    ip -n "$gw" link set ws master br0 && ip -n "$gw" link set at master br0 && ip -n "$gw" link set cl master br0 &&
        ip -n "$ws" link set eth0 up && ip -n "$at" link set eth0 up && ip -n "$cl" link set eth0 up &&
        ip -n "$ws" route add default via "$GATEWAY" || return 1
    gateway_knows_workstation || return 1
    # The home network: a bridge of its own and a router of the same address with another MAC. The gateway's
    # namespace answers ARP only on the bridge that holds its address, so that the home router answers at home.
    ip netns exec "$gw" sysctl -q -w net.ipv4.conf.all.arp_ignore=1 &&
        ip -n "$gw" link add br1 type bridge &&
        ip -n "$hm" link add eth0 address "$HOME_ROUTER_MAC" type veth peer name hm netns "$gw" &&
        ip -n "$hm" addr add "$GATEWAY/24" dev eth0 && ip -n "$hm" link set lo up && ip -n "$hm" link set eth0 up &&
        ip -n "$gw" link set br1 up && ip -n "$gw" link set hm master br1 && ip -n "$gw" link set hm up || return 1
    learn_gateway
}

# The gateway knows the workstation for good: its own checks of that entry would be ARP requests that set the
# workstation's entry for the gateway back in the middle of an attack.
gateway_knows_workstation() {
    ip -n "$gw" neigh replace "$WORKSTATION" lladdr "$WORKSTATION_MAC" dev br0 nud permanent
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
        # A cable out and in takes a person longer than the program's 2-second reading.
        sleep 2.5
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

# The forger, built from its source beside the tests by the host's compiler into this run's folder.
forger() {
    local binary="$XIRARP_NETNS_DIR/arp_forger"
    if [ ! -x "$binary" ]; then
        gcc -O2 -o "$binary.part" "$(dirname "${BASH_SOURCE[0]}")/arp_forger.c" &&
            mv "$binary.part" "$binary" || return 1
    fi
    echo "$binary"
}

# The file "mitm" of the run's folder holds the attacker's settings as they were, for mitm_stop.
mitm_start() {
    names
    mitm_stop || return 1
    local binary state="$XIRARP_NETNS_DIR/mitm" log="$XIRARP_NETNS_DIR/arp_forger.log" name value said
    binary="$(forger)" || return 1
    : >"$state" || return 1
    for name in "${MITM_SYSCTLS[@]}"; do
        value="$(ip netns exec "$at" sysctl -n "$name")" && echo "$name=$value" >>"$state" || return 1
    done
    ip netns exec "$at" sysctl -q -w net.ipv4.ip_forward=1 net.ipv4.conf.all.send_redirects=0 \
        net.ipv4.conf.eth0.send_redirects=0 >/dev/null && ip netns exec "$at" iptables -A "${MITM_DROP[@]}" || return 1
    # Learnt rather than permanent, so that a reply may overwrite it.
    ip -n "$gw" neigh replace "$WORKSTATION" lladdr "$WORKSTATION_MAC" dev br0 nud reachable || return 1
    # In a session of its own, holding none of the caller's files, as arpspoof: it outlives this step.
    setsid ip netns exec "$at" "$binary" eth0 2 "$WORKSTATION" "$WORKSTATION_MAC" "$GATEWAY" \
        "$GATEWAY" "$GATEWAY_MAC" "$WORKSTATION" </dev/null >"$log" 2>&1 &
    disown
    for _ in $(seq 200); do
        said="$(cat "$log")"  # read once: it may write between two looks
        case "$said" in
        sent*) ip -n "$gw" neigh show "$WORKSTATION" dev br0 | grep -q "lladdr $ATTACKER_MAC" && return 0 ;;
        ?*) break ;;  # why it could not start
        esac
        sleep 0.05
    done
    echo "$said" >&2
    return 1
}

forger_ids() {  # the forgers running in the attacker's namespace
    local pid
    for pid in $(ip netns pids "$at" 2>/dev/null); do
        [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = arp_forger ] && echo "$pid"
    done
}

# Undoes whatever of mitm_start was done; nothing when it is not running.
mitm_stop() {
    names
    local state="$XIRARP_NETNS_DIR/mitm" pids key value
    [ -e "$state" ] || return 0
    pids="$(forger_ids)"
    if [ -n "$pids" ]; then
        kill -KILL $pids
        for _ in $(seq 100); do
            [ -z "$(forger_ids)" ] && break
            sleep 0.01
        done
    fi
    while ip netns exec "$at" iptables -D "${MITM_DROP[@]}" 2>/dev/null; do :; done
    while IFS='=' read -r key value; do
        ip netns exec "$at" sysctl -q -w "$key=$value" >/dev/null || return 1
    done <"$state"
    gateway_knows_workstation && rm -f "$state"
}

replies() {  # namespace address: how many of three pings are answered
    ip netns exec "$1" ping -c 3 -i 0.2 -W 1 "$2" 2>/dev/null | sed -n 's/.* \([0-9]*\) received.*/\1/p'
}

holds() {  # what it shows, then the command that must hold
    local what="$1"
    shift
    "$@" && return 0
    echo "netns.sh mitm-check: $what does not hold" >&2
    mitm_stop
    return 1
}

workstation_poisoned() {
    ip -n "$ws" neigh show "$GATEWAY" dev eth0 | grep -q "lladdr $ATTACKER_MAC"
}

mitm_check() {
    names
    local answered
    ip -n "$ws" neigh replace "$GATEWAY" lladdr "$GATEWAY_MAC" dev eth0 nud permanent || return 1
    answered="$(replies "$ws" "$GATEWAY")"
    echo "pinned, no attack: $answered of 3 pings to the gateway answered" >&2
    holds "pinned, no attack: the gateway answers" [ "$answered" = 3 ] || return 1
    holds "the man in the middle starts" mitm_start || return 1
    ip -n "$gw" neigh show "$WORKSTATION" dev br0 >&2
    answered="$(replies "$ws" "$GATEWAY")"
    echo "pinned, attacked: $answered of 3 pings to the gateway answered" >&2
    holds "pinned, attacked: the replies dropped" [ "$answered" = 0 ] || return 1
    answered="$(replies "$gw" "$WORKSTATION")"
    echo "pinned, attacked: $answered of 3 pings of the gateway to the workstation answered" >&2
    holds "pinned, attacked: the gateway's pings forwarded" [ "$answered" = 3 ] || return 1
    # Not pinned: an entry learnt over a second ago (the kernel's locktime), as the attack begins. Watched from
    # before the start, as the gateway's side takes a second longer.
    mitm_stop && learn_gateway && sleep 1.2 || return 1
    local taken="$XIRARP_NETNS_DIR/taken" sent
    (for _ in $(seq 1000); do workstation_poisoned && date +%s%3N && break; sleep 0.002; done) >"$taken" &
    holds "the man in the middle starts again" mitm_start || return 1
    wait
    sent="$(sed -n 's/^sent //p' "$XIRARP_NETNS_DIR/arp_forger.log")"
    holds "not pinned: the entry taken" [ -s "$taken" ] || return 1
    echo "not pinned: the attacker's MAC in the workstation's entry $(($(cat "$taken") - sent)) ms after the first" \
        "forged reply" >&2
    answered="$(replies "$ws" "$GATEWAY")"
    echo "not pinned, attacked: $answered of 3 pings to the gateway answered" >&2
    holds "not pinned, attacked: the pings answered through the attacker" [ "$answered" = 3 ] || return 1
    mitm_stop && learn_gateway
}

# rsyslogd's own pid file names it while it runs. Once ended it stays a zombie until init reaps it.
collector_id() {
    local pid stat
    pid="$(cat "$XIRARP_NETNS_DIR/collector.pid" 2>/dev/null)" || return 1
    stat="$(cat "/proc/$pid/stat" 2>/dev/null)" || return 1
    case "$stat" in "$pid (rsyslogd) "[!Z]*) echo "$pid" ;; *) return 1 ;; esac
}

collector_listens() {
    ip netns exec "$cl" ss -Hlun 'sport = :514' | grep -q . && ip netns exec "$cl" ss -Hltn 'sport = :514' | grep -q .
}

collector_start() {
    names
    local conf="$XIRARP_NETNS_DIR/collector.conf" log="$XIRARP_NETNS_DIR/collector.err"
    if ! collector_id >/dev/null; then
        sed "s|@DIR@|$XIRARP_NETNS_DIR|g" "$(dirname "${BASH_SOURCE[0]}")/rsyslog-collector.conf" >"$conf" || return 1
        touch "$XIRARP_NETNS_DIR/collector.log" && rm -f "$XIRARP_NETNS_DIR/collector.pid" || return 1
        # In a session of its own, holding none of the caller's files, as arpspoof: it outlives this step.
        setsid ip netns exec "$cl" rsyslogd -n -f "$conf" -i "$XIRARP_NETNS_DIR/collector.pid" </dev/null \
            >>"$log" 2>&1 &
        disown
    fi
    for _ in $(seq 200); do
        collector_listens && collector_id >/dev/null && return 0
        sleep 0.05
    done
    cat "$log" >&2
    return 1
}

collector_stop() {
    names
    local pid tries
    pid="$(collector_id)" || return 0
    kill -TERM "$pid"
    for tries in $(seq 200); do
        collector_id >/dev/null || return 0
        [ "$tries" = 100 ] && kill -KILL "$pid"
        sleep 0.05
    done
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
    elif ! command -v iptables >/dev/null; then
        reason="iptables is missing (Debian package iptables)"
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
    mitm_stop || exit 1
    end_processes "$at" KILL
    while [ -n "$(ip netns pids "$at" 2>/dev/null)" ]; do sleep 0.05; done
    echo ok
    ;;
mitm-start)
    mitm_start && echo ok && exit 0
    mitm_stop
    exit 1
    ;;
mitm-stop)
    mitm_stop && echo ok
    ;;
mitm-check)
    mitm_check && echo ok
    ;;
route-via)
    names
    ip -n "$ws" route replace default via "${2:-}" dev eth0 && echo ok
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
collector-start)
    collector_start && echo ok
    ;;
collector-stop)
    collector_stop && echo ok
    ;;
collector-lines)
    echo ok
    cat "$XIRARP_NETNS_DIR/collector.log" 2>/dev/null
    exit 0
    ;;
*)
    sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
