#!/usr/bin/env python3
"""What the script host costs a Python script, against the peers a script
writer would otherwise use, with the ratios (ours over the peer's time).

1. Bridge overhead: 10^6 calls of ScriptObject.ping(), a method that does
   nothing but go through the wrapper every bound library method takes,
   against 10^6 calls of quelm._emptyFunction(), the cheapest pybind11
   function of the same module. Target: at most 2x.
2. A model file's 10^6 reals into Python: quelm.readObjectFile on a binary
   object file written through the library, against h5py reading the same
   reals from an HDF5 file (dataset[:] as a numpy array, and .tolist() for a
   Python list like ours); uncompressed against uncompressed and level 1
   against gzip 1. Our buffers are read in place: reals="array" (an
   array.array, which Python fills with zeros first) and reals=numpy.empty
   (a numpy array, like h5py's). Target: no slower. Skipped when h5py is
   missing.

Run after building the module (cmake --build --preset default --target
quelm_python_bench runs it), or by hand:
  PYTHONPATH=build/default/host/pyscript python3 bench/quelm_python_bench.py
"""
import os
import sys
import tempfile
import time

import quelm

CALLS = 10**6
REALS = 10**6
REPEATS = 3
BUFFER_REPEATS = 15


def best(action, repeats=REPEATS):
    """The fastest of `repeats` timings of action(), in seconds."""
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return min(times)


def calls(function):
    def loop():
        for _ in range(CALLS):
            function()
    return loop


def report(name, seconds, per=None):
    extra = f"  ({seconds / per * 1e9:.1f} ns each)" if per else ""
    print(f"{name:<48} {seconds * 1e3:9.2f} ms{extra}")


def ratio(name, ours, peer, target):
    verdict = "met" if ours / peer <= target else "MISSED"
    print(f"ratio {name:<42} {ours / peer:6.2f}  (target <= {target:g}: {verdict})")


def bridge():
    print(f"== bridge overhead, {CALLS} calls")
    # Bound once outside the loop: both loops then time the call alone.
    ping = quelm.OptionsStore().ping
    empty = quelm._emptyFunction
    baseline = best(calls(lambda: None))
    t_ping = best(calls(ping))
    t_empty = best(calls(empty))
    report("python lambda (loop floor)", baseline, CALLS)
    report("quelm.OptionsStore().ping()", t_ping, CALLS)
    report("quelm._emptyFunction()", t_empty, CALLS)
    ratio("ping / _emptyFunction", t_ping, t_empty, 2)


def reading(folder):
    try:
        import h5py
        import numpy
    except ImportError:
        print(f"== {REALS} reals of a model file into Python")
        print("h5py is not installed (python3-h5py): the reading benchmark is skipped")
        return
    values = [i * 1e-3 - 17.25 for i in range(REALS)]
    # Like for like: a plain object file (level 0) against a contiguous
    # dataset, and the default compression (level 1) against a chunked
    # dataset under gzip level 1.
    for level, gzip in ((0, None), (1, 1)):
        print(f"== {REALS} reals of a model file into Python, level {level}"
              f" against HDF5 {'gzip ' + str(gzip) if gzip else 'uncompressed'}")
        qob = os.path.join(folder, f"reals{level}.qob")
        h5 = os.path.join(folder, f"reals{level}.h5")
        quelm.writeObjectFile(qob, [("O", "KModel", "m"), ("R", "r", values), ("E", "KModel", "m")],
                              form="binary", level=level)
        with h5py.File(h5, "w") as f:
            if gzip:
                f.create_dataset("r", data=values, dtype="f8", chunks=(65536,), compression="gzip",
                                 compression_opts=gzip)
            else:
                f.create_dataset("r", data=values, dtype="f8")

        def ours(reals):
            return quelm.readObjectFile(qob, reals=reals)["records"][1][2]

        def theirs(as_list):
            with h5py.File(h5, "r") as f:
                data = f["r"][:]
            return data.tolist() if as_list else data

        assert ours("list") == values and ours("array").tolist() == values
        assert ours(numpy.empty).tolist() == values and theirs(True) == values
        # The buffer reads take about a millisecond: more repeats steady them.
        t_list = best(lambda: ours("list"))
        t_array = best(lambda: ours("array"), BUFFER_REPEATS)
        t_numpy = best(lambda: ours(numpy.empty), BUFFER_REPEATS)
        t_h5 = best(lambda: theirs(False), BUFFER_REPEATS)
        t_h5_list = best(lambda: theirs(True))
        report("quelm.readObjectFile -> list", t_list)
        report('quelm.readObjectFile(reals="array") -> array', t_array)
        report("quelm.readObjectFile(reals=numpy.empty)", t_numpy)
        report("h5py dataset[:] -> numpy array", t_h5)
        report("h5py dataset[:].tolist() -> list", t_h5_list)
        ratio("list / h5py .tolist()", t_list, t_h5_list, 1)
        ratio("numpy.empty / h5py dataset[:]", t_numpy, t_h5, 1)
        ratio("array / h5py dataset[:]", t_array, t_h5, 1)
        ratio("list / h5py dataset[:]", t_list, t_h5, 1)


def main():
    bridge()
    with tempfile.TemporaryDirectory() as folder:
        reading(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
