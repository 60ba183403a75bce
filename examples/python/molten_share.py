"""Share of the injected alumina mass that arrives molten at the substrate,
against the arc current of an argon + 10 % hydrogen torch: a study of the
jet, then a spray of the same powder into each jet (particles added until
the share is known to +-1 point; the bars are its 95 % interval).

    python3 molten_share.py [OUTPUT_FOLDER]    # writes molten-share.png and molten-share.csv
"""
import os
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

# The share is a figure of a sample of particles: each spray adds particles
# until it is known to +-1 point and gives the half-width of its 95 % interval.
currents, shares, errors, flown = [], [], [], []
for current, status, folder in zip(table["current_used [A]"], table["status"], table["directory"]):
    if status != "completed":
        continue
    summary = torvex.spray(os.path.join(study_folder, folder), material="al2o3", d10=20, d50=35, d90=60).summary
    currents.append(current)
    shares.append(100 * summary["molten_mass_share"])
    errors.append(100 * summary["molten_mass_share_half_width"])
    flown.append(summary["particles"])

with open(os.path.join(out, "molten-share.csv"), "w") as f:
    f.write("current [A],molten mass share [%],95 % half-width [%],particles\n")
    f.writelines("%d,%.2f,%.2f,%d\n" % row for row in zip(currents, shares, errors, flown))
fig, ax = plt.subplots(figsize=(6, 4))
ax.errorbar(currents, shares, yerr=errors, fmt="o-", capsize=3)
ax.set_xlabel("arc current [A]")
ax.set_ylabel("molten share of the injected mass [%]")
ax.set_title("Al2O3 20/35/60 um in Ar + 10 % H2\n8 mm anode, 20 mm long, 40 SLPM; 95 % intervals", fontsize=10)
ax.grid(True, alpha=0.3)
fig.tight_layout()
fig.savefig(os.path.join(out, "molten-share.png"), dpi=120)
