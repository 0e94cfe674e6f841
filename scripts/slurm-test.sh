#!/usr/bin/env bash
# The ensemble on a real Slurm cluster of one node: starts munged, slurmctld
# and slurmd on this machine with a key, a slurm.conf and spool folders of
# their own in a temporary folder, submits the job-array script that
# `ostrel-sensitivity commands` writes for a 64-member design, and checks that
# the results file it fills holds the same rows as the local ensemble's.
# Everything it started is stopped and removed at the end. When the daemons
# cannot be started here (not root, no Slurm installed, ...) it says so in
# one line and exits 0; every wait has a time limit, so it never hangs.
#
#   scripts/slurm-test.sh [BUILD_DIR]        (default: build)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tool=$PWD/$build/sensitivity/ostrel-sensitivity
modelbatch=$PWD/$build/cli/modelbatch
samples=$PWD/samples

skip() { echo "slurm-test: skipped: $*"; exit 0; }
fail() { echo "slurm-test: FAILED: $*" >&2; show_logs; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "the Slurm daemons need root"
for program in munged slurmctld slurmd sbatch sinfo squeue scancel; do
  command -v "$program" > /dev/null || skip "$program is not installed (Debian packages slurm-wlm and munge)"
done
[ -x "$tool" ] && [ -x "$modelbatch" ] || skip "build ostrel-sensitivity and modelbatch in $build first"

dir=$(mktemp -d /tmp/ostrel-slurm.XXXXXX)
chmod 755 "$dir"
pids=()
cleanup() {
  [ -n "${SLURM_CONF:-}" ] && timeout 10 scancel --quiet --user=root > /dev/null 2>&1
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2> /dev/null
  done
  rm -rf "$dir"
}
trap cleanup EXIT
show_logs() {
  for log in "$dir"/*.log; do
    [ -f "$log" ] || continue
    echo "--- ${log##*/}" >&2
    tail -n 15 "$log" >&2
  done
}

# Waits up to SECONDS for COMMAND... to succeed.
wait_for() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  until "$@" > /dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.5
  done
}

# Ports of this test's own, out of the way of a cluster the machine may run.
port=$((20000 + RANDOM % 20000))

# munge: a key of our own and a socket in the temporary folder.
mkdir -p "$dir/munge"
chmod 700 "$dir/munge"
dd if=/dev/urandom of="$dir/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$dir/munge/munge.key"
munged --force --foreground --key-file="$dir/munge/munge.key" --socket="$dir/munge/munge.socket" \
  --pid-file="$dir/munge/munged.pid" --seed-file="$dir/munge/munge.seed" --log-file="$dir/munged.log" \
  > /dev/null 2>&1 &
pids+=($!)
wait_for 10 test -S "$dir/munge/munge.socket" || skip "munged did not start"

host=$(hostname -s)
mkdir -p "$dir/state" "$dir/spool" "$dir/jobs"
cat > "$dir/slurm.conf" <<EOF
ClusterName=ostreltest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge/munge.socket
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
SwitchType=switch/none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
SlurmctldTimeout=30
SlurmdTimeout=30
MaxArraySize=1001
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=ostrel Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$dir/slurm.conf

slurmctld -D -i -f "$SLURM_CONF" > "$dir/slurmctld.out.log" 2>&1 &
pids+=($!)
slurmd -D -N "$host" -f "$SLURM_CONF" > "$dir/slurmd.out.log" 2>&1 &
pids+=($!)
node_idle() { [ "$(timeout 15 sinfo --noheader --nodes="$host" --format=%t 2> /dev/null)" = idle ]; }
wait_for 40 node_idle || skip "slurmctld and slurmd did not bring the node up within 40 s"
echo "slurm-test: a one-node cluster on $host (ports $port and $((port + 1))) is up"

# 64 members: a Sobol design of 2 factors (4 members a block), 4 replicates
# of 4 blocks.
cd "$dir/jobs"
printf 'symbol\tlow\thigh\nWw\t60\t80\nbIf\t0.1\t0.4\tlog\n' > ranges.tsv
"$tool" design --method sobol --ranges ranges.tsv --samples 4 --replicates 4 --seed 3 -o design.csv > /dev/null \
  || fail "design"
run=(--metric 'mean(NPP)' --metric 'max(LAI)' --run-option=--start=0 --run-option=--stop=366
     --modelbatch "$modelbatch")
timeout 600 "$tool" run design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" -o local.csv > /dev/null \
  || fail "the local ensemble"
[ "$(wc -l < local.csv)" -eq 65 ] || fail "the local ensemble wrote $(wc -l < local.csv) lines, not 65"

"$tool" commands design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" --results "$dir/jobs/slurm.csv" \
  -o commands.txt > /dev/null || fail "commands"
# The job-array script exactly as the commands file's comments give it.
sed -n '/^# Slurm job array/,$ { /^#   /s/^#   //p }' commands.txt > array.sh
grep -q '^#SBATCH --array=1-64$' array.sh || fail "the commands file gives no 64-task array script: $(cat array.sh)"
job=$(timeout 30 sbatch --parsable --output="$dir/jobs/task-%a.log" array.sh) || fail "sbatch refused the array script"
echo "slurm-test: job array $job submitted"

# Waits for every task to leave the queue (at most 5 minutes).
queue_empty() {
  [ -z "$(timeout 15 squeue --noheader --jobs="$job" 2> /dev/null)" ] && timeout 15 squeue > /dev/null 2>&1
}
wait_for 300 queue_empty || fail "the job array did not finish within 5 minutes: $(timeout 15 squeue 2>&1 | head -5)"
[ -f slurm.csv ] || fail "the array wrote no results file; a task's log: $(cat task-1.log 2> /dev/null)"
if ! diff <(sort local.csv) <(sort slurm.csv) > diff.txt; then
  fail "the cluster's results differ from the local ensemble's:
$(head -20 diff.txt)"
fi
echo "slurm-test: 64 members run as a Slurm job array; their results equal the local ensemble's rows"
