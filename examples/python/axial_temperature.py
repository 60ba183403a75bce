"""Axis temperature of an argon jet at three arc currents (8 mm anode, 14 mm
long, 35 SLPM), computed in parallel threads and plotted with matplotlib.

    python3 axial_temperature.py [OUTPUT_FOLDER]    # writes axial-temperature.png
"""
import sys
from concurrent.futures import ThreadPoolExecutor

import matplotlib.pyplot as plt

import torvex

out = sys.argv[1] if len(sys.argv) > 1 else "."
currents = [500, 650, 800]
variants = [torvex.Variant(gas="argon", diameter=8, length=14, current=i, flow=35) for i in currents]
# The solver releases the interpreter's lock: the three variants run at once.
with ThreadPoolExecutor() as pool:
    results = list(pool.map(torvex.run, variants))

fig, ax = plt.subplots(figsize=(7, 4.5))
for r in results:  # the current the solver used, after its rounding into the model's range
    ax.plot(r.axial["z"], r.axial["T"],
            label="%d A: %.1f kW, %g %% efficiency" % (r.used["current"], r.power, r.efficiency))
ax.set_xlabel("distance from the nozzle exit [%s]" % torvex.Result.UNITS["z"])
ax.set_ylabel("axis temperature [%s]" % torvex.Result.UNITS["T"])
ax.set_title("Argon, 8 mm anode, 14 mm long, 35 SLPM")
ax.grid(True, alpha=0.3)
ax.legend()
fig.tight_layout()
fig.savefig(out + "/axial-temperature.png", dpi=120)
