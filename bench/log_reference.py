# The plain pandas script the log analysis is measured against: the same
# filters and cells as `velmor-cli log analyze` on the default RPM axis,
# the mean A/F of every cell.
import sys
import numpy as np
import pandas as pd

log = pd.read_csv(sys.argv[1], usecols=["time_s", "rpm", "tps_pct", "afr", "coolant_c"])
rate = log["tps_pct"].diff().abs() / log["time_s"].diff()
used = log[(log.rpm > 0) & (log.coolant_c >= 60) & log.afr.between(10.0, 19.9) & log.tps_pct.between(0, 100)
           & ~(rate > 10)]
axis = np.array([10, 20, 30, 40, 50, 55, 60, 65, 70, 75, 80, 85, 90, 100, 110]) * 100
rows = np.array([0, 2, 5, 10, 20, 30, 40, 60, 80, 100])
column = np.abs(used.rpm.values[:, None] - axis[None, :]).argmin(axis=1)
row = np.abs((used.tps_pct.values // 1)[:, None] - rows[None, :]).argmin(axis=1)
cells = used.assign(cell=row * 15 + column).groupby("cell").afr.agg(["count", "mean"])
print(len(log), "rows,", len(used), "used")
print(cells.to_string())
