#!/usr/bin/env python3
"""Prints the figures of scripts/bench.sh as one table: each Telvane figure beside the
baseline measured in the same run, and their ratio. Input: the lines
"@ name key=value ..." that the benchmark programs print, each marked by scripts/bench.sh
with the display and the theme it was measured with (display=xvfb|null, theme=off|on).

  bench_table.py FILE                 the table of one run
  bench_table.py --compare FILE REV   the runs of "bench.sh compare" (marked build=old|new
                                      and round=N): per figure both builds' medians"""
import statistics
import sys


def read(path):
    records = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if len(words) < 2 or words[0] != "@":
                continue
            # Older logs knew no other display, and measured only floods with the theme on.
            record = {"name": words[1], "display": "xvfb", "theme": "off"}
            record.update(w.split("=", 1) for w in words[2:] if "=" in w)
            records.append(record)
    return records


def find(records, name, **match):
    for r in records:
        if r["name"] == name and all(r.get(k) == v for k, v in match.items()):
            return r
    return None


def find_all(records, name, **match):
    return [r for r in records if r["name"] == name and all(r.get(k) == v for k, v in match.items())]


def median(values):
    values = sorted(v for v in values if v is not None)
    return values[len(values) // 2] if values else None


def number(record, key):
    try:
        return float(record[key])
    except (TypeError, KeyError, ValueError):
        return None


def ratio(a, b):
    return "-" if not a or not b else f"{a / b:.3f}"


def cell(value, unit=""):
    return "-" if value is None else f"{value:.1f}{unit}"


def compared(label, base, tel, key, scale=1):
    """A row: the baseline's and Telvane's figure in ms, and their ratio."""
    b, t = number(base, key), number(tel, key)
    b, t = (None if b is None else b * scale), (None if t is None else t * scale)
    return [label, cell(b, " ms"), cell(t, " ms"), ratio(t, b)]


def side_by_side(label, base, tel, key):
    return [label, (base or {}).get(key, "-"), (tel or {}).get(key, "-"), ""]


def table(rows):
    widths = [max(len(str(r[i])) for r in rows) for i in range(len(rows[0]))]
    for n, r in enumerate(rows):
        print("  " + "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip())
        if n == 0:
            print("  " + "  ".join("-" * w for w in widths))


DISPLAYS = ("xvfb", "null")
THEMES = ("off", "on")


def main(records):
    rows = [["display", "theme", "mode", "baseline MB/s", "Telvane MB/s", "ratio", "read MB/s",
             "peak MB"]]
    for display in DISPLAYS:
        for theme in THEMES:
            for mode in ("ascii", "advanced", "binary"):
                match = dict(display=display, theme=theme, mode=mode)
                base = find(records, "rate", receiver="baseline", **match)
                tel = find(records, "rate", receiver="telvane", **match)
                if not base and not tel:
                    continue
                b, t = number(base, "mbps"), number(tel, "mbps")
                incomplete = (tel and tel.get("complete") != "yes" or
                              base and base.get("complete") != "yes")
                rows.append([display, theme, mode + (" (INCOMPLETE)" if incomplete else ""),
                             cell(b), cell(t), ratio(t, b), cell(number(tel, "read_mbps")),
                             cell(number(tel, "peak_mb"))])
    if len(rows) > 1:
        print("Receive: 10 MB flood until its last bytes are in the transcript (median of the floods)")
        table(rows)

    rows = [["display", "theme", "mode", "longest message ms", "key wait ms",
             "10 ms timer gap ms", "ping p99 ms", "longest ping ms", "MB/s with probes"]]
    for display in DISPLAYS:
        for theme in THEMES:
            for mode in ("ascii", "advanced", "binary"):
                tel = find(records, "rate", display=display, theme=theme, mode=mode,
                           receiver="telvane")
                if tel and "key_ms" in tel:
                    rows.append([display, theme, mode, cell(longest(tel)),
                                 cell(number(tel, "key_ms")), cell(number(tel, "tick_ms")),
                                 cell(number(tel, "ping_p99_ms")), cell(number(tel, "ping_ms")),
                                 cell(number(tel, "probed_mbps"))])
    if len(rows) > 1:
        print("\nDuring a flood (a key every 50 ms and a ping every 2 ms from other threads,"
              " a 10 ms timer)")
        table(rows)

    rows = [["", "display", "theme", "baseline", "Telvane", "ratio"]]
    for display in DISPLAYS:
        for theme in THEMES:
            base = find(records, "burst", display=display, theme=theme, receiver="baseline")
            tel = find(records, "burst", display=display, theme=theme, receiver="telvane")
            if not base and not tel:
                continue
            for row in (compared("close line shown after", base, tel, "close_shown_s", 1000),
                        compared("longest answer to another thread", base, tel, "answer_ms"),
                        compared("longest message", base, tel, "longest_ms")):
                rows.append(row[:1] + [display, theme] + row[1:])
            if any(r and r.get("complete") != "yes" for r in (base, tel)):
                rows.append(["INCOMPLETE", display, theme, "", "", ""])
    if len(rows) > 1:
        print("\n64 MB burst ending with the peer's close")
        table(rows)

    for theme in THEMES:
        base = find(records, "stalled_send", theme=theme, receiver="baseline")
        tel = find(records, "stalled_send", theme=theme, receiver="telvane")
        if base or tel:
            rows = [["", "baseline", "Telvane", "ratio"],
                    compared("longest answer to another thread", base, tel, "answer_ms"),
                    compared("longest message", base, tel, "longest_ms"),
                    side_by_side("Enter presses", base, tel, "enters"),
                    side_by_side("bytes out", base, tel, "bytes_out"),
                    side_by_side("session at the end", base, tel, "session"),
                    side_by_side("seconds, the last Enter included", base, tel, "seconds")]
            print("\nLines typed and sent every 20 ms to a peer that reads nothing (small socket"
                  f" buffers), theme {theme}")
            table(rows)

    for theme in THEMES:
        bare = find(records, "startup", theme=theme, program="bare_window")
        same = find(records, "startup", theme=theme, program="controls_window")
        tel = find(records, "startup", theme=theme, program="telvane")
        if bare or same or tel:
            rows = [["", "same window and controls", "Telvane", "ratio", "bare window", "ratio"]]
            for label, key in (("process start to visible window", "visible_ms"),
                               ("... in the best run", "best_ms"),
                               ("... to first wait for input", "idle_ms")):
                rows.append(compared(label, same, tel, key) + compared(label, bare, tel, key)[1::2])
            print(f"\nStart-up, theme {theme} (median of {(tel or same or bare).get('runs', '?')}"
                  " runs each)")
            table(rows)
            for r in (same, bare, tel):
                if r:
                    print(f"  {r['program']} visible ms: {r.get('visible', '')}")

    udp_table(records)


def longest(record):
    values = [v for v in (number(record, "longest_ms"), number(record, "probed_longest_ms"))
              if v is not None]
    return max(values) if values else None


def udp_streams(records):
    """The UDP streams measured, as (display, theme, pace, mode) in the order they ran."""
    seen = []
    for r in records:
        key = (r["display"], r["theme"], r.get("pace"), r.get("mode"))
        if r["name"] == "udp" and key not in seen:
            seen.append(key)
    return seen


def udp_table(records):
    rows = [["display", "theme", "pace", "mode", "sent", "baseline got", "Telvane got", "ratio",
             "whole, in order", "longest message ms", "longest answer ms"]]
    for display, theme, pace, mode in udp_streams(records):
        match = dict(display=display, theme=theme, pace=pace, mode=mode)
        base = find_all(records, "udp", receiver="baseline", **match)
        tel = find_all(records, "udp", receiver="telvane", **match)
        b = median(number(r, "got") for r in base)
        t = median(number(r, "got") for r in tel)
        sent = number((tel or base)[0], "sent")
        runs = max(len(base), len(tel))

        def share(got):
            return "-" if got is None else f"{got:.0f} ({100 * got / sent:.1f}%)"

        rows.append([display, theme, "as fast as it can" if pace == "0" else f"{pace}/s",
                     mode + (f" (median of {runs})" if runs > 1 else ""), f"{sent:.0f}",
                     share(b), share(t), ratio(t, b),
                     "yes" if tel and all(r.get("whole_in_order") == "yes" for r in tel) else "NO",
                     cell(max(number(r, "longest_ms") or 0 for r in tel) if tel else None),
                     cell(max(number(r, "answer_ms") or 0 for r in tel) if tel else None)])
    if len(rows) > 1:
        print("\nUDP: 50-byte datagrams from a native peer; what reached the window")
        table(rows)


HIGHER, LOWER = "higher", "lower"


def figures(records):
    """The figures of one run that tell a better build from a worse one, each as
    (label, value, which is better): ratios to the baseline where there is one."""
    out = []

    def add(label, value, better):
        if value is not None:
            out.append((label, value, better))

    def over(a, b):
        return None if a is None or not b else a / b

    for display in DISPLAYS:
        for theme in THEMES:
            where = f"{display}, theme {theme}"
            for mode in ("ascii", "advanced", "binary"):
                match = dict(display=display, theme=theme, mode=mode)
                base = find(records, "rate", receiver="baseline", **match)
                tel = find(records, "rate", receiver="telvane", **match)
                if not tel:
                    continue
                flood = f"flood {where}, {mode}"
                add(f"{flood}: of the reader", over(number(tel, "mbps"), number(base, "mbps")),
                    HIGHER)
                add(f"{flood}: paints forced by reads", number(tel, "sent_paints"), LOWER)
                if "key_ms" in tel:
                    add(f"{flood}: ping p99 ms", number(tel, "ping_p99_ms"), LOWER)
                    add(f"{flood}: longest message ms", longest(tel), LOWER)
                    add(f"{flood}: 10 ms timer gap ms", number(tel, "tick_ms"), LOWER)
                    add(f"{flood}: paints forced by reads, probed",
                        number(tel, "probed_sent_paints"), LOWER)
            base = find(records, "burst", display=display, theme=theme, receiver="baseline")
            tel = find(records, "burst", display=display, theme=theme, receiver="telvane")
            if tel:
                add(f"burst {where}: close shown, to the reader's",
                    over(number(tel, "close_shown_s"), number(base, "close_shown_s")), LOWER)
                add(f"burst {where}: longest answer ms", number(tel, "answer_ms"), LOWER)
            tel = find(records, "stalled_send", display=display, theme=theme, receiver="telvane")
            if tel:
                add(f"stalled send {where}: longest answer ms", number(tel, "answer_ms"), LOWER)
            same = find(records, "startup", display=display, theme=theme,
                        program="controls_window")
            tel = find(records, "startup", display=display, theme=theme, program="telvane")
            if tel:
                add(f"start-up {where}: to the same controls'",
                    over(number(tel, "visible_ms"), number(same, "visible_ms")), LOWER)
    for display, theme, pace, mode in udp_streams(records):
        match = dict(display=display, theme=theme, pace=pace, mode=mode)
        base = find_all(records, "udp", receiver="baseline", **match)
        tel = find_all(records, "udp", receiver="telvane", **match)
        if not tel:
            continue
        stream = f"udp {display}, theme {theme}, {'unpaced' if pace == '0' else pace + '/s'}, {mode}"
        add(f"{stream}: of the reader", over(median(number(r, "got") for r in tel),
                                            median(number(r, "got") for r in base)), HIGHER)
        if pace != "0":
            add(f"{stream}: share shown %", median(number(r, "share") for r in tel), HIGHER)
        add(f"{stream}: longest answer ms", max(number(r, "answer_ms") or 0 for r in tel), LOWER)
    return out


def compare(path, rev):
    runs = {}
    for r in read(path):
        runs.setdefault((r.get("build"), r.get("round")), []).append(r)
    values = {"old": {}, "new": {}}
    better = {}
    order = []
    for (build, _), records in sorted(runs.items(), key=lambda item: str(item[0])):
        for label, value, which in figures(records):
            values.setdefault(build, {}).setdefault(label, []).append(value)
            better[label] = which
            if label not in order:
                order.append(label)
    rounds = len({r for b, r in runs if b == "new"}), len({r for b, r in runs if b == "old"})
    print(f"{rev} (old) against the working tree (new): {rounds[1]} and {rounds[0]} rounds;"
          " medians, the range of the rounds, and WORSE where the new median falls outside"
          " the old range on the worse side")
    rows = [["figure", "better", "old median", "old range", "new median", "new range", ""]]
    worse = 0

    def fmt(v):
        return "-" if v is None else f"{v:.3f}" if abs(v) < 10 else f"{v:.1f}"

    for label in order:
        old, new = values["old"].get(label, []), values["new"].get(label, [])
        om = statistics.median(old) if old else None
        nm = statistics.median(new) if new else None
        mark = ""
        if old and new:
            if nm < min(old):
                mark = "WORSE" if better[label] == HIGHER else "better"
            elif nm > max(old):
                mark = "WORSE" if better[label] == LOWER else "better"
        worse += mark == "WORSE"
        rows.append([label, better[label], fmt(om),
                     f"{fmt(min(old))}-{fmt(max(old))}" if old else "-", fmt(nm),
                     f"{fmt(min(new))}-{fmt(max(new))}" if new else "-", mark])
    if len(rows) > 1:
        table(rows)
    print(f"\n{worse} of {len(order)} figures WORSE; raw figures in {path}")


if len(sys.argv) == 4 and sys.argv[1] == "--compare":
    compare(sys.argv[2], sys.argv[3])
else:
    main(read(sys.argv[1]))
