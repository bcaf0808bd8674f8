#!/usr/bin/env python3
"""A sweep on a private single-node Slurm cluster gives the results GNU parallel gives.

Starts munged, slurmctld and slurmd of Debian's slurm-wlm and munge (installed when missing)
with a configuration, key, socket, ports, state and logs of their own in a temporary
directory, submits a small sweep with `sbatch --wait DIR/slurm.sh`, merges it, runs the same
plan again with `orbits-sweep run` (GNU parallel) and compares the two results.csv files, the
wall-time columns aside. The three daemons are stopped by their process ids at the end, also
when a step fails.

Usage: slurm_check.py ORBITS_SWEEP
Exits 0 when the results agree, 1 when they do not or a step fails, 77 (skipped) when this
machine cannot hold the cluster (not root, or the packages cannot be installed).
"""
import csv
import io
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
PACKAGES = ["slurm-wlm", "munge"]
PROGRAMS = ["slurmctld", "slurmd", "sbatch", "sinfo", "scancel", "munged"]
WALL_TIME = {"wall_seconds", "cycles_per_second"}
SWEEP = ["--preset", "1", "--orbits", "3", "--vary", "TXTgravity=6.670:6.676:3"]


def skip(why):
    print("skipped: " + why, flush=True)
    sys.exit(SKIP)


def install():
    if all(shutil.which(p) for p in PROGRAMS):
        return
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    for command in (["apt-get", "update", "-qq"],
                    ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + PACKAGES):
        r = subprocess.run(command, env=env, capture_output=True, text=True)
        if r.returncode != 0:
            skip("cannot install %s: %s" % (" ".join(PACKAGES), (r.stderr or r.stdout)[-400:]))
    if not all(shutil.which(p) for p in PROGRAMS):
        skip("the packages %s do not provide %s" % (" ".join(PACKAGES), " ".join(PROGRAMS)))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(what, test, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if test():
            return
        time.sleep(0.2)
    raise RuntimeError("%s within %d s" % (what, seconds))


class Cluster:
    """munged, slurmctld and slurmd in `root`, each a child of this script."""

    def __init__(self, root):
        self.root = root
        self.daemons = []
        self.conf = os.path.join(root, "slurm.conf")
        self.env = dict(os.environ, SLURM_CONF=self.conf)

    def path(self, *names):
        return os.path.join(self.root, *names)

    def start(self, name, command):
        log = open(self.path("log", name + ".out"), "w")
        self.daemons.append((name, subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT,
                                                    stdin=subprocess.DEVNULL, env=self.env)))

    def write_config(self):
        node = subprocess.run(["slurmd", "-C"], capture_output=True, text=True,
                              check=True).stdout.splitlines()[0]
        host = node.split()[0].split("=")[1]
        lines = [
            "ClusterName=orbitstest",
            "SlurmctldHost=%s(127.0.0.1)" % host,
            "SlurmctldPort=%d" % free_port(),
            "SlurmdPort=%d" % free_port(),
            "SlurmUser=root",
            "SlurmdUser=root",
            "AuthType=auth/munge",
            "CredType=cred/munge",
            "AuthInfo=socket=" + self.path("munge.socket"),
            "StateSaveLocation=" + self.path("state"),
            "SlurmdSpoolDir=" + self.path("spool"),
            "SlurmctldPidFile=" + self.path("slurmctld.pid"),
            "SlurmdPidFile=" + self.path("slurmd.pid"),
            "SlurmctldLogFile=" + self.path("log", "slurmctld.log"),
            "SlurmdLogFile=" + self.path("log", "slurmd.log"),
            "ProctrackType=proctrack/linuxproc",
            "TaskPlugin=task/none",
            "JobAcctGatherType=jobacct_gather/none",
            "AccountingStorageType=accounting_storage/none",
            "SelectType=select/cons_tres",
            "SelectTypeParameters=CR_CPU",
            "MpiDefault=none",
            "SwitchType=switch/none",
            "ReturnToService=2",
            node + " NodeAddr=127.0.0.1 State=UNKNOWN",
            "PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP",
        ]
        with open(self.conf, "w") as f:
            f.write("\n".join(lines) + "\n")

    def up(self):
        for d in ("state", "spool", "log"):
            os.makedirs(self.path(d))
        key = self.path("munge.key")
        with open(os.open(key, os.O_WRONLY | os.O_CREAT, 0o600), "wb") as f:
            f.write(os.urandom(128))
        self.start("munged", ["munged", "--foreground", "--force",
                              "--socket=" + self.path("munge.socket"), "--key-file=" + key,
                              "--pid-file=" + self.path("munged.pid"),
                              "--seed-file=" + self.path("munged.seed"),
                              "--log-file=" + self.path("log", "munged.log")])
        wait_for("munged's socket", lambda: os.path.exists(self.path("munge.socket")), 20)
        self.write_config()
        self.start("slurmctld", ["slurmctld", "-D", "-f", self.conf])
        self.start("slurmd", ["slurmd", "-D", "-f", self.conf])

        def idle():
            r = subprocess.run(["sinfo", "-h", "-o", "%T"], env=self.env, capture_output=True,
                               text=True)
            return r.returncode == 0 and r.stdout.strip() == "idle"

        wait_for("an idle node", idle, 60)

    def down(self):
        if os.path.exists(self.conf):
            subprocess.run(["scancel", "--full", "--user=" + str(os.getuid())], env=self.env,
                           capture_output=True)
        for name, p in reversed(self.daemons):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(15)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def logs(self):
        for name in sorted(os.listdir(self.path("log"))):
            with open(self.path("log", name), errors="replace") as f:
                print("--- %s (end)\n%s" % (name, f.read()[-2000:]))


