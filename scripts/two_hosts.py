#!/usr/bin/env python3
"""Two development hosts, Alice and Bob, each the other's contact, linked by a relay of their script
lines: every text one of them sends ("sent NAME: TEXT") reaches the other as "recv NAME TEXT", in the
order sent. Plays games, or runs a scenario; with --desktop it only relays while a person plays both
sides in the game windows, and passes on the lines the person types, "alice menu" or "bob menu" for the
contact-menu item, say. Windows programs need a display: run it under Xvfb (kelvaron_xvfb) where there is none.

usage: two_hosts.py [--games N] [--seed N] [--check] [--cross-every K] [--audit] [--pictures DIR]
                    [--alice FOLDER[:PREFIX]] [--bob FOLDER[:PREFIX]] [--desktop] [--log FILE] [--timing]
                    [SCENARIO]

The folders are messenger folders with devhost.exe (default: the current one); PREFIX a Wine prefix.
The games start from Alice's menu item, then from the button (both deal at once every K-th game; with
--audit both windows are closed after each game, the plug-in's handles and memory audited, and the
next game dealt from the menu). With --check every host checks the plug-in at each step and both must
show one game whenever no text is on its way or held, a lost one once they have agreed again. A SCENARIO file holds one step a line:
  alice|bob|both|winner|loser|next|last|other COMMAND   a script line for that side ("menu" alone names
      the peer): winner and loser are the sides of the last two deals that crossed (the deal whose text
      orders first wins), next the side whose turn it is, last the side that moved last, other the one
      that did not
  play [N]        N moves (default 1), each by the side whose turn it is
  game            moves until the game is over
  stalled         neither side has a move
Exits 1 on any failure, with the last lines of both hosts.
"""
import argparse
import os
import queue
import subprocess
import sys
import threading
import time

SCRIPTS = os.path.dirname(os.path.abspath(__file__))
MARKER = "@@Kelvaron@@"
# The game window's title, before the opponent's name.
GAME_WINDOW_TITLE = "Игра в дурака с "
MOVE_LIMIT = 1000
# Longer where KELVARON_TIME_SCALE says the machine is slower (an emulated one).
ANSWER_SECONDS = 120 * int(os.environ.get("KELVARON_TIME_SCALE", "1"))


class Failure(Exception):
    pass


def is_deal(text):
    """A state message as a deal leaves it: 24 cards in the stock, none on the table, six in each hand."""
    groups = text[len(MARKER):].split("-") if text.startswith(MARKER) else []
    return len(groups) == 5 and [len(g) for g in groups[:4]] == [48, 0, 12, 12] and groups[4].endswith("0")


def mirrored(text):
    """The state as the other side holds it: the hands exchanged and the other side defending."""
    deck, table, mine, theirs, digits = text[len(MARKER):].split("-")
    return MARKER + "-".join([deck, table, theirs, mine, str(1 - int(digits[0])) + digits[1:]])


class Host:
    def __init__(self, relay, name, peer, place, arguments):
        folder, _, prefix = place.partition(":")
        env = dict(os.environ)
        if prefix:
            env["WINEPREFIX"] = prefix
        command = [os.path.join(SCRIPTS, "wine-run.sh"), "./devhost.exe", "--script", "--user", name,
                   "--contact", peer] + arguments
        self.relay, self.name, self.peer = relay, name, peer
        self.process = subprocess.Popen(command, cwd=folder, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, encoding="utf-8", errors="replace")
        self.held = 0
        self.last_deal = None
        self.sync = 0
        threading.Thread(target=self.read, daemon=True).start()

    def read(self):
        for line in self.process.stdout:
            self.relay.lines.put((self, line.rstrip("\n")))
        self.relay.lines.put((self, None))

    def write(self, line):
        try:
            self.process.stdin.write(line + "\n")
            self.process.stdin.flush()
        except OSError:
            pass

    def run(self, *commands):
        """Runs the lines and returns what the host printed meanwhile."""
        self.sync += 1
        marker = "~%s %d" % (self.name, self.sync)
        for command in commands:
            self.write(command if command != "menu" else "menu " + self.peer)
        self.write("echo " + marker)
        printed = []
        while True:
            host, line = self.relay.next_line()
            if host is self and line == marker:
                return printed
            if host is self:
                printed.append(line)


