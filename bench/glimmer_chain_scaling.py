"""How the LED program generator scales with the length of the LED chain.

Builds chains of growing length with the example configured ports, then
times `configure` and `asm` (the assembler run is left out: it is an outside
tool). Each doubling of the chain should roughly double the time.

    PYTHONPATH=build/python:host/python:examples /usr/bin/python3 bench/glimmer_chain_scaling.py
"""

import time

import glimmer
from leds.example_leds import ExampleConfiguredPort


def chain(num_ports):
    return [ExampleConfiguredPort(str(n + 1), n + 1, 2 * n) for n in range(num_ports)]


def bench(num_ports, rounds=3):
    board = type("LongChain", (glimmer.TomahawkLEDController,), {"num_leds": 2 * num_ports})
    best = float("inf")
    for _ in range(rounds):
        glimmer.BCMLEDController.call_list.clear()
        controller = board()
        ports = chain(num_ports)
        start = time.perf_counter()
        controller.configure(0, ports)
        controller.asm
        best = min(best, time.perf_counter() - start)
    return best


def main():
    previous = None
    for num_ports in (500, 1000, 2000, 4000, 8000, 16000):
        seconds = bench(num_ports)
        ratio = "" if previous is None else "  x%.1f" % (seconds / previous)
        print("%6d ports  %8.2f ms%s" % (num_ports, seconds * 1000, ratio))
        previous = seconds


if __name__ == "__main__":
    main()