def run(command, env=None, timeout=600):
    r = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout,
                       stdin=subprocess.DEVNULL)
    if r.returncode != 0:
        raise RuntimeError("%s: exit status %d\n%s%s" % (" ".join(command), r.returncode,
                                                         r.stdout, r.stderr))
    return r.stdout


def results(sweep, directory):
    """results.csv of `directory`, merged afresh, without the wall-time columns."""
    run([sweep, "merge", directory])
    with open(os.path.join(directory, "results.csv"), newline="") as f:
        rows = list(csv.reader(f))
    # The kernel's choice at start-up is timed, so it is a timing too.
    keep = [i for i, name in enumerate(rows[0])
            if name not in WALL_TIME and not name.startswith("kernel.")]
    out = io.StringIO()
    csv.writer(out).writerows([[row[i] for i in keep] for row in rows])
    return out.getvalue()


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sweep = os.path.abspath(sys.argv[1])
    if os.geteuid() != 0:
        skip("slurmd runs the jobs as their users and needs root; this runs as uid %d"
             % os.geteuid())
    if not shutil.which("parallel"):
        skip("GNU parallel is not installed (scripts/install-deps installs it)")
    install()

    root = tempfile.mkdtemp(prefix="orbits-slurm-")
    cluster = Cluster(root)
    ok = False
    try:
        cluster.up()
        directory = os.path.join(root, "sweep")
        run([sweep, "plan", "--out", directory] + SWEEP)
        started = time.monotonic()
        run(["sbatch", "--wait", os.path.join(directory, "slurm.sh")], env=cluster.env,
            timeout=300)
        print("the job array ran in %.1f s" % (time.monotonic() - started))
        by_slurm = results(sweep, directory)

        for r in os.listdir(os.path.join(directory, "runs")):
            os.remove(os.path.join(directory, "runs", r, "report.json"))
        run([sweep, "run", directory, "-j", "2"])
        by_parallel = results(sweep, directory)
        ok = by_slurm == by_parallel and by_slurm.count("\n") == 4 and ",ok," in by_slurm
        print(("ok   " if ok else "FAIL ") + "results.csv of the job array and of GNU parallel")
        if not ok:
            print("--- by Slurm\n%s--- by GNU parallel\n%s" % (by_slurm, by_parallel))
    except Exception as e:  # a step failed: say which, with the daemons' logs
        print("FAIL %s" % e)
        cluster.logs()
    finally:
        cluster.down()
    if ok:
        shutil.rmtree(root, ignore_errors=True)
    else:
        print("left for inspection: " + root)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
