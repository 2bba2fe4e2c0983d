#!/usr/bin/env python3
"""Writes the reference table that the subnet calculator's tests compare against.

Every expected value comes from Python's ipaddress module, not from Tarvo's own code. Run once and
commit the output:

    python3 tools/subnet_oracle.py > tests/subnetcalc/data/subnet_oracle.tsv

Columns (Tab-separated, one address-and-mask pair a line):
  address, mask      the typed octets
  outcome            "ok", or "refused" when ipaddress rejects the mask (its one bits are not contiguous)
  network, broadcast, prefix, hosts
                     hosts: the addresses a host may use; both of a /31 (RFC 3021), the one of a /32
  rows               the number of subnets of the prefix inside the range of the mask's whole octets
                     (the network's /0, /8, /16, /24 or /32 range)
  first, last        the first and the last of those subnets as "network-broadcast"
  selected           the 0-based position of the network among them
  digest             SHA-256 (hex) of every subnet as "network broadcast" plus a newline, in order
"""

import hashlib
import ipaddress
import random
import sys

MASK_OCTETS = [0, 128, 192, 224, 240, 248, 252, 254, 255]


def mask_of_prefix(prefix):
    return str(ipaddress.IPv4Network(f"0.0.0.0/{prefix}").netmask)


def random_address(rng):
    while True:
        address = ipaddress.IPv4Address(rng.getrandbits(32))
        if int(address) != 0:
            return str(address)


def hosts_of(network):
    if network.num_addresses <= 2:
        return sum(1 for _ in network.hosts())
    return network.num_addresses - 2


def row(address, mask):
    try:
        network = ipaddress.IPv4Network(f"{address}/{mask}", strict=False)
    except ValueError:
        return [address, mask, "refused"]
    whole_octets = ipaddress.IPv4Network(f"{address}/{network.prefixlen // 8 * 8}", strict=False)
    subnets = list(whole_octets.subnets(new_prefix=network.prefixlen))
    digest = hashlib.sha256()
    for subnet in subnets:
        digest.update(f"{subnet.network_address} {subnet.broadcast_address}\n".encode())
    first, last = subnets[0], subnets[-1]
    return [
        address,
        mask,
        "ok",
        str(network.network_address),
        str(network.broadcast_address),
        str(network.prefixlen),
        str(hosts_of(network)),
        str(len(subnets)),
        f"{first.network_address}-{first.broadcast_address}",
        f"{last.network_address}-{last.broadcast_address}",
        str(subnets.index(network)),
        digest.hexdigest(),
    ]


def pairs():
    rng = random.Random(20240506)
    chosen = []
    # Every prefix length, with random addresses.
    for prefix in range(33):
        for _ in range(10):
            chosen.append((random_address(rng), mask_of_prefix(prefix)))
    # Addresses at the edges of the range and of the address classes.
    edges = ["0.0.0.1", "255.255.255.255", "127.0.0.1", "10.255.255.255", "172.16.0.0", "172.31.255.255",
             "192.168.255.254", "223.255.255.255", "224.0.0.0", "239.255.255.255", "240.0.0.1",
             "128.0.0.0", "191.255.0.1"]
    for address in edges:
        for prefix in (0, 1, 7, 8, 9, 15, 16, 17, 23, 24, 25, 30, 31, 32):
            chosen.append((address, mask_of_prefix(prefix)))
    # Masks made of valid octets whose one bits have a gap.
    while sum(1 for _, mask in chosen if mask not in {mask_of_prefix(p) for p in range(33)}) < 40:
        mask = ".".join(str(rng.choice(MASK_OCTETS)) for _ in range(4))
        if mask not in {mask_of_prefix(p) for p in range(33)}:
            chosen.append((random_address(rng), mask))
    return chosen


def main():
    out = sys.stdout
    out.write("# address\tmask\toutcome\tnetwork\tbroadcast\tprefix\thosts\trows\tfirst\tlast\tselected"
              "\tdigest\n")
    for address, mask in pairs():
        out.write("\t".join(row(address, mask)) + "\n")


if __name__ == "__main__":
    main()
