"""Diagnostic plots of a pumping test: the logarithmic derivative of drawdown."""

import numpy as np


def log_derivative(times, drawdowns, spacing=0.0):
    """The derivative ds/d(ln t) of drawdowns at the given times (Bourdet's derivative).

    Each interior point takes the weighted mean of the slopes to its left and
    right neighbours in ln t; ``spacing`` (in ln t) widens the neighbours to the
    first ones at least that far away, which smooths noisy readings. The end
    points take the one-sided slope. On the Cooper-Jacob straight line
    s = Q/(4 pi T) ln(2.25 T t / (r^2 S)) the derivative is Q/(4 pi T).
    """
    t = np.asarray(times, dtype=float)
    s = np.asarray(drawdowns, dtype=float)
    if t.shape != s.shape or t.ndim != 1:
        raise ValueError("times and drawdowns must be one-dimensional and of one length")
    if t.size < 2:
        raise ValueError("the derivative needs two readings at least")
    if np.any(t <= 0) or np.any(np.diff(t) <= 0):
        raise ValueError("times must be positive and ascending")
    x = np.log(t)
    n = t.size
    out = np.empty(n)
    for i in range(n):
        left = i - 1
        while left > 0 and x[i] - x[left] < spacing:
            left -= 1
        right = i + 1
        while right < n - 1 and x[right] - x[i] < spacing:
            right += 1
        if i == 0:
            out[i] = (s[right] - s[i]) / (x[right] - x[i])
        elif i == n - 1:
            out[i] = (s[i] - s[left]) / (x[i] - x[left])
        else:
            dl, dr = x[i] - x[left], x[right] - x[i]
            slope_l = (s[i] - s[left]) / dl
            slope_r = (s[right] - s[i]) / dr
            out[i] = (slope_l * dr + slope_r * dl) / (dl + dr)
    return out
