#!/usr/bin/env python3
"""A UDP peer for scripts/bench.sh, native so that it sends as fast as loopback takes.

Binds 127.0.0.1 on a free port, prints the port, and answers every datagram
"stream COUNT RATE" by sending COUNT datagrams of 50 bytes back to its sender: as
fast as it can with RATE 0, else RATE per second. Datagram n reads "%08u", filler and
CR LF, so that a receiver can tell which came and in what order. Ends on "quit" or
after two minutes without a request. Loopback only."""
import socket
import sys
import time

SIZE = 50


def datagram(n):
    head = b"%08u " % n
    return head + b"x" * (SIZE - len(head) - 2) + b"\r\n"


def stream(sock, to, count, rate):
    packets = [datagram(n) for n in range(count)]
    start = time.perf_counter()
    sent = 0
    while sent < count:
        if rate > 0:
            due = min(count, int((time.perf_counter() - start) * rate) + 1)
            if due <= sent:
                time.sleep(0.0005)
                continue
        else:
            due = count
        while sent < due:
            try:
                sock.sendto(packets[sent], to)
            except BlockingIOError:
                time.sleep(0.0001)  # the kernel's own queue is full: try again
                continue
            sent += 1


def main():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    sock.settimeout(120)
    print(sock.getsockname()[1], flush=True)
    while True:
        try:
            request, sender = sock.recvfrom(512)
        except socket.timeout:
            return
        words = request.decode("ascii", "replace").split()
        if words[:1] == ["quit"]:
            return
        if len(words) == 3 and words[0] == "stream":
            stream(sock, sender, int(words[1]), int(words[2]))


if __name__ == "__main__":
    sys.exit(main())