class Relay:
    def __init__(self, options):
        self.options, self.lines, self.log = options, queue.Queue(), []
        self.on_the_way = []  # (receiver, text), in the order sent
        self.failures, self.moves, self.agreements = [], 0, 0
        self.lost = False  # a text was lost, and the two have not agreed since
        self.played = False
        self.timings = []  # seconds from a move to the other window showing it
        common = ["--check"] if options.check else []
        self.alice = Host(self, "Alice", "Bob", options.alice, common + ["--seed", str(options.seed)])
        self.bob = Host(self, "Bob", "Alice", options.bob, common + ["--seed", str(options.seed + 1)])
        self.mover = self.alice

    def other(self, host):
        return self.bob if host is self.alice else self.alice

    def next_line(self):
        try:
            host, line = self.lines.get(timeout=ANSWER_SECONDS)
        except queue.Empty:
            raise Failure("no host answered for %d s" % ANSWER_SECONDS)
        if line is None:
            raise Failure("%s ended" % host.name)
        self.note(host, line)
        return host, line

    def note(self, host, line):
        self.log.append("%s| %s" % (host.name, line))
        kind, _, rest = line.partition(" ")
        text = rest.partition(": ")[2]
        if kind in ("sent", "held") and is_deal(text):
            host.last_deal = text
        if kind == "sent" and rest.startswith(host.peer + ": "):
            if self.options.desktop:
                self.other(host).write("recv %s %s" % (host.name, text))
            else:
                self.on_the_way.append((self.other(host), "recv %s %s" % (host.name, text)))
        elif kind == "held":
            host.held += 1
        elif kind == "lost":
            self.lost = True
        elif kind in ("check:", "error:"):
            self.failures.append(line)

    def step(self, host, *commands):
        """Runs the lines on the host, then delivers every text on its way, answers included."""
        printed = host.run(*commands)
        if "release" in commands:
            host.held = 0
        while self.on_the_way:
            receiver, line = self.on_the_way.pop(0)
            receiver.run(line)
        if self.failures:
            raise Failure(self.failures[0])
        if self.options.check and not self.alice.held and not self.bob.held:
            self.check_agree()
        return printed

    def shown(self, host):
        return ([line[5:] for line in host.run("show") if line.startswith("game ")] + ["?"])[0]

    def check_agree(self):
        shown = [self.shown(self.alice), self.shown(self.bob)]
        agree = len(shown) == 2 and (shown[0] == shown[1] if "none" in shown else mirrored(shown[0]) == shown[1])
        if not agree and self.lost:
            return
        self.lost = False
        if not agree:
            raise Failure("Alice and Bob show different games: %s against %s" % tuple(shown + ["?", "?"])[:2])
        self.agreements += 1

    def turn(self):
        """One move of the side whose turn it is, up to the text it sends (a card chosen for a throw-in
        sends none): "move", or both sides' outcomes once the game is over, or None."""
        outcomes = {}
        hosts = [self.other(self.mover), self.mover]
        while hosts:
            host = hosts.pop(0)
            started = time.perf_counter()
            printed = self.step(host, "play")
            self.timings.append(time.perf_counter() - started)
            for line in printed:
                if line.startswith("move "):
                    self.moves += 1
                    self.mover = host
                    print("move %s: %s" % (host.name, line[5:]), flush=True)
                    if not any(line.split(" ")[0] in ("sent", "held", "lost") for line in printed):
                        hosts = [host]
                        break
                    return "move"
                if line.startswith("game over: "):
                    outcomes[host.name] = line[11:]
        return [outcomes["Alice"], outcomes["Bob"]] if len(outcomes) == 2 else None

    def play(self, count):
        for _ in range(count):
            if self.turn() != "move":
                raise Failure("no side could move")

    def game(self, number):
        for _ in range(MOVE_LIMIT):
            outcome = self.turn()
            if outcome is None:
                raise Failure("game %d: neither side can move" % number)
            if outcome != "move":
                print("game %d over: Alice %s, Bob %s" % (number, outcome[0], outcome[1]), flush=True)
                if sorted(outcome) not in (["lost", "won"], ["draw", "draw"]):
                    raise Failure("the outcomes are not mirrored")
                return
        raise Failure("game %d did not end within %d moves" % (number, MOVE_LIMIT))

    def side(self, role):
        if role in ("winner", "loser"):
            alice_first = self.alice.last_deal < self.bob.last_deal
            return self.alice if alice_first == (role == "winner") else self.bob
        if role == "next":
            return self.mover if self.turn_of(self.mover) else self.other(self.mover)
        return {"alice": self.alice, "bob": self.bob, "last": self.mover, "other": self.other(self.mover)}[role]

    def turn_of(self, host):
        return any(line == "turn mine" for line in host.run("turn"))

    def scenario_step(self, line):
        words = line.split()
        if words[0] == "play":
            self.play(int(words[1]) if len(words) > 1 else 1)
        elif words[0] == "game":
            self.game(0)
            self.played = True
        elif words[0] == "stalled":
            if self.turn_of(self.alice) or self.turn_of(self.bob):
                raise Failure("a side can still move")
        elif words[0] == "both":
            for host in (self.alice, self.bob):
                self.step(host, " ".join(words[1:]))
        else:
            if words[0] == "next" and words[1] in ("lose", "hold"):
                # While the attacker chooses cards for a throw-in it keeps its turn: the text to lose
                # or hold is the first one of a move that hands the turn over.
                while self.shown(self.side("next")).endswith("1"):
                    self.turn()
            self.step(self.side(words[0]), " ".join(words[1:]))

    def typed(self):
        """On a desktop, the person's lines "alice COMMAND" or "bob COMMAND" go to that host."""
        for line in sys.stdin:
            side, _, command = line.strip().partition(" ")
            if side in ("alice", "bob") and command:
                (self.alice if side == "alice" else self.bob).write(
                    command if command != "menu" else "menu " + getattr(self, side).peer)

    def picture(self, name):
        """Both game windows as the X display shows them, found by their titles, with ImageMagick."""
        if not self.options.pictures:
            return
        os.makedirs(self.options.pictures, exist_ok=True)
        windows = subprocess.run(["xwininfo", "-root", "-tree"], stdout=subprocess.PIPE, encoding="utf-8",
                                 errors="replace", env=dict(os.environ, LC_ALL="C.UTF-8")).stdout.splitlines()
        for host in (self.alice, self.bob):
            host.run("show")  # whatever waits to be painted is painted first
            title = '"%s%s"' % (GAME_WINDOW_TITLE, host.peer)
            found = [line.split()[0] for line in windows if title in line]
            path = os.path.join(self.options.pictures, "%s-%s.png" % (host.name, name))
            if not found or subprocess.run(["import", "-window", found[0], path]).returncode:
                raise Failure("no picture of %s's game window" % host.name)

    def games(self):
        for number in range(1, self.options.games + 1):
            crossing = self.options.cross_every and number % self.options.cross_every == 0
            deal = "menu" if not self.played or self.options.audit else "button"
            self.alice.run(deal)
            if crossing:
                self.bob.run(deal)
            self.step(self.alice)
            self.picture("game%d-deal" % number)
            self.game(number)
            self.played = True
            self.picture("game%d-end" % number)
            if self.options.audit:
                for host in (self.alice, self.bob):
                    host.run("close")
                for host in (self.alice, self.bob):
                    print("%s %s" % (host.name, " ".join(self.step(host, "audit"))), flush=True)

    def finish(self):
        for host in (self.alice, self.bob):
            host.write("shutdown")
        statuses = [host.process.wait(timeout=ANSWER_SECONDS) for host in (self.alice, self.bob)]
        if any(statuses):
            raise Failure("the hosts ended with status %d and %d" % tuple(statuses))


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split("\n\n")[1])
    parser.add_argument("scenario", nargs="?")
    parser.add_argument("--games", type=int, default=None)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--cross-every", type=int, default=0)
    parser.add_argument("--audit", action="store_true")
    parser.add_argument("--pictures")
    parser.add_argument("--alice", default=".")
    parser.add_argument("--bob", default=".")
    parser.add_argument("--desktop", action="store_true")
    parser.add_argument("--log")
    parser.add_argument("--timing", action="store_true")
    options = parser.parse_args()
    options.games = options.games if options.games is not None else (0 if options.scenario else 1)
    for place in (options.alice, options.bob):
        if not os.path.isfile(os.path.join(place.partition(":")[0], "devhost.exe")):
            print("two hosts: not run: %s has no devhost.exe" % place.partition(":")[0])
            return 77
    relay = Relay(options)
    try:
        if options.desktop:
            threading.Thread(target=relay.typed, daemon=True).start()
            for ended in range(2):
                for host, line in iter(relay.lines.get, (None, None)):
                    if line is None:
                        break
                    relay.note(host, line)
                    print("%s: %s" % (host.name, line), flush=True)
        else:
            for line in open(options.scenario) if options.scenario else []:
                if line.strip() and not line.lstrip().startswith("#"):
                    relay.scenario_step(line.strip())
            relay.games()
            relay.finish()
    except Failure as failure:
        print("two hosts: FAILED: %s" % failure, file=sys.stderr)
        print("\n".join(relay.log[-40:]), file=sys.stderr)
        for host in (relay.alice, relay.bob):
            host.process.kill()
        return 1
    finally:
        if options.log:
            open(options.log, "w").write("\n".join(relay.log) + "\n")
    if not options.desktop:
        print("two hosts: %d games, %d moves, the two windows agreed at %d checks" %
              (options.games, relay.moves, relay.agreements))
    if options.timing and relay.timings:
        times = sorted(relay.timings)
        print("a move to the other window showing it, through the relay: median %.1f ms, 99th percentile "
              "%.1f ms (%d moves)" % (1000 * times[len(times) // 2], 1000 * times[len(times) * 99 // 100],
                                       len(times)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
