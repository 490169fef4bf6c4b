#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Steps one channel's voltage, measures voltage and current at each step, prints a table and
writes it as CSV.

    sweep.py RESOURCE [--channel CH1] [--start 0] [--stop 5] [--step 1] [--current-limit 1]
             [--csv sweep.csv] [--options "QueryInstrStatus=1"]

RESOURCE is a VISA resource ("TCPIP0::192.168.1.20::5025::SOCKET") or a logical name of the
configuration store. The output is switched off again at the end, also after a failure.
"""
import argparse
import csv
import sys

import zevra


def levels(start, stop, step):
    count = int(round((stop - start) / step))
    return [round(start + i * step, 9) for i in range(count + 1)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("resource")
    parser.add_argument("--channel", default="CH1")
    parser.add_argument("--start", type=float, default=0.0)
    parser.add_argument("--stop", type=float, default=5.0)
    parser.add_argument("--step", type=float, default=1.0)
    parser.add_argument("--current-limit", type=float, default=1.0)
    parser.add_argument("--csv", default="sweep.csv")
    parser.add_argument("--options", default="QueryInstrStatus=1")
    args = parser.parse_args()
    if args.step <= 0 or args.stop < args.start:
        parser.error("need --step > 0 and --stop >= --start")

    rows = []
    try:
        with zevra.Zevra(args.resource, reset=True, options=args.options) as psu:
            ch = psu.channels[args.channel]
            ch.configure_current_limit(0, args.current_limit)
            ch.output_enabled = True
            try:
                for level in levels(args.start, args.stop, args.step):
                    ch.configure_voltage_level(level)
                    rows.append((level, ch.measure(zevra.MeasurementType.VOLTAGE),
                                 ch.measure(zevra.MeasurementType.CURRENT)))
            finally:
                ch.output_enabled = False
    except zevra.Error as error:
        print("sweep: %s" % error, file=sys.stderr)
        return 1

    print("%8s %12s %12s" % ("set V", "measured V", "measured A"))
    for level, volts, amps in rows:
        print("%8.3f %12.4f %12.4f" % (level, volts, amps))
    with open(args.csv, "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["set_voltage", "voltage", "current"])
        writer.writerows(rows)
    print("wrote %d steps to %s" % (len(rows), args.csv))
    return 0


if __name__ == "__main__":
    sys.exit(main())
