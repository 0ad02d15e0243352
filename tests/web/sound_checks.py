"""Holding one stretch of song against another: 16-bit stereo samples
(interleaved, little-endian, as talvenor --capture FILE.s16 writes them),
where they differ, how alike they are in short windows, and the silent
gaps a recording holds.
"""
import array
import math


def read_s16(path):
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read())
    return samples


def differences(a, b):
    """(samples that differ, largest difference) over the shorter's length."""
    n = min(len(a), len(b))
    count, largest = 0, 0
    for x, y in zip(a[:n], b[:n]):
        if x != y:
            count += 1
            largest = max(largest, abs(x - y))
    return count, largest


def first_difference(a, b):
    """The first sample index where they differ, or None."""
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return None


def correlation(a, b):
    """Pearson's correlation of two equally long sequences (1.0 when both
    are silent)."""
    n = len(a)
    if n == 0:
        return 1.0
    ma, mb = sum(a) / n, sum(b) / n
    va = sum((x - ma) ** 2 for x in a)
    vb = sum((y - mb) ** 2 for y in b)
    if va == 0 and vb == 0:
        return 1.0
    if va == 0 or vb == 0:
        return 0.0
    return sum((x - ma) * (y - mb) for x, y in zip(a, b)) / math.sqrt(va * vb)


def silent_gaps(samples, rate=44100, shortest_ms=5.0, level=0):
    """Runs of stereo frames at or below `level` lasting at least shortest_ms:
    [(first frame, frames)]."""
    shortest = int(rate * shortest_ms / 1000)
    gaps, start = [], None
    frames = len(samples) // 2
    for i in range(frames):
        quiet = abs(samples[2 * i]) <= level and abs(samples[2 * i + 1]) <= level
        if quiet and start is None:
            start = i
        elif not quiet and start is not None:
            if i - start >= shortest:
                gaps.append((start, i - start))
            start = None
    if start is not None and frames - start >= shortest:
        gaps.append((start, frames - start))
    return gaps


def mono(samples, start, frames, step=1):
    """Every step-th frame of frames from `start`, left plus right."""
    return [samples[2 * i] + samples[2 * i + 1] for i in range(start, start + frames, step)]


def best_match(recording, reference, most_lag, frames, step=16):
    """(correlation, lag): where in `recording` (within most_lag frames of its
    start) the first `frames` of `reference` are found: searched on every
    step-th frame, then to the frame."""
    wanted = mono(reference, 0, frames, step)
    lags = range(0, min(most_lag, len(recording) // 2 - frames), step)
    coarse = max((correlation(mono(recording, lag, frames, step), wanted), lag) for lag in lags)
    # Then frame by frame around it, on every frame of a shorter window.
    near, wanted = frames // 8, mono(reference, 0, frames // 8)
    fine = range(max(0, coarse[1] - step), min(coarse[1] + step, len(recording) // 2 - near))
    return max((correlation(mono(recording, lag, near), wanted), lag) for lag in fine)


def clock_offset(read_now_ms):
    """time.monotonic() - performance.now() / 1000, from the quickest of ten
    round trips: read_now_ms() asks the page for performance.now()."""
    import time
    best = None
    for _ in range(10):
        t0 = time.monotonic()
        now = read_now_ms()
        t1 = time.monotonic()
        if best is None or t1 - t0 < best[0]:
            best = (t1 - t0, (t0 + t1) / 2 - now / 1000)
    return best[1]
