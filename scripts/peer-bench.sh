#!/usr/bin/env bash
# Lexorin beside a native ticker: Tickr (GTK) shows the default dictionary's text at the
# banner's pace (1 px every 12 ms) in a strip of the banner's size on the same display,
# in rounds that take turns with the real Lexorin.exe's (mainbar_bench --peer-round).
# Printed: both programs' shares of a core (Lexorin's with the wineserver's part), the
# X server's beside each, and both resident sizes; the budget is Lexorin at most Tickr.
#
# Run by scripts/bench.sh on its display, from the program folder of one Windows build,
# with LEX_BENCH_XSERVER_PID set: peer-bench.sh MAINBAR_BENCH_EXE. Tickr keeps its
# settings in ~/.tickr whatever HOME says, so it runs in a mount namespace of its own
# whose home folder is a fresh one holding the settings below: the user's own Tickr
# settings are neither read nor touched.
set -u
bench_exe=$1
rounds=${LEX_PEER_ROUNDS:-3}
seconds=10
if ! command -v tickr >/dev/null || ! command -v unshare >/dev/null; then
  echo "peer: tickr is not installed (scripts/install-deps.sh --bench installs it); no comparison"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/.tickr"
# The shipped dictionary's entries as the strip shows them: word, phonetic, meaning.
iconv -f GB18030 -t UTF-8 "Dictionary/缺省字典.KM" | tr -d '\r' | head -n 400 | sed 's#/#  #g' >"$work/words.txt"
# The settings of a plain ticker, one to a line as Tickr writes them: no shadow, no
# pause under the pointer, no pop-ups, an opaque strip 435 x 22, 1 px every 12 ms. An
# empty feed list keeps the first-start questions away.
cat >"$work/home/.tickr/tickr-conf" <<'EOF'
-delay=12
-shiftsize=1
-fontname="Sans"
-fontsize=11
-fgcolor="#ffffffff"
-bgcolor="#404040ff"
-setgradientbg=n
-bgcolor2="#202020ff"
-disablescreenlimits=y
-win_x=0
-win_y=200
-win_w=435
-win_h=22
-windec=n
-alwaysontop=y
-wintransparency=10
-iconintaskbar=n
-winsticky=n
-overrideredirect=n
-shadow=n
-shadowoffset_x=4
-shadowoffset_y=2
-shadowfx=2
-linedelimiter="  "
-specialchars=n
-newpgchar=`
-tabchar=~
-rssrefresh=0
-revsc=n
-feedtitle=n
-feedtitledelimiter="  "
-itemtitle=y
-itemtitledelimiter="  "
-itemdescription=n
-itemdescriptiondelimiter="  "
-nitemsperfeed=5
-rmtags=y
-uppercasetext=n
-homefeed="http://localhost/"
-openlinkcmd="true"
-openlinkargs=""
-clock=n
-clocksec=n
-clock12h=y
-clockdate=n
-clockaltdateform=n
-clockfontname="Sans"
-clockfontsize=11
-clockfgcolor="#ffffffff"
-clockbgcolor="#404040ff"
-setclockgradientbg=n
-clockbgcolor2="#202020ff"
-disablepopups=y
-pauseonmouseover=n
-disableleftclick=y
-mousewheelaction=n
-sfeedpickerautoclose=y
-enablefeedordering=n
-useauth=n
-user=""
-useproxy=n
-proxyhost=""
-proxyport="8080"
-useproxyauth=n
-proxyuser=""
-connect-timeout=5
-sendrecv-timeout=1
EOF
: >"$work/home/.tickr/tickr-url-list"

# Nanoseconds a process's threads have run, from the scheduler's own count.
run_ns() {
  local t a sum=0
  for t in /proc/"$1"/task/*/schedstat; do
    read -r a _ <"$t" 2>/dev/null && sum=$((sum + a))
  done
  echo $sum
}
now_ns() { date +%s%N; }

tickr_round() {
  local home
  home=$(getent passwd "$(id -u)" | cut -d: -f6)
  unshare -m --propagation private bash -c '
    mount --bind "$1" "$2" || exit 1
    exec tickr "$3"' tickr-peer "$work/home" "$home" "$work/words.txt" >"$work/tickr.log" 2>&1 &
  local launcher=$! pid="" i
  for i in $(seq 50); do
    pid=$(pgrep -n -x tickr) && break
    sleep 0.1
  done
  if [ -z "$pid" ]; then
    echo "peer: tickr did not start: $(tail -n1 "$work/tickr.log")"
    return 1
  fi
  sleep 6 # loaded and scrolling
  local x=${LEX_BENCH_XSERVER_PID:-0} t0 o0 x0 t1 o1 x1 rss
  t0=$(now_ns); o0=$(run_ns "$pid"); x0=$(run_ns "$x")
  sleep $seconds
  t1=$(now_ns); o1=$(run_ns "$pid"); x1=$(run_ns "$x")
  rss=$(awk '/^VmRSS:/ {print $2}' /proc/"$pid"/status)
  kill "$pid" 2>/dev/null
  wait "$launcher" 2>/dev/null
  awk -v o=$((o1 - o0)) -v x=$((x1 - x0)) -v w=$((t1 - t0)) -v r="$rss" \
    'BEGIN { printf "PEER tickr %.5f -1 %.5f %d\n", o / w, x / w, r }'
}

log="$work/rounds"
for round in $(seq "$rounds"); do
  LEX_BENCH_SELF_PID=$BASHPID wine "$bench_exe" --peer-round $seconds 2>/dev/null | tr -d '\r' | grep '^PEER' >>"$log" ||
    { echo "peer: the Lexorin round failed"; exit 1; }
  tickr_round >>"$log" || exit 1
  tail -n 2 "$log" | awk -v n="$round" '{
    printf "  round %d %-8s %5.2f%% of a core%s, X server %5.2f%%, %.1f MB resident\n", n, $2, 100 * ($3 + ($4 > 0 ? $4 : 0)),
           ($4 >= 0 ? sprintf(" (process %.2f%% + wineserver %.2f%%)", 100 * $3, 100 * $4) : ""), 100 * $5, $6 / 1024 }'
done

# Medians over the rounds; the budget compares the two programs' own shares.
awk '
  function median(a, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  $2 == "lexorin" { nl++; lc[nl] = 100 * ($3 + ($4 > 0 ? $4 : 0)); lx[nl] = 100 * $5; lr[nl] = $6 / 1024 }
  $2 == "tickr" { nt++; tc[nt] = 100 * $3; tx[nt] = 100 * $5; tr[nt] = $6 / 1024 }
  END {
    l = median(lc, nl); t = median(tc, nt)
    printf "Lexorin %.2f%% of a core (with the wineserver) against Tickr %.2f%%, medians of %d rounds each\n", l, t, nl
    printf "RESULT peer_lexorin_cpu %.3f %%core - - -\n", l
    printf "RESULT peer_lexorin_xserver %.3f %%core - - -\n", median(lx, nl)
    printf "RESULT peer_lexorin_resident %.1f MB - - -\n", median(lr, nl)
    printf "RESULT peer_tickr_cpu %.3f %%core - - -\n", t
    printf "RESULT peer_tickr_xserver %.3f %%core - - -\n", median(tx, nt)
    printf "RESULT peer_tickr_resident %.1f MB - - -\n", median(tr, nt)
    ratio = t > 0 ? l / t : 99
    printf "RESULT lexorin_vs_tickr_cpu %.3f x <= 1 %s\n", ratio, (ratio <= 1 ? "pass" : "FAIL")
  }' "$log"
