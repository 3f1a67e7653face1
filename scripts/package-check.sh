#!/usr/bin/env bash
# Builds the Debian package from build/release, installs it, runs the installed kolvane-batch
# on the installed examples and compares its results with the build tree's and with the
# examples' ground truth, runs the installed cluster recipe, checks the manual pages, and
# removes the package again (also when a step fails). The test command runs it after the
# release build.
#   scripts/package-check.sh [BUILD_DIR]      (default build/release, already configured)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

cmake --build "$build" >/dev/null
rm -f "$build"/kolvane_*.deb
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; exit 1; }
deb=$(echo "$build"/kolvane_*_*.deb)
[ -f "$deb" ] || { echo "package-check: cpack wrote no kolvane_VERSION_ARCH.deb in $build"; exit 1; }

work=$(mktemp -d)
installed=0
cleanup() {
  status=$?
  if [ "$installed" -eq 1 ]; then
    $sudo apt-get remove -y kolvane >/dev/null || status=1
  fi
  rm -rf "$work"
  if [ "$status" -eq 0 ]; then echo "package-check: passed"; else echo "package-check: FAILED"; fi
  exit "$status"
}
trap cleanup EXIT

installed=1
$sudo apt-get install -y "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
echo "package-check: installed $(basename "$deb")"

fail() {
  echo "package-check: $*"
  exit 1
}
for f in /usr/bin/kolvane /usr/bin/kolvane-batch /usr/bin/kolvane-simulate \
  /usr/share/applications/kolvane.desktop /usr/share/icons/hicolor/scalable/apps/kolvane.svg; do
  [ -f "$f" ] || fail "missing $f"
done
/usr/bin/kolvane-simulate --help >/dev/null || fail "the installed kolvane-simulate does not start"

# Each example analysed as its README shows, by the installed program and by the build tree's,
# from the example's own folder so that the results name the inputs alike.
examples=/usr/share/kolvane/examples
run_example() { # BATCH OUT_DIR
  local batch=$1 out=$2
  mkdir -p "$out"
  (cd "$examples/fixed" && "$batch" fixed tissue_blanks_controls.fix \
    --blanks tissue_blanks_controls.blk --controls tissue_blanks_controls.ctl \
    --control-correction on --tissue use -o "$out/tissue.scf")
  (cd "$examples/scan" && "$batch" scan small.syn --blanks small.slk -o "$out/small.scf")
}
run_example /usr/bin/kolvane-batch "$work/installed" >/dev/null || fail "the installed kolvane-batch failed"
run_example "$build/kolvane-batch" "$work/build" >/dev/null || fail "the build tree's kolvane-batch failed"
for r in tissue.scf small.scf; do
  cmp "$work/installed/$r" "$work/build/$r" || fail "$r differs between the installed and the build tree's program"
done

# The examples' record lines against their ground truth: the fixed example's lines equal it;
# a scan line holds the K pures' intensities, SS, R^2, the tissue reading and the flag, of which
# the truth holds the intensities and the tissue reading.
records() { grep -P '^[PS][0-9]+\t' "$1" | tr -d '\r'; }
diff <(records "$work/installed/tissue.scf") \
  <(records "$examples/fixed/tissue_blanks_controls.truth.tsv") >/dev/null ||
  fail "the fixed example's results differ from its truth file"
truth=$examples/scan/small.truth.tsv
pures=$(($(grep -m1 '^Record' "$truth" | tr -d '\r' | awk -F'\t' '{print NF}') - 2))
diff <(records "$work/installed/small.scf" | cut -f "1-$((pures + 1)),$((pures + 4))") \
  <(records "$truth") >/dev/null || fail "the scan example's results differ from its truth file"

# The cluster recipes are installed side by side and run from there: the GNU parallel one over
# this machine alone, on the fixed example, gives the records of the single run above.
cluster=/usr/share/kolvane/cluster
for f in slurm-study.sh parallel-study.sh merge-summaries.sh; do
  [ -x "$cluster/$f" ] || fail "missing $cluster/$f, or it cannot be run"
done
echo "$examples/fixed/tissue_blanks_controls.fix" >"$work/study.list"
KOLVANE_BATCH=/usr/bin/kolvane-batch "$cluster/parallel-study.sh" -S : fixed "$work/study.list" \
  "$work/cluster" --companions --control-correction on --tissue use >/dev/null 2>&1 ||
  fail "the installed parallel-study.sh did not complete the fixed example"
diff <(records "$work/cluster/tissue_blanks_controls.fix.scf") <(records "$work/installed/tissue.scf") \
  >/dev/null || fail "the installed parallel-study.sh's results differ from the single run's"

# The manual pages are found, and each program's page names every option of its --help.
man -w kolvane >/dev/null || fail "man -w kolvane finds no page"
for program in kolvane-batch kolvane-simulate; do
  page=$(man -w "$program") || fail "man -w $program finds no page"
  text=$(zcat "$page" | sed 's/\\-/-/g')
  options=$(for sub in "" fixed scan; do "/usr/bin/$program" $sub --help; done |
    grep -oP '(?<![\w-])--?[a-z][a-z-]*' | sort -u)
  for opt in $options; do
    grep -qF -- "$opt" <<<"$text" || fail "the manual page of $program does not describe $opt"
  done
done
echo "package-check: installed programs, examples, cluster recipes and manual pages checked"
