"""Share of the injected alumina mass that arrives molten at the substrate,
against the arc current of an argon + 10 % hydrogen torch: a study of the
jet, then sprays of the same powder into each jet (four seeds of 300
particles each; the bars are the standard error of their mean).

    python3 molten_share.py [OUTPUT_FOLDER]    # writes molten-share.png and molten-share.csv
"""
import math
import os
import statistics
import sys

import matplotlib.pyplot as plt

import torvex

out = sys.argv[1] if len(sys.argv) > 1 else "."
plan = {"units": {"length": "mm", "temperature": "K", "flow": "SLPM"},
        "sweep": [{"gas": "argon+hydrogen 10%", "diameter": 8.0, "length": 20,
                   "current": {"from": 500, "to": 750, "step": 50}, "flow": 40}]}
study_folder = os.path.join(out, "molten-share-study")
table = torvex.study(plan, out=study_folder, progress=lambda done, total: print("\r%d/%d" % (done, total), end=""))
print()

# The share is a figure of a sample of particles: each jet is sprayed with
# several seeds, and the bars show the standard error of their mean.
seeds = range(1, 5)
currents, shares, errors = [], [], []
for current, status, folder in zip(table["current_used [A]"], table["status"], table["directory"]):
    if status != "completed":
        continue
    sample = [100 * torvex.spray(os.path.join(study_folder, folder), material="al2o3", d10=20, d50=35, d90=60,
                                 count=300, seed=seed).summary["molten_mass_share"] for seed in seeds]
    currents.append(current)
    shares.append(statistics.mean(sample))
    errors.append(statistics.stdev(sample) / math.sqrt(len(sample)))

with open(os.path.join(out, "molten-share.csv"), "w") as f:
    f.write("current [A],molten mass share [%],standard error [%]\n")
    f.writelines("%d,%.2f,%.2f\n" % row for row in zip(currents, shares, errors))
fig, ax = plt.subplots(figsize=(6, 4))
ax.errorbar(currents, shares, yerr=errors, fmt="o-", capsize=3)
ax.set_xlabel("arc current [A]")
ax.set_ylabel("molten share of the injected mass [%]")
ax.set_title("Al2O3 20/35/60 um in Ar + 10 % H2\n8 mm anode, 20 mm long, 40 SLPM; 4 x 300 particles", fontsize=10)
ax.grid(True, alpha=0.3)
fig.tight_layout()
fig.savefig(os.path.join(out, "molten-share.png"), dpi=120)
