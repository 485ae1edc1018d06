#!/usr/bin/env bash
# Which Windows builds this machine can run, as sourced helpers for the other scripts.
#
#   lex_probe_i386_kernel   true when the kernel runs i386 programs
#   lex_can_run_32bit       true when it does and 32-bit Wine is installed
#   lex_win_builds          prints the builds to test, "win32 win64" or "win64";
#                           LEXORIN_WIN_BUILDS (win32, win64 or both) overrides the choice
#   lex_win_tree BUILD      the build tree of a Windows build: win32 -> win, win64 -> win64
#   lex_skip_line           the one line that says the 32-bit tiers are not run, if they are not
#
# The 64-bit build runs under 64-bit Wine everywhere. Some kernels refuse 32-bit
# processes altogether ("Exec format error"), and then 32-bit Wine cannot start either.

lex_probe_i386_kernel() {
  local dir rc
  dir=$(mktemp -d) || return 1
  # The smallest i386 program there is: exit(0) through the 32-bit system call gate.
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/probe.s"
  as --32 -o "$dir/probe.o" "$dir/probe.s" 2>/dev/null &&
    ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" 2>/dev/null &&
    "$dir/probe" 2>/dev/null
  rc=$?
  rm -rf "$dir"
  return $rc
}

lex_can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && lex_probe_i386_kernel
}

lex_win_builds() {
  if [ -n "${LEXORIN_WIN_BUILDS:-}" ]; then
    local b out=""
    for b in $(echo "$LEXORIN_WIN_BUILDS" | tr ',' ' '); do
      case "$b" in
        win32|win64) out="$out $b" ;;
        *) echo "LEXORIN_WIN_BUILDS: unknown build '$b' (win32, win64)" >&2; return 1 ;;
      esac
    done
    echo $out
  elif lex_can_run_32bit; then
    echo "win32 win64"
  else
    echo "win64"
  fi
}

lex_win_tree() {
  case "$1" in
    win32) echo win ;;
    win64) echo win64 ;;
  esac
}

# $1: the chosen builds.
lex_skip_line() {
  case " $1 " in
    *" win32 "*) return 0 ;;
  esac
  if [ -n "${LEXORIN_WIN_BUILDS:-}" ]; then
    echo "32-bit Windows tests skipped: LEXORIN_WIN_BUILDS=$LEXORIN_WIN_BUILDS"
  elif ! lex_probe_i386_kernel; then
    echo "32-bit Windows tests skipped: this machine cannot run 32-bit programs"
  else
    echo "32-bit Windows tests skipped: 32-bit Wine (wine32:i386) is not installed"
  fi
}
