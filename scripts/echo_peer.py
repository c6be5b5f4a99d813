#!/usr/bin/env python3
"""An echo server on 127.0.0.1 for scripts/screenshot.sh: prints its port, echoes
every connection, and gives up by itself after two minutes. Loopback only."""
import os
import socket
import threading


def echo(connection):
    with connection:
        while True:
            data = connection.recv(4096)
            if not data:
                return
            connection.sendall(data)


def main():
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    print(listener.getsockname()[1], flush=True)
    threading.Timer(120, lambda: os._exit(0)).start()
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=echo, args=(connection,), daemon=True).start()


if __name__ == "__main__":
    main()
