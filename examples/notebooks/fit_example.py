# %% [markdown]
# # Oude Korendijk: fit, model curve and derivative
#
# Fits the bundled Oude Korendijk pumping test with the Wellfit package and
# plots the measured drawdowns, the model's drawdowns and the logarithmic
# derivative of both against time. Cells are marked with `# %%`, so the file
# opens as a notebook in editors that know the percent format; it also runs
# as a plain script:
#
#     python3 examples/notebooks/fit_example.py [OUTPUT.png]
#
# The project is copied into a scratch folder first: the fit writes its side
# files beside the project file.

# %%
import shutil
import sys
import tempfile
from pathlib import Path

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt

import wellfit

example = Path(__file__).resolve().parents[1] / "oude-korendijk"
output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path("oude-korendijk-fit.png")
scratch = Path(tempfile.mkdtemp(prefix="wellfit-example-"))
for name in ("OKORENDIJK.wft", "OKORENDIJK.DAT"):
    shutil.copy(example / name, scratch / name)

# %% [markdown]
# ## The fit (mesh, data preparation and optimisation, as `wellfit-cli --all`)

# %%
project = wellfit.Project.open(scratch / "OKORENDIJK.wft")
fit = project.fit(search="plain")
unit = fit.report["totals"]["T"]["unit"]
print(f"{fit.report['message']} after {fit.report['passes']} passes, RMSE {fit.rmse:.4f} m")
print(f"T = TF + TM = {fit.totals['T']:.1f} {unit} (published: 462 m2/day)")
print(f"S = SF + SM = {fit.totals['S']:.3g}")
print(fit.verdict)

# %% [markdown]
# ## Data, model and derivative
#
# The derivative ds/d(ln t) of a Theis-like response levels off at
# Q/(4 pi T) once the Cooper-Jacob straight line holds.

# %%
times, measured = project.times, project.values
model_times, model = fit.times[1:], fit.simulated[0][1:]  # without the initial level at t = 0
time_unit = project.units.time

fig, ax = plt.subplots(figsize=(7, 4.5))
ax.loglog(times, measured, "o", color="tab:blue", label="measured drawdown")
ax.loglog(model_times, model, "-", color="tab:blue", label="model")
ax.loglog(times, wellfit.log_derivative(times, measured, spacing=0.2), "s", mfc="none", color="tab:orange",
          label="measured derivative")
ax.loglog(model_times, wellfit.log_derivative(model_times, model), "-", color="tab:orange", label="model derivative")
level = 788.0 / (4 * 3.141592653589793 * fit.totals["T"])
ax.axhline(level, ls=":", color="gray", label=f"Q/(4 pi T) = {level:.3f} m")
ax.set_xlabel(f"time since pumping started [{time_unit}]")
ax.set_ylabel("drawdown, ds/d ln t [m]")
ax.set_title(f"Oude Korendijk, r = 30 m: T = {fit.totals['T']:.0f} {unit}, S = {fit.totals['S']:.2g}")
ax.grid(True, which="both", alpha=0.3)
ax.legend(loc="lower right")
fig.tight_layout()
fig.savefig(output, dpi=110)
print(f"wrote {output}")

# %%
shutil.rmtree(scratch)
